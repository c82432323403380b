// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "framework/IParamUpdateQueue.h"

#include "pluginterfaces/vst/ivstparameterchanges.h"

namespace Steinberg
{
namespace Vst
{
namespace Davu2VOV3
{

// Follows the host's automation points of one parameter within a block by linear interpolation,
// handing out values only on multiples of the granularity and at the points themselves.
class CVSTParamUpdateQueue : public IParamUpdateQueue
{
public:
    // granularity points at the processor's copy, which may change later.
    explicit CVSTParamUpdateQueue(int32* granularity);
    virtual ~CVSTParamUpdateQueue() = default;

    CVSTParamUpdateQueue(const CVSTParamUpdateQueue&) = delete;
    CVSTParamUpdateQueue& operator=(const CVSTParamUpdateQueue&) = delete;

    int32_t getParameterIndex() override;
    bool getValueAtOffset(int32_t sampleOffset, double unused, double* value) override;
    bool getNextValue(double* value) override;

    // Start of a block in which the parameter changed. The segment carries over from the
    // previous block.
    void attach(int32 blockSize, IParamValueQueue* hostQueue);
    // The host's queue belongs to one block; after it the queue follows its line alone.
    void detach() { hostQueue = nullptr; }
    bool isAttached() const { return hostQueue != nullptr; }

    enum ValueResult
    {
        kNoValue = 0,
        kNewValue = 1,
        kUnchanged = 2,
    };
    ValueResult valueAt(int32 sampleOffset, double& value);
    void nextSegment();

private:
    bool readPoint(int32 index, int32& offset, double& value);

    int32 blockSize = 0;
    double lastValue = 0.0;
    double slope = 1.0;
    double intercept = 0.0;
    int32* granularity;
    int32 pointIndex = 0;
    IParamValueQueue* hostQueue = nullptr;
    int32 segmentStartOffset = 0;
    int32 segmentEndOffset = 0;
    double segmentStartValue = 0.0;
    double segmentEndValue = 0.0;
    bool lastSegment = false;
    int32 readPosition = 0;
};

} // namespace Davu2VOV3
} // namespace Vst
} // namespace Steinberg
