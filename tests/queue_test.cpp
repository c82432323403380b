// SPDX-License-Identifier: GPL-3.0-or-later
#include "binding/ParamUpdateQueue.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Davu2VOV3;

namespace
{

class FakeValueQueue : public IParamValueQueue
{
public:
    ParamID id = 7;
    std::vector<std::pair<int32, ParamValue>> points;
    int32 failFrom = INT_MAX; // reads at or beyond this index fail

    ParamID PLUGIN_API getParameterId() override { return id; }
    int32 PLUGIN_API getPointCount() override { return static_cast<int32>(points.size()); }
    tresult PLUGIN_API getPoint(int32 index, int32& offset, ParamValue& value) override
    {
        if (index < 0 || index >= getPointCount() || index >= failFrom) return kResultFalse;
        offset = points[static_cast<size_t>(index)].first;
        value = points[static_cast<size_t>(index)].second;
        return kResultOk;
    }
    tresult PLUGIN_API addPoint(int32 offset, ParamValue value, int32& index) override
    {
        index = getPointCount();
        points.emplace_back(offset, value);
        return kResultOk;
    }
    tresult PLUGIN_API queryInterface(const TUID, void** obj) override
    {
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return 1; }
    uint32 PLUGIN_API release() override { return 1; }
};

using Values = std::map<int32, double>;

// Reads one block sample by sample, as a plug-in object following the ramp would.
Values readBlock(CVSTParamUpdateQueue& queue, int32 blockSize)
{
    Values values;
    for (int32 offset = 0; offset < blockSize; ++offset)
    {
        double value = -1.0;
        if (queue.getNextValue(&value)) values[offset] = value;
    }
    return values;
}

} // namespace

TEST(ParamUpdateQueue, SinglePointOnSampleZeroHandsOutNothing)
{
    int32 granularity = 8;
    CVSTParamUpdateQueue queue(&granularity);
    FakeValueQueue host;
    host.points = {{0, 0.7}};
    queue.attach(64, &host);
    EXPECT_EQ(queue.getParameterIndex(), 7);

    EXPECT_TRUE(readBlock(queue, 64).empty());
    double value = -1.0;
    EXPECT_FALSE(queue.getValueAtOffset(0, 0.0, &value));
    EXPECT_FALSE(queue.getValueAtOffset(16, 0.0, &value));
    EXPECT_EQ(value, -1.0);
}

TEST(ParamUpdateQueue, RampToAPointFollowsTheGranularityAndRunsOn)
{
    int32 granularity = 8;
    CVSTParamUpdateQueue queue(&granularity);
    FakeValueQueue host;
    host.points = {{32, 1.0}};
    queue.attach(64, &host);
    EXPECT_EQ(
        readBlock(queue, 64),
        (Values{{8, 0.25}, {16, 0.5}, {24, 0.75}, {32, 1.0}, {40, 1.25}, {48, 1.5}, {56, 1.75}}));
}

TEST(ParamUpdateQueue, WithoutGranularityOnlyThePointsAreHandedOut)
{
    int32 granularity = 0;
    CVSTParamUpdateQueue queue(&granularity);
    FakeValueQueue host;
    host.points = {{32, 1.0}};
    queue.attach(64, &host);
    EXPECT_EQ(readBlock(queue, 64), (Values{{32, 1.0}}));

    CVSTParamUpdateQueue triangle(&granularity);
    host.points = {{0, 0.0}, {16, 1.0}, {32, 0.0}};
    triangle.attach(64, &host);
    EXPECT_EQ(readBlock(triangle, 64), (Values{{16, 1.0}, {32, 0.0}}));
}

TEST(ParamUpdateQueue, FollowsTheProcessorsGranularityAsItChanges)
{
    int32 granularity = 0;
    CVSTParamUpdateQueue queue(&granularity);
    FakeValueQueue host;
    host.points = {{0, 0.0}, {16, 1.0}};
    granularity = 4;
    queue.attach(32, &host);
    EXPECT_EQ(
        readBlock(queue, 32),
        (Values{{4, 0.25}, {8, 0.5}, {12, 0.75}, {16, 1.0}, {20, 1.25}, {24, 1.5}, {28, 1.75}}));
}

