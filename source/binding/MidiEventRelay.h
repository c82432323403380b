// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/vsttypes.h"

class CPlugIn;

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// Turns one event of the event input bus into the plug-in object's MIDI callbacks: note on,
// note off, poly pressure and the raw MIDI carrier. Audio thread; does nothing without a
// plug-in object.
void relayMidiEvent(CPlugIn* plugIn, const Event& event);

// Delivers note on, note off and poly pressure only. Returns whether the event was one of those
// (also without a plug-in object); every other event is skipped.
bool relayNoteEvent(CPlugIn* plugIn, const Event& event);

// Turns the value of one of the MIDI pseudo-parameters 0x800..0x807 back into the matching
// callback on channel 0. Audio thread.
void convertPseudoParameter(CPlugIn* plugIn, ParamID id, ParamValue value);

// IMidiMapping::getMidiControllerAssignment: the fixed controllers map to the pseudo-parameters,
// any other number to the last control that learned it. Only bus 0; every channel alike.
tresult midiControllerAssignment(CPlugIn* plugIn, int32 busIndex, int16 channel, CtrlNumber number,
                                 ParamID& id);

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
