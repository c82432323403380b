// SPDX-License-Identifier: GPL-3.0-or-later
#include "binding/MidiEventList.h"
#include "binding/MidiEventRelay.h"
#include "binding/ParameterIds.h"
#include "framework/PlugIn.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Davu2VOV3;

namespace
{

// Records every MIDI callback as one line of text.
class RecordingPlugIn : public CPlugIn
{
public:
    std::vector<std::string> calls;

    bool onNoteOn(uint32_t channel, uint32_t note, uint32_t velocity) override
    {
        return record("noteOn %u %u %u", channel, note, velocity);
    }
    bool onNoteOff(uint32_t channel, uint32_t note, uint32_t velocity, bool allNotesOff) override
    {
        return record("noteOff %u %u %u %d", channel, note, velocity, allNotesOff ? 1 : 0);
    }
    bool onModWheel(uint32_t channel, uint32_t value) override
    {
        return record("modWheel %u %u", channel, value);
    }
    bool onPitchBend(uint32_t channel, int32_t value, float normalized) override
    {
        return record("pitchBend %u %d %g", channel, value, static_cast<double>(normalized));
    }
    bool onMidiClock() override { return record("clock"); }
    bool onMidiMessage(uint8_t channel, uint8_t status, uint8_t data1, uint8_t data2) override
    {
        return record("message %u %02X %u %u", channel, status, data1, data2);
    }

    void addControl(bool learn, uint32_t controller)
    {
        CControlDescriptor descriptor;
        descriptor.controlId = static_cast<uint32_t>(controlList.count());
        descriptor.midiLearnEnabled = learn;
        descriptor.midiController = controller;
        controlList.appendCopy(descriptor);
    }

private:
    template <typename... Args> bool record(const char* format, Args... args)
    {
        char line[128];
        std::snprintf(line, sizeof line, format, args...);
        calls.emplace_back(line);
        return true;
    }
};

class FakeEventList : public IEventList
{
public:
    std::vector<Event> events;

    int32 PLUGIN_API getEventCount() override { return static_cast<int32>(events.size()); }
    tresult PLUGIN_API getEvent(int32 index, Event& e) override
    {
        if (index < 0 || index >= getEventCount()) return kInvalidArgument;
        e = events[static_cast<size_t>(index)];
        return kResultOk;
    }
    tresult PLUGIN_API addEvent(Event& e) override
    {
        events.push_back(e);
        return kResultOk;
    }
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }
};

const char16 kCarrierTag[] = u"VEXOMIDI";

Event noteOn(int32 offset, int16 pitch, float velocity, int16 channel = 0)
{
    Event event{};
    event.sampleOffset = offset;
    event.type = Event::kNoteOnEvent;
    event.noteOn.channel = channel;
    event.noteOn.pitch = pitch;
    event.noteOn.velocity = velocity;
    return event;
}

Event noteOff(int32 offset, int16 pitch, float velocity)
{
    Event event{};
    event.sampleOffset = offset;
    event.type = Event::kNoteOffEvent;
    event.noteOff.pitch = pitch;
    event.noteOff.velocity = velocity;
    return event;
}

Event rawMidi(int16 channel, int16 status, int16 data1, uint16 data2,
              const char16* tag = kCarrierTag, int32 offset = 0)
{
    Event event{};
    event.sampleOffset = offset;
    event.type = Event::kChordEvent;
    event.chord.root = channel;
    event.chord.bassNote = status;
    event.chord.mask = data1;
    event.chord.textLen = data2;
    event.chord.text = tag;
    return event;
}

using Calls = std::vector<std::string>;

} // namespace

TEST(MidiControllerAssignment, FixedControllersMapToPseudoParametersOnBusZeroOnly)
{
    RecordingPlugIn plugIn;
    ParamID id = 99;
    EXPECT_EQ(midiControllerAssignment(&plugIn, 0, 5, kCtrlVolume, id), kResultOk);
    EXPECT_EQ(id, 2050u);

    const std::pair<CtrlNumber, ParamID> fixed[] = {
        {kPitchBend, 2048},  {kCtrlModWheel, 2049},   {kCtrlVolume, 2050},
        {kCtrlPan, 2051},    {kCtrlExpression, 2052}, {kCtrlSustainOnOff, 2053},
        {kAfterTouch, 2054}, {kCtrlAllNotesOff, 2055}};
    for (const auto& [number, expected] : fixed)
    {
        for (int16 channel : {0, 15})
        {
            id = 0;
            EXPECT_EQ(midiControllerAssignment(&plugIn, 0, channel, number, id), kResultOk);
            EXPECT_EQ(id, expected) << number;
        }
    }

    id = 99;
    EXPECT_EQ(midiControllerAssignment(&plugIn, 1, 0, kCtrlVolume, id), kResultFalse);
    EXPECT_EQ(id, 99u);
    EXPECT_EQ(midiControllerAssignment(nullptr, 0, 0, kCtrlVolume, id), kResultFalse);
    EXPECT_EQ(id, 99u);
}

