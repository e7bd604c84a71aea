#include "biometrics/extractor.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/grid.h"
#include "dactis/dactis.h"
#include "master/ridge_cleanup.h"
#include "minutiae/minutiae_detection.h"
#include "minutiae/skeleton.h"

namespace dactis {
namespace {

using fpsynth::Grid;

constexpr int kBlock = 8;                 // segmentation blocks, pixels a side
constexpr double kMinBlockDeviation = 9;  // grey levels; flat paper and glass stay below
constexpr int kMeanHalfWindow = 7;        // local mean for binarisation: 15 x 15
constexpr int kSpeckArea = 25;            // ridge specks and valley pinholes, pixels

// Integral image with one extra row and column of zeros.
class Integral {
public:
    explicit Integral(const Grid<int>& values) : sums_(values.width + 1, values.height + 1, 0)
    {
        for (int y = 0; y < values.height; ++y) {
            for (int x = 0; x < values.width; ++x) {
                sums_.at(x + 1, y + 1) = values.at(x, y) + sums_.at(x, y + 1) + sums_.at(x + 1, y) - sums_.at(x, y);
            }
        }
    }
    // Sum over [x0, x1) x [y0, y1).
    int64_t Sum(int x0, int y0, int x1, int y1) const
    {
        return sums_.at(x1, y1) - sums_.at(x0, y1) - sums_.at(x1, y0) + sums_.at(x0, y0);
    }

private:
    Grid<int64_t> sums_;
};

// A 5 x 5 binomial blur: sensor noise and pores would otherwise break ridges apart.
Grid<int> Smooth(const GreyView& image)
{
    static constexpr int kWeights[5] = {1, 4, 6, 4, 1};
    const int w = image.width;
    const int h = image.height;
    auto pixel = [&](int x, int y) {
        x = std::clamp(x, 0, w - 1);
        y = std::clamp(y, 0, h - 1);
        return static_cast<int>(image.pixels[static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x)]);
    };
    Grid<int> across(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int sum = 0;
            for (int k = -2; k <= 2; ++k) {
                sum += kWeights[k + 2] * pixel(x + k, y);
            }
            across.at(x, y) = sum;
        }
    }
    Grid<int> smooth(w, h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int sum = 0;
            for (int k = -2; k <= 2; ++k) {
                sum += kWeights[k + 2] * across.at(x, std::clamp(y + k, 0, h - 1));
            }
            smooth.at(x, y) = (sum + 128) / 256;
        }
    }
    return smooth;
}

// Blocks whose grey levels vary like ridges do, without holes, shrunk by one block so
// that the finger's own edge is not read as ridge ends.
Grid<uint8_t> FingerArea(const Grid<int>& smooth, std::vector<double>& blockDeviation)
{
    const int bw = (smooth.width + kBlock - 1) / kBlock;
    const int bh = (smooth.height + kBlock - 1) / kBlock;
    Grid<uint8_t> blocks(bw, bh);
    blockDeviation.assign(static_cast<size_t>(bw) * static_cast<size_t>(bh), 0.0);
    for (int by = 0; by < bh; ++by) {
        for (int bx = 0; bx < bw; ++bx) {
            double sum = 0;
            double squares = 0;
            int n = 0;
            for (int y = by * kBlock; y < std::min(smooth.height, (by + 1) * kBlock); ++y) {
                for (int x = bx * kBlock; x < std::min(smooth.width, (bx + 1) * kBlock); ++x) {
                    const double v = smooth.at(x, y);
                    sum += v;
                    squares += v * v;
                    ++n;
                }
            }
            const double mean = sum / n;
            const double deviation = std::sqrt(std::max(0.0, squares / n - mean * mean));
            blockDeviation[static_cast<size_t>(by) * static_cast<size_t>(bw) + static_cast<size_t>(bx)] = deviation;
            blocks.at(bx, by) = deviation >= kMinBlockDeviation ? 1 : 0;
        }
    }
    // Close small gaps (a dry patch inside the finger), then shrink.
    Grid<uint8_t> closed = blocks;
    for (int by = 0; by < bh; ++by) {
        for (int bx = 0; bx < bw; ++bx) {
            int around = 0;
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    around += blocks.Contains(bx + dx, by + dy) && blocks.at(bx + dx, by + dy) != 0 ? 1 : 0;
                }
            }
            if (around >= 6) {
                closed.at(bx, by) = 1;
            }
        }
    }
    Grid<uint8_t> inner(bw, bh);
    for (int by = 0; by < bh; ++by) {
        for (int bx = 0; bx < bw; ++bx) {
            bool all = true;
            for (int dy = -1; dy <= 1 && all; ++dy) {
                for (int dx = -1; dx <= 1 && all; ++dx) {
                    all = closed.Contains(bx + dx, by + dy) && closed.at(bx + dx, by + dy) != 0;
                }
            }
            inner.at(bx, by) = all ? 1 : 0;
        }
    }
    Grid<uint8_t> area(smooth.width, smooth.height);
    for (int y = 0; y < smooth.height; ++y) {
        for (int x = 0; x < smooth.width; ++x) {
            area.at(x, y) = inner.at(x / kBlock, y / kBlock);
        }
    }
    return area;
}

