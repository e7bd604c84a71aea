// The stand-in SDK's biometric layer through libdactis.so: contexts, parameters,
// extraction, verification, identification, display and grey bitmaps.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <tuple>
#include <vector>

#include "dactis/dactis.h"
#include "fpsynth/fpsynth.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Image {
    int width = 0;
    int height = 0;
    Bytes pixels;
};

// Impression `impression` of synthetic finger `finger`, as a sensor like the simulated one shows it.
Image Impression(int finger, int impression)
{
    fpsynth::MasterOptions master;
    master.seed = fpsynth::FingerSeed(4242, finger);
    const fpsynth::MasterFingerprint print = fpsynth::MasterFingerprint::Generate(master);
    fpsynth::ImpressionOptions options;
    options.width = 256;
    options.height = 288;
    options.seed = fpsynth::ImpressionSeed(master.seed, impression);
    options.noise = 0.6;
    options.maxRotation = 15;
    options.maxShift = 0.08;
    options.partialContact = false;
    const fpsynth::GreyImage image = fpsynth::RenderImpression(print, options).image;
    return {image.width, image.height, Bytes(image.pixels.begin(), image.pixels.end())};
}

// The image turned a quarter turn clockwise.
Image QuarterTurn(const Image& image)
{
    Image turned{image.height, image.width, Bytes(image.pixels.size())};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            turned.pixels[static_cast<size_t>(x) * static_cast<size_t>(turned.width) +
                          static_cast<size_t>(image.height - 1 - y)] =
                image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
        }
    }
    return turned;
}

Bytes Extract(const Image& image, int context = DC_DEFAULT_CONTEXT)
{
    Bytes tpt(DC_MAX_TEMPLATE_SIZE);
    int size = 0;
    EXPECT_EQ(DcExtract(image.pixels.data(), image.width, image.height, 500, tpt.data(), &size, context), DC_OK);
    tpt.resize(static_cast<size_t>(size));
    return tpt;
}

class DactisBiometrics : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(DcInitialize(), DC_OK); }
    void TearDown() override { DcFinalize(); }
};

TEST(DactisBiometricsLifecycle, EveryCallNeedsInitialisationAndFinalisationEndsIt)
{
    int id = -1;
    int threshold = -1;
    int rotation = -1;
    int score = -1;
    unsigned char tpt[DC_MAX_TEMPLATE_SIZE] = {};
    EXPECT_EQ(DcCreateContext(&id), DC_ERROR_NOT_INITIALIZED);
    EXPECT_EQ(DcGetVerifyParameters(&threshold, &rotation, DC_DEFAULT_CONTEXT), DC_ERROR_NOT_INITIALIZED);
    EXPECT_EQ(DcVerify(tpt, tpt, &score, DC_DEFAULT_CONTEXT), DC_ERROR_NOT_INITIALIZED);
    EXPECT_EQ(DcFinalize(), DC_ERROR_NOT_INITIALIZED);
    EXPECT_EQ(id, -1);
    EXPECT_EQ(score, -1);

    ASSERT_EQ(DcInitialize(), DC_OK);
    EXPECT_EQ(DcInitialize(), DC_OK);  // again: nothing changes
    EXPECT_EQ(DcGetVerifyParameters(&threshold, &rotation, DC_DEFAULT_CONTEXT), DC_OK);
    EXPECT_EQ(threshold, DC_DEFAULT_VERIFY_THRESHOLD);
    EXPECT_EQ(rotation, DC_DEFAULT_VERIFY_ROTATION);
    EXPECT_EQ(DcFinalize(), DC_OK);
    EXPECT_EQ(DcGetVerifyParameters(&threshold, &rotation, DC_DEFAULT_CONTEXT), DC_ERROR_NOT_INITIALIZED);
}

