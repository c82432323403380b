// SPDX-License-Identifier: GPL-3.0-or-later
// The wrapper around a small plug-in object of the test's own, for what the room effect never
// does: edits that come from the plug-in side.
#include "binding/Processor.h"
#include "sdk/FixedText.h"
#include "sdk/PluginFactory.h"
#include "tests/support/TestPlugInFactory.h"
#include "vst2/Vst2Interface.h"
#include "vst2/Vst2Wrapper.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Steinberg::Vst::Davu2VOV3::Processor;

namespace
{

enum Position : uint32_t
{
    kLevel = 0, // float 0..2
    kSteps,     // int -4..4, dragged along by Level
};

class CLinkedPlugIn : public CPlugIn
{
public:
    CLinkedPlugIn()
    {
        registerControls();
        presetNames[0] = "Linked";
        controlList.at(kLevel)->presetValues[0] = 1.5;
        controlList.at(kSteps)->presetValues[0] = -4.0;
    }

    bool registerControls() override
    {
        add(kLevel, CControlDescriptor::kFloat, 0.0f, 2.0f, "Level")->floatVariable = &m_fLevel;
        add(kSteps, CControlDescriptor::kInt, -4.0f, 4.0f, "Steps")->intVariable = &m_nSteps;
        buildControlIndex();
        return true;
    }

    // Whatever the host sets Level to, Steps follows to 2.
    bool collectLinkedUpdates(uint32_t controlId, float, CUpdateNode** list, bool fromHost) override
    {
        if (controlId != kLevel || !fromHost) return false;
        auto* steps = new CUpdateNode;
        steps->controlId = kSteps;
        steps->value = 2.0f;
        *list = steps;
        return true;
    }

    float m_fLevel = 1.0f;
    int32_t m_nSteps = 0;

private:
    CControlDescriptor* add(uint32_t id, uint32_t type, float minValue, float maxValue,
                            const char* name)
    {
        CControlDescriptor descriptor;
        descriptor.kind = CControlDescriptor::kKindContinuous;
        descriptor.controlId = id;
        descriptor.dataType = type;
        descriptor.minValue = minValue;
        descriptor.maxValue = maxValue;
        descriptor.setDisplayName(name);
        return controlList.appendCopy(descriptor);
    }
};

struct Call
{
    int opcode;
    int index;
    float opt;
};
std::vector<Call> hostCalls;

VstIntPtr recordingHost(AEffect*, int opcode, int index, VstIntPtr, void*, float opt)
{
    hostCalls.push_back({opcode, index, opt});
    return opcode == audioMasterVersion ? 2400 : 0;
}

const FUID kClassId(0x11111111, 0x22222222, 0x33333333, 0x44444444);

IPtr<IPluginFactory> makeFactory()
{
    PFactoryInfo factoryInfo;
    copyFixedText(factoryInfo.vendor, "Test Vendor");
    auto* factory = new CPluginFactory(factoryInfo);
    PClassInfo2 info;
    kClassId.toTUID(info.cid);
    info.cardinality = PClassInfo::kManyInstances;
    copyFixedText(info.category, kVstAudioEffectClass);
    copyFixedText(info.name, "Linked");
    copyFixedText(info.version, "1.2.3.4");
    factory->registerClass(&info, Processor::createInstance, nullptr);
    return owned(static_cast<IPluginFactory*>(factory));
}

} // namespace

