// SPDX-License-Identifier: GPL-3.0-or-later
// Activation and the audio cycle: VST 2 blocks become VST 3 process calls.
#include "Vst2Wrapper.h"

#include <algorithm>
#include <thread>

namespace Steinberg
{
namespace Vst
{

namespace
{
// Counts an audio-thread call for its whole length. It is counted before the processing flag
// is read: suspend clears the flag before it reads the count, so one of the two always sees
// the other (both sequentially consistent).
class AudioCall
{
public:
    explicit AudioCall(std::atomic<int>& calls) : calls(calls) { calls.fetch_add(1); }
    ~AudioCall() { calls.fetch_sub(1, std::memory_order_release); }
    AudioCall(const AudioCall&) = delete;
    AudioCall& operator=(const AudioCall&) = delete;

private:
    std::atomic<int>& calls;
};
} // namespace

void Vst2Wrapper::processReplacingEntry(AEffect* effect, float** inputs, float** outputs,
                                        int frames)
{
    if (effect && effect->object)
        static_cast<Vst2Wrapper*>(effect->object)->processBlock(inputs, outputs, frames);
}

void Vst2Wrapper::processDoubleEntry(AEffect* effect, double** inputs, double** outputs,
                                     int frames)
{
    if (effect && effect->object)
        static_cast<Vst2Wrapper*>(effect->object)->processBlock(inputs, outputs, frames);
}

void Vst2Wrapper::sizeBuffers()
{
    maxBlockSize = blockSize;
    const auto frames = static_cast<size_t>(maxBlockSize);
    int32 auxChannels = 0;
    for (size_t b = 1; b < inputBuses.size(); ++b)
        auxChannels = std::max(auxChannels, inputBuses[b].numChannels);

    inputScratch.assign(frames * static_cast<size_t>(inputChannels), 0.0f);
    outputScratch.assign(frames * static_cast<size_t>(outputChannels), 0.0f);
    silence.assign(frames * static_cast<size_t>(auxChannels), 0.0f);
    inputPointers.resize(static_cast<size_t>(inputChannels));
    for (int32 c = 0; c < inputChannels; ++c)
        inputPointers[static_cast<size_t>(c)] = inputScratch.data() + frames * static_cast<size_t>(c);
    silentPointers.resize(static_cast<size_t>(auxChannels));
    for (int32 c = 0; c < auxChannels; ++c)
        silentPointers[static_cast<size_t>(c)] = silence.data() + frames * static_cast<size_t>(c);
    outputPointers.resize(static_cast<size_t>(outputChannels));
    for (int32 c = 0; c < outputChannels; ++c)
        outputPointers[static_cast<size_t>(c)] = outputScratch.data() + frames * static_cast<size_t>(c);

    for (size_t b = 0; b < inputBuses.size(); ++b)
    {
        inputBuses[b].silenceFlags = b == 0 ? 0 : ~uint64(0);
        inputBuses[b].channelBuffers32 = b == 0 ? inputPointers.data() : silentPointers.data();
    }
    outputBus.numChannels = outputChannels;
    outputBus.channelBuffers32 = outputPointers.data();

    data.symbolicSampleSize = kSample32;
    data.numInputs = static_cast<int32>(inputBuses.size());
    data.inputs = inputBuses.empty() ? nullptr : inputBuses.data();
    data.numOutputs = outputChannels > 0 ? 1 : 0;
    data.outputs = outputChannels > 0 ? &outputBus : nullptr;
    data.inputParameterChanges = &inputChanges;
    data.outputParameterChanges = &outputChanges;
    data.inputEvents = hasEventInput ? &events : nullptr;
    data.outputEvents = nullptr;
    data.processContext = &context;
}

void Vst2Wrapper::resume()
{
    if (active) return;
    const bool offline = callHost(audioMasterGetCurrentProcessLevel) == kVstProcessLevelOffline;
    ProcessSetup setup{offline ? kOffline : kRealtime, kSample32, blockSize, sampleRate};
    processor->setupProcessing(setup);
    sizeBuffers();
    data.processMode = setup.processMode;
    context = ProcessContext{};
    context.sampleRate = sampleRate;
    inputChanges.clear();
    outputChanges.clear();
    events.clear();
    component->setActive(true);
    processor->setProcessing(true);
    active = true;
    processing.store(true);
}

void Vst2Wrapper::suspend()
{
    if (!active) return;
    processing.store(false);
    // Calls that started before see the flag still set; from here on they only answer with
    // silence. A host calling process alongside is rare, so the wait is a short spin.
    while (audioCalls.load() != 0)
        std::this_thread::yield();
    processor->setProcessing(false);
    component->setActive(false);
    active = false;
}

void Vst2Wrapper::restart()
{
    suspend();
    resume();
}

void Vst2Wrapper::collectParameterChanges()
{
    double value = 0.0;
    for (size_t i = 0; i < parameters.size(); ++i)
        if (values->takeForProcessor(i, value)) inputChanges.add(parameters[i].id, 0, value);
}

void Vst2Wrapper::readOutputChanges()
{
    const int32 count = outputChanges.getParameterCount();
    for (int32 q = 0; q < count; ++q)
    {
        IParamValueQueue* queue = outputChanges.getParameterData(q);
        const int32 points = queue ? queue->getPointCount() : 0;
        int32 offset = 0;
        ParamValue value = 0.0;
        if (points < 1 || queue->getPoint(points - 1, offset, value) != kResultOk) continue;
        const int index = indexOf(queue->getParameterId());
        if (index >= 0) values->setFromProcessor(static_cast<size_t>(index), value);
    }
    outputChanges.clear();
}

void Vst2Wrapper::processChunk(int32 frames, bool first)
{
    data.numSamples = frames;
    if (!first)
    {
        inputChanges.clear();
        events.clear();
    }
    processor->process(data);
    readOutputChanges();
    context.projectTimeSamples += frames;
}

template <typename Sample>
void Vst2Wrapper::processBlock(Sample** inputs, Sample** outputs, int frames)
{
    const AudioCall call(audioCalls);
    if (!processing.load() || frames < 0)
    {
        for (int32 c = 0; outputs && frames > 0 && c < outputChannels; ++c)
            if (outputs[c]) std::fill(outputs[c], outputs[c] + frames, Sample(0));
        return;
    }
    collectParameterChanges();
    if (frames == 0)
    {
        // Parameters still reach the processor; events wait for a block with frames in it.
        inputChanges.clampOffsets(0);
        data.inputEvents = nullptr;
        processChunk(0, true);
        data.inputEvents = hasEventInput ? &events : nullptr;
        inputChanges.clear();
        return;
    }

    const int32 firstFrames = std::min(frames, maxBlockSize);
    // Hosts promise blocks of at most maxBlockSize and events inside the block; not every
    // host keeps that promise.
    inputChanges.clampOffsets(firstFrames - 1);
    events.clampOffsets(firstFrames - 1);
    for (int32 done = 0; done < frames;)
    {
        const int32 n = std::min(maxBlockSize, frames - done);
        for (int32 c = 0; c < inputChannels; ++c)
        {
            float* scratch = inputPointers[static_cast<size_t>(c)];
            const Sample* in = inputs ? inputs[c] : nullptr;
            if (in)
                std::transform(in + done, in + done + n, scratch,
                               [](Sample s) { return static_cast<float>(s); });
            else
                std::fill(scratch, scratch + n, 0.0f);
        }
        processChunk(n, done == 0);
        for (int32 c = 0; c < outputChannels; ++c)
        {
            Sample* out = outputs ? outputs[c] : nullptr;
            const float* scratch = outputPointers[static_cast<size_t>(c)];
            if (out)
                std::transform(scratch, scratch + n, out + done,
                               [](float s) { return static_cast<Sample>(s); });
        }
        done += n;
    }
    inputChanges.clear();
    events.clear();
}

template void Vst2Wrapper::processBlock<float>(float**, float**, int);
template void Vst2Wrapper::processBlock<double>(double**, double**, int);

void Vst2Wrapper::queueMidiController(int16 channel, CtrlNumber number, ParamValue value,
                                      int32 offset)
{
    if (!midiMap || number < 0 || number >= kMidiControllers) return;
    const ParamID id =
        midiMap[channel * kMidiControllers + number].load(std::memory_order_acquire);
    if (id == kNoParamId) return;
    inputChanges.add(id, offset, value);
    const int index = indexOf(id);
    if (index >= 0) values->setFromProcessor(static_cast<size_t>(index), value);
}

void Vst2Wrapper::queueMidiEvents(const VstEvents* list)
{
    // Events only make sense for the block that follows; outside processing nothing follows.
    const AudioCall call(audioCalls);
    if (!list || !processing.load()) return;
    for (int i = 0; i < list->numEvents; ++i)
    {
        const VstEvent* event = list->events[i];
        if (!event || event->type != kVstMidiType) continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        const int status = midi->midiData[0] & 0xF0;
        const auto channel = static_cast<int16>(midi->midiData[0] & 0x0F);
        const int data1 = midi->midiData[1] & 0x7F;
        const int data2 = midi->midiData[2] & 0x7F;
        const int32 offset = std::max(midi->deltaFrames, 0);

        Event e{};
        e.busIndex = 0;
        e.sampleOffset = offset;
        switch (status)
        {
        case 0x90:
            if (data2 > 0)
            {
                e.type = Event::kNoteOnEvent;
                e.noteOn = {channel, static_cast<int16>(data1), 0.0f, data2 / 127.0f, 0, -1};
                events.addEvent(e);
                break;
            }
            [[fallthrough]]; // a note-on with velocity 0 is a note-off
        case 0x80:
            e.type = Event::kNoteOffEvent;
            e.noteOff = {channel, static_cast<int16>(data1), data2 / 127.0f, -1, 0.0f};
            events.addEvent(e);
            break;
        case 0xA0:
            e.type = Event::kPolyPressureEvent;
            e.polyPressure = {channel, static_cast<int16>(data1), data2 / 127.0f, -1};
            events.addEvent(e);
            break;
        case 0xB0:
            queueMidiController(channel, static_cast<CtrlNumber>(data1), data2 / 127.0, offset);
            break;
        case 0xD0:
            queueMidiController(channel, kAfterTouch, data1 / 127.0, offset);
            break;
        case 0xE0:
            queueMidiController(channel, kPitchBend, ((data2 << 7) | data1) / 16383.0, offset);
            break;
        default:
            break;
        }
    }
}

} // namespace Vst
} // namespace Steinberg
