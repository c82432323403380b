// SPDX-License-Identifier: GPL-3.0-or-later
// Creating the VST 3 class behind a VST 2 effect, and what the controller reports back.
#include "Vst2Wrapper.h"

#include "public.sdk/source/common/memorystream.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <algorithm>
#include <cstdio>

namespace Steinberg
{
namespace Vst
{

namespace
{
// Room enough for every parameter this module publishes, and for a burst of MIDI.
constexpr int32 kMaxChangedParameters = 128;
constexpr int32 kMaxPointsPerParameter = 64;
constexpr int32 kMaxEvents = 1024;

// "a.b.c.d" packed one byte per part, the way VST 2 hosts show versions.
VstInt32 packVersion(const char* text)
{
    unsigned parts[4] = {0, 0, 0, 0};
    std::sscanf(text, "%u.%u.%u.%u", &parts[0], &parts[1], &parts[2], &parts[3]);
    VstInt32 packed = 0;
    for (unsigned part : parts)
        packed = (packed << 8) | static_cast<VstInt32>(std::min(part, 255u));
    return packed;
}

std::string fixedText(const char* field, size_t size)
{
    size_t length = 0;
    while (length < size && field[length])
        ++length;
    return std::string(field, length);
}
} // namespace

AEffect* Vst2Wrapper::create(IPluginFactory* factory, const TUID classId, VstInt32 uniqueId,
                             audioMasterCallback audioMaster)
{
    if (!factory || !audioMaster) return nullptr;
    std::unique_ptr<Vst2Wrapper> wrapper(new Vst2Wrapper(audioMaster, uniqueId));
    if (!wrapper->open(factory, classId)) return nullptr;
    return &wrapper.release()->effect;
}

Vst2Wrapper::Vst2Wrapper(audioMasterCallback audioMaster, VstInt32 uniqueId)
    : master(audioMaster),
      inputChanges(kMaxChangedParameters, kMaxPointsPerParameter),
      outputChanges(kMaxChangedParameters, kMaxPointsPerParameter),
      events(kMaxEvents)
{
    effect.magic = kEffectMagic;
    effect.object = this;
    effect.uniqueID = uniqueId;
    effect.dispatcher = dispatcherEntry;
    // Accumulating process is long gone from hosts; whoever still calls it gets replacing.
    effect.process = processReplacingEntry;
    effect.processReplacing = processReplacingEntry;
    effect.processDoubleReplacing = processDoubleEntry;
    effect.setParameter = setParameterEntry;
    effect.getParameter = getParameterEntry;
    effect.flags = effFlagsCanReplacing | effFlagsCanDoubleReplacing | effFlagsProgramChunks;
}

Vst2Wrapper::~Vst2Wrapper()
{
    shutdown();
}

bool Vst2Wrapper::open(IPluginFactory* factory, const TUID classId)
{
    IComponent* created = nullptr;
    if (factory->createInstance(classId, IComponent::iid, reinterpret_cast<void**>(&created)) !=
            kResultOk ||
        !created)
        return false;
    component = owned(created);

    hostApplication = std::make_unique<HostApplication>();
    if (component->initialize(hostApplication.get()) != kResultOk) return false;
    initialized = true;

    processor = FUnknownPtr<IAudioProcessor>(component);
    // Only single-component effects: the module has no other kind.
    controller = FUnknownPtr<IEditController>(component);
    if (!processor || !controller) return false;
    unitInfo = FUnknownPtr<IUnitInfo>(controller);
    midiMapping = FUnknownPtr<IMidiMapping>(controller);
    handler = owned(new Vst2ComponentHandler(*this));
    controller->setComponentHandler(handler);

    const int32 inputBusCount = component->getBusCount(kAudio, kInput);
    const int32 outputBusCount = component->getBusCount(kAudio, kOutput);
    std::vector<SpeakerArrangement> inputArrangements(static_cast<size_t>(inputBusCount));
    std::vector<SpeakerArrangement> outputArrangements(static_cast<size_t>(outputBusCount));
    for (int32 i = 0; i < inputBusCount; ++i)
        processor->getBusArrangement(kInput, i, inputArrangements[static_cast<size_t>(i)]);
    for (int32 i = 0; i < outputBusCount; ++i)
        processor->getBusArrangement(kOutput, i, outputArrangements[static_cast<size_t>(i)]);
    if (inputBusCount > 0) inputArrangements[0] = SpeakerArr::kStereo;
    if (outputBusCount > 0) outputArrangements[0] = SpeakerArr::kStereo;
    processor->setBusArrangements(inputArrangements.data(), inputBusCount,
                                  outputArrangements.data(), outputBusCount);

    inputBuses.assign(static_cast<size_t>(inputBusCount), AudioBusBuffers{});
    for (int32 i = 0; i < inputBusCount; ++i)
    {
        BusInfo info{};
        component->getBusInfo(kAudio, kInput, i, info);
        inputBuses[static_cast<size_t>(i)].numChannels = info.channelCount;
    }
    inputChannels = inputBusCount > 0 ? inputBuses[0].numChannels : 0;
    if (outputBusCount > 0)
    {
        BusInfo info{};
        component->getBusInfo(kAudio, kOutput, 0, info);
        outputChannels = info.channelCount;
    }
    hasEventInput = component->getBusCount(kEvent, kInput) > 0;

    // A host brings the controller in line with the component right after creation.
    IPtr<MemoryStream> state = owned(new MemoryStream);
    if (component->getState(state) == kResultOk)
    {
        state->seek(0, IBStream::kIBSeekSet, nullptr);
        controller->setComponentState(state);
    }

    readParameters();
    readPrograms();
    readMidiMap();
    describeEffect(factory, classId);

    effect.numInputs = inputChannels;
    effect.numOutputs = outputChannels;
    effect.numParams = static_cast<VstInt32>(parameters.size());
    effect.numPrograms = programCount;
    effect.initialDelay = static_cast<VstInt32>(processor->getLatencySamples());
    // VST 2 hosts only embed into an X11 window: a view that cannot go there is no editor to them.
    IPlugView* probe = controller->createView(ViewType::kEditor);
    if (probe)
    {
        if (probe->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) == kResultTrue)
            effect.flags |= effFlagsHasEditor;
        probe->release();
    }
    sizeBuffers();
    return true;
}

void Vst2Wrapper::readParameters()
{
    parameters.clear();
    const int32 count = controller->getParameterCount();
    for (int32 i = 0; i < count; ++i)
    {
        ParameterInfo info{};
        if (controller->getParameterInfo(i, info) != kResultOk) continue;
        if (info.flags & ParameterInfo::kIsProgramChange)
        {
            programParameter = info.id;
            continue;
        }
        if (info.flags & ParameterInfo::kIsBypass) bypassParameter = info.id;
        parameters.push_back(info);
    }
    indexById.clear();
    for (size_t i = 0; i < parameters.size(); ++i)
        indexById.emplace_back(parameters[i].id, static_cast<int>(i));
    std::sort(indexById.begin(), indexById.end());

    values = std::make_unique<ParameterHandoff>(parameters.size());
    for (size_t i = 0; i < parameters.size(); ++i)
        values->adopt(i, controller->getParamNormalized(parameters[i].id));
}

void Vst2Wrapper::readPrograms()
{
    programCount = 0;
    if (!unitInfo || unitInfo->getProgramListCount() < 1) return;
    ProgramListInfo info{};
    if (unitInfo->getProgramListInfo(0, info) != kResultOk) return;
    programList = info.id;
    programCount = std::max(info.programCount, 0);
    if (programParameter != kNoParamId)
    {
        const double plain = controller->normalizedParamToPlain(
            programParameter, controller->getParamNormalized(programParameter));
        currentProgram = std::clamp(static_cast<int32>(plain), 0, std::max(programCount - 1, 0));
    }
}

void Vst2Wrapper::readMidiMap()
{
    if (!midiMap) midiMap.reset(new std::atomic<ParamID>[16 * kMidiControllers]);
    for (int16 channel = 0; channel < 16; ++channel)
    {
        for (int32 number = 0; number < kMidiControllers; ++number)
        {
            ParamID id = kNoParamId;
            if (!midiMapping ||
                midiMapping->getMidiControllerAssignment(0, channel,
                                                         static_cast<CtrlNumber>(number),
                                                         id) != kResultOk)
                id = kNoParamId;
            midiMap[channel * kMidiControllers + number].store(id, std::memory_order_release);
        }
    }
}

void Vst2Wrapper::describeEffect(IPluginFactory* factory, const TUID classId)
{
    PFactoryInfo factoryInfo{};
    if (factory->getFactoryInfo(&factoryInfo) == kResultOk)
        vendorName = fixedText(factoryInfo.vendor, PFactoryInfo::kNameSize);

    FUnknownPtr<IPluginFactory2> factory2(factory);
    const int32 count = factory->countClasses();
    for (int32 i = 0; i < count; ++i)
    {
        PClassInfo info{};
        if (factory->getClassInfo(i, &info) != kResultOk) continue;
        if (!FUnknownPrivate::iidEqual(info.cid, classId)) continue;
        effectName = fixedText(info.name, PClassInfo::kNameSize);
        PClassInfo2 info2{};
        if (factory2 && factory2->getClassInfo2(i, &info2) == kResultOk)
        {
            vendorVersion = packVersion(fixedText(info2.version, PClassInfo2::kVersionSize).c_str());
            // A class that names its own vendor overrides the factory's.
            const std::string classVendor = fixedText(info2.vendor, PClassInfo2::kVendorSize);
            if (!classVendor.empty()) vendorName = classVendor;
        }
        break;
    }
    effect.version = vendorVersion;
}

void Vst2Wrapper::shutdown()
{
    if (view)
    {
        view->removed();
        view->setFrame(nullptr);
        view = nullptr;
    }
    if (active) suspend();
    if (controller) controller->setComponentHandler(nullptr);
    if (handler) handler->detach();
    if (initialized) component->terminate();
    initialized = false;
    midiMapping = nullptr;
    unitInfo = nullptr;
    controller = nullptr;
    processor = nullptr;
    component = nullptr;
    handler = nullptr;
}

int Vst2Wrapper::indexOf(ParamID id) const
{
    auto it = std::lower_bound(indexById.begin(), indexById.end(), std::make_pair(id, -1));
    if (it == indexById.end() || it->first != id) return -1;
    return it->second;
}

VstIntPtr Vst2Wrapper::callHost(int opcode, int index, VstIntPtr value, void* ptr,
                                float opt) const
{
    return master(const_cast<AEffect*>(&effect), opcode, index, value, ptr, opt);
}

void Vst2Wrapper::refreshFromController()
{
    for (size_t i = 0; i < parameters.size(); ++i)
        values->adopt(i, controller->getParamNormalized(parameters[i].id));
    if (programParameter == kNoParamId) return;
    const double plain = controller->normalizedParamToPlain(
        programParameter, controller->getParamNormalized(programParameter));
    currentProgram = std::clamp(static_cast<int32>(plain), 0, std::max(programCount - 1, 0));
}

void Vst2Wrapper::discardPendingForProcessor()
{
    for (size_t i = 0; i < parameters.size(); ++i)
        values->discardForProcessor(i);
}

void Vst2Wrapper::updateController()
{
    double value = 0.0;
    for (size_t i = 0; i < parameters.size(); ++i)
        if (values->takeForController(i, value))
            controller->setParamNormalized(parameters[i].id, value);
}

void Vst2Wrapper::beginEditFromPlugIn(ParamID id)
{
    const int index = indexOf(id);
    if (index >= 0) callHost(audioMasterBeginEdit, index);
}

void Vst2Wrapper::performEditFromPlugIn(ParamID id, ParamValue value)
{
    const int index = indexOf(id);
    if (index < 0) return;
    values->setFromController(static_cast<size_t>(index), value);
    callHost(audioMasterAutomate, index, 0, nullptr, static_cast<float>(value));
}

void Vst2Wrapper::endEditFromPlugIn(ParamID id)
{
    const int index = indexOf(id);
    if (index >= 0) callHost(audioMasterEndEdit, index);
}

void Vst2Wrapper::restartFromPlugIn(int32 flags)
{
    if (flags & kParamValuesChanged)
    {
        refreshFromController();
        callHost(Vst2::kMasterUpdateDisplay);
    }
    if (flags & kMidiCCAssignmentChanged) readMidiMap();
    if (flags & (kLatencyChanged | kIoChanged))
    {
        effect.initialDelay = static_cast<VstInt32>(processor->getLatencySamples());
        callHost(Vst2::kMasterIOChanged);
    }
}

} // namespace Vst
} // namespace Steinberg
