// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "binding/ControlHandoff.h"
#include "binding/ParameterIds.h"
#include "editor/CustomViewFactory.h"
#include "framework/EditorMessage.h"
#include "sdk/SingleComponentEffect.h"
#include "vstgui/plugin-bindings/VST3EditorDelegate.h"

#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstunits.h"
#include "public.sdk/source/vst/vsteditcontroller.h"

#include <atomic>
#include <map>
#include <memory>
#include <vector>

class CPlugIn;

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

class CVSTMidiEventList;
class CVSTParamUpdateQueue;

// The one object a host creates: audio processor and edit controller in one. It owns the
// plug-in object and translates between VST 3 and the plug-in object's control table.
class Processor : public SingleComponentEffect,
                  public IMidiMapping,
                  public IUnitInfo,
                  public VSTGUI::VST3EditorDelegate
{
public:
    Processor();
    ~Processor() override;

    static FUnknown* createInstance(void* context);
    // The n-th entry of a comma-separated list (new[]-allocated, caller deletes[]), or null.
    static char* enumEntry(const char* text, int n);

    // IPluginBase
    tresult PLUGIN_API initialize(FUnknown* context) SMTG_OVERRIDE;
    tresult PLUGIN_API terminate() SMTG_OVERRIDE;

    // IComponent / IAudioProcessor
    tresult PLUGIN_API setActive(TBool state) SMTG_OVERRIDE;
    tresult PLUGIN_API setupProcessing(ProcessSetup& setup) SMTG_OVERRIDE;
    tresult PLUGIN_API canProcessSampleSize(int32 symbolicSampleSize) SMTG_OVERRIDE;
    uint32 PLUGIN_API getLatencySamples() SMTG_OVERRIDE;
    uint32 PLUGIN_API getTailSamples() SMTG_OVERRIDE;
    tresult PLUGIN_API setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                          SpeakerArrangement* outputs, int32 numOuts) SMTG_OVERRIDE;
    tresult PLUGIN_API process(ProcessData& data) SMTG_OVERRIDE;

    // IEditController
    tresult PLUGIN_API setComponentState(IBStream* state) SMTG_OVERRIDE;
    tresult PLUGIN_API setParamNormalized(ParamID tag, ParamValue value) SMTG_OVERRIDE;
    tresult PLUGIN_API getParameterInfo(int32 paramIndex, ParameterInfo& info) SMTG_OVERRIDE;
    tresult PLUGIN_API getParamStringByValue(ParamID tag, ParamValue valueNormalized,
                                             String128 string) SMTG_OVERRIDE;
    tresult PLUGIN_API getParamValueByString(ParamID tag, TChar* string,
                                             ParamValue& valueNormalized) SMTG_OVERRIDE;
    ParamValue PLUGIN_API normalizedParamToPlain(ParamID tag,
                                                 ParamValue valueNormalized) SMTG_OVERRIDE;
    ParamValue PLUGIN_API plainParamToNormalized(ParamID tag, ParamValue plainValue) SMTG_OVERRIDE;
    IPlugView* PLUGIN_API createView(FIDString name) SMTG_OVERRIDE;
    tresult receiveText(const char8* text) SMTG_OVERRIDE;

    // VST3EditorDelegate
    VSTGUI::CView* createCustomView(VSTGUI::UTF8StringPtr name,
                                    const VSTGUI::UIAttributes& attributes,
                                    const VSTGUI::IUIDescription* description,
                                    VSTGUI::VST3Editor* editor) override;
    VSTGUI::IController* createSubController(VSTGUI::UTF8StringPtr name,
                                             const VSTGUI::IUIDescription* description,
                                             VSTGUI::VST3Editor* editor) override;
    void didOpen(VSTGUI::VST3Editor* editor) override;
    void willClose(VSTGUI::VST3Editor* editor) override;

    // IMidiMapping
    tresult PLUGIN_API getMidiControllerAssignment(int32 busIndex, int16 channel,
                                                   CtrlNumber midiControllerNumber,
                                                   ParamID& id) SMTG_OVERRIDE;

    // IUnitInfo
    int32 PLUGIN_API getUnitCount() SMTG_OVERRIDE;
    tresult PLUGIN_API getUnitInfo(int32 unitIndex, UnitInfo& info) SMTG_OVERRIDE;
    int32 PLUGIN_API getProgramListCount() SMTG_OVERRIDE;
    tresult PLUGIN_API getProgramListInfo(int32 listIndex, ProgramListInfo& info) SMTG_OVERRIDE;
    tresult PLUGIN_API getProgramName(ProgramListID listId, int32 programIndex,
                                      String128 name) SMTG_OVERRIDE;
    tresult PLUGIN_API getProgramInfo(ProgramListID listId, int32 programIndex, CString attributeId,
                                      String128 attributeValue) SMTG_OVERRIDE;
    tresult PLUGIN_API hasProgramPitchNames(ProgramListID listId, int32 programIndex) SMTG_OVERRIDE;
    tresult PLUGIN_API getProgramPitchName(ProgramListID listId, int32 programIndex,
                                           int16 midiPitch, String128 name) SMTG_OVERRIDE;
    UnitID PLUGIN_API getSelectedUnit() SMTG_OVERRIDE;
    tresult PLUGIN_API selectUnit(UnitID unitId) SMTG_OVERRIDE;
    tresult PLUGIN_API getUnitByBus(MediaType type, BusDirection dir, int32 busIndex, int32 channel,
                                    UnitID& unitId) SMTG_OVERRIDE;
    tresult PLUGIN_API setUnitProgramData(int32 listOrUnitId, int32 programIndex,
                                          IBStream* data) SMTG_OVERRIDE;

    // Controller-side services
    void notifyEditorParamChange(ParamID id, ParamValue value);
    void applyLinkedUpdates();
    int32 findControlPosition(uint32 controlId) const;
    tresult notifyUnitSelection();
    tresult setProgramName(ProgramListID listId, int32 programIndex, const String128 name);
    void PLUGIN_API update(FUnknown* changedUnknown, int32 message) SMTG_OVERRIDE;

    CPlugIn* getPlugIn() const { return plugIn; }
    bool isBypassed() const { return bypassed.load(std::memory_order_relaxed); }

    OBJ_METHODS(Processor, SingleComponentEffect)
    tresult PLUGIN_API queryInterface(const TUID iid, void** obj) SMTG_OVERRIDE;
    REFCOUNT_METHODS(SingleComponentEffect)

