// The period map: the signature table, signatures and their extrema, the period of a
// block and its checks, the filling passes, and periods on stripes.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <initializer_list>
#include <vector>

#include "maps/period_consistency.h"
#include "maps/period_filling.h"
#include "maps/ridge_period.h"
#include "maps/ridge_signature.h"
#include "maps/signature_table.h"
#include "support/block_maps_run.h"
#include "support/test_images.h"

namespace fenrax {
namespace {

using testing::MapsRun;
using testing::RunBlockMaps;
using testing::StripeImage;

TEST(SignatureTable, DirectionZeroSamplesAcrossTheRowsAndDirectionFourAcrossTheColumns)
{
    const SignatureTable& table = RidgeSignatureTable();
    for (int l = 0; l < kSignatureLength; ++l) {
        for (int s = 0; s < kSignatureWidth; ++s) {
            const PixelOffset d0 = table[0][static_cast<size_t>(l)][static_cast<size_t>(s)];
            EXPECT_EQ(d0.dx, s - 4);
            EXPECT_EQ(d0.dy, 12 - l);
            // Turned a quarter: exactly (l - 12, s - 4), not one lower through rounding.
            const PixelOffset d4 = table[4][static_cast<size_t>(l)][static_cast<size_t>(s)];
            EXPECT_EQ(d4.dx, l - 12);
            EXPECT_EQ(d4.dy, s - 4);
        }
    }
}

TEST(SignatureTable, TurnedWindowsFloorTheRotatedCoordinates)
{
    const SignatureTable& table = RidgeSignatureTable();
    // Direction 2 at u = v = 2 (s = 6, l = 10): (0, 2.83) gives (0, 2).
    EXPECT_EQ(table[2][10][6].dx, 0);
    EXPECT_EQ(table[2][10][6].dy, 2);
    // Direction 1 at u = -4, v = 12 (s = 0, l = 0): (-8.29, 9.56) gives (-9, 9).
    EXPECT_EQ(table[1][0][0].dx, -9);
    EXPECT_EQ(table[1][0][0].dy, 9);
    // Direction 6 at u = 3, v = -11 (s = 7, l = 23): (5.66, 9.90) gives (5, 9).
    EXPECT_EQ(table[6][23][7].dx, 5);
    EXPECT_EQ(table[6][23][7].dy, 9);
    for (int d = 0; d < kDirections; ++d) {
        for (int l = 0; l < kSignatureLength; ++l) {
            for (int s = 0; s < kSignatureWidth; ++s) {
                const PixelOffset o = table[static_cast<size_t>(d)][static_cast<size_t>(l)][static_cast<size_t>(s)];
                EXPECT_LE(std::hypot(o.dx, o.dy), 14.0) << d << " " << l << " " << s;
            }
        }
    }
}

RidgeSignature Signature(std::initializer_list<int32_t> values)
{
    RidgeSignature sig{};
    size_t i = 0;
    for (const int32_t v : values) {
        sig[i++] = v;
    }
    return sig;
}

struct Extremum {
    int position;
    bool isMaximum;
};

RidgeExtrema Extrema(std::initializer_list<Extremum> list)
{
    RidgeExtrema e;
    for (const Extremum& x : list) {
        e.position[static_cast<size_t>(e.count)] = x.position;
        e.isMaximum[static_cast<size_t>(e.count)] = x.isMaximum;
        ++e.count;
    }
    return e;
}

constexpr bool kMax = true;
constexpr bool kMin = false;

std::vector<Extremum> Listed(const RidgeExtrema& e)
{
    std::vector<Extremum> list;
    for (int k = 0; k < e.count; ++k) {
        list.push_back({e.position[static_cast<size_t>(k)], e.isMaximum[static_cast<size_t>(k)]});
    }
    return list;
}

bool operator==(const Extremum& a, const Extremum& b)
{
    return a.position == b.position && a.isMaximum == b.isMaximum;
}

void PrintTo(const Extremum& e, std::ostream* out)
{
    *out << (e.isMaximum ? "max@" : "min@") << e.position;
}

TEST(RidgeSignature, AveragesAlongTheRidgeAndSmoothsAcross)
{
    // A 30 x 30 image whose rows alternate in bands of three: the direction-0 window at the
    // centre reads one row per sample.
    const int w = 30;
    std::vector<uint8_t> image(w * w);
    for (int y = 0; y < w; ++y) {
        for (int x = 0; x < w; ++x) {
            image[static_cast<size_t>(y * w + x)] = static_cast<uint8_t>((y / 3) % 2 == 0 ? 60 : 180);
        }
    }
    const RidgeSignature sig = SampleRidgeSignature(image, 15 * w + 15, BuildSignatureOffsets(0, w));
    // Sample l reads row 27 - l; then each is the mean with its smoothed predecessor and
    // its successor.
    std::array<int32_t, kSignatureLength> rows{};
    for (int l = 0; l < kSignatureLength; ++l) {
        rows[static_cast<size_t>(l)] = ((27 - l) / 3) % 2 == 0 ? 60 : 180;
    }
    std::array<int32_t, kSignatureLength> expected = rows;
    for (int l = 0; l < kSignatureLength; ++l) {
        int32_t sum = expected[static_cast<size_t>(l)];
        int n = 1;
        if (l > 0) {
            sum += expected[static_cast<size_t>(l - 1)];
            ++n;
        }
        if (l + 1 < kSignatureLength) {
            sum += rows[static_cast<size_t>(l + 1)];
            ++n;
        }
        expected[static_cast<size_t>(l)] = sum / n;
    }
    EXPECT_EQ(sig, expected);
}

TEST(RidgeSignature, CountsOnlySamplesInsideTheImage)
{
    // A 20 x 30 image of level 100 with the window centred on its last pixel: rows of the
    // window past the end have no sample and read 255, rows partly inside their mean.
    const int w = 20;
    const std::vector<uint8_t> image(static_cast<size_t>(w * 30), 100);
    const RidgeSignature sig = SampleRidgeSignature(image, w * 30 - 1, BuildSignatureOffsets(0, w));
    // Rows l < 12 lie wholly below the image: 255. The centre row l = 12 has samples
    // x - 4 .. x inside, the rest beyond the end: their mean, 100. Rows above: 100.
    // Smoothed from l = 0 upwards: 255 ... 255, 203, 134, 111, 103, 101, 100 ...
    RidgeSignature expected{};
    for (int l = 0; l < kSignatureLength; ++l) {
        expected[static_cast<size_t>(l)] = l <= 10 ? 255 : 100;
    }
    expected[11] = 203;
    expected[12] = 134;
    expected[13] = 111;
    expected[14] = 103;
    expected[15] = 101;
    EXPECT_EQ(sig, expected);
}

TEST(RidgeExtrema, FindsAlternatingRidgesAndValleys)
{
    // Period 8: ridges (minima) at 4, 12 and 20, valleys at 8 and 16.
    RidgeSignature sig{};
    for (int l = 0; l < kSignatureLength; ++l) {
        sig[static_cast<size_t>(l)] = static_cast<int32_t>(std::lround(128 - 90 * std::cos(2 * M_PI * (l - 4) / 8)));
    }
    EXPECT_EQ(Listed(FindRidgeExtrema(sig)),
              (std::vector<Extremum>{{4, kMin}, {8, kMax}, {12, kMin}, {16, kMax}, {20, kMin}}));
}

TEST(RidgeExtrema, RecordsAFlatTopOrBottomOnce)
{
    RidgeSignature sig = Signature({100, 120, 150, 150, 150, 120, 100, 80, 60, 60, 80});
    for (int l = 11; l < kSignatureLength; ++l) {
        sig[static_cast<size_t>(l)] = 100 + 10 * (l - 11);  // a steady climb has no extremum
    }
    EXPECT_EQ(Listed(FindRidgeExtrema(sig)), (std::vector<Extremum>{{2, kMax}, {8, kMin}}));
}

TEST(RidgeExtrema, IgnoresValleysDarkerThan20AndRidgesLighterThan230)
{
    // The valley of 19 at 1 and the ridge of 231 at 10 are left out; 20 and 230 count.
    // Where a flat stretch meets a slope, its end counts as an extremum too.
    const RidgeSignature sig = Signature(
        {5, 19, 5, 5, 5, 20, 5, 5, 5, 240, 231, 240, 240, 240, 230, 240, 240, 240, 240, 240, 240, 240, 240, 240});
    EXPECT_EQ(Listed(FindRidgeExtrema(sig)),
              (std::vector<Extremum>{{2, kMin}, {5, kMax}, {6, kMin}, {9, kMax}, {13, kMax}, {14, kMin}}));
}

TEST(RidgeExtrema, KeepsAtMostTen)
{
    RidgeSignature sig{};
    for (int l = 0; l < kSignatureLength; ++l) {
        sig[static_cast<size_t>(l)] = l % 4 == 1 ? 50 : l % 4 == 3 ? 150 : 100;  // an extremum every other sample
    }
    const RidgeExtrema e = FindRidgeExtrema(sig);
    EXPECT_EQ(e.count, 10);
    EXPECT_EQ(e.position[9], 19);
}

TEST(RidgePeriod, ComesFromTheSpacingOfMinimaThenMaximaThenTwoExtrema)
{
    struct Case {
        RidgeExtrema extrema;
        int32_t period;
    };
    const Case cases[] = {
        {Extrema({{4, kMin}, {8, kMax}, {12, kMin}, {16, kMax}, {20, kMin}}), 80},
        {Extrema({{3, kMin}, {7, kMax}, {11, kMin}, {14, kMax}, {18, kMin}}), 75},  // (80 + 70) / 2
        {Extrema({{3, kMax}, {7, kMin}, {11, kMax}}), 80},                          // no pair of minima
        {Extrema({{5, kMin}, {9, kMax}}), 80},                                      // twice the half period
        {Extrema({{1, kMin}, {11, kMax}, {21, kMin}}), 200},
        {Extrema({{1, kMax}, {12, kMin}}), kNoPeriod},                       // 220: beyond 200
        {Extrema({{2, kMin}, {3, kMax}, {4, kMin}, {5, kMax}}), kNoPeriod},  // 20: below 40
        {Extrema({{5, kMin}, {9, kMin}}), kNoPeriod},                        // two ridges without a valley
        {Extrema({{4, kMin}, {8, kMax}, {12, kMax}, {16, kMin}}), kNoPeriod},
        {Extrema({{4, kMin}}), kNoPeriod},
        {Extrema({}), kNoPeriod},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PeriodFromExtrema(c.extrema), c.period) << ::testing::PrintToString(Listed(c.extrema));
    }
}

TEST(RidgeRegularity, RejectsUnevenSpacingAndWeakRidgesWithLimitsByPeriod)
{
    // Extrema at even positions read 50, at odd ones the level: each rise is level - 50.
    auto alternating = [](int32_t level) {
        RidgeSignature s{};
        for (int l = 0; l < kSignatureLength; ++l) {
            s[static_cast<size_t>(l)] = l % 2 == 0 ? 50 : level;
        }
        return s;
    };
    // A steady climb: rises of 20 a sample, enough for every period from two samples on.
    RidgeSignature climb{};
    for (int l = 0; l < kSignatureLength; ++l) {
        climb[static_cast<size_t>(l)] = 20 * l;
    }
    struct Case {
        int32_t period;
        RidgeExtrema extrema;
        RidgeSignature signature;
        int32_t result;
    };
    const RidgeExtrema threes = Extrema({{2, kMin}, {5, kMax}, {8, kMin}, {11, kMax}});
    const Case cases[] = {
        // Rises: 15 suffice up to a period of 90, 25 above.
        {80, threes, alternating(65), 80},
        {80, threes, alternating(64), kWeakRidges},
        {100, threes, alternating(75), 100},
        {100, threes, alternating(74), kWeakRidges},
        {120, threes, alternating(74), kWeakRidges},
        // Spacing: changes of 2, 3 and 4 allowed up to 90, 110 and beyond.
        {80, Extrema({{2, kMin}, {6, kMax}, {8, kMin}, {12, kMax}}), climb, 80},
        {80, Extrema({{2, kMin}, {5, kMax}, {11, kMin}}), climb, kIrregularSpacing},
        {100, Extrema({{2, kMin}, {5, kMax}, {11, kMin}}), climb, 100},
        {100, Extrema({{2, kMin}, {5, kMax}, {12, kMin}}), climb, kIrregularSpacing},
        {120, Extrema({{2, kMin}, {5, kMax}, {12, kMin}}), climb, 120},
        {150, Extrema({{2, kMin}, {5, kMax}, {13, kMin}}), climb, kIrregularSpacing},
        // The first failing pair decides; at one pair the spacing is checked first.
        {100, Extrema({{2, kMin}, {3, kMax}, {9, kMin}}), climb, kWeakRidges},
        {100, Extrema({{2, kMin}, {6, kMax}, {12, kMin}, {13, kMax}}), climb, kIrregularSpacing},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CheckRegularity(c.period, c.extrema, c.signature), c.result)
            << c.period << " " << ::testing::PrintToString(Listed(c.extrema));
    }
}

