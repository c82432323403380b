// SPDX-License-Identifier: GPL-3.0-or-later
// The saved component state of the real HalvaneDuo bundle, as a host saves and reloads it.
#include "host/Module.h"
#include "host/PluginInstance.h"
#include "host/StateStream.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

using namespace Steinberg;
using namespace halvane::host;

namespace
{

constexpr size_t kStateSize = 62;

// Parameter ids, which are also the control positions.
constexpr Vst::ParamID kGain = 0;
constexpr Vst::ParamID kPosition = 1;
constexpr Vst::ParamID kVolLR = 2;
constexpr Vst::ParamID kAbsLR = 3;
constexpr Vst::ParamID kVolFB = 4;
constexpr Vst::ParamID kAbsFB = 5;
constexpr Vst::ParamID kVolCF = 6;
constexpr Vst::ParamID kAbsCF = 7;
constexpr Vst::ParamID kDecayType = 8;
constexpr Vst::ParamID kStereoMono = 9;
constexpr Vst::ParamID kLeftRight = 10;
constexpr Vst::ParamID kBypass = 0x808;
constexpr Vst::ParamID kJoyX = 0x8005;
constexpr Vst::ParamID kJoyY = 0x8006;

// Byte offsets in the stream.
constexpr size_t kGainAt = 8;
constexpr size_t kPositionAt = 12;
constexpr size_t kVolLRAt = 16;
constexpr size_t kAbsLRAt = 20;
constexpr size_t kVolFBAt = 24;
constexpr size_t kAbsFBAt = 28;
constexpr size_t kVolCFAt = 32;
constexpr size_t kAbsCFAt = 36;
constexpr size_t kDecayTypeAt = 40;
constexpr size_t kStereoMonoAt = 44;
constexpr size_t kLeftRightAt = 48;
constexpr size_t kBypassAt = 52;
constexpr size_t kJoyXAt = 54;
constexpr size_t kJoyYAt = 58;

std::shared_ptr<Module> bundle()
{
    static std::shared_ptr<Module> module = Module::load(HALVANE_BUNDLE_PATH);
    return module;
}

std::unique_ptr<PluginInstance> freshEffect()
{
    return PluginInstance::create(bundle());
}

template <class T> T read(const Bytes& bytes, size_t at)
{
    T value{};
    if (at + sizeof(T) <= bytes.size())
        std::memcpy(&value, bytes.data() + at, sizeof(T));
    else
        ADD_FAILURE() << "no field at " << at << " in " << bytes.size() << " bytes";
    return value;
}

template <class T> void write(Bytes& bytes, size_t at, T value)
{
    ASSERT_LE(at + sizeof(T), bytes.size());
    std::memcpy(bytes.data() + at, &value, sizeof(T));
}

tresult restoreComponent(PluginInstance& effect, const Bytes& bytes)
{
    return effect.component()->setState(makeStream(bytes));
}

tresult syncController(PluginInstance& effect, const Bytes& bytes)
{
    return effect.controller()->setComponentState(makeStream(bytes));
}

// A stream with every field away from its default.
Bytes changedState()
{
    Bytes bytes = freshEffect()->getComponentState();
    write(bytes, kGainAt, 0.25f);
    write(bytes, kPositionAt, uint32(7));
    write(bytes, kAbsLRAt, 3.5f);
    write(bytes, kDecayTypeAt, int32(0));
    write(bytes, kStereoMonoAt, uint32(1));
    write(bytes, kBypassAt, int16(1));
    write(bytes, kJoyXAt, -1.0f);
    write(bytes, kJoyYAt, 0.5f);
    return bytes;
}

// Runs a few blocks of a test signal; false as soon as an output sample is not finite.
bool producesFiniteOutput(PluginInstance& effect, int blocks)
{
    constexpr int kBlock = 256;
    if (!effect.isActive() && (!effect.setupProcessing(44100.0, kBlock) || !effect.setActive(true)))
        return false;
    std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
    const float* in[] = {inL.data(), inR.data()};
    float* out[] = {outL.data(), outR.data()};
    for (int b = 0; b < blocks; ++b)
    {
        for (int i = 0; i < kBlock; ++i)
        {
            inL[i] = std::sin(0.05f * static_cast<float>(b * kBlock + i));
            inR[i] = i == 0 ? 1.0f : 0.0f;
        }
        if (effect.process(in, 2, out, 2, kBlock) != kResultOk) return false;
        for (int i = 0; i < kBlock; ++i)
            if (!std::isfinite(outL[i]) || !std::isfinite(outR[i])) return false;
    }
    return true;
}

} // namespace

// ---- layout of the stream ----