protected:
    tresult setComponentData(IBStream* state) SMTG_OVERRIDE;
    tresult getComponentData(IBStream* state) SMTG_OVERRIDE;

private:
    // Creates the plug-in object if missing; `allCopies` also runs its onCreated and takes its
    // queue settings.
    void ensurePlugIn(bool allCopies);
    tresult initializeEffect(FUnknown* context);
    void registerControlParameters();
    void registerFixedParameters();
    void registerUnits();
    bool applyParameterChanges(ProcessData& data);
    void applyFixedParameter(ParamID id, ParamValue value);
    void writeMeters(ProcessData& data, bool zeroed);
    tresult processBlock(ProcessData& data);
    void processWholeBuffers(ProcessData& data, uint32 outChannels);
    // Control values from other threads reach the plug-in object through the handoff; while
    // the processor is inactive nothing else touches the plug-in object, so they apply at once.
    void applyHandoffIfInactive();
    // A host value made safe for the SDK's conversions: NaN becomes the parameter's default,
    // the rest is clamped to 0..1.
    ParamValue safeNormalized(ParamID tag, ParamValue value);
    // Loads the preset slot the "Factory Presets" parameter now selects.
    void applyProgram();
    // Not on the audio thread: sizes the zeroed input for blocks of up to `frames`.
    void sizeSilentInput(int32 frames);
    // Kinds 0 and 1: the shared record with the fields of an open or close reset.
    void sendEditorOpenClose(uint32 kind);

    int32 latencyInSamples = 0;
    CPlugIn* plugIn = nullptr;
    std::atomic<bool> bypassed{false};
    std::atomic<bool> active{false};
    ControlHandoff handoff;
    // Audio thread only: 0 plays the effect, 1 the dry input; moves towards the bypass flag.
    float bypassMix = 0.0f;
    std::vector<int32> meterParamIds;
    bool auxInputEnabled = false;
    std::vector<std::unique_ptr<CVSTParamUpdateQueue>> paramQueues;
    // Queues attached in the current block; room for every control, so filling it never
    // allocates.
    std::vector<CVSTParamUpdateQueue*> attachedQueues;
    int32 queueGranularity = 1;
    bool paramQueuesEnabled = false;
    std::unique_ptr<CVSTMidiEventList> midiEventList;
    std::vector<IPtr<Unit>> units;
    std::map<ProgramListID, size_t> programIndexMap;
    std::vector<IPtr<ProgramList>> programLists;
    UnitID selectedUnit = kRootUnitId;
    EditorMessage editorMessage;
    // The framework's own views and pad sub-controllers; other names go to the plug-in object.
    CustomViewFactory customViews{*this, editorMessage};
    // Zeroed input for plug-in objects without audio input on the whole-buffer path.
    std::vector<float> silentChannel[2];
    float* silentInputChannels[2] = {nullptr, nullptr};
};

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
