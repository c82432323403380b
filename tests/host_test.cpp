// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/ComponentHandler.h"
#include "host/EventList.h"
#include "host/HostError.h"
#include "host/Module.h"
#include "host/ParameterChanges.h"
#include "host/StateStream.h"
#include "host/Utf16.h"

#include "base/source/fstreamer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <unistd.h>

using namespace Steinberg;
using namespace halvane::host;

namespace
{

std::vector<std::pair<int32, double>> pointsOf(Vst::IParamValueQueue& q)
{
    std::vector<std::pair<int32, double>> out;
    for (int32 i = 0; i < q.getPointCount(); ++i)
    {
        int32 offset = -1;
        double value = -1.0;
        EXPECT_EQ(q.getPoint(i, offset, value), kResultTrue);
        out.emplace_back(offset, value);
    }
    return out;
}

} // namespace

TEST(ParamValueQueue, KeepsPointsSortedAndReplacesEqualOffsets)
{
    ParamValueQueue q(8);
    q.reset(42);
    int32 index = -1;
    ASSERT_EQ(q.addPoint(100, 0.5, index), kResultTrue);
    EXPECT_EQ(index, 0);
    ASSERT_EQ(q.addPoint(10, 0.1, index), kResultTrue);
    EXPECT_EQ(index, 0);
    ASSERT_EQ(q.addPoint(50, 0.3, index), kResultTrue);
    EXPECT_EQ(index, 1);
    ASSERT_EQ(q.addPoint(50, 0.4, index), kResultTrue);
    EXPECT_EQ(index, 1);

    EXPECT_EQ(q.getParameterId(), 42u);
    const std::vector<std::pair<int32, double>> expected{{10, 0.1}, {50, 0.4}, {100, 0.5}};
    EXPECT_EQ(pointsOf(q), expected);

    int32 offset = 0;
    double value = 0.0;
    EXPECT_EQ(q.getPoint(3, offset, value), kResultFalse);
    EXPECT_EQ(q.getPoint(-1, offset, value), kResultFalse);
}

TEST(ParamValueQueue, RefusesPointsBeyondCapacityButStillReplaces)
{
    ParamValueQueue q(2);
    q.reset(1);
    int32 index = 0;
    ASSERT_EQ(q.addPoint(0, 0.0, index), kResultTrue);
    ASSERT_EQ(q.addPoint(5, 0.5, index), kResultTrue);
    EXPECT_EQ(q.addPoint(7, 0.7, index), kResultFalse);
    EXPECT_EQ(q.addPoint(5, 0.9, index), kResultTrue);
    EXPECT_EQ(q.getPointCount(), 2);

    q.reset(2);
    EXPECT_EQ(q.getPointCount(), 0);
    EXPECT_EQ(q.getParameterId(), 2u);
}

TEST(ParameterChanges, OneQueuePerParameterInFirstAddedOrder)
{
    ParameterChanges changes(4, 4);
    ASSERT_TRUE(changes.add(7, 20, 0.2));
    ASSERT_TRUE(changes.add(3, 0, 0.9));
    ASSERT_TRUE(changes.add(7, 10, 0.1));
    ASSERT_EQ(changes.getParameterCount(), 2);
    EXPECT_EQ(changes.getParameterData(0)->getParameterId(), 7u);
    EXPECT_EQ(changes.getParameterData(1)->getParameterId(), 3u);
    EXPECT_EQ(changes.getParameterData(2), nullptr);

    const std::vector<std::pair<int32, double>> seven{{10, 0.1}, {20, 0.2}};
    EXPECT_EQ(pointsOf(*changes.getParameterData(0)), seven);

    int32 index = -1;
    EXPECT_EQ(changes.addParameterData(3, index), changes.getParameterData(1));
    EXPECT_EQ(index, 1);
    EXPECT_EQ(changes.find(3), changes.getParameterData(1));
    EXPECT_EQ(changes.find(99), nullptr);
}

TEST(ParameterChanges, FixedCapacityAndClearReusesQueues)
{
    ParameterChanges changes(2, 1);
    ASSERT_TRUE(changes.add(1, 0, 0.1));
    ASSERT_TRUE(changes.add(2, 0, 0.2));
    int32 index = 0;
    EXPECT_EQ(changes.addParameterData(3, index), nullptr);
    EXPECT_FALSE(changes.add(1, 5, 0.3));

    changes.clear();
    EXPECT_TRUE(changes.empty());
    EXPECT_EQ(changes.getParameterCount(), 0);
    ASSERT_TRUE(changes.add(9, 3, 0.4));
    ASSERT_EQ(changes.getParameterCount(), 1);
    EXPECT_EQ(changes.getParameterData(0)->getParameterId(), 9u);
    EXPECT_EQ(changes.getParameterData(0)->getPointCount(), 1);
}

TEST(EventList, KeepsTheCallersOrderUpToCapacity)
{
    EventList events(2);
    ASSERT_TRUE(events.addNoteOn(64, 1, 60, 0.75f));
    ASSERT_TRUE(events.addNoteOff(8, 1, 60));
    EXPECT_FALSE(events.addNoteOn(0, 0, 61, 1.f));
    ASSERT_EQ(events.getEventCount(), 2);

    Vst::Event e{};
    ASSERT_EQ(events.getEvent(0, e), kResultTrue);
    EXPECT_EQ(e.type, Vst::Event::kNoteOnEvent);
    EXPECT_EQ(e.sampleOffset, 64);
    EXPECT_EQ(e.noteOn.channel, 1);
    EXPECT_EQ(e.noteOn.pitch, 60);
    EXPECT_FLOAT_EQ(e.noteOn.velocity, 0.75f);
    EXPECT_EQ(e.noteOn.noteId, -1);
    ASSERT_EQ(events.getEvent(1, e), kResultTrue);
    EXPECT_EQ(e.type, Vst::Event::kNoteOffEvent);
    EXPECT_EQ(e.sampleOffset, 8);
    EXPECT_EQ(events.getEvent(2, e), kResultFalse);

    events.clear();
    EXPECT_EQ(events.getEventCount(), 0);
    EXPECT_EQ(events.getEvent(0, e), kResultFalse);
}