// 1 where a pixel of the finger's neighbourhood is darker than the mean around it.
Grid<uint8_t> BinaryRidges(const Grid<int>& smooth, const Grid<uint8_t>& region)
{
    const Integral integral(smooth);
    Grid<uint8_t> ridges(smooth.width, smooth.height);
    for (int y = 0; y < smooth.height; ++y) {
        for (int x = 0; x < smooth.width; ++x) {
            if (region.at(x, y) == 0) {
                continue;
            }
            const int x0 = std::max(0, x - kMeanHalfWindow);
            const int y0 = std::max(0, y - kMeanHalfWindow);
            const int x1 = std::min(smooth.width, x + kMeanHalfWindow + 1);
            const int y1 = std::min(smooth.height, y + kMeanHalfWindow + 1);
            const int64_t count = static_cast<int64_t>(x1 - x0) * (y1 - y0);
            ridges.at(x, y) = static_cast<int64_t>(smooth.at(x, y)) * count < integral.Sum(x0, y0, x1, y1) ? 1 : 0;
        }
    }
    // Specks and pinholes would become short ridges and little loops, each two false minutiae.
    Grid<float> signedRidges(smooth.width, smooth.height);
    for (size_t i = 0; i < ridges.data.size(); ++i) {
        signedRidges.data[i] = ridges.data[i] != 0 ? 1.0f : -1.0f;
    }
    fpsynth::RemoveSpecks(signedRidges, region, kSpeckArea);
    for (size_t i = 0; i < ridges.data.size(); ++i) {
        ridges.data[i] = region.data[i] != 0 && signedRidges.data[i] > 0 ? 1 : 0;
    }
    return ridges;
}

// Grows the finger area by a few pixels, so that ridges are binarised a little beyond
// the part where minutiae are kept and line ends at the border are not cut artificially.
Grid<uint8_t> Grow(const Grid<uint8_t>& area, int margin)
{
    Grid<uint8_t> grown(area.width, area.height);
    for (int y = 0; y < area.height; ++y) {
        for (int x = 0; x < area.width; ++x) {
            bool any = false;
            for (int dy = -margin; dy <= margin && !any; dy += margin) {
                for (int dx = -margin; dx <= margin && !any; dx += margin) {
                    any = area.Contains(x + dx, y + dy) && area.at(x + dx, y + dy) != 0;
                }
            }
            grown.at(x, y) = any ? 1 : 0;
        }
    }
    return grown;
}

}  // namespace

Extraction ExtractMinutiae(const GreyView& image, int resolution)
{
    Extraction extraction;
    const Grid<int> smooth = Smooth(image);
    std::vector<double> blockDeviation;
    const Grid<uint8_t> area = FingerArea(smooth, blockDeviation);
    Grid<uint8_t> skeleton = BinaryRidges(smooth, Grow(area, kBlock));
    fpsynth::ThinRidges(skeleton);
    const std::vector<fpsynth::Minutia> found = fpsynth::DetectMinutiae(skeleton, area, fpsynth::DetectionRules{});

    const int blocksWide = (image.width + kBlock - 1) / kBlock;
    FingerTemplate& out = extraction.fingerTemplate;
    out.width = image.width;
    out.height = image.height;
    out.resolution = resolution;
    for (const fpsynth::Minutia& m : found) {
        TemplateMinutia t;
        t.x = std::clamp(static_cast<int>(std::lround(m.x)), 0, image.width - 1);
        t.y = std::clamp(static_cast<int>(std::lround(m.y)), 0, image.height - 1);
        t.direction = static_cast<int>(std::lround(m.direction)) % 360;
        t.kind = m.type == fpsynth::MinutiaType::Bifurcation ? MinutiaKind::Bifurcation : MinutiaKind::Ending;
        // Contrast of the ridges around it: faint ridges give doubtful minutiae.
        const double deviation = blockDeviation[static_cast<size_t>(t.y / kBlock) * static_cast<size_t>(blocksWide) +
                                                static_cast<size_t>(t.x / kBlock)];
        t.quality = std::clamp(static_cast<int>(deviation * 2.0), 0, 100);
        out.minutiae.push_back(t);
    }
    if (out.minutiae.size() > DC_MAX_MINUTIAE) {
        std::stable_sort(out.minutiae.begin(), out.minutiae.end(),
                         [](const TemplateMinutia& a, const TemplateMinutia& b) { return a.quality > b.quality; });
        out.minutiae.resize(DC_MAX_MINUTIAE);
    }
    if (out.minutiae.size() < DC_MIN_MINUTIAE) {
        extraction.result = DC_ERROR_POOR_IMAGE;
        return extraction;
    }
    int quality = 0;
    for (const TemplateMinutia& m : out.minutiae) {
        quality += m.quality;
    }
    out.quality = quality / static_cast<int>(out.minutiae.size());
    extraction.result = DC_OK;
    return extraction;
}

}  // namespace dactis
