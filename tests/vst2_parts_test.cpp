// SPDX-License-Identifier: GPL-3.0-or-later
// The VST 2 wrapper's building blocks on their own.
#include "vst2/BlockEventList.h"
#include "vst2/BlockParameterChanges.h"
#include "vst2/HostText.h"
#include "vst2/ParameterHandoff.h"
#include "vst2/Vst2PlugFrame.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;

namespace
{

std::vector<std::pair<int32, double>> pointsOf(IParamValueQueue& queue)
{
    std::vector<std::pair<int32, double>> points;
    for (int32 i = 0; i < queue.getPointCount(); ++i)
    {
        int32 offset = 0;
        ParamValue value = 0.0;
        EXPECT_EQ(queue.getPoint(i, offset, value), kResultOk);
        points.emplace_back(offset, value);
    }
    return points;
}

using Points = std::vector<std::pair<int32, double>>;

// Counts its calls and its references; optionally unregisters itself when called.
class CountingHandler : public Linux::ITimerHandler, public Linux::IEventHandler
{
public:
    void PLUGIN_API onTimer() override
    {
        ++timerCalls;
        if (selfRemoving && loop) loop->unregisterTimer(this);
    }
    void PLUGIN_API onFDIsSet(Linux::FileDescriptor fd) override
    {
        ++eventCalls;
        lastFd = fd;
        char byte = 0;
        if (::read(fd, &byte, 1) != 1) ++failedReads;
        if (selfRemoving && loop) loop->unregisterEventHandler(this);
    }
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return static_cast<uint32>(++references); }
    uint32 PLUGIN_API release() override { return static_cast<uint32>(--references); }

    int timerCalls = 0;
    int eventCalls = 0;
    int failedReads = 0;
    int lastFd = -1;
    int references = 0;
    bool selfRemoving = false;
    Linux::IRunLoop* loop = nullptr;
};

// A view that only records the sizes it is given.
class SizedView : public IPlugView
{
public:
    tresult PLUGIN_API isPlatformTypeSupported(FIDString) override { return kResultTrue; }
    tresult PLUGIN_API attached(void*, FIDString) override { return kResultOk; }
    tresult PLUGIN_API removed() override { return kResultOk; }
    tresult PLUGIN_API onWheel(float) override { return kResultFalse; }
    tresult PLUGIN_API onKeyDown(char16, int16, int16) override { return kResultFalse; }
    tresult PLUGIN_API onKeyUp(char16, int16, int16) override { return kResultFalse; }
    tresult PLUGIN_API getSize(ViewRect* size) override
    {
        *size = current;
        return kResultOk;
    }
    tresult PLUGIN_API onSize(ViewRect* newSize) override
    {
        current = *newSize;
        return kResultOk;
    }
    tresult PLUGIN_API onFocus(TBool) override { return kResultOk; }
    tresult PLUGIN_API setFrame(IPlugFrame*) override { return kResultOk; }
    tresult PLUGIN_API canResize() override { return kResultTrue; }
    tresult PLUGIN_API checkSizeConstraint(ViewRect*) override { return kResultOk; }
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }

    ViewRect current{0, 0, 100, 50};
};

} // namespace

TEST(Vst2BlockChanges, QueuesKeepSampleOrderWithinTheirCapacity)
{
    BlockParamValueQueue queue(3);
    queue.reset(7);
    EXPECT_EQ(queue.getParameterId(), 7u);
    int32 index = -1;
    ASSERT_EQ(queue.addPoint(20, 0.2, index), kResultOk);
    ASSERT_EQ(queue.addPoint(5, 0.05, index), kResultOk);
    EXPECT_EQ(index, 0);
    // The same offset again replaces the value there.
    ASSERT_EQ(queue.addPoint(20, 0.25, index), kResultOk);
    EXPECT_EQ(pointsOf(queue), (Points{{5, 0.05}, {20, 0.25}}));
    ASSERT_EQ(queue.addPoint(30, 0.3, index), kResultOk);
    // Full: a later point overwrites the last so the block still ends on the newest value;
    // an earlier one is refused.
    ASSERT_EQ(queue.addPoint(40, 0.4, index), kResultOk);
    EXPECT_EQ(queue.addPoint(1, 0.01, index), kResultFalse);
    EXPECT_EQ(pointsOf(queue), (Points{{5, 0.05}, {20, 0.25}, {40, 0.4}}));
    int32 offset = 0;
    ParamValue value = 0.0;
    EXPECT_EQ(queue.getPoint(3, offset, value), kResultFalse);
    EXPECT_EQ(queue.getPoint(-1, offset, value), kResultFalse);

    // Clamping into a shorter block merges points that land together; the later wins.
    queue.clampOffsets(19);
    EXPECT_EQ(pointsOf(queue), (Points{{5, 0.05}, {19, 0.4}}));
    queue.clampOffsets(-3);
    EXPECT_EQ(pointsOf(queue), (Points{{0, 0.4}}));
    queue.reset(8);
    EXPECT_EQ(queue.getPointCount(), 0);
}

