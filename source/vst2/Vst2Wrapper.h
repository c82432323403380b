// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BlockEventList.h"
#include "BlockParameterChanges.h"
#include "ParameterHandoff.h"
#include "Vst2ComponentHandler.h"
#include "Vst2Interface.h"
#include "Vst2PlugFrame.h"

#include "pluginterfaces/base/ipluginbase.h"
#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/ivsteditcontroller.h"
#include "pluginterfaces/vst/ivstmidicontrollers.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace Steinberg
{
namespace Vst
{

class HostApplication;

// A VST 2 effect in front of one VST 3 class of the module. It creates the class through the
// module's factory and drives it only through its VST 3 interfaces, as a VST 3 host would, so
// the plug-in cannot tell the two formats apart.
//
// Threads: dispatcher calls come from the host's user-interface thread, process calls from its
// audio thread, setParameter/getParameter from either. Parameter values cross through a
// ParameterHandoff; effProcessEvents runs on the audio thread and fills the next block.
class Vst2Wrapper : private IVst2EditSink
{
public:
    // The AEffect the host keeps, or null when the class cannot be created. effClose deletes
    // the wrapper.
    static AEffect* create(IPluginFactory* factory, const TUID classId, VstInt32 uniqueId,
                           audioMasterCallback audioMaster);
    ~Vst2Wrapper() override;
    Vst2Wrapper(const Vst2Wrapper&) = delete;
    Vst2Wrapper& operator=(const Vst2Wrapper&) = delete;

private:
    Vst2Wrapper(audioMasterCallback audioMaster, VstInt32 uniqueId);
    bool open(IPluginFactory* factory, const TUID classId);
    void readParameters();
    void readPrograms();
    void readMidiMap();
    void describeEffect(IPluginFactory* factory, const TUID classId);
    void shutdown();

    // --- the host's calls
    static VstIntPtr dispatcherEntry(AEffect* effect, int opcode, int index, VstIntPtr value,
                                     void* ptr, float opt);
    static void processReplacingEntry(AEffect* effect, float** inputs, float** outputs,
                                      int frames);
    static void processDoubleEntry(AEffect* effect, double** inputs, double** outputs,
                                   int frames);
    static void setParameterEntry(AEffect* effect, int index, float value);
    static float getParameterEntry(AEffect* effect, int index);

    VstIntPtr dispatch(int opcode, int index, VstIntPtr value, void* ptr, float opt);
    VstIntPtr dispatchParameter(int opcode, int index, VstIntPtr value, void* ptr, float opt,
                                bool& handled);
    VstIntPtr dispatchProgram(int opcode, int index, VstIntPtr value, void* ptr, bool& handled);
    VstIntPtr dispatchEditor(int opcode, int index, VstIntPtr value, void* ptr, bool& handled);
    VstIntPtr canDo(const char* feature) const;

    // --- set-up (user-interface thread)
    void resume();
    void suspend();
    // A new rate or block size while resumed: hosts are meant to suspend first; those that do
    // not get a restart, tail and all.
    void restart();
    void sizeBuffers();
    bool ensureView();
    // Parameters set while suspended reach the processor only through a block; run an empty
    // one so a saved state includes them.
    void flushWhileSuspended();
    VstIntPtr getChunk(void** data);
    VstIntPtr setChunk(const void* data, VstIntPtr size);
    bool selectProgram(int program);
    // Brings the shared values in line with the controller after it changed on its own.
    void refreshFromController();
    // Passes values set from the host's other threads on to the controller.
    void updateController();
    // Host sets the processor has not seen yet; a state or program about to load replaces them.
    void discardPendingForProcessor();

    // --- audio thread
    template <typename Sample>
    void processBlock(Sample** inputs, Sample** outputs, int frames);
    void processChunk(int32 frames, bool first);
    void collectParameterChanges();
    void readOutputChanges();
    void queueMidiEvents(const VstEvents* events);
    void queueMidiController(int16 channel, CtrlNumber controller, ParamValue value,
                             int32 offset);

    // --- the plug-in's own edits (IVst2EditSink)
    void beginEditFromPlugIn(ParamID id) override;
    void performEditFromPlugIn(ParamID id, ParamValue value) override;
    void endEditFromPlugIn(ParamID id) override;
    void restartFromPlugIn(int32 flags) override;

    int indexOf(ParamID id) const;
    VstIntPtr callHost(int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                       float opt = 0.0f) const;

    AEffect effect{};
    audioMasterCallback master;

    IPtr<IComponent> component;
    IPtr<IAudioProcessor> processor;
    IPtr<IEditController> controller;
    IPtr<IUnitInfo> unitInfo;
    IPtr<IMidiMapping> midiMapping;
    IPtr<Vst2ComponentHandler> handler;
    // Not reference counted: it lives exactly as long as the wrapper.
    std::unique_ptr<HostApplication> hostApplication;
    bool initialized = false;

    std::string effectName;
    std::string vendorName;
    VstInt32 vendorVersion = 0;

    // VST 2 index -> VST 3 parameter; the program-change parameter is the program list instead.
    std::vector<ParameterInfo> parameters;
    // (id, index) sorted by id, for the audio thread's look-ups.
    std::vector<std::pair<ParamID, int>> indexById;
    std::unique_ptr<ParameterHandoff> values;
    ParamID programParameter = kNoParamId;
    ParamID bypassParameter = kNoParamId;
    ProgramListID programList = kNoProgramListId;
    int32 programCount = 0;
    bool hasEventInput = false;
    // MIDI channel x controller number -> parameter, read on the user-interface thread so the
    // audio thread never asks the controller.
    static constexpr int kMidiControllers = kCountCtrlNumber;
    std::unique_ptr<std::atomic<ParamID>[]> midiMap;
    int32 currentProgram = 0;

    // What the host asked for.
    double sampleRate = 44100.0;
    int32 blockSize = 1024;
    // What the buffers were last sized for, which is what the audio thread works with.
    int32 maxBlockSize = 1024;
    bool active = false;
    std::atomic<bool> processing{false};
    // Audio-thread calls under way. Suspending waits for them to end, so the buffers and the
    // processor are never resized or deactivated under a block in flight.
    std::atomic<int> audioCalls{0};

    // Block state, touched only by the audio thread while processing runs.
    BlockParameterChanges inputChanges;
    BlockParameterChanges outputChanges;
    BlockEventList events;
    ProcessData data{};
    ProcessContext context{};
    std::vector<AudioBusBuffers> inputBuses;
    AudioBusBuffers outputBus{};
    int32 inputChannels = 0;
    int32 outputChannels = 0;
    // Host input is copied before processing: hosts may pass the same buffers for both sides.
    std::vector<float> inputScratch;
    std::vector<float> outputScratch;
    std::vector<float> silence;
    std::vector<float*> inputPointers;
    std::vector<float*> silentPointers;
    std::vector<float*> outputPointers;

    std::vector<char> chunk;
    IPtr<IPlugView> view;
    IPtr<Vst2PlugFrame> frame;
    ERect editorRect{};
};

} // namespace Vst
} // namespace Steinberg
