// SPDX-License-Identifier: GPL-3.0-or-later
// The real-time side of Processor: set-up, activation and the audio cycle.
#include "binding/Processor.h"

#include "binding/DenormalGuard.h"
#include "binding/FastMath.h"
#include "binding/MidiEventList.h"
#include "binding/MidiEventRelay.h"
#include "binding/ParamUpdateQueue.h"
#include "framework/PlugIn.h"

#include "pluginterfaces/vst/ivstevents.h"
#include "pluginterfaces/vst/ivstparameterchanges.h"
#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

#if defined(__x86_64__) || defined(_M_X64)
#include <emmintrin.h>
#endif

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

namespace
{
// Channels the binding moves: 1 or 2 (0 for an empty arrangement).
uint32 movedChannels(uint32 channels)
{
    return channels >= 2 ? 2 : channels;
}

bool hasChannels(const AudioBusBuffers* buses, int32 busCount, uint32 channels)
{
    if (!buses || busCount < 1) return false;
    const AudioBusBuffers& bus = buses[0];
    if (!bus.channelBuffers32 || bus.numChannels < static_cast<int32>(channels)) return false;
    for (uint32 c = 0; c < channels; ++c)
        if (!bus.channelBuffers32[c]) return false;
    return true;
}

constexpr float kBypassFadeSeconds = 0.005f;

// `frames` on. The plug-in copies the record right after this, reading the position and the
// time with one 16-byte load: stored as one, they are forwarded to it, where two 8-byte stores
// make it wait until both have reached the cache, on every frame.
void advanceTime(HostTimeInfo& info, uint64_t frames, double reciprocalRate)
{
    const uint64_t position = info.samplePosition + frames;
    const double seconds = static_cast<double>(position) * reciprocalRate;
#if defined(__x86_64__) || defined(_M_X64)
    static_assert(offsetof(HostTimeInfo, samplePosition) == 0 &&
                      offsetof(HostTimeInfo, timeInSeconds) == 8,
                  "position and time side by side");
    const __m128i both = _mm_unpacklo_epi64(_mm_cvtsi64_si128(static_cast<long long>(position)),
                                            _mm_castpd_si128(_mm_set_sd(seconds)));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(&info), both);
#else
    info.samplePosition = position;
    info.timeInSeconds = seconds;
#endif
}

// Where a frame's samples come from and go: null in channels for a plug-in without audio
// input, null second channels for one channel.
struct FrameChannels
{
    const float* in0;
    const float* in1;
    float* out0;
    float* out1;
};

// Frames [first, last) of a block where nothing but audio happens: no event due, no side-chain,
// no bypass fade. In a loop of its own, which keeps what it needs in registers across the two
// calls per frame, where the block's whole loop reloads it from the stack on every frame.
void runPlainFrames(CPlugIn* plugIn, FrameChannels c, uint32 moved, int32 first, int32 last,
                    float* inFrame, float* outFrame, HostTimeInfo* timeInfo,
                    HostInfoRecord* timeRecord, double reciprocalRate)
{
    if (c.in0 && last > first)
    {
        const float* const in[2] = {c.in0 + first, c.in1 ? c.in1 + first : nullptr};
        float* const out[2] = {c.out0 + first, c.out1 ? c.out1 + first : nullptr};
        const auto frames = static_cast<uint32>(last - first);
        if (plugIn->processFrames(in, out, moved, frames))
        {
            if (timeInfo) advanceTime(*timeInfo, frames, reciprocalRate);
            plugIn->receiveHostInfo(kHostInfoTime, timeRecord);
            return;
        }
    }
    for (int32 i = first; i < last; ++i)
    {
        if (c.in0)
        {
            inFrame[0] = c.in0[i];
            if (c.in1) inFrame[1] = c.in1[i];
        }
        plugIn->processFrame(inFrame, outFrame, moved, moved);
        c.out0[i] = outFrame[0];
        if (c.out1) c.out1[i] = outFrame[1];
        if (timeInfo) advanceTime(*timeInfo, 1, reciprocalRate);
        plugIn->receiveHostInfo(kHostInfoTime, timeRecord);
    }
}

