// SPDX-License-Identifier: GPL-3.0-or-later
// The module as a VST 2 host sees it, checked against the same module seen through VST 3.
#include "host/HostError.h"
#include "host/Module.h"
#include "host/PluginInstance.h"
#include "host/Vst2Effect.h"

#include "pluginterfaces/gui/iplugview.h"
#include "pluginterfaces/vst/ivstunits.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace halvane::host;

namespace
{

constexpr Vst::ParamID kFactoryPresets = 0x70727374;
constexpr float kRate = 48000.0f;
// The position a saved state keeps at byte 12 and the bypass at byte 52.
constexpr size_t kPositionByte = 12;
constexpr size_t kBypassByte = 52;

std::unique_ptr<Vst2Effect> loadEffect()
{
    auto effect = Vst2Effect::load(HALVANE_BUNDLE_PATH);
    if (!effect) throw HostError("the module declined a VST 2 host");
    return effect;
}

std::unique_ptr<PluginInstance> loadInstance()
{
    return PluginInstance::create(Module::load(HALVANE_BUNDLE_PATH));
}

// The parameters a VST 2 host should see: every VST 3 parameter but the program change.
std::vector<ParameterInfo> vst2Parameters(const PluginInstance& instance)
{
    std::vector<ParameterInfo> list;
    for (const ParameterInfo& info : instance.parameters())
        if (!(info.flags & Vst::ParameterInfo::kIsProgramChange)) list.push_back(info);
    return list;
}

int indexOfTitle(Vst2Effect& effect, const std::string& title)
{
    for (int i = 0; i < effect.effect()->numParams; ++i)
        if (effect.parameterName(i) == title) return i;
    return -1;
}

// Stereo buffers for one render: an impulse on the left, a ramp on the right.
struct Render
{
    explicit Render(int frames) : inL(frames), inR(frames), outL(frames, 7.f), outR(frames, 7.f)
    {
        inL[0] = 1.0f;
        for (int i = 0; i < frames; ++i)
            inR[i] = 0.25f * static_cast<float>(i % 50) / 50.0f;
    }
    std::vector<float> inL, inR, outL, outR;
};

// Renders in blocks of `block` frames through the VST 2 path.
void renderVst2(Vst2Effect& effect, Render& r, int block)
{
    const int frames = static_cast<int>(r.inL.size());
    for (int start = 0; start < frames; start += block)
    {
        float* in[] = {r.inL.data() + start, r.inR.data() + start};
        float* out[] = {r.outL.data() + start, r.outR.data() + start};
        effect.process(in, out, std::min(block, frames - start));
    }
}

void renderVst3(PluginInstance& instance, Render& r, int block)
{
    const int frames = static_cast<int>(r.inL.size());
    for (int start = 0; start < frames; start += block)
    {
        const float* in[] = {r.inL.data() + start, r.inR.data() + start};
        float* out[] = {r.outL.data() + start, r.outR.data() + start};
        ASSERT_EQ(instance.process(in, 2, out, 2, std::min(block, frames - start)), kResultOk);
    }
}

bool allFinite(const std::vector<float>& v)
{
    return std::all_of(v.begin(), v.end(), [](float x) { return std::isfinite(x); });
}

} // namespace

