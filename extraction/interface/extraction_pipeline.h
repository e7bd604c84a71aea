// The extraction of one image, stage by stage, on explicit buffers: what FPD_Process runs
// on the module's buffers and what the tools and tests run on their own.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "interface/debug_dumps.h"
#include "interface/geometry.h"
#include "template/template_format.h"

namespace fenrax {

// The buffers that live as long as a geometry: the block maps and the template.
struct ExtractionBuffers {
    std::span<uint8_t> directionMap;  // geometry.Blocks() bytes each
    std::span<uint8_t> periodMap;
    std::span<uint8_t> templateBuffer;  // format.size bytes
};

// The working image: paddedWidth x paddedHeight, the caller's rawWidth x rawHeight image
// with its top-left pixel at (marginX, marginY), 0 around it.
std::vector<uint8_t> PlaceRawImage(const Geometry& geometry, const uint8_t* rawImage);

// Smoothing and half histogram equalisation of the working image, dumped as "enh.raw";
// then the block maps, the direction map dumped as "dir.dat".
void EnhanceAndMap(std::span<uint8_t> working, const Geometry& geometry, std::span<uint8_t> directionMap,
                   std::span<uint8_t> periodMap, DumpSink& dumps);

// One image to one encrypted template in buffers.templateBuffer.
void ExtractTemplate(const Geometry& geometry, const TemplateFormat& format, const uint8_t* rawImage,
                     const ExtractionBuffers& buffers, DumpSink& dumps);

}  // namespace fenrax
