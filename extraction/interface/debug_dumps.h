// Where the pipeline's intermediate images go when the caller asks for debug dumps.
#pragma once

#include <cstdint>
#include <span>

namespace fenrax {

class DumpSink {
public:
    virtual ~DumpSink() = default;
    // One whole file of that name; a dump that cannot be written is skipped silently.
    virtual void Write(const char* name, std::span<const uint8_t> bytes) = 0;
};

// Debug dumps not asked for.
class NoDumps final : public DumpSink {
public:
    void Write(const char*, std::span<const uint8_t>) override {}
};

}  // namespace fenrax
