// SPDX-License-Identifier: GPL-3.0-or-later
#include "DelayLine.h"

#include <algorithm>
#include <cstddef>

namespace
{
constexpr auto kRelaxed = std::memory_order_relaxed;
}

CDelayLine::CDelayLine(int rate, int delay, double feedbackPercent, double wetPercent, int capacity)
    : bufferLength(std::max(capacity > 0 ? capacity : 2 * rate, 1)), sampleRate(rate)
{
    buffer = std::make_unique<std::atomic<double>[]>(static_cast<size_t>(bufferLength));
    reset(delay, feedbackPercent, wetPercent);
}

void CDelayLine::reset(int delay, double feedbackPercent, double wetPercent)
{
    const int length = std::clamp(delay, 0, bufferLength - 1);
    delaySamples.store(length, kRelaxed);
    feedback.store(feedbackPercent / 100.0, kRelaxed);
    wetMix.store(wetPercent / 100.0, kRelaxed);
    writeIndex.store(0, kRelaxed);
    readIndex.store(length == 0 ? 0 : bufferLength - length, kRelaxed);
    for (int i = 0; i < bufferLength; ++i)
        buffer[static_cast<size_t>(i)].store(0.0, kRelaxed);
    out.store(0.0, kRelaxed);
}

void CDelayLine::push(double x)
{
    // Each index is read once; a concurrent reset may change it between the two reads, but
    // either value is a valid position.
    const int read = readIndex.load(kRelaxed);
    const int write = writeIndex.load(kRelaxed);
    double y = buffer[static_cast<size_t>(read)].load(kRelaxed);
    if (delaySamples.load(kRelaxed) == 0) y = x;
    buffer[static_cast<size_t>(write)].store(feedback.load(kRelaxed) * y + x, kRelaxed);
    writeIndex.store(write + 1 == bufferLength ? 0 : write + 1, kRelaxed);
    readIndex.store(read + 1 == bufferLength ? 0 : read + 1, kRelaxed);
    const double wet = wetMix.load(kRelaxed);
    out.store((1.0 - wet) * x + wet * y, kRelaxed);
}