TEST(Vst2BlockChanges, ParameterListsFindAndBoundTheirQueues)
{
    BlockParameterChanges changes(2, 4);
    EXPECT_TRUE(changes.empty());
    ASSERT_TRUE(changes.add(3, 10, 0.5));
    ASSERT_TRUE(changes.add(9, 0, 1.0));
    ASSERT_TRUE(changes.add(3, 0, 0.1));
    EXPECT_EQ(changes.getParameterCount(), 2);
    // A third parameter has no queue left.
    EXPECT_FALSE(changes.add(4, 0, 0.0));
    int32 index = -1;
    EXPECT_EQ(changes.addParameterData(4, index), nullptr);
    IParamValueQueue* queue = changes.addParameterData(3, index);
    ASSERT_NE(queue, nullptr);
    EXPECT_EQ(index, 0);
    EXPECT_EQ(pointsOf(*queue), (Points{{0, 0.1}, {10, 0.5}}));
    EXPECT_EQ(changes.getParameterData(2), nullptr);

    changes.clampOffsets(4);
    EXPECT_EQ(pointsOf(*changes.getParameterData(0)), (Points{{0, 0.1}, {4, 0.5}}));
    changes.clear();
    EXPECT_EQ(changes.getParameterCount(), 0);
    ASSERT_TRUE(changes.add(4, 0, 0.0));
    EXPECT_EQ(changes.getParameterData(0)->getParameterId(), 4u);
    EXPECT_EQ(changes.getParameterData(0)->getPointCount(), 1);
}

TEST(Vst2BlockChanges, EventListsSortByOffsetAndStopWhenFull)
{
    BlockEventList list(3);
    auto note = [](int16 pitch, int32 offset)
    {
        Event e{};
        e.type = Event::kNoteOnEvent;
        e.sampleOffset = offset;
        e.noteOn.pitch = pitch;
        return e;
    };
    Event a = note(60, 30), b = note(61, 10), c = note(62, 30), d = note(63, 0);
    ASSERT_EQ(list.addEvent(a), kResultOk);
    ASSERT_EQ(list.addEvent(b), kResultOk);
    ASSERT_EQ(list.addEvent(c), kResultOk);
    EXPECT_EQ(list.addEvent(d), kResultFalse);
    std::vector<int16> pitches;
    Event e{};
    for (int32 i = 0; list.getEvent(i, e) == kResultOk; ++i)
        pitches.push_back(e.noteOn.pitch);
    // Equal offsets keep their arrival order.
    EXPECT_EQ(pitches, (std::vector<int16>{61, 60, 62}));
    list.clampOffsets(15);
    ASSERT_EQ(list.getEvent(2, e), kResultOk);
    EXPECT_EQ(e.sampleOffset, 15);
    list.clear();
    EXPECT_EQ(list.getEventCount(), 0);
    EXPECT_EQ(list.getEvent(0, e), kResultFalse);
}

TEST(Vst2Handoff, EachSideSeesWhatTheOtherMustLearn)
{
    ParameterHandoff values(3);
    double v = -1.0;
    EXPECT_FALSE(values.takeForProcessor(0, v));
    EXPECT_FALSE(values.takeForController(0, v));

    values.set(0, 0.25);
    values.set(0, 0.5); // collapses into one change
    EXPECT_TRUE(values.pendingForProcessor(0));
    ASSERT_TRUE(values.takeForProcessor(0, v));
    EXPECT_EQ(v, 0.5);
    EXPECT_FALSE(values.takeForProcessor(0, v));
    ASSERT_TRUE(values.takeForController(0, v));
    EXPECT_EQ(v, 0.5);

    values.setFromController(1, 0.75);
    EXPECT_FALSE(values.takeForController(1, v));
    EXPECT_TRUE(values.takeForProcessor(1, v));
    values.setFromProcessor(2, 0.125);
    EXPECT_FALSE(values.takeForProcessor(2, v));
    EXPECT_TRUE(values.takeForController(2, v));
    EXPECT_EQ(values.value(2), 0.125);

    // The controller's value replaces a host set, but what waits for the processor stays
    // until it is discarded.
    values.set(1, 0.9);
    values.adopt(1, 0.1);
    EXPECT_FALSE(values.takeForController(1, v));
    EXPECT_EQ(values.value(1), 0.1);
    EXPECT_TRUE(values.pendingForProcessor(1));
    values.discardForProcessor(1);
    EXPECT_FALSE(values.takeForProcessor(1, v));

    // Indices past the end are ignored.
    values.set(3, 1.0);
    EXPECT_EQ(values.value(3), 0.0);
    EXPECT_FALSE(values.takeForProcessor(3, v));
}

