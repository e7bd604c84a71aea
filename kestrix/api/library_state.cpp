#include "api/library_state.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "platform/linux_device_layer.h"
#include "simulator/virtual_reader.h"

namespace kestrix {
namespace {

// Chosen once per process; a reader simulation keeps its finger across connections.
DeviceLayer& ProcessDeviceLayer()
{
    static const std::unique_ptr<DeviceLayer> devices = []() -> std::unique_ptr<DeviceLayer> {
        const char* virtualReader = std::getenv("KESTRIX_VIRTUAL_READER");
        if (virtualReader != nullptr && std::strcmp(virtualReader, "1") == 0) {
            return std::make_unique<VirtualReader>(VirtualReaderOptions{});
        }
        return std::make_unique<LinuxDeviceLayer>(kDeviceFolder);
    }();
    return *devices;
}

std::unique_ptr<LibraryState>& StateSlot()
{
    static std::unique_ptr<LibraryState> state;
    return state;
}

}  // namespace

LibraryState& Library()
{
    std::unique_ptr<LibraryState>& state = StateSlot();
    if (state == nullptr) {
        state = std::make_unique<LibraryState>(ProcessDeviceLayer());
    }
    return *state;
}

void ResetLibrary(DeviceLayer& devices)
{
    StateSlot() = std::make_unique<LibraryState>(devices);
}

}  // namespace kestrix