// Output channels the block does not write would otherwise keep whatever the host left in
// them: zero every channel from `written` on, on every output bus.
void silenceUnwritten(ProcessData& data, uint32 written)
{
    if (!data.outputs || data.numSamples <= 0) return;
    for (int32 b = 0; b < data.numOutputs; ++b)
    {
        const AudioBusBuffers& bus = data.outputs[b];
        if (!bus.channelBuffers32) continue;
        for (int32 c = b == 0 ? static_cast<int32>(written) : 0; c < bus.numChannels; ++c)
            if (float* channel = bus.channelBuffers32[c])
                std::fill(channel, channel + data.numSamples, 0.0f);
    }
}

void fillTimeInfo(HostTimeInfo& info, const ProcessContext& context, double reciprocalRate)
{
    info = HostTimeInfo();
    // The position is unsigned: a pre-roll (negative) time counts as the start.
    info.samplePosition = static_cast<uint64_t>(std::max<TSamples>(context.projectTimeSamples, 0));
    info.timeInSeconds = static_cast<double>(info.samplePosition) * reciprocalRate;
    info.tempo = context.tempo;
    info.timeSigNumerator = static_cast<float>(context.timeSigNumerator);
    info.timeSigDenominator = context.timeSigDenominator;
}
} // namespace

tresult PLUGIN_API Processor::setupProcessing(ProcessSetup& setup)
{
    ensurePlugIn(false);
    if (canProcessSampleSize(setup.symbolicSampleSize) != kResultTrue) return kResultFalse;
    // The rate is truncated to an unsigned integer: refuse one that cannot be (NaN, negative,
    // beyond 32 bits) or that would truncate to 0.
    if (!(setup.sampleRate >= 1.0 && setup.sampleRate < 4294967296.0)) return kResultFalse;
    try
    {
        if (plugIn)
        {
            plugIn->sampleRate = static_cast<uint32>(setup.sampleRate);
            plugIn->prepare();
        }
        tresult result = SingleComponentEffect::setupProcessing(setup);
        if (result == kResultOk && setup.maxSamplesPerBlock > 0)
            sizeSilentInput(setup.maxSamplesPerBlock);
        return result;
    }
    catch (...)
    {
        // Out of memory: the host hears a refusal, not an exception through the ABI.
        return kResultFalse;
    }
}

tresult PLUGIN_API Processor::setActive(TBool state)
{
    if (!state)
    {
        active.store(false);
        applyHandoffIfInactive();
        return kResultOk;
    }
    try
    {
        ensurePlugIn(false);
    }
    catch (...)
    {
        return kResultFalse;
    }
    if (plugIn)
    {
        plugIn->sampleRate = static_cast<uint32>(processSetup.sampleRate);
        plugIn->prepare();
        handoff.applyTo(*plugIn);
    }
    bypassMix = bypassed.load() ? 1.0f : 0.0f;
    active.store(true);
    return kResultOk;
}

tresult PLUGIN_API Processor::canProcessSampleSize(int32 symbolicSampleSize)
{
    return symbolicSampleSize == kSample32 ? kResultTrue : kResultFalse;
}

uint32 PLUGIN_API Processor::getLatencySamples()
{
    return static_cast<uint32>(latencyInSamples);
}

uint32 PLUGIN_API Processor::getTailSamples()
{
    if (!plugIn) return kNoTail;
    if (plugIn->infiniteTail == 1) return kInfiniteTail;
    double samples = plugIn->tailTimeMs / 1000.0 * processSetup.sampleRate;
    if (!(samples > 0.0)) return kNoTail;
    if (samples >= static_cast<double>(kInfiniteTail)) return kInfiniteTail;
    return static_cast<uint32>(samples);
}

