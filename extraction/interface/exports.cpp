// The five exports of libFenrax.so over the process's one module state. No exception
// leaves them: anything unexpected is answered as an extraction without buffers.
#include "fenrax/fenrax.h"
#include "interface/module_state.h"

namespace {

// Zero at load; its buffers are released at unload.
fenrax::ModuleState g_module;

int32_t Code(fenrax::ModuleResult result)
{
    return static_cast<int32_t>(result);
}

}  // namespace

extern "C" {

FENRAX_API int32_t FPD_initGlobal(int32_t width, int32_t height, int32_t /*ignored*/, int32_t templateSize)
{
    try {
        return Code(fenrax::InitialiseModule(g_module, width, height, templateSize));
    } catch (...) {
        return FENRAX_NO_BUFFERS;
    }
}

FENRAX_API int32_t FPD_Process(const uint8_t* image, uint8_t* templateOut, int32_t debugFlags)
{
    try {
        return Code(fenrax::ProcessImage(g_module, image, templateOut, debugFlags));
    } catch (...) {
        return FENRAX_NO_BUFFERS;
    }
}

FENRAX_API int32_t FPD_freeGlobalMem(void)
{
    fenrax::ReleaseModule(g_module);
    return FENRAX_OK;
}

FENRAX_API int32_t FPD_freeGlobal(void)
{
    return FENRAX_OK;
}

FENRAX_API int32_t FPD_GetExtVersion(void)
{
    return FENRAX_VERSION;
}

}  // extern "C"
