#include "biometrics/biometric_display.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <numbers>

#include "dactis/dactis.h"

namespace dactis {
namespace {

constexpr int kDirectionLength = 10;  // pixels

// Pixels of a 24-bit bitmap addressed top-down, as the image is.
class ColourCanvas {
public:
    explicit ColourCanvas(const BmBitmapInfo& info) : info_(info) {}

    void Set(int x, int y, int colour)
    {
        if (colour == DC_COLOR_NONE || x < 0 || y < 0 || x >= info_.width || y >= info_.height) {
            return;
        }
        uint8_t* p = Row(y) + 3 * static_cast<size_t>(x);
        p[0] = static_cast<uint8_t>(colour & 0xFF);
        p[1] = static_cast<uint8_t>((colour >> 8) & 0xFF);
        p[2] = static_cast<uint8_t>((colour >> 16) & 0xFF);
    }

    void Line(int x0, int y0, int x1, int y1, int colour)
    {
        const int dx = std::abs(x1 - x0);
        const int dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1;
        const int sy = y0 < y1 ? 1 : -1;
        int error = dx + dy;
        for (;;) {
            Set(x0, y0, colour);
            if (x0 == x1 && y0 == y1) {
                return;
            }
            const int twice = 2 * error;
            if (twice >= dy) {
                error += dy;
                x0 += sx;
            }
            if (twice <= dx) {
                error += dx;
                y0 += sy;
            }
        }
    }

    uint8_t* Row(int y) const
    {
        return info_.bits + static_cast<size_t>(info_.height - 1 - y) * static_cast<size_t>(info_.widthBytes);
    }

private:
    BmBitmapInfo info_;
};

uint8_t GreyAt(const GreyView& image, int x, int y)
{
    return image.pixels[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
}

// A new bitmap and its description, or DC_ERROR_BITMAP.
int NewBitmap(const GreyView& image, int bitsPerPixel, BmDeviceContext dc, BmBitmap& bitmap, BmBitmapInfo& info)
{
    bitmap = BmCreateBitmap(dc, image.width, image.height, bitsPerPixel);
    if (bitmap == nullptr) {
        return DC_ERROR_BITMAP;
    }
    if (BmGetBitmapInfo(bitmap, &info) == 0) {
        BmDeleteBitmap(bitmap);
        return DC_ERROR_BITMAP;
    }
    return DC_OK;
}

}  // namespace

int DrawBiometricDisplay(const FingerTemplate& fingerTemplate, const GreyView& image, const DisplayColours& colours,
                         const std::vector<bool>& matched, BmDeviceContext dc, BmBitmap* bitmap)
{
    BmBitmap made = nullptr;
    BmBitmapInfo info{};
    if (const int result = NewBitmap(image, 24, dc, made, info); result != DC_OK) {
        return result;
    }
    ColourCanvas canvas(info);
    for (int y = 0; y < image.height; ++y) {
        uint8_t* row = canvas.Row(y);
        for (int x = 0; x < image.width; ++x) {
            const uint8_t v = GreyAt(image, x, y);
            row[3 * x] = row[3 * x + 1] = row[3 * x + 2] = v;
        }
    }
    const std::vector<TemplateMinutia>& minutiae = fingerTemplate.minutiae;
    auto isMatched = [&matched](size_t i) { return i < matched.size() && matched[i]; };

    // Segments first, so that directions and minutiae stay visible over them.
    for (size_t i = 0; i < minutiae.size(); ++i) {
        size_t nearest = i;
        int64_t best = INT64_MAX;
        for (size_t j = 0; j < minutiae.size(); ++j) {
            const int64_t dx = minutiae[j].x - minutiae[i].x;
            const int64_t dy = minutiae[j].y - minutiae[i].y;
            if (j != i && dx * dx + dy * dy < best) {
                best = dx * dx + dy * dy;
                nearest = j;
            }
        }
        if (nearest != i) {
            const int colour = isMatched(i) && isMatched(nearest) ? colours.segmentsMatch : colours.segments;
            canvas.Line(minutiae[i].x, minutiae[i].y, minutiae[nearest].x, minutiae[nearest].y, colour);
        }
    }
    for (size_t i = 0; i < minutiae.size(); ++i) {
        const double radians = minutiae[i].direction * std::numbers::pi / 180.0;
        const int x1 = minutiae[i].x + static_cast<int>(std::lround(kDirectionLength * std::cos(radians)));
        const int y1 = minutiae[i].y + static_cast<int>(std::lround(kDirectionLength * std::sin(radians)));
        canvas.Line(minutiae[i].x, minutiae[i].y, x1, y1, isMatched(i) ? colours.directionsMatch : colours.directions);
    }
    for (size_t i = 0; i < minutiae.size(); ++i) {
        const int colour = isMatched(i) ? colours.minutiaeMatch : colours.minutiae;
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                canvas.Set(minutiae[i].x + dx, minutiae[i].y + dy, colour);
            }
        }
    }
    *bitmap = made;
    return DC_OK;
}

int DrawGreyBitmap(const GreyView& image, BmDeviceContext dc, BmBitmap* bitmap)
{
    BmBitmap made = nullptr;
    BmBitmapInfo info{};
    if (const int result = NewBitmap(image, 8, dc, made, info); result != DC_OK) {
        return result;
    }
    for (int y = 0; y < image.height; ++y) {
        uint8_t* row = info.bits + static_cast<size_t>(image.height - 1 - y) * static_cast<size_t>(info.widthBytes);
        for (int x = 0; x < image.width; ++x) {
            row[x] = GreyAt(image, x, y);
        }
    }
    *bitmap = made;
    return DC_OK;
}

}  // namespace dactis
