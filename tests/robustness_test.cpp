// SPDX-License-Identifier: GPL-3.0-or-later
// The real bundle driven by a hostile or careless host: values far outside 0..1, bad indices,
// odd bus layouts, huge block sizes and little memory. Nothing may crash, throw across the
// VST 3 calls, write outside the host's buffers or leave garbage in them.
#include "host/Module.h"
#include "host/PluginInstance.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using halvane::host::Module;
using halvane::host::PluginInstance;

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define HALVANE_UNDER_SANITIZER 1
#endif

namespace
{

constexpr ParamID kGain = 0;
constexpr ParamID kPosition = 1;
constexpr ParamID kStereoMono = 9;
constexpr ParamID kLeftRight = 10;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

std::shared_ptr<Module> bundle()
{
    static std::shared_ptr<Module> module = Module::load(HALVANE_BUNDLE_PATH);
    return module;
}

std::unique_ptr<PluginInstance> freshEffect()
{
    return PluginInstance::create(bundle());
}

// The host's 128-character string with a guard band behind it that nothing may touch.
struct GuardedString
{
    GuardedString()
    {
        for (auto& c : text)
            c = 0x5a5a;
        for (auto& c : guard)
            c = 0x5a5a;
    }
    bool guardIntact() const
    {
        for (char16 c : guard)
            if (c != 0x5a5a) return false;
        return true;
    }
    String128 text;
    char16 guard[4096];
};

std::string utf8(const char16* text)
{
    std::string out;
    for (int i = 0; i < 128 && text[i]; ++i)
        out += static_cast<char>(text[i] < 128 ? text[i] : '?');
    return out;
}

// The effect's virtual memory size in bytes, from /proc.
[[maybe_unused]] long long virtualSize()
{
    std::ifstream statm("/proc/self/statm");
    long long pages = 0;
    statm >> pages;
    return pages * 4096;
}

// Lets the process grow by `bytes` at most, so that a large allocation fails as it would on a
// host with little memory left. Sanitizers reserve huge address ranges: they run unlimited.
void limitMemoryGrowth(long long bytes)
{
#ifndef HALVANE_UNDER_SANITIZER
    const rlim_t limit = static_cast<rlim_t>(virtualSize() + bytes);
    rlimit r{limit, limit};
    if (setrlimit(RLIMIT_AS, &r) != 0) std::_Exit(3);
#else
    (void)bytes;
#endif
}

// One block of a test signal through the effect; the output channels are filled with
// garbage first so that untouched samples show.
std::vector<std::vector<float>> runBlock(PluginInstance& effect, int inChannels, int outChannels,
                                         int frames, int block = 0)
{
    std::vector<std::vector<float>> in(static_cast<size_t>(inChannels), std::vector<float>(frames));
    std::vector<std::vector<float>> out(static_cast<size_t>(outChannels),
                                        std::vector<float>(frames, 9.0f));
    for (auto& channel : in)
        for (int i = 0; i < frames; ++i)
            channel[static_cast<size_t>(i)] =
                0.5f * std::sin(0.05f * static_cast<float>(block * frames + i));
    std::vector<const float*> inputs;
    std::vector<float*> outputs;
    for (auto& c : in)
        inputs.push_back(c.data());
    for (auto& c : out)
        outputs.push_back(c.data());
    EXPECT_EQ(effect.process(inputs.data(), inChannels, outputs.data(), outChannels, frames),
              kResultOk);
    return out;
}

} // namespace

// ---- values and indices ----