// Grids of block values for the passes, w x h blocks, all interior blocks with direction 0.
struct Grid {
    Geometry g;
    std::vector<int32_t> periods;
    std::vector<uint8_t> directions;

    Grid(int w, int h, int32_t interiorPeriod)
    {
        g.blocksWide = w;
        g.blocksHigh = h;
        periods.assign(static_cast<size_t>(w * h), 0);
        directions.assign(static_cast<size_t>(w * h), 8);
        for (int by = 1; by <= h - 2; ++by) {
            for (int bx = 1; bx <= w - 2; ++bx) {
                At(bx, by) = interiorPeriod;
                directions[g.BlockIndex(bx, by)] = 0;
            }
        }
    }
    int32_t& At(int bx, int by) { return periods[g.BlockIndex(bx, by)]; }
};

TEST(PeriodConsistency, RejectsAPeriodFarFromItsNeighbours)
{
    for (const auto& [centre, result] : {std::pair{110, kInconsistentPeriod},
                                         {101, kInconsistentPeriod},
                                         {100, 100},
                                         {60, 60},
                                         {59, kInconsistentPeriod}}) {
        Grid grid(9, 9, 80);
        grid.At(4, 4) = centre;
        RejectInconsistentPeriods(grid.g, grid.directions, grid.periods);
        EXPECT_EQ(grid.At(4, 4), result) << centre;
        EXPECT_EQ(grid.At(3, 4), 80);  // its own deviation is within bounds
    }
}

