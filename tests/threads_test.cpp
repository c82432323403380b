// SPDX-License-Identifier: GPL-3.0-or-later
// The host's threads at once: the user-interface thread restores states, moves parameters
// and picks presets while the audio thread processes. Built under ThreadSanitizer too, where
// any unsynchronised access fails the run.
#include "host/Module.h"
#include "host/PluginInstance.h"
#include "host/StateStream.h"
#include "host/Vst2Effect.h"
#include "room/DelayLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace halvane::host;

namespace
{

constexpr Vst::ParamID kGain = 0;
constexpr Vst::ParamID kPosition = 1;
constexpr Vst::ParamID kAbsLR = 3;
constexpr Vst::ParamID kFactoryPresets = 0x70727374;
constexpr size_t kGainAt = 8;
constexpr size_t kPositionAt = 12;
constexpr size_t kBypassAt = 52;
constexpr size_t kJoyXAt = 54;

std::shared_ptr<Module> bundle()
{
    static std::shared_ptr<Module> module = Module::load(HALVANE_BUNDLE_PATH);
    return module;
}

template <class T> void write(Bytes& bytes, size_t at, T value)
{
    std::memcpy(bytes.data() + at, &value, sizeof(T));
}

template <class T> T read(const Bytes& bytes, size_t at)
{
    T value{};
    std::memcpy(&value, bytes.data() + at, sizeof(T));
    return value;
}

// Two states that differ in every kind of field.
std::vector<Bytes> alternativeStates(PluginInstance& effect)
{
    Bytes a = effect.getComponentState();
    Bytes b = a;
    write(a, kGainAt, 0.25f);
    write(a, kPositionAt, uint32_t(3));
    write(a, kBypassAt, int16_t(1));
    write(a, kJoyXAt, -0.5f);
    write(b, kGainAt, 0.75f);
    write(b, kPositionAt, uint32_t(9));
    write(b, kBypassAt, int16_t(0));
    write(b, kJoyXAt, 0.5f);
    return {a, b};
}

class AudioThread
{
public:
    explicit AudioThread(PluginInstance& effect)
        : thread([this, &effect]
                 {
                     std::vector<float> in(256, 0.1f), left(256), right(256);
                     const float* inputs[2] = {in.data(), in.data()};
                     float* outputs[2] = {left.data(), right.data()};
                     while (!stop.load())
                     {
                         if (effect.process(inputs, 2, outputs, 2, 256) != kResultOk) ++failures;
                         for (float v : left)
                             if (!std::isfinite(v)) ++failures;
                         ++blocks;
                     }
                 })
    {
    }
    ~AudioThread() { finish(); }
    void finish()
    {
        stop.store(true);
        if (thread.joinable()) thread.join();
    }

    std::atomic<long> blocks{0};
    std::atomic<long> failures{0};

private:
    std::atomic<bool> stop{false};
    std::thread thread;
};

} // namespace

TEST(Threads, StatesParametersAndPresetsFromTheUiThreadWhileProcessing)
{
    auto effect = PluginInstance::create(bundle());
    ASSERT_TRUE(effect->setupProcessing(44100.0, 256));
    ASSERT_TRUE(effect->setActive(true));
    const std::vector<Bytes> states = alternativeStates(*effect);
    Vst::IEditController* controller = effect->controller();
    {
        AudioThread audio(*effect);
        for (int round = 0; round < 200; ++round)
        {
            const Bytes& state = states[static_cast<size_t>(round % 2)];
            ASSERT_EQ(effect->component()->setState(makeStream(state)), kResultOk);
            ASSERT_EQ(controller->setComponentState(makeStream(state)), kResultOk);
            // Read back at once, whatever the audio thread has applied so far.
            EXPECT_EQ(effect->getComponentState(), state) << round;
            controller->setParamNormalized(kGain, (round % 10) / 10.0);
            controller->setParamNormalized(kAbsLR, (round % 7) / 7.0);
            if (round % 25 == 0) controller->setParamNormalized(kFactoryPresets, 0.0);
            // Let the audio thread run a block or two now and then.
            if (round % 10 == 0)
                for (const long seen = audio.blocks.load(); audio.blocks.load() < seen + 2;)
                    std::this_thread::yield();
        }
        audio.finish();
        EXPECT_EQ(audio.failures.load(), 0);
        EXPECT_GT(audio.blocks.load(), 0);
    }
    // The last state set is the one the effect ends up with.
    ASSERT_EQ(effect->component()->setState(makeStream(states[0])), kResultOk);
    std::vector<float> in(256, 0.0f), left(256), right(256);
    const float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {left.data(), right.data()};
    ASSERT_EQ(effect->process(inputs, 2, outputs, 2, 256), kResultOk);
    EXPECT_EQ(effect->getComponentState(), states[0]);
}