TEST(Vst2Edits, PlugInEditsReachHostAndProcessor)
{
    auto* plugIn = new CLinkedPlugIn();
    TestPlugIns::ScopedFactory scoped([plugIn] { return plugIn; });
    IPtr<IPluginFactory> factory = makeFactory();
    TUID cid;
    kClassId.toTUID(cid);
    hostCalls.clear();
    AEffect* effect = Vst2Wrapper::create(factory, cid, CCONST('T', 'e', 's', 't'), recordingHost);
    ASSERT_NE(effect, nullptr);
    EXPECT_EQ(effect->uniqueID, CCONST('T', 'e', 's', 't'));
    EXPECT_EQ(effect->version, 0x01020304);
    ASSERT_EQ(effect->numPrograms, 1);
    char name[64] = {};
    effect->dispatcher(effect, effGetParamName, kSteps, 0, name, 0.0f);
    ASSERT_STREQ(name, "Steps");
    effect->dispatcher(effect, effGetVendorString, 0, 0, name, 0.0f);
    EXPECT_STREQ(name, "Test Vendor");

    // A host set parked for the processor gives way to the program that follows it.
    effect->setParameter(effect, kLevel, 0.0f);
    hostCalls.clear();
    effect->dispatcher(effect, effSetProgram, 0, 0, nullptr, 0.0f);
    // The program's linked update reaches the host as automation of Steps...
    const float stepsTwo = 6.0f / 8.0f;
    bool automated = false;
    for (const Call& call : hostCalls)
        if (call.opcode == audioMasterAutomate && call.index == kSteps && call.opt == stepsTwo)
            automated = true;
    EXPECT_TRUE(automated);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, kSteps), stepsTwo);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, kLevel), 0.75f);

    // ...and the processor in the next block, while the program's own values stand.
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 48000.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 16, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    std::vector<float> inL(16), inR(16), outL(16), outR(16);
    float* in[] = {inL.data(), inR.data()};
    float* out[] = {outL.data(), outR.data()};
    effect->processReplacing(effect, in, out, 16);
    EXPECT_EQ(plugIn->m_nSteps, 2);
    EXPECT_FLOAT_EQ(plugIn->m_fLevel, 1.5f);

    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f), 1);
}

TEST(Vst2Edits, ClassesTheFactoryCannotCreateGiveNoEffect)
{
    TestPlugIns::ScopedFactory scoped([] { return new CLinkedPlugIn(); });
    IPtr<IPluginFactory> factory = makeFactory();
    TUID other;
    FUID(1, 2, 3, 4).toTUID(other);
    EXPECT_EQ(Vst2Wrapper::create(factory, other, 1, recordingHost), nullptr);
    TUID cid;
    kClassId.toTUID(cid);
    EXPECT_EQ(Vst2Wrapper::create(nullptr, cid, 1, recordingHost), nullptr);
    EXPECT_EQ(Vst2Wrapper::create(factory, cid, 1, nullptr), nullptr);
}

TEST(Vst2Edits, HostSetsFromAnotherThreadMeetTheAudioThreadWithoutLocks)
{
    auto* plugIn = new CLinkedPlugIn();
    TestPlugIns::ScopedFactory scoped([plugIn] { return plugIn; });
    IPtr<IPluginFactory> factory = makeFactory();
    TUID cid;
    kClassId.toTUID(cid);
    AEffect* effect = Vst2Wrapper::create(factory, cid, 1, recordingHost);
    ASSERT_NE(effect, nullptr);
    effect->dispatcher(effect, effSetBlockSize, 0, 32, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);

    std::vector<float> inL(32), inR(32), outL(32), outR(32);
    float* in[] = {inL.data(), inR.data()};
    float* out[] = {outL.data(), outR.data()};
    std::atomic<bool> done{false};
    std::thread automation(
        [&]
        {
            for (int i = 0; i < 2000; ++i)
                effect->setParameter(effect, kLevel, static_cast<float>(i % 100) / 100.0f);
            effect->setParameter(effect, kLevel, 0.25f);
            done = true;
        });
    int blocks = 0;
    while (!done || blocks < 10)
    {
        effect->processReplacing(effect, in, out, 32);
        ++blocks;
    }
    automation.join();
    effect->processReplacing(effect, in, out, 32);
    EXPECT_FLOAT_EQ(plugIn->m_fLevel, 0.5f);
    EXPECT_FLOAT_EQ(effect->getParameter(effect, kLevel), 0.25f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
