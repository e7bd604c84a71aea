// Module state that lives until the process ends and is never destroyed: the capture
// thread, or a thread of the host inside a callback, may still use it while the process
// runs its exit handlers.
#pragma once

#include <cstddef>
#include <memory>

namespace dactis {

template <class T>
class Immortal {
public:
    Immortal() { std::construct_at(reinterpret_cast<T*>(storage_)); }
    T& get() { return *std::launder(reinterpret_cast<T*>(storage_)); }

private:
    alignas(T) std::byte storage_[sizeof(T)];
};

}  // namespace dactis
