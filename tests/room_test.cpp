// SPDX-License-Identifier: GPL-3.0-or-later
#include "room/Halvane.h"
#include "room/ResponseBank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <vector>

// Test programs supply the module's factory themselves.
CPlugIn* createPlugIn()
{
    return new CHalvane();
}

namespace
{
constexpr int kLength = ResponseBank::kResponseLength;
constexpr int kLatency = 255;

std::unique_ptr<CHalvane> makeRoom(uint32_t rate = 44100)
{
    auto room = std::make_unique<CHalvane>();
    room->onCreated();
    room->sampleRate = rate;
    room->prepare();
    return room;
}

struct Stereo
{
    std::vector<float> left;
    std::vector<float> right;
};

Stereo render(CHalvane& room, const Stereo& input, size_t frames, uint32_t inChannels = 2)
{
    Stereo out{std::vector<float>(frames), std::vector<float>(frames)};
    for (size_t t = 0; t < frames; ++t)
    {
        const float in[2] = {t < input.left.size() ? input.left[t] : 0.0f,
                             t < input.right.size() ? input.right[t] : 0.0f};
        float o[2] = {0.0f, 0.0f};
        room.processFrame(in, o, inChannels, 2);
        out.left[t] = o[0];
        out.right[t] = o[1];
    }
    return out;
}

Stereo impulses(size_t leftAt, size_t rightAt, size_t length)
{
    Stereo s{std::vector<float>(length), std::vector<float>(length)};
    if (leftAt < length) s.left[leftAt] = 1.0f;
    if (rightAt < length) s.right[rightAt] = 1.0f;
    return s;
}

struct Settings
{
    int position = 0;
    double gain = 0.5;
    bool hyperbolic = true;
    double absorption = 7.0; // all three axes
    double rate = 44100.0;
    const CResponseSet* responses = nullptr; // the compiled-in bank unless given
};

// What one ear should give for a unit impulse at frame `at`:
// gain * sum over axes of env[n] * response[n], n = t - at - 255.
std::vector<double> expectedEar(const Settings& s, int ear, size_t at, size_t frames)
{
    std::vector<double> y(frames, 0.0);
    const size_t length = s.responses ? size_t(s.responses->length()) : size_t(kLength);
    for (size_t t = at + kLatency; t < frames && t - at - kLatency < length; ++t)
    {
        const int n = static_cast<int>(t - at - kLatency);
        const double env = s.hyperbolic ? s.rate / (n * (s.absorption * 7.5 + 0.07) + s.rate)
                                        : std::exp(-(n * s.absorption) / s.rate);
        double h = 0.0;
        for (int axis = 0; axis < 3; ++axis)
            h += env * (s.responses ? s.responses->responseFor(s.position, axis, ear)
                                    : ResponseBank::responseFor(s.position, axis, ear))[n];
        y[t] = s.gain * h;
    }
    return y;
}

void expectMatches(const std::vector<float>& actual, const std::vector<double>& expected,
                   const char* what)
{
    double peak = 0.0;
    for (double v : expected)
        peak = std::max(peak, std::fabs(v));
    ASSERT_GT(peak, 0.0) << what;
    for (size_t t = 0; t < actual.size(); ++t)
        ASSERT_NEAR(actual[t], expected[t], 1e-6 * peak) << what << " frame " << t;
}

void expectSilent(const std::vector<float>& v, const char* what)
{
    for (size_t t = 0; t < v.size(); ++t)
        ASSERT_EQ(v[t], 0.0f) << what << " frame " << t;
}

Stereo noise(size_t frames, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    Stereo s{std::vector<float>(frames), std::vector<float>(frames)};
    for (size_t t = 0; t < frames; ++t)
    {
        s.left[t] = dist(rng);
        s.right[t] = dist(rng);
    }
    return s;
}
} // namespace

