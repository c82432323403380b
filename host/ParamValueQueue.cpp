// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/ParamValueQueue.h"

using namespace Steinberg;

namespace halvane::host
{

IMPLEMENT_FUNKNOWN_METHODS(ParamValueQueue, Vst::IParamValueQueue, Vst::IParamValueQueue::iid)

ParamValueQueue::ParamValueQueue(int capacity)
    : points(static_cast<size_t>(capacity > 0 ? capacity : 1))
{
    FUNKNOWN_CTOR
}

void ParamValueQueue::reset(Vst::ParamID id)
{
    paramId = id;
    count = 0;
}

tresult PLUGIN_API ParamValueQueue::getPoint(int32 index, int32& sampleOffset,
                                             Vst::ParamValue& value)
{
    if (index < 0 || index >= count) return kResultFalse;
    sampleOffset = points[static_cast<size_t>(index)].offset;
    value = points[static_cast<size_t>(index)].value;
    return kResultTrue;
}

tresult PLUGIN_API ParamValueQueue::addPoint(int32 sampleOffset, Vst::ParamValue value,
                                             int32& index)
{
    int32 pos = count;
    while (pos > 0 && points[static_cast<size_t>(pos - 1)].offset > sampleOffset)
        --pos;
    if (pos > 0 && points[static_cast<size_t>(pos - 1)].offset == sampleOffset)
    {
        points[static_cast<size_t>(pos - 1)].value = value;
        index = pos - 1;
        return kResultTrue;
    }
    if (count >= capacity()) return kResultFalse;
    for (int32 i = count; i > pos; --i)
        points[static_cast<size_t>(i)] = points[static_cast<size_t>(i - 1)];
    points[static_cast<size_t>(pos)] = {sampleOffset, value};
    ++count;
    index = pos;
    return kResultTrue;
}

} // namespace halvane::host
