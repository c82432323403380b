// SPDX-License-Identifier: GPL-3.0-or-later
// The built bundle as a Linux host sees it: exports, factory, class and parameter list.
#include "host/Module.h"
#include "host/PluginInstance.h"

#include "pluginterfaces/vst/ivstaudioprocessor.h"
#include "pluginterfaces/vst/ivstcomponent.h"
#include "pluginterfaces/vst/vstspeaker.h"

#include <gtest/gtest.h>

#include <dlfcn.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <new>
#include <set>
#include <sstream>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using halvane::host::Module;
using halvane::host::PluginInstance;

// Counts every C++ allocation in the process, the module's included (ours interposes the
// module's operator new). Sanitizer builds bring their own allocator; they skip the count.
#if !defined(__SANITIZE_ADDRESS__)
#define HALVANE_COUNT_ALLOCATIONS 1
namespace
{
std::atomic<long> allocationCount{0};
}
void* operator new(std::size_t size)
{
    ++allocationCount;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size)
{
    return operator new(size);
}
// The other forms release through this one, as new[] allocates through new. Kept out of line:
// inlined into a caller, its free() would meet a pointer from operator new there and the
// compiler would take the pair for a mismatch.
[[gnu::noinline]] void operator delete(void* p) noexcept
{
    std::free(p);
}
[[gnu::noinline]] void operator delete[](void* p) noexcept
{
    operator delete(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept
{
    operator delete(p);
}
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept
{
    operator delete(p);
}
#endif

namespace
{

const std::string kBundle = HALVANE_BUNDLE_PATH;

std::string commandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return output;
    char buffer[512];
    while (fgets(buffer, sizeof buffer, pipe))
        output += buffer;
    pclose(pipe);
    return output;
}

TEST(ModuleExports, OnlyTheEntryPointsAreVisible)
{
    const std::string so = Module::binaryPath(kBundle);
    ASSERT_TRUE(std::ifstream(so).good()) << so;
    std::istringstream symbols(
        commandOutput("nm -D --defined-only --extern-only '" + so + "' | awk '{print $3}'"));
    std::set<std::string> ours;
    for (std::string name; std::getline(symbols, name);)
        if (!name.empty() && name[0] != '_') ours.insert(name);
    // VST 2 hosts look for VSTPluginMain, old ones for main.
    EXPECT_EQ(ours, (std::set<std::string>{"GetPluginFactory", "ModuleEntry", "ModuleExit",
                                           "VSTPluginMain", "main"}));

    void* library = dlopen(so.c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr);
    EXPECT_NE(dlsym(library, "VSTPluginMain"), nullptr);
    EXPECT_NE(dlsym(library, "main"), nullptr);
    EXPECT_EQ(dlsym(library, "InitDll"), nullptr);
    dlclose(library);
}

TEST(ModuleFactory, DescribesOneReverbClass)
{
    auto module = Module::load(kBundle);
    EXPECT_EQ(module->factoryInfo().vendor, "Brackwater Audio");
    EXPECT_EQ(module->factoryInfo().email, "HalvaneKit 0.0.1.0");
    EXPECT_EQ(module->factoryInfo().flags, PFactoryInfo::kUnicode);
    ASSERT_EQ(module->classes().size(), 1u);
    const auto& info = module->classes()[0];
    EXPECT_EQ(info.category, "Audio Module Class");
    EXPECT_EQ(info.name, "HalvaneDuo");
    EXPECT_EQ(info.subCategories, "FX|Reverb");
    EXPECT_EQ(info.version, "0.0.1.0");
    EXPECT_EQ(info.sdkVersion, "VST 3.6.6");
    EXPECT_EQ(info.vendor, "");
    EXPECT_EQ(info.cardinality, PClassInfo::kManyInstances);
    EXPECT_EQ(info.classFlags, 0u);

    // A second GetPluginFactory hands out the same object with one more reference.
    IPluginFactory* factory = module->factory();
    auto getFactory =
        reinterpret_cast<IPluginFactory* (*)()>(dlsym(RTLD_DEFAULT, "GetPluginFactory"));
    if (!getFactory)
    {
        void* library = dlopen(Module::binaryPath(kBundle).c_str(), RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(library, nullptr);
        getFactory = reinterpret_cast<IPluginFactory* (*)()>(dlsym(library, "GetPluginFactory"));
        dlclose(library);
    }
    ASSERT_NE(getFactory, nullptr);
    const uint32 before = factory->addRef() - 1;
    factory->release();
    IPluginFactory* again = getFactory();
    EXPECT_EQ(again, factory);
    EXPECT_EQ(factory->addRef(), before + 2);
    factory->release();
    again->release();

    // Creating an unknown class or interface fails cleanly.
    void* object = reinterpret_cast<void*>(1);
    TUID unknown = {};
    EXPECT_NE(factory->createInstance(unknown, IComponent::iid, &object), kResultOk);
    EXPECT_EQ(object, nullptr);
}

TEST(ModuleFactory, ModuleInfoJsonMatchesTheFactory)
{
    std::ifstream file(kBundle + "/Contents/Resources/moduleinfo.json");
    ASSERT_TRUE(file.good());
    std::stringstream text;
    text << file.rdbuf();
    const std::string json = text.str();
    for (const char* expected :
         {"\"Vendor\": \"Brackwater Audio\"", "\"Name\": \"HalvaneDuo\"",
          "\"Category\": \"Audio Module Class\"", "\"Sub Categories\": [\"FX\", \"Reverb\"]",
          "\"SDKVersion\": \"VST 3.6.6\"", "\"Version\": \"0.0.1.0\"", "\"Unicode\": true"})
        EXPECT_NE(json.find(expected), std::string::npos) << expected;
}

class ModuleInstance : public ::testing::Test
{
protected:
    void SetUp() override
    {
        instance = PluginInstance::create(Module::load(kBundle));
        ASSERT_TRUE(instance);
    }
    std::unique_ptr<PluginInstance> instance;
};

TEST_F(ModuleInstance, PublishesTheParametersInRegistrationOrder)
{
    struct Expected
    {
        ParamID id;
        const char* title;
        int32 flags;
        int32 steps;
        double defaultValue;
        const char* defaultText;
    };
    const int32 automate = ParameterInfo::kCanAutomate;
    const int32 list = ParameterInfo::kCanAutomate | ParameterInfo::kIsList;
    const Expected expected[] = {
        {0, "Gain", automate, 0, 0.5, "0.50"},
        {1, "Position", list, 10, 0.0, "Center"},
        {2, "Vol L-R", automate, 0, 1.0, "1.00"},
        {3, "Abs L-R", automate, 0, 0.5, "7.00"},
        {4, "Vol F-B", automate, 0, 1.0, "1.00"},
        {5, "Abs F-B", automate, 0, 0.5, "7.00"},
        {6, "Vol C-F", automate, 0, 1.0, "1.00"},
        {7, "Abs C-F", automate, 0, 0.5, "7.00"},
        {8, "Decay Type", automate, 0, 1.0, "1"},
        {9, "Stereo/Mono", list, 1, 0.0, "Stereo"},
        {10, "Left/Right", list, 1, 0.0, "Left"},
        {0x8005, "VectorJoystick X", automate, 0, 0.5, "0.50"},
        {0x8006, "VectorJoystick Y", automate, 0, 0.5, "0.50"},
        {0x8000, "B1", automate, 0, 0.0, "0"},
        {0x8001, "B2", automate, 0, 0.0, "0"},
        {0x8002, "B3", automate, 0, 0.0, "0"},
        {0x808, "Bypass", automate | ParameterInfo::kIsBypass, 0, 0.0, nullptr},
        {0x800, "PitchBend", automate, 0, 0.0, "0.0"},
        {0x802, "MIDI Vol", automate, 0, 0.0, "0.0"},
        {0x803, "MIDI Pan", automate, 0, 0.0, "0.0"},
        {0x801, "MIDI Mod Wheel", automate, 0, 0.0, "0.0"},
        {0x804, "MIDI Expression", automate, 0, 0.0, "0.0"},
        {0x806, "MIDI Channel Pressure", automate, 0, 0.0, "0.0"},
        {0x805, "MIDI Sustain Pedal", automate, 0, 0.0, "0.0"},
        {0x807, "All Notes Off", automate, 0, 0.0, "0.0"},
        {0x70727374, "Factory Presets", ParameterInfo::kIsProgramChange | ParameterInfo::kIsList, 0,
         0.0, "Factory Preset"},
    };
    const auto parameters = instance->parameters();
    ASSERT_EQ(parameters.size(), std::size(expected));
    for (size_t i = 0; i < parameters.size(); ++i)
    {
        SCOPED_TRACE(expected[i].title);
        EXPECT_EQ(parameters[i].id, expected[i].id);
        EXPECT_EQ(parameters[i].title, expected[i].title);
        EXPECT_EQ(parameters[i].flags, expected[i].flags);
        EXPECT_EQ(parameters[i].stepCount, expected[i].steps);
        EXPECT_NEAR(parameters[i].defaultNormalized, expected[i].defaultValue, 1e-9);
        EXPECT_EQ(parameters[i].unitId, 0);
        if (expected[i].defaultText)
        {
            EXPECT_EQ(instance->getParamStringByValue(expected[i].id, expected[i].defaultValue),
                      expected[i].defaultText);
        }
    }
    EXPECT_EQ(instance->getParamStringByValue(1, 1.0), "R90");
    EXPECT_EQ(instance->getParamStringByValue(3, 0.25), "3.50");
    EXPECT_EQ(instance->getParamStringByValue(8, 0.0), "0");
}

TEST_F(ModuleInstance, OffersStereoBusesAndThirtyTwoBitOnly)
{
    EXPECT_EQ(instance->audioBusCount(kInput), 1);
    EXPECT_EQ(instance->audioBusCount(kOutput), 1);
    EXPECT_EQ(instance->eventBusCount(kInput), 1);
    BusInfo bus{};
    ASSERT_EQ(instance->component()->getBusInfo(kAudio, kOutput, 0, bus), kResultTrue);
    EXPECT_EQ(bus.channelCount, 2);
    EXPECT_EQ(bus.busType, kMain);
    ASSERT_EQ(instance->component()->getBusInfo(kEvent, kInput, 0, bus), kResultTrue);
    EXPECT_EQ(bus.channelCount, 16);
    EXPECT_EQ(instance->processor()->canProcessSampleSize(kSample64), kResultFalse);
    EXPECT_EQ(instance->processor()->canProcessSampleSize(kSample32), kResultTrue);
    EXPECT_FALSE(instance->setBusArrangements(SpeakerArr::kMono, SpeakerArr::kStereo));
    EXPECT_TRUE(instance->setBusArrangements(SpeakerArr::kMono, SpeakerArr::kMono));
    EXPECT_EQ(instance->latencySamples(), 0u);
}

TEST_F(ModuleInstance, BlocksOfAnySizeRunAndBypassPassesAudioThrough)
{
    ASSERT_TRUE(instance->setupProcessing(44100.0, 4096));
    ASSERT_TRUE(instance->setActive(true));
    std::vector<float> in(4096, 0.25f), outL(4096), outR(4096);
    const float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    for (int32 size : {1, 7, 64, 513, 4096})
        ASSERT_EQ(instance->process(inputs, 2, outputs, 2, size), kResultOk) << size;

    // Past its 5 ms fade (221 frames), bypass passes the input through.
    instance->inputChanges().add(0x808, 0, 1.0);
    ASSERT_EQ(instance->process(inputs, 2, outputs, 2, 512), kResultOk);
    for (int i = 221; i < 512; ++i)
    {
        ASSERT_EQ(outL[i], 0.25f) << i;
        ASSERT_EQ(outR[i], 0.25f) << i;
    }
}

#ifdef HALVANE_COUNT_ALLOCATIONS
TEST_F(ModuleInstance, ProcessAllocatesNothingAtAnyBlockSize)
{
    ASSERT_TRUE(instance->setupProcessing(48000.0, 4096));
    ASSERT_TRUE(instance->setActive(true));
    std::vector<float> in(4096, 0.1f), outL(4096), outR(4096);
    const float* inputs[2] = {in.data(), in.data()};
    float* outputs[2] = {outL.data(), outR.data()};
    instance->process(inputs, 2, outputs, 2, 64); // first block may settle host-side state

    const long before = allocationCount.load();
    ASSERT_GT(before, 0) << "the allocation counter is not in use";
    int32 block = 0;
    for (int32 size = 1; size <= 4096; size = size * 3 + 1, ++block)
    {
        instance->inputChanges().add(3, 0, (block % 7) / 7.0);          // Abs L-R
        instance->inputChanges().add(1, size - 1, (block % 11) / 10.0); // Position
        instance->events().addNoteOn(0, 0, 60, 1.0f);
        ASSERT_EQ(instance->process(inputs, 2, outputs, 2, size), kResultOk);
    }
    EXPECT_EQ(allocationCount.load() - before, 0);
}
#endif

} // namespace