TEST(Halvane, DefaultsRenderTheLeftImpulseThroughTheCenterRoomOnTheLeftEarOnly)
{
    auto room = makeRoom();
    const size_t frames = kLatency + kLength + 64;
    const Stereo out = render(*room, impulses(0, frames, frames), frames);
    expectMatches(out.left, expectedEar(Settings{}, 0, 0, frames), "left");
    expectSilent(out.right, "right");
}

TEST(Halvane, StereoAndMonoRouteTheInputsToTheEars)
{
    // Left impulse at frame 0, right impulse at frame 100; long enough to cover the seam
    // between head and tail.
    const size_t frames = 4096 + kLatency + 1500;
    const Stereo in = impulses(0, 100, frames);
    const struct
    {
        uint32_t mono;
        uint32_t right;
        size_t leftEarFrom;
        size_t rightEarFrom;
    } cases[] = {{0, 0, 0, 100}, {0, 1, 0, 100}, {1, 0, 0, 0}, {1, 1, 100, 100}};
    for (const auto& c : cases)
    {
        auto room = makeRoom();
        room->setControlValue(CHalvane::kStereoMono, float(c.mono));
        room->setControlValue(CHalvane::kLeftRight, float(c.right));
        const Stereo out = render(*room, in, frames);
        SCOPED_TRACE(testing::Message() << "mono " << c.mono << " right " << c.right);
        expectMatches(out.left, expectedEar(Settings{}, 0, c.leftEarFrom, frames), "left");
        expectMatches(out.right, expectedEar(Settings{}, 1, c.rightEarFrom, frames), "right");
    }

    // A mono bus feeds both ears from its one channel.
    auto room = makeRoom();
    const Stereo out = render(*room, in, frames, 1);
    expectMatches(out.left, expectedEar(Settings{}, 0, 0, frames), "mono bus left");
    expectMatches(out.right, expectedEar(Settings{}, 1, 0, frames), "mono bus right");
}

TEST(Halvane, DecayTypeSwitchesEveryEnvelopeAndSurvivesReactivation)
{
    auto room = makeRoom();
    auto expectCurve = [&](CDecayEnvelope::Curve curve, double rate)
    {
        for (int stage = 0; stage < room->stageCount(); ++stage)
            for (int ear = 0; ear < 2; ++ear)
                for (int axis = 0; axis < 3; ++axis)
                {
                    const CPartitionedConvolver& c = room->convolver(stage, ear);
                    ASSERT_EQ(c.curve(axis), curve) << stage << ear << axis;
                    const int n = c.segmentBegin() + 1000;
                    const double env = curve == CDecayEnvelope::kExponential
                                           ? std::exp(-(n * 7.0) / rate)
                                           : rate / (n * (7.0 * 7.5 + 0.07) + rate);
                    ASSERT_DOUBLE_EQ(c.envelope(axis, n), env) << stage << ear << axis;
                }
    };
    expectCurve(CDecayEnvelope::kHyperbolic, 44100.0);
    room->setControlValue(CHalvane::kDecayType, 0.0f);
    expectCurve(CDecayEnvelope::kExponential, 44100.0);

    // A new sample rate rebuilds the envelopes with the curve the control shows.
    room->sampleRate = 48000;
    room->prepare();
    EXPECT_EQ(room->m_nCurveType, 0);
    expectCurve(CDecayEnvelope::kExponential, 48000.0);

    const size_t frames = 4096 + kLatency + 1500;
    const Stereo out = render(*room, impulses(0, frames, frames), frames);
    Settings exp48;
    exp48.hyperbolic = false;
    exp48.rate = 48000.0;
    exp48.responses = &room->responses();
    ASSERT_EQ(room->responses().rate(), 48000);
    expectMatches(out.left, expectedEar(exp48, 0, 0, frames), "exponential at 48 kHz");

    room->setControlValue(CHalvane::kDecayType, 1.0f);
    expectCurve(CDecayEnvelope::kHyperbolic, 48000.0);
}

