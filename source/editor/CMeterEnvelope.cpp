// SPDX-License-Identifier: GPL-3.0-or-later
#include "CMeterEnvelope.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

namespace
{
// ln(0.367): an analogue meter's time constant is the time to fall to 1/e.
constexpr float kAnalogLog = -1.0023934841156006f;
// ln(0.01): a digital meter's time is the time to settle within 1 %.
constexpr float kDigitalLog = -4.605170249938965f;

float coefficient(float k, float ms, float rate)
{
    const float steps = ms * rate;
    return static_cast<float>(std::exp(static_cast<double>(k) / (steps * 0.001)));
}
} // namespace

void CMeterEnvelope::setup(float newRate, float newAttackMs, float newReleaseMs,
                           bool analog, int32_t mode, bool logScale)
{
    rate = newRate;
    attackMs = newAttackMs;
    releaseMs = newReleaseMs;
    analogTimeConstant = analog;
    detectMode = mode;
    logOutput = logScale;
    const float k = analog ? kAnalogLog : kDigitalLog;
    attackCoef = coefficient(k, attackMs, rate);
    releaseCoef = coefficient(k, releaseMs, rate);
    envelope = 0.f;
}

float CMeterEnvelope::detect(float input)
{
    // A NaN would stick in the envelope and freeze the meter.
    float x = std::isnan(input) ? 0.f : std::fabs(input);
    if (detectMode == kMeanSquare || detectMode == kRootMeanSquare)
        x *= x;
    const float coef = x > envelope ? attackCoef : releaseCoef;
    float e = coef * (envelope - x) + x;
    // Denormals would crawl towards zero for ever and cost time on every redraw.
    if (e != 0.f && std::fabs(e) < FLT_MIN)
        e = 0.f;
    envelope = std::clamp(e, 0.f, 1.f);

    float result = detectMode == kRootMeanSquare ? std::sqrt(envelope) : envelope;
    if (!logOutput)
        return result;
    if (result <= 0.f)
        return 0.f;
    const float db = std::max(20.f * std::log10(result), -60.f);
    return (db + 60.f) / 60.f;
}
