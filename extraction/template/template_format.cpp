#include "template/template_format.h"

#include <algorithm>
#include <cstdlib>

#include "template/byte_layout.h"

namespace fenrax {
namespace {

constexpr uint8_t kShortMark = 0x3E;
constexpr uint8_t kLongMark = 0x5C;
constexpr int kShortRecordsAfterHeader = 56;  // the rest go into the header's spare bytes

void WriteRecord(std::span<uint8_t> record, const MinutiaCandidate& m)
{
    const int32_t ax = std::abs(m.rx);
    const int32_t ay = std::abs(m.ry);
    record[0] = static_cast<uint8_t>(m.direction * 2 + m.type);
    record[1] = static_cast<uint8_t>(std::min(ax, 255));
    record[2] = static_cast<uint8_t>(std::min(ay, 255));
    record[3] = static_cast<uint8_t>((m.rx < 0 ? 0x80 : 0) | (m.ry < 0 ? 0x40 : 0) | (ax > 255 ? 0x20 : 0) |
                                     (ay > 255 ? 0x10 : 0));
}

}  // namespace

TemplateFormat SelectTemplateFormat(int32_t requestedSize)
{
    if (requestedSize == kShortTemplateSize) {
        return TemplateFormat{kShortTemplateSize, kShortMark, 62};
    }
    return TemplateFormat{kLongTemplateSize, kLongMark, 92};
}

int RecordOffset(const TemplateFormat& format, int i)
{
    if (format.size == kShortTemplateSize && i >= kShortRecordsAfterHeader) {
        // Minutiae 57 to 59 fill bytes 0-11, 60 to 62 bytes 20-31.
        const int spare = i - kShortRecordsAfterHeader;
        return spare < 3 ? kMinutiaRecordSize * spare : 20 + kMinutiaRecordSize * (spare - 3);
    }
    return kTemplateHeaderSize + kMinutiaRecordSize * i;
}

void AssembleTemplate(std::span<uint8_t> buffer, const TemplateFormat& format, const Geometry& geometry,
                      std::span<const MinutiaCandidate> minutiae)
{
    std::fill(buffer.begin(), buffer.end(), uint8_t{0});
    const int count = static_cast<int>(std::min<size_t>(minutiae.size(), static_cast<size_t>(format.maxMinutiae)));
    buffer[13] = static_cast<uint8_t>(count);
    StoreLittleEndian16(buffer, 14, static_cast<uint16_t>(geometry.rawWidth / 2));
    StoreLittleEndian16(buffer, 16, static_cast<uint16_t>(geometry.rawHeight / 2));
    buffer[19] = format.mark;
    for (int i = 0; i < count; ++i) {
        WriteRecord(buffer.subspan(static_cast<size_t>(RecordOffset(format, i)), kMinutiaRecordSize), minutiae[i]);
    }
}

}  // namespace fenrax
