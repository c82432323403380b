// SPDX-License-Identifier: GPL-3.0-or-later
// halvane-bench: what the room processor costs per second of 48 kHz stereo audio, next to
// zita-convolver and a plain FFTW convolver doing the same two 69632-tap convolutions.

#include "Agreement.h"
#include "BundleRoom.h"
#include "DirectRoom.h"
#include "FftwConvolver.h"
#include "Inputs.h"
#include "InstanceMemory.h"
#include "Report.h"
#include "Timing.h"
#include "Workload.h"
#include "ZitaPair.h"

#include "host/HostError.h"
#include "host/Module.h"

#include "room/ResponseSet.h"
#include "room/RoomLayout.h"

#include <zita-convolver.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <memory>
#include <string>

#ifndef HALVANE_BUILD_BUNDLE
#define HALVANE_BUILD_BUNDLE ""
#endif

namespace
{
using namespace bench;

struct Options
{
    std::string bundle = HALVANE_BUILD_BUNDLE;
    double seconds = 5.0;
    int passes = 8;
};

void usage()
{
    std::printf("usage: halvane-bench [--plugin PATH] [--seconds S] [--passes N]\n"
                "  --plugin PATH  HalvaneDuo.vst3 bundle (default: the build tree's)\n"
                "  --seconds S    audio per timed pass, rounded up to 65536 frames (default 5)\n"
                "  --passes N     timed passes per contender, the best counts (default 8)\n");
}

bool parse(int argc, char** argv, Options& options)
{
    for (int i = 1; i < argc; ++i)
    {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--plugin") == 0 && hasValue)
            options.bundle = argv[++i];
        else if (std::strcmp(argv[i], "--seconds") == 0 && hasValue)
            options.seconds = std::atof(argv[++i]);
        else if (std::strcmp(argv[i], "--passes") == 0 && hasValue)
            options.passes = std::atoi(argv[++i]);
        else
            return false;
    }
    return options.seconds > 0.0 && options.passes > 0 && !options.bundle.empty();
}

void progress(const char* what)
{
    std::fprintf(stderr, "  %s...\n", what);
}

// The room at each host rate, in turns; one runner counts CPU per frame, scaled by each
// rate afterwards. Warm-up covers the longest response (192 kHz).
void measureRates(const Options& options, Results& r)
{
    progress("memory at 96 kHz");
    {
        const Resident before = residentNow();
        DirectRoom room(96000);
        const Workload workload(1.0, 1);
        std::vector<float> out(Workload::kHostBlock);
        float* const outs[2] = {out.data(), out.data()};
        for (long frame = 0; frame < 4L * Workload::kCycleFrames; frame += Workload::kHostBlock)
        {
            const float* const in[2] = {workload.left(frame), workload.right(frame)};
            room.process(in, outs, Workload::kHostBlock);
        }
        r.memoryAt96k = residentNow() - before;
        const CRoomLayout at96 = CRoomLayout::forRate(96000);
        // A resampled set holds its taps as floats.
        r.responsesAt96k = 66.0 * at96.responseLength * sizeof(float);
    }

    progress("timing each host rate");
    // As many passes as the main timing: the 96/48 ratio is held to a target as well, and half
    // as many left it a few hundredths less certain than the others.
    const Workload workload(options.seconds, std::max(1, options.passes));
    const int rates[] = {44100, 48000, 88200, 96000, 192000};
    std::vector<std::unique_ptr<DirectRoom>> rooms;
    std::vector<Contender> contenders;
    for (int rate : rates)
    {
        rooms.push_back(std::make_unique<DirectRoom>(static_cast<uint32_t>(rate)));
        contenders.push_back(roomContender(workload, *rooms.back(), Absorption::kStatic));
    }
    const long passFrames = static_cast<long>(std::lround(workload.secondsPerPass() *
                                                          Workload::kSampleRate));
    // CPU only: no block times are read.
    const Runner runner(passFrames, workload.passes(), 6L * Workload::kCycleFrames, 0, 1.0);
    const std::vector<RunResult> times = runner.run(contenders);
    for (size_t k = 0; k < contenders.size(); ++k)
    {
        r.rates.push_back({rates[k], describeStages(rates[k]), times[k].cpuPerSecond * rates[k]});
    }
}

Results measure(const Options& options)
{
    Results r;
    const Workload workload(options.seconds, options.passes);
    r.secondsPerPass = workload.secondsPerPass();
    r.passes = workload.passes();

    const auto module = halvane::host::Module::load(options.bundle);
    progress("resident memory of two instances");
    r.memory = measureInstanceMemory(module);

    const std::vector<double> left = defaultRoomResponse(0);
    const std::vector<double> right = defaultRoomResponse(1);

    progress("setting up the contenders");
    const auto rate = static_cast<uint32_t>(Workload::kSampleRate);
    const CRoomLayout layout = CRoomLayout::forRate(static_cast<int>(rate));
    BundleRoom bundleStatic(module, Workload::kSampleRate, Workload::kHostBlock);
    BundleRoom bundleAutomated(module, Workload::kSampleRate, Workload::kHostBlock);
    BundleRoom bundleResent(module, Workload::kSampleRate, Workload::kHostBlock);
    BundleRoom bundleSmall(module, Workload::kSampleRate, Workload::kSmallBlock);
    DirectRoom directStatic(rate);
    DirectRoom directAutomated(rate);
    DirectRoom directSmall(rate);
    r.reportedLatency = static_cast<int>(bundleStatic.latencySamples());
    FftwConvolver fftwLeft(left.data(), static_cast<int>(left.size()), kQuantum);
    FftwConvolver fftwRight(right.data(), static_cast<int>(right.size()), kQuantum);
    r.fftwPartitions = fftwLeft.partitions();
    std::vector<std::unique_ptr<ZitaPair>> zitas;
    for (int maxPart : {1024, 2048, 4096, 8192})
        for (unsigned vector : {0u, unsigned(Convproc::OPT_VECTOR_MODE)})
        {
            r.zita.push_back({maxPart, Convproc::OPT_FFTW_MEASURE | vector, {}});
            zitas.push_back(
                std::make_unique<ZitaPair>(left, right, kQuantum, maxPart, r.zita.back().options));
        }

    std::vector<Contender> contenders = {
        roomContender(workload, bundleStatic, Absorption::kStatic),
        roomContender(workload, bundleAutomated, Absorption::kMoving),
        roomContender(workload, directStatic, Absorption::kStatic),
        roomContender(workload, directAutomated, Absorption::kMoving),
        roomContender(workload, bundleSmall, Absorption::kStatic, Workload::kSmallBlock),
        roomContender(workload, directSmall, Absorption::kStatic, Workload::kSmallBlock),
        roomContender(workload, bundleResent, Absorption::kResent),
        fftwContender(workload, fftwLeft, fftwRight),
    };
    for (int i = 0; i < layout.stageCount; ++i)
    {
        const CRoomStage& s = layout.stages[i];
        r.stages.push_back({s.start, s.length / s.block, s.block, s.lag, {}, {}});
        const StageShape shape{s.length, s.block, s.start, layout.responseLength, s.lag};
        contenders.push_back(stageContender(workload, shape));
        contenders.push_back(
            stageContender(workload, shape, Absorption::kMoving, directStatic.absorptionTop()));
    }
    for (auto& zita : zitas)
        contenders.push_back(zitaContender(workload, *zita));

    progress("timing, passes taking turns");
    const std::vector<RunResult> times = workload.runner().run(contenders);
    RunResult* targets[] = {
        &r.bundleStatic, &r.bundleAutomated, &r.directStatic, &r.directAutomated,
        &r.bundleSmall,  &r.directSmall,     &r.bundleResent, &r.fftw};
    size_t k = 0;
    for (RunResult* target : targets)
        *target = times[k++];
    for (Results::Stage& stage : r.stages)
    {
        stage.result = times[k++];
        stage.automated = times[k++];
    }
    for (ZitaCandidate& c : r.zita)
        c.result = times[k++];

    progress("agreement of the outputs");
    {
        constexpr long kFrames = 3 * Workload::kCycleFrames;
        FftwConvolver l(left.data(), static_cast<int>(left.size()), kQuantum);
        FftwConvolver rr(right.data(), static_cast<int>(right.size()), kQuantum);
        const StereoOutput reference = render(workload, l, rr, kFrames);
        // Lined up by measured latencies rather than assumed ones: zita and the reference
        // need not put the first output sample at the same place. Every set-up shares the
        // quantum and smallest partition that decide zita's latency.
        const ZitaCandidate& first = r.zita.front();
        r.fftwLatency = fftwLatency(static_cast<int>(left.size()), kQuantum);
        r.zitaLatency = zitaLatency(static_cast<int>(left.size()), kQuantum, first.maxPart,
                                    first.options);
        // Some set-ups may put out wrong samples on a busy machine, mostly in their first few
        // hundred milliseconds; agreement is judged from the second cycle on, the start-up
        // shown apart, and only set-ups that agree count as zita's best.
        for (ZitaCandidate& c : r.zita)
        {
            ZitaPair zita(left, right, kQuantum, c.maxPart, c.options);
            const StereoOutput out = render(workload, zita, kFrames);
            const int lag = r.zitaLatency - r.fftwLatency;
            c.difference = relativeDifference(out, reference, 1.0, lag, Workload::kCycleFrames);
            c.startDifference = relativeDifference(out, reference, 1.0, lag);
        }
        BundleRoom bundle(module, Workload::kSampleRate, Workload::kHostBlock);
        r.bundleDifference = relativeDifference(render(workload, bundle, kFrames), reference,
                                                kRoomGain, kRoomLatency - r.fftwLatency);
        DirectRoom direct(static_cast<uint32_t>(Workload::kSampleRate));
        r.directDifference = relativeDifference(render(workload, direct, kFrames), reference,
                                                kRoomGain, kRoomLatency - r.fftwLatency);
    }
    measureRates(options, r);
    return r;
}
} // namespace

int main(int argc, char** argv)
{
    Options options;
    if (!parse(argc, argv, options))
    {
        usage();
        return 2;
    }
    try
    {
        std::fprintf(stderr, "halvane-bench: measuring (%s)\n", options.bundle.c_str());
        const Results results = measure(options);
        printReport(results);
        return 0;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "halvane-bench: %s\n", e.what());
        return 1;
    }
}
