// Debug dumps as files of the current folder ("enh.raw", "dir.dat", ...), created or
// truncated, bytes without header.
#pragma once

#include "interface/debug_dumps.h"

namespace fenrax {

class CurrentFolderDumps final : public DumpSink {
public:
    void Write(const char* name, std::span<const uint8_t> bytes) override;
};

}  // namespace fenrax
