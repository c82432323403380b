// SPDX-License-Identifier: GPL-3.0-or-later
#include "MidiEventRelay.h"

#include "ParameterIds.h"
#include "framework/PlugIn.h"

#include <cmath>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

namespace
{

constexpr uint8_t kPolyPressureStatus = 0xA0;
constexpr uint8_t kControlChangeStatus = 0xB0;
constexpr uint8_t kChannelPressureStatus = 0xD0;
constexpr int16 kRawControlChange = 0xB0;
constexpr int16 kRawTimingClock = 0xF8;
constexpr int16 kRawPitchBend = 0xE0;

// A 0..1 value as a 7-bit MIDI value, truncated. Hosts may send anything, and converting a NaN
// or out-of-range double to an integer is undefined, so clamp first.
uint32 toMidiValue(double value)
{
    if (!(value > 0.0)) return 0;
    if (value >= 1.0) return 127;
    return static_cast<uint32>(value * 127.0);
}

uint8_t lowByte(int32 value)
{
    return static_cast<uint8_t>(value & 0xFF);
}

bool isRawMidiCarrier(const ChordEvent& chord)
{
    static const char16 kTag[] = u"VEXOMIDI";
    if (!chord.text) return false;
    // Stop at the first difference so a short host text is never read past its terminator.
    for (int i = 0;; ++i)
    {
        if (chord.text[i] != kTag[i]) return false;
        if (kTag[i] == 0) return true;
    }
}

void relayRawMidi(CPlugIn* plugIn, const ChordEvent& chord)
{
    const int16 channel = chord.root;
    const int16 status = chord.bassNote;
    const int16 data1 = chord.mask;
    const int32 data2 = chord.textLen;
    const auto channelIndex = static_cast<uint32>(channel);

    if (status == kRawControlChange && data1 == kCtrlModWheel)
    {
        plugIn->onModWheel(channelIndex, static_cast<uint32>(data2));
    }
    else if (status == kRawControlChange && data1 == kCtrlAllNotesOff)
    {
        plugIn->onNoteOff(channelIndex, 0, 0, true);
    }
    else if (status == kRawTimingClock)
    {
        plugIn->onMidiClock();
    }
    else if (status == kRawPitchBend)
    {
        const int32 bend = ((data2 & 0x7F) * 128 + (data1 & 0x7F)) - 8192;
        // Both ends reach exactly -1 and +1.
        const int32 scaled = bend == -8192 ? -8191 : bend;
        plugIn->onPitchBend(channelIndex, bend, static_cast<float>(scaled / 8191.0));
    }
    else if (plugIn->wantsAllMidi)
    {
        plugIn->onMidiMessage(lowByte(channel), lowByte(status), lowByte(data1), lowByte(data2));
    }
}

} // namespace

bool relayNoteEvent(CPlugIn* plugIn, const Event& event)
{
    switch (event.type)
    {
    case Event::kNoteOnEvent:
        if (plugIn)
            plugIn->onNoteOn(static_cast<uint32>(event.noteOn.channel),
                             static_cast<uint32>(event.noteOn.pitch),
                             toMidiValue(event.noteOn.velocity));
        return true;
    case Event::kNoteOffEvent:
        if (plugIn)
            plugIn->onNoteOff(static_cast<uint32>(event.noteOff.channel),
                              static_cast<uint32>(event.noteOff.pitch),
                              toMidiValue(event.noteOff.velocity), false);
        return true;
    case Event::kPolyPressureEvent:
        if (plugIn)
            plugIn->onMidiMessage(
                lowByte(event.polyPressure.channel), kPolyPressureStatus,
                lowByte(event.polyPressure.pitch),
                lowByte(static_cast<int32>(toMidiValue(event.polyPressure.pressure))));
        return true;
    default:
        return false;
    }
}

void relayMidiEvent(CPlugIn* plugIn, const Event& event)
{
    if (!plugIn) return;
    if (relayNoteEvent(plugIn, event)) return;
    if (event.type == Event::kChordEvent && isRawMidiCarrier(event.chord))
        relayRawMidi(plugIn, event.chord);
}

void convertPseudoParameter(CPlugIn* plugIn, ParamID id, ParamValue value)
{
    if (!plugIn) return;
    // Normalised values outside 0..1 are clamped; a NaN carries no value at all.
    if (std::isnan(value)) return;
    const double v = value < 0.0 ? 0.0 : (value > 1.0 ? 1.0 : value);
    const uint32 midiValue = toMidiValue(static_cast<float>(v));

    switch (id)
    {
    case kPitchBendId:
    {
        const double bend = 2.0 * v - 1.0;
        const int32 position = bend == -1.0 ? -8192 : static_cast<int32>(bend * 8191.0);
        plugIn->onPitchBend(0, position, static_cast<float>(bend));
        break;
    }
    case kModWheelId:
        plugIn->onModWheel(0, midiValue);
        break;
    case kMidiVolId:
        plugIn->onMidiMessage(0, kControlChangeStatus, kCtrlVolume, lowByte(midiValue));
        break;
    case kMidiPanId:
        plugIn->onMidiMessage(0, kControlChangeStatus, kCtrlPan, lowByte(midiValue));
        break;
    case kExpressionId:
        plugIn->onMidiMessage(0, kControlChangeStatus, kCtrlExpression, lowByte(midiValue));
        break;
    case kSustainPedalId:
        plugIn->onMidiMessage(0, kControlChangeStatus, kCtrlSustainOnOff, v > 0.5 ? 127 : 0);
        break;
    case kChannelPressureId:
        plugIn->onMidiMessage(0, kChannelPressureStatus, lowByte(midiValue), 0);
        break;
    case kAllNotesOffId:
        plugIn->onNoteOff(0, 0, 0, true);
        break;
    default:
        break;
    }
}

tresult midiControllerAssignment(CPlugIn* plugIn, int32 busIndex, int16 /*channel*/,
                                 CtrlNumber number, ParamID& id)
{
    if (!plugIn || busIndex != 0) return kResultFalse;

    switch (number)
    {
    case kPitchBend:
        id = kPitchBendId;
        return kResultOk;
    case kCtrlModWheel:
        id = kModWheelId;
        return kResultOk;
    case kCtrlVolume:
        id = kMidiVolId;
        return kResultOk;
    case kCtrlPan:
        id = kMidiPanId;
        return kResultOk;
    case kCtrlExpression:
        id = kExpressionId;
        return kResultOk;
    case kCtrlSustainOnOff:
        id = kSustainPedalId;
        return kResultOk;
    case kAfterTouch:
        id = kChannelPressureId;
        return kResultOk;
    case kCtrlAllNotesOff:
        id = kAllNotesOffId;
        return kResultOk;
    default:
        break;
    }

    // The last control that learned the number wins.
    bool found = false;
    const int count = plugIn->controlList.count();
    for (int k = 0; k < count; ++k)
    {
        const CControlDescriptor* descriptor = plugIn->controlList.at(k);
        if (descriptor && descriptor->midiLearnEnabled &&
            static_cast<int64>(descriptor->midiController) == static_cast<int64>(number))
        {
            id = static_cast<ParamID>(k);
            found = true;
        }
    }
    if (found) return kResultOk;
    id = 0;
    return kResultFalse;
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
