// SPDX-License-Identifier: GPL-3.0-or-later
// The host's dispatcher calls, answered through the VST 3 interfaces.
#include "HostText.h"
#include "Vst2Wrapper.h"

#include "public.sdk/source/common/memorystream.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace Steinberg
{
namespace Vst
{

namespace
{
Vst2Wrapper* wrapperOf(AEffect* effect)
{
    return effect ? static_cast<Vst2Wrapper*>(effect->object) : nullptr;
}

void copyHostString(void* dest, size_t size, const std::string& text)
{
    if (!dest || size == 0) return;
    const size_t length = std::min(text.size(), size - 1);
    std::memcpy(dest, text.data(), length);
    static_cast<char*>(dest)[length] = 0;
}
} // namespace

VstIntPtr Vst2Wrapper::dispatcherEntry(AEffect* effect, int opcode, int index, VstIntPtr value,
                                       void* ptr, float opt)
{
    Vst2Wrapper* wrapper = wrapperOf(effect);
    if (!wrapper) return 0;
    if (opcode == effClose)
    {
        delete wrapper;
        return 1;
    }
    return wrapper->dispatch(opcode, index, value, ptr, opt);
}

void Vst2Wrapper::setParameterEntry(AEffect* effect, int index, float value)
{
    Vst2Wrapper* wrapper = wrapperOf(effect);
    if (!wrapper || index < 0 || static_cast<size_t>(index) >= wrapper->parameters.size()) return;
    if (std::isnan(value)) return;
    wrapper->values->set(static_cast<size_t>(index), std::clamp(value, 0.0f, 1.0f));
}

float Vst2Wrapper::getParameterEntry(AEffect* effect, int index)
{
    Vst2Wrapper* wrapper = wrapperOf(effect);
    if (!wrapper || index < 0) return 0.0f;
    return static_cast<float>(wrapper->values->value(static_cast<size_t>(index)));
}

VstIntPtr Vst2Wrapper::dispatch(int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
    bool handled = false;
    VstIntPtr result = dispatchParameter(opcode, index, value, ptr, opt, handled);
    if (handled) return result;
    result = dispatchProgram(opcode, index, value, ptr, handled);
    if (handled) return result;
    result = dispatchEditor(opcode, index, value, ptr, handled);
    if (handled) return result;

    switch (opcode)
    {
    case effOpen:
        return 0;
    case effSetSampleRate:
        if (!(opt > 0.0f) || !std::isfinite(opt)) return 0;
        if (opt == sampleRate) return 0;
        sampleRate = opt;
        if (active) restart();
        return 0;
    case effSetBlockSize:
        if (value <= 0 || value > std::numeric_limits<int32>::max()) return 0;
        if (value == blockSize) return 0;
        blockSize = static_cast<int32>(value);
        if (active)
            restart();
        else
            sizeBuffers();
        return 0;
    case effMainsChanged:
        updateController();
        if (value)
            resume();
        else
            suspend();
        return 0;
    case effGetChunk:
        return getChunk(static_cast<void**>(ptr));
    case effSetChunk:
        return setChunk(ptr, value);
    case effProcessEvents:
        queueMidiEvents(static_cast<const VstEvents*>(ptr));
        return 1;
    case effGetInputProperties:
    case effGetOutputProperties:
    {
        const int32 channels = opcode == effGetInputProperties ? inputChannels : outputChannels;
        if (!ptr || index < 0 || index >= channels) return 0;
        auto* pin = static_cast<VstPinProperties*>(ptr);
        std::memset(pin, 0, sizeof(*pin));
        const std::string label = std::string(opcode == effGetInputProperties ? "In " : "Out ") +
                                  std::to_string(index + 1);
        copyHostString(pin->label, sizeof(pin->label), label);
        copyHostString(pin->shortLabel, sizeof(pin->shortLabel), label);
        // Active, and a stereo pair starting at even channels.
        pin->flags = 1 | (channels == 2 ? 2 : 0);
        pin->arrangementType = channels == 2 ? kSpeakerArrStereo : kSpeakerArrMono;
        return 1;
    }
    case effGetPlugCategory:
        return kPlugCategRoomFx;
    case effSetSpeakerArrangement:
    {
        const auto* in = reinterpret_cast<const VstSpeakerArrangement*>(value);
        const auto* out = static_cast<const VstSpeakerArrangement*>(ptr);
        if ((in && in->numChannels != inputChannels) || (out && out->numChannels != outputChannels))
            return 0;
        return 1;
    }
    case effGetEffectName:
    case effGetProductString:
        copyHostString(ptr, Vst2::kStringSize, effectName);
        return ptr ? 1 : 0;
    case effGetVendorString:
        copyHostString(ptr, Vst2::kStringSize, vendorName);
        return ptr ? 1 : 0;
    case effGetVendorVersion:
        return vendorVersion;
    case effCanDo:
        return canDo(static_cast<const char*>(ptr));
    case Vst2::kEffGetTailSize:
    {
        const uint32 tail = processor->getTailSamples();
        // 0 would mean "ask someone else"; 1 is how VST 2 says "no tail".
        if (tail == kNoTail) return 1;
        return static_cast<VstIntPtr>(std::min<uint32>(tail, std::numeric_limits<int32>::max()));
    }
    case Vst2::kEffSetBypass:
    {
        if (bypassParameter == kNoParamId) return 0;
        const int bypassIndex = indexOf(bypassParameter);
        values->set(static_cast<size_t>(bypassIndex), value ? 1.0 : 0.0);
        return 1;
    }
    case Vst2::kEffIdle:
        updateController();
        return 0;
    case effGetVstVersion:
        return kVstVersion;
    case effSetProcessPrecision:
        // Doubles are converted at the boundary, so either precision works.
        return 1;
    case Vst2::kEffGetNumMidiInputChannels:
        return hasEventInput ? 16 : 0;
    default:
        return 0;
    }
}

VstIntPtr Vst2Wrapper::canDo(const char* feature) const
{
    if (!feature) return 0;
    static const char* const kYes[] = {"plugAsChannelInsert", "plugAsSend"};
    static const char* const kWithEvents[] = {"receiveVstEvents", "receiveVstMidiEvent"};
    if (std::strcmp(feature, "bypass") == 0) return bypassParameter != kNoParamId ? 1 : 0;
    for (const char* name : kYes)
        if (std::strcmp(feature, name) == 0) return 1;
    for (const char* name : kWithEvents)
        if (std::strcmp(feature, name) == 0) return hasEventInput ? 1 : -1;
    if (std::strcmp(feature, "sendVstEvents") == 0 || std::strcmp(feature, "sendVstMidiEvent") == 0)
        return -1;
    return 0;
}

VstIntPtr Vst2Wrapper::dispatchParameter(int opcode, int index, VstIntPtr /*value*/, void* ptr,
                                         float /*opt*/, bool& handled)
{
    switch (opcode)
    {
    case effGetParamName:
    case effGetParamLabel:
    case effGetParamDisplay:
    case effCanBeAutomated:
    case effString2Parameter:
    case Vst2::kEffGetParameterProperties:
        handled = true;
        break;
    default:
        return 0;
    }
    if (index < 0 || static_cast<size_t>(index) >= parameters.size()) return 0;
    const ParameterInfo& info = parameters[static_cast<size_t>(index)];
    const auto slot = static_cast<size_t>(index);

    switch (opcode)
    {
    case effGetParamName:
        copyToHostText(static_cast<char*>(ptr), Vst2::kParamTextSize, info.title);
        return 0;
    case effGetParamLabel:
        copyToHostText(static_cast<char*>(ptr), Vst2::kParamTextSize, info.units);
        return 0;
    case effGetParamDisplay:
    {
        String128 text{};
        if (controller->getParamStringByValue(info.id, values->value(slot), text) != kResultOk)
            text[0] = 0;
        copyToHostText(static_cast<char*>(ptr), Vst2::kParamTextSize, text);
        return 0;
    }
    case effCanBeAutomated:
        return (info.flags & ParameterInfo::kCanAutomate) && !(info.flags & ParameterInfo::kIsReadOnly)
                   ? 1
                   : 0;
    case effString2Parameter:
    {
        // Hosts ask with a null text whether the conversion exists at all.
        if (!ptr) return 1;
        String128 text{};
        copyFromHostText(text, 128, static_cast<const char*>(ptr));
        ParamValue normalized = 0.0;
        if (controller->getParamValueByString(info.id, text, normalized) != kResultOk) return 0;
        if (std::isnan(normalized)) return 0;
        values->set(slot, std::clamp(normalized, 0.0, 1.0));
        return 1;
    }
    default: // effGetParameterProperties
    {
        if (!ptr) return 0;
        auto* properties = static_cast<Vst2::ParameterProperties*>(ptr);
        std::memset(properties, 0, sizeof(*properties));
        copyToHostText(properties->label, sizeof(properties->label), info.title);
        copyToHostText(properties->shortLabel, sizeof(properties->shortLabel), info.shortTitle);
        if (info.stepCount == 1)
        {
            properties->flags = Vst2::kParamIsSwitch;
        }
        else if (info.stepCount > 1)
        {
            properties->flags = Vst2::kParamUsesIntegerMinMax | Vst2::kParamUsesIntStep;
            properties->maxInteger = info.stepCount;
            properties->stepInteger = 1;
            properties->largeStepInteger = 1;
        }
        else
        {
            properties->flags = Vst2::kParamCanRamp;
        }
        return 1;
    }
    }
}

VstIntPtr Vst2Wrapper::dispatchProgram(int opcode, int index, VstIntPtr value, void* ptr,
                                       bool& handled)
{
    handled = true;
    switch (opcode)
    {
    case effSetProgram:
        selectProgram(static_cast<int>(value));
        return 0;
    case effGetProgram:
        return currentProgram;
    case effSetProgramName:
        // Factory presets keep their names.
        return 0;
    case effGetProgramName:
    case effGetProgramNameIndexed:
    {
        const int program = opcode == effGetProgramName ? currentProgram : index;
        if (!ptr) return 0;
        static_cast<char*>(ptr)[0] = 0;
        if (!unitInfo || program < 0 || program >= programCount) return 0;
        String128 name{};
        if (unitInfo->getProgramName(programList, program, name) != kResultOk) return 0;
        copyToHostText(static_cast<char*>(ptr), Vst2::kProgramNameSize, name);
        return 1;
    }
    default:
        handled = false;
        return 0;
    }
}

bool Vst2Wrapper::selectProgram(int program)
{
    if (programParameter == kNoParamId || program < 0 || program >= programCount) return false;
    updateController();
    discardPendingForProcessor();
    const ParamValue normalized = controller->plainParamToNormalized(programParameter, program);
    if (controller->setParamNormalized(programParameter, normalized) != kResultOk) return false;
    refreshFromController();
    currentProgram = program;
    return true;
}

void Vst2Wrapper::flushWhileSuspended()
{
    bool pending = false;
    for (size_t i = 0; i < parameters.size() && !pending; ++i)
        pending = values->pendingForProcessor(i);
    if (!pending) return;
    resume();
    processBlock<float>(nullptr, nullptr, 0);
    suspend();
}

VstIntPtr Vst2Wrapper::getChunk(void** data)
{
    if (!data) return 0;
    *data = nullptr;
    if (!active) flushWhileSuspended();
    IPtr<MemoryStream> stream = owned(new MemoryStream);
    if (component->getState(stream) != kResultOk) return 0;
    const auto size = static_cast<size_t>(stream->getSize());
    chunk.assign(stream->getData(), stream->getData() + size);
    if (chunk.empty()) return 0;
    *data = chunk.data();
    return static_cast<VstIntPtr>(chunk.size());
}

VstIntPtr Vst2Wrapper::setChunk(const void* data, VstIntPtr size)
{
    if (!data || size <= 0) return 0;
    // The stream only reads; it never owns or writes the host's bytes.
    IPtr<MemoryStream> stream =
        owned(new MemoryStream(const_cast<void*>(data), static_cast<TSize>(size)));
    if (component->setState(stream) != kResultOk) return 0;
    discardPendingForProcessor();
    stream->seek(0, IBStream::kIBSeekSet, nullptr);
    controller->setComponentState(stream);
    refreshFromController();
    return 1;
}

bool Vst2Wrapper::ensureView()
{
    if (view) return true;
    IPlugView* created = controller->createView(ViewType::kEditor);
    if (!created) return false;
    view = owned(created);
    if (view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) != kResultTrue)
    {
        view = nullptr;
        return false;
    }
    if (!frame)
        frame = owned(new Vst2PlugFrame([this](int32 width, int32 height)
                                        { return callHost(audioMasterSizeWindow, width, height) != 0; }));
    view->setFrame(frame);
    return true;
}

VstIntPtr Vst2Wrapper::dispatchEditor(int opcode, int /*index*/, VstIntPtr /*value*/, void* ptr,
                                      bool& handled)
{
    handled = true;
    switch (opcode)
    {
    case effEditGetRect:
    {
        if (!ptr) return 0;
        *static_cast<ERect**>(ptr) = nullptr;
        if (!ensureView()) return 0;
        ViewRect rect;
        if (view->getSize(&rect) != kResultOk) return 0;
        editorRect.left = 0;
        editorRect.top = 0;
        editorRect.right = static_cast<short>(rect.getWidth());
        editorRect.bottom = static_cast<short>(rect.getHeight());
        *static_cast<ERect**>(ptr) = &editorRect;
        return 1;
    }
    case effEditOpen:
        if (!ptr || !ensureView()) return 0;
        return view->attached(ptr, kPlatformTypeX11EmbedWindowID) == kResultOk ? 1 : 0;
    case effEditClose:
        if (!view) return 0;
        view->removed();
        view->setFrame(nullptr);
        view = nullptr;
        return 1;
    case effEditIdle:
        updateController();
        if (frame) frame->idle();
        return 0;
    default:
        handled = false;
        return 0;
    }
}

} // namespace Vst
} // namespace Steinberg
