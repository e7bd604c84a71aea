#include "fpsynth/contact_sheet.h"

#include <string>

#include "core/det_math.h"
#include "fpsynth/dataset.h"
#include "fpsynth/impression.h"
#include "fpsynth/master.h"
#include "fpsynth/sensor.h"
#include "io/bitmap_font.h"

namespace fpsynth {
namespace {

constexpr int kGap = 16;
constexpr int kMasterCell = 360;  // width; masters are at most this wide
constexpr int kLabelHeight = 30;
constexpr int kPictureHeight = 456;  // the tallest master
constexpr int kCaptionHeight = 44;   // two lines under each picture
constexpr int kRowHeight = kLabelHeight + kPictureHeight + kCaptionHeight;
constexpr int kTitleHeight = 48;
constexpr uint8_t kPaper = 70;
constexpr uint8_t kInk = 235;

void Paste(GreyImage& sheet, const GreyImage& picture, int left, int top)
{
    for (int y = 0; y < picture.height; ++y) {
        for (int x = 0; x < picture.width; ++x) {
            if (sheet.width > left + x && sheet.height > top + y) {
                sheet.at(left + x, top + y) = picture.at(x, y);
            }
        }
    }
}

void Plot(GreyImage& image, int x, int y, uint8_t level)
{
    if (x >= 0 && y >= 0 && x < image.width && y < image.height) {
        image.at(x, y) = level;
    }
}

void Mark(GreyImage& image, const Minutia& m)
{
    const int cx = static_cast<int>(m.x + 0.5);
    const int cy = static_cast<int>(m.y + 0.5);
    for (int d = -3; d <= 3; ++d) {
        if (m.type == MinutiaType::Ending) {
            Plot(image, cx + d, cy - 3, 128);
            Plot(image, cx + d, cy + 3, 128);
            Plot(image, cx - 3, cy + d, 128);
            Plot(image, cx + 3, cy + d, 128);
        } else {
            const int e = 3 - (d < 0 ? -d : d);
            Plot(image, cx + d, cy - e, 128);
            Plot(image, cx + d, cy + e, 128);
        }
    }
    const double angle = RadiansFromDegrees(m.direction);
    for (int r = 4; r <= 9; ++r) {
        Plot(image, cx + static_cast<int>(r * DetCos(angle) + 0.5 * (DetCos(angle) < 0 ? -1 : 1)),
             cy + static_cast<int>(r * DetSin(angle) + 0.5 * (DetSin(angle) < 0 ? -1 : 1)), 128);
    }
}

std::string Upper(std::string_view text)
{
    std::string out(text);
    for (char& c : out) {
        c = c == '-' ? ' ' : c;
    }
    return out;
}

}  // namespace

GreyImage RenderContactSheet(uint64_t seed, bool markMinutiae)
{
    const int width = kGap + kMasterCell + kGap + 3 * (352 + kGap) + kSensorFrameWidth + kGap;
    const int height = kTitleHeight + static_cast<int>(kPatternClasses.size()) * kRowHeight;
    GreyImage sheet(width, height, kPaper);
    DrawText(sheet, kGap, 14, "SYNTHETIC FINGERPRINTS, SHEET SEED " + std::to_string(seed), 3, kInk);

    int top = kTitleHeight;
    int row = 1;
    for (const PatternClass patternClass : kPatternClasses) {
        MasterOptions options;
        options.seed = FingerSeed(seed, row);
        options.patternClass = patternClass;
        const MasterFingerprint master = MasterFingerprint::Generate(options);
        DrawText(sheet, kGap, top + 4,
                 Upper(PatternClassName(patternClass)) + "   MASTER SEED " + std::to_string(options.seed) + "   " +
                     std::to_string(master.Minutiae().size()) + " MINUTIAE",
                 3, kInk);
        const int picturesTop = top + kLabelHeight;
        const auto caption = [&](int left, int pictureHeight, const std::string& first, const std::string& second) {
            DrawText(sheet, left, picturesTop + pictureHeight + 6, first, 2, kInk);
            DrawText(sheet, left, picturesTop + pictureHeight + 24, second, 2, kInk);
        };
        Paste(sheet, master.Render(), kGap + (kMasterCell - master.Width()) / 2, picturesTop);
        caption(kGap + (kMasterCell - master.Width()) / 2, master.Height(), "MASTER",
                std::to_string(master.Width()) + " X " + std::to_string(master.Height()));

        int left = kGap + kMasterCell + kGap;
        const char* captions[3] = {"CLEAN", "TYPICAL", "LIGHT, DRY, PARTIAL"};
        for (int i = 0; i < 3; ++i) {
            ImpressionOptions impressionOptions;
            impressionOptions.seed = ImpressionSeed(options.seed, i + 1);
            if (i == 0) {
                impressionOptions = CleanImpressionOptions(352, 288, impressionOptions.seed);
            } else if (i == 2) {
                impressionOptions.noise = 1.8;
                impressionOptions.pressureSpread = 1.0;
            }
            Impression impression = RenderImpression(master, impressionOptions);
            if (i == 2) {
                // Look for a seed that shows the light, partial touch this column is about.
                for (int k = 4; k < 60 && !(impression.pose.cut && impression.pose.pressure < 0.5); ++k) {
                    impressionOptions.seed = ImpressionSeed(options.seed, k);
                    impression = RenderImpression(master, impressionOptions);
                }
            }
            if (i == 0 && markMinutiae) {
                for (const Minutia& m : impression.minutiae) {
                    Mark(impression.image, m);
                }
            }
            Paste(sheet, impression.image, left, picturesTop);
            caption(left, impression.image.height, captions[i],
                    std::to_string(impression.minutiae.size()) + " MINUTIAE");
            left += 352 + kGap;
        }
        SensorTouch touch(master, options.seed, TouchScript{2, 4, 2});
        SensorFrame frame;
        for (int k = 0; k < 4; ++k) {
            frame = touch.Capture(75);
        }
        Paste(sheet, frame.image, left, picturesTop);
        caption(left, frame.image.height, "SENSOR FRAME, HELD, GAIN 75",
                std::to_string(frame.fingerPixels) + " FINGER PIXELS");
        top += kRowHeight;
        ++row;
    }
    return sheet;
}

}  // namespace fpsynth
