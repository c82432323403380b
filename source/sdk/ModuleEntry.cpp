// SPDX-License-Identifier: GPL-3.0-or-later
// Linux module entry points: hosts call ModuleEntry after dlopen and ModuleExit before
// dlclose. Calls may nest when a host loads the same module more than once.
#include "ModuleEntry.h"

#include "pluginterfaces/base/fplatform.h"

namespace
{
int moduleCounter = 0;
} // namespace

extern "C"
{
    SMTG_EXPORT_SYMBOL bool ModuleEntry(void* sharedLibraryHandle)
    {
        if (++moduleCounter == 1) Halvane::setModuleHandle(sharedLibraryHandle);
        return true;
    }

    SMTG_EXPORT_SYMBOL bool ModuleExit()
    {
        if (moduleCounter > 0 && --moduleCounter == 0) Halvane::setModuleHandle(nullptr);
        return true;
    }
}