TEST_F(DactisBiometrics, ContextsAreCountedNeverReusedAndTheDefaultStays)
{
    std::set<int> ids{DC_DEFAULT_CONTEXT};
    for (int i = 1; i < DC_MAX_CONTEXTS; ++i) {
        int id = -1;
        ASSERT_EQ(DcCreateContext(&id), DC_OK);
        EXPECT_TRUE(ids.insert(id).second) << "id " << id << " given twice";
    }
    int id = -1;
    EXPECT_EQ(DcCreateContext(&id), DC_ERROR_TOO_MANY_CONTEXTS);
    EXPECT_EQ(id, -1);

    const int destroyed = *ids.rbegin();
    EXPECT_EQ(DcDestroyContext(destroyed), DC_OK);
    EXPECT_EQ(DcDestroyContext(destroyed), DC_ERROR_INVALID_CONTEXT);
    EXPECT_EQ(DcDestroyContext(DC_DEFAULT_CONTEXT), DC_ERROR_INVALID_CONTEXT);
    ASSERT_EQ(DcCreateContext(&id), DC_OK);
    EXPECT_FALSE(ids.count(id)) << "a destroyed id came back: " << id;
    EXPECT_EQ(DcCreateContext(nullptr), DC_ERROR_INVALID_ARGUMENT);
}

TEST_F(DactisBiometrics, ParametersAreKeptPerContextAndComparisonWithinTheirRanges)
{
    int context = -1;
    ASSERT_EQ(DcCreateContext(&context), DC_OK);
    EXPECT_EQ(DcSetVerifyParameters(DC_MAX_THRESHOLD, 0, context), DC_OK);
    EXPECT_EQ(DcSetIdentifyParameters(DC_MIN_THRESHOLD, DC_MAX_ROTATION, context), DC_OK);
    int threshold = -1;
    int rotation = -1;
    EXPECT_EQ(DcGetVerifyParameters(&threshold, &rotation, context), DC_OK);
    EXPECT_EQ(threshold, DC_MAX_THRESHOLD);
    EXPECT_EQ(rotation, 0);
    EXPECT_EQ(DcGetIdentifyParameters(&threshold, &rotation, context), DC_OK);
    EXPECT_EQ(threshold, DC_MIN_THRESHOLD);
    EXPECT_EQ(rotation, DC_MAX_ROTATION);
    EXPECT_EQ(DcGetIdentifyParameters(&threshold, &rotation, DC_DEFAULT_CONTEXT), DC_OK);
    EXPECT_EQ(threshold, DC_DEFAULT_IDENTIFY_THRESHOLD);
    EXPECT_EQ(rotation, DC_DEFAULT_IDENTIFY_ROTATION);

    struct Refused {
        int threshold, rotation, context, result;
    };
    for (const Refused& r :
         {Refused{0, 10, context, DC_ERROR_INVALID_ARGUMENT}, Refused{101, 10, context, DC_ERROR_INVALID_ARGUMENT},
          Refused{50, -1, context, DC_ERROR_INVALID_ARGUMENT}, Refused{50, 181, context, DC_ERROR_INVALID_ARGUMENT},
          Refused{50, 10, 999, DC_ERROR_INVALID_CONTEXT}, Refused{0, 10, 999, DC_ERROR_INVALID_CONTEXT}}) {
        EXPECT_EQ(DcSetVerifyParameters(r.threshold, r.rotation, r.context), r.result)
            << r.threshold << " " << r.rotation << " " << r.context;
    }
    EXPECT_EQ(DcGetVerifyParameters(&threshold, &rotation, context), DC_OK);
    EXPECT_EQ(threshold, DC_MAX_THRESHOLD) << "a refused call changes nothing";
    EXPECT_EQ(DcGetVerifyParameters(nullptr, &rotation, context), DC_ERROR_INVALID_ARGUMENT);
}

TEST_F(DactisBiometrics, VersionIsWrittenThroughBothPointers)
{
    unsigned char major = 0;
    unsigned char minor = 0;
    EXPECT_EQ(DcGetDactisVersion(&major, &minor), DC_OK);
    EXPECT_EQ(major, DC_VERSION_MAJOR);
    EXPECT_EQ(minor, DC_VERSION_MINOR);
    EXPECT_EQ(DcGetDactisVersion(nullptr, &minor), DC_ERROR_INVALID_ARGUMENT);
}