tresult PLUGIN_API Processor::setBusArrangements(SpeakerArrangement* inputs, int32 numIns,
                                                 SpeakerArrangement* outputs, int32 numOuts)
{
    const bool instrument = plugIn && plugIn->noAudioInput;
    bool accepted = false;
    if (instrument)
        accepted = numIns == 0 && numOuts == 1 && outputs && outputs[0] == SpeakerArr::kStereo;
    else
        // The frame exchange holds two channels: wider buses are refused so the host falls
        // back rather than getting channels nobody writes.
        accepted = numIns == 1 && numOuts == 1 && inputs && outputs && inputs[0] == outputs[0] &&
                   (inputs[0] == SpeakerArr::kStereo || inputs[0] == SpeakerArr::kMono);
    if (!accepted) return kResultFalse;
    return SingleComponentEffect::setBusArrangements(inputs, numIns, outputs, numOuts);
}

tresult PLUGIN_API Processor::process(ProcessData& data)
{
    if (!plugIn) return kResultFalse;
    DenormalGuard denormals;
    handoff.applyTo(*plugIn);
    const tresult result = processBlock(data);
    handoff.publish(*plugIn);
    return result;
}

tresult Processor::processBlock(ProcessData& data)
{
    SpeakerArrangement outArrangement = 0;
    SingleComponentEffect::getBusArrangement(kOutput, 0, outArrangement);
    const uint32 outChannels = static_cast<uint32>(SpeakerArr::getChannelCount(outArrangement));
    const uint32 moved = movedChannels(outChannels);

    // A block without usable buffers still carries parameter changes (hosts flush them so
    // while stopped); apply them and touch no audio.
    const bool hasInput = plugIn->noAudioInput || hasChannels(data.inputs, data.numInputs, moved);
    const bool hasOutput = hasChannels(data.outputs, data.numOutputs, moved);
    applyParameterChanges(data);
    if (!hasInput || !hasOutput || data.numSamples <= 0 || moved == 0) return kResultOk;
    silenceUnwritten(data, moved);

    const double reciprocalRate = 1.0 / static_cast<double>(plugIn->sampleRate);
    const float bypassStep = 1.0f / (kBypassFadeSeconds * static_cast<float>(plugIn->sampleRate));
    HostTimeInfo timeInfo;
    HostInfoRecord timeRecord;
    if (data.processContext)
    {
        fillTimeInfo(timeInfo, *data.processContext, reciprocalRate);
        timeRecord.timeInfo = &timeInfo;
        timeRecord.count = -1;
        plugIn->receiveHostInfo(kHostInfoTime, &timeRecord);
    }

    const bool bypass = !plugIn->noAudioInput && bypassed.load(std::memory_order_relaxed);
    if (bypass && plugIn->processesWholeBuffers)
    {
        for (uint32 c = 0; c < moved; ++c)
        {
            const float* in = data.inputs[0].channelBuffers32[c];
            float* out = data.outputs[0].channelBuffers32[c];
            if (in != out) std::copy(in, in + data.numSamples, out);
        }
        writeMeters(data, true);
        return kResultOk;
    }

    if (midiEventList) midiEventList->attach(data.inputEvents);

    if (plugIn->processesWholeBuffers)
    {
        processWholeBuffers(data, moved);
        writeMeters(data, true);
        return kResultOk;
    }

    // Frame path.
    float inFrame[2] = {0.0f, 0.0f};
    float outFrame[2] = {0.0f, 0.0f};
    float auxFrame[2] = {0.0f, 0.0f};
    AuxInputInfo auxInfo;
    const bool auxActive = auxInputEnabled && data.numInputs > 1 && audioInputs.size() > 1 &&
                           audioInputs.at(1)->isActive() && hasChannels(data.inputs + 1, 1, 1);

    IEventList* events = data.inputEvents;
    const int32 eventCount = events ? events->getEventCount() : 0;
    int32 eventIndex = 0;
    Event event{};
    bool pending = eventCount > 0 && events->getEvent(0, event) == kResultOk;

    // Read once: the calls into the plug-in below would make the compiler load them again
    // every frame.
    const bool audioIn = !plugIn->noAudioInput;
    const float* in0 = audioIn ? data.inputs[0].channelBuffers32[0] : nullptr;
    const float* in1 = audioIn && moved == 2 ? data.inputs[0].channelBuffers32[1] : nullptr;
    float* out0 = data.outputs[0].channelBuffers32[0];
    float* out1 = moved == 2 ? data.outputs[0].channelBuffers32[1] : nullptr;
    const bool timed = data.processContext != nullptr;
    const int32 frames = data.numSamples;
    const int32 lastFrame = frames - 1;
    const FrameChannels channels{in0, in1, out0, out1};
    for (int32 i = 0; i < frames; ++i)
    {
        if (!auxActive && !bypass && bypassMix <= 0.0f)
        {
            // Up to the frame where the next event is due.
            const int32 until = pending ? std::clamp(event.sampleOffset, i, lastFrame) : frames;
            runPlainFrames(plugIn, channels, moved, i, until, inFrame, outFrame,
                           timed ? &timeInfo : nullptr, &timeRecord, reciprocalRate);
            i = until;
            if (i == frames) break;
        }
        if (auxActive)
        {
            const AudioBusBuffers& aux = data.inputs[1];
            auxFrame[0] = aux.channelBuffers32[0][i];
            if (aux.numChannels == 2 && aux.channelBuffers32[1])
                auxFrame[1] = aux.channelBuffers32[1][i];
            auxInfo.active = true;
            auxInfo.channelCount = aux.numChannels;
            auxInfo.frame = auxFrame;
            plugIn->processAuxInput(&auxInfo);
        }

        // Late (out-of-order) events play now; events beyond the block play on its last frame.
        while (pending && (event.sampleOffset <= i || i == lastFrame))
        {
            relayMidiEvent(plugIn, event);
            ++eventIndex;
            pending = eventIndex < eventCount && events->getEvent(eventIndex, event) == kResultOk;
        }

        if (audioIn)
        {
            inFrame[0] = in0[i];
            if (in1) inFrame[1] = in1[i];
        }
        plugIn->processFrame(inFrame, outFrame, moved, moved);
        // The room keeps running while bypassed, so leaving bypass plays what it heard
        // meanwhile; the switch is a short crossfade both ways.
        if (bypass || bypassMix > 0.0f)
        {
            bypassMix = bypass ? std::min(bypassMix + bypassStep, 1.0f)
                               : std::max(bypassMix - bypassStep, 0.0f);
            for (uint32 c = 0; c < moved; ++c)
                outFrame[c] = bypassMix >= 1.0f
                                  ? inFrame[c]
                                  : outFrame[c] * (1.0f - bypassMix) + inFrame[c] * bypassMix;
        }
        out0[i] = outFrame[0];
        if (out1) out1[i] = outFrame[1];

        if (timed) advanceTime(timeInfo, 1, reciprocalRate);
        plugIn->receiveHostInfo(kHostInfoTime, &timeRecord);
    }

    writeMeters(data, bypass);
    return kResultOk;
}