TEST(StateLayout, FreshEffectWritesVersionOneAndItsDefaults)
{
    const Bytes bytes = freshEffect()->getComponentState();
    ASSERT_EQ(bytes.size(), kStateSize);
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + 8), Bytes({1, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(read<float>(bytes, kGainAt), 0.5f);
    EXPECT_EQ(read<uint32>(bytes, kPositionAt), 0u);
    EXPECT_EQ(read<float>(bytes, kVolLRAt), 1.0f);
    EXPECT_EQ(read<float>(bytes, kAbsLRAt), 7.0f);
    EXPECT_EQ(read<float>(bytes, kVolFBAt), 1.0f);
    EXPECT_EQ(read<float>(bytes, kAbsFBAt), 7.0f);
    EXPECT_EQ(read<float>(bytes, kVolCFAt), 1.0f);
    EXPECT_EQ(read<float>(bytes, kAbsCFAt), 7.0f);
    EXPECT_EQ(read<int32>(bytes, kDecayTypeAt), 1);
    EXPECT_EQ(read<uint32>(bytes, kStereoMonoAt), 0u);
    EXPECT_EQ(read<uint32>(bytes, kLeftRightAt), 0u);
    EXPECT_EQ(read<int16>(bytes, kBypassAt), 0);
    EXPECT_EQ(read<float>(bytes, kJoyXAt), 0.0f);
    EXPECT_EQ(read<float>(bytes, kJoyYAt), 0.0f);
}

TEST(StateLayout, ValuesSetInTheAudioCycleLandAtTheirOffsets)
{
    auto effect = freshEffect();
    ASSERT_TRUE(effect->setupProcessing(44100.0, 64));
    ASSERT_TRUE(effect->setActive(true));
    const struct
    {
        Vst::ParamID id;
        double value;
    } changes[] = {{kGain, 0.25},     {kPosition, 0.7},   {kVolLR, 0.5},     {kAbsLR, 0.25},
                   {kVolFB, 0.75},    {kAbsFB, 1.0},      {kVolCF, 0.125},   {kAbsCF, 0.0},
                   {kDecayType, 0.0}, {kStereoMono, 1.0}, {kLeftRight, 1.0}, {kJoyX, 0.0},
                   {kJoyY, 1.0}};
    for (const auto& c : changes)
        ASSERT_TRUE(effect->inputChanges().add(c.id, 0, c.value));
    std::vector<float> l(64), r(64);
    const float* in[] = {l.data(), r.data()};
    float* out[] = {l.data(), r.data()};
    ASSERT_EQ(effect->process(in, 2, out, 2, 64), kResultOk);
    ASSERT_TRUE(effect->inputChanges().add(kBypass, 0, 1.0));
    ASSERT_EQ(effect->process(in, 2, out, 2, 64), kResultOk);

    const Bytes bytes = effect->getComponentState();
    ASSERT_EQ(bytes.size(), kStateSize);
    EXPECT_EQ(read<uint64>(bytes, 0), 1u);
    EXPECT_EQ(read<float>(bytes, kGainAt), 0.25f);
    EXPECT_EQ(Bytes(bytes.begin() + kPositionAt, bytes.begin() + kPositionAt + 4),
              Bytes({7, 0, 0, 0}));
    EXPECT_EQ(read<float>(bytes, kVolLRAt), 0.5f);
    EXPECT_EQ(read<float>(bytes, kAbsLRAt), 3.5f);
    EXPECT_EQ(read<float>(bytes, kVolFBAt), 0.75f);
    EXPECT_EQ(read<float>(bytes, kAbsFBAt), 14.0f);
    EXPECT_EQ(read<float>(bytes, kVolCFAt), 0.125f);
    EXPECT_EQ(read<float>(bytes, kAbsCFAt), 0.0f);
    EXPECT_EQ(read<int32>(bytes, kDecayTypeAt), 0);
    EXPECT_EQ(read<uint32>(bytes, kStereoMonoAt), 1u);
    EXPECT_EQ(read<uint32>(bytes, kLeftRightAt), 1u);
    EXPECT_EQ(Bytes(bytes.begin() + kBypassAt, bytes.begin() + kBypassAt + 2), Bytes({1, 0}));
    EXPECT_EQ(read<float>(bytes, kJoyXAt), -1.0f);
    EXPECT_EQ(read<float>(bytes, kJoyYAt), 1.0f);
}

// ---- restoring ----

TEST(StateRestore, RoundTripIntoAFreshInstanceIsBitIdentical)
{
    const Bytes saved = changedState();
    auto first = freshEffect();
    ASSERT_TRUE(first->setComponentState(saved));
    const Bytes written = first->getComponentState();
    EXPECT_EQ(written, saved);

    auto second = freshEffect();
    ASSERT_TRUE(second->setComponentState(written));
    EXPECT_EQ(second->getComponentState(), saved);
    EXPECT_DOUBLE_EQ(second->getParamNormalized(kGain), 0.25);
    EXPECT_DOUBLE_EQ(second->getParamNormalized(kPosition), 0.7);
    EXPECT_DOUBLE_EQ(second->getParamNormalized(kAbsLR), 0.25);
    EXPECT_DOUBLE_EQ(second->getParamNormalized(kDecayType), 0.0);
    EXPECT_DOUBLE_EQ(second->getParamNormalized(kStereoMono), 1.0);
    EXPECT_DOUBLE_EQ(second->getParamNormalized(kBypass), 1.0);
}

TEST(StateRestore, JoystickParametersReadHalfTheStoredValuePlusOneHalf)
{
    auto effect = freshEffect();
    Bytes bytes = changedState();
    ASSERT_EQ(syncController(*effect, bytes), kResultOk);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kJoyX), 0.0);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kJoyY), 0.75);

    write(bytes, kJoyXAt, 0.0f);
    write(bytes, kJoyYAt, 1.0f);
    ASSERT_EQ(syncController(*effect, bytes), kResultOk);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kJoyX), 0.5);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kJoyY), 1.0);
}

