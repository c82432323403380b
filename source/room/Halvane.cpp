// SPDX-License-Identifier: GPL-3.0-or-later
#include "Halvane.h"

#include "VectorHelpers.h"

#include <algorithm>
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstring>

namespace
{
struct ControlRow
{
    const char* name;
    const char* variable;
    uint32_t dataType;
    float minValue;
    float maxValue;
    float defaultValue;
    const char* enumList;
};

constexpr const char* kNoEnum = "SEL1,SEL2,SEL3";

const ControlRow kControls[CHalvane::kControlCount] = {
    {"Gain", "m_fGain", CControlDescriptor::kFloat, 0.0f, 1.0f, 0.5f, kNoEnum},
    {"Position", "m_uPosition", CControlDescriptor::kUnsigned, 0.0f, 10.0f, 0.0f,
     "Center,L22,L32,L45,L64,L90,R22,R32,R45,R64,R90"},
    {"Vol L-R", "m_fVolLR", CControlDescriptor::kFloat, 0.0f, 1.0f, 1.0f, kNoEnum},
    {"Abs L-R", "m_fAbsLR", CControlDescriptor::kFloat, 0.0f, 14.0f, 7.0f, kNoEnum},
    {"Vol F-B", "m_fVolFB", CControlDescriptor::kFloat, 0.0f, 1.0f, 1.0f, kNoEnum},
    {"Abs F-B", "m_fAbsFB", CControlDescriptor::kFloat, 0.0f, 14.0f, 7.0f, kNoEnum},
    {"Vol C-F", "m_fVolCF", CControlDescriptor::kFloat, 0.0f, 1.0f, 1.0f, kNoEnum},
    {"Abs C-F", "m_fAbsCF", CControlDescriptor::kFloat, 0.0f, 14.0f, 7.0f, kNoEnum},
    {"Decay Type", "m_nCurveType", CControlDescriptor::kInt, 0.0f, 1.0f, 1.0f, kNoEnum},
    {"Stereo/Mono", "m_fStereoMono", CControlDescriptor::kUnsigned, 0.0f, 1.0f, 0.0f,
     "Stereo,Mono"},
    {"Left/Right", "m_fLeftRight", CControlDescriptor::kUnsigned, 0.0f, 1.0f, 0.0f, "Left,Right"},
};

void setUpJoystickAxis(CControlDescriptor& axis, uint32_t id, const char* name, uint32_t controller)
{
    axis.controlId = id;
    axis.setDisplayName(name);
    axis.midiStatus = 176;
    axis.midiController = controller;
    axis.directValue = 0.0f;
    axis.joystickRotated = true;
    axis.smoothEnabled = false;
    axis.smoothTimeMs = 100.0f;
    for (double& v : axis.presetValues)
        v = 0.0;
}
} // namespace

CHalvane::CHalvane()
{
    const int rate = static_cast<int>(sampleRate);
    const CRoomLayout layout = CRoomLayout::forRate(rate);
    buildEngine(layout, CResponseSet::forRate(rate, layout.responseLength));

    registerControls();
    pluginName = "HalvaneDuo";
    hasEditorDescription = true;
    noAudioInput = false;
    wantsAllMidi = false;
}

CHalvane::~CHalvane() = default;

void CHalvane::buildEngine(const CRoomLayout& layout, std::shared_ptr<const CResponseSet> set)
{
    const int rate = static_cast<int>(sampleRate);
    const int length = layout.responseLength;
    for (auto& c : convolvers)
        c.reset();
    for (auto& d : stageDelays)
        d.reset();
    for (int stage = 0; stage < layout.stageCount; ++stage)
    {
        const CRoomStage& s = layout.stages[stage];
        for (int ear = 0; ear < 2; ++ear)
        {
            auto& c = convolvers[stage * 2 + ear];
            c = std::make_unique<CPartitionedConvolver>(0, rate, ear, length, s.length, s.block,
                                                        s.start, s.lag);
            c->useResponseSet(set.get());
            // Sized to the delay: a buffer of seconds would be most of an instance's memory.
            if (s.delay > 0)
                stageDelays[stage * 2 + ear] =
                    std::make_unique<CDelayLine>(rate, s.delay, 0.0, 100.0, s.delay + 1);
        }
    }
    convolverCount = 2 * layout.stageCount;
    runsInBatches = true;
    for (int i = 0; i < convolverCount; ++i)
        runsInBatches = runsInBatches && convolvers[i]->worksOnGrid() &&
                        convolvers[i]->samplesToWork() == kRun && !stageDelays[i];
    runFill = 0;
    for (int ear = 0; ear < 2; ++ear)
        std::fill(runOutputs[ear], runOutputs[ear] + kRun, 0.0);
    roomLayout = layout;
    responseSet = std::move(set);
}

