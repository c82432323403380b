// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <pluginterfaces/fst/aeffectx.h>

namespace halvane::host
{

// VST 2 opcodes FST leaves unnamed. Kept apart from the plug-in's own list on purpose: the
// host checks the plug-in against the interface, not against itself.
namespace vst2
{
constexpr int effSetBypass = 44;
constexpr int effGetTailSize = 52;
constexpr int effGetParameterProperties = 56;
constexpr int audioMasterUpdateDisplay = 42;
constexpr int pinIsActive = 1;
constexpr int parameterUsesIntegerMinMax = 2;
} // namespace vst2

} // namespace halvane::host
