#include "biometrics/matcher.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>

namespace dactis {
namespace {

constexpr int kNeighbours = 4;
constexpr double kNeighbourDistanceTolerance = 10;  // pixels at 500 dpi
constexpr double kNeighbourAngleTolerance = 22;     // degrees
constexpr double kPairDistanceTolerance = 9;        // pixels at 500 dpi
constexpr double kPairDirectionTolerance = 20;      // degrees
constexpr size_t kMaxProposals = 40;
constexpr double kPairsForFullScore = 20;

struct Point {
    double x = 0;
    double y = 0;
    double direction = 0;  // degrees
};

struct Neighbour {
    double distance = 0;
    double bearing = 0;  // of the neighbour, seen from the minutia, relative to its direction
    double turn = 0;     // the neighbour's direction relative to the minutia's
};

double Wrap360(double degrees)
{
    double d = std::fmod(degrees, 360.0);
    return d < 0 ? d + 360.0 : d;
}

// Smallest difference between two angles, 0..180.
double AngleGap(double a, double b)
{
    const double d = Wrap360(a - b);
    return d > 180.0 ? 360.0 - d : d;
}

double Degrees(double radians)
{
    return radians * 180.0 / std::numbers::pi;
}

std::vector<Point> Points(const FingerTemplate& t)
{
    // Everything is compared at 500 dpi.
    const double scale = 500.0 / t.resolution;
    std::vector<Point> points;
    points.reserve(t.minutiae.size());
    for (const TemplateMinutia& m : t.minutiae) {
        points.push_back({m.x * scale, m.y * scale, static_cast<double>(m.direction)});
    }
    return points;
}

std::vector<std::vector<Neighbour>> LocalStructures(const std::vector<Point>& points)
{
    std::vector<std::vector<Neighbour>> structures(points.size());
    std::vector<std::pair<double, size_t>> byDistance;
    for (size_t i = 0; i < points.size(); ++i) {
        byDistance.clear();
        for (size_t j = 0; j < points.size(); ++j) {
            if (j != i) {
                byDistance.emplace_back(std::hypot(points[j].x - points[i].x, points[j].y - points[i].y), j);
            }
        }
        const size_t n = std::min<size_t>(kNeighbours, byDistance.size());
        std::partial_sort(byDistance.begin(), byDistance.begin() + static_cast<std::ptrdiff_t>(n), byDistance.end());
        for (size_t k = 0; k < n; ++k) {
            const Point& other = points[byDistance[k].second];
            Neighbour neighbour;
            neighbour.distance = byDistance[k].first;
            neighbour.bearing =
                Wrap360(Degrees(std::atan2(other.y - points[i].y, other.x - points[i].x)) - points[i].direction);
            neighbour.turn = Wrap360(other.direction - points[i].direction);
            structures[i].push_back(neighbour);
        }
    }
    return structures;
}

// How many neighbours of one minutia find a counterpart among the other's; with the
// summed differences, to break ties.
std::pair<int, double> Similarity(const std::vector<Neighbour>& a, const std::vector<Neighbour>& b)
{
    bool used[kNeighbours] = {};
    int alike = 0;
    double error = 0;
    for (const Neighbour& na : a) {
        int best = -1;
        double bestError = 0;
        for (size_t k = 0; k < b.size(); ++k) {
            if (used[k]) {
                continue;
            }
            const double distance = std::fabs(na.distance - b[k].distance);
            const double bearing = AngleGap(na.bearing, b[k].bearing);
            const double turn = AngleGap(na.turn, b[k].turn);
            if (distance > kNeighbourDistanceTolerance || bearing > kNeighbourAngleTolerance ||
                turn > kNeighbourAngleTolerance) {
                continue;
            }
            const double e = distance / kNeighbourDistanceTolerance + (bearing + turn) / kNeighbourAngleTolerance;
            if (best < 0 || e < bestError) {
                best = static_cast<int>(k);
                bestError = e;
            }
        }
        if (best >= 0) {
            used[best] = true;
            ++alike;
            error += bestError;
        }
    }
    return {alike, error};
}

struct Proposal {
    int alike = 0;
    double error = 0;
    size_t query = 0;
    size_t reference = 0;
};

// Where a print has minutiae: cells of a coarse grid holding one, and the cells around
// them. Minutiae of the other print that land outside have no counterpart to find.
class Region {
public:
    explicit Region(const std::vector<Point>& points)
    {
        for (const Point& p : points) {
            const int cx = Cell(p.x);
            const int cy = Cell(p.y);
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    cells_.push_back(Key(cx + dx, cy + dy));
                }
            }
        }
        std::sort(cells_.begin(), cells_.end());
        cells_.erase(std::unique(cells_.begin(), cells_.end()), cells_.end());
    }
    bool Contains(double x, double y) const
    {
        return std::binary_search(cells_.begin(), cells_.end(), Key(Cell(x), Cell(y)));
    }

private:
    static constexpr double kCell = 16;
    static int Cell(double v) { return static_cast<int>(std::floor(v / kCell)); }
    static int64_t Key(int cx, int cy) { return static_cast<int64_t>(cx) * 1000003 + cy; }
    std::vector<int64_t> cells_;
};

// How one print lies on the other: the query turned by `rotation` about one of its
// minutiae and moved onto one of the reference's.
struct Placement {
    Point anchorQ;
    Point anchorR;
    double rotation = 0;
    double c = 1;
    double s = 0;

