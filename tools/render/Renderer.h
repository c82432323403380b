// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Progress.h"

#include "host/PluginInstance.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace halvane::render
{

struct RenderResult
{
    std::int64_t inputFrames = 0;
    std::int64_t tailFrames = 0;
};

// Streams audio through an active plug-in block by block, then renders its tail: a fixed
// length when asked, otherwise until the output has stayed below -100 dBFS for half a
// second (never shorter than the tail the plug-in reports, never longer than a minute past
// it). A reported latency is compensated, so output sample n belongs to input sample n.
class Renderer
{
public:
    // Fills up to `frames` samples of both channels; returns how many, 0 at the end.
    using Source = std::function<std::int64_t(float* left, float* right, std::int64_t frames)>;
    using Sink = std::function<void(const float* left, const float* right, std::int64_t frames)>;

    static constexpr float kSilence = 1e-5f; // -100 dBFS
    static constexpr double kSilenceHoldSeconds = 0.5;
    static constexpr double kMaxExtraTailSeconds = 60.0;

    explicit Renderer(host::PluginInstance& plugin);

    void setTailSeconds(std::optional<double> seconds) { fixedTail = seconds; }
    void setProgress(Progress* progress, std::int64_t expectedInputFrames);

    RenderResult run(const Source& source, const Sink& sink);

private:
    host::PluginInstance& plugin;
    std::optional<double> fixedTail;
    Progress* progress = nullptr;
    std::int64_t expectedInput = 0;
    std::vector<float> inL, inR, outL, outR;
};

} // namespace halvane::render