TEST(MidiControllerAssignment, LearnedControllersMapToTheLastLearningControl)
{
    RecordingPlugIn plugIn;
    ParamID id = 99;
    EXPECT_EQ(midiControllerAssignment(&plugIn, 0, 0, 74, id), kResultFalse);
    EXPECT_EQ(id, 0u);

    plugIn.addControl(false, 74); // 0: not learning
    plugIn.addControl(true, 74);  // 1
    plugIn.addControl(true, 20);  // 2
    plugIn.addControl(true, 74);  // 3
    plugIn.addControl(false, 74); // 4: not learning
    EXPECT_EQ(midiControllerAssignment(&plugIn, 0, 3, 74, id), kResultOk);
    EXPECT_EQ(id, 3u);
    EXPECT_EQ(midiControllerAssignment(&plugIn, 0, 0, 20, id), kResultOk);
    EXPECT_EQ(id, 2u);
    EXPECT_EQ(midiControllerAssignment(&plugIn, 0, 0, 21, id), kResultFalse);
    EXPECT_EQ(id, 0u);
}

TEST(PseudoParameters, PitchBendReachesBothExtremes)
{
    RecordingPlugIn plugIn;
    convertPseudoParameter(&plugIn, kPitchBendId, 0.0);
    convertPseudoParameter(&plugIn, kPitchBendId, 0.5);
    convertPseudoParameter(&plugIn, kPitchBendId, 1.0);
    EXPECT_EQ(plugIn.calls,
              (Calls{"pitchBend 0 -8192 -1", "pitchBend 0 0 0", "pitchBend 0 8191 1"}));
}

TEST(PseudoParameters, ControllersBecomeChannelZeroMessages)
{
    RecordingPlugIn plugIn;
    convertPseudoParameter(&plugIn, kModWheelId, 0.5);
    convertPseudoParameter(&plugIn, kMidiVolId, 1.0);
    convertPseudoParameter(&plugIn, kMidiPanId, 0.0);
    convertPseudoParameter(&plugIn, kExpressionId, 0.25);
    convertPseudoParameter(&plugIn, kSustainPedalId, 0.5);
    convertPseudoParameter(&plugIn, kSustainPedalId, 0.51);
    convertPseudoParameter(&plugIn, kChannelPressureId, 1.0);
    convertPseudoParameter(&plugIn, kAllNotesOffId, 0.0);
    convertPseudoParameter(&plugIn, kBypassId, 1.0);
    EXPECT_EQ(plugIn.calls, (Calls{"modWheel 0 63", "message 0 B0 7 127", "message 0 B0 10 0",
                                   "message 0 B0 11 31", "message 0 B0 64 0", "message 0 B0 64 127",
                                   "message 0 D0 127 0", "noteOff 0 0 0 1"}));
}

TEST(PseudoParameters, OutOfRangeValuesAreClampedAndNaNIsDropped)
{
    RecordingPlugIn plugIn;
    convertPseudoParameter(&plugIn, kModWheelId, 3.0);
    convertPseudoParameter(&plugIn, kPitchBendId, -1.0);
    convertPseudoParameter(&plugIn, kMidiVolId, std::nan(""));
    convertPseudoParameter(&plugIn, kAllNotesOffId, std::nan(""));
    EXPECT_EQ(plugIn.calls, (Calls{"modWheel 0 127", "pitchBend 0 -8192 -1"}));
    convertPseudoParameter(nullptr, kAllNotesOffId, 1.0);
}

TEST(MidiRelay, NoteEventsScaleVelocityAndPressure)
{
    RecordingPlugIn plugIn;
    relayMidiEvent(&plugIn, noteOn(0, 60, 1.0f, 2));
    relayMidiEvent(&plugIn, noteOn(0, 61, 0.5f));
    relayMidiEvent(&plugIn, noteOn(0, 62, 0.0f));
    relayMidiEvent(&plugIn, noteOff(0, 60, 0.5f));

    Event pressure{};
    pressure.type = Event::kPolyPressureEvent;
    pressure.polyPressure.channel = 3;
    pressure.polyPressure.pitch = 64;
    pressure.polyPressure.pressure = 0.5f;
    relayMidiEvent(&plugIn, pressure);

    Event data{};
    data.type = Event::kDataEvent;
    relayMidiEvent(&plugIn, data);

    EXPECT_EQ(plugIn.calls, (Calls{"noteOn 2 60 127", "noteOn 0 61 63", "noteOn 0 62 0",
                                   "noteOff 0 60 63 0", "message 3 A0 64 63"}));
}

TEST(MidiRelay, BrokenVelocitiesStayInTheMidiRange)
{
    RecordingPlugIn plugIn;
    relayMidiEvent(&plugIn, noteOn(0, 60, std::nanf("")));
    relayMidiEvent(&plugIn, noteOn(0, 60, -3.0f));
    relayMidiEvent(&plugIn, noteOn(0, 60, 1e30f));
    EXPECT_EQ(plugIn.calls, (Calls{"noteOn 0 60 0", "noteOn 0 60 0", "noteOn 0 60 127"}));
    relayMidiEvent(nullptr, noteOn(0, 60, 1.0f));
}

