// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "host/ComponentHandler.h"
#include "host/EventList.h"
#include "host/Module.h"
#include "host/ParameterChanges.h"
#include "host/ProcessBuffers.h"
#include "host/StateStream.h"

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmessage.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace halvane::host
{

struct ParameterInfo
{
    Steinberg::Vst::ParamID id = 0;
    std::string title;
    std::string shortTitle;
    std::string units;
    Steinberg::int32 stepCount = 0;
    double defaultNormalized = 0.0;
    Steinberg::Vst::UnitID unitId = 0;
    Steinberg::int32 flags = 0;
};

// One created, initialized plug-in: component, audio processor and edit controller (the
// same object for a single-component effect), driven the way a host drives them.
// Lifecycle: create -> [setBusArrangements] -> setupProcessing -> setActive(true) ->
// process... -> setActive(false). The destructor deactivates and terminates.
class PluginInstance
{
public:
    // Creates the first "Audio Module Class" class, or the given one. Throws HostError.
    static std::unique_ptr<PluginInstance> create(std::shared_ptr<Module> module,
                                                  const ClassInfo* classInfo = nullptr);
    ~PluginInstance();
    PluginInstance(const PluginInstance&) = delete;
    PluginInstance& operator=(const PluginInstance&) = delete;

    // --- buses and processing set-up (while inactive)
    // Main buses only; other buses keep their arrangement. True when the plug-in accepts.
    bool setBusArrangements(Steinberg::Vst::SpeakerArrangement input,
                            Steinberg::Vst::SpeakerArrangement output);
    bool setBusArrangements(std::vector<Steinberg::Vst::SpeakerArrangement> inputs,
                            std::vector<Steinberg::Vst::SpeakerArrangement> outputs);
    bool setupProcessing(double sampleRate, Steinberg::int32 maxBlockSize,
                         Steinberg::int32 processMode = Steinberg::Vst::kRealtime);
    // Activates (and starts processing) or stops and deactivates.
    bool setActive(bool active);
    bool isActive() const { return active; }

    // --- the audio cycle
    // Processes one block of at most maxBlockSize samples on the main buses. Queued input
    // parameter changes and events go with this block and are cleared afterwards; output
    // parameter changes stay readable until the next block. Allocates nothing.
    Steinberg::tresult process(const float* const* inputs, Steinberg::int32 numInputChannels,
                               float* const* outputs, Steinberg::int32 numOutputChannels,
                               Steinberg::int32 numSamples);
    ParameterChanges& inputChanges() { return inChanges; }
    ParameterChanges& outputChanges() { return outChanges; }
    EventList& events() { return inEvents; }
    Steinberg::Vst::ProcessContext& processContext() { return context; }
    // Without a context the plug-in gets a null ProcessData::processContext.
    void setProcessContextEnabled(bool enabled) { contextEnabled = enabled; }

    // --- parameters (controller side)
    std::vector<ParameterInfo> parameters() const;
    std::optional<ParameterInfo> findParameter(const std::string& title) const;
    double getParamNormalized(Steinberg::Vst::ParamID id) const;
    bool setParamNormalized(Steinberg::Vst::ParamID id, double value);
    double normalizedToPlain(Steinberg::Vst::ParamID id, double normalized) const;
    double plainToNormalized(Steinberg::Vst::ParamID id, double plain) const;
    std::string getParamStringByValue(Steinberg::Vst::ParamID id, double normalized) const;
    std::optional<double> getParamValueByString(Steinberg::Vst::ParamID id,
                                                const std::string& text) const;

    // --- state
    Bytes getComponentState() const;
    // Restores the component and brings the controller in line, as a host does on load.
    bool setComponentState(const Bytes& state);

    // --- information
    Steinberg::uint32 latencySamples() const;
    Steinberg::uint32 tailSamples() const;
    double sampleRate() const { return setup.sampleRate; }
    Steinberg::int32 maxBlockSize() const { return setup.maxSamplesPerBlock; }
    Steinberg::int32 audioBusCount(Steinberg::Vst::BusDirection dir) const;
    Steinberg::int32 eventBusCount(Steinberg::Vst::BusDirection dir) const;
    Steinberg::int32 mainInputChannels() const { return busChannels(Steinberg::Vst::kInput, 0); }
    Steinberg::int32 mainOutputChannels() const { return busChannels(Steinberg::Vst::kOutput, 0); }
    bool isSingleComponent() const { return singleComponent; }
    const ClassInfo& classInfo() const { return info; }
    const std::shared_ptr<Module>& module() const { return owner; }

    // The raw interfaces, for what this class does not wrap (presets, units, MIDI mapping).
    Steinberg::Vst::IComponent* component() const { return comp; }
    Steinberg::Vst::IAudioProcessor* processor() const { return proc; }
    Steinberg::Vst::IEditController* controller() const { return ctrl; }
    ComponentHandler& handler() { return *componentHandler; }

private:
    PluginInstance(std::shared_ptr<Module> module, const ClassInfo& classInfo);
    void createController();
    void connect();
    void shutdown();
    Steinberg::int32 busChannels(Steinberg::Vst::BusDirection dir, Steinberg::int32 index) const;
    std::vector<Steinberg::int32> channelLayout(Steinberg::Vst::BusDirection dir) const;

    std::shared_ptr<Module> owner;
    ClassInfo info;
    Steinberg::IPtr<Steinberg::Vst::IComponent> comp;
    Steinberg::IPtr<Steinberg::Vst::IAudioProcessor> proc;
    Steinberg::IPtr<Steinberg::Vst::IEditController> ctrl;
    Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> componentConnection;
    Steinberg::IPtr<Steinberg::Vst::IConnectionPoint> controllerConnection;
    Steinberg::IPtr<ComponentHandler> componentHandler;
    bool singleComponent = false;
    bool componentInitialized = false;
    bool controllerInitialized = false;
    bool active = false;
    bool processing = false;

    Steinberg::Vst::ProcessSetup setup{Steinberg::Vst::kRealtime, Steinberg::Vst::kSample32, 0,
                                       0.0};
    Steinberg::Vst::ProcessData data;
    Steinberg::Vst::ProcessContext context{};
    bool contextEnabled = true;
    ProcessBuffers inBuffers;
    ProcessBuffers outBuffers;
    ParameterChanges inChanges;
    ParameterChanges outChanges;
    EventList inEvents;
};

} // namespace halvane::host
