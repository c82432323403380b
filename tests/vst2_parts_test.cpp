// The VST 2 wrapper's building blocks on their own.
#include "vst2/BlockEventList.h"
#include "vst2/BlockParameterChanges.h"
#include "vst2/HostText.h"
#include "vst2/ParameterHandoff.h"

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

    values.set(1, 0.9);
    values.reset(1, 0.1);
    EXPECT_FALSE(values.takeForProcessor(1, v));
    EXPECT_FALSE(values.takeForController(1, v));
    EXPECT_EQ(values.value(1), 0.1);

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
