// SPDX-License-Identifier: GPL-3.0-or-later
// The host driving the real HalvaneDuo bundle.
#include "host/HostError.h"
#include "host/Module.h"
#include "host/PluginInstance.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

using namespace Steinberg;
using namespace halvane::host;

namespace
{

constexpr Vst::ParamID kPosition = 1;
constexpr Vst::ParamID kBypass = 0x808;
constexpr Vst::ParamID kFactoryPresets = 0x70727374;

std::shared_ptr<Module> loadBundle()
{
    return Module::load(HALVANE_BUNDLE_PATH);
}

} // namespace

TEST(HostPlugin, ReadsFactoryAndClassInformation)
{
    auto module = loadBundle();
    EXPECT_EQ(module->factoryInfo().vendor, "Brackwater Audio");
    ASSERT_EQ(module->classes().size(), 1u);
    const ClassInfo& c = module->classes().front();
    EXPECT_EQ(c.category, "Audio Module Class");
    EXPECT_EQ(c.name, "HalvaneDuo");
    EXPECT_EQ(c.subCategories, "FX|Reverb");
    EXPECT_EQ(c.version, "0.0.1.0");
    EXPECT_EQ(module->findClass("Audio Module Class", "HalvaneDuo"), &c);
    EXPECT_EQ(module->findClass("Audio Module Class", "Other"), nullptr);
}

TEST(HostPlugin, CreatesASingleComponentEffectWithItsParameters)
{
    auto module = loadBundle();
    auto plugin = PluginInstance::create(module);
    EXPECT_TRUE(plugin->isSingleComponent());
    EXPECT_EQ(plugin->mainInputChannels(), 2);
    EXPECT_EQ(plugin->mainOutputChannels(), 2);
    EXPECT_EQ(plugin->eventBusCount(Vst::kInput), 1);

    const auto params = plugin->parameters();
    ASSERT_GE(params.size(), 11u);
    EXPECT_EQ(params[0].title, "Gain");
    auto position = plugin->findParameter("Position");
    ASSERT_TRUE(position);
    EXPECT_EQ(position->id, kPosition);
    EXPECT_TRUE(position->flags & Vst::ParameterInfo::kIsList);
    EXPECT_FALSE(plugin->findParameter("No Such Parameter"));

    EXPECT_EQ(plugin->getParamStringByValue(kPosition, 1.0), "R90");
    auto l45 = plugin->getParamValueByString(kPosition, "L45");
    ASSERT_TRUE(l45);
    EXPECT_NEAR(*l45, 0.3, 1e-9);
    EXPECT_NEAR(plugin->normalizedToPlain(kPosition, *l45), 3.0, 1e-9);
}

TEST(HostPlugin, StateRoundTripsThroughByteVectors)
{
    auto module = loadBundle();
    auto plugin = PluginInstance::create(module);
    Bytes fresh = plugin->getComponentState();
    ASSERT_EQ(fresh.size(), 62u);
    EXPECT_EQ(fresh[0], 1);

    Bytes changed = fresh;
    changed[12] = 7; // Position R32
    ASSERT_TRUE(plugin->setComponentState(changed));
    EXPECT_EQ(plugin->getComponentState(), changed);
    EXPECT_EQ(plugin->getParamStringByValue(kPosition, plugin->getParamNormalized(kPosition)),
              "R32");

    auto other = PluginInstance::create(module);
    ASSERT_TRUE(other->setComponentState(plugin->getComponentState()));
    EXPECT_EQ(other->getComponentState(), changed);
}

TEST(HostPlugin, QueuedParameterChangesReachTheAudioCycle)
{
    auto module = loadBundle();
    auto plugin = PluginInstance::create(module);
    ASSERT_TRUE(plugin->setupProcessing(48000.0, 128));
    ASSERT_TRUE(plugin->setActive(true));
    EXPECT_GT(plugin->tailSamples(), 0u);

    std::vector<float> inL(128), inR(128), outL(128, 9.f), outR(128, 9.f);
    for (size_t i = 0; i < inL.size(); ++i)
    {
        inL[i] = std::sin(0.01f * static_cast<float>(i));
        inR[i] = -inL[i];
    }
    const float* in[] = {inL.data(), inR.data()};
    float* out[] = {outL.data(), outR.data()};

    ASSERT_TRUE(plugin->inputChanges().add(kPosition, 0, 1.0));
    ASSERT_EQ(plugin->process(in, 2, out, 2, 128), kResultOk);
    EXPECT_TRUE(plugin->inputChanges().empty());
    EXPECT_EQ(plugin->getComponentState()[12], 10); // R90

    // Bypassed, once its 5 ms fade (240 frames) is over, the effect hands its input through
    // unchanged.
    ASSERT_TRUE(plugin->inputChanges().add(kBypass, 0, 1.0));
    ASSERT_EQ(plugin->process(in, 2, out, 2, 128), kResultOk);
    EXPECT_EQ(plugin->getComponentState()[52], 1);
    ASSERT_EQ(plugin->process(in, 2, out, 2, 128), kResultOk);
    ASSERT_EQ(plugin->process(in, 2, out, 2, 128), kResultOk);
    EXPECT_EQ(outL, inL);
    EXPECT_EQ(outR, inR);
    EXPECT_EQ(plugin->processContext().projectTimeSamples, 512);

    EXPECT_EQ(plugin->process(in, 2, out, 2, 129), kResultFalse);
    ASSERT_TRUE(plugin->setActive(false));
    EXPECT_EQ(plugin->process(in, 2, out, 2, 128), kResultFalse);
}

TEST(HostPlugin, ProgramChangeAsksTheHostToRereadParameters)
{
    auto module = loadBundle();
    auto plugin = PluginInstance::create(module);
    plugin->handler().clear();
    ASSERT_TRUE(plugin->setParamNormalized(kFactoryPresets, 0.0));
    EXPECT_EQ(plugin->handler().count(ComponentHandler::Kind::RestartComponent), 1u);
    const auto& calls = plugin->handler().calls();
    auto restart = std::find_if(calls.begin(), calls.end(),
                                [](const ComponentHandler::Call& c)
                                { return c.kind == ComponentHandler::Kind::RestartComponent; });
    ASSERT_NE(restart, calls.end());
    EXPECT_EQ(restart->id, Vst::kParamValuesChanged);
}

TEST(HostPlugin, InstancesOutliveTheirCallersModuleHandle)
{
    std::unique_ptr<PluginInstance> plugin;
    {
        auto module = loadBundle();
        plugin = PluginInstance::create(module);
    }
    ASSERT_TRUE(plugin->setupProcessing(44100.0, 64));
    ASSERT_TRUE(plugin->setActive(true));
    std::vector<float> silence(64, 0.f), l(64), r(64);
    const float* in[] = {silence.data(), silence.data()};
    float* out[] = {l.data(), r.data()};
    EXPECT_EQ(plugin->process(in, 2, out, 2, 64), kResultOk);
    plugin.reset();
}
