// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/ParameterChanges.h"

using namespace Steinberg;

namespace halvane::host
{

IMPLEMENT_FUNKNOWN_METHODS(ParameterChanges, Vst::IParameterChanges, Vst::IParameterChanges::iid)

ParameterChanges::ParameterChanges(int maxParameters, int maxPointsPerParameter)
{
    FUNKNOWN_CTOR
    queues.reserve(static_cast<size_t>(maxParameters));
    for (int i = 0; i < maxParameters; ++i)
        queues.push_back(std::make_unique<ParamValueQueue>(maxPointsPerParameter));
}

bool ParameterChanges::add(Vst::ParamID id, int32 sampleOffset, Vst::ParamValue value)
{
    int32 index = 0;
    Vst::IParamValueQueue* queue = addParameterData(id, index);
    return queue && queue->addPoint(sampleOffset, value, index) == kResultTrue;
}

ParamValueQueue* ParameterChanges::find(Vst::ParamID id)
{
    for (int32 i = 0; i < used; ++i)
        if (queues[static_cast<size_t>(i)]->getParameterId() == id)
            return queues[static_cast<size_t>(i)].get();
    return nullptr;
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::getParameterData(int32 index)
{
    if (index < 0 || index >= used) return nullptr;
    return queues[static_cast<size_t>(index)].get();
}

Vst::IParamValueQueue* PLUGIN_API ParameterChanges::addParameterData(const Vst::ParamID& id,
                                                                     int32& index)
{
    for (int32 i = 0; i < used; ++i)
    {
        if (queues[static_cast<size_t>(i)]->getParameterId() == id)
        {
            index = i;
            return queues[static_cast<size_t>(i)].get();
        }
    }
    if (used >= static_cast<int32>(queues.size())) return nullptr;
    index = used;
    ParamValueQueue* queue = queues[static_cast<size_t>(used++)].get();
    queue->reset(id);
    return queue;
}

} // namespace halvane::host