TEST_F(DactisBiometrics, ExtractionRefusesWhatItCannotReadWithoutWriting)
{
    const Image image = Impression(1, 1);
    Bytes tpt(DC_MAX_TEMPLATE_SIZE, 0xEE);
    int size = -1;
    struct Case {
        const unsigned char* pixels;
        int width, height, resolution, context, result;
    };
    const Bytes blank(100 * 100, 200);
    for (const Case& c : {
             Case{nullptr, 256, 288, 500, DC_DEFAULT_CONTEXT, DC_ERROR_INVALID_ARGUMENT},
             Case{image.pixels.data(), DC_MIN_IMAGE_SIDE - 1, 288, 500, DC_DEFAULT_CONTEXT,
                  DC_ERROR_INVALID_IMAGE_SIZE},
             Case{image.pixels.data(), 256, DC_MAX_IMAGE_SIDE + 1, 500, DC_DEFAULT_CONTEXT,
                  DC_ERROR_INVALID_IMAGE_SIZE},
             Case{image.pixels.data(), 256, 288, DC_MIN_RESOLUTION - 1, DC_DEFAULT_CONTEXT,
                  DC_ERROR_INVALID_RESOLUTION},
             Case{image.pixels.data(), 256, 288, 500, 77, DC_ERROR_INVALID_CONTEXT},
             Case{blank.data(), 100, 100, 500, DC_DEFAULT_CONTEXT, DC_ERROR_POOR_IMAGE},
         }) {
        EXPECT_EQ(DcExtract(c.pixels, c.width, c.height, c.resolution, tpt.data(), &size, c.context), c.result);
    }
    EXPECT_EQ(size, -1);
    EXPECT_EQ(tpt, Bytes(DC_MAX_TEMPLATE_SIZE, 0xEE));
}

TEST_F(DactisBiometrics, TouchesOfOneFingerMatchAndOfOthersDoNot)
{
    constexpr int kFingers = 4;
    std::vector<Bytes> first;
    std::vector<Bytes> second;
    for (int f = 1; f <= kFingers; ++f) {
        first.push_back(Extract(Impression(f, 1)));
        second.push_back(Extract(Impression(f, 2)));
    }
    int genuineMatches = 0;
    int lowestGenuine = 101;
    int highestImpostor = -1;
    for (int a = 0; a < kFingers; ++a) {
        for (int b = 0; b < kFingers; ++b) {
            int score = -1;
            const int result = DcVerify(second[a].data(), first[b].data(), &score, DC_DEFAULT_CONTEXT);
            ASSERT_GE(score, 0);
            ASSERT_LE(score, 100);
            EXPECT_EQ(result, score >= DC_DEFAULT_VERIFY_THRESHOLD ? DC_MATCH : DC_NOT_MATCH);
            if (a == b) {
                genuineMatches += result == DC_MATCH ? 1 : 0;
                lowestGenuine = std::min(lowestGenuine, score);
            } else {
                EXPECT_EQ(result, DC_NOT_MATCH) << "finger " << a + 1 << " taken for finger " << b + 1;
                highestImpostor = std::max(highestImpostor, score);
            }
        }
    }
    EXPECT_GE(genuineMatches, kFingers - 1) << "lowest genuine score " << lowestGenuine;
    EXPECT_LT(highestImpostor, DC_DEFAULT_VERIFY_THRESHOLD);

    int score = -1;
    EXPECT_EQ(DcVerify(first[0].data(), first[0].data(), &score, DC_DEFAULT_CONTEXT), DC_MATCH);
    EXPECT_EQ(score, 100);
}

TEST_F(DactisBiometrics, RotationLimitDecidesWhetherATurnedFingerMatches)
{
    const Image upright = Impression(2, 1);
    const Bytes reference = Extract(upright);
    const Bytes turned = Extract(QuarterTurn(upright));
    int score = -1;
    ASSERT_EQ(DcSetVerifyParameters(DC_DEFAULT_VERIFY_THRESHOLD, 120, DC_DEFAULT_CONTEXT), DC_OK);
    EXPECT_EQ(DcVerify(turned.data(), reference.data(), &score, DC_DEFAULT_CONTEXT), DC_MATCH) << score;
    ASSERT_EQ(DcSetVerifyParameters(DC_DEFAULT_VERIFY_THRESHOLD, 45, DC_DEFAULT_CONTEXT), DC_OK);
    EXPECT_EQ(DcVerify(turned.data(), reference.data(), &score, DC_DEFAULT_CONTEXT), DC_NOT_MATCH) << score;
}

