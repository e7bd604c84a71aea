#include "impression/grey_levels.h"

#include "core/det_math.h"

namespace fpsynth {

PaperTone DrawPaperTone(Random& random, double noise)
{
    PaperTone tone;
    tone.background = random.Uniform(228.0, 250.0);
    tone.valley = tone.background - random.Uniform(0.0, 25.0);
    tone.ridge = random.Uniform(25.0, 85.0);
    tone.noise = noise * random.Uniform(2.0, 6.0);
    tone.contrast = random.Uniform(0.85, 1.1);
    tone.brightness = random.Uniform(-12.0, 8.0);
    return tone;
}

void BlurBinomial(Grid<float>& image)
{
    const int w = image.width;
    const int h = image.height;
    std::vector<float> row(static_cast<size_t>(w));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const float left = image.at(x > 0 ? x - 1 : x, y);
            const float right = image.at(x + 1 < w ? x + 1 : x, y);
            row[static_cast<size_t>(x)] = 0.25f * left + 0.5f * image.at(x, y) + 0.25f * right;
        }
        for (int x = 0; x < w; ++x) {
            image.at(x, y) = row[static_cast<size_t>(x)];
        }
    }
    std::vector<float> above(static_cast<size_t>(w));
    for (int x = 0; x < w; ++x) {
        above[static_cast<size_t>(x)] = image.at(x, 0);
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const float up = above[static_cast<size_t>(x)];
            const float here = image.at(x, y);
            const float down = image.at(x, y + 1 < h ? y + 1 : y);
            above[static_cast<size_t>(x)] = here;
            image.at(x, y) = 0.25f * up + 0.5f * here + 0.25f * down;
        }
    }
}

GreyImage ToneImpression(const TouchRaster& raster, const PaperTone& tone, uint64_t noiseSeed)
{
    const int w = raster.contact.width;
    const int h = raster.contact.height;
    Grid<float> grey(w, h);
    Random noise(noiseSeed);
    for (size_t i = 0; i < grey.data.size(); ++i) {
        const double contact = SmoothStep(0.0, 1.0, raster.contact.data[i]);
        const double skin = tone.valley + (tone.ridge - tone.valley) * raster.darkness.data[i];
        double value = tone.background + (skin - tone.background) * contact;
        if (tone.noise > 0.0) {
            value += tone.noise * noise.Normal();
        }
        grey.data[i] = static_cast<float>(value);
    }
    BlurBinomial(grey);
    GreyImage image(w, h);
    for (size_t i = 0; i < grey.data.size(); ++i) {
        const double value = (grey.data[i] - 128.0) * tone.contrast + 128.0 + tone.brightness;
        image.pixels[i] = static_cast<uint8_t>(Clamp(value, 0.0, 255.0) + 0.5);
    }
    return image;
}

}  // namespace fpsynth
