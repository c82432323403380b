// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "public.sdk/source/vst/vstbus.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

namespace Steinberg
{
namespace Vst
{

// IComponent's setState/getState share their signature with IEditController's. This layer
// routes the component's pair to their own virtuals so the controller's pair keeps its
// own answers.
class ComponentStateRouting : public IComponent
{
public:
    tresult PLUGIN_API setState(IBStream* state) SMTG_OVERRIDE { return setComponentData(state); }
    tresult PLUGIN_API getState(IBStream* state) SMTG_OVERRIDE { return getComponentData(state); }

protected:
    virtual tresult setComponentData(IBStream* state) = 0;
    virtual tresult getComponentData(IBStream* state) = 0;
};

// One object that is edit controller, component and audio processor at once, for effects that
// keep no separate controller class. Hosts see the same interfaces and defaults as with any
// VST 3 single-component effect.
class SingleComponentEffect : public EditController,
                              public ComponentStateRouting,
                              public IAudioProcessor
{
public:
    SingleComponentEffect();
    ~SingleComponentEffect() override;

    // IPluginBase
    tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
    tresult PLUGIN_API terminate() SMTG_OVERRIDE;

    // IComponent
    tresult PLUGIN_API getControllerClassId(TUID classId) SMTG_OVERRIDE;
    tresult PLUGIN_API setIoMode(IoMode mode) SMTG_OVERRIDE;
    int32 PLUGIN_API getBusCount(MediaType type, BusDirection dir) SMTG_OVERRIDE;
    tresult PLUGIN_API getBusInfo(MediaType type, BusDirection dir, int32 index,
                                  BusInfo& bus) SMTG_OVERRIDE;
    tresult PLUGIN_API getRoutingInfo(RoutingInfo& inInfo, RoutingInfo& outInfo) SMTG_OVERRIDE;
    tresult PLUGIN_API activateBus(MediaType type, BusDirection dir, int32 index,
                                   TBool state) SMTG_OVERRIDE;
    tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;

    // IAudioProcessor
    tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                          SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
    tresult PLUGIN_API getBusArrangement(BusDirection dir, int32 index,
                                         SpeakerArrangement& arr) SMTG_OVERRIDE;
    tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
    uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE { return 0; }
    tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
    tresult PLUGIN_API setProcessing(TBool state) SMTG_OVERRIDE;
    tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE;
    uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE { return kNoTail; }

    // Bus helpers
    AudioBus* addAudioInput(const TChar* name, SpeakerArrangement arr, BusType type = kMain,
                            int32 flags = BusInfo::kDefaultActive);
    AudioBus* addAudioOutput(const TChar* name, SpeakerArrangement arr, BusType type = kMain,
                             int32 flags = BusInfo::kDefaultActive);
    EventBus* addEventInput(const TChar* name, int32 channels = 16, BusType type = kMain,
                            int32 flags = BusInfo::kDefaultActive);
    tresult removeAudioBusses();
    tresult removeEventBusses();

    OBJ_METHODS(SingleComponentEffect, EditController)
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
    REFCOUNT_METHODS(EditController)

protected:
    // The component state (IComponent::setState/getState).
    tresult setComponentData(IBStream* state) SMTG_OVERRIDE;
    tresult getComponentData(IBStream* state) SMTG_OVERRIDE;

    BusList* getBusList(MediaType type, BusDirection dir);

    ProcessSetup processSetup;
    BusList audioInputs;
    BusList audioOutputs;
    BusList eventInputs;
    BusList eventOutputs;
};

} // namespace Vst
} // namespace Steinberg
