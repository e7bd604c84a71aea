#include "fingerprint_analysis.h"

#include <cmath>

#include "minutiae/skeleton.h"

namespace fpsynth::testing {
namespace {

constexpr double kPi = 3.14159265358979323846;

double Pixel(const GreyImage& image, double x, double y)
{
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    if (x0 < 0 || y0 < 0 || x0 + 1 >= image.width || y0 + 1 >= image.height) {
        return 0;
    }
    const double fx = x - x0;
    const double fy = y - y0;
    const double top = image.at(x0, y0) * (1 - fx) + image.at(x0 + 1, y0) * fx;
    const double bottom = image.at(x0, y0 + 1) * (1 - fx) + image.at(x0 + 1, y0 + 1) * fx;
    return top * (1 - fy) + bottom * fy;
}

// Orientation of the grey-level gradients in a window: the direction across the ridges,
// in [0, pi), and how clear it is (0 .. 1).
void GradientDirection(const GreyImage& image, int cx, int cy, int half, double& across, double& coherence)
{
    double xx = 0;
    double yy = 0;
    double xy = 0;
    for (int y = cy - half; y <= cy + half; ++y) {
        for (int x = cx - half; x <= cx + half; ++x) {
            if (x < 1 || y < 1 || x + 1 >= image.width || y + 1 >= image.height) {
                continue;
            }
            const double gx = image.at(x + 1, y) - image.at(x - 1, y);
            const double gy = image.at(x, y + 1) - image.at(x, y - 1);
            xx += gx * gx;
            yy += gy * gy;
            xy += gx * gy;
        }
    }
    across = 0.5 * std::atan2(2 * xy, xx - yy);
    if (across < 0) {
        across += kPi;
    }
    const double total = xx + yy;
    coherence = total > 0 ? std::sqrt((xx - yy) * (xx - yy) + 4 * xy * xy) / total : 0;
}

bool MaskCovers(const GreyImage& mask, int x0, int y0, int x1, int y1)
{
    for (int y = y0; y <= y1; ++y) {
        for (int x = x0; x <= x1; ++x) {
            if (x < 0 || y < 0 || x >= mask.width || y >= mask.height || mask.at(x, y) == 0) {
                return false;
            }
        }
    }
    return true;
}

}  // namespace

uint64_t Checksum(const std::vector<uint8_t>& bytes)
{
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const uint8_t b : bytes) {
        hash = (hash ^ b) * 0x100000001B3ull;
    }
    return hash;
}

std::vector<double> BlockRidgePeriods(const GreyImage& image, const GreyImage& mask)
{
    std::vector<double> periods;
    for (int cy = 24; cy + 24 < image.height; cy += 32) {
        for (int cx = 24; cx + 24 < image.width; cx += 32) {
            if (!MaskCovers(mask, cx - 24, cy - 24, cx + 24, cy + 24)) {
                continue;
            }
            double across = 0;
            double coherence = 0;
            GradientDirection(image, cx, cy, 16, across, coherence);
            if (coherence < 0.4) {
                continue;
            }
            // Grey profile across the ridges, each sample averaged along them.
            const double nx = std::cos(across);
            const double ny = std::sin(across);
            constexpr int kLength = 41;
            double profile[kLength];
            double mean = 0;
            for (int t = 0; t < kLength; ++t) {
                double sum = 0;
                for (int s = -6; s <= 6; ++s) {
                    sum += Pixel(image, cx + (t - 20) * nx - s * ny, cy + (t - 20) * ny + s * nx);
                }
                profile[t] = sum / 13;
                mean += profile[t] / kLength;
            }
            double correlation[21] = {};
            for (int lag = 0; lag <= 20; ++lag) {
                for (int t = 0; t + lag < kLength; ++t) {
                    correlation[lag] += (profile[t] - mean) * (profile[t + lag] - mean);
                }
                correlation[lag] /= kLength - lag;
            }
            for (int lag = 4; lag < 20; ++lag) {
                if (correlation[lag] > 0.2 * correlation[0] && correlation[lag] >= correlation[lag - 1] &&
                    correlation[lag] >= correlation[lag + 1]) {
                    // Parabola through the peak and its neighbours.
                    const double a = correlation[lag - 1];
                    const double b = correlation[lag];
                    const double c = correlation[lag + 1];
                    const double denominator = a - 2 * b + c;
                    periods.push_back(lag + (denominator != 0 ? 0.5 * (a - c) / denominator : 0));
                    break;
                }
            }
        }
    }
    return periods;
}

Grid<uint8_t> BinariseRidges(const GreyImage& image, const GreyImage& mask)
{
    const int w = image.width;
    const int h = image.height;
    std::vector<int64_t> integral(static_cast<size_t>(w + 1) * static_cast<size_t>(h + 1), 0);
    const auto at = [&](int x, int y) -> int64_t& { return integral[static_cast<size_t>(y) * (w + 1) + x]; };
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            at(x + 1, y + 1) = image.at(x, y) + at(x, y + 1) + at(x + 1, y) - at(x, y);
        }
    }
    Grid<uint8_t> binary(w, h);
    constexpr int kHalf = 7;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            if (mask.at(x, y) == 0) {
                continue;
            }
            const int x0 = x - kHalf < 0 ? 0 : x - kHalf;
            const int y0 = y - kHalf < 0 ? 0 : y - kHalf;
            const int x1 = x + kHalf + 1 > w ? w : x + kHalf + 1;
            const int y1 = y + kHalf + 1 > h ? h : y + kHalf + 1;
            const int64_t sum = at(x1, y1) - at(x0, y1) - at(x1, y0) + at(x0, y0);
            const int64_t count = static_cast<int64_t>(x1 - x0) * (y1 - y0);
            binary.at(x, y) = static_cast<int64_t>(image.at(x, y)) * count < sum ? 1 : 0;
        }
    }
    return binary;
}

