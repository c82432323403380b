// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockParamValueQueue.h"

#include <algorithm>

namespace Steinberg
{
namespace Vst
{

BlockParamValueQueue::BlockParamValueQueue(int32 capacity)
    : points(static_cast<size_t>(std::max(capacity, 1)))
{
}

void BlockParamValueQueue::reset(ParamID newId)
{
    id = newId;
    used = 0;
}

void BlockParamValueQueue::clampOffsets(int32 lastOffset)
{
    // Clamping can bring neighbours onto one offset; the later point wins as it would have.
    int32 kept = 0;
    for (int32 i = 0; i < used; ++i)
    {
        Point p = points[i];
        p.offset = std::clamp(p.offset, 0, std::max(lastOffset, 0));
        if (kept > 0 && points[kept - 1].offset == p.offset)
            points[kept - 1] = p;
        else
            points[kept++] = p;
    }
    used = kept;
}

tresult PLUGIN_API BlockParamValueQueue::getPoint(int32 index, int32& sampleOffset,
                                                  ParamValue& value)
{
    if (index < 0 || index >= used) return kResultFalse;
    sampleOffset = points[index].offset;
    value = points[index].value;
    return kResultOk;
}

tresult PLUGIN_API BlockParamValueQueue::addPoint(int32 sampleOffset, ParamValue value,
                                                  int32& index)
{
    int32 at = used;
    while (at > 0 && points[at - 1].offset > sampleOffset)
        --at;
    if (at > 0 && points[at - 1].offset == sampleOffset)
    {
        points[at - 1].value = value;
        index = at - 1;
        return kResultOk;
    }
    if (used == static_cast<int32>(points.size()))
    {
        if (at < used) return kResultFalse;
        points[used - 1] = {sampleOffset, value};
        index = used - 1;
        return kResultOk;
    }
    for (int32 i = used; i > at; --i)
        points[i] = points[i - 1];
    points[at] = {sampleOffset, value};
    ++used;
    index = at;
    return kResultOk;
}

IMPLEMENT_QUERYINTERFACE(BlockParamValueQueue, IParamValueQueue, IParamValueQueue::iid)

} // namespace Vst
} // namespace Steinberg