TEST(BindingRobustness, ValueTextStaysInsideTheHostsStringForAnyValue)
{
    auto effect = freshEffect();
    IEditController* controller = effect->controller();
    const double hostile[] = {1e300, -1e300, 1e125, kInf, -kInf, kNaN, -1.0, 2.0, 1e-320};
    for (const auto& p : effect->parameters())
    {
        GuardedString reference;
        ASSERT_EQ(controller->getParamStringByValue(p.id, p.defaultNormalized, reference.text),
                  kResultOk);
        for (double v : hostile)
        {
            GuardedString s;
            const tresult result = controller->getParamStringByValue(p.id, v, s.text);
            ASSERT_TRUE(s.guardIntact()) << p.title << " at " << v;
            ASSERT_EQ(result, kResultOk) << p.title << " at " << v;
            // Out-of-range values read as the nearest end of the range, NaN as the default.
            const double same = std::isnan(v) ? p.defaultNormalized : std::clamp(v, 0.0, 1.0);
            GuardedString expected;
            controller->getParamStringByValue(p.id, same, expected.text);
            EXPECT_EQ(utf8(s.text), utf8(expected.text)) << p.title << " at " << v;
        }
        for (double v : hostile)
        {
            const double plain = controller->normalizedParamToPlain(p.id, v);
            EXPECT_TRUE(std::isfinite(plain)) << p.title << " at " << v;
            const double normalized = controller->plainParamToNormalized(p.id, v);
            EXPECT_TRUE(normalized >= 0.0 && normalized <= 1.0) << p.title << " from " << v;
        }
    }
}

TEST(BindingRobustness, TextEntryNeverGivesAValueOutsideZeroToOne)
{
    auto effect = freshEffect();
    for (const auto& p : effect->parameters())
        for (const char* text : {"1e300", "-1e300", "nan", "inf", "-inf", "", "x", "Right"})
        {
            const auto value = effect->getParamValueByString(p.id, text);
            if (value)
            {
                EXPECT_TRUE(*value >= 0.0 && *value <= 1.0) << p.title << " " << text;
            }
        }
}

TEST(BindingRobustness, BadIndicesAndListValuesAnswerInsteadOfThrowing)
{
    auto effect = freshEffect();
    IEditController* controller = effect->controller();
    const int32 count = controller->getParameterCount();
    for (int32 index : {-1, count, count + 1, std::numeric_limits<int32>::max(),
                        std::numeric_limits<int32>::min()})
    {
        Vst::ParameterInfo info{};
        EXPECT_EQ(controller->getParameterInfo(index, info), kResultFalse) << index;
    }
    // The list parameters name an entry for any value; an unknown id is refused.
    for (ParamID list : {kPosition, kStereoMono, kLeftRight})
        for (double v : {kNaN, kInf, -kInf, -1.0, -1e-9, 1.5})
        {
            GuardedString s;
            EXPECT_EQ(controller->getParamStringByValue(list, v, s.text), kResultOk) << list;
            EXPECT_FALSE(utf8(s.text).empty()) << list << " at " << v;
        }
    GuardedString s;
    EXPECT_EQ(controller->getParamStringByValue(12345, 0.5, s.text), kResultFalse);
    EXPECT_TRUE(s.guardIntact());
}

// ---- memory ----

// A huge maximum block size is answered at once and costs no memory up front; with memory
// short, creating an instance fails cleanly instead of taking the host down.
namespace
{

// Each ends the (child) process: 0 when the effect answered as it should.
[[noreturn]] void setUpAHugeBlockSizeWithLittleMemory()
{
    auto effect = freshEffect();
    limitMemoryGrowth(1ll << 30);
    // Straight to the effect: our host would size its own buffers for such blocks.
    ProcessSetup huge{kRealtime, kSample32, std::numeric_limits<int32>::max(), 44100.0};
    effect->processor()->setupProcessing(huge);
    if (!effect->setupProcessing(44100.0, 4096) || !effect->setActive(true)) std::_Exit(4);
    runBlock(*effect, 2, 2, 4096);
    std::_Exit(0);
}

[[noreturn, maybe_unused]] void createAnInstanceWithLittleMemory()
{
    auto module = bundle();
    TUID cid;
    module->classes().front().cid.toTUID(cid);
    // Less than the effect's own buffers need.
    limitMemoryGrowth(2ll << 20);
    void* object = nullptr;
    const auto create = [&]() noexcept
    { return module->factory()->createInstance(cid, IComponent::iid, &object); };
    const tresult result = create();
    std::_Exit(result != kResultOk && !object ? 0 : 5);
}

} // namespace