TEST_F(DactisBiometrics, IdentificationComparesThePreparedQueryWithEachCandidate)
{
    int context = -1;
    ASSERT_EQ(DcCreateContext(&context), DC_OK);
    const Bytes query = Extract(Impression(3, 2));
    const std::vector<Bytes> candidates = {Extract(Impression(1, 1)), Extract(Impression(3, 1)),
                                           Extract(Impression(4, 1))};
    int score = -1;
    EXPECT_EQ(DcIdentify(candidates[0].data(), &score, context), DC_ERROR_NOT_PREPARED);
    EXPECT_EQ(score, -1);
    ASSERT_EQ(DcIdentifyPrepare(query.data(), context), DC_OK);
    std::vector<int> found;
    for (size_t i = 0; i < candidates.size(); ++i) {
        if (DcIdentify(candidates[i].data(), &score, context) == DC_MATCH) {
            found.push_back(static_cast<int>(i));
        }
    }
    EXPECT_EQ(found, std::vector<int>{1});
    // Another context has no query of its own.
    EXPECT_EQ(DcIdentify(candidates[1].data(), &score, DC_DEFAULT_CONTEXT), DC_ERROR_NOT_PREPARED);
}

TEST_F(DactisBiometrics, DamagedOrForeignTemplatesAreRefused)
{
    const Bytes good = Extract(Impression(1, 1));
    std::vector<std::pair<const char*, Bytes>> bad;
    Bytes zeros(DC_MAX_TEMPLATE_SIZE, 0);
    bad.emplace_back("zeros", zeros);
    Bytes flipped = good;
    flipped[good.size() / 2] ^= 0x01;
    bad.emplace_back("one bit flipped", flipped);
    Bytes cut = good;
    cut.resize(good.size() - 8);
    cut.resize(DC_MAX_TEMPLATE_SIZE, 0);  // what the bridge hands over for a short array
    bad.emplace_back("cut short", cut);
    Bytes huge = good;
    huge[4] = 0xFF;
    huge[5] = 0xFF;
    bad.emplace_back("size beyond the largest template", huge);
    int score = -1;
    for (const auto& [what, tpt] : bad) {
        EXPECT_EQ(DcVerify(tpt.data(), good.data(), &score, DC_DEFAULT_CONTEXT), DC_ERROR_INVALID_TEMPLATE) << what;
        EXPECT_EQ(DcIdentifyPrepare(tpt.data(), DC_DEFAULT_CONTEXT), DC_ERROR_INVALID_TEMPLATE) << what;
    }
    EXPECT_EQ(score, -1);
}

// Pixel (x, y) of a bitmap as 0x00RRGGBB (24 bits) or its grey byte (8 bits).
uint32_t BitmapPixel(const BmBitmapInfo& info, int x, int y)
{
    const uint8_t* row = info.bits + static_cast<size_t>(info.height - 1 - y) * static_cast<size_t>(info.widthBytes);
    if (info.bitsPerPixel == 8) {
        return row[x];
    }
    const uint8_t* p = row + 3 * x;
    return static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[1]) << 8 | p[0];
}

TEST_F(DactisBiometrics, GreyBitmapIsBottomUpWithRowsPaddedToFourBytes)
{
    BmDeviceContext dc = BmGetScreenDC();
    ASSERT_NE(dc, nullptr);
    const unsigned char image[] = {1, 2, 3, 4, 5, 6, 7, 8, 9};
    BmBitmap bitmap = nullptr;
    ASSERT_EQ(DcCapRawImageToHandle(image, 3, 3, dc, &bitmap), DC_OK);
    BmBitmapInfo info{};
    ASSERT_EQ(BmGetBitmapInfo(bitmap, &info), 1);
    EXPECT_EQ(info.width, 3);
    EXPECT_EQ(info.height, 3);
    EXPECT_EQ(info.bitsPerPixel, 8);
    EXPECT_EQ(info.widthBytes, 4);
    const unsigned char stored[] = {7, 8, 9, 0, 4, 5, 6, 0, 1, 2, 3, 0};
    EXPECT_EQ(std::memcmp(info.bits, stored, sizeof stored), 0);
    EXPECT_EQ(BmDeleteBitmap(bitmap), 1);
    EXPECT_EQ(DcCapRawImageToHandle(image, 3, 3, nullptr, &bitmap), DC_ERROR_BITMAP);
    EXPECT_EQ(BmReleaseDC(dc), 1);
}

