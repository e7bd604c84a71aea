#include "interface/module_state.h"

#include <algorithm>
#include <new>

#include "interface/extraction_pipeline.h"
#include "platform/dump_files.h"

namespace fenrax {

ModuleResult InitialiseModule(ModuleState& state, int32_t width, int32_t height, int32_t templateSize)
{
    state.initialisedOnce = true;
    if (state.buffersReady) {
        // The first geometry stays until the buffers are released.
        return ModuleResult::Ok;
    }
    const std::optional<Geometry> geometry = MakeGeometry(width, height);
    if (!geometry) {
        return ModuleResult::NoBuffers;
    }
    const TemplateFormat format = SelectTemplateFormat(templateSize);
    try {
        state.directionMap.assign(geometry->Blocks(), 0);
        state.periodMap.assign(geometry->Blocks(), 0);
        state.templateBuffer.assign(static_cast<size_t>(format.size), 0);
    } catch (const std::bad_alloc&) {
        ReleaseModule(state);
        return ModuleResult::NoBuffers;
    }
    state.geometry = *geometry;
    state.format = format;
    state.buffersReady = true;
    return ModuleResult::Ok;
}

ModuleResult ProcessImage(ModuleState& state, const uint8_t* image, uint8_t* templateOut, int32_t debugFlags)
{
    if (!state.initialisedOnce) {
        return ModuleResult::NotInitialised;
    }
    if (!state.buffersReady || image == nullptr || templateOut == nullptr) {
        return ModuleResult::NoBuffers;
    }
    NoDumps noDumps;
    CurrentFolderDumps files;
    DumpSink& dumps = (debugFlags & 1) != 0 ? static_cast<DumpSink&>(files) : noDumps;
    const ExtractionBuffers buffers{state.directionMap, state.periodMap, state.templateBuffer};
    try {
        ExtractTemplate(state.geometry, state.format, image, buffers, dumps);
    } catch (const std::bad_alloc&) {
        // The working image could not be allocated: nothing was extracted.
        return ModuleResult::NoBuffers;
    }
    std::copy(state.templateBuffer.begin(), state.templateBuffer.end(), templateOut);
    return ModuleResult::Ok;
}

void ReleaseModule(ModuleState& state)
{
    // Swapping with empty vectors gives the memory back, which clear() would not.
    std::vector<uint8_t>().swap(state.directionMap);
    std::vector<uint8_t>().swap(state.periodMap);
    std::vector<uint8_t>().swap(state.templateBuffer);
    state.buffersReady = false;
}

}  // namespace fenrax
