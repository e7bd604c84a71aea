// Arbitrary image bytes at arbitrary small sizes through the module: extraction succeeds,
// the maps keep their rules (outer ring without direction or period, a period exactly
// where there is a direction, periods in their documented range), the template decrypts
// to its header, and the same image gives the same result again.
//
// Input: byte 0 and 1 choose the width and height (1 to 96), byte 2 the template size,
// the rest are the pixels, repeated as needed.
#include <nettle/des.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "interface/module_state.h"
#include "template/template_cipher.h"

namespace {

void Check(bool ok, const char* rule)
{
    if (!ok) {
        std::fprintf(stderr, "fuzz rule broken: %s\n", rule);
        std::abort();
    }
}

bool PeriodInRange(int p)
{
    return p == 0 || (p >= 40 && p <= 200) || p >= 252;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 3) {
        return 0;
    }
    const int32_t width = 1 + data[0] % 96;
    const int32_t height = 1 + data[1] % 96;
    const int32_t templateSize = data[2] % 2 == 0 ? 256 : 400;
    std::vector<uint8_t> image(static_cast<size_t>(width) * static_cast<size_t>(height), 0);
    if (size > 3) {
        for (size_t i = 0; i < image.size(); ++i) {
            image[i] = data[3 + i % (size - 3)];
        }
    }

    fenrax::ModuleState state;
    Check(fenrax::InitialiseModule(state, width, height, templateSize) == fenrax::ModuleResult::Ok, "init");
    std::vector<uint8_t> encrypted(static_cast<size_t>(state.format.size) + 8, 0xAA);
    Check(fenrax::ProcessImage(state, image.data(), encrypted.data(), 0) == fenrax::ModuleResult::Ok, "process");
    Check(encrypted.back() == 0xAA, "writes no more than the template");

    const fenrax::Geometry& g = state.geometry;
    for (int32_t by = 0; by < g.blocksHigh; ++by) {
        for (int32_t bx = 0; bx < g.blocksWide; ++bx) {
            const int d = state.directionMap[g.BlockIndex(bx, by)];
            const int p = state.periodMap[g.BlockIndex(bx, by)];
            Check(d <= 8, "direction 0..8");
            Check(PeriodInRange(p), "period 40..200, 0 or negative");
            Check((d == 8) == (p == 0), "a period exactly where there is a direction");
            if (!g.IsInteriorBlock(bx, by)) {
                Check(d == 8 && p == 0, "outer ring without direction or period");
            }
        }
    }

    des_ctx context{};
    des_set_key(&context, fenrax::kTemplateKey.data());
    std::vector<uint8_t> plain(encrypted.begin(), encrypted.begin() + state.format.size);
    des_decrypt(&context, plain.size(), plain.data(), plain.data());
    Check(plain[13] == 0, "no minutiae yet");
    Check((plain[14] | plain[15] << 8) == width / 2 && (plain[16] | plain[17] << 8) == height / 2, "half sizes");
    Check(plain[19] == state.format.mark, "mark");

    const std::vector<uint8_t> directions = state.directionMap;
    const std::vector<uint8_t> periods = state.periodMap;
    std::vector<uint8_t> again(encrypted.size(), 0xAA);
    Check(fenrax::ProcessImage(state, image.data(), again.data(), 0) == fenrax::ModuleResult::Ok, "process again");
    Check(again == encrypted && state.directionMap == directions && state.periodMap == periods, "deterministic");
    return 0;
}