// A huge maximum block size is answered at once and costs no memory up front; with memory
// short, creating an instance fails cleanly instead of taking the host down.
TEST(BindingRobustness, HugeBlockSizesAndLowMemoryAreAnsweredNotThrown)
{
    // A forked child would inherit the heap earlier tests freed and allocate from it without
    // growing, past the limit; a fresh process running only this test starts from a clean one.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    bundle();
    EXPECT_EXIT(setUpAHugeBlockSizeWithLittleMemory(), ::testing::ExitedWithCode(0), "");
#ifndef HALVANE_UNDER_SANITIZER
    EXPECT_EXIT(createAnInstanceWithLittleMemory(), ::testing::ExitedWithCode(0), "");
#endif
}

// ---- buses ----

TEST(BindingRobustness, OnlyMonoAndStereoBusesAreAccepted)
{
    auto effect = freshEffect();
    const SpeakerArrangement wide[] = {SpeakerArr::k51, SpeakerArr::k71Cine,
                                       SpeakerArr::k71Music, ~SpeakerArrangement(0)};
    for (SpeakerArrangement arrangement : wide)
        EXPECT_FALSE(effect->setBusArrangements(arrangement, arrangement)) << arrangement;
    EXPECT_TRUE(effect->setBusArrangements(SpeakerArr::kStereo, SpeakerArr::kStereo));
    EXPECT_EQ(effect->mainOutputChannels(), 2);
    EXPECT_TRUE(effect->setBusArrangements(SpeakerArr::kMono, SpeakerArr::kMono));
}

TEST(BindingRobustness, OutputChannelsTheEffectDoesNotWriteAreSilenced)
{
    auto effect = freshEffect();
    ASSERT_TRUE(effect->setupProcessing(44100.0, 256));
    ASSERT_TRUE(effect->setActive(true));
    // A host that hands more output channels than the stereo bus holds (our host keeps to
    // the arrangement, so this block is put together by hand).
    constexpr int32 kFrames = 256;
    std::vector<std::vector<float>> in(2, std::vector<float>(kFrames, 0.25f));
    std::vector<std::vector<float>> out(6, std::vector<float>(kFrames, 9.0f));
    float* inputs[2] = {in[0].data(), in[1].data()};
    float* outputs[6];
    for (size_t c = 0; c < out.size(); ++c)
        outputs[c] = out[c].data();
    AudioBusBuffers inBus{};
    inBus.numChannels = 2;
    inBus.channelBuffers32 = inputs;
    AudioBusBuffers outBus{};
    outBus.numChannels = 6;
    outBus.channelBuffers32 = outputs;
    ProcessData data{};
    data.processMode = kRealtime;
    data.symbolicSampleSize = kSample32;
    data.numSamples = kFrames;
    data.numInputs = 1;
    data.numOutputs = 1;
    data.inputs = &inBus;
    data.outputs = &outBus;
    ASSERT_EQ(effect->processor()->process(data), kResultOk);
    for (size_t c = 2; c < out.size(); ++c)
        for (float v : out[c])
            ASSERT_EQ(v, 0.0f) << "channel " << c;
    for (size_t c = 0; c < 2; ++c)
        for (float v : out[c])
            ASSERT_NE(v, 9.0f) << "channel " << c;
}

TEST(BindingRobustness, MonoInputIsHeardWhicheverSideMonoPicks)
{
    std::vector<float> energy;
    for (double side : {0.0, 1.0})
    {
        auto effect = freshEffect();
        ASSERT_TRUE(effect->setBusArrangements(SpeakerArr::kMono, SpeakerArr::kMono));
        ASSERT_TRUE(effect->setupProcessing(44100.0, 512));
        ASSERT_TRUE(effect->setActive(true));
        effect->inputChanges().add(kStereoMono, 0, 1.0);
        effect->inputChanges().add(kLeftRight, 0, side);
        float sum = 0.0f;
        for (int block = 0; block < 8; ++block)
        {
            const auto out = runBlock(*effect, 1, 1, 512, block);
            for (float v : out[0])
                sum += v * v;
        }
        energy.push_back(sum);
    }
    EXPECT_GT(energy[0], 1.0f);
    EXPECT_FLOAT_EQ(energy[1], energy[0]) << "Right must play the one channel as Left does";
}