TEST(PeriodConsistency, LaterBlocksNoLongerCountARejectedOne)
{
    // Two outliers side by side, 150 then 101. The first is rejected; the second then sees
    // only 80s around it (21 away) and is rejected too. Had the first still counted, the
    // mean would be (23 x 80 + 150) / 24 = 82, 19 away.
    Grid grid(9, 9, 80);
    grid.At(4, 4) = 150;
    grid.At(5, 4) = 101;
    RejectInconsistentPeriods(grid.g, grid.directions, grid.periods);
    EXPECT_EQ(grid.At(4, 4), kInconsistentPeriod);
    EXPECT_EQ(grid.At(5, 4), kInconsistentPeriod);
}

TEST(PeriodFilling, NeighbourhoodFillUsesTheSmoothingWeightsOfPositivePeriods)
{
    Grid grid(9, 9, 80);
    grid.At(4, 4) = kNoPeriod;
    grid.At(5, 4) = 150;  // weight 97 of the 844 around the centre
    grid.At(4, 1) = kWeakRidges;
    grid.At(1, 1) = 0;  // no direction: neither filled nor counted
    std::vector<int32_t> out(grid.periods.size());
    FillFromNeighbourhood(grid.g, grid.periods, out);
    // (80 x (844 - 97 - 2) + 150 x 97) / (844 - 2): the block at (4, 1) has weight 2.
    EXPECT_EQ(out[grid.g.BlockIndex(4, 4)], (80 * 745 + 150 * 97) / 842);
    EXPECT_EQ(out[grid.g.BlockIndex(1, 1)], 0);
    EXPECT_GT(out[grid.g.BlockIndex(4, 1)], 0);
    EXPECT_EQ(out[grid.g.BlockIndex(5, 4)], 150);  // positive periods stay
}

