// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/ComponentHandler.h"

#include <algorithm>

using namespace Steinberg;

namespace halvane::host
{

IMPLEMENT_REFCOUNT(ComponentHandler)

tresult PLUGIN_API ComponentHandler::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, Vst::IComponentHandler)
    QUERY_INTERFACE(iid, obj, Vst::IComponentHandler::iid, Vst::IComponentHandler)
    QUERY_INTERFACE(iid, obj, Vst::IUnitHandler::iid, Vst::IUnitHandler)
    *obj = nullptr;
    return kNoInterface;
}

ComponentHandler::ComponentHandler()
{
    FUNKNOWN_CTOR;
}

size_t ComponentHandler::count(Kind kind) const
{
    return static_cast<size_t>(std::count_if(recorded.begin(), recorded.end(),
                                             [kind](const Call& c) { return c.kind == kind; }));
}

tresult PLUGIN_API ComponentHandler::beginEdit(Vst::ParamID id)
{
    recorded.push_back({Kind::BeginEdit, id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::performEdit(Vst::ParamID id, Vst::ParamValue valueNormalized)
{
    recorded.push_back({Kind::PerformEdit, id, valueNormalized});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::endEdit(Vst::ParamID id)
{
    recorded.push_back({Kind::EndEdit, id, 0.0});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::restartComponent(int32 flags)
{
    recorded.push_back({Kind::RestartComponent, flags, 0.0});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::notifyUnitSelection(Vst::UnitID unitId)
{
    recorded.push_back({Kind::UnitSelection, unitId, 0.0});
    return kResultOk;
}

tresult PLUGIN_API ComponentHandler::notifyProgramListChange(Vst::ProgramListID listId,
                                                             int32 programIndex)
{
    recorded.push_back({Kind::ProgramListChange, listId, static_cast<double>(programIndex)});
    return kResultOk;
}

} // namespace halvane::host
