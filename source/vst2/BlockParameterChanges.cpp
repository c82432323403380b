// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockParameterChanges.h"

namespace Steinberg
{
namespace Vst
{

BlockParameterChanges::BlockParameterChanges(int32 maxParameters, int32 maxPointsPerParameter)
{
    for (int32 i = 0; i < maxParameters; ++i)
        queues.push_back(std::make_unique<BlockParamValueQueue>(maxPointsPerParameter));
}

bool BlockParameterChanges::add(ParamID id, int32 sampleOffset, ParamValue value)
{
    int32 index = 0;
    IParamValueQueue* queue = addParameterData(id, index);
    int32 pointIndex = 0;
    return queue && queue->addPoint(sampleOffset, value, pointIndex) == kResultOk;
}

void BlockParameterChanges::clampOffsets(int32 lastOffset)
{
    for (int32 i = 0; i < used; ++i)
        queues[i]->clampOffsets(lastOffset);
}

IParamValueQueue* PLUGIN_API BlockParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || index >= used) return nullptr;
    return queues[index].get();
}

IParamValueQueue* PLUGIN_API BlockParameterChanges::addParameterData(const ParamID& id,
                                                                     int32& index)
{
    for (int32 i = 0; i < used; ++i)
    {
        if (queues[i]->getParameterId() != id) continue;
        index = i;
        return queues[i].get();
    }
    if (used == static_cast<int32>(queues.size())) return nullptr;
    queues[used]->reset(id);
    index = used;
    return queues[used++].get();
}

IMPLEMENT_QUERYINTERFACE(BlockParameterChanges, IParameterChanges, IParameterChanges::iid)

} // namespace Vst
} // namespace Steinberg
