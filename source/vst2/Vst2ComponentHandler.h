// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/vst/ivsteditcontroller.h"


namespace Steinberg
{
namespace Vst
{

// What the wrapper does with the controller's reports to its host.
class IVst2EditSink
{
public:
    virtual ~IVst2EditSink() = default;
    virtual void beginEditFromPlugIn(ParamID id) = 0;
    virtual void performEditFromPlugIn(ParamID id, ParamValue value) = 0;
    virtual void endEditFromPlugIn(ParamID id) = 0;
    virtual void restartFromPlugIn(int32 flags) = 0;
};

// The component handler a VST 2 host cannot give: the controller's edits and restart requests
// go to the wrapper, which passes them on as audioMaster calls.
class Vst2ComponentHandler : public IComponentHandler
{
public:
    explicit Vst2ComponentHandler(IVst2EditSink& sink);
    virtual ~Vst2ComponentHandler() = default;

    // The wrapper detaches before it goes away; later calls report failure.
    void detach() { target = nullptr; }

    tresult PLUGIN_API beginEdit(ParamID id) SMTG_OVERRIDE;
    tresult PLUGIN_API performEdit(ParamID id, ParamValue valueNormalized) SMTG_OVERRIDE;
    tresult PLUGIN_API endEdit(ParamID id) SMTG_OVERRIDE;
    tresult PLUGIN_API restartComponent(int32 flags) SMTG_OVERRIDE;

    DECLARE_FUNKNOWN_METHODS

private:
    IVst2EditSink* target;
};

} // namespace Vst
} // namespace Steinberg
