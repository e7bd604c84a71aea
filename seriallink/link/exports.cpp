// The exported functions over the process's one link. The link lives from a successful
// _AbrePorta to the end of the process; every export returns its code and lets nothing
// escape (a failure inside is reported as the export's failure).

#include <atomic>
#include <cerrno>
#include <memory>
#include <mutex>
#include <span>

#include "link/link.h"
#include "link/variant.h"
#include "platform/port_name.h"
#include "platform/termios_port.h"
#include "seriallink/netlinker.h"

namespace {

using seriallink::Link;

struct Module {
    std::mutex opening;
    std::unique_ptr<Link> owner;
    // Published once the worker runs; the link is never replaced, so callers use it
    // without holding the mutex.
    std::atomic<Link*> link{nullptr};
};

Module& TheModule()
{
    static Module module;
    return module;
}

Link* OpenLink()
{
    return TheModule().link.load(std::memory_order_acquire);
}

// Runs call on the open link, or gives closed when there is none; whatever escapes the
// call becomes failed.
template <typename Call>
int32_t OnLink(int32_t closed, int32_t failed, Call call)
{
    try {
        Link* link = OpenLink();
        return link != nullptr ? call(*link) : closed;
    } catch (...) {
        return failed;
    }
}

int32_t Open(const char* portName, uint16_t count, const uint16_t* addresses)
{
    if (portName == nullptr || count == 0 || count > seriallink::kMaxAddresses || addresses == nullptr) {
        return EINVAL;
    }
    Module& module = TheModule();
    std::lock_guard lock(module.opening);
    if (module.owner) {
        return EBUSY;
    }
    int error = 0;
    auto port = seriallink::platform::TermiosPort::Open(seriallink::platform::DevicePath(portName),
                                                        seriallink::kVariant.baudRate, error);
    if (!port) {
        return error;
    }
    auto link = std::make_unique<Link>(std::move(port), std::span(addresses, count), seriallink::kVariant,
                                       seriallink::kVariant.timing);
    error = link->Start(true);
    if (error != 0) {
        return error;
    }
    module.owner = std::move(link);
    module.link.store(module.owner.get(), std::memory_order_release);
    return 0;
}

}  // namespace

extern "C" {

SERIALLINK_API int32_t _AbrePorta(const char* port, uint16_t count, const uint16_t* addresses)
{
    try {
        return Open(port, count, addresses);
    } catch (...) {
        return ENOMEM;
    }
}

SERIALLINK_API int32_t _EscrevePorta(uint16_t address, const uint8_t* data, uint8_t command, int16_t length)
{
    return OnLink(seriallink::kNotDone, seriallink::kNotDone,
                  [&](Link& link) { return link.Write(address, data, command, length); });
}

SERIALLINK_API int32_t _LePorta(uint16_t* address, uint8_t* data, uint8_t* command, int16_t* length, uint32_t timeoutMs)
{
    return OnLink(seriallink::kNotDone, seriallink::kNotDone,
                  [&](Link& link) { return link.Read(address, data, command, length, timeoutMs); });
}

SERIALLINK_API int32_t _AtualizaPorta(void)
{
    return OnLink(EBADF, EIO, [](Link& link) { return link.ApplySettings(); });
}

SERIALLINK_API void _ResetRede(void) {}

}  // extern "C"
