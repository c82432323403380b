// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/vst/ivstevents.h"

#include <vector>

namespace halvane::host
{

// Events of one block, in the order they were added (a plug-in expects them sorted by
// sample offset; keeping the caller's order lets tests send them out of order on purpose).
class EventList : public Steinberg::Vst::IEventList
{
public:
    explicit EventList(int capacity = 256);
    virtual ~EventList() = default;

    bool addNoteOn(Steinberg::int32 sampleOffset, Steinberg::int16 channel, Steinberg::int16 pitch,
                   float velocity);
    bool addNoteOff(Steinberg::int32 sampleOffset, Steinberg::int16 channel, Steinberg::int16 pitch,
                    float velocity = 0.f);
    void clear() { count = 0; }
    bool empty() const { return count == 0; }
    int capacity() const { return static_cast<int>(events.size()); }

    Steinberg::int32 PLUGIN_API getEventCount() override { return count; }
    Steinberg::tresult PLUGIN_API getEvent(Steinberg::int32 index,
                                           Steinberg::Vst::Event& e) override;
    Steinberg::tresult PLUGIN_API addEvent(Steinberg::Vst::Event& e) override;

    DECLARE_FUNKNOWN_METHODS

private:
    std::vector<Steinberg::Vst::Event> events;
    Steinberg::int32 count = 0;
};

} // namespace halvane::host