int CHalvane::tailSamplesFor(uint32_t rate)
{
    const CRoomLayout layout = CRoomLayout::forRate(static_cast<int>(rate));
    return layout.naturalLength + layout.latency();
}

float CHalvane::tailTimeFor(uint32_t rate)
{
    if (rate == 0) return 0.0f;
    const int samples = tailSamplesFor(rate);
    // Whole milliseconds, rounded up, then checked the way the binding converts back.
    float ms = std::ceil(static_cast<float>(samples * 1000.0 / rate));
    while (static_cast<double>(ms) / 1000.0 * rate < samples)
        ms += 1.0f;
    return ms;
}

bool CHalvane::registerControls()
{
    if (controlList.count() != 0) return true;

    void* variables[kControlCount] = {&m_fGain,      &m_uPosition,   &m_fVolLR,    &m_fAbsLR,
                                      &m_fVolFB,     &m_fAbsFB,      &m_fVolCF,    &m_fAbsCF,
                                      &m_nCurveType, &m_fStereoMono, &m_fLeftRight};
    for (uint32_t id = 0; id < kControlCount; ++id)
    {
        const ControlRow& row = kControls[id];
        CControlDescriptor d;
        d.kind = CControlDescriptor::kKindContinuous;
        d.controlId = id;
        d.minValue = row.minValue;
        d.maxValue = row.maxValue;
        d.dataType = row.dataType;
        d.setDisplayName(row.name);
        d.setUnitsText("");
        d.setVariableName(row.variable);
        d.setEnumList(row.enumList);
        d.smoothEnabled = false;
        d.smoothTimeMs = 100.0f;
        d.midiLearnEnabled = false;
        d.midiStatus = 176;
        d.midiController = 3;
        d.displayPrecision = 2;
        for (double& v : d.presetValues)
            v = 0.0;
        d.presetValues[0] = row.defaultValue;
        switch (row.dataType)
        {
        case CControlDescriptor::kFloat:
            d.floatVariable = static_cast<float*>(variables[id]);
            *d.floatVariable = row.defaultValue;
            break;
        case CControlDescriptor::kInt:
            d.intVariable = static_cast<int32_t*>(variables[id]);
            *d.intVariable = static_cast<int32_t>(row.defaultValue);
            break;
        case CControlDescriptor::kUnsigned:
            d.uintVariable = static_cast<uint32_t*>(variables[id]);
            *d.uintVariable = static_cast<uint32_t>(row.defaultValue);
            break;
        default:
            break;
        }
        controlList.appendCopy(d);
    }

    setUpJoystickAxis(joystickX, 32773, "MIDI JS X", 16);
    joystickX.dataType = CControlDescriptor::kFloat;
    setUpJoystickAxis(joystickY, 32774, "MIDI JS Y", 17);

    presetNames[0] = "Factory Preset";
    for (int slot = 1; slot < kPresetSlots; ++slot)
        presetNames[slot] = "";
    hasEditorDescription = true;
    knobMode = 2;
    latencySamples = 0.0f;
    tailTimeMs = tailTimeFor(sampleRate);
    buttonNames[0] = "B1";
    buttonNames[1] = "B2";
    buttonNames[2] = "B3";

    buildControlIndex();
    return true;
}

void CHalvane::rebuild()
{
    const int rate = static_cast<int>(sampleRate);
    for (int i = 0; i < convolverCount; ++i)
    {
        CPartitionedConvolver& c = *convolvers[i];
        c.loadPosition(static_cast<int>(m_uPosition));
        c.setAllDecays(m_fAbsFB, m_fAbsLR, m_fAbsCF, rate, m_nCurveType);
        c.setGains(m_fVolFB, m_fVolLR, m_fVolCF);
        if (stageDelays[i]) stageDelays[i]->reset(roomLayout.stages[i / 2].delay, 0.0, 100.0);
    }
    running = false;
}

void CHalvane::settleGlides()
{
    const int length = static_cast<int>(std::lround(kGlideSeconds * sampleRate));
    gainGlide.setLength(length);
    gainGlide.reset(m_fGain);
    for (int ear = 0; ear < 2; ++ear)
    {
        routeGlides[ear].setLength(length);
        routeGlides[ear].reset(earUsesSecond(ear) ? 1.0f : 0.0f);
    }
}

bool CHalvane::onCreated()
{
    rebuild();
    return true;
}

