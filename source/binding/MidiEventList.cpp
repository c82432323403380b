// SPDX-License-Identifier: GPL-3.0-or-later
#include "MidiEventList.h"

#include "MidiEventRelay.h"

#include <limits>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

CVSTMidiEventList::CVSTMidiEventList(CPlugIn* plugIn) : plugIn(plugIn) {}

void CVSTMidiEventList::attach(IEventList* list)
{
    eventList = list;
    readIndex = 0;
}

int32 CVSTMidiEventList::getEventCount()
{
    return eventList ? eventList->getEventCount() : 0;
}

bool CVSTMidiEventList::readEventAt(uint32 sampleOffset, Event& event)
{
    // A broken list that never runs out must not overflow the index.
    if (readIndex == std::numeric_limits<int32>::max()) return false;
    if (!eventList || eventList->getEvent(readIndex, event) != kResultOk) return false;
    return event.sampleOffset >= 0 && static_cast<uint32>(event.sampleOffset) == sampleOffset;
}

bool CVSTMidiEventList::fireMidiEvents(uint32 sampleOffset)
{
    bool delivered = false;
    Event event{};
    while (readEventAt(sampleOffset, event))
    {
        if (relayNoteEvent(plugIn, event)) delivered = true;
        ++readIndex;
    }
    return delivered;
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
