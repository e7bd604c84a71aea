#include "maps/signature_table.h"

#include <cmath>

namespace fenrax {
namespace {

int FloorExact(double value)
{
    const double nearest = std::round(value);
    return std::fabs(value - nearest) < 1e-9 ? static_cast<int>(nearest) : static_cast<int>(std::floor(value));
}

SignatureTable BuildTable()
{
    SignatureTable table{};
    for (int d = 0; d < kDirections; ++d) {
        const double angle = d * 22.5 * 3.14159265358979323846 / 180.0;
        const double c = std::cos(angle);
        const double s = std::sin(angle);
        for (int l = 0; l < kSignatureLength; ++l) {
            for (int k = 0; k < kSignatureWidth; ++k) {
                const double u = k - 4;
                const double v = 12 - l;
                table[d][l][k] = {FloorExact(u * c - v * s), FloorExact(u * s + v * c)};
            }
        }
    }
    return table;
}

}  // namespace

const SignatureTable& RidgeSignatureTable()
{
    static const SignatureTable table = BuildTable();
    return table;
}

}  // namespace fenrax
