#include "DelayLine.h"

#include <algorithm>
#include <cstddef>

CDelayLine::CDelayLine(int rate, int delay, double feedbackPercent, double wetPercent)
    : bufferLength(std::max(2 * rate, 1)), sampleRate(rate)
{
    buffer.assign(static_cast<size_t>(bufferLength), 0.0);
    reset(delay, feedbackPercent, wetPercent);
}

void CDelayLine::reset(int delay, double feedbackPercent, double wetPercent)
{
    delaySamples = std::clamp(delay, 0, bufferLength - 1);
    feedback = feedbackPercent / 100.0;
    wetMix = wetPercent / 100.0;
    writeIndex = 0;
    readIndex = -delaySamples;
    if (readIndex < 0) readIndex += bufferLength;
    std::fill(buffer.begin(), buffer.end(), 0.0);
    out = 0.0;
}

void CDelayLine::push(double x)
{
    double y = buffer[readIndex];
    if (delaySamples == 0) y = x;
    buffer[writeIndex] = feedback * y + x;
    if (++writeIndex == bufferLength) writeIndex = 0;
    if (++readIndex == bufferLength) readIndex = 0;
    out = (1.0 - wetMix) * x + wetMix * y;
}