TEST(Vst2Entry, DescribesTheEffectAsTheFactoryDoes)
{
    auto effect = loadEffect();
    auto instance = loadInstance();
    const AEffect* e = effect->effect();
    EXPECT_EQ(e->magic, kEffectMagic);
    EXPECT_EQ(e->uniqueID, CCONST('H', 'v', 'D', 'u'));
    EXPECT_EQ(effect->effectName(), "HalvaneDuo");
    EXPECT_EQ(effect->productString(), "HalvaneDuo");
    EXPECT_EQ(effect->vendorString(), "Brackwater Audio");
    // "0.0.1.0", one byte per part.
    EXPECT_EQ(effect->dispatch(effGetVendorVersion), 0x00000100);
    EXPECT_EQ(e->version, 0x00000100);
    EXPECT_EQ(effect->dispatch(effGetPlugCategory), kPlugCategRoomFx);
    EXPECT_EQ(effect->dispatch(effGetVstVersion), 2400);
    EXPECT_EQ(e->numInputs, 2);
    EXPECT_EQ(e->numOutputs, 2);
    EXPECT_EQ(static_cast<size_t>(e->numParams), vst2Parameters(*instance).size());

    FUnknownPtr<Vst::IUnitInfo> units(instance->controller());
    ASSERT_TRUE(units);
    Vst::ProgramListInfo list{};
    ASSERT_EQ(units->getProgramListInfo(0, list), kResultOk);
    EXPECT_EQ(e->numPrograms, list.programCount);
    EXPECT_GE(e->numPrograms, 1);

    EXPECT_TRUE(e->flags & effFlagsCanReplacing);
    EXPECT_TRUE(e->flags & effFlagsCanDoubleReplacing);
    EXPECT_TRUE(e->flags & effFlagsProgramChunks);
    EXPECT_FALSE(e->flags & effFlagsIsSynth);
    // The editor flag follows what the VST 3 view offers: an editor only where it can be embedded
    // in the host's X11 window.
    bool embeddable = false;
    if (IPlugView* view = instance->controller()->createView(Vst::ViewType::kEditor))
    {
        embeddable = view->isPlatformTypeSupported(kPlatformTypeX11EmbedWindowID) == kResultTrue;
        view->release();
    }
    EXPECT_EQ((e->flags & effFlagsHasEditor) != 0, embeddable);
    ERect* rect = reinterpret_cast<ERect*>(1);
    if (embeddable)
    {
        ASSERT_EQ(effect->dispatch(effEditGetRect, 0, 0, &rect), 1);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->right - rect->left, 268);
        EXPECT_EQ(rect->bottom - rect->top, 490);
    }
    else
    {
        EXPECT_EQ(effect->dispatch(effEditGetRect, 0, 0, &rect), 0);
        EXPECT_EQ(rect, nullptr);
        EXPECT_EQ(effect->dispatch(effEditOpen, 0, 0, reinterpret_cast<void*>(0x1234)), 0);
        EXPECT_EQ(effect->dispatch(effEditClose), 0);
    }

    EXPECT_EQ(effect->canDo("receiveVstMidiEvent"), 1);
    EXPECT_EQ(effect->canDo("receiveVstEvents"), 1);
    EXPECT_EQ(effect->canDo("bypass"), 1);
    EXPECT_EQ(effect->canDo("sendVstMidiEvent"), -1);
    EXPECT_EQ(effect->canDo("somethingNoHostAsks"), 0);

    instance->setupProcessing(kRate, 512);
    effect->setSampleRate(kRate);
    effect->resume();
    EXPECT_EQ(effect->dispatch(vst2::effGetTailSize),
              static_cast<VstIntPtr>(instance->tailSamples()));

    VstPinProperties pin{};
    EXPECT_EQ(effect->dispatch(effGetInputProperties, 1, 0, &pin), 1);
    EXPECT_TRUE(pin.flags & vst2::pinIsActive);
    EXPECT_EQ(effect->dispatch(effGetOutputProperties, 2, 0, &pin), 0);
}