TEST(MidiRelay, RawCarrierDecodesControllersClockAndPitchBend)
{
    RecordingPlugIn plugIn;
    relayMidiEvent(&plugIn, rawMidi(4, 0xB0, 1, 100));
    relayMidiEvent(&plugIn, rawMidi(4, 0xB0, 123, 0));
    relayMidiEvent(&plugIn, rawMidi(4, 0xF8, 0, 0));
    relayMidiEvent(&plugIn, rawMidi(4, 0xE0, 0, 0));
    relayMidiEvent(&plugIn, rawMidi(4, 0xE0, 0, 64));
    relayMidiEvent(&plugIn, rawMidi(4, 0xE0, 127, 127));
    relayMidiEvent(&plugIn, rawMidi(4, 0xE0, 0x80 | 1, 0x80 | 64)); // high bits ignored
    EXPECT_EQ(plugIn.calls,
              (Calls{"modWheel 4 100", "noteOff 4 0 0 1", "clock", "pitchBend 4 -8192 -1",
                     "pitchBend 4 0 0", "pitchBend 4 8191 1", "pitchBend 4 1 0.000122085"}));
}

TEST(MidiRelay, OtherRawMessagesNeedWantsAllMidi)
{
    RecordingPlugIn plugIn;
    relayMidiEvent(&plugIn, rawMidi(1, 0xC0, 5, 0));
    relayMidiEvent(&plugIn, rawMidi(1, 0xB0, 7, 90));
    EXPECT_TRUE(plugIn.calls.empty());

    plugIn.wantsAllMidi = true;
    relayMidiEvent(&plugIn, rawMidi(1, 0xC0, 5, 0));
    relayMidiEvent(&plugIn, rawMidi(1, 0xB0, 7, 90));
    EXPECT_EQ(plugIn.calls, (Calls{"message 1 C0 5 0", "message 1 B0 7 90"}));
}

TEST(MidiRelay, ChordEventsWithoutTheExactTagAreIgnored)
{
    RecordingPlugIn plugIn;
    plugIn.wantsAllMidi = true;
    const char16 wrong[] = u"VEXOMIDX";
    const char16 longer[] = u"VEXOMIDI2";
    const char16 shorter[] = u"VEXO";
    relayMidiEvent(&plugIn, rawMidi(0, 0xF8, 0, 0, wrong));
    relayMidiEvent(&plugIn, rawMidi(0, 0xF8, 0, 0, longer));
    relayMidiEvent(&plugIn, rawMidi(0, 0xF8, 0, 0, shorter));
    relayMidiEvent(&plugIn, rawMidi(0, 0xF8, 0, 0, nullptr));
    EXPECT_TRUE(plugIn.calls.empty());
}

TEST(MidiEventList, FiresTheEventsOfEachOffsetOnce)
{
    RecordingPlugIn plugIn;
    FakeEventList list;
    list.events = {noteOn(0, 60, 1.0f), noteOn(0, 64, 1.0f), noteOff(5, 60, 0.0f)};

    CVSTMidiEventList events(&plugIn);
    EXPECT_EQ(events.getEventCount(), 0);
    EXPECT_FALSE(events.fireMidiEvents(0));

    events.attach(&list);
    EXPECT_EQ(events.getEventCount(), 3);
    EXPECT_TRUE(events.fireMidiEvents(0));
    EXPECT_EQ(plugIn.calls, (Calls{"noteOn 0 60 127", "noteOn 0 64 127"}));
    for (uint32 offset = 1; offset <= 4; ++offset)
        EXPECT_FALSE(events.fireMidiEvents(offset)) << offset;
    EXPECT_EQ(plugIn.calls.size(), 2u);
    EXPECT_TRUE(events.fireMidiEvents(5));
    EXPECT_EQ(plugIn.calls.back(), "noteOff 0 60 0 0");
    EXPECT_FALSE(events.fireMidiEvents(5));

    // A new block starts reading from the first event again.
    events.attach(&list);
    EXPECT_TRUE(events.fireMidiEvents(0));
    EXPECT_EQ(plugIn.calls.size(), 5u);
}

TEST(MidiEventList, SkipsRawCarrierEvents)
{
    RecordingPlugIn plugIn;
    plugIn.wantsAllMidi = true;
    FakeEventList list;
    list.events = {rawMidi(0, 0xF8, 0, 0), rawMidi(0, 0xC0, 1, 0, kCarrierTag, 2),
                   noteOn(2, 60, 1.0f)};

    CVSTMidiEventList events(&plugIn);
    events.attach(&list);
    EXPECT_FALSE(events.fireMidiEvents(0));
    EXPECT_TRUE(events.fireMidiEvents(2));
    EXPECT_EQ(plugIn.calls, (Calls{"noteOn 0 60 127"}));
}

TEST(MidiEventList, ReportsNoteEventsWithoutAPlugIn)
{
    FakeEventList list;
    list.events = {noteOn(0, 60, 1.0f)};
    CVSTMidiEventList events(nullptr);
    events.attach(&list);
    EXPECT_TRUE(events.fireMidiEvents(0));
    events.attach(nullptr);
    EXPECT_EQ(events.getEventCount(), 0);
    EXPECT_FALSE(events.fireMidiEvents(0));
}
