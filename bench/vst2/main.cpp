// SPDX-License-Identifier: GPL-3.0-or-later
// halvane-bench-vst2: what the VST 2 entry costs over the VST 3 one. Both paths render the same
// noise through the built module in 256-frame blocks; the best of several interleaved passes
// counts, and the ratio VST 2 / VST 3 (1.00 = no overhead) is printed.

#include "../Clocks.h"

#include "host/HostError.h"
#include "host/Module.h"
#include "host/PluginInstance.h"
#include "host/Vst2Effect.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <random>
#include <string>
#include <vector>

#ifndef HALVANE_BUILD_BUNDLE
#define HALVANE_BUILD_BUNDLE ""
#endif

namespace
{
using namespace halvane::host;

constexpr int kBlock = 256;
constexpr double kRate = 48000.0;

struct Audio
{
    explicit Audio(int frames) : inL(frames), inR(frames), outL(frames), outR(frames)
    {
        std::mt19937 random(7);
        std::uniform_real_distribution<float> noise(-0.5f, 0.5f);
        for (int i = 0; i < frames; ++i)
        {
            inL[i] = noise(random);
            inR[i] = noise(random);
        }
    }
    std::vector<float> inL, inR, outL, outR;
};

double timeVst3(PluginInstance& plugin, Audio& audio)
{
    const double start = bench::threadCpuSeconds();
    for (size_t at = 0; at + kBlock <= audio.inL.size(); at += kBlock)
    {
        const float* in[] = {audio.inL.data() + at, audio.inR.data() + at};
        float* out[] = {audio.outL.data() + at, audio.outR.data() + at};
        plugin.process(in, 2, out, 2, kBlock);
    }
    return bench::threadCpuSeconds() - start;
}

template <typename Sample> double timeVst2(Vst2Effect& effect, Audio& audio)
{
    std::vector<Sample> inL(audio.inL.begin(), audio.inL.end());
    std::vector<Sample> inR(audio.inR.begin(), audio.inR.end());
    std::vector<Sample> outL(inL.size()), outR(inR.size());
    const double start = bench::threadCpuSeconds();
    for (size_t at = 0; at + kBlock <= inL.size(); at += kBlock)
    {
        Sample* in[] = {inL.data() + at, inR.data() + at};
        Sample* out[] = {outL.data() + at, outR.data() + at};
        if constexpr (sizeof(Sample) == sizeof(float))
            effect.process(in, out, kBlock);
        else
            effect.processDouble(in, out, kBlock);
    }
    return bench::threadCpuSeconds() - start;
}

} // namespace

int main(int argc, char** argv)
{
    const std::string bundle = argc > 1 ? argv[1] : HALVANE_BUILD_BUNDLE;
    const double seconds = argc > 2 ? std::atof(argv[2]) : 2.0;
    const int passes = argc > 3 ? std::atoi(argv[3]) : 5;
    if (bundle.empty() || !(seconds > 0.0) || passes < 1)
    {
        std::fprintf(stderr, "usage: halvane-bench-vst2 [BUNDLE [SECONDS [PASSES]]]\n");
        return 2;
    }
    try
    {
        auto vst3 = PluginInstance::create(Module::load(bundle));
        vst3->setupProcessing(kRate, kBlock);
        vst3->setActive(true);
        auto vst2 = Vst2Effect::load(bundle);
        if (!vst2) throw HostError("the module declined the VST 2 host");
        vst2->setSampleRate(static_cast<float>(kRate));
        vst2->setBlockSize(kBlock);
        vst2->resume();

        Audio audio(static_cast<int>(seconds * kRate) / kBlock * kBlock);
        double best3 = 1e30, best2 = 1e30, best2d = 1e30;
        for (int pass = 0; pass < passes; ++pass)
        {
            best3 = std::min(best3, timeVst3(*vst3, audio));
            best2 = std::min(best2, timeVst2<float>(*vst2, audio));
            best2d = std::min(best2d, timeVst2<double>(*vst2, audio));
        }
        std::printf("%.1f s of 48 kHz stereo in %d-frame blocks, best of %d passes (CPU s)\n",
                    seconds, kBlock, passes);
        std::printf("  VST 3 process             %8.3f\n", best3);
        std::printf("  VST 2 processReplacing    %8.3f   ratio to VST 3 %.3f\n", best2,
                    best2 / best3);
        std::printf("  VST 2 processDouble...    %8.3f   ratio to VST 3 %.3f\n", best2d,
                    best2d / best3);
        return 0;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "halvane-bench-vst2: %s\n", e.what());
        return 1;
    }
}
