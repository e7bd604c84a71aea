// The extraction context of the process: one geometry, its block maps and template
// buffer, set up by FPD_initGlobal and released by FPD_freeGlobalMem or at unload.
#pragma once

#include <cstdint>
#include <vector>

#include "fenrax/fenrax.h"
#include "interface/geometry.h"
#include "template/template_format.h"

namespace fenrax {

struct ModuleState {
    bool initialisedOnce = false;  // FPD_initGlobal was called; never cleared
    bool buffersReady = false;     // the three buffers below are allocated
    Geometry geometry;
    TemplateFormat format;
    std::vector<uint8_t> directionMap;
    std::vector<uint8_t> periodMap;
    std::vector<uint8_t> templateBuffer;
};

// Results of the module's operations.
enum class ModuleResult : int32_t {
    Ok = FENRAX_OK,
    NotInitialised = FENRAX_NOT_INITIALISED,
    NoBuffers = FENRAX_NO_BUFFERS,
};

// The state machine of the exports, on any state (the exports pass the process's one).
ModuleResult InitialiseModule(ModuleState& state, int32_t width, int32_t height, int32_t templateSize);
// bit 0 of debugFlags writes the dumps into the current folder.
ModuleResult ProcessImage(ModuleState& state, const uint8_t* image, uint8_t* templateOut, int32_t debugFlags);
void ReleaseModule(ModuleState& state);

}  // namespace fenrax
