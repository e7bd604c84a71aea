#include "lxra101/file_helpers.h"

long __GetLxraLibVersion()
{
    return 112402;
}