TEST(ComponentHandler, RecordsEditsRestartsAndUnitNotifications)
{
    auto handler = owned(new ComponentHandler());
    Vst::IComponentHandler* asHandler = handler;
    asHandler->beginEdit(3);
    asHandler->performEdit(3, 0.25);
    asHandler->endEdit(3);
    asHandler->restartComponent(Vst::kParamValuesChanged);

    FUnknownPtr<Vst::IUnitHandler> units(asHandler);
    ASSERT_TRUE(units);
    units->notifyProgramListChange(0x70727374, -1);

    const auto& calls = handler->calls();
    ASSERT_EQ(calls.size(), 5u);
    EXPECT_EQ(calls[0].kind, ComponentHandler::Kind::BeginEdit);
    EXPECT_EQ(calls[1].kind, ComponentHandler::Kind::PerformEdit);
    EXPECT_EQ(calls[1].id, 3);
    EXPECT_DOUBLE_EQ(calls[1].value, 0.25);
    EXPECT_EQ(calls[2].kind, ComponentHandler::Kind::EndEdit);
    EXPECT_EQ(calls[3].kind, ComponentHandler::Kind::RestartComponent);
    EXPECT_EQ(calls[3].id, Vst::kParamValuesChanged);
    EXPECT_EQ(calls[4].kind, ComponentHandler::Kind::ProgramListChange);
    EXPECT_EQ(calls[4].id, 0x70727374);
    EXPECT_DOUBLE_EQ(calls[4].value, -1.0);
    EXPECT_EQ(handler->count(ComponentHandler::Kind::PerformEdit), 1u);

    handler->clear();
    EXPECT_TRUE(handler->calls().empty());
}

TEST(StateStream, BytesSurviveAStreamRoundTrip)
{
    auto out = owned(new MemoryStream());
    {
        IBStreamer streamer(out, kLittleEndian);
        ASSERT_TRUE(streamer.writeInt64u(1));
        ASSERT_TRUE(streamer.writeFloat(0.25f));
        ASSERT_TRUE(streamer.writeInt32u(7));
        ASSERT_TRUE(streamer.writeBool(true));
    }
    const Bytes bytes = streamBytes(*out);
    ASSERT_EQ(bytes.size(), 8u + 4u + 4u + 2u);
    EXPECT_EQ(bytes[0], 1);
    EXPECT_EQ(bytes[12], 7);

    auto in = makeStream(bytes);
    IBStreamer reader(in, kLittleEndian);
    uint64 version = 0;
    float value = 0.f;
    uint32 position = 0;
    bool flag = false;
    ASSERT_TRUE(reader.readInt64u(version));
    ASSERT_TRUE(reader.readFloat(value));
    ASSERT_TRUE(reader.readInt32u(position));
    ASSERT_TRUE(reader.readBool(flag));
    EXPECT_EQ(version, 1u);
    EXPECT_EQ(value, 0.25f);
    EXPECT_EQ(position, 7u);
    EXPECT_TRUE(flag);
    EXPECT_FALSE(reader.readInt32u(position));

    EXPECT_TRUE(streamBytes(*makeStream({})).empty());
}

TEST(Utf16, RoundTripsNonAsciiAndTruncatesSafely)
{
    const std::string text = "-\xE2\x88\x9E dB \xF0\x9D\x84\x9E"; // "-∞ dB 𝄞"
    const std::u16string wide = toUtf16(text);
    EXPECT_EQ(wide.size(), 8u);
    EXPECT_EQ(wide[1], u'\u221E');
    EXPECT_EQ(toUtf8(reinterpret_cast<const char16*>(wide.c_str())), text);

    char16 small[4];
    copyUtf16("Position", small, 4);
    EXPECT_EQ(toUtf8(small, 4), "Pos");
    EXPECT_EQ(toUtf8(nullptr), "");
}

TEST(Module, BinaryPathFollowsTheLinuxBundleLayout)
{
    EXPECT_EQ(Module::binaryPath("/x/VST3/HalvaneDuo.vst3"),
              "/x/VST3/HalvaneDuo.vst3/Contents/x86_64-linux/HalvaneDuo.so");
    EXPECT_EQ(Module::binaryPath("/x/HalvaneDuo.vst3/"),
              "/x/HalvaneDuo.vst3/Contents/x86_64-linux/HalvaneDuo.so");
    EXPECT_EQ(Module::binaryPath("/x/plain.so"), "/x/plain.so");
}

TEST(Module, LoadFailuresNameTheProblem)
{
    try
    {
        Module::load("/nonexistent/Nothing.vst3");
        FAIL() << "loading a missing bundle succeeded";
    }
    catch (const HostError& e)
    {
        EXPECT_NE(std::string(e.what()).find("not found"), std::string::npos) << e.what();
    }

    // A bundle directory without its shared object.
    namespace fs = std::filesystem;
    const fs::path dir = fs::temp_directory_path() /
                         ("halvane-host-test-" + std::to_string(::getpid())) / "Empty.vst3";
    fs::create_directories(dir);
    try
    {
        Module::load(dir.string());
        FAIL() << "loading an empty bundle succeeded";
    }
    catch (const HostError& e)
    {
        EXPECT_NE(std::string(e.what()).find("cannot load"), std::string::npos) << e.what();
    }
    fs::remove_all(dir.parent_path());
}
