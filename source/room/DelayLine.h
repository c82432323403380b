// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <atomic>
#include <memory>

// Fixed delay with optional feedback and a dry/wet mix. The room processor uses it as a
// plain 256-sample delay that lines the tail stage up behind the head stage.
//
// A host that re-prepares the effect while another thread is still processing makes reset()
// and push() overlap. Indices and samples are relaxed atomics and every index is computed
// before it is stored, so an overlapping push only ever sees a valid position.
class CDelayLine
{
public:
    // The buffer holds capacity samples, or two seconds at sampleRate when capacity is 0;
    // longer delays are shortened to fit.
    CDelayLine(int sampleRate, int delaySamples, double feedbackPercent, double wetPercent,
               int capacity = 0);

    // New settings and an empty buffer; the buffer keeps its length.
    void reset(int delaySamples, double feedbackPercent, double wetPercent);
    void push(double x);
    double output() const { return out.load(std::memory_order_relaxed); }

private:
    std::unique_ptr<std::atomic<double>[]> buffer;
    int bufferLength;
    int sampleRate;
    std::atomic<int> readIndex{0};
    std::atomic<int> writeIndex{0};
    std::atomic<int> delaySamples{0};
    std::atomic<double> feedback{0.0};
    std::atomic<double> wetMix{1.0};
    std::atomic<double> out{0.0};
};
