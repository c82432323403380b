// SPDX-License-Identifier: GPL-3.0-or-later
// The host binding driven directly, with small plug-in objects that record what reaches them.
#include "binding/Processor.h"
#include "host/EventList.h"
#include "host/ParameterChanges.h"
#include "tests/support/TestPlugInFactory.h"

#include "pluginterfaces/vst/ivstprocesscontext.h"
#include "pluginterfaces/vst/vstspeaker.h"
#include "public.sdk/source/vst/hosting/hostclasses.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using Davu2VOV3::Processor;

namespace
{

class RecordingPlugIn : public CPlugIn
{
public:
    enum : uint32_t
    {
        kLevel,
        kChoice,
        kToggle,
        kMeterA,
        kMeterB,
    };

    RecordingPlugIn()
    {
        tailTimeMs = 500.0f;
        presetNames[0] = "First";
        registerControls();
    }

    bool registerControls() override
    {
        addControl(kLevel, "Level", CControlDescriptor::kFloat, 0.0f, 1.0f);
        controlAt(kLevel)->floatVariable = &level;
        addControl(kChoice, "Choice", CControlDescriptor::kUnsigned, 0.0f, 10.0f);
        controlAt(kChoice)->uintVariable = &choice;
        addControl(kToggle, "Toggle", CControlDescriptor::kInt, 0.0f, 1.0f);
        controlAt(kToggle)->intVariable = &toggle;
        for (uint32_t id : {kMeterA, kMeterB})
        {
            addControl(id, id == kMeterA ? "Meter A" : "Meter B", CControlDescriptor::kNone, 0.0f,
                       1.0f, CControlDescriptor::kKindMeter);
            controlAt(id)->meterVariable = id == kMeterA ? &meterA : &meterB;
        }
        return true;
    }

    bool processFrame(const float* in, float* out, uint32_t inChannels,
                      uint32_t outChannels) override
    {
        lastInChannels = inChannels;
        lastOutChannels = outChannels;
        out[0] = in[0] * 2.0f;
        if (outChannels == 2) out[1] = in[1] * 2.0f;
        ++frame;
        timesSeen.push_back({hostTimeInfo.samplePosition, hostTimeInfo.timeInSeconds});
        return true;
    }

    bool controlChanged(uint32_t controlId) override
    {
        changed.push_back(controlId);
        return true;
    }

    bool onNoteOn(uint32_t, uint32_t note, uint32_t) override
    {
        notes.push_back({note, frame % blockLength});
        return true;
    }

    bool processFrames(const float* const in[2], float* const out[2], uint32_t channels,
                       uint32_t frames) override
    {
        if (!takesRuns) return false;
        runs.push_back(frames);
        for (uint32_t i = 0; i < frames; ++i)
        {
            out[0][i] = in[0][i] * 2.0f;
            if (channels == 2) out[1][i] = in[1][i] * 2.0f;
        }
        frame += frames;
        return true;
    }

    void receiveHostInfo(uint32_t kind, HostInfoRecord* record) override
    {
        if (kind == kHostInfoTime) ++timeDeliveries;
        CPlugIn::receiveHostInfo(kind, record);
        if (kind == kHostInfoMidiEventList && record) eventList = record->midiEventList;
    }

    bool processBuffers(float** inputs, float** outputs, uint32_t channels,
                        uint32_t frames) override
    {
        ++wholeBufferCalls;
        for (uint32_t c = 0; c < channels; ++c)
            for (uint32_t i = 0; i < frames; ++i)
                outputs[c][i] = inputs[c][i] + 1.0f;
        return true;
    }

    float level = 0.0f;
    uint32_t choice = 0;
    int32_t toggle = 0;
    float meterA = 0.25f;
    float meterB = 0.75f;
    uint32_t lastInChannels = 0;
    uint32_t lastOutChannels = 0;
    long frame = 0;
    long blockLength = 1;
    int wholeBufferCalls = 0;
    bool takesRuns = false;
    std::vector<uint32_t> runs;
    int timeDeliveries = 0;
    void* eventList = nullptr;
    std::vector<uint32_t> changed;
    std::vector<std::pair<uint32_t, long>> notes;
    std::vector<std::pair<uint64_t, double>> timesSeen; // at each frame

private:
    void addControl(uint32_t id, const char* name, uint32_t type, float minValue, float maxValue,
                    uint32_t kind = CControlDescriptor::kKindContinuous)
    {
        CControlDescriptor d;
        d.kind = kind;
        d.controlId = id;
        d.dataType = type;
        d.minValue = minValue;
        d.maxValue = maxValue;
        d.displayPrecision = 2;
        d.setDisplayName(name);
        d.setEnumList("SEL1,SEL2,SEL3");
        controlList.appendCopy(d);
        buildControlIndex();
    }
};

// A processor around one RecordingPlugIn, with a host-built ProcessData.
class BindingTest : public ::testing::Test
{
protected:
    static constexpr int32 kBlock = 64;

