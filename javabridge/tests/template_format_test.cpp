// The template layout: written and read back field for field, and every kind of damage
// refused.
#include "biometrics/template_format.h"

#include <gtest/gtest.h>

#include <functional>

#include "core/byte_order.h"
#include "dactis/dactis.h"

namespace dactis {
namespace {

FingerTemplate Sample(size_t count)
{
    FingerTemplate t;
    t.width = 256;
    t.height = 288;
    t.resolution = 500;
    t.quality = 61;
    for (size_t i = 0; i < count; ++i) {
        t.minutiae.push_back({static_cast<int>(i * 7 % 256), static_cast<int>(i * 13 % 288),
                              static_cast<int>(i * 37 % 360), i % 2 ? MinutiaKind::Bifurcation : MinutiaKind::Ending,
                              static_cast<int>(i % 101)});
    }
    return t;
}

TEST(DactisTemplateFormat, WrittenTemplatesReadBackFieldForField)
{
    for (size_t count : {size_t{DC_MIN_MINUTIAE}, size_t{57}, size_t{DC_MAX_MINUTIAE}}) {
        const FingerTemplate original = Sample(count);
        const std::vector<uint8_t> bytes = EncodeTemplate(original);
        ASSERT_EQ(bytes.size(), kTemplateHeaderSize + kMinutiaRecordSize * count);
        ASSERT_LE(bytes.size(), size_t{DC_MAX_TEMPLATE_SIZE});
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "DCT1");
        EXPECT_EQ(LoadLE16(bytes, 4), bytes.size());
        EXPECT_EQ(LoadLE16(bytes, 6), count);
        const auto parsed = ParseTemplate(bytes);
        ASSERT_TRUE(parsed);
        EXPECT_EQ(parsed->width, 256);
        EXPECT_EQ(parsed->height, 288);
        EXPECT_EQ(parsed->resolution, 500);
        EXPECT_EQ(parsed->quality, 61);
        ASSERT_EQ(parsed->minutiae.size(), count);
        for (size_t i = 0; i < count; ++i) {
            const TemplateMinutia& a = original.minutiae[i];
            const TemplateMinutia& b = parsed->minutiae[i];
            EXPECT_EQ(std::tie(a.x, a.y, a.direction, a.kind, a.quality),
                      std::tie(b.x, b.y, b.direction, b.kind, b.quality));
        }
    }
}

TEST(DactisTemplateFormat, DamagedTemplatesAreRefused)
{
    const std::vector<uint8_t> good = EncodeTemplate(Sample(20));
    // Each change keeps the checksum right where it can, so that the field check itself is what refuses.
    const std::pair<const char*, std::function<void(std::vector<uint8_t>&)>> damage[] = {
        {"signature", [](auto& b) { b[3] = '2'; }},
        {"size", [](auto& b) { StoreLE16(b, 4, static_cast<uint16_t>(b.size() + 8)); }},
        {"count below the minimum", [](auto& b) { StoreLE16(b, 6, DC_MIN_MINUTIAE - 1); }},
        {"count above the maximum", [](auto& b) { StoreLE16(b, 6, DC_MAX_MINUTIAE + 1); }},
        {"reserved word", [](auto& b) { b[16] = 1; }},
        {"checksum", [](auto& b) { b[20] ^= 0x80; }},
        {"a minutia's byte", [](auto& b) { b[30] ^= 0x04; }},
        {"cut short", [](auto& b) { b.resize(b.size() - 1); }},
        {"header only", [](auto& b) { b.resize(kTemplateHeaderSize); }},
        {"nothing", [](auto& b) { b.clear(); }},
    };
    for (const auto& [what, change] : damage) {
        std::vector<uint8_t> bytes = good;
        change(bytes);
        EXPECT_FALSE(ParseTemplate(bytes)) << what;
    }
    std::vector<uint8_t> longer = good;
    longer.resize(DC_MAX_TEMPLATE_SIZE, 0);
    EXPECT_TRUE(ParseTemplate(longer)) << "bytes after the template are not part of it";
}

TEST(DactisTemplateFormat, FieldsOutOfRangeAreRefusedEvenWithAGoodChecksum)
{
    const std::pair<const char*, std::function<void(FingerTemplate&)>> out[] = {
        {"x outside the image", [](auto& t) { t.minutiae[3].x = t.width; }},
        {"y outside the image", [](auto& t) { t.minutiae[3].y = t.height; }},
        {"direction 360", [](auto& t) { t.minutiae[3].direction = 360; }},
        {"kind 2", [](auto& t) { t.minutiae[3].kind = static_cast<MinutiaKind>(2); }},
        {"quality 101", [](auto& t) { t.minutiae[3].quality = 101; }},
        {"width too small", [](auto& t) { t.width = DC_MIN_IMAGE_SIDE - 1; }},
        {"resolution too high", [](auto& t) { t.resolution = DC_MAX_RESOLUTION + 1; }},
    };
    for (const auto& [what, change] : out) {
        FingerTemplate t = Sample(20);
        change(t);
        EXPECT_FALSE(ParseTemplate(EncodeTemplate(t))) << what;
    }
}

TEST(DactisTemplateFormat, CallerTemplateReadsOnlyTheSizeItsHeaderDeclares)
{
    const std::vector<uint8_t> good = EncodeTemplate(Sample(9));
    // Exactly as long as the template: reading one byte more is caught in the sanitizer build.
    const auto exact = std::make_unique<unsigned char[]>(good.size());
    std::copy(good.begin(), good.end(), exact.get());
    const auto copied = CallerTemplate(exact.get());
    ASSERT_TRUE(copied);
    EXPECT_EQ(*copied, good);

    const unsigned char foreign[4] = {'X', 'Y', 'Z', 'W'};
    EXPECT_FALSE(CallerTemplate(foreign)) << "stops after the signature";
    std::vector<uint8_t> oversized = good;
    StoreLE16(oversized, 4, DC_MAX_TEMPLATE_SIZE + 1);
    EXPECT_FALSE(CallerTemplate(oversized.data()));
    EXPECT_FALSE(CallerTemplate(nullptr));
}

}  // namespace
}  // namespace dactis