TEST(Threads, StateSetWhileInactiveAppliesAtOnceAndWhileActiveAtTheNextBlock)
{
    auto effect = PluginInstance::create(bundle());
    ASSERT_TRUE(effect->setupProcessing(44100.0, 256));
    const std::vector<Bytes> states = alternativeStates(*effect);

    ASSERT_EQ(effect->component()->setState(makeStream(states[0])), kResultOk);
    EXPECT_EQ(effect->getComponentState(), states[0]);

    ASSERT_TRUE(effect->setActive(true));
    EXPECT_EQ(effect->getComponentState(), states[0]);
    ASSERT_EQ(effect->component()->setState(makeStream(states[1])), kResultOk);
    EXPECT_EQ(effect->getComponentState(), states[1]);
    // The audio thread's own change lands on top of what the state set.
    effect->inputChanges().add(kPosition, 0, 0.0);
    std::vector<float> in(256, 0.0f), left(256), right(256);
    const float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {left.data(), right.data()};
    ASSERT_EQ(effect->process(inputs, 2, outputs, 2, 256), kResultOk);
    const Bytes after = effect->getComponentState();
    EXPECT_EQ(read<uint32_t>(after, kPositionAt), 0u);
    EXPECT_EQ(read<float>(after, kGainAt), 0.75f);

    // Values left pending when processing stops are applied then.
    ASSERT_EQ(effect->component()->setState(makeStream(states[0])), kResultOk);
    ASSERT_TRUE(effect->setActive(false));
    EXPECT_EQ(effect->getComponentState(), states[0]);
}

// A host that re-prepares the effect while another thread still processes: the delay line
// must never read outside its buffer.
TEST(Threads, DelayLineResetWhilePushing)
{
    CDelayLine line(8000, 256, 0.0, 100.0);
    std::atomic<bool> stop{false};
    std::atomic<long> nonFinite{0};
    std::thread pusher(
        [&]
        {
            for (long n = 0; !stop.load(); ++n)
            {
                line.push(std::sin(0.01 * static_cast<double>(n)));
                if (!std::isfinite(line.output())) ++nonFinite;
            }
        });
    for (int i = 0; i < 500; ++i)
        line.reset(1 + i % 300, 0.0, 100.0);
    stop.store(true);
    pusher.join();
    EXPECT_EQ(nonFinite.load(), 0);

    // Once quiet again it delays exactly as set.
    line.reset(10, 0.0, 100.0);
    for (int t = 0; t < 20; ++t)
    {
        line.push(t + 1.0);
        EXPECT_EQ(line.output(), t >= 10 ? t - 9.0 : 0.0) << t;
    }
}

// VST 2 hosts change the rate and block size from their user-interface thread, some without
// suspending and while their audio thread keeps calling process. Every block must still be
// written in full and no further.
TEST(Threads, Vst2RateAndBlockSizeChangesWhileProcessing)
{
    constexpr int kSmall = 64;
    constexpr int kLarge = 2048;
    constexpr float kUntouched = -123.0f;
    auto effect = Vst2Effect::load(HALVANE_BUNDLE_PATH);
    ASSERT_TRUE(effect);
    effect->setSampleRate(48000.0f);
    effect->setBlockSize(kSmall);
    effect->resume();

    std::atomic<bool> stop{false};
    std::atomic<int> blocks{0};
    std::atomic<int> damaged{0};
    std::thread audio(
        [&]
        {
            std::vector<float> inL(kLarge, 0.5f), inR(kLarge, -0.5f);
            std::vector<float> outL(kLarge + 1), outR(kLarge + 1);
            float* in[] = {inL.data(), inR.data()};
            float* out[] = {outL.data(), outR.data()};
            for (int block = 0; !stop; ++block)
            {
                // Blocks larger than the size last announced come too.
                const int frames = block % 2 ? kLarge : kSmall;
                std::fill(outL.begin(), outL.end(), kUntouched);
                std::fill(outR.begin(), outR.end(), kUntouched);
                effect->process(in, out, frames);
                const auto written = [&](const std::vector<float>& v)
                {
                    const auto fresh = [&](float x) { return std::isfinite(x) && x != kUntouched; };
                    return std::all_of(v.begin(), v.begin() + frames, fresh) &&
                           v[static_cast<size_t>(frames)] == kUntouched;
                };
                if (!written(outL) || !written(outR)) ++damaged;
                ++blocks;
            }
        });
    const auto letBlocksRun = [&]
    {
        const int from = blocks;
        while (blocks < from + 2)
            std::this_thread::yield();
    };
    for (int i = 0; i < 24; ++i)
    {
        letBlocksRun();
        effect->setBlockSize(i % 2 ? kSmall : kLarge / 2);
        letBlocksRun();
        effect->setSampleRate(i % 2 ? 48000.0f : 44100.0f);
    }
    letBlocksRun();
    stop = true;
    audio.join();
    EXPECT_EQ(damaged, 0);
}
