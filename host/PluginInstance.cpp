// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/PluginInstance.h"

#include "host/HostError.h"
#include "host/Utf16.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"

using namespace Steinberg;

namespace halvane::host
{

namespace
{

template <class I> IPtr<I> queryAs(FUnknown* object)
{
    if (!object) return nullptr;
    FUnknownPtr<I> p(object);
    return IPtr<I>(p.get());
}

// Compares object identity the COM way: through the FUnknown interface pointers.
bool sameObject(FUnknown* a, FUnknown* b)
{
    if (!a || !b) return false;
    FUnknownPtr<FUnknown> ua(a);
    FUnknownPtr<FUnknown> ub(b);
    return ua.get() == ub.get();
}

} // namespace

std::unique_ptr<PluginInstance> PluginInstance::create(std::shared_ptr<Module> module,
                                                       const ClassInfo* classInfo)
{
    if (!module) throw HostError("no module loaded");
    if (!classInfo) classInfo = module->findClass(kVstAudioEffectClass);
    if (!classInfo) throw HostError(module->path() + " offers no audio effect class");
    std::unique_ptr<PluginInstance> instance(new PluginInstance(module, *classInfo));
    return instance;
}

PluginInstance::PluginInstance(std::shared_ptr<Module> module, const ClassInfo& classInfo)
    : owner(std::move(module)), info(classInfo)
{
    componentHandler = owned(new ComponentHandler());

    TUID cid;
    info.cid.toTUID(cid);
    void* object = nullptr;
    if (owner->factory()->createInstance(cid, Vst::IComponent::iid, &object) != kResultOk ||
        !object)
        throw HostError("cannot create an instance of \"" + info.name + "\"");
    comp = owned(static_cast<Vst::IComponent*>(object));

    if (comp->initialize(owner->hostContext()) != kResultOk)
    {
        comp = nullptr;
        throw HostError("\"" + info.name + "\" failed to initialize");
    }
    componentInitialized = true;

    proc = queryAs<Vst::IAudioProcessor>(comp);
    if (!proc)
    {
        shutdown();
        throw HostError("\"" + info.name + "\" has no audio processor");
    }

    try
    {
        createController();
    }
    catch (...)
    {
        shutdown();
        throw;
    }
    setup.maxSamplesPerBlock = 0;
}

void PluginInstance::createController()
{
    ctrl = queryAs<Vst::IEditController>(comp);
    if (ctrl)
    {
        // One object is both halves: it is initialized once, as the component.
        singleComponent = true;
    }
    else
    {
        TUID controllerId;
        if (comp->getControllerClassId(controllerId) == kResultTrue)
        {
            void* object = nullptr;
            if (owner->factory()->createInstance(controllerId, Vst::IEditController::iid,
                                                 &object) == kResultOk &&
                object)
            {
                ctrl = owned(static_cast<Vst::IEditController*>(object));
                if (ctrl->initialize(owner->hostContext()) != kResultOk)
                {
                    ctrl = nullptr;
                    throw HostError("the controller of \"" + info.name + "\" failed to initialize");
                }
                controllerInitialized = true;
            }
        }
        if (!ctrl) throw HostError("\"" + info.name + "\" has no edit controller");
        singleComponent = sameObject(comp, ctrl);
        connect();
    }
    ctrl->setComponentHandler(componentHandler);

    if (!singleComponent)
    {
        auto stream = owned(new MemoryStream());
        if (comp->getState(stream) == kResultOk)
        {
            stream->seek(0, IBStream::kIBSeekSet, nullptr);
            ctrl->setComponentState(stream);
        }
    }
}

void PluginInstance::connect()
{
    componentConnection = queryAs<Vst::IConnectionPoint>(comp);
    controllerConnection = queryAs<Vst::IConnectionPoint>(ctrl);
    if (componentConnection && controllerConnection)
    {
        componentConnection->connect(controllerConnection);
        controllerConnection->connect(componentConnection);
    }
    else
    {
        componentConnection = nullptr;
        controllerConnection = nullptr;
    }
}

PluginInstance::~PluginInstance()
{
    shutdown();
}

void PluginInstance::shutdown()
{
    if (active) setActive(false);
    if (ctrl) ctrl->setComponentHandler(nullptr);
    if (componentConnection && controllerConnection)
    {
        componentConnection->disconnect(controllerConnection);
        controllerConnection->disconnect(componentConnection);
    }
    componentConnection = nullptr;
    controllerConnection = nullptr;
    if (ctrl && controllerInitialized) ctrl->terminate();
    controllerInitialized = false;
    ctrl = nullptr;
    proc = nullptr;
    if (comp && componentInitialized) comp->terminate();
    componentInitialized = false;
    comp = nullptr;
}

static Vst::SpeakerArrangement currentArrangement(Vst::IAudioProcessor* proc, Vst::BusDirection dir,
                                                  int32 index)
{
    Vst::SpeakerArrangement arr = 0;
    proc->getBusArrangement(dir, index, arr);
    return arr;
}

bool PluginInstance::setBusArrangements(Vst::SpeakerArrangement input,
                                        Vst::SpeakerArrangement output)
{
    std::vector<Vst::SpeakerArrangement> ins;
    std::vector<Vst::SpeakerArrangement> outs;
    for (int32 i = 0; i < audioBusCount(Vst::kInput); ++i)
        ins.push_back(i == 0 ? input : currentArrangement(proc, Vst::kInput, i));
    for (int32 i = 0; i < audioBusCount(Vst::kOutput); ++i)
        outs.push_back(i == 0 ? output : currentArrangement(proc, Vst::kOutput, i));
    return setBusArrangements(std::move(ins), std::move(outs));
}

bool PluginInstance::setBusArrangements(std::vector<Vst::SpeakerArrangement> inputs,
                                        std::vector<Vst::SpeakerArrangement> outputs)
{
    if (active) return false;
    return proc->setBusArrangements(inputs.empty() ? nullptr : inputs.data(),
                                    static_cast<int32>(inputs.size()),
                                    outputs.empty() ? nullptr : outputs.data(),
                                    static_cast<int32>(outputs.size())) == kResultTrue;
}

bool PluginInstance::setupProcessing(double rate, int32 maxBlockSize, int32 processMode)
{
    if (active || maxBlockSize < 1 || rate <= 0.0) return false;
    if (proc->canProcessSampleSize(Vst::kSample32) != kResultTrue) return false;
    Vst::ProcessSetup wanted{processMode, Vst::kSample32, maxBlockSize, rate};
    if (proc->setupProcessing(wanted) != kResultOk) return false;
    setup = wanted;
    return true;
}

bool PluginInstance::setActive(bool on)
{
    if (on == active) return true;
    if (on)
    {
        if (setup.maxSamplesPerBlock < 1) return false;
        for (auto dir : {Vst::kInput, Vst::kOutput})
        {
            if (audioBusCount(dir) > 0) comp->activateBus(Vst::kAudio, dir, 0, true);
            if (eventBusCount(dir) > 0) comp->activateBus(Vst::kEvent, dir, 0, true);
        }
        inBuffers.configure(channelLayout(Vst::kInput), setup.maxSamplesPerBlock);
        outBuffers.configure(channelLayout(Vst::kOutput), setup.maxSamplesPerBlock);

        context = {};
        context.sampleRate = setup.sampleRate;
        context.tempo = 120.0;
        context.timeSigNumerator = 4;
        context.timeSigDenominator = 4;
        context.state = Vst::ProcessContext::kPlaying | Vst::ProcessContext::kTempoValid |
                        Vst::ProcessContext::kTimeSigValid | Vst::ProcessContext::kContTimeValid |
                        Vst::ProcessContext::kProjectTimeMusicValid;

        if (comp->setActive(true) != kResultOk) return false;
        active = true;
        // Plug-ins without work to do here answer kNotImplemented; that is fine.
        processing = proc->setProcessing(true) == kResultOk;
        inChanges.clear();
        outChanges.clear();
        inEvents.clear();
        return true;
    }
    if (processing) proc->setProcessing(false);
    processing = false;
    comp->setActive(false);
    active = false;
    return true;
}

tresult PluginInstance::process(const float* const* inputs, int32 numInputChannels,
                                float* const* outputs, int32 numOutputChannels, int32 numSamples)
{
    if (!active || numSamples < 0 || numSamples > setup.maxSamplesPerBlock) return kResultFalse;

    inBuffers.bindMain(inputs, numInputChannels, numSamples, true);
    outBuffers.bindMain(outputs, numOutputChannels, numSamples, false);
    outChanges.clear();

    data.processMode = setup.processMode;
    data.symbolicSampleSize = Vst::kSample32;
    data.numSamples = numSamples;
    data.numInputs = inBuffers.busCount();
    data.numOutputs = outBuffers.busCount();
    data.inputs = inBuffers.buses();
    data.outputs = outBuffers.buses();
    data.inputParameterChanges = &inChanges;
    data.outputParameterChanges = &outChanges;
    data.inputEvents = eventBusCount(Vst::kInput) > 0 ? &inEvents : nullptr;
    data.outputEvents = nullptr;
    data.processContext = contextEnabled ? &context : nullptr;

    const tresult result = proc->process(data);

    inChanges.clear();
    inEvents.clear();
    context.projectTimeSamples += numSamples;
    context.continousTimeSamples += numSamples;
    context.projectTimeMusic += numSamples / setup.sampleRate * context.tempo / 60.0;
    return result;
}

std::vector<ParameterInfo> PluginInstance::parameters() const
{
    std::vector<ParameterInfo> list;
    const int32 count = ctrl->getParameterCount();
    for (int32 i = 0; i < count; ++i)
    {
        Vst::ParameterInfo p{};
        if (ctrl->getParameterInfo(i, p) != kResultOk) continue;
        ParameterInfo out;
        out.id = p.id;
        out.title = toUtf8(p.title);
        out.shortTitle = toUtf8(p.shortTitle);
        out.units = toUtf8(p.units);
        out.stepCount = p.stepCount;
        out.defaultNormalized = p.defaultNormalizedValue;
        out.unitId = p.unitId;
        out.flags = p.flags;
        list.push_back(std::move(out));
    }
    return list;
}

std::optional<ParameterInfo> PluginInstance::findParameter(const std::string& title) const
{
    for (ParameterInfo& p : parameters())
        if (p.title == title) return p;
    return std::nullopt;
}

double PluginInstance::getParamNormalized(Vst::ParamID id) const
{
    return ctrl->getParamNormalized(id);
}

bool PluginInstance::setParamNormalized(Vst::ParamID id, double value)
{
    return ctrl->setParamNormalized(id, value) == kResultOk;
}

double PluginInstance::normalizedToPlain(Vst::ParamID id, double normalized) const
{
    return ctrl->normalizedParamToPlain(id, normalized);
}

double PluginInstance::plainToNormalized(Vst::ParamID id, double plain) const
{
    return ctrl->plainParamToNormalized(id, plain);
}

std::string PluginInstance::getParamStringByValue(Vst::ParamID id, double normalized) const
{
    Vst::String128 text{};
    if (ctrl->getParamStringByValue(id, normalized, text) != kResultOk) return {};
    return toUtf8(text);
}

std::optional<double> PluginInstance::getParamValueByString(Vst::ParamID id,
                                                            const std::string& text) const
{
    Vst::String128 wide{};
    copyUtf16(text, wide, 128);
    Vst::ParamValue value = 0.0;
    if (ctrl->getParamValueByString(id, wide, value) != kResultOk) return std::nullopt;
    return value;
}

Bytes PluginInstance::getComponentState() const
{
    auto stream = owned(new MemoryStream());
    if (comp->getState(stream) != kResultOk)
        throw HostError("\"" + info.name + "\" could not save its state");
    return streamBytes(*stream);
}

bool PluginInstance::setComponentState(const Bytes& state)
{
    auto stream = makeStream(state);
    const bool restored = comp->setState(stream) == kResultOk;
    auto copy = makeStream(state);
    const bool synced = ctrl->setComponentState(copy) == kResultOk;
    return restored && synced;
}

uint32 PluginInstance::latencySamples() const
{
    return proc->getLatencySamples();
}

uint32 PluginInstance::tailSamples() const
{
    return proc->getTailSamples();
}

int32 PluginInstance::audioBusCount(Vst::BusDirection dir) const
{
    return comp->getBusCount(Vst::kAudio, dir);
}

int32 PluginInstance::eventBusCount(Vst::BusDirection dir) const
{
    return comp->getBusCount(Vst::kEvent, dir);
}

int32 PluginInstance::busChannels(Vst::BusDirection dir, int32 index) const
{
    Vst::BusInfo bus{};
    if (comp->getBusInfo(Vst::kAudio, dir, index, bus) != kResultOk) return 0;
    return bus.channelCount;
}

std::vector<int32> PluginInstance::channelLayout(Vst::BusDirection dir) const
{
    std::vector<int32> layout;
    for (int32 i = 0; i < audioBusCount(dir); ++i)
        layout.push_back(busChannels(dir, i));
    return layout;
}

} // namespace halvane::host