    void SetUp() override { create(); }

    void TearDown() override
    {
        if (processor)
        {
            processor->terminate();
            processor->release();
        }
    }

    void create(std::function<void(RecordingPlugIn&)> configure = nullptr)
    {
        TestPlugIns::ScopedFactory factory(
            [this, configure]() -> CPlugIn*
            {
                plugIn = new RecordingPlugIn();
                if (configure) configure(*plugIn);
                return plugIn;
            });
        processor = new Processor();
        ASSERT_EQ(processor->initialize(&hostApp), kResultOk);
        ProcessSetup setup{kRealtime, kSample32, kBlock, 44100.0};
        processor->setupProcessing(setup);
        processor->setActive(true);
        plugIn->blockLength = kBlock;
    }

    tresult run(int32 frames = kBlock, int32 channels = 2)
    {
        for (int c = 0; c < 2; ++c)
        {
            in[c].assign(kBlock, 0.5f);
            out[c].assign(kBlock, -1.0f);
            inPtr[c] = in[c].data();
            outPtr[c] = out[c].data();
        }
        AudioBusBuffers inBus{};
        inBus.numChannels = channels;
        inBus.channelBuffers32 = inPtr;
        AudioBusBuffers outBus{};
        outBus.numChannels = channels;
        outBus.channelBuffers32 = outPtr;
        ProcessData data{};
        data.numSamples = frames;
        data.symbolicSampleSize = kSample32;
        data.numInputs = 1;
        data.numOutputs = 1;
        data.inputs = &inBus;
        data.outputs = &outBus;
        data.inputParameterChanges = &changes;
        data.outputParameterChanges = &outChanges;
        data.inputEvents = &events;
        data.processContext = context;
        tresult result = processor->process(data);
        changes.clear();
        events.clear();
        return result;
    }