std::vector<int32_t> RowAfterBridging(const std::vector<int32_t>& interior)
{
    Geometry g;
    g.blocksWide = static_cast<int32_t>(interior.size()) + 2;
    g.blocksHigh = 3;
    std::vector<int32_t> in(static_cast<size_t>(g.blocksWide * 3), 0);
    std::copy(interior.begin(), interior.end(), in.begin() + g.blocksWide + 1);
    std::vector<int32_t> out(in.size());
    BridgeRowGaps(g, in, out);
    return std::vector<int32_t>(out.begin() + g.blocksWide + 1, out.begin() + 2 * g.blocksWide - 1);
}

TEST(PeriodFilling, RowsBridgeGapsBetweenPeriodsInAStraightLine)
{
    struct Case {
        std::vector<int32_t> row;
        std::vector<int32_t> bridged;
    };
    const Case cases[] = {
        {{80, -1, -1, -1, 120}, {80, 90, 100, 110, 120}},
        {{80, -1, 0, -1, 120}, {80, 90, 0, 110, 120}},  // no direction: left as it is
        {{120, -3, 80}, {120, 100, 80}},
        {{100, -1, -1, 90}, {100, 96, 93, 90}},  // step (100 - 90) / 3 = 3, counted from the right end
        {{-1, -2, 90, 95}, {90, 90, 90, 95}},    // before the first period
        {{90, 95, -1, -4}, {90, 95, 95, 95}},    // after the last
        {{-1, 0, -1}, {-1, 0, -1}},              // nothing to bridge with
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RowAfterBridging(c.row), c.bridged) << ::testing::PrintToString(c.row);
    }
}