TEST(Halvane, AllVolumesAtZeroSilenceTheOutputOnceTheRingsAreRefreshed)
{
    auto room = makeRoom();
    const size_t change = 5000;
    // The slowest stage: its partitions plus the block in flight, the one after and the one
    // its last replaced partition still hears the handed-over input in, then the lag and
    // delay that line it up behind the stage before.
    size_t silentFrom = change;
    const CRoomLayout& layout = room->layout();
    for (int i = 0; i < layout.stageCount; ++i)
    {
        const CRoomStage& s = layout.stages[i];
        const size_t refreshed = size_t(s.length + 4 * s.block + s.lag + s.delay);
        silentFrom = std::max(silentFrom, change + refreshed);
    }
    const Stereo in = noise(silentFrom + 3000, 21u);
    bool soundAfterChange = false;
    for (size_t t = 0; t < in.left.size(); ++t)
    {
        if (t == change)
        {
            room->setControlValue(CHalvane::kVolLR, 0.0f);
            room->setControlValue(CHalvane::kVolFB, 0.0f);
            room->setControlValue(CHalvane::kVolCF, 0.0f);
        }
        const float frame[2] = {in.left[t], in.right[t]};
        float out[2];
        room->processFrame(frame, out, 2, 2);
        if (t > change && t < change + 8192 && out[0] != 0.0f) soundAfterChange = true;
        if (t >= silentFrom)
        {
            ASSERT_EQ(out[0], 0.0f) << t;
            ASSERT_EQ(out[1], 0.0f) << t;
        }
    }
    EXPECT_TRUE(soundAfterChange);
}

TEST(Halvane, GainGlidesFromTheVeryNextFrameAndThenActsExactly)
{
    auto a = makeRoom();
    auto b = makeRoom();
    const size_t change = 700;
    const size_t glide = static_cast<size_t>(CHalvane::kGlideSeconds * 44100.0 + 0.5);
    const Stereo in = noise(change + glide + 1200, 22u);
    double lastRatio = 1.0;
    for (size_t t = 0; t < in.left.size(); ++t)
    {
        if (t == change) b->setControlValue(CHalvane::kGain, 0.25f);
        const float frame[2] = {in.left[t], in.right[t]};
        float oa[2];
        float ob[2];
        a->processFrame(frame, oa, 2, 2);
        b->processFrame(frame, ob, 2, 2);
        if (t < change || t >= change + glide - 1)
        {
            ASSERT_EQ(ob[0], t < change ? oa[0] : oa[0] * 0.5f) << t;
            ASSERT_EQ(ob[1], t < change ? oa[1] : oa[1] * 0.5f) << t;
        }
        else if (oa[0] != 0.0f)
        {
            // On its way down from the very first frame, never past the target.
            const double ratio = double(ob[0]) / oa[0];
            ASSERT_LT(ratio, lastRatio + 1e-6) << t;
            ASSERT_GT(ratio, 0.5 - 1e-6) << t;
            if (t == change)
            {
                EXPECT_LT(ratio, 1.0);
            }
            lastRatio = ratio;
        }
    }
    EXPECT_LT(lastRatio, 0.51);
    EXPECT_NE(a->m_fGain, b->m_fGain);
}

