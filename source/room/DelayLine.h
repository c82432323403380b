#pragma once

#include <vector>

// Fixed delay with optional feedback and a dry/wet mix. The room processor uses it as a
// plain 256-sample delay that lines the tail stage up behind the head stage.
class CDelayLine
{
public:
    // The buffer holds two seconds at sampleRate; longer delays are shortened to fit.
    CDelayLine(int sampleRate, int delaySamples, double feedbackPercent, double wetPercent);

    // New settings and an empty buffer; the buffer keeps its length.
    void reset(int delaySamples, double feedbackPercent, double wetPercent);
    void push(double x);
    double output() const { return out; }

private:
    std::vector<double> buffer;
    int readIndex = 0;
    int writeIndex = 0;
    int bufferLength;
    int sampleRate;
    double feedback = 0.0;
    double wetMix = 1.0;
    int delaySamples = 0;
    double out = 0.0;
};