void Processor::processWholeBuffers(ProcessData& data, uint32 moved)
{
    if (auxInputEnabled && data.numInputs > 1 && audioInputs.size() > 1 &&
        audioInputs.at(1)->isActive() && data.inputs[1].channelBuffers32)
    {
        AuxInputInfo auxInfo;
        auxInfo.active = true;
        auxInfo.channelCount = data.inputs[1].numChannels;
        auxInfo.channelBuffers = data.inputs[1].channelBuffers32;
        plugIn->processAuxInput(&auxInfo);
    }
    float** outputs = data.outputs[0].channelBuffers32;
    if (!plugIn->noAudioInput)
    {
        plugIn->processBuffers(data.inputs[0].channelBuffers32, outputs, moved,
                               static_cast<uint32>(data.numSamples));
        return;
    }
    // Feed silence in chunks no longer than the silent buffers.
    const int32 capacity = static_cast<int32>(silentChannel[0].size());
    if (capacity <= 0) return;
    float* chunkOut[2] = {nullptr, nullptr};
    for (int32 start = 0; start < data.numSamples; start += capacity)
    {
        const int32 frames = std::min(capacity, data.numSamples - start);
        for (uint32 c = 0; c < moved; ++c)
            chunkOut[c] = outputs[c] + start;
        plugIn->processBuffers(silentInputChannels, chunkOut, moved, static_cast<uint32>(frames));
    }
}