TEST(Halvane, RunsOfFramesGiveWhatFramesOneByOneGive)
{
    // Stretches of every length around the room's run of 32, with glides, smoothing-free
    // switches and a mono bus among them; each stretch starts with the settings changed.
    const uint32_t lengths[] = {1, 31, 32, 33, 5, 64, 100, 7, 257, 2, 30, 1024, 3, 96};
    for (uint32_t channels : {2u, 1u})
    {
        SCOPED_TRACE(testing::Message() << channels << " channels");
        auto frames = makeRoom(48000);
        auto runs = makeRoom(48000);
        const Stereo in = noise(12000, 31u);
        size_t t = 0;
        int k = 0;
        while (t < in.left.size())
        {
            const uint32_t n = std::min<uint32_t>(lengths[k % 14], uint32_t(in.left.size() - t));
            for (CHalvane* room : {frames.get(), runs.get()})
            {
                if (k == 3) room->setControlValue(CHalvane::kGain, 0.3f);
                if (k == 6) room->setControlValue(CHalvane::kStereoMono, 1.0f);
                if (k == 9) room->setControlValue(CHalvane::kLeftRight, 1.0f);
                if (k == 12) room->setControlValue(CHalvane::kStereoMono, 0.0f);
                if (k == 20) room->setControlValue(CHalvane::kAbsLR, 2.0f);
            }
            std::vector<float> out[2] = {std::vector<float>(n, -9.0f),
                                         std::vector<float>(n, -9.0f)};
            const float* const ins[2] = {&in.left[t], channels > 1 ? &in.right[t] : nullptr};
            float* const outs[2] = {out[0].data(), out[1].data()};
            ASSERT_TRUE(runs->processFrames(ins, outs, channels, n));
            for (uint32_t i = 0; i < n; ++i)
            {
                const float frame[2] = {in.left[t + i], in.right[t + i]};
                float o[2] = {-9.0f, -9.0f};
                frames->processFrame(frame, o, channels, channels);
                ASSERT_EQ(out[0][i], o[0]) << "frame " << t + i;
                ASSERT_EQ(out[1][i], o[1]) << "frame " << t + i;
            }
            t += n;
            ++k;
        }
    }
}

TEST(Halvane, PositionTenPointsEveryConvolverAtTheR90Arrays)
{
    auto room = makeRoom();
    room->setControlValue(CHalvane::kPosition, 10.0f);
    ASSERT_EQ(room->m_uPosition, 10u);
    const int places[2][3] = {{5, 3, 1}, {4, 2, 0}}; // [ear][axis]
    for (int stage = 0; stage < room->stageCount(); ++stage)
        for (int ear = 0; ear < 2; ++ear)
            for (int slotEar = 0; slotEar < 2; ++slotEar)
                for (int axis = 0; axis < 3; ++axis)
                    EXPECT_EQ(room->convolver(stage, ear).slot(slotEar * 3 + axis),
                              ResponseBank::data() + size_t(places[slotEar][axis]) * kLength)
                        << stage << ear << slotEar << axis;

    // And the sound follows, within the head stage's refresh time.
    const size_t settle = 4096 + 2 * 128;
    const size_t frames = settle + 4096 + kLatency + 200;
    Stereo in = impulses(settle, frames, frames);
    const Stereo out = render(*room, in, frames);
    Settings r90;
    r90.position = 10;
    std::vector<float> heard(out.left.begin() + settle, out.left.end());
    std::vector<double> expected = expectedEar(r90, 0, 0, frames - settle);
    expectMatches(heard, expected, "R90 left");
}

TEST(Halvane, NonFiniteInputLeavesTheOutputFinite)
{
    auto clean = makeRoom();
    auto dirty = makeRoom();
    const Stereo in = noise(6000, 23u);
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(),
                         std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (size_t t = 0; t < in.left.size(); ++t)
    {
        const bool poisoned = t % 61 == 7;
        const float good[2] = {poisoned ? 0.0f : in.left[t], in.right[t]};
        const float evil[2] = {poisoned ? bad[t % 3] : in.left[t],
                               poisoned ? bad[(t + 1) % 3] : in.right[t]};
        const float zeroRight[2] = {good[0], poisoned ? 0.0f : in.right[t]};
        float oc[2];
        float od[2];
        clean->processFrame(zeroRight, oc, 2, 2);
        dirty->processFrame(evil, od, 2, 2);
        ASSERT_TRUE(std::isfinite(od[0]) && std::isfinite(od[1])) << t;
        ASSERT_EQ(od[0], oc[0]) << t;
        ASSERT_EQ(od[1], oc[1]) << t;
    }
}