    HostApplication hostApp;
    ProcessContext* context = nullptr;
    Processor* processor = nullptr;
    RecordingPlugIn* plugIn = nullptr;
    halvane::host::ParameterChanges changes;
    halvane::host::ParameterChanges outChanges;
    halvane::host::EventList events;
    std::vector<float> in[2], out[2];
    float* inPtr[2] = {};
    float* outPtr[2] = {};
};

TEST(EnumEntry, CutsAtCommasAndNamesSwitches)
{
    auto entry = [](const char* text, int n)
    {
        char* e = Processor::enumEntry(text, n);
        std::string s = e ? e : "<null>";
        delete[] e;
        return s;
    };
    EXPECT_EQ(entry("SWITCH_OFF,SWITCH_ON", 0), "OFF");
    EXPECT_EQ(entry("SWITCH_OFF,SWITCH_ON", 1), "ON");
    EXPECT_EQ(entry("SWITCH_OFF,SWITCH_ON", 2), "<null>");
    const char* positions = "Center,L22,L32,L45,L64,L90,R22,R32,R45,R64,R90";
    EXPECT_EQ(entry(positions, 0), "Center");
    EXPECT_EQ(entry(positions, 10), "R90");
    EXPECT_EQ(entry(positions, 11), "<null>");
    EXPECT_EQ(entry("a,b,", 2), "");
    EXPECT_EQ(entry("a,b,", 3), "<null>");
    EXPECT_EQ(entry("a,,b", 1), "");
    EXPECT_EQ(entry(" x ,y", 0), " x ");
    EXPECT_EQ(entry("single", 0), "single");
    EXPECT_EQ(entry("single", 1), "<null>");
}

TEST_F(BindingTest, MetersAreReadOnlyAndReportedAtTheirIndex)
{
    ParameterInfo info{};
    ASSERT_EQ(processor->getParameterInfoByTag(RecordingPlugIn::kMeterB, info), kResultOk);
    EXPECT_TRUE(info.flags & ParameterInfo::kIsReadOnly);
    EXPECT_EQ(processor->getParamNormalized(RecordingPlugIn::kMeterB), 0.0);

    ASSERT_EQ(run(), kResultOk);
    auto* a = outChanges.find(RecordingPlugIn::kMeterA);
    auto* b = outChanges.find(RecordingPlugIn::kMeterB);
    ASSERT_TRUE(a && b);
    int32 offset = -1;
    ParamValue value = -1;
    ASSERT_EQ(b->getPoint(0, offset, value), kResultOk);
    EXPECT_EQ(offset, 1);
    EXPECT_FLOAT_EQ(value, 0.75f);
    ASSERT_EQ(a->getPoint(0, offset, value), kResultOk);
    EXPECT_EQ(offset, 0);
    EXPECT_FLOAT_EQ(value, 0.25f);
}

TEST_F(BindingTest, ParameterChangesReachControlsWithRounding)
{
    changes.add(RecordingPlugIn::kChoice, 0, 0.5);
    changes.add(RecordingPlugIn::kChoice, 10, 0.95); // only the last point counts
    changes.add(RecordingPlugIn::kLevel, 3, 0.25);
    ASSERT_EQ(run(), kResultOk);
    EXPECT_EQ(plugIn->choice, 10u);
    EXPECT_FLOAT_EQ(plugIn->level, 0.25f);

    changes.add(RecordingPlugIn::kChoice, 0, 0.04);
    run();
    EXPECT_EQ(plugIn->choice, 0u);
}

TEST_F(BindingTest, EmptyQueueAndBypassDoNotDropLaterChanges)
{
    int32 index = 0;
    changes.addParameterData(RecordingPlugIn::kToggle, index); // no points
    changes.add(Davu2VOV3::kBypassId, 0, 1.0);
    changes.add(RecordingPlugIn::kLevel, 0, 0.5);
    run();
    EXPECT_TRUE(processor->isBypassed());
    EXPECT_FLOAT_EQ(plugIn->level, 0.5f);
}

TEST_F(BindingTest, HostileValuesAreClampedOrIgnored)
{
    plugIn->level = 0.3f;
    changes.add(RecordingPlugIn::kLevel, 0, std::numeric_limits<double>::quiet_NaN());
    changes.add(RecordingPlugIn::kChoice, 0, 7.0);
    changes.add(RecordingPlugIn::kToggle, 0, -3.0);
    run();
    EXPECT_FLOAT_EQ(plugIn->level, 0.3f);
    EXPECT_EQ(plugIn->choice, 10u);
    EXPECT_EQ(plugIn->toggle, 0);
}

TEST_F(BindingTest, BypassCopiesInputAndZeroesMeters)
{
    // Bypass fades in over 5 ms (221 frames at 44.1 kHz), then hands the input through.
    changes.add(Davu2VOV3::kBypassId, 0, 1.0);
    run();
    EXPECT_GT(out[0][0], 0.5f) << "the first bypassed frame still mostly plays the effect";
    for (int block = 0; block < 4; ++block)
        run();
    for (int c = 0; c < 2; ++c)
        for (float v : out[c])
            ASSERT_EQ(v, 0.5f);
    ParamValue value = -1;
    int32 offset = 0;
    ASSERT_EQ(outChanges.find(RecordingPlugIn::kMeterB)->getPoint(0, offset, value), kResultOk);
    EXPECT_EQ(value, 0.0);

    changes.add(Davu2VOV3::kBypassId, 0, 0.0);
    run();
    EXPECT_LT(out[0][5], 0.6f) << "leaving bypass fades too";
    for (int block = 0; block < 4; ++block)
        run();
    EXPECT_EQ(out[0][5], 1.0f); // processed again
}

TEST_F(BindingTest, ProjectTimeKeepsAllSixtyFourBits)
{
    ProcessContext transport{};
    context = &transport;
    const int64 start = (int64(1) << 40) + 5; // some 300 days in at 44.1 kHz
    transport.projectTimeSamples = start;
    plugIn->timesSeen.clear();
    run();
    // The position advances frame by frame through the block, and every frame sees its own.
    ASSERT_EQ(plugIn->timesSeen.size(), size_t(kBlock));
    for (int i = 0; i < kBlock; ++i)
    {
        ASSERT_EQ(plugIn->timesSeen[size_t(i)].first, uint64_t(start + i)) << i;
        ASSERT_DOUBLE_EQ(plugIn->timesSeen[size_t(i)].second, double(start + i) / 44100.0) << i;
    }
    EXPECT_EQ(plugIn->hostTimeInfo.samplePosition, uint64_t(start + kBlock));
    EXPECT_DOUBLE_EQ(plugIn->hostTimeInfo.timeInSeconds, double(start + kBlock) / 44100.0);

    // A pre-roll before the project's start counts from zero.
    transport.projectTimeSamples = -1000;
    run();
    EXPECT_EQ(plugIn->hostTimeInfo.samplePosition, uint64_t(kBlock));
}

TEST_F(BindingTest, RunsOfPlainFramesGoToAPlugInThatTakesThemWithTheTimeAtTheirEnd)
{
    ProcessContext transport{};
    context = &transport;
    const int64 start = 1000;
    transport.projectTimeSamples = start;
    plugIn->takesRuns = true;
    plugIn->timeDeliveries = 0;
    events.addNoteOn(5, 0, 60, 1.0f);
    run();
    // The event's frame goes on its own, between the two runs around it.
    ASSERT_EQ(plugIn->runs, (std::vector<uint32_t>{5u, uint32_t(kBlock - 6)}));
    ASSERT_EQ(plugIn->notes.size(), 1u);
    EXPECT_EQ(plugIn->notes[0], std::make_pair(60u, 5L));
    ASSERT_EQ(plugIn->timesSeen.size(), 1u);
    EXPECT_EQ(plugIn->timesSeen[0].first, uint64_t(start + 5));
    for (int c = 0; c < 2; ++c)
        for (int i = 0; i < kBlock; ++i)
            ASSERT_EQ(out[c][size_t(i)], 1.0f) << c << " " << i;
    // Once at the block's start, after each run and after the lone frame; where the frames
    // one by one would have left it.
    EXPECT_EQ(plugIn->timeDeliveries, 4);
    EXPECT_EQ(plugIn->hostTimeInfo.samplePosition, uint64_t(start + kBlock));
    EXPECT_DOUBLE_EQ(plugIn->hostTimeInfo.timeInSeconds, double(start + kBlock) / 44100.0);

    // One channel: the second is left alone.
    plugIn->runs.clear();
    SpeakerArrangement mono = SpeakerArr::kMono;
    processor->setActive(false);
    ASSERT_EQ(processor->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
    run(kBlock, 1);
    EXPECT_EQ(plugIn->runs, std::vector<uint32_t>{uint32_t(kBlock)});
    EXPECT_EQ(out[0][kBlock - 1], 1.0f);
    EXPECT_EQ(out[1][0], -1.0f);
}

TEST_F(BindingTest, ParameterFlushWithoutBuffersStillApplies)
{
    changes.add(RecordingPlugIn::kLevel, 0, 0.75);
    ProcessData data{};
    data.numSamples = 0;
    data.inputParameterChanges = &changes;
    EXPECT_EQ(processor->process(data), kResultOk);
    EXPECT_FLOAT_EQ(plugIn->level, 0.75f);
    EXPECT_EQ(plugIn->frame, 0);

    // Buses that claim channels but carry no buffers are left alone.
    AudioBusBuffers bus{};
    bus.numChannels = 2;
    bus.channelBuffers32 = nullptr;
    data.numSamples = kBlock;
    data.numInputs = data.numOutputs = 1;
    data.inputs = data.outputs = &bus;
    EXPECT_EQ(processor->process(data), kResultOk);
    EXPECT_EQ(plugIn->frame, 0);
}

TEST_F(BindingTest, TooFewChannelsTouchNothing)
{
    EXPECT_EQ(run(kBlock, 1), kResultOk); // stereo arrangement, one channel given
    EXPECT_EQ(plugIn->frame, 0);
    EXPECT_EQ(out[0][0], -1.0f);
}

TEST_F(BindingTest, MonoArrangementMovesOneChannel)
{
    SpeakerArrangement mono = SpeakerArr::kMono;
    processor->setActive(false);
    ASSERT_EQ(processor->setBusArrangements(&mono, 1, &mono, 1), kResultTrue);
    run(kBlock, 1);
    EXPECT_EQ(plugIn->lastInChannels, 1u);
    EXPECT_EQ(plugIn->lastOutChannels, 1u);
    EXPECT_EQ(out[0][0], 1.0f);
    EXPECT_EQ(out[1][0], -1.0f);
}

TEST_F(BindingTest, BusArrangementsMustMatch)
{
    SpeakerArrangement stereo = SpeakerArr::kStereo;
    SpeakerArrangement mono = SpeakerArr::kMono;
    EXPECT_EQ(processor->setBusArrangements(&mono, 1, &stereo, 1), kResultFalse);
    EXPECT_EQ(processor->setBusArrangements(nullptr, 0, &stereo, 1), kResultFalse);
    SpeakerArrangement arrangement = 0;
    processor->getBusArrangement(kOutput, 0, arrangement);
    EXPECT_EQ(arrangement, SpeakerArr::kStereo);
    EXPECT_EQ(processor->canProcessSampleSize(kSample64), kResultFalse);
    ProcessSetup setup{kRealtime, kSample64, kBlock, 48000.0};
    EXPECT_EQ(processor->setupProcessing(setup), kResultFalse);
}

TEST_F(BindingTest, TailFollowsTheSampleRate)
{
    EXPECT_EQ(processor->getTailSamples(), 22050u);
    ProcessSetup setup{kRealtime, kSample32, kBlock, 48000.0};
    processor->setupProcessing(setup);
    EXPECT_EQ(processor->getTailSamples(), 24000u);
    plugIn->infiniteTail = 2;
    EXPECT_EQ(processor->getTailSamples(), 24000u);
    plugIn->infiniteTail = 1;
    EXPECT_EQ(processor->getTailSamples(), kInfiniteTail);
}

TEST_F(BindingTest, UnusableSampleRatesAreRefused)
{
    for (double rate : {std::nan(""), -48000.0, 0.5, 1e12})
    {
        ProcessSetup setup{kRealtime, kSample32, kBlock, rate};
        EXPECT_EQ(processor->setupProcessing(setup), kResultFalse) << rate;
    }
    EXPECT_EQ(plugIn->sampleRate, 44100u);
    EXPECT_EQ(processor->getTailSamples(), 22050u);
}

TEST_F(BindingTest, EventsPlayAtTheirFrameAndLateOnesAreNotLost)
{
    events.addNoteOn(5, 0, 60, 1.0f);
    events.addNoteOn(2, 0, 61, 1.0f);          // out of order: plays at once
    events.addNoteOn(kBlock + 9, 0, 62, 1.0f); // beyond the block: plays on its last frame
    run();
    ASSERT_EQ(plugIn->notes.size(), 3u);
    EXPECT_EQ(plugIn->notes[0], std::make_pair(60u, 5L));
    EXPECT_EQ(plugIn->notes[1], std::make_pair(61u, 5L));
    EXPECT_EQ(plugIn->notes[2], std::make_pair(62u, long(kBlock - 1)));
}

TEST_F(BindingTest, FixedParametersDriveButtonsAndJoystick)
{
    changes.add(Davu2VOV3::kButton2Id, 0, 1.0);
    changes.add(Davu2VOV3::kJoystickXId, 0, 1.0);
    run();
    EXPECT_NE(std::find(plugIn->changed.begin(), plugIn->changed.end(), 51u),
              plugIn->changed.end());
    float x = 0, y = 0;
    plugIn->getJoystickValues(&x, &y);
    EXPECT_FLOAT_EQ(x, 1.0f);
}

TEST_F(BindingTest, InitializeTwiceOrAfterTerminateRegistersOnce)
{
    const int32 parameters = processor->getParameterCount();
    const int32 units = processor->getUnitCount();
    EXPECT_EQ(units, 2);
    EXPECT_EQ(processor->initialize(&hostApp), kResultFalse);
    EXPECT_EQ(processor->getParameterCount(), parameters);
    EXPECT_EQ(processor->getUnitCount(), units);

    processor->terminate();
    EXPECT_EQ(processor->getParameterCount(), 0);
    ASSERT_EQ(processor->initialize(&hostApp), kResultOk);
    EXPECT_EQ(processor->getParameterCount(), parameters);
    EXPECT_EQ(processor->getUnitCount(), units);
}

TEST_F(BindingTest, WholeBufferPathProcessesTheBlockOnce)
{
    plugIn->processesWholeBuffers = true;
    run();
    EXPECT_EQ(plugIn->wholeBufferCalls, 1);
    EXPECT_EQ(plugIn->frame, 0);
    EXPECT_EQ(out[1][kBlock - 1], 1.5f);
}

TEST_F(BindingTest, UpdateQueuesFollowTheHostsRamp)
{
    TearDown();
    create(
        [](RecordingPlugIn& p)
        {
            p.useParamQueues = 1;
            p.paramQueueGranularity = 8;
        });
    changes.add(RecordingPlugIn::kLevel, 0, 0.0);
    changes.add(RecordingPlugIn::kLevel, 32, 1.0);
    run();
    auto* queue = plugIn->controlAt(RecordingPlugIn::kLevel)->pendingQueue;
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(queue->getParameterIndex(), int32_t(RecordingPlugIn::kLevel));
    double value = -1.0;
    queue->getValueAtOffset(0, 0.0, &value);
    ASSERT_TRUE(queue->getValueAtOffset(16, 0.0, &value));
    EXPECT_NEAR(value, 0.5, 1e-9);
    // Controls without changes in the block keep no queue link.
    EXPECT_EQ(plugIn->controlAt(RecordingPlugIn::kChoice)->pendingQueue, nullptr);
}

TEST_F(BindingTest, UpdateQueuesLetGoOfTheHostsQueueAfterItsBlock)
{
    TearDown();
    create([](RecordingPlugIn& p) { p.useParamQueues = 1; });
    changes.add(RecordingPlugIn::kLevel, 0, 0.25);
    run();
    auto* queue = plugIn->controlAt(RecordingPlugIn::kLevel)->pendingQueue;
    ASSERT_NE(queue, nullptr);
    // The host hands the same queue object to another parameter in the next block.
    changes.add(RecordingPlugIn::kToggle, 0, 1.0);
    run();
    EXPECT_EQ(plugIn->controlAt(RecordingPlugIn::kLevel)->pendingQueue, queue);
    EXPECT_EQ(queue->getParameterIndex(), -1);
    EXPECT_EQ(plugIn->controlAt(RecordingPlugIn::kToggle)->pendingQueue->getParameterIndex(),
              int32_t(RecordingPlugIn::kToggle));
}

TEST_F(BindingTest, TerminateLeavesNoLinksToFreedQueuesOrEvents)
{
    TearDown();
    create([](RecordingPlugIn& p) { p.useParamQueues = 1; });
    ASSERT_NE(plugIn->eventList, nullptr);
    changes.add(RecordingPlugIn::kLevel, 0, 0.5);
    run();
    ASSERT_NE(plugIn->controlAt(RecordingPlugIn::kLevel)->pendingQueue, nullptr);

    processor->terminate();
    EXPECT_EQ(plugIn->controlAt(RecordingPlugIn::kLevel)->pendingQueue, nullptr);
    EXPECT_EQ(plugIn->eventList, nullptr);
    ASSERT_EQ(processor->initialize(&hostApp), kResultOk);
    EXPECT_NE(plugIn->eventList, nullptr);
}

TEST(BindingRegistry, InstrumentAndButtonsShapeTheRegistry)
{
    HostApplication host;
    TestPlugIns::ScopedFactory factory(
        []
        {
            auto* p = new RecordingPlugIn();
            p->noAudioInput = true;
            p->hasAuxInput = 1;
            p->buttonNames[1] = "";
            p->presetNames[0] = nullptr;
            return p;
        });
    auto* processor = new Processor();
    ASSERT_EQ(processor->initialize(&host), kResultOk);
    EXPECT_EQ(processor->getBusCount(kAudio, kInput), 0);
    EXPECT_EQ(processor->getBusCount(kAudio, kOutput), 1);
    EXPECT_EQ(processor->getBusCount(kEvent, kInput), 1);
    ParameterInfo info{};
    EXPECT_EQ(processor->getParameterInfoByTag(Davu2VOV3::kButton1Id, info), kResultOk);
    EXPECT_NE(processor->getParameterInfoByTag(Davu2VOV3::kButton2Id, info), kResultOk);
    EXPECT_EQ(processor->getParameterInfoByTag(Davu2VOV3::kButton3Id, info), kResultOk);
    EXPECT_NE(processor->getParameterInfoByTag(Davu2VOV3::kFactoryPresetsId, info), kResultOk);
    EXPECT_EQ(processor->getUnitCount(), 1);

    SpeakerArrangement stereo = SpeakerArr::kStereo;
    SpeakerArrangement mono = SpeakerArr::kMono;
    EXPECT_EQ(processor->setBusArrangements(nullptr, 0, &stereo, 1), kResultTrue);
    EXPECT_EQ(processor->setBusArrangements(nullptr, 0, &mono, 1), kResultFalse);
    processor->terminate();
    processor->release();
}

TEST(BindingWithoutPlugIn, AnswersSafely)
{
    TestPlugIns::ScopedFactory factory(nullptr);
    auto* processor = new Processor();
    EXPECT_EQ(processor->getTailSamples(), kNoTail);
    ProcessData data{};
    EXPECT_EQ(processor->process(data), kResultFalse);
    processor->release();
}

} // namespace
