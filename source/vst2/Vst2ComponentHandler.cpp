// SPDX-License-Identifier: GPL-3.0-or-later
#include "Vst2ComponentHandler.h"

namespace Steinberg
{
namespace Vst
{

Vst2ComponentHandler::Vst2ComponentHandler(IVst2EditSink& sink) : target(&sink) {}

tresult PLUGIN_API Vst2ComponentHandler::beginEdit(ParamID id)
{
    if (!target) return kResultFalse;
    target->beginEditFromPlugIn(id);
    return kResultOk;
}

tresult PLUGIN_API Vst2ComponentHandler::performEdit(ParamID id, ParamValue valueNormalized)
{
    if (!target) return kResultFalse;
    target->performEditFromPlugIn(id, valueNormalized);
    return kResultOk;
}

tresult PLUGIN_API Vst2ComponentHandler::endEdit(ParamID id)
{
    if (!target) return kResultFalse;
    target->endEditFromPlugIn(id);
    return kResultOk;
}

tresult PLUGIN_API Vst2ComponentHandler::restartComponent(int32 flags)
{
    if (!target) return kResultFalse;
    target->restartFromPlugIn(flags);
    return kResultOk;
}

tresult PLUGIN_API Vst2ComponentHandler::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IComponentHandler)
    QUERY_INTERFACE(iid, obj, IComponentHandler::iid, IComponentHandler)
    *obj = nullptr;
    return kNoInterface;
}

uint32 PLUGIN_API Vst2ComponentHandler::addRef()
{
    return ++refCount;
}

uint32 PLUGIN_API Vst2ComponentHandler::release()
{
    const uint32 left = --refCount;
    if (left == 0) delete this;
    return left;
}

} // namespace Vst
} // namespace Steinberg
