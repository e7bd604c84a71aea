// The version texts GetSDKVersion returns.
#pragma once

namespace kestrix {

// Formats the capture and algorithm version texts and the combined text into three
// static buffers of 1024 bytes and returns the combined one.
const char* FormatSdkVersion();

}  // namespace kestrix