std::vector<Minutia> SkeletonMinutiae(const Grid<uint8_t>& skeleton)
{
    std::vector<Minutia> points;
    for (int y = 0; y < skeleton.height; ++y) {
        for (int x = 0; x < skeleton.width; ++x) {
            if (skeleton.at(x, y) == 0) {
                continue;
            }
            const int cn = CrossingNumber(skeleton, x, y);
            if (cn == 1 || cn == 3) {
                points.push_back({static_cast<double>(x), static_cast<double>(y), 0,
                                  cn == 1 ? MinutiaType::Ending : MinutiaType::Bifurcation});
            }
        }
    }
    return points;
}

std::vector<SingularPoint> FindSingularPoints(const GreyImage& image, const GreyImage& mask, int margin)
{
    // Ridge orientation every 6 pixels from the gradients of a 33 x 33 window, smoothed in
    // doubled angles.
    constexpr int kStep = 6;
    const int gw = image.width / kStep;
    const int gh = image.height / kStep;
    std::vector<double> c2(static_cast<size_t>(gw * gh));
    std::vector<double> s2(static_cast<size_t>(gw * gh));
    for (int j = 0; j < gh; ++j) {
        for (int i = 0; i < gw; ++i) {
            double across = 0;
            double coherence = 0;
            GradientDirection(image, i * kStep, j * kStep, 16, across, coherence);
            c2[static_cast<size_t>(j * gw + i)] = std::cos(2 * across);
            s2[static_cast<size_t>(j * gw + i)] = std::sin(2 * across);
        }
    }
    const auto orientation = [&](int i, int j) {
        double c = 0;
        double s = 0;
        for (int dj = -1; dj <= 1; ++dj) {
            for (int di = -1; di <= 1; ++di) {
                const int ii = i + di < 0 ? 0 : (i + di >= gw ? gw - 1 : i + di);
                const int jj = j + dj < 0 ? 0 : (j + dj >= gh ? gh - 1 : j + dj);
                c += c2[static_cast<size_t>(jj * gw + ii)];
                s += s2[static_cast<size_t>(jj * gw + ii)];
            }
        }
        return 0.5 * std::atan2(s, c);
    };
    // The Poincare index around the 2 x 2 grid cells of a loop of 8 neighbours.
    struct Found {
        double x, y, index;
        int count;
    };
    std::vector<Found> found;
    constexpr int kLoop[8][2] = {{-1, -1}, {0, -1}, {1, -1}, {1, 0}, {1, 1}, {0, 1}, {-1, 1}, {-1, 0}};
    for (int j = 1; j + 1 < gh; ++j) {
        for (int i = 1; i + 1 < gw; ++i) {
            const int px = i * kStep;
            const int py = j * kStep;
            if (!MaskCovers(mask, px - margin, py - margin, px + margin, py + margin)) {
                continue;
            }
            double total = 0;
            for (int k = 0; k < 8; ++k) {
                const double a = orientation(i + kLoop[k][0], j + kLoop[k][1]);
                const double b = orientation(i + kLoop[(k + 1) % 8][0], j + kLoop[(k + 1) % 8][1]);
                double d = b - a;
                while (d > kPi / 2) {
                    d -= kPi;
                }
                while (d <= -kPi / 2) {
                    d += kPi;
                }
                total += d;
            }
            const double index = total / kPi;  // +-0.5 (core, delta) around a singular point
            if (std::fabs(index) < 0.25) {
                continue;
            }
            bool merged = false;
            for (Found& f : found) {
                if ((f.index > 0) == (index > 0) && std::hypot(f.x / f.count - px, f.y / f.count - py) < 20) {
                    f.x += px;
                    f.y += py;
                    ++f.count;
                    merged = true;
                    break;
                }
            }
            if (!merged) {
                found.push_back({static_cast<double>(px), static_cast<double>(py), index, 1});
            }
        }
    }
    std::vector<SingularPoint> points;
    for (const Found& f : found) {
        points.push_back({f.x / f.count, f.y / f.count, f.index > 0 ? SingularKind::Core : SingularKind::Delta});
    }
    return points;
}

GreyImage FingerMask(const GreyImage& master)
{
    GreyImage mask(master.width, master.height);
    for (size_t i = 0; i < master.pixels.size(); ++i) {
        mask.pixels[i] = master.pixels[i] < 250 ? 255 : 0;
    }
    // Ridge-free white inside the finger (valleys) must count too: fill each row between
    // its first and last finger pixel.
    for (int y = 0; y < mask.height; ++y) {
        int first = -1;
        int last = -1;
        for (int x = 0; x < mask.width; ++x) {
            if (mask.at(x, y) != 0) {
                first = first < 0 ? x : first;
                last = x;
            }
        }
        for (int x = first; x >= 0 && x <= last; ++x) {
            mask.at(x, y) = 255;
        }
    }
    return mask;
}

}  // namespace fpsynth::testing