TEST_F(DactisBiometrics, DisplayDrawsMinutiaeInTheirColoursOverTheGreyImage)
{
    const Image image = Impression(1, 1);
    const Bytes tpt = Extract(image);
    BmDeviceContext dc = BmGetScreenDC();
    ASSERT_NE(dc, nullptr);
    ASSERT_EQ(
        DcSetBiometricDisplayColors(0x102030, 0x405060, DC_COLOR_NONE, DC_COLOR_NONE, DC_COLOR_NONE, DC_COLOR_NONE),
        DC_OK);
    BmBitmap bitmap = nullptr;
    ASSERT_EQ(DcBiometricDisplay(tpt.data(), image.pixels.data(), image.width, image.height, 500, dc, &bitmap,
                                 DC_DEFAULT_CONTEXT),
              DC_OK);
    BmBitmapInfo info{};
    ASSERT_EQ(BmGetBitmapInfo(bitmap, &info), 1);
    EXPECT_EQ(info.bitsPerPixel, 24);
    EXPECT_EQ(info.widthBytes, 768);
    // Only minutiae are drawn: 3 x 3 squares in their colour, the image elsewhere.
    int coloured = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t pixel = BitmapPixel(info, x, y);
            if (pixel == 0x102030) {
                ++coloured;
            } else {
                ASSERT_EQ(pixel, image.pixels[static_cast<size_t>(y * image.width + x)] * 0x010101u) << x << ", " << y;
            }
        }
    }
    EXPECT_GT(coloured, 9 * DC_MIN_MINUTIAE / 2);
    EXPECT_EQ(BmDeleteBitmap(bitmap), 1);

    // After a comparison that paired them, the same minutiae take the matched colour.
    int score = 0;
    ASSERT_EQ(DcVerify(tpt.data(), tpt.data(), &score, DC_DEFAULT_CONTEXT), DC_MATCH);
    ASSERT_EQ(DcBiometricDisplay(tpt.data(), image.pixels.data(), image.width, image.height, 500, dc, &bitmap,
                                 DC_DEFAULT_CONTEXT),
              DC_OK);
    ASSERT_EQ(BmGetBitmapInfo(bitmap, &info), 1);
    int matched = 0;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const uint32_t pixel = BitmapPixel(info, x, y);
            EXPECT_NE(pixel, 0x102030u);
            matched += pixel == 0x405060 ? 1 : 0;
        }
    }
    EXPECT_EQ(matched, coloured);
    EXPECT_EQ(BmDeleteBitmap(bitmap), 1);

    EXPECT_EQ(DcSetBiometricDisplayColors(0x1000000, 0, 0, 0, 0, 0), DC_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(DcSetBiometricDisplayColors(0, 0, 0, 0, 0, -2), DC_ERROR_INVALID_ARGUMENT);
    EXPECT_EQ(BmReleaseDC(dc), 1);
}

TEST(DactisBitmapApi, HandlesAreCheckedAndCountedUntilReleased)
{
    BmDeviceContext dc = BmGetScreenDC();
    ASSERT_NE(dc, nullptr);
    for (const auto& [width, height, depth] : {std::tuple{0, 5, 8}, std::tuple{5, 0, 8}, std::tuple{16385, 5, 8},
                                               std::tuple{5, 5, 16}, std::tuple{5, 5, 32}}) {
        EXPECT_EQ(BmCreateBitmap(dc, width, height, depth), nullptr) << width << " x " << height << " @ " << depth;
    }
    BmBitmap bitmap = BmCreateBitmap(dc, 5, 2, 24);
    ASSERT_NE(bitmap, nullptr);
    BmBitmapInfo info{};
    ASSERT_EQ(BmGetBitmapInfo(bitmap, &info), 1);
    EXPECT_EQ(info.widthBytes, 16);
    EXPECT_EQ(std::vector<uint8_t>(info.bits, info.bits + 32), std::vector<uint8_t>(32, 0));
    EXPECT_EQ(BmDeleteBitmap(bitmap), 1);
    EXPECT_EQ(BmDeleteBitmap(bitmap), 0);
    EXPECT_EQ(BmGetBitmapInfo(bitmap, &info), 0);
    EXPECT_EQ(BmReleaseDC(dc), 1);
    EXPECT_EQ(BmReleaseDC(dc), 0);
    EXPECT_EQ(BmCreateBitmap(dc, 5, 5, 8), nullptr) << "a released device context";
}

}  // namespace
