// Any bytes given to fenrax-extract's PGM reader are read or refused with a reason; what
// is read has the size its header announced, within the extractor's limits.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>

#include "interface/geometry.h"
#include "tools/pgm_file.h"

namespace {

void Check(bool ok, const char* rule)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz rule broken: %s\n", rule);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const fenrax::tools::PgmReading reading = fenrax::tools::ReadPgm(std::span<const uint8_t>(data, size));
    if (!reading.image) {
        Check(!reading.error.empty(), "a refusal says why");
        return 0;
    }
    const fenrax::tools::PgmImage& image = *reading.image;
    Check(image.width >= 1 && image.width <= fenrax::kMaximumRawSide, "width within the extractor's limits");
    Check(image.height >= 1 && image.height <= fenrax::kMaximumRawSide, "height within the extractor's limits");
    Check(image.pixels.size() == static_cast<size_t>(image.width) * static_cast<size_t>(image.height),
          "one byte a pixel");
    return 0;
}
