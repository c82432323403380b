// SPDX-License-Identifier: GPL-3.0-or-later
#include "Renderer.h"

#include "RenderError.h"

#include <algorithm>
#include <cmath>

namespace halvane::render
{

Renderer::Renderer(host::PluginInstance& p) : plugin(p)
{
    const auto n = static_cast<size_t>(plugin.maxBlockSize());
    inL.resize(n);
    inR.resize(n);
    outL.resize(n);
    outR.resize(n);
}

void Renderer::setProgress(Progress* p, std::int64_t expectedInputFrames)
{
    progress = p;
    expectedInput = expectedInputFrames;
}

RenderResult Renderer::run(const Source& source, const Sink& sink)
{
    const double rate = plugin.sampleRate();
    const std::int64_t block = plugin.maxBlockSize();
    const std::uint32_t reported = plugin.tailSamples();
    const bool infinite = reported == Steinberg::Vst::kInfiniteTail;

    std::int64_t minTail = infinite ? 0 : static_cast<std::int64_t>(reported);
    std::int64_t maxTail = minTail + static_cast<std::int64_t>(kMaxExtraTailSeconds * rate);
    if (fixedTail) minTail = maxTail = static_cast<std::int64_t>(std::llround(*fixedTail * rate));
    const auto hold = static_cast<std::int64_t>(std::llround(kSilenceHoldSeconds * rate));

    std::int64_t toSkip = plugin.latencySamples();
    RenderResult result;
    bool inputDone = false;
    bool finished = false;
    std::int64_t emitted = 0;
    std::int64_t silentRun = 0;

    const float* in[] = {inL.data(), inR.data()};
    float* out[] = {outL.data(), outR.data()};

    while (!finished)
    {
        if (inputDone && emitted >= result.inputFrames && result.tailFrames >= maxTail) break;

        std::int64_t n = 0;
        if (!inputDone)
        {
            n = source(inL.data(), inR.data(), block);
            if (n <= 0)
            {
                inputDone = true;
                n = 0;
            }
            result.inputFrames += n;
        }
        if (inputDone)
        {
            std::fill(inL.begin(), inL.end(), 0.f);
            std::fill(inR.begin(), inR.end(), 0.f);
            n = block;
        }

        if (plugin.process(in, 2, out, 2, static_cast<Steinberg::int32>(n)) != Steinberg::kResultOk)
            throw RenderError("the plug-in failed to process a block");

        std::int64_t first = std::min(toSkip, n);
        toSkip -= first;
        std::int64_t last = first;
        for (std::int64_t i = first; i < n && !finished; ++i)
        {
            const bool tail = inputDone && emitted >= result.inputFrames;
            if (tail && result.tailFrames >= maxTail)
            {
                finished = true;
                break;
            }
            const float peak = std::max(std::fabs(outL[static_cast<size_t>(i)]),
                                        std::fabs(outR[static_cast<size_t>(i)]));
            silentRun = peak < kSilence ? silentRun + 1 : 0;
            ++emitted;
            last = i + 1;
            if (tail)
            {
                ++result.tailFrames;
                if (!fixedTail && result.tailFrames >= minTail && silentRun >= hold)
                    finished = true;
            }
        }
        if (last > first) sink(outL.data() + first, outR.data() + first, last - first);

        if (progress)
        {
            if (!inputDone || emitted < result.inputFrames)
                progress->update(static_cast<double>(emitted) / rate,
                                 static_cast<double>(std::max(expectedInput, emitted)) / rate);
            else
                progress->update(static_cast<double>(result.tailFrames) / rate,
                                 fixedTail ? *fixedTail : -1.0);
        }
    }
    if (progress) progress->finish();
    return result;
}

} // namespace halvane::render
