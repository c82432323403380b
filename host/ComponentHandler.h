// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <vector>

namespace halvane::host
{

// Records what the controller tells the host, so tests can check edits and restarts.
class ComponentHandler : public Steinberg::Vst::IComponentHandler,
                         public Steinberg::Vst::IUnitHandler
{
public:
    enum class Kind
    {
        BeginEdit,
        PerformEdit,
        EndEdit,
        RestartComponent,
        UnitSelection,
        ProgramListChange,
    };

    struct Call
    {
        Kind kind;
        // parameter id, restart flags, unit id or program list id, by kind
        Steinberg::int64 id;
        // edited value or program index
        double value;
    };

    ComponentHandler();
    virtual ~ComponentHandler() = default;

    const std::vector<Call>& calls() const { return recorded; }
    size_t count(Kind kind) const;
    void clear() { recorded.clear(); }

    Steinberg::tresult PLUGIN_API beginEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API performEdit(Steinberg::Vst::ParamID id,
                                              Steinberg::Vst::ParamValue valueNormalized) override;
    Steinberg::tresult PLUGIN_API endEdit(Steinberg::Vst::ParamID id) override;
    Steinberg::tresult PLUGIN_API restartComponent(Steinberg::int32 flags) override;

    Steinberg::tresult PLUGIN_API notifyUnitSelection(Steinberg::Vst::UnitID unitId) override;
    Steinberg::tresult PLUGIN_API notifyProgramListChange(Steinberg::Vst::ProgramListID listId,
                                                          Steinberg::int32 programIndex) override;

    DECLARE_FUNKNOWN_METHODS

private:
    std::vector<Call> recorded;
};

} // namespace halvane::host