TEST(Halvane, TheLoudestFiniteInputLeavesTheOutputFiniteAtEveryRate)
{
    // Single-precision spectra of samples near the float limit overflowed, and the NaN stayed
    // in the ring for a whole round of every stage.
    for (uint32_t rate : {44100u, 192000u})
    {
        auto room = makeRoom(rate);
        room->setControlValue(CHalvane::kGain, 1.0f);
        for (uint32_t axis : {CHalvane::kAbsLR, CHalvane::kAbsFB, CHalvane::kAbsCF})
            room->setControlValue(axis, 0.0f);
        const size_t frames = rate / 2;
        bool heard = false;
        for (size_t t = 0; t < frames; ++t)
        {
            // Square waves at the limit, then silence with the tail ringing.
            const float x = t > frames / 2 ? 0.0f : (t / 7) % 2 ? FLT_MAX : -FLT_MAX;
            const float in[2] = {x, t % 2 ? x : -x};
            float out[2];
            room->processFrame(in, out, 2, 2);
            ASSERT_TRUE(std::isfinite(out[0]) && std::isfinite(out[1])) << rate << " " << t;
            heard = heard || std::fabs(out[0]) > 1e15f;
        }
        EXPECT_TRUE(heard) << rate;
    }
}

TEST(Halvane, ReportedTailCoversTheWholeResponseAtEveryRate)
{
    auto reported = [](const CHalvane& room)
    { return static_cast<uint32_t>(room.tailTimeMs / 1000.0 * room.sampleRate); };
    CHalvane fresh;
    EXPECT_GE(reported(fresh), uint32_t(CHalvane::kTailSamples));
    EXPECT_EQ(CHalvane::tailSamplesFor(44100), CHalvane::kTailSamples);

    for (uint32_t rate : {8000u, 11025u, 22050u, 44100u, 48000u, 88200u, 96000u, 176400u, 192000u,
                          352800u, 384000u})
    {
        const auto samples = static_cast<uint32_t>(CHalvane::tailSamplesFor(rate));
        const auto covered = static_cast<uint32_t>(CHalvane::tailTimeFor(rate) / 1000.0 * rate);
        EXPECT_GE(covered, samples) << rate;
        // Rounded up to whole milliseconds, not padded beyond that.
        EXPECT_LE(covered, samples + rate / 1000 + 1) << rate;
        // The room lasts as long in seconds at every rate.
        EXPECT_GE(CHalvane::tailTimeFor(rate), 69632.0 / 44100.0 * 1000.0) << rate;
    }
    // prepare reports it (each new rate resamples the bank, so only a few are run).
    auto room = makeRoom();
    for (uint32_t rate : {8000u, 96000u, 44100u})
    {
        room->sampleRate = rate;
        room->prepare();
        EXPECT_EQ(room->tailTimeMs, CHalvane::tailTimeFor(rate)) << rate;
        EXPECT_GE(reported(*room), static_cast<uint32_t>(CHalvane::tailSamplesFor(rate))) << rate;
    }
}

