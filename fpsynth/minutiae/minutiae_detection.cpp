#include "minutiae/minutiae_detection.h"

#include "core/det_math.h"
#include "minutiae/skeleton.h"

namespace fpsynth {
namespace {

// 4-neighbours first, so that a walk along a line never cuts a corner past a pixel.
constexpr int kDx[8] = {0, 1, 0, -1, 1, 1, -1, -1};
constexpr int kDy[8] = {-1, 0, 1, 0, -1, 1, 1, -1};

struct Point {
    int x, y;
};

struct Trace {
    Point end{};
    int steps = 0;
    bool reachedMinutia = false;  // stopped on a line end or a fork other than the start
};

// Walks along the skeleton from start through first for at most maxSteps pixels, stopping
// on the first pixel that is not plain line.
Trace Follow(const Grid<uint8_t>& skeleton, Point start, Point first, int maxSteps)
{
    Trace trace;
    Point previous = start;
    Point current = first;
    Point beforePrevious = start;
    trace.steps = 1;
    for (;;) {
        trace.end = current;
        if (CrossingNumber(skeleton, current.x, current.y) != 2) {
            trace.reachedMinutia = true;
            return trace;
        }
        if (trace.steps >= maxSteps) {
            return trace;
        }
        bool moved = false;
        for (int k = 0; k < 8; ++k) {
            const Point next{current.x + kDx[k], current.y + kDy[k]};
            if (!skeleton.Contains(next.x, next.y) || skeleton.at(next.x, next.y) == 0) {
                continue;
            }
            // Never back, and never onto the start or another branch leaving it.
            const int sx = next.x - start.x;
            const int sy = next.y - start.y;
            if ((next.x == previous.x && next.y == previous.y) ||
                (next.x == beforePrevious.x && next.y == beforePrevious.y) || sx * sx + sy * sy <= 2) {
                continue;
            }
            beforePrevious = previous;
            previous = current;
            current = next;
            moved = true;
            break;
        }
        if (!moved) {
            return trace;
        }
        ++trace.steps;
    }
}

double DirectionTo(Point from, Point to)
{
    return WrapAngle(DetAtan2(to.y - from.y, to.x - from.x));
}

struct Candidate {
    Minutia minutia;
    bool keep = true;
};

}  // namespace

std::vector<Minutia> DetectMinutiae(const Grid<uint8_t>& skeleton, const Grid<uint8_t>& valid,
                                    const DetectionRules& rules)
{
    std::vector<Candidate> candidates;
    std::vector<Point> spurFeet;  // forks that carry a spur; they are artefacts too
    for (int y = 0; y < skeleton.height; ++y) {
        for (int x = 0; x < skeleton.width; ++x) {
            if (skeleton.at(x, y) == 0) {
                continue;
            }
            const int cn = CrossingNumber(skeleton, x, y);
            if (cn != 1 && cn != 3) {
                continue;
            }
            const Point here{x, y};
            std::vector<Trace> branches;
            for (int k = 0; k < 8; ++k) {
                const Point next{x + kDx[k], y + kDy[k]};
                if (!skeleton.Contains(next.x, next.y) || skeleton.at(next.x, next.y) == 0) {
                    continue;
                }
                // One branch per run of touching neighbours.
                bool sameRun = false;
                for (int j = 0; j < k && !sameRun; ++j) {
                    const Point other{x + kDx[j], y + kDy[j]};
                    if (skeleton.Contains(other.x, other.y) && skeleton.at(other.x, other.y) != 0 &&
                        (other.x - next.x) * (other.x - next.x) + (other.y - next.y) * (other.y - next.y) == 1) {
                        sameRun = true;
                    }
                }
                if (sameRun) {
                    continue;
                }
                branches.push_back(Follow(skeleton, here, next, rules.traceLength));
            }
            if (cn == 1) {
                if (branches.empty()) {
                    continue;
                }
                const Trace& ridge = branches.front();
                if (ridge.reachedMinutia && ridge.steps < rules.spurLength) {
                    if (CrossingNumber(skeleton, ridge.end.x, ridge.end.y) == 3) {
                        spurFeet.push_back(ridge.end);
                    }
                    continue;  // a spur, or a fragment too short to be a ridge
                }
                if (valid.at(x, y) == 0) {
                    continue;
                }
                candidates.push_back({{static_cast<double>(x), static_cast<double>(y),
                                       DegreesFromRadians(DirectionTo(here, ridge.end)), MinutiaType::Ending}});
            } else {
                if (branches.size() != 3 || valid.at(x, y) == 0) {
                    continue;
                }
                double angle[3];
                for (int b = 0; b < 3; ++b) {
                    angle[b] = DirectionTo(here, branches[static_cast<size_t>(b)].end);
                }
                const auto gap = [&](int a, int b) {
                    double d = angle[a] - angle[b];
                    d = d < 0 ? -d : d;
                    return d > kPi ? kTwoPi - d : d;
                };
                // The two branches closest in direction are the fork; the third is the stem.
                int stem = 2;
                if (gap(1, 2) <= gap(0, 1) && gap(1, 2) <= gap(0, 2)) {
                    stem = 0;
                } else if (gap(0, 2) <= gap(0, 1)) {
                    stem = 1;
                }
                candidates.push_back({{static_cast<double>(x), static_cast<double>(y),
                                       DegreesFromRadians(WrapAngle(angle[stem] + kPi)), MinutiaType::Bifurcation}});
            }
        }
    }
    for (Candidate& candidate : candidates) {
        for (const Point& foot : spurFeet) {
            const double dx = candidate.minutia.x - foot.x;
            const double dy = candidate.minutia.y - foot.y;
            if (dx * dx + dy * dy <= 2.0) {
                candidate.keep = false;
            }
        }
    }
    const double limit = rules.minSeparation * rules.minSeparation;
    for (size_t i = 0; i < candidates.size(); ++i) {
        for (size_t j = i + 1; j < candidates.size(); ++j) {
            const double dx = candidates[i].minutia.x - candidates[j].minutia.x;
            const double dy = candidates[i].minutia.y - candidates[j].minutia.y;
            if (dx * dx + dy * dy < limit) {
                candidates[i].keep = false;
                candidates[j].keep = false;
            }
        }
    }
    std::vector<Minutia> minutiae;
    for (const Candidate& candidate : candidates) {
        if (candidate.keep) {
            minutiae.push_back(candidate.minutia);
        }
    }
    return minutiae;
}

}  // namespace fpsynth