TEST(StateRestore, TrailingBytesAreIgnored)
{
    Bytes bytes = changedState();
    const Bytes expected = bytes;
    bytes.insert(bytes.end(), 100, 0xAB);
    auto effect = freshEffect();
    EXPECT_EQ(restoreComponent(*effect, bytes), kResultOk);
    EXPECT_EQ(syncController(*effect, bytes), kResultOk);
    EXPECT_EQ(effect->getComponentState(), expected);
}

// A refused state changes nothing, wherever the stream ends: neither the processor's values
// nor the controller's parameters.
TEST(StateRestore, StreamCutAnywhereChangesNothing)
{
    const Bytes full = changedState();
    for (size_t cut : {kGainAt + 2, kAbsLRAt + 2, kLeftRightAt, kBypassAt, kBypassAt + 1,
                       kJoyXAt + 3, size_t(60), kStateSize - 1})
    {
        auto effect = freshEffect();
        const Bytes before = effect->getComponentState();
        std::vector<double> parameters;
        for (Vst::ParamID id : {kGain, kPosition, kAbsLR, kLeftRight, kBypass, kJoyX, kJoyY})
            parameters.push_back(effect->getParamNormalized(id));

        const Bytes bytes(full.begin(), full.begin() + static_cast<long>(cut));
        EXPECT_EQ(restoreComponent(*effect, bytes), kResultFalse) << cut;
        EXPECT_EQ(syncController(*effect, bytes), kResultFalse) << cut;
        EXPECT_EQ(effect->getComponentState(), before) << cut;
        size_t k = 0;
        for (Vst::ParamID id : {kGain, kPosition, kAbsLR, kLeftRight, kBypass, kJoyX, kJoyY})
            EXPECT_EQ(effect->getParamNormalized(id), parameters[k++]) << cut << " id " << id;
    }
}

TEST(StateRestore, StreamShorterThanTheVersionChangesNothing)
{
    auto effect = freshEffect();
    const Bytes saved = changedState();
    ASSERT_TRUE(effect->setComponentState(saved));
    for (size_t size : {size_t(0), size_t(1), size_t(7)})
    {
        const Bytes cut(saved.begin(), saved.begin() + static_cast<long>(size));
        EXPECT_EQ(restoreComponent(*effect, cut), kResultFalse) << size;
        EXPECT_EQ(syncController(*effect, cut), kResultFalse) << size;
        EXPECT_EQ(effect->getComponentState(), saved) << size;
        EXPECT_DOUBLE_EQ(effect->getParamNormalized(kGain), 0.25) << size;
        EXPECT_DOUBLE_EQ(effect->getParamNormalized(kJoyX), 0.0) << size;
    }
}

