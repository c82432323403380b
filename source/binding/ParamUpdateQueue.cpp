// SPDX-License-Identifier: GPL-3.0-or-later
#include "ParamUpdateQueue.h"

#include <cmath>
#include <limits>

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

CVSTParamUpdateQueue::CVSTParamUpdateQueue(int32* granularity) : granularity(granularity) {}

void CVSTParamUpdateQueue::attach(int32 size, IParamValueQueue* queue)
{
    blockSize = size;
    hostQueue = queue;
    pointIndex = 0;
    readPosition = 0;
}

int32_t CVSTParamUpdateQueue::getParameterIndex()
{
    return hostQueue ? static_cast<int32_t>(hostQueue->getParameterId()) : -1;
}

bool CVSTParamUpdateQueue::getValueAtOffset(int32_t sampleOffset, double, double* value)
{
    readPosition = sampleOffset;
    double c = 0.0;
    if (valueAt(sampleOffset, c) != kNewValue) return false;
    if (value) *value = c;
    return true;
}

bool CVSTParamUpdateQueue::getNextValue(double* value)
{
    double c = 0.0;
    const ValueResult result = valueAt(readPosition, c);
    if (readPosition < std::numeric_limits<int32>::max()) ++readPosition;
    if (result != kNewValue) return false;
    if (value) *value = c;
    return true;
}

CVSTParamUpdateQueue::ValueResult CVSTParamUpdateQueue::valueAt(int32 sampleOffset, double& value)
{
    const int64 g = granularity ? *granularity : 0;

    double c;
    if (sampleOffset == segmentStartOffset)
        c = segmentStartValue;
    else if (sampleOffset == segmentEndOffset)
        c = segmentEndValue;
    else
        c = static_cast<double>(sampleOffset) * slope + intercept;

    if (sampleOffset == 0 || sampleOffset == segmentEndOffset) nextSegment();

    // A flat segment has nothing new to say.
    if (slope == 0.0) return kNoValue;

    const bool onGrid = g != 0 && static_cast<int64>(sampleOffset) % g == 0;
    if (!onGrid && sampleOffset != segmentStartOffset && sampleOffset != segmentEndOffset)
        return kNoValue;

    if (c == lastValue) return kUnchanged;
    lastValue = c;
    value = c;
    return kNewValue;
}

bool CVSTParamUpdateQueue::readPoint(int32 index, int32& offset, double& value)
{
    if (!hostQueue) return false;
    int32 pointOffset = 0;
    double pointValue = 0.0;
    if (hostQueue->getPoint(index, pointOffset, pointValue) != kResultOk) return false;
    // A point without a usable value is treated like one that cannot be read.
    if (!std::isfinite(pointValue)) return false;
    offset = pointOffset;
    value = pointValue;
    return true;
}

void CVSTParamUpdateQueue::nextSegment()
{
    int32 offset = 0;
    double value = 0.0;
    if (!readPoint(pointIndex, offset, value))
    {
        // Without the block's first point there is no line at all; following the previous one
        // (or the initial slope of 1) would hand out sample offsets as values.
        if (pointIndex == 0) slope = 0.0;
        return;
    }

    if (pointIndex == 0 && offset == 0)
    {
        segmentStartOffset = 0;
        segmentStartValue = value;
        if (hostQueue->getPointCount() < 2)
        {
            segmentEndOffset = blockSize;
            segmentEndValue = value;
        }
        else
        {
            ++pointIndex;
            int32 nextOffset = 0;
            double nextValue = 0.0;
            if (readPoint(pointIndex, nextOffset, nextValue))
            {
                segmentEndOffset = nextOffset;
                segmentEndValue = nextValue;
            }
        }
    }
    else
    {
        segmentStartOffset = lastSegment ? 0 : segmentEndOffset;
        lastSegment = false;
        segmentStartValue = segmentEndValue;
        segmentEndOffset = offset;
        segmentEndValue = value;
    }

    if (static_cast<int64>(segmentEndOffset) == static_cast<int64>(blockSize) - 1)
        lastSegment = true;
    ++pointIndex;

    const int64 span = static_cast<int64>(segmentEndOffset) - segmentStartOffset;
    const double width = static_cast<double>(static_cast<float>(span));
    if (width == 0.0)
    {
        // Two points on one sample: no line to follow, and dividing would give NaN.
        slope = 0.0;
        intercept = segmentEndValue;
        return;
    }
    slope = (segmentEndValue - segmentStartValue) / width;
    intercept = segmentStartValue - static_cast<double>(segmentStartOffset) * slope;
}

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
