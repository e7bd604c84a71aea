#include "impression/placement.h"

#include <cmath>

#include "core/det_math.h"
#include "core/value_noise.h"

namespace fpsynth {

Placement::Placement(Vec2 masterAnchor, Vec2 imageAnchor, double scale, double rotation,
                     const SkinDistortion& distortion)
    : masterAnchor_(masterAnchor),
      imageAnchor_(imageAnchor),
      scale_(scale),
      cos_(DetCos(rotation)),
      sin_(DetSin(rotation)),
      distortion_(distortion)
{
}

// Where the skin seen at offset u from the contact centre has moved to, relative to a rigid
// press: zero in the held centre, the outer movement further out.
Vec2 Placement::Displacement(Vec2 u) const
{
    const SkinDistortion& d = distortion_;
    const double r = std::sqrt(u.x * u.x + u.y * u.y);
    const double blend = SmoothStep(d.holdRadius, d.holdRadius + d.blendWidth, r);
    Vec2 moved{0, 0};
    if (blend > 0.0) {
        // Small-angle twist and stretch about the centre, plus the drag.
        moved.x = blend * (-d.twist * u.y + d.stretch * u.x + d.drag.x);
        moved.y = blend * (d.twist * u.x + d.stretch * u.y + d.drag.y);
    }
    if (d.wander > 0.0) {
        const ValueNoise wx(d.wanderSeed, 90.0);
        const ValueNoise wy(d.wanderSeed ^ 0xA5A5A5A5ull, 90.0);
        moved.x += d.wander * wx.At(u.x, u.y);
        moved.y += d.wander * wy.At(u.x, u.y);
    }
    return moved;
}

Vec2 Placement::MasterFromImage(Vec2 image) const
{
    Vec2 u{image.x - imageAnchor_.x, image.y - imageAnchor_.y};
    const Vec2 moved = Displacement(u);
    u.x = (u.x - moved.x) / scale_;
    u.y = (u.y - moved.y) / scale_;
    // Undo the rotation: the finger was turned by +rotation onto the image.
    return {masterAnchor_.x + cos_ * u.x + sin_ * u.y, masterAnchor_.y - sin_ * u.x + cos_ * u.y};
}

Vec2 Placement::ImageFromMaster(Vec2 master) const
{
    // The rigid placement first, then Newton steps on the full mapping.
    const double mx = master.x - masterAnchor_.x;
    const double my = master.y - masterAnchor_.y;
    Vec2 p{imageAnchor_.x + scale_ * (cos_ * mx - sin_ * my), imageAnchor_.y + scale_ * (sin_ * mx + cos_ * my)};
    constexpr double h = 0.25;
    for (int step = 0; step < 8; ++step) {
        const Vec2 q = MasterFromImage(p);
        const double ex = q.x - master.x;
        const double ey = q.y - master.y;
        if (ex * ex + ey * ey < 1e-8) {
            break;
        }
        const Vec2 qx = MasterFromImage({p.x + h, p.y});
        const Vec2 qy = MasterFromImage({p.x, p.y + h});
        const double a = (qx.x - q.x) / h;
        const double b = (qy.x - q.x) / h;
        const double c = (qx.y - q.y) / h;
        const double d = (qy.y - q.y) / h;
        const double det = a * d - b * c;
        if (det == 0.0) {
            break;
        }
        p.x -= (d * ex - b * ey) / det;
        p.y -= (-c * ex + a * ey) / det;
    }
    return p;
}

double Placement::ImageDirection(Vec2 master, double masterDirection) const
{
    constexpr double kReach = 4.0;
    const Vec2 from = ImageFromMaster(master);
    const Vec2 to =
        ImageFromMaster({master.x + kReach * DetCos(masterDirection), master.y + kReach * DetSin(masterDirection)});
    return WrapAngle(DetAtan2(to.y - from.y, to.x - from.x));
}

SkinDistortion DrawSkinDistortion(Random& random, double strength, double fingerSize)
{
    SkinDistortion d;
    d.holdRadius = fingerSize * random.Uniform(0.18, 0.3);
    d.blendWidth = fingerSize * random.Uniform(0.35, 0.5);
    d.twist = strength * random.Normal(0.0, 0.025);
    d.stretch = strength * random.Normal(0.0, 0.015);
    d.drag = {strength * random.Normal(0.0, 3.5), strength * random.Normal(0.0, 3.5)};
    d.wander = strength * random.Uniform(0.5, 2.0);
    d.wanderSeed = random.Next();
    return d;
}

}  // namespace fpsynth
