#include "support/ridge_reference.h"

#include <cmath>

namespace fenrax::testing {

double GreyView::At(double x, double y) const
{
    const int x0 = static_cast<int>(std::floor(x));
    const int y0 = static_cast<int>(std::floor(y));
    if (x0 < 0 || y0 < 0 || x0 + 1 >= width || y0 + 1 >= height) {
        return 255;
    }
    const double fx = x - x0;
    const double fy = y - y0;
    auto p = [&](int px, int py) { return static_cast<double>(pixels[py * width + px]); };
    const double top = p(x0, y0) * (1 - fx) + p(x0 + 1, y0) * fx;
    const double bottom = p(x0, y0 + 1) * (1 - fx) + p(x0 + 1, y0 + 1) * fx;
    return top * (1 - fy) + bottom * fy;
}

Orientation RidgeOrientation(const GreyView& image, int cx, int cy, int half)
{
    double xx = 0;
    double yy = 0;
    double xy = 0;
    for (int y = cy - half; y <= cy + half; ++y) {
        for (int x = cx - half; x <= cx + half; ++x) {
            const double gx = image.At(x + 1, y) - image.At(x - 1, y);
            const double gy = image.At(x, y + 1) - image.At(x, y - 1);
            xx += gx * gx;
            yy += gy * gy;
            xy += gx * gy;
        }
    }
    // The gradients point across the ridges; the ridges run a quarter turn from them.
    double across = 0.5 * std::atan2(2 * xy, xx - yy) * 180.0 / M_PI;
    double along = across + 90.0;
    along = std::fmod(along + 360.0, 180.0);
    const double total = xx + yy;
    return {along, total > 0 ? std::sqrt((xx - yy) * (xx - yy) + 4 * xy * xy) / total : 0};
}

double RidgePeriod(const GreyView& image, double cx, double cy, double orientationDegrees)
{
    const double a = orientationDegrees * M_PI / 180.0;
    const double ux = std::cos(a);  // along the ridges
    const double uy = std::sin(a);
    const double nx = -uy;  // across
    const double ny = ux;
    constexpr double kStep = 0.25;
    constexpr int kHalfLength = 64;  // samples each side: 16 pixels
    std::vector<double> profile;
    for (int i = -kHalfLength; i <= kHalfLength; ++i) {
        double sum = 0;
        for (int s = -4; s <= 4; ++s) {
            sum += image.At(cx + i * kStep * nx + s * ux, cy + i * kStep * ny + s * uy);
        }
        profile.push_back(sum / 9);
    }
    double mean = 0;
    for (const double v : profile) {
        mean += v;
    }
    mean /= static_cast<double>(profile.size());
    for (double& v : profile) {
        v -= mean;
    }
    auto correlation = [&](int lag) {
        double sum = 0;
        double norm = 0;
        for (size_t i = 0; i + static_cast<size_t>(lag) < profile.size(); ++i) {
            sum += profile[i] * profile[i + static_cast<size_t>(lag)];
            norm += profile[i] * profile[i];
        }
        return norm > 0 ? sum / norm : 0.0;
    };
    // The first clear peak between 4 and 20 pixels, refined by a parabola.
    const int first = static_cast<int>(4 / kStep);
    const int last = static_cast<int>(20 / kStep);
    for (int lag = first; lag < last; ++lag) {
        const double c0 = correlation(lag - 1);
        const double c1 = correlation(lag);
        const double c2 = correlation(lag + 1);
        if (c1 > 0.3 && c1 >= c0 && c1 > c2) {
            const double denominator = c0 - 2 * c1 + c2;
            const double shift = denominator != 0 ? 0.5 * (c0 - c2) / denominator : 0;
            return (lag + shift) * kStep;
        }
    }
    return 0;
}

double OrientationDistance(double a, double b)
{
    const double d = std::fmod(std::fabs(a - b), 180.0);
    return d > 90 ? 180 - d : d;
}

}  // namespace fenrax::testing