bool Processor::applyParameterChanges(ProcessData& data)
{
    // The host may free or reuse last block's queues; no update queue keeps reading them.
    for (CVSTParamUpdateQueue* attached : attachedQueues)
        attached->detach();
    attachedQueues.clear();

    IParameterChanges* changes = data.inputParameterChanges;
    if (!changes) return false;
    const int32 count = changes->getParameterCount();
    bool applied = false;
    for (int32 k = 0; k < count; ++k)
    {
        IParamValueQueue* queue = changes->getParameterData(k);
        if (!queue) continue;
        const int32 points = queue->getPointCount();
        // An empty queue carries nothing; the rest of the block still applies.
        if (points < 1) continue;
        const ParamID id = queue->getParameterId();
        int32 offset = 0;
        ParamValue v = 0.0;
        if (queue->getPoint(points - 1, offset, v) != kResultOk) continue;
        // Host values are not trusted.
        if (std::isnan(v)) continue;
        v = std::clamp(v, 0.0, 1.0);
        applied = true;

        CControlDescriptor* d = plugIn->controlAt(id);
        if (!d)
        {
            applyFixedParameter(id, v);
            continue;
        }

        float x = static_cast<float>(v);
        if (d->logScale)
        {
            x = static_cast<float>(std::log10(static_cast<float>(v) * 9.0 + 1.0));
        }
        else if (d->voltOctaveScale)
        {
            if (d->dataType == CControlDescriptor::kUnsigned)
            {
                x = plugIn->getControlValue(id);
            }
            else
            {
                const float minValue = d->minValue;
                const float maxValue = d->maxValue;
                const float ratio = maxValue / minValue;
                const float exponent = static_cast<float>(static_cast<double>(fastLog2(ratio)) *
                                                          static_cast<float>(v));
                x = (fastPow2(exponent) * minValue - minValue) / (maxValue - minValue);
            }
        }
        if (paramQueuesEnabled && id < paramQueues.size() && paramQueues[id])
        {
            CVSTParamUpdateQueue* updateQueue = paramQueues[id].get();
            if (!updateQueue->isAttached()) attachedQueues.push_back(updateQueue);
            updateQueue->attach(data.numSamples, queue);
            d->pendingQueue = updateQueue;
        }
        else
        {
            d->pendingQueue = nullptr;
        }
        plugIn->setControlNormalized(id, x, false);
    }
    return applied;
}

void Processor::applyFixedParameter(ParamID id, ParamValue v)
{
    switch (id)
    {
    case kButton1Id:
    case kButton2Id:
    case kButton3Id:
        plugIn->controlChanged(CPlugIn::kButtonControlBase + (id - kButton1Id));
        break;
    case kJoystickXId:
        plugIn->setJoystickX(static_cast<float>(2.0 * v - 1.0), true);
        break;
    case kJoystickYId:
        plugIn->setJoystickY(static_cast<float>(2.0 * v - 1.0), true);
        break;
    case kBypassId:
        bypassed.store(v != 0.0, std::memory_order_relaxed);
        break;
    default:
        if (id >= kPitchBendId && id <= kAllNotesOffId) convertPseudoParameter(plugIn, id, v);
        break;
    }
}

void Processor::writeMeters(ProcessData& data, bool zeroed)
{
    if (!plugIn || !data.outputParameterChanges) return;
    for (size_t k = 0; k < meterParamIds.size(); ++k)
    {
        const int32 id = meterParamIds[k];
        CControlDescriptor* d = plugIn->controlAt(static_cast<uint32>(id));
        if (!d) continue;
        int32 queueIndex = 0;
        IParamValueQueue* queue =
            data.outputParameterChanges->addParameterData(static_cast<ParamID>(id), queueIndex);
        if (!queue || !d->meterVariable) continue;
        int32 pointIndex = 0;
        const ParamValue value = zeroed ? 0.0 : static_cast<ParamValue>(*d->meterVariable);
        queue->addPoint(static_cast<int32>(k), value, pointIndex);
    }
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
