#include "platform/linux_device_layer.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <limits>

#include "device/little_endian.h"

namespace kestrix {

DeviceHandle LinuxDeviceLayer::Open(const std::string& name)
{
    const std::string path = folder_ + name;
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        return kNoDevice;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return kNoDevice;
    }
    return fd;
}

bool LinuxDeviceLayer::IoControl(DeviceHandle device, uint32_t code, std::span<const uint8_t> input,
                                 std::span<uint8_t> output, uint32_t& returned)
{
    returned = 0;
    constexpr size_t kMaxLength = std::numeric_limits<uint32_t>::max();
    if (device < 0 || device > std::numeric_limits<int>::max() || input.size() > kMaxLength ||
        output.size() > kMaxLength) {
        return false;
    }
    std::array<uint8_t, kRequestBlockSize> block{};
    StoreLe32(&block[kRequestInputLength], static_cast<uint32_t>(input.size()));
    StoreLe32(&block[kRequestOutputLength], static_cast<uint32_t>(output.size()));
    StoreLe64(&block[kRequestInputAddress], input.empty() ? 0 : reinterpret_cast<uintptr_t>(input.data()));
    StoreLe64(&block[kRequestOutputAddress], output.empty() ? 0 : reinterpret_cast<uintptr_t>(output.data()));
    int result = -1;
    do {
        result = ::ioctl(static_cast<int>(device), static_cast<unsigned long>(code), block.data());
    } while (result < 0 && errno == EINTR);
    if (result < 0) {
        return false;
    }
    const uint32_t count = LoadLe32(&block[kRequestReturned]);
    if (count > output.size()) {
        return false;
    }
    returned = count;
    return true;
}

bool LinuxDeviceLayer::Close(DeviceHandle device)
{
    if (device < 0 || device > std::numeric_limits<int>::max()) {
        return false;
    }
    // The descriptor is gone after close whatever it reports; EINTR is not retried.
    return ::close(static_cast<int>(device)) == 0;
}

}  // namespace kestrix
