// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/vst/vsttypes.h"

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// Parameter ids besides the controls (whose ids are their control-table positions).
enum FixedParameterIds : ParamID
{
    kPitchBendId = 0x800,
    kModWheelId = 0x801,
    kMidiVolId = 0x802,
    kMidiPanId = 0x803,
    kExpressionId = 0x804,
    kSustainPedalId = 0x805,
    kChannelPressureId = 0x806,
    kAllNotesOffId = 0x807,
    kBypassId = 0x808,
    kButton1Id = 0x8000,
    kButton2Id = 0x8001,
    kButton3Id = 0x8002,
    kJoystickXId = 0x8005,
    kJoystickYId = 0x8006,
    kFactoryPresetsId = 0x70727374, // 'prst'
};

// Unit ids: the presets unit carries the program list; the root unit is its parent.
constexpr UnitID kPresetsUnitId = 0;
constexpr UnitID kRootUnitId = 1;

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