bool CHalvane::prepare()
{
    // A new rate gets the bank resampled to it and stages sized for it; the same rate
    // keeps the running engine.
    const int rate = static_cast<int>(sampleRate);
    CRoomLayout layout = CRoomLayout::forRate(rate);
    if (layout != roomLayout || !responseSet || responseSet->rate() != rate)
    {
        auto set = CResponseSet::forRate(rate, layout.responseLength);
        // The bank could not be resampled: play it tap for tap rather than not at all.
        if (set->rate() != rate) layout = CRoomLayout::forRate(set->rate());
        if (layout != roomLayout || set != responseSet) buildEngine(layout, std::move(set));
    }
    rebuild();
    tailTimeMs = tailTimeFor(sampleRate);
    return CPlugIn::prepare();
}

bool CHalvane::controlChanged(uint32_t controlId)
{
    const int rate = static_cast<int>(sampleRate);
    switch (controlId)
    {
    case kPosition:
        for (int i = 0; i < convolverCount; ++i)
            convolvers[i]->loadPosition(static_cast<int>(m_uPosition));
        break;
    case kVolLR:
    case kVolFB:
    case kVolCF:
        for (int i = 0; i < convolverCount; ++i)
            convolvers[i]->setGains(m_fVolFB, m_fVolLR, m_fVolCF);
        break;
    case kAbsLR:
        for (int i = 0; i < convolverCount; ++i)
            convolvers[i]->setDecayLR(m_fAbsLR, rate, m_nCurveType);
        break;
    case kAbsFB:
        for (int i = 0; i < convolverCount; ++i)
            convolvers[i]->setDecayFB(m_fAbsFB, rate, m_nCurveType);
        break;
    case kAbsCF:
        for (int i = 0; i < convolverCount; ++i)
            convolvers[i]->setDecayCF(m_fAbsCF, rate, m_nCurveType);
        break;
    case kDecayType:
        for (int i = 0; i < convolverCount; ++i)
            convolvers[i]->setAllDecays(m_fAbsFB, m_fAbsLR, m_fAbsCF, rate, m_nCurveType);
        break;
    default:
        break;
    }
    return true;
}

float CHalvane::earInput(int ear, float first, float second, bool useSecond)
{
    CValueGlide& glide = routeGlides[ear];
    const float mix = glide.next(useSecond ? 1.0f : 0.0f);
    if (glide.settled()) return useSecond ? second : first;
    return first + (second - first) * mix;
}

namespace
{
// Whether every sample lies within the limit, eight at a time with the sign masked off (NaN
// fails too): a test per sample cost the room over a per cent.
HALVANE_WIDE_CLONES bool withinLimit(const double* x, int count, double limit)
{
    typedef double Eight __attribute__((vector_size(64)));
    typedef long long EightBits __attribute__((vector_size(64)));
    const EightBits noSign = {LLONG_MAX, LLONG_MAX, LLONG_MAX, LLONG_MAX,
                              LLONG_MAX, LLONG_MAX, LLONG_MAX, LLONG_MAX};
    const Eight most = {limit, limit, limit, limit, limit, limit, limit, limit};
    EightBits fine = ~EightBits{};
    int i = 0;
    for (; i + 8 <= count; i += 8)
        fine &= (Eight)(loadVector<EightBits>(x + i) & noSign) <= most;
    fine &= __builtin_shufflevector(fine, fine, 4, 5, 6, 7, 0, 1, 2, 3);
    fine &= __builtin_shufflevector(fine, fine, 2, 3, 0, 1, 4, 5, 6, 7);
    fine &= __builtin_shufflevector(fine, fine, 1, 0, 2, 3, 4, 5, 6, 7);
    bool all = fine[0] != 0;
    for (; i < count; ++i)
        all = all && std::fabs(x[i]) <= limit;
    return all;
}
} // namespace

void CHalvane::clipLoudest(double* x, int count)
{
    if (withinLimit(x, count, kLoudestInput)) return;
    for (int i = 0; i < count; ++i)
        if (!(std::fabs(x[i]) <= kLoudestInput))
            x[i] = std::isfinite(x[i]) ? std::copysign(kLoudestInput, x[i]) : 0.0;
}

float CHalvane::renderEar(int ear, float x, float gain)
{
    double input = x;
    clipLoudest(&input, 1);
    // Summed from the far end in, as the two-stage room did (tail + head).
    double y = 0.0;
    for (int i = convolverCount - 2 + ear; i >= 0; i -= 2)
    {
        CPartitionedConvolver& c = *convolvers[i];
        c.process(input);
        if (CDelayLine* delay = stageDelays[i].get())
        {
            delay->push(c.output());
            y += delay->output();
        }
        else
        {
            y += c.output();
        }
    }
    return toSample(y) * gain;
}

