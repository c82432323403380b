// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Halvane
{
// The handle the module received from its loader (ModuleEntry), or null.
void* moduleHandle();
// For ModuleEntry and ModuleExit only.
void setModuleHandle(void* handle);
} // namespace Halvane