// ---- bypass ----

namespace
{

constexpr ParamID kBypass = 0x808;

// Runs `blocks` blocks of 512 frames of `signal(frame)` on both channels, appending the left
// output to `out`.
template <class Signal>
void play(PluginInstance& effect, int blocks, Signal signal, std::vector<float>& out,
          long& frame)
{
    constexpr int kFrames = 512;
    std::vector<float> in(kFrames), left(kFrames), right(kFrames);
    const float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {left.data(), right.data()};
    for (int b = 0; b < blocks; ++b)
    {
        for (int i = 0; i < kFrames; ++i)
            in[static_cast<size_t>(i)] = signal(frame + i);
        ASSERT_EQ(effect.process(inputs, 2, outputs, 2, kFrames), kResultOk);
        out.insert(out.end(), left.begin(), left.end());
        frame += kFrames;
    }
}

float peakFrom(const std::vector<float>& x, size_t from, size_t to)
{
    float peak = 0.0f;
    for (size_t i = from; i < to && i < x.size(); ++i)
        peak = std::max(peak, std::fabs(x[i]));
    return peak;
}

float largestStep(const std::vector<float>& x, size_t from, size_t to)
{
    float step = 0.0f;
    for (size_t i = std::max<size_t>(from, 1); i < to && i < x.size(); ++i)
        step = std::max(step, std::fabs(x[i] - x[i - 1]));
    return step;
}

} // namespace

TEST(BindingRobustness, LeavingBypassPlaysNoStaleTail)
{
    auto effect = freshEffect();
    ASSERT_TRUE(effect->setupProcessing(44100.0, 512));
    ASSERT_TRUE(effect->setActive(true));
    unsigned seed = 7;
    const auto noise = [&seed](long)
    {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / 16777216.0f - 0.5f;
    };
    const auto silence = [](long) { return 0.0f; };
    std::vector<float> out;
    long frame = 0;
    play(*effect, 16, noise, out, frame);
    ASSERT_GT(peakFrom(out, 0, out.size()), 0.01f);

    // Bypassed for longer than the room rings, the input silent meanwhile.
    effect->inputChanges().add(kBypass, 0, 1.0);
    play(*effect, 180, silence, out, frame);
    effect->inputChanges().add(kBypass, 0, 0.0);
    const size_t back = out.size();
    play(*effect, 8, silence, out, frame);
    EXPECT_LT(peakFrom(out, back, out.size()), 1e-5f) << "the room replayed what it heard before";
}

TEST(BindingRobustness, BypassSwitchesBothWaysWithoutAClick)
{
    auto effect = freshEffect();
    ASSERT_TRUE(effect->setupProcessing(44100.0, 512));
    ASSERT_TRUE(effect->setActive(true));
    const auto tone = [](long n) { return 0.5f * std::sin(0.0285f * static_cast<float>(n)); };
    std::vector<float> out;
    long frame = 0;
    play(*effect, 40, tone, out, frame);
    // Neither the effect's sound nor the dry tone moves this much from one sample to the next.
    const float steady = std::max(largestStep(out, out.size() - 4096, out.size()), 0.5f * 0.0285f);

    size_t at = out.size();
    effect->inputChanges().add(kBypass, 0, 1.0);
    play(*effect, 4, tone, out, frame);
    ASSERT_GT(std::fabs(tone(static_cast<long>(at)) - out[at - 1]), 4.0f * steady)
        << "wet and dry too close for a switch to show";
    EXPECT_LT(largestStep(out, at - 1, at + 512), 2.0f * steady) << "entering bypass";
    EXPECT_EQ(out.back(), tone(frame - 1)) << "fully bypassed after the fade";

    at = out.size();
    effect->inputChanges().add(kBypass, 0, 0.0);
    play(*effect, 4, tone, out, frame);
    EXPECT_LT(largestStep(out, at - 1, at + 512), 2.0f * steady) << "leaving bypass";
}