TEST(Vst2Entry, AHostWithoutAVersionGetsNoEffect)
{
    EXPECT_EQ(Vst2Effect::load(HALVANE_BUNDLE_PATH, 0), nullptr);
    EXPECT_NE(Vst2Effect::load(HALVANE_BUNDLE_PATH, 1), nullptr);
    // The old entry name reaches the same effect.
    void* library = dlopen(Module::binaryPath(HALVANE_BUNDLE_PATH).c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    EXPECT_NE(dlsym(library, "main"), nullptr);
    using Main = AEffect* (*)(audioMasterCallback);
    auto legacy = reinterpret_cast<Main>(dlsym(library, "main"));
    auto versionZero = [](AEffect*, int, int, VstIntPtr, void*, float) -> VstIntPtr { return 0; };
    EXPECT_EQ(legacy(versionZero), nullptr);
    dlclose(library);
}

TEST(Vst2Parameters, NamesUnitsAndTextsMatchVst3)
{
    auto effect = loadEffect();
    auto instance = loadInstance();
    const auto expected = vst2Parameters(*instance);
    ASSERT_EQ(static_cast<size_t>(effect->effect()->numParams), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
    {
        const int index = static_cast<int>(i);
        SCOPED_TRACE(expected[i].title);
        EXPECT_EQ(effect->parameterName(index), expected[i].title);
        EXPECT_EQ(effect->parameterLabel(index), expected[i].units);
        EXPECT_FLOAT_EQ(effect->getParameter(index),
                        static_cast<float>(instance->getParamNormalized(expected[i].id)));
        const bool automatable = (expected[i].flags & Vst::ParameterInfo::kCanAutomate) &&
                                 !(expected[i].flags & Vst::ParameterInfo::kIsReadOnly);
        EXPECT_EQ(effect->dispatch(effCanBeAutomated, index), automatable ? 1 : 0);

        for (float v : {0.0f, 0.3f, 1.0f})
        {
            effect->setParameter(index, v);
            EXPECT_EQ(effect->getParameter(index), v);
            EXPECT_EQ(effect->parameterDisplay(index),
                      instance->getParamStringByValue(expected[i].id, v));
        }
    }
    // Out of range indices and values are refused, not stored.
    effect->setParameter(0, 0.5f);
    effect->setParameter(0, std::nanf(""));
    EXPECT_EQ(effect->getParameter(0), 0.5f);
    effect->setParameter(0, 3.0f);
    EXPECT_EQ(effect->getParameter(0), 1.0f);
    effect->setParameter(static_cast<int>(expected.size()), 0.5f);
    EXPECT_EQ(effect->getParameter(static_cast<int>(expected.size())), 0.0f);
    EXPECT_EQ(effect->parameterName(static_cast<int>(expected.size())), "");
}

TEST(Vst2Parameters, TextsConvertBackToValues)
{
    auto effect = loadEffect();
    auto instance = loadInstance();
    const auto expected = vst2Parameters(*instance);
    const int position = indexOfTitle(*effect, "Position");
    ASSERT_GE(position, 0);

    // A display text read back lands on the value it was shown for.
    effect->setParameter(position, 1.0f);
    const std::string shown = effect->parameterDisplay(position);
    effect->setParameter(position, 0.0f);
    EXPECT_EQ(effect->dispatch(effString2Parameter, position, 0, nullptr), 1);
    ASSERT_TRUE(effect->stringToParameter(position, shown));
    EXPECT_EQ(effect->parameterDisplay(position), shown);
    auto viaVst3 = instance->getParamValueByString(expected[static_cast<size_t>(position)].id, shown);
    ASSERT_TRUE(viaVst3);
    EXPECT_FLOAT_EQ(effect->getParameter(position), static_cast<float>(*viaVst3));
    EXPECT_FALSE(effect->stringToParameter(position, "no such position"));
    EXPECT_EQ(effect->parameterDisplay(position), shown);

    // Properties as the interface lays them out: three floats, a 64-byte label, then flags
    // and the integer range.
    std::vector<char> properties(256, 0);
    ASSERT_EQ(effect->dispatch(vst2::effGetParameterProperties, position, 0, properties.data()), 1);
    EXPECT_STREQ(properties.data() + 12, "Position");
    int32_t flags = 0;
    int32_t maxInteger = 0;
    std::memcpy(&flags, properties.data() + 76, 4);
    std::memcpy(&maxInteger, properties.data() + 84, 4);
    EXPECT_TRUE(flags & vst2::parameterUsesIntegerMinMax);
    EXPECT_EQ(maxInteger, expected[static_cast<size_t>(position)].stepCount);
}

TEST(Vst2Programs, FactoryPresetsAreThePrograms)
{
    auto effect = loadEffect();
    auto instance = loadInstance();
    FUnknownPtr<Vst::IUnitInfo> units(instance->controller());
    ASSERT_TRUE(units);
    const auto expected = vst2Parameters(*instance);
    const int count = effect->effect()->numPrograms;
    for (int p = 0; p < count; ++p)
    {
        Vst::String128 name{};
        ASSERT_EQ(units->getProgramName(kFactoryPresets, p, name), kResultOk);
        std::string narrow;
        for (int k = 0; name[k]; ++k)
            narrow += static_cast<char>(name[k]);
        EXPECT_EQ(effect->programNameIndexed(p), narrow.substr(0, 23));
    }
    EXPECT_EQ(effect->programNameIndexed(count), "");
    EXPECT_EQ(effect->programNameIndexed(-1), "");

    // Each program sets the same values as selecting the preset through VST 3.
    for (int p = count - 1; p >= 0; --p)
    {
        effect->clearHostCalls();
        effect->setProgram(p);
        EXPECT_EQ(effect->program(), p);
        EXPECT_EQ(effect->programName(), effect->programNameIndexed(p));
        EXPECT_GE(effect->countHostCalls(vst2::audioMasterUpdateDisplay), 1u);
        ASSERT_TRUE(instance->setParamNormalized(
            kFactoryPresets, instance->plainToNormalized(kFactoryPresets, p)));
        for (size_t i = 0; i < expected.size(); ++i)
        {
            SCOPED_TRACE(expected[i].title + " in program " + std::to_string(p));
            const int index = static_cast<int>(i);
            EXPECT_FLOAT_EQ(effect->getParameter(index),
                            static_cast<float>(instance->getParamNormalized(expected[i].id)));
            EXPECT_EQ(effect->parameterDisplay(index),
                      instance->getParamStringByValue(expected[i].id,
                                                      instance->getParamNormalized(expected[i].id)));
        }
        const Bytes state = instance->getComponentState();
        EXPECT_EQ(effect->chunk(), std::vector<char>(state.begin(), state.end()));
    }
    // A program outside the list changes nothing.
    effect->setProgram(count);
    EXPECT_EQ(effect->program(), 0);
}

TEST(Vst2Audio, RendersTheSameSamplesAsVst3)
{
    constexpr int kFrames = 4096;
    constexpr int kBlock = 256;
    auto effect = loadEffect();
    auto instance = loadInstance();
    const auto expected = vst2Parameters(*instance);
    const int position = indexOfTitle(*effect, "Position");
    ASSERT_GE(position, 0);

    effect->setSampleRate(kRate);
    effect->setBlockSize(kBlock);
    effect->resume();
    ASSERT_TRUE(instance->setupProcessing(kRate, kBlock));
    ASSERT_TRUE(instance->setActive(true));

    Render viaVst2(kFrames);
    Render viaVst3(kFrames);
    // A parameter change before the first block, as each format delivers it.
    effect->setParameter(position, 0.7f);
    instance->setParamNormalized(expected[static_cast<size_t>(position)].id, 0.7f);
    instance->inputChanges().add(expected[static_cast<size_t>(position)].id, 0, 0.7f);
    renderVst2(*effect, viaVst2, kBlock);
    renderVst3(*instance, viaVst3, kBlock);
    EXPECT_EQ(viaVst2.outL, viaVst3.outL);
    EXPECT_EQ(viaVst2.outR, viaVst3.outR);
    EXPECT_TRUE(std::any_of(viaVst2.outL.begin(), viaVst2.outL.end(),
                            [](float x) { return x != 0.0f; }));

    // Doubles in and out give the same samples again.
    auto doubles = loadEffect();
    doubles->setSampleRate(kRate);
    doubles->setBlockSize(kBlock);
    doubles->setParameter(position, 0.7f);
    doubles->resume();
    Render reference(kFrames);
    std::vector<double> inL(reference.inL.begin(), reference.inL.end());
    std::vector<double> inR(reference.inR.begin(), reference.inR.end());
    std::vector<double> outL(kFrames), outR(kFrames);
    for (int start = 0; start < kFrames; start += kBlock)
    {
        double* in[] = {inL.data() + start, inR.data() + start};
        double* out[] = {outL.data() + start, outR.data() + start};
        doubles->processDouble(in, out, kBlock);
    }
    for (int i = 0; i < kFrames; ++i)
    {
        ASSERT_EQ(outL[static_cast<size_t>(i)], viaVst3.outL[static_cast<size_t>(i)]) << i;
        ASSERT_EQ(outR[static_cast<size_t>(i)], viaVst3.outR[static_cast<size_t>(i)]) << i;
    }
}

TEST(Vst2Audio, BlockSizesDoNotChangeTheSound)
{
    constexpr int kFrames = 3000;
    Render reference(kFrames);
    {
        auto effect = loadEffect();
        effect->setSampleRate(kRate);
        effect->setBlockSize(500);
        effect->resume();
        renderVst2(*effect, reference, 500);
    }

    auto effect = loadEffect();
    effect->setSampleRate(kRate);
    effect->setBlockSize(64);
    effect->resume();
    Render varied(kFrames);
    renderVst2(*effect, varied, 64);
    // A new block size while suspended, then blocks larger than the host promised.
    effect->suspend();
    effect->setBlockSize(128);
    effect->resume();
    Render after(kFrames);
    renderVst2(*effect, after, 1000);
    EXPECT_TRUE(allFinite(after.outL));

    Render fresh(kFrames);
    auto second = loadEffect();
    second->setSampleRate(kRate);
    second->setBlockSize(128);
    second->resume();
    renderVst2(*second, fresh, 1000);
    EXPECT_EQ(varied.outL, reference.outL);
    EXPECT_EQ(varied.outR, reference.outR);
    EXPECT_EQ(fresh.outL, reference.outL);
    EXPECT_EQ(fresh.outR, reference.outR);
}

TEST(Vst2Audio, RateChangesWhileResumedTakeEffect)
{
    auto effect = loadEffect();
    auto instance = loadInstance();
    effect->setSampleRate(44100.0f);
    effect->resume();
    ASSERT_TRUE(instance->setupProcessing(96000.0, 512));
    ASSERT_TRUE(instance->setActive(true));
    // Not every host suspends first.
    effect->setSampleRate(96000.0f);
    EXPECT_EQ(effect->dispatch(vst2::effGetTailSize),
              static_cast<VstIntPtr>(instance->tailSamples()));
    Render viaVst2(1024), viaVst3(1024);
    renderVst2(*effect, viaVst2, 512);
    renderVst3(*instance, viaVst3, 512);
    EXPECT_EQ(viaVst2.outL, viaVst3.outL);
    EXPECT_EQ(viaVst2.outR, viaVst3.outR);
}

// Set up for small blocks, then told of large ones and a new rate while resumed: the large
// blocks come out whole and sound as they do from an effect set up for them from the start.
TEST(Vst2Audio, BlockSizeChangesWhileResumedTakeEffect)
{
    constexpr int kSmall = 64;
    constexpr int kLarge = 2048;
    auto changed = loadEffect();
    changed->setSampleRate(kRate);
    changed->setBlockSize(kSmall);
    changed->resume();
    changed->setBlockSize(kLarge);
    changed->setSampleRate(44100.0f);
    auto fresh = loadEffect();
    fresh->setSampleRate(44100.0f);
    fresh->setBlockSize(kLarge);
    fresh->resume();
    Render viaChanged(3 * kLarge), viaFresh(3 * kLarge);
    renderVst2(*changed, viaChanged, kLarge);
    renderVst2(*fresh, viaFresh, kLarge);
    EXPECT_TRUE(allFinite(viaChanged.outL) && allFinite(viaChanged.outR));
    EXPECT_EQ(viaChanged.outL, viaFresh.outL);
    EXPECT_EQ(viaChanged.outR, viaFresh.outR);
}

TEST(Vst2Audio, AnEmptyBlockStillDeliversParameters)
{
    auto effect = loadEffect();
    effect->setSampleRate(kRate);
    effect->setBlockSize(64);
    effect->resume();
    const int position = indexOfTitle(*effect, "Position");
    const int bypass = indexOfTitle(*effect, "Bypass");
    ASSERT_GE(position, 0);
    ASSERT_GE(bypass, 0);
    effect->setParameter(position, 1.0f);

    float left = 5.0f, right = 6.0f;
    float* in[] = {&left, &right};
    float sentinelL = 3.0f, sentinelR = 4.0f;
    float* out[] = {&sentinelL, &sentinelR};
    effect->process(in, out, 0);
    EXPECT_EQ(sentinelL, 3.0f);
    EXPECT_EQ(sentinelR, 4.0f);
    const auto state = effect->chunk();
    ASSERT_GT(state.size(), kPositionByte);
    EXPECT_EQ(state[kPositionByte], 10); // the last position

    // effSetBypass is the bypass parameter; bypassed, input comes through untouched.
    EXPECT_EQ(effect->dispatch(vst2::effSetBypass, 0, 1), 1);
    EXPECT_EQ(effect->getParameter(bypass), 1.0f);
    // Bypass fades in over a few milliseconds; after that the input comes through as it is.
    Render r(2048);
    renderVst2(*effect, r, 64);
    const auto settled = r.inL.size() / 2;
    EXPECT_TRUE(std::equal(r.outL.begin() + settled, r.outL.end(), r.inL.begin() + settled));
    EXPECT_TRUE(std::equal(r.outR.begin() + settled, r.outR.end(), r.inR.begin() + settled));
    EXPECT_EQ(effect->chunk()[kBypassByte], 1);
}

TEST(Vst2Audio, SuspendedEffectsAnswerWithSilence)
{
    auto effect = loadEffect();
    Render r(64);
    renderVst2(*effect, r, 64);
    EXPECT_EQ(r.outL, std::vector<float>(64, 0.0f));
    EXPECT_EQ(r.outR, std::vector<float>(64, 0.0f));
}

TEST(Vst2Audio, ParametersSetFromAnotherThreadReachTheAudio)
{
    auto effect = loadEffect();
    effect->setSampleRate(kRate);
    effect->setBlockSize(64);
    effect->resume();
    const int position = indexOfTitle(*effect, "Position");
    ASSERT_GE(position, 0);

    std::atomic<bool> done{false};
    std::thread automation(
        [&]
        {
            for (int i = 0; i <= 400; ++i)
                effect->effect()->setParameter(effect->effect(), position,
                                               static_cast<float>(i % 11) / 10.0f);
            effect->effect()->setParameter(effect->effect(), position, 1.0f);
            done = true;
        });
    Render r(64);
    while (!done)
        renderVst2(*effect, r, 64);
    automation.join();
    renderVst2(*effect, r, 64);
    EXPECT_TRUE(allFinite(r.outL));
    EXPECT_EQ(effect->chunk()[kPositionByte], 10);
}

TEST(Vst2State, AChunkMovesTheStateToAnotherInstance)
{
    auto first = loadEffect();
    first->setSampleRate(kRate);
    first->resume();
    const int position = indexOfTitle(*first, "Position");
    const int gain = indexOfTitle(*first, "Gain");
    ASSERT_GE(position, 0);
    ASSERT_GE(gain, 0);
    first->setParameter(position, 0.4f);
    first->setParameter(gain, 0.25f);
    Render r(64);
    renderVst2(*first, r, 64);
    const auto saved = first->chunk();
    ASSERT_FALSE(saved.empty());

    // The chunk is the VST 3 state: a VST 3 instance reads it and writes it back unchanged.
    auto instance = loadInstance();
    ASSERT_TRUE(instance->setComponentState(Bytes(saved.begin(), saved.end())));
    EXPECT_EQ(instance->getComponentState(), Bytes(saved.begin(), saved.end()));

    auto second = loadEffect();
    second->clearHostCalls();
    ASSERT_TRUE(second->setChunk(saved.data(), static_cast<VstIntPtr>(saved.size())));
    EXPECT_EQ(second->chunk(), saved);
    EXPECT_FLOAT_EQ(second->getParameter(gain), first->getParameter(gain));
    EXPECT_EQ(second->parameterDisplay(position), first->parameterDisplay(position));
    EXPECT_EQ(second->parameterDisplay(gain), first->parameterDisplay(gain));

    // Parameters set while suspended are part of the next saved state.
    second->setParameter(position, 0.0f);
    EXPECT_EQ(second->chunk()[kPositionByte], 0);
}

TEST(Vst2State, HostileChunksAreRefusedOrHarmless)
{
    auto effect = loadEffect();
    effect->setSampleRate(kRate);
    effect->setBlockSize(32);
    effect->resume();
    const auto original = effect->chunk();
    ASSERT_FALSE(original.empty());
    EXPECT_FALSE(effect->setChunk(nullptr, 62));
    EXPECT_FALSE(effect->setChunk(original.data(), 0));
    EXPECT_FALSE(effect->setChunk(original.data(), -5));
    EXPECT_EQ(effect->chunk(), original);

    const int params = effect->effect()->numParams;
    std::vector<float> inL(32, 0.5f), inR(32, -0.5f), outL(32), outR(32);
    float* in[] = {inL.data(), inR.data()};
    float* out[] = {outL.data(), outR.data()};
    int accepted = 0;
    for (unsigned seed = 0; seed < 3000; ++seed)
    {
        std::mt19937 random(seed);
        std::vector<char> bytes;
        if (seed % 2 == 0)
        {
            // A valid state with a few bytes changed.
            bytes = original;
            for (int k = 0; k < 1 + static_cast<int>(random() % 4); ++k)
                bytes[random() % bytes.size()] = static_cast<char>(random());
            bytes.resize(random() % (bytes.size() + 8));
        }
        else
        {
            bytes.resize(random() % 160);
            for (char& b : bytes)
                b = static_cast<char>(random());
        }
        if (effect->setChunk(bytes.data(), static_cast<VstIntPtr>(bytes.size()))) ++accepted;
        for (int i = 0; i < params; ++i)
        {
            const float v = effect->getParameter(i);
            ASSERT_TRUE(v >= 0.0f && v <= 1.0f) << "seed " << seed << " parameter " << i;
        }
        if (seed % 100 == 0)
        {
            for (int i = 0; i < params; ++i)
                effect->parameterDisplay(i);
            effect->process(in, out, 32);
            ASSERT_TRUE(allFinite(outL) && allFinite(outR)) << "seed " << seed;
        }
    }
    // Some damaged states are still well formed and load: the loop exercised both roads.
    EXPECT_GT(accepted, 0);
    EXPECT_LT(accepted, 3000);
    // The effect still takes a good state afterwards.
    ASSERT_TRUE(effect->setChunk(original.data(), static_cast<VstIntPtr>(original.size())));
    EXPECT_EQ(effect->chunk(), original);
}

TEST(Vst2Midi, ControllersBecomeParameterChanges)
{
    auto effect = loadEffect();
    effect->setSampleRate(kRate);
    effect->setBlockSize(64);
    effect->resume();
    const int volume = indexOfTitle(*effect, "MIDI Vol");
    const int bend = indexOfTitle(*effect, "PitchBend");
    ASSERT_GE(volume, 0);
    ASSERT_GE(bend, 0);

    // CC 7 on channel 3, pitch bend fully up, and notes, which go to the event list.
    effect->sendMidi({{0xB3, 7, 100}, {0xE0, 0x7F, 0x7F}, {0x90, 60, 100}, {0x80, 60, 0}},
                     {5, 10, 0, 20});
    Render r(64);
    renderVst2(*effect, r, 64);
    EXPECT_FLOAT_EQ(effect->getParameter(volume), 100.0f / 127.0f);
    EXPECT_FLOAT_EQ(effect->getParameter(bend), 1.0f);
    EXPECT_TRUE(allFinite(r.outL));

    // Outside processing, MIDI has no block to go to and is dropped.
    effect->suspend();
    effect->sendMidi({{0xB0, 7, 1}}, {0});
    EXPECT_FLOAT_EQ(effect->getParameter(volume), 100.0f / 127.0f);
    // The controller learns the mapped value on the host's idle call; the chunk still holds
    // only the processor's state.
    const auto before = effect->chunk();
    effect->dispatch(effEditIdle);
    EXPECT_EQ(effect->chunk(), before);
}
