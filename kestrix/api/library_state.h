// The library's process-wide state: the reader connection (with its exposure state) and
// the security levels. One copy per process, no lock: callers serialise their calls.
#pragma once

#include "api/security_levels.h"
#include "device/device_layer.h"
#include "device/reader_connection.h"

namespace kestrix {

struct LibraryState {
    explicit LibraryState(DeviceLayer& devices) : reader(devices) {}

    ReaderConnection reader;
    SecurityLevels levels;
};

// The state, created at first use over the process's device layer: the simulated reader
// when KESTRIX_VIRTUAL_READER is "1", otherwise the driver's device files in /dev.
LibraryState& Library();

// Puts the state back as at load, over the given device layer, which must outlive its
// use. Any connection held is dropped without a word to its device. For tests.
void ResetLibrary(DeviceLayer& devices);

}  // namespace kestrix