    Placement(const Point& q, const Point& r) : anchorQ(q), anchorR(r), rotation(r.direction - q.direction)
    {
        c = std::cos(rotation * std::numbers::pi / 180.0);
        s = std::sin(rotation * std::numbers::pi / 180.0);
    }
    Point QueryToReference(const Point& p) const
    {
        const double dx = p.x - anchorQ.x;
        const double dy = p.y - anchorQ.y;
        return {anchorR.x + c * dx - s * dy, anchorR.y + s * dx + c * dy, p.direction + rotation};
    }
    Point ReferenceToQuery(const Point& p) const
    {
        const double dx = p.x - anchorR.x;
        const double dy = p.y - anchorR.y;
        return {anchorQ.x + c * dx + s * dy, anchorQ.y - s * dx + c * dy, p.direction - rotation};
    }
};

// Pairs under one placement, the closest acceptable pairs first. Only minutiae whose
// neighbourhoods share at least one neighbour may pair: ridge flow alone makes many
// minutiae of different fingers point alike.
std::vector<std::pair<int, int>> PairUnder(const std::vector<Point>& query, const std::vector<Point>& reference,
                                           const std::vector<int>& alike, const Placement& placement)
{
    struct Candidate {
        double distance;
        int q;
        int r;
    };
    std::vector<Candidate> candidates;
    for (size_t i = 0; i < query.size(); ++i) {
        const Point moved = placement.QueryToReference(query[i]);
        for (size_t j = 0; j < reference.size(); ++j) {
            const double distance = std::hypot(reference[j].x - moved.x, reference[j].y - moved.y);
            if (distance <= kPairDistanceTolerance && alike[i * reference.size() + j] >= 1 &&
                AngleGap(reference[j].direction, moved.direction) <= kPairDirectionTolerance) {
                candidates.push_back({distance, static_cast<int>(i), static_cast<int>(j)});
            }
        }
    }
    std::sort(candidates.begin(), candidates.end(), [](const Candidate& a, const Candidate& b) {
        return a.distance != b.distance ? a.distance < b.distance : (a.q != b.q ? a.q < b.q : a.r < b.r);
    });
    std::vector<bool> usedQ(query.size(), false);
    std::vector<bool> usedR(reference.size(), false);
    std::vector<std::pair<int, int>> pairs;
    for (const Candidate& candidate : candidates) {
        if (!usedQ[static_cast<size_t>(candidate.q)] && !usedR[static_cast<size_t>(candidate.r)]) {
            usedQ[static_cast<size_t>(candidate.q)] = true;
            usedR[static_cast<size_t>(candidate.r)] = true;
            pairs.emplace_back(candidate.q, candidate.r);
        }
    }
    return pairs;
}

// The paired share of the minutiae that lie where the other print has minutiae too, held
// down while few are paired: two small patches that happen to agree prove little.
int Score(size_t paired, const std::vector<Point>& query, const std::vector<Point>& reference, const Region& regionQ,
          const Region& regionR, const Placement& placement)
{
    if (paired == 0) {
        return 0;
    }
    size_t sharedQ = 0;
    for (const Point& p : query) {
        const Point moved = placement.QueryToReference(p);
        sharedQ += regionR.Contains(moved.x, moved.y) ? 1 : 0;
    }
    size_t sharedR = 0;
    for (const Point& p : reference) {
        const Point moved = placement.ReferenceToQuery(p);
        sharedR += regionQ.Contains(moved.x, moved.y) ? 1 : 0;
    }
    const double shared = std::max<double>(static_cast<double>(sharedQ + sharedR), 2.0 * static_cast<double>(paired));
    const double share = 2.0 * static_cast<double>(paired) / shared;
    const double evidence = std::min(1.0, static_cast<double>(paired) / kPairsForFullScore);
    return static_cast<int>(std::lround(100.0 * share * evidence));
}

}  // namespace

MatchOutcome MatchTemplates(const FingerTemplate& query, const FingerTemplate& reference, int rotationMax)
{
    MatchOutcome outcome;
    const std::vector<Point> q = Points(query);
    const std::vector<Point> r = Points(reference);
    if (q.empty() || r.empty()) {
        return outcome;
    }
    const auto structuresQ = LocalStructures(q);
    const auto structuresR = LocalStructures(r);
    const Region regionQ(q);
    const Region regionR(r);

    std::vector<Proposal> proposals;
    std::vector<int> alike(q.size() * r.size(), 0);
    for (size_t i = 0; i < q.size(); ++i) {
        for (size_t j = 0; j < r.size(); ++j) {
            const auto [count, error] = Similarity(structuresQ[i], structuresR[j]);
            alike[i * r.size() + j] = count;
            if (count >= 2 && AngleGap(r[j].direction, q[i].direction) <= rotationMax) {
                proposals.push_back({count, error, i, j});
            }
        }
    }
    std::sort(proposals.begin(), proposals.end(), [](const Proposal& a, const Proposal& b) {
        if (a.alike != b.alike) {
            return a.alike > b.alike;
        }
        if (a.error != b.error) {
            return a.error < b.error;
        }
        return a.query != b.query ? a.query < b.query : a.reference < b.reference;
    });
    if (proposals.size() > kMaxProposals) {
        proposals.resize(kMaxProposals);
    }
    for (const Proposal& proposal : proposals) {
        const Placement placement(q[proposal.query], r[proposal.reference]);
        std::vector<std::pair<int, int>> pairs = PairUnder(q, r, alike, placement);
        const int score = Score(pairs.size(), q, r, regionQ, regionR, placement);
        if (score > outcome.score || (score == outcome.score && pairs.size() > outcome.pairs.size())) {
            outcome.score = score;
            outcome.pairs = std::move(pairs);
        }
    }
    return outcome;
}

}  // namespace dactis
