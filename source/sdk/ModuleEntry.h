#pragma once

namespace Halvane
{
// The handle the module received from its loader (ModuleEntry), or null.
void* moduleHandle();
} // namespace Halvane
