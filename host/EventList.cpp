// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/EventList.h"

using namespace Steinberg;

namespace halvane::host
{

IMPLEMENT_FUNKNOWN_METHODS(EventList, Vst::IEventList, Vst::IEventList::iid)

EventList::EventList(int capacity) : events(static_cast<size_t>(capacity > 0 ? capacity : 1))
{
    FUNKNOWN_CTOR
}

bool EventList::addNoteOn(int32 sampleOffset, int16 channel, int16 pitch, float velocity)
{
    Vst::Event e{};
    e.sampleOffset = sampleOffset;
    e.type = Vst::Event::kNoteOnEvent;
    e.noteOn.channel = channel;
    e.noteOn.pitch = pitch;
    e.noteOn.velocity = velocity;
    e.noteOn.noteId = -1;
    return addEvent(e) == kResultTrue;
}

bool EventList::addNoteOff(int32 sampleOffset, int16 channel, int16 pitch, float velocity)
{
    Vst::Event e{};
    e.sampleOffset = sampleOffset;
    e.type = Vst::Event::kNoteOffEvent;
    e.noteOff.channel = channel;
    e.noteOff.pitch = pitch;
    e.noteOff.velocity = velocity;
    e.noteOff.noteId = -1;
    return addEvent(e) == kResultTrue;
}

tresult PLUGIN_API EventList::getEvent(int32 index, Vst::Event& e)
{
    if (index < 0 || index >= count) return kResultFalse;
    e = events[static_cast<size_t>(index)];
    return kResultTrue;
}

tresult PLUGIN_API EventList::addEvent(Vst::Event& e)
{
    if (count >= capacity()) return kResultFalse;
    events[static_cast<size_t>(count++)] = e;
    return kResultTrue;
}

} // namespace halvane::host
