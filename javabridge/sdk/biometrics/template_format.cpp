#include "biometrics/template_format.h"

#include "core/byte_order.h"
#include "dactis/dactis.h"

namespace dactis {
namespace {

constexpr uint8_t kMagic[4] = {'D', 'C', 'T', '1'};
constexpr size_t kChecksumOffset = 20;

uint32_t Checksum(std::span<const uint8_t> bytes)
{
    uint32_t hash = 2166136261u;
    auto mix = [&hash](std::span<const uint8_t> part) {
        for (uint8_t b : part) {
            hash = (hash ^ b) * 16777619u;
        }
    };
    mix(bytes.subspan(4, kChecksumOffset - 4));
    mix(bytes.subspan(kTemplateHeaderSize));
    return hash;
}

}  // namespace

std::vector<uint8_t> EncodeTemplate(const FingerTemplate& fingerTemplate)
{
    const size_t count = fingerTemplate.minutiae.size();
    std::vector<uint8_t> out(kTemplateHeaderSize + kMinutiaRecordSize * count, 0);
    std::span<uint8_t> bytes(out);
    for (size_t i = 0; i < 4; ++i) {
        bytes[i] = kMagic[i];
    }
    StoreLE16(bytes, 4, static_cast<uint16_t>(out.size()));
    StoreLE16(bytes, 6, static_cast<uint16_t>(count));
    StoreLE16(bytes, 8, static_cast<uint16_t>(fingerTemplate.width));
    StoreLE16(bytes, 10, static_cast<uint16_t>(fingerTemplate.height));
    StoreLE16(bytes, 12, static_cast<uint16_t>(fingerTemplate.resolution));
    StoreLE16(bytes, 14, static_cast<uint16_t>(fingerTemplate.quality));
    for (size_t i = 0; i < count; ++i) {
        const TemplateMinutia& m = fingerTemplate.minutiae[i];
        const size_t at = kTemplateHeaderSize + kMinutiaRecordSize * i;
        StoreLE16(bytes, at, static_cast<uint16_t>(m.x));
        StoreLE16(bytes, at + 2, static_cast<uint16_t>(m.y));
        StoreLE16(bytes, at + 4, static_cast<uint16_t>(m.direction));
        bytes[at + 6] = static_cast<uint8_t>(m.kind);
        bytes[at + 7] = static_cast<uint8_t>(m.quality);
    }
    SealTemplate(bytes);
    return out;
}

void SealTemplate(std::span<uint8_t> bytes)
{
    const std::span<uint8_t> whole = bytes.first(LoadLE16(bytes, 4));
    StoreLE32(whole, kChecksumOffset, Checksum(whole));
}

std::optional<std::vector<uint8_t>> CallerTemplate(const unsigned char* tpt)
{
    if (tpt == nullptr) {
        return std::nullopt;
    }
    for (size_t i = 0; i < 4; ++i) {
        if (tpt[i] != kMagic[i]) {
            return std::nullopt;
        }
    }
    const size_t size = LoadLE16(std::span<const uint8_t>(tpt, kTemplateHeaderSize), 4);
    if (size < kTemplateHeaderSize || size > DC_MAX_TEMPLATE_SIZE) {
        return std::nullopt;
    }
    return std::vector<uint8_t>(tpt, tpt + size);
}

std::optional<FingerTemplate> ParseTemplate(std::span<const uint8_t> bytes)
{
    if (bytes.size() < kTemplateHeaderSize) {
        return std::nullopt;
    }
    for (size_t i = 0; i < 4; ++i) {
        if (bytes[i] != kMagic[i]) {
            return std::nullopt;
        }
    }
    const size_t size = LoadLE16(bytes, 4);
    const size_t count = LoadLE16(bytes, 6);
    if (count < DC_MIN_MINUTIAE || count > DC_MAX_MINUTIAE ||
        size != kTemplateHeaderSize + kMinutiaRecordSize * count || size > bytes.size()) {
        return std::nullopt;
    }
    const std::span<const uint8_t> whole = bytes.first(size);
    if (LoadLE32(whole, 16) != 0 || LoadLE32(whole, kChecksumOffset) != Checksum(whole)) {
        return std::nullopt;
    }
    FingerTemplate parsed;
    parsed.width = LoadLE16(whole, 8);
    parsed.height = LoadLE16(whole, 10);
    parsed.resolution = LoadLE16(whole, 12);
    parsed.quality = LoadLE16(whole, 14);
    if (parsed.width < DC_MIN_IMAGE_SIDE || parsed.width > DC_MAX_IMAGE_SIDE || parsed.height < DC_MIN_IMAGE_SIDE ||
        parsed.height > DC_MAX_IMAGE_SIDE || parsed.resolution < DC_MIN_RESOLUTION ||
        parsed.resolution > DC_MAX_RESOLUTION || parsed.quality > 100) {
        return std::nullopt;
    }
    parsed.minutiae.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        const size_t at = kTemplateHeaderSize + kMinutiaRecordSize * i;
        TemplateMinutia m;
        m.x = LoadLE16(whole, at);
        m.y = LoadLE16(whole, at + 2);
        m.direction = LoadLE16(whole, at + 4);
        const uint8_t kind = whole[at + 6];
        m.quality = whole[at + 7];
        if (m.x >= parsed.width || m.y >= parsed.height || m.direction >= 360 || kind > 1 || m.quality > 100) {
            return std::nullopt;
        }
        m.kind = static_cast<MinutiaKind>(kind);
        parsed.minutiae.push_back(m);
    }
    return parsed;
}

}  // namespace dactis
