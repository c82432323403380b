// SPDX-License-Identifier: GPL-3.0-or-later
// The loader's handle, kept apart from the entry points so that code linked outside the module
// (tests, tools) can ask for it too; there it stays null.
#include "ModuleEntry.h"

namespace
{
void* loadedModuleHandle = nullptr;
} // namespace

namespace Halvane
{
void* moduleHandle()
{
    return loadedModuleHandle;
}

void setModuleHandle(void* handle)
{
    loadedModuleHandle = handle;
}
} // namespace Halvane