TEST(Vst2Handoff, TheLastValueSetWhileTheOtherThreadTakesArrives)
{
    ParameterHandoff values(1);
    std::thread writer(
        [&]
        {
            for (int i = 1; i <= 20000; ++i)
                values.set(0, i / 20000.0);
        });
    double last = 0.0;
    double v = 0.0;
    while (last < 1.0)
    {
        if (values.takeForProcessor(0, v))
        {
            EXPECT_GE(v, last);
            last = v;
        }
    }
    writer.join();
    EXPECT_EQ(last, 1.0);
}

TEST(Vst2HostText, Utf16BecomesBoundedUtf8)
{
    char buffer[8];
    copyToHostText(buffer, sizeof buffer, u"Gain");
    EXPECT_STREQ(buffer, "Gain");
    copyToHostText(buffer, sizeof buffer, u"Absorption");
    EXPECT_STREQ(buffer, "Absorpt");
    // "µs°" is 2+1+2 bytes; a cut never splits a character.
    copyToHostText(buffer, 5, u"\u00b5s\u00b0");
    EXPECT_STREQ(buffer, "\xc2\xb5s");
    copyToHostText(buffer, sizeof buffer, u"\u00b5s\u00b0");
    EXPECT_STREQ(buffer, "\xc2\xb5s\xc2\xb0");
    // A pair becomes one four-byte character; a lone half becomes '?'.
    const char16 pair[] = {0xD83C, 0xDFB5, 0};
    copyToHostText(buffer, sizeof buffer, pair);
    EXPECT_STREQ(buffer, "\xf0\x9f\x8e\xb5");
    const char16 lone[] = {'a', 0xDC00, 'b', 0};
    copyToHostText(buffer, sizeof buffer, lone);
    EXPECT_STREQ(buffer, "a?b");
    copyToHostText(buffer, sizeof buffer, nullptr);
    EXPECT_STREQ(buffer, "");
    copyToHostText(buffer, 1, u"x");
    EXPECT_STREQ(buffer, "");
}

TEST(Vst2HostText, HostTextsBecomeUtf16)
{
    char16 wide[8];
    copyFromHostText(wide, 8, "-3.5 dB");
    EXPECT_EQ(std::u16string(wide), u"-3.5 dB");
    copyFromHostText(wide, 8, "\xc2\xb5s\xf0\x9f\x8e\xb5");
    EXPECT_EQ(std::u16string(wide), std::u16string(u"\u00b5s") + char16_t(0xD83C) + char16_t(0xDFB5));
    // Bytes that are not UTF-8 (a Latin-1 host) become '?' rather than being misread.
    copyFromHostText(wide, 8, "\xb5s\xc3");
    EXPECT_EQ(std::u16string(wide), u"?s?");
    copyFromHostText(wide, 4, "abcdef");
    EXPECT_EQ(std::u16string(wide), u"abc");
    // No room for both halves of a pair: stop before it.
    copyFromHostText(wide, 3, "a\xf0\x9f\x8e\xb5");
    EXPECT_EQ(std::u16string(wide), u"a");
    copyFromHostText(wide, 8, nullptr);
    EXPECT_EQ(std::u16string(wide), u"");
}

