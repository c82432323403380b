// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockEventList.h"

#include <algorithm>

namespace Steinberg
{
namespace Vst
{

BlockEventList::BlockEventList(int32 capacity) : events(static_cast<size_t>(std::max(capacity, 1)))
{
}

void BlockEventList::clampOffsets(int32 lastOffset)
{
    for (int32 i = 0; i < used; ++i)
        events[i].sampleOffset = std::clamp(events[i].sampleOffset, 0, std::max(lastOffset, 0));
}

tresult PLUGIN_API BlockEventList::getEvent(int32 index, Event& e)
{
    if (index < 0 || index >= used) return kResultFalse;
    e = events[index];
    return kResultOk;
}

tresult PLUGIN_API BlockEventList::addEvent(Event& e)
{
    if (used == static_cast<int32>(events.size())) return kResultFalse;
    int32 at = used;
    while (at > 0 && events[at - 1].sampleOffset > e.sampleOffset)
    {
        events[at] = events[at - 1];
        --at;
    }
    events[at] = e;
    ++used;
    return kResultOk;
}

IMPLEMENT_QUERYINTERFACE(BlockEventList, IEventList, IEventList::iid)

} // namespace Vst
} // namespace Steinberg