TEST(Halvane, ControlTableAndPlugInFields)
{
    CHalvane room;
    const struct
    {
        const char* name;
        const char* variable;
        uint32_t type;
        float min, max, def;
        const char* enumList;
    } table[] = {
        {"Gain", "m_fGain", CControlDescriptor::kFloat, 0, 1, 0.5f, "SEL1,SEL2,SEL3"},
        {"Position", "m_uPosition", CControlDescriptor::kUnsigned, 0, 10, 0,
         "Center,L22,L32,L45,L64,L90,R22,R32,R45,R64,R90"},
        {"Vol L-R", "m_fVolLR", CControlDescriptor::kFloat, 0, 1, 1, "SEL1,SEL2,SEL3"},
        {"Abs L-R", "m_fAbsLR", CControlDescriptor::kFloat, 0, 14, 7, "SEL1,SEL2,SEL3"},
        {"Vol F-B", "m_fVolFB", CControlDescriptor::kFloat, 0, 1, 1, "SEL1,SEL2,SEL3"},
        {"Abs F-B", "m_fAbsFB", CControlDescriptor::kFloat, 0, 14, 7, "SEL1,SEL2,SEL3"},
        {"Vol C-F", "m_fVolCF", CControlDescriptor::kFloat, 0, 1, 1, "SEL1,SEL2,SEL3"},
        {"Abs C-F", "m_fAbsCF", CControlDescriptor::kFloat, 0, 14, 7, "SEL1,SEL2,SEL3"},
        {"Decay Type", "m_nCurveType", CControlDescriptor::kInt, 0, 1, 1, "SEL1,SEL2,SEL3"},
        {"Stereo/Mono", "m_fStereoMono", CControlDescriptor::kUnsigned, 0, 1, 0, "Stereo,Mono"},
        {"Left/Right", "m_fLeftRight", CControlDescriptor::kUnsigned, 0, 1, 0, "Left,Right"},
    };
    ASSERT_EQ(room.controlCount, 11u);
    for (uint32_t id = 0; id < 11; ++id)
    {
        const CControlDescriptor* d = room.controlAt(id);
        ASSERT_NE(d, nullptr);
        SCOPED_TRACE(table[id].name);
        EXPECT_EQ(d->controlId, id);
        EXPECT_EQ(d->kind, uint32_t(CControlDescriptor::kKindContinuous));
        EXPECT_STREQ(d->displayName, table[id].name);
        EXPECT_STREQ(d->variableName, table[id].variable);
        EXPECT_STREQ(d->enumList, table[id].enumList);
        EXPECT_STREQ(d->unitsText, "");
        EXPECT_EQ(d->dataType, table[id].type);
        EXPECT_EQ(d->minValue, table[id].min);
        EXPECT_EQ(d->maxValue, table[id].max);
        EXPECT_EQ(d->presetValues[0], table[id].def);
        EXPECT_EQ(d->presetValues[15], 0.0);
        EXPECT_EQ(room.getControlValue(id), table[id].def);
        EXPECT_EQ(d->displayPrecision, 2);
        EXPECT_FALSE(d->smoothEnabled);
        EXPECT_FALSE(d->midiLearnEnabled);
        EXPECT_EQ(d->midiStatus, 176u);
        EXPECT_EQ(d->midiController, 3u);
    }
    EXPECT_EQ(room.joystickX.controlId, 32773u);
    EXPECT_EQ(room.joystickX.dataType, uint32_t(CControlDescriptor::kFloat));
    EXPECT_STREQ(room.joystickX.displayName, "MIDI JS X");
    EXPECT_EQ(room.joystickX.midiController, 16u);
    EXPECT_TRUE(room.joystickX.joystickRotated);
    EXPECT_EQ(room.joystickY.controlId, 32774u);
    EXPECT_EQ(room.joystickY.dataType, uint32_t(CControlDescriptor::kNone));
    EXPECT_STREQ(room.joystickY.displayName, "MIDI JS Y");
    EXPECT_EQ(room.joystickY.midiController, 17u);
    EXPECT_TRUE(room.joystickY.joystickRotated);

    EXPECT_STREQ(room.pluginName, "HalvaneDuo");
    EXPECT_STREQ(room.presetNames[0], "Factory Preset");
    EXPECT_STREQ(room.presetNames[1], "");
    EXPECT_STREQ(room.buttonNames[2], "B3");
    EXPECT_TRUE(room.hasEditorDescription);
    EXPECT_EQ(room.knobMode, 2u);
    EXPECT_EQ(room.latencySamples, 0.0f);
    EXPECT_FALSE(room.processesWholeBuffers);

    // Registering again must not duplicate the table.
    room.registerControls();
    EXPECT_EQ(room.controlList.count(), 11);
}

TEST(Halvane, SpareAndWholeBufferPathsCopyUnchanged)
{
    CHalvane room;
    float a[4] = {1, 2, 3, 4};
    float b[4] = {};
    room.processSpare(a, b, 0, 0, 4);
    EXPECT_EQ(std::memcmp(a, b, sizeof(a)), 0);
    float c[4] = {5, 6, 7, 8};
    float d[4] = {};
    float e[4] = {};
    float* ins[2] = {a, c};
    float* outs[2] = {d, e};
    room.processBuffers(ins, outs, 2, 4);
    EXPECT_EQ(std::memcmp(a, d, sizeof(a)), 0);
    EXPECT_EQ(std::memcmp(c, e, sizeof(c)), 0);
}