TEST(Vst2PlugFrame, TimersFireFromIdleCallsWhenDue)
{
    using namespace std::chrono;
    auto* frame = new Vst2PlugFrame(nullptr);
    CountingHandler timer;
    const auto start = Vst2PlugFrame::Clock::now();
    ASSERT_EQ(frame->registerTimer(&timer, 50), kResultTrue);
    EXPECT_EQ(timer.references, 1);
    EXPECT_EQ(frame->registerTimer(nullptr, 50), kInvalidArgument);
    EXPECT_EQ(frame->registerTimer(&timer, 0), kInvalidArgument);

    frame->idle(start + milliseconds(10));
    EXPECT_EQ(timer.timerCalls, 0);
    frame->idle(start + milliseconds(60));
    EXPECT_EQ(timer.timerCalls, 1);
    frame->idle(start + milliseconds(70));
    EXPECT_EQ(timer.timerCalls, 1);
    // Idle calls that come late fire a timer once, not once per missed period.
    frame->idle(start + milliseconds(600));
    EXPECT_EQ(timer.timerCalls, 2);
    frame->idle(start + milliseconds(640));
    EXPECT_EQ(timer.timerCalls, 2);
    frame->idle(start + milliseconds(660));
    EXPECT_EQ(timer.timerCalls, 3);

    ASSERT_EQ(frame->unregisterTimer(&timer), kResultTrue);
    EXPECT_EQ(timer.references, 0);
    EXPECT_EQ(frame->unregisterTimer(&timer), kInvalidArgument);
    frame->idle(start + seconds(10));
    EXPECT_EQ(timer.timerCalls, 3);

    // A timer may unregister itself from its own call; the frame lets go of what it holds.
    CountingHandler once;
    once.selfRemoving = true;
    once.loop = frame;
    frame->registerTimer(&once, 1);
    frame->registerTimer(&timer, 1);
    frame->idle(Vst2PlugFrame::Clock::now() + seconds(1));
    frame->idle(Vst2PlugFrame::Clock::now() + seconds(2));
    EXPECT_EQ(once.timerCalls, 1);
    EXPECT_EQ(once.references, 0);
    EXPECT_EQ(timer.timerCalls, 5);
    frame->release();
    EXPECT_EQ(timer.references, 0);
}

TEST(Vst2PlugFrame, ReadableDescriptorsReachTheirHandlers)
{
    IPtr<Vst2PlugFrame> frame = owned(new Vst2PlugFrame(nullptr));
    int fds[2];
    ASSERT_EQ(::pipe(fds), 0);
    CountingHandler handler;
    handler.selfRemoving = false;
    ASSERT_EQ(frame->registerEventHandler(&handler, fds[0]), kResultTrue);
    EXPECT_EQ(frame->registerEventHandler(&handler, -1), kInvalidArgument);
    frame->idle();
    EXPECT_EQ(handler.eventCalls, 0);
    ASSERT_EQ(::write(fds[1], "x", 1), 1);
    frame->idle();
    EXPECT_EQ(handler.eventCalls, 1);
    EXPECT_EQ(handler.lastFd, fds[0]);
    EXPECT_EQ(handler.failedReads, 0);
    frame->idle();
    EXPECT_EQ(handler.eventCalls, 1);

    handler.selfRemoving = true;
    handler.loop = frame;
    ASSERT_EQ(::write(fds[1], "yz", 2), 2);
    frame->idle();
    frame->idle();
    EXPECT_EQ(handler.eventCalls, 2);
    EXPECT_EQ(handler.references, 0);
    EXPECT_EQ(frame->unregisterEventHandler(&handler), kInvalidArgument);
    ::close(fds[0]);
    ::close(fds[1]);

    // The frame answers as a run loop too.
    void* loop = nullptr;
    ASSERT_EQ(frame->queryInterface(Linux::IRunLoop::iid, &loop), kResultOk);
    EXPECT_EQ(loop, static_cast<Linux::IRunLoop*>(frame.get()));
    static_cast<Linux::IRunLoop*>(loop)->release();
}

TEST(Vst2PlugFrame, ViewsResizeOnlyWhenTheHostAgrees)
{
    std::vector<std::pair<int32, int32>> asked;
    bool agree = false;
    IPtr<Vst2PlugFrame> frame = owned(new Vst2PlugFrame(
        [&](int32 width, int32 height)
        {
            asked.emplace_back(width, height);
            return agree;
        }));
    SizedView view;
    ViewRect bigger(0, 0, 300, 200);
    EXPECT_EQ(frame->resizeView(&view, &bigger), kResultFalse);
    EXPECT_EQ(view.current.getWidth(), 100);
    agree = true;
    EXPECT_EQ(frame->resizeView(&view, &bigger), kResultOk);
    EXPECT_EQ(view.current.getWidth(), 300);
    EXPECT_EQ(view.current.getHeight(), 200);
    EXPECT_EQ(asked, (std::vector<std::pair<int32, int32>>{{300, 200}, {300, 200}}));
    EXPECT_EQ(frame->resizeView(nullptr, &bigger), kInvalidArgument);
    EXPECT_EQ(frame->resizeView(&view, nullptr), kInvalidArgument);
}
