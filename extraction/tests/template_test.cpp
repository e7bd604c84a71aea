// The template: DES as the standard defines it, the module key, the plain layout of the
// header and of the minutia records in both formats.

#include <gtest/gtest.h>
#include <nettle/des.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "template/template_cipher.h"
#include "template/template_format.h"

namespace fenrax {
namespace {

std::vector<uint8_t> Hex(const std::string& hex)
{
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        bytes.push_back(static_cast<uint8_t>(std::stoi(hex.substr(i, 2), nullptr, 16)));
    }
    return bytes;
}

// Known answers of FIPS 81 and NIST SP 800-17 (variable plaintext and variable key).
TEST(TemplateCipher, DesGivesTheStandardsKnownAnswers)
{
    struct Vector {
        const char* key;
        const char* plain;
        const char* cipher;
    };
    const Vector vectors[] = {
        {"0123456789abcdef", "4e6f772069732074", "3fa40e8a984d4815"},
        {"0101010101010101", "8000000000000000", "95f8a5e5dd31d900"},
        {"0101010101010101", "4000000000000000", "dd7f121ca5015619"},
        {"8001010101010101", "0000000000000000", "95a8d72813daa94d"},
        {"133457799bbcdff1", "0123456789abcdef", "85e813540f0ab405"},
    };
    for (const Vector& v : vectors) {
        des_ctx context{};
        des_set_key(&context, Hex(v.key).data());
        std::vector<uint8_t> block = Hex(v.plain);
        des_encrypt(&context, block.size(), block.data(), block.data());
        EXPECT_EQ(block, Hex(v.cipher)) << "key " << v.key;
        des_decrypt(&context, block.size(), block.data(), block.data());
        EXPECT_EQ(block, Hex(v.plain)) << "key " << v.key;
    }
}

TEST(TemplateCipher, EncryptsEveryBlockInPlaceUnderTheModuleKey)
{
    // Header blocks of a 300 x 300 long template without minutiae, and a zero block;
    // answers computed with an independent DES implementation.
    std::vector<uint8_t> buffer =
        Hex("0000000000000000"
            "0000000000009600"
            "9600005c00000000"
            "0000000000000000");
    EncryptTemplate(buffer);
    EXPECT_EQ(buffer, Hex("4a286a6128871033"
                          "85ea27a23b7e4318"
                          "f2525f88aa7d5e5f"
                          "4a286a6128871033"));
}

TEST(TemplateCipher, IgnoresTheKeysParityBits)
{
    std::array<uint8_t, 8> flipped = kTemplateKey;
    for (uint8_t& b : flipped) {
        b ^= 1;
    }
    des_ctx context{};
    des_set_key(&context, flipped.data());
    std::array<uint8_t, 8> block{};
    des_encrypt(&context, block.size(), block.data(), block.data());
    std::vector<uint8_t> ours(8, 0);
    EncryptTemplate(ours);
    EXPECT_EQ(std::vector<uint8_t>(block.begin(), block.end()), ours);
}

TEST(TemplateFormat, Only256SelectsTheShortTemplate)
{
    const TemplateFormat shortFormat = SelectTemplateFormat(256);
    EXPECT_EQ(shortFormat.size, 256);
    EXPECT_EQ(shortFormat.mark, 0x3E);
    EXPECT_EQ(shortFormat.maxMinutiae, 62);
    for (const int32_t requested : {400, 300, 0, -1, 255, 257, 100000}) {
        const TemplateFormat f = SelectTemplateFormat(requested);
        EXPECT_EQ(f.size, 400) << requested;
        EXPECT_EQ(f.mark, 0x5C) << requested;
        EXPECT_EQ(f.maxMinutiae, 92) << requested;
    }
}

TEST(TemplateLayout, HeaderHoldsCountHalfSizesAndMarkAndNothingElse)
{
    for (const int32_t size : {256, 400}) {
        const TemplateFormat format = SelectTemplateFormat(size);
        const Geometry g = *MakeGeometry(257, 301);
        std::vector<uint8_t> buffer(static_cast<size_t>(format.size), 0xEE);  // stale bytes of an earlier image
        AssembleTemplate(buffer, format, g, {});
        std::vector<uint8_t> expected(static_cast<size_t>(format.size), 0);
        expected[14] = 128;  // 257 / 2
        expected[16] = 150;  // 301 / 2
        expected[19] = format.mark;
        EXPECT_EQ(buffer, expected) << size;
    }
    // Half sizes above 255 use both bytes, low byte first.
    const TemplateFormat format = SelectTemplateFormat(400);
    std::vector<uint8_t> buffer(400);
    AssembleTemplate(buffer, format, *MakeGeometry(16384, 1000), {});
    EXPECT_EQ(buffer[14], 0x00);
    EXPECT_EQ(buffer[15], 0x20);
    EXPECT_EQ(buffer[16], 0xF4);
    EXPECT_EQ(buffer[17], 0x01);
}

TEST(TemplateLayout, RecordsCarryDirectionTypeAndClampedPositionWithSignFlags)
{
    struct RecordCase {
        MinutiaCandidate m;
        std::array<uint8_t, 4> bytes;
    };
    const RecordCase cases[] = {
        {{10, kRidgeEnding, 5, -3}, {21, 5, 3, 0x40}},
        {{127, kBifurcation, -300, 256}, {254, 255, 255, 0x80 | 0x20 | 0x10}},
        {{0, kBifurcation, 0, 0}, {0, 0, 0, 0}},
        {{64, kRidgeEnding, 255, -255}, {129, 255, 255, 0x40}},
        {{1, kBifurcation, -1, -256}, {2, 1, 255, 0x80 | 0x40 | 0x10}},
    };
    const TemplateFormat format = SelectTemplateFormat(400);
    const Geometry g = *MakeGeometry(300, 300);
    for (const RecordCase& c : cases) {
        std::vector<uint8_t> buffer(400);
        AssembleTemplate(buffer, format, g, std::span(&c.m, 1));
        EXPECT_EQ(buffer[13], 1);
        EXPECT_EQ((std::array<uint8_t, 4>{buffer[32], buffer[33], buffer[34], buffer[35]}), c.bytes)
            << c.m.rx << ", " << c.m.ry;
    }
}

// Minutia i carries rx = i + 1, so each record shows where it went.
std::vector<MinutiaCandidate> Numbered(int n)
{
    std::vector<MinutiaCandidate> minutiae;
    for (int i = 0; i < n; ++i) {
        minutiae.push_back({i % 128, kRidgeEnding, i + 1, 0});
    }
    return minutiae;
}

TEST(TemplateLayout, ShortTemplateKeepsMinutiae57To62InTheHeadersSpareBytes)
{
    const TemplateFormat format = SelectTemplateFormat(256);
    std::vector<uint8_t> buffer(256);
    AssembleTemplate(buffer, format, *MakeGeometry(300, 300), Numbered(70));
    EXPECT_EQ(buffer[13], 62);  // the rest are not stored
    EXPECT_EQ(buffer[32 + 1], 1);
    EXPECT_EQ(buffer[32 + 4 * 55 + 1], 56);
    const std::pair<int, int> spare[] = {{0, 57}, {4, 58}, {8, 59}, {20, 60}, {24, 61}, {28, 62}};
    for (const auto& [offset, number] : spare) {
        EXPECT_EQ(buffer[static_cast<size_t>(offset) + 1], number) << "minutia " << number;
    }
    // The header's fields are untouched by them.
    EXPECT_EQ(buffer[12], 0);
    EXPECT_EQ(buffer[14], 150);
    EXPECT_EQ(buffer[16], 150);
    EXPECT_EQ(buffer[18], 0);
    EXPECT_EQ(buffer[19], 0x3E);
}

TEST(TemplateLayout, LongTemplateStoresAtMost92MinutiaeAfterTheHeader)
{
    const TemplateFormat format = SelectTemplateFormat(400);
    std::vector<uint8_t> buffer(400);
    AssembleTemplate(buffer, format, *MakeGeometry(300, 300), Numbered(100));
    EXPECT_EQ(buffer[13], 92);
    EXPECT_EQ(buffer[32 + 1], 1);
    EXPECT_EQ(buffer[396 + 1], 92);
    for (int b = 0; b < 12; ++b) {
        EXPECT_EQ(buffer[static_cast<size_t>(b)], 0) << b;
    }
    for (int b = 20; b < 32; ++b) {
        EXPECT_EQ(buffer[static_cast<size_t>(b)], 0) << b;
    }
}

}  // namespace
}  // namespace fenrax
