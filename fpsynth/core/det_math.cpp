#include "core/det_math.h"

#include <cmath>

namespace fpsynth {
namespace {

// pi/2 split in two so that k * pi/2 is subtracted without losing the low bits.
constexpr double kHalfPiHigh = 1.57079632673412561417e+00;
constexpr double kHalfPiLow = 6.07710050650619224932e-11;

// Taylor series on |r| <= pi/4; the first omitted terms are below 1e-12.
double SinKernel(double r)
{
    const double r2 = r * r;
    double p = 1.0 / 6227020800.0;  // 1/13!
    p = p * r2 - 1.0 / 39916800.0;
    p = p * r2 + 1.0 / 362880.0;
    p = p * r2 - 1.0 / 5040.0;
    p = p * r2 + 1.0 / 120.0;
    p = p * r2 - 1.0 / 6.0;
    return r + r * r2 * p;
}

double CosKernel(double r)
{
    const double r2 = r * r;
    double p = -1.0 / 87178291200.0;  // -1/14!
    p = p * r2 + 1.0 / 479001600.0;
    p = p * r2 - 1.0 / 3628800.0;
    p = p * r2 + 1.0 / 40320.0;
    p = p * r2 - 1.0 / 720.0;
    p = p * r2 + 1.0 / 24.0;
    p = p * r2 - 0.5;
    return 1.0 + r2 * p;
}

// sin and cos of x through the quadrant of x.
void SinCos(double x, double& s, double& c)
{
    const double k = std::floor(x / kHalfPi + 0.5);
    const double r = (x - k * kHalfPiHigh) - k * kHalfPiLow;
    const double sr = SinKernel(r);
    const double cr = CosKernel(r);
    const long quadrant = static_cast<long>(k - 4.0 * std::floor(k / 4.0));
    switch (quadrant) {
        case 0:
            s = sr;
            c = cr;
            break;
        case 1:
            s = cr;
            c = -sr;
            break;
        case 2:
            s = -sr;
            c = -cr;
            break;
        default:
            s = -cr;
            c = sr;
            break;
    }
}

// atan on [0, 1]: shifted by pi/6 into |u| <= tan(pi/12), then a Taylor series.
double AtanUnit(double t)
{
    constexpr double kSqrt3 = 1.73205080756887729353;
    constexpr double kTanPi12 = 0.26794919243112270647;
    double offset = 0.0;
    if (t > kTanPi12) {
        t = (t * kSqrt3 - 1.0) / (t + kSqrt3);
        offset = kPi / 6.0;
    }
    const double t2 = t * t;
    double p = 1.0 / 17.0;
    p = -p * t2 + 1.0 / 15.0;
    p = -p * t2 + 1.0 / 13.0;
    p = -p * t2 + 1.0 / 11.0;
    p = -p * t2 + 1.0 / 9.0;
    p = -p * t2 + 1.0 / 7.0;
    p = -p * t2 + 1.0 / 5.0;
    p = -p * t2 + 1.0 / 3.0;
    p = -p * t2 + 1.0;
    return offset + t * p;
}

}  // namespace

double DetSin(double x)
{
    double s = 0.0;
    double c = 0.0;
    SinCos(x, s, c);
    return s;
}

double DetCos(double x)
{
    double s = 0.0;
    double c = 0.0;
    SinCos(x, s, c);
    return c;
}

double DetAtan(double x)
{
    const double a = x < 0.0 ? -x : x;
    const double r = a <= 1.0 ? AtanUnit(a) : kHalfPi - AtanUnit(1.0 / a);
    return x < 0.0 ? -r : r;
}

double DetAtan2(double y, double x)
{
    if (x == 0.0 && y == 0.0) {
        return 0.0;
    }
    const double ax = x < 0.0 ? -x : x;
    const double ay = y < 0.0 ? -y : y;
    double r = ay <= ax ? AtanUnit(ay / ax) : kHalfPi - AtanUnit(ax / ay);
    if (x < 0.0) {
        r = kPi - r;
    }
    return y < 0.0 ? -r : r;
}

double DetExp(double x)
{
    if (x < -700.0) {
        return 0.0;
    }
    if (x > 700.0) {
        x = 700.0;
    }
    constexpr double kLn2 = 0.69314718055994530942;
    const double k = std::floor(x / kLn2 + 0.5);
    const double r = x - k * kLn2;  // |r| <= ln2/2
    double p = 1.0;                 // Horner form of the series up to r^12/12!
    for (int n = 12; n >= 1; --n) {
        p = 1.0 + r * p / n;
    }
    return std::ldexp(p, static_cast<int>(k));
}

double WrapAngle(double radians)
{
    const double w = radians - kTwoPi * std::floor(radians / kTwoPi);
    return w >= kTwoPi ? 0.0 : w;
}

double WrapOrientation(double radians)
{
    const double w = radians - kPi * std::floor(radians / kPi);
    return w >= kPi ? 0.0 : w;
}

}  // namespace fpsynth
