/* The public header compiles as C: host programs of a C interface include it from C. */
#include "fenrax/fenrax.h"

int FenraxVersionCalledFromC(void)
{
    return FPD_GetExtVersion() == FENRAX_VERSION ? FENRAX_VERSION : FENRAX_OK;
}