TEST(StateRestore, VersionZeroHasNoJoystickAndKeepsItsPosition)
{
    auto effect = freshEffect();
    const Bytes saved = changedState();
    ASSERT_TRUE(effect->setComponentState(saved));

    Bytes old(saved.begin(), saved.begin() + kJoyXAt);
    write(old, 0, uint64(0));
    write(old, kGainAt, 0.75f);
    EXPECT_EQ(restoreComponent(*effect, old), kResultOk);
    EXPECT_EQ(syncController(*effect, old), kResultOk);
    const Bytes restored = effect->getComponentState();
    EXPECT_EQ(read<uint64>(restored, 0), 1u);
    EXPECT_EQ(read<float>(restored, kGainAt), 0.75f);
    EXPECT_EQ(read<float>(restored, kJoyXAt), -1.0f);
    EXPECT_EQ(read<float>(restored, kJoyYAt), 0.5f);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kGain), 0.75);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kJoyY), 0.75);

    // Joystick fields behind a version-0 header are not read at all.
    Bytes padded = old;
    padded.resize(kStateSize);
    write(padded, kJoyXAt, 1.0f);
    EXPECT_EQ(restoreComponent(*effect, padded), kResultOk);
    EXPECT_EQ(read<float>(effect->getComponentState(), kJoyXAt), -1.0f);
}

TEST(StateRestore, ControllerKeepsNoStateOfItsOwn)
{
    auto effect = freshEffect();
    auto stream = makeStream({});
    EXPECT_EQ(effect->controller()->getState(stream), kNotImplemented);
    EXPECT_TRUE(streamBytes(*stream).empty());
    EXPECT_EQ(effect->controller()->setState(makeStream(changedState())), kNotImplemented);
    EXPECT_EQ(read<float>(effect->getComponentState(), kGainAt), 0.5f);
}

// ---- hostile streams ----

TEST(StateHostile, NonFiniteValuesLeaveControlsAloneAndTheRestIsClamped)
{
    auto effect = freshEffect();
    const Bytes before = changedState();
    ASSERT_TRUE(effect->setComponentState(before));

    Bytes bytes = before;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    write(bytes, kGainAt, nan);
    write(bytes, kAbsLRAt, inf);
    write(bytes, kVolLRAt, -inf);
    write(bytes, kVolFBAt, 5.0f);
    write(bytes, kAbsFBAt, -3.0f);
    write(bytes, kPositionAt, uint32(99));
    write(bytes, kDecayTypeAt, int32(-7));
    write(bytes, kLeftRightAt, uint32(0xFFFFFFFF));
    write(bytes, kJoyXAt, nan);
    write(bytes, kJoyYAt, 3.0f);
    EXPECT_EQ(restoreComponent(*effect, bytes), kResultOk);
    EXPECT_EQ(syncController(*effect, bytes), kResultOk);

    const Bytes after = effect->getComponentState();
    EXPECT_EQ(read<float>(after, kGainAt), 0.25f);
    EXPECT_EQ(read<float>(after, kAbsLRAt), 3.5f);
    EXPECT_EQ(read<float>(after, kVolLRAt), 1.0f);
    EXPECT_EQ(read<float>(after, kVolFBAt), 1.0f);
    EXPECT_EQ(read<float>(after, kAbsFBAt), 0.0f);
    EXPECT_EQ(read<uint32>(after, kPositionAt), 10u);
    EXPECT_EQ(read<int32>(after, kDecayTypeAt), 0);
    EXPECT_EQ(read<uint32>(after, kLeftRightAt), 1u);
    EXPECT_EQ(read<float>(after, kJoyXAt), -1.0f);
    EXPECT_EQ(read<float>(after, kJoyYAt), 1.0f);

    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kGain), 0.25);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kAbsLR), 0.25);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kVolLR), 1.0);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kVolFB), 1.0);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kAbsFB), 0.0);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kPosition), 1.0);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kDecayType), 0.0);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kLeftRight), 1.0);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kJoyX), 0.0);
    EXPECT_DOUBLE_EQ(effect->getParamNormalized(kJoyY), 1.0);
}

TEST(StateHostile, AllOnesStreamLeavesTheEffectRunningWithFiniteOutput)
{
    const Bytes ones(kStateSize, 0xFF);
    Bytes onesNotBypassed = ones;
    write(onesNotBypassed, kBypassAt, int16(0));
    for (const Bytes& bytes : {ones, onesNotBypassed})
    {
        auto effect = freshEffect();
        ASSERT_TRUE(producesFiniteOutput(*effect, 1));
        restoreComponent(*effect, bytes);
        syncController(*effect, bytes);
        EXPECT_TRUE(producesFiniteOutput(*effect, 40));
        for (const auto& p : effect->parameters())
            EXPECT_TRUE(std::isfinite(effect->getParamNormalized(p.id))) << p.title;
        // Restored before activation as well, the way a host loads a project.
        auto loaded = freshEffect();
        restoreComponent(*loaded, bytes);
        syncController(*loaded, bytes);
        EXPECT_TRUE(producesFiniteOutput(*loaded, 40));
    }
}
