#include "platform/loaded_modules.h"

#include <dlfcn.h>
#include <link.h>

namespace platform {

namespace {

int KeepLoaded(dl_phdr_info* info, size_t, void*)
{
    // The executable itself has no name here; the vDSO is no file, and dlopen
    // simply refuses it. RTLD_NOLOAD only adds the flag to what is loaded.
    if (info->dlpi_name != nullptr && info->dlpi_name[0] != '\0')
        dlopen(info->dlpi_name, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
    return 0;
}

} // namespace

void KeepLoadedModulesToExit()
{
    dl_iterate_phdr(&KeepLoaded, nullptr);
}

} // namespace platform