TEST(PeriodFilling, APeriodAtBlockColumn29BridgesLikeAnyOther)
{
    // Rows wider than 31 blocks: a gap after column 29 is bridged from the periods either
    // side of it and leaves the rest of the row alone.
    std::vector<int32_t> row(38, 80);  // interior columns 1..38
    row[29] = -1;                      // column 30
    for (size_t c = 30; c < row.size(); ++c) {
        row[c] = 120;
    }
    const std::vector<int32_t> bridged = RowAfterBridging(row);
    for (size_t c = 0; c < 29; ++c) {
        EXPECT_EQ(bridged[c], 80) << "column " << c + 1;
    }
    EXPECT_EQ(bridged[29], 100);
    EXPECT_EQ(bridged[30], 120);
}

TEST(PeriodFilling, ColumnsBridgeLikeRowsIncludingAfterBlockRow34)
{
    Geometry g;
    g.blocksWide = 3;
    g.blocksHigh = 42;
    std::vector<int32_t> in(static_cast<size_t>(3 * 42), 0);
    for (int by = 1; by <= 40; ++by) {
        in[g.BlockIndex(1, by)] = by <= 34 ? 80 : by == 35 ? -2 : 120;
    }
    std::vector<int32_t> out(in.size());
    BridgeColumnGaps(g, in, out);
    EXPECT_EQ(out[g.BlockIndex(1, 1)], 80);
    EXPECT_EQ(out[g.BlockIndex(1, 34)], 80);
    EXPECT_EQ(out[g.BlockIndex(1, 35)], 100);
    EXPECT_EQ(out[g.BlockIndex(1, 36)], 120);
}

TEST(PeriodFilling, AveragingTakesThePositivePeriodsOfTheThreeByThreeBlocks)
{
    Grid grid(5, 5, 0);
    // Interior 3 x 3: a single negative block surrounded by periods and blocks without
    // direction.
    const int32_t values[3][3] = {{80, 0, 100}, {90, -1, 0}, {0, 0, 120}};
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            grid.At(x + 1, y + 1) = values[y][x];
        }
    }
    std::vector<int32_t> out(grid.periods.size());
    AverageNeighbourhood(grid.g, grid.periods, out);
    EXPECT_EQ(out[grid.g.BlockIndex(2, 2)], (80 + 100 + 90 + 120) / 4);
    EXPECT_EQ(out[grid.g.BlockIndex(1, 1)], (80 + 90) / 2);
    EXPECT_EQ(out[grid.g.BlockIndex(2, 1)], 0);  // no direction stays 0
    EXPECT_EQ(out[grid.g.BlockIndex(3, 3)], 120);
}

TEST(PeriodMap, StripesGiveTheirPeriodInTenthsOfAPixel)
{
    // Within 5 %; within 10 % next to the image's edge, where the signature reaches into
    // the border.
    for (const double period : {6.0, 8.0, 11.0, 14.0}) {
        for (const double angle : {0.0, 45.0, 90.0, 112.5}) {
            const MapsRun run = RunBlockMaps(StripeImage(256, 256, period, angle), 256, 256);
            const Geometry& g = run.geometry;
            for (int by = 1; by <= g.blocksHigh - 2; ++by) {
                for (int bx = 1; bx <= g.blocksWide - 2; ++bx) {
                    if (!run.InInterior(bx, by)) {
                        continue;
                    }
                    const bool edge = bx == 1 || by == 1 || bx == g.blocksWide - 2 || by == g.blocksHigh - 2;
                    EXPECT_NEAR(run.Period(bx, by), 10 * period, (edge ? 0.1 : 0.05) * 10 * period)
                        << "period " << period << " angle " << angle << " block " << bx << "," << by;
                }
            }
        }
    }
}

}  // namespace
}  // namespace fenrax