TEST(ParamUpdateQueue, ValueAtOffsetMovesTheReadPosition)
{
    int32 granularity = 8;
    CVSTParamUpdateQueue queue(&granularity);
    FakeValueQueue host;
    host.points = {{32, 1.0}};
    queue.attach(64, &host);

    double value = -1.0;
    EXPECT_FALSE(queue.getValueAtOffset(0, 0.0, &value)); // starts the segment, value unchanged
    EXPECT_TRUE(queue.getValueAtOffset(16, 0.0, &value));
    EXPECT_EQ(value, 0.5);
    EXPECT_FALSE(queue.getNextValue(&value));              // 17 is off the grid
    EXPECT_FALSE(queue.getValueAtOffset(16, 0.0, &value)); // same value again
    EXPECT_TRUE(queue.getValueAtOffset(24, 0.0, &value));
    EXPECT_EQ(value, 0.75);
}

TEST(ParamUpdateQueue, UnreadablePointsNeverProduceOffsetsOrNaN)
{
    int32 granularity = 8;
    FakeValueQueue host;

    // The first point cannot be read: a fresh queue must not hand out offsets times its
    // initial slope.
    CVSTParamUpdateQueue failing(&granularity);
    host.points = {{32, 1.0}};
    host.failFrom = 0;
    failing.attach(64, &host);
    EXPECT_TRUE(readBlock(failing, 64).empty());

    CVSTParamUpdateQueue notANumber(&granularity);
    host.points = {{32, std::nan("")}};
    host.failFrom = INT_MAX;
    notANumber.attach(64, &host);
    EXPECT_TRUE(readBlock(notANumber, 64).empty());

    // The second of two points fails: the segment would be empty.
    CVSTParamUpdateQueue secondFails(&granularity);
    host.points = {{0, 0.5}, {32, 1.0}};
    host.failFrom = 1;
    secondFails.attach(64, &host);
    EXPECT_TRUE(readBlock(secondFails, 64).empty());

    CVSTParamUpdateQueue detached(&granularity);
    EXPECT_EQ(detached.getParameterIndex(), -1);
    EXPECT_TRUE(readBlock(detached, 64).empty());
}

TEST(ParamUpdateQueue, RepeatedPointInTheNextBlockGivesNoNaN)
{
    int32 granularity = 8;
    CVSTParamUpdateQueue queue(&granularity);
    FakeValueQueue host;
    host.points = {{32, 1.0}};
    queue.attach(64, &host);
    readBlock(queue, 64);

    // The new segment starts and ends on sample 32: nothing to interpolate.
    queue.attach(64, &host);
    EXPECT_TRUE(readBlock(queue, 64).empty());
}

TEST(ParamUpdateQueue, SegmentEndingOnTheLastSampleRestartsAtZero)
{
    int32 granularity = 0;
    CVSTParamUpdateQueue queue(&granularity);
    FakeValueQueue host;
    host.points = {{63, 1.0}};
    queue.attach(64, &host);
    EXPECT_EQ(readBlock(queue, 64), (Values{{63, 1.0}}));

    // The next block's segment starts at sample 0 with the value reached, 1.0. Sample 0 itself
    // still reports the previous segment's start value.
    granularity = 16;
    host.points = {{32, 0.0}};
    queue.attach(64, &host);
    EXPECT_EQ(readBlock(queue, 64), (Values{{0, 0.0}, {16, 0.5}, {32, 0.0}, {48, -0.5}}));
}

TEST(ParamUpdateQueue, ExtremeOffsetsAndGranularitiesAreSafe)
{
    int32 granularity = -1;
    CVSTParamUpdateQueue queue(&granularity);
    FakeValueQueue host;
    host.points = {{32, 1.0}};
    queue.attach(64, &host);
    double value = 0.0;
    queue.getValueAtOffset(INT_MIN, 0.0, &value);
    queue.getValueAtOffset(INT_MAX, 0.0, &value);
    queue.getNextValue(&value);
    queue.getNextValue(&value);
    EXPECT_FALSE(std::isnan(value));

    CVSTParamUpdateQueue noGranularity(nullptr);
    noGranularity.attach(64, &host);
    EXPECT_EQ(readBlock(noGranularity, 64), (Values{{32, 1.0}}));
}
