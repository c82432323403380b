// SPDX-License-Identifier: GPL-3.0-or-later
#include "Vst2ComponentHandler.h"

namespace Steinberg
{
namespace Vst
{

Vst2ComponentHandler::Vst2ComponentHandler(IVst2EditSink& sink) : target(&sink)
{
    FUNKNOWN_CTOR
}

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

IMPLEMENT_FUNKNOWN_METHODS(Vst2ComponentHandler, IComponentHandler, IComponentHandler::iid)

} // namespace Vst
} // namespace Steinberg
