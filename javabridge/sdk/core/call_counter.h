// Counts the calls of the SDK's exported functions, for the test control that shows
// whether a caller reached the SDK at all.
#pragma once

namespace dactis {

void CountSdkCall();
long SdkCalls();

}  // namespace dactis
