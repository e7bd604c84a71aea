#include "interface/extraction_pipeline.h"

#include <algorithm>

#include "enhancement/half_equalisation.h"
#include "enhancement/smoothing.h"
#include "maps/block_maps.h"
#include "template/template_cipher.h"

namespace fenrax {

std::vector<uint8_t> PlaceRawImage(const Geometry& g, const uint8_t* rawImage)
{
    std::vector<uint8_t> working(g.PaddedPixels(), 0);
    const size_t rawWidth = static_cast<size_t>(g.rawWidth);
    for (int32_t y = 0; y < g.rawHeight; ++y) {
        const uint8_t* from = rawImage + static_cast<size_t>(y) * rawWidth;
        const size_t to =
            static_cast<size_t>(y + g.marginY) * static_cast<size_t>(g.paddedWidth) + static_cast<size_t>(g.marginX);
        std::copy(from, from + rawWidth, working.begin() + static_cast<std::ptrdiff_t>(to));
    }
    return working;
}

void EnhanceAndMap(std::span<uint8_t> working, const Geometry& geometry, std::span<uint8_t> directionMap,
                   std::span<uint8_t> periodMap, DumpSink& dumps)
{
    // Sensor noise softened, contrast stretched halfway to a flat histogram.
    SmoothImage(working, geometry.paddedWidth, geometry.paddedHeight);
    EqualiseHalfHistogram(working);
    dumps.Write("enh.raw", working);
    // A ridge direction and a ridge period for every 8 x 8 block.
    BuildBlockMaps(working, geometry, directionMap, periodMap);
    dumps.Write("dir.dat", directionMap);
}

void ExtractTemplate(const Geometry& geometry, const TemplateFormat& format, const uint8_t* rawImage,
                     const ExtractionBuffers& buffers, DumpSink& dumps)
{
    // The caller's image in a zero border, then enhanced; the block maps beside it.
    std::vector<uint8_t> working = PlaceRawImage(geometry, rawImage);
    EnhanceAndMap(working, geometry, buffers.directionMap, buffers.periodMap, dumps);
    // Ridge filtering and binarisation ("bin.raw"), thinning ("thn.raw"), skeleton repair
    // ("res.raw") and minutiae detection join here; until then no minutia is found.
    // Header and minutia records in plain form, then encrypted in place.
    AssembleTemplate(buffers.templateBuffer, format, geometry, {});
    EncryptTemplate(buffers.templateBuffer);
}

}  // namespace fenrax
