// Deterministic replacements for the libm functions that shape image bytes. Each is built
// from additions, multiplications, divisions, sqrt, floor and ldexp only, all of which IEEE
// arithmetic rounds the same way everywhere (with contraction off), so a seed gives the same
// bytes on every machine. Accuracy is far beyond what an 8-bit image can show (about 1e-12).
#pragma once

namespace fpsynth {

inline constexpr double kPi = 3.14159265358979323846;
inline constexpr double kTwoPi = 2.0 * kPi;
inline constexpr double kHalfPi = 0.5 * kPi;

double DetSin(double x);
double DetCos(double x);
// Angle of (x, y) in (-pi, pi]; 0 for (0, 0).
double DetAtan2(double y, double x);
double DetAtan(double x);
double DetExp(double x);

// An angle folded into [0, 2*pi), or an orientation folded into [0, pi).
double WrapAngle(double radians);
double WrapOrientation(double radians);

inline double Clamp(double v, double lo, double hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

// 0 below edge0, 1 above edge1, a smooth cubic between.
inline double SmoothStep(double edge0, double edge1, double v)
{
    const double t = Clamp((v - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

inline double DegreesFromRadians(double r)
{
    return r * (180.0 / kPi);
}

inline double RadiansFromDegrees(double d)
{
    return d * (kPi / 180.0);
}

}  // namespace fpsynth
