// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Memory.h"

#include <memory>

namespace halvane::host
{
class Module;
}

namespace bench
{

// Resident memory as two room-processor instances in the bundle are created and then made to
// read every position of the bank (68608 frames at each of the eleven positions, enough
// for both stages to gather every partition).
struct InstanceMemory
{
    Resident firstCreated;
    Resident firstPlayed;
    Resident secondCreated;
    Resident secondPlayed;
};

InstanceMemory measureInstanceMemory(const std::shared_ptr<halvane::host::Module>& module);

} // namespace bench