void CHalvane::renderWholeRun()
{
    // Both ears' inputs lie side by side: one test for the two.
    static_assert(sizeof runInputs == 2 * kRun * sizeof(double), "ears side by side");
    clipLoudest(runInputs[0], 2 * kRun);
    for (int ear = 0; ear < 2; ++ear)
    {
        double* y = runOutputs[ear];
        std::fill(y, y + kRun, 0.0);
        // Summed from the far end in, as frame by frame.
        for (int i = convolverCount - 2 + ear; i >= 0; i -= 2)
        {
            CPartitionedConvolver& c = *convolvers[i];
            c.processRun(runInputs[ear], kRun);
            c.addOutputs(y, kRun);
        }
    }
}

bool CHalvane::finishRun(float* out, uint32_t outChannels)
{
    runFill = 0;
    renderWholeRun();
    writeOutputs(out, outChannels);
    return true;
}

bool CHalvane::processAnyFrame(const float* in, float* out, uint32_t inChannels,
                               uint32_t outChannels)
{
    smoothControls();
    if (outChannels == 0) return true;
    if (!running)
    {
        settleGlides();
        running = true;
    }

    const float first = inChannels > 0 ? in[0] : 0.0f;
    // A single input channel is the source whichever side Left/Right picks.
    const float second = inChannels > 1 ? in[1] : first;
    const float gain = gainGlide.next(m_fGain);

    if (runsInBatches)
    {
        const float x[2] = {earInput(0, first, second, earUsesSecond(0)),
                            earInput(1, first, second, earUsesSecond(1))};
        renderRun(x);
        writeOutputs(out, outChannels);
        return true;
    }
    out[0] = renderEar(0, earInput(0, first, second, earUsesSecond(0)), gain);
    if (outChannels < 2) return true;
    out[1] = renderEar(1, earInput(1, first, second, earUsesSecond(1)), gain);
    return true;
}

namespace
{
// Apart and restrict-qualified so that it vectorises, as narrow() is: in line, the host's buffers
// might be the room's own as far as the compiler knows, and the copies went a sample at a time.
void widen(const float* __restrict from, double* __restrict to, uint32_t count)
{
    for (uint32_t j = 0; j < count; ++j)
        to[j] = from[j];
}

} // namespace

void CHalvane::narrow(const double* __restrict from, float* __restrict to, uint32_t count,
                      float gain)
{
    for (uint32_t j = 0; j < count; ++j)
        to[j] = toSample(from[j]) * gain;
}

bool CHalvane::processFrames(const float* const in[2], float* const out[2], uint32_t channels,
                             uint32_t frames)
{
    if (channels == 0 || !in[0] || !out[0]) return false;
    // A single input channel is the source whichever side Left/Right picks.
    const float* const second = channels > 1 && in[1] ? in[1] : in[0];
    float* const outSecond = channels > 1 ? out[1] : nullptr;
    for (uint32_t i = 0; i < frames;)
    {
        if (!restsInRuns())
        {
            const float frame[2] = {in[0][i], second[i]};
            float result[2];
            processAnyFrame(frame, result, channels, channels);
            out[0][i] = result[0];
            if (outSecond) outSecond[i] = result[1];
            ++i;
            continue;
        }
        // Up to the frame that completes the run: each frame reads the outputs one place on,
        // and the completing one the first of the run just rendered.
        const uint32_t n = std::min(frames - i, static_cast<uint32_t>(kRun - runFill));
        const float* const ear0 = earUsesSecond(0) ? second : in[0];
        const float* const ear1 = earUsesSecond(1) ? second : in[0];
        const float gain = gainGlide.value();
        const bool completes = runFill + static_cast<int>(n) == kRun;
        const uint32_t plain = completes ? n - 1 : n;
        widen(ear0 + i, runInputs[0] + runFill, n);
        widen(ear1 + i, runInputs[1] + runFill, n);
        narrow(runOutputs[0] + runFill + 1, out[0] + i, plain, gain);
        if (outSecond) narrow(runOutputs[1] + runFill + 1, outSecond + i, plain, gain);
        i += plain;
        runFill += static_cast<int>(plain);
        if (completes)
        {
            float result[2];
            finishRun(result, channels);
            out[0][i] = result[0];
            if (outSecond) outSecond[i] = result[1];
            ++i;
        }
    }
    return true;
}

bool CHalvane::processSpare(const float* source, float* destination, uint32_t, uint32_t,
                            uint32_t frames)
{
    if (source && destination) std::memmove(destination, source, frames * sizeof(float));
    return true;
}

bool CHalvane::processBuffers(float** inputs, float** outputs, uint32_t channels, uint32_t frames)
{
    for (uint32_t c = 0; c < channels; ++c)
        if (inputs && outputs && inputs[c] && outputs[c])
            std::memmove(outputs[c], inputs[c], frames * sizeof(float));
    return true;
}

intptr_t CHalvane::handleEditorMessage(EditorMessage* message)
{
    return CPlugIn::handleEditorMessage(message);
}
