// SPDX-License-Identifier: GPL-3.0-or-later
#include "Report.h"

#include "Workload.h"

#include "room/RoomLayout.h"

#include <zita-convolver.h>

#include <cstdio>
#include <string>

namespace bench
{
namespace
{
constexpr double kMB = 1e6;
constexpr double kBankBytes = 66.0 * 69632.0 * sizeof(double);
constexpr double kRoomPerZitaTarget = 1.0;
constexpr double kAutomatedPerStaticTarget = 1.3;
constexpr double kWorstPerAverageTarget = 3.0;
// zita computes in single precision: 1e-5 is agreement, anything near 1e-1 dropped work.
constexpr double kZitaAgreement = 1e-5;
constexpr double kInstanceTargetMB = 8.0;
constexpr double k96Per48Target = 2.2;

std::string zitaName(const ZitaCandidate& c)
{
    std::string name = "maxpart " + std::to_string(c.maxPart);
    if (c.options & Convproc::OPT_VECTOR_MODE) name += ", vector mode";
    return name;
}

void costLine(const char* name, const RunResult& r)
{
    std::printf("  %-52s %8.5f %7.0f%%\n", name, r.cpuPerSecond, 100.0 * r.threadShare);
}

void ratioLine(const char* name, double measured, double target)
{
    if (target <= 0.0)
    {
        std::printf("  %-34s %7.2f\n", name, measured);
        return;
    }
    std::printf("  %-34s %7.2f   <= %.1f   %s", name, measured, target,
                measured <= target ? "met" : "MISSED");
    if (measured > target) std::printf(" by %.0f%%", 100.0 * (measured / target - 1.0));
    std::printf("\n");
}

// Where in the room's schedule the worst warm block starts, in frames.
long cyclePoint(const RunResult& r, int frames)
{
    return r.worstWarmIndex * frames % Workload::kScheduleFrames;
}

void blockLine(const char* name, const RunResult& r, int frames)
{
    const double budget = frames / Workload::kSampleRate;
    std::printf("  %-20s %8.1f %8.1f %9.1f %8.1f%% %6ld %10.1f %10.1f\n", name,
                1e6 * r.averageBlock, 1e6 * r.worstWarmBlock, r.worstWarmBlock / r.averageBlock,
                100.0 * r.worstWarmBlock / budget, cyclePoint(r, frames), 1e6 * r.worstBlock,
                1e6 * r.rawWorstBlock);
}

void blockTable(const char* title, int frames, const RunResult* const rows[],
                const char* const names[], int count)
{
    std::printf("%d-frame host blocks, %s (each block's fastest pass; budget %.0f us)\n", frames,
                title, 1e6 * frames / Workload::kSampleRate);
    std::printf("  %-20s %8s %8s %9s %9s %6s %10s %10s\n", "", "avg us", "worst us", "worst/avg",
                "budget", "at", "cold start", "raw worst");
    for (int i = 0; i < count; ++i)
        blockLine(names[i], *rows[i], frames);
}

void memoryLine(const char* name, const Resident& r)
{
    std::printf("  %-44s %+8.2f %+8.2f %+8.2f\n", name, r.total / kMB, r.anonymous / kMB,
                r.file / kMB);
}
} // namespace

std::string describeStages(int rate)
{
    const CRoomLayout l = CRoomLayout::forRate(rate);
    std::string text;
    for (int i = 0; i < l.stageCount; ++i)
        text += (i ? " " : "") + std::to_string(l.stages[i].length / l.stages[i].block) + "x" +
                std::to_string(l.stages[i].block);
    return text;
}

void printRates(const Results& r)
{
    std::printf("\nCPU seconds per second of stereo audio by host rate (CHalvane direct, static)\n");
    std::printf("  %8s  %-36s %10s\n", "rate", "stages (partitions x block)", "CPU s/s");
    double at48 = 0.0;
    double at96 = 0.0;
    for (const RatePoint& p : r.rates)
    {
        std::printf("  %8d  %-36s %10.5f\n", p.rate, p.stages.c_str(), p.cpuPerSecond);
        if (p.rate == 48000) at48 = p.cpuPerSecond;
        if (p.rate == 96000) at96 = p.cpuPerSecond;
    }
    if (at48 > 0.0) ratioLine("96 kHz / 48 kHz", at96 / at48, k96Per48Target);
    std::printf("  at 96 kHz: the resampled bank %.1f MB once per process; the first instance, "
                "the bank included, %+.1f MB (anon %+.1f)\n",
                r.responsesAt96k / kMB, r.memoryAt96k.total / kMB, r.memoryAt96k.anonymous / kMB);
}

const ZitaCandidate& Results::bestZita() const
{
    const ZitaCandidate* best = nullptr;
    for (const ZitaCandidate& c : zita)
        if (c.difference < kZitaAgreement &&
            (!best || c.result.cpuPerSecond < best->result.cpuPerSecond))
            best = &c;
    if (best) return *best;
    best = &zita.front();
    for (const ZitaCandidate& c : zita)
        if (c.result.cpuPerSecond < best->result.cpuPerSecond) best = &c;
    return *best;
}

void printReport(const Results& r)
{
    const ZitaCandidate& zita = r.bestZita();
    std::printf("halvane-bench: 48 kHz stereo noise, two convolutions of 75789 taps, room latency "
                "%d samples (the bundle reports %d)\n",
                kRoomLatency, r.reportedLatency);
    std::printf("best of %d passes of %.2f s of audio each; CPU time of the whole process\n\n",
                r.passes, r.secondsPerPass);

    std::printf("CPU seconds per second of audio %30s %8s %8s\n", "", "CPU s/s", "caller");
    costLine("room processor, bundle via halvane_host", r.bundleStatic);
    costLine("room processor, CHalvane direct", r.directStatic);
    for (const Results::Stage& s : r.stages)
        costLine(("  stage alone: taps from " + std::to_string(s.start) + ", 2 x " +
                  std::to_string(s.partitions) + " x " + std::to_string(s.block))
                     .c_str(),
                 s.result);
    costLine("room processor, bundle, Abs L-R every block", r.bundleAutomated);
    costLine("room processor, CHalvane direct, Abs L-R every block", r.directAutomated);
    costLine("room processor, bundle, Abs L-R re-sent unchanged", r.bundleResent);
    costLine(("zita-convolver, quantum 256, " + zitaName(zita) + ", sync").c_str(), zita.result);
    costLine(("FFTW uniform, " + std::to_string(r.fftwPartitions) + " x 256 taps, double").c_str(),
             r.fftw);
    std::printf("  zita set-ups tried (minpart 256, FFTW measure):");
    for (const ZitaCandidate& c : r.zita)
        std::printf("\n    %-28s %.5f   agreement %.1e", zitaName(c).c_str(), c.result.cpuPerSecond,
                    c.difference);
    std::printf("\n  (caller: share of the CPU time spent in the calling thread)\n\n");

    // What is left of the direct room after its stages: routing, the seam delays, the
    // per-frame calls and the controls.
    const double direct = r.directStatic.cpuPerSecond;
    double rest = direct;
    std::printf("Where the direct room's time goes %26s %8s %8s\n", "", "CPU s/s", "share");
    const auto share = [direct](double v) { return direct > 0.0 ? 100.0 * v / direct : 0.0; };
    for (const Results::Stage& s : r.stages)
    {
        const std::string name = "stage " + std::to_string(s.partitions) + " x " +
                                 std::to_string(s.block) + " from tap " + std::to_string(s.start) +
                                 ", output lag " + std::to_string(s.lag);
        std::printf("  %-52s %8.5f %7.0f%%   worst/avg %.1f at %ld\n", name.c_str(),
                    s.result.cpuPerSecond, share(s.result.cpuPerSecond),
                    s.result.worstWarmBlock / s.result.averageBlock,
                    cyclePoint(s.result, Workload::kHostBlock));
        rest -= s.result.cpuPerSecond;
    }
    std::printf("  %-52s %8.5f %7.0f%%\n", "per-sample overhead outside the stages", rest,
                share(rest));
    std::printf("\n");

    // A moving control re-shapes and re-transforms one partition per block in every stage:
    // what that adds, stage by stage, and what the room adds beyond the stages (the control's
    // path, and the caches the new spectra take from the static work).
    const double added = r.directAutomated.cpuPerSecond - direct;
    double addedRest = added;
    std::printf("What \"Abs L-R\" moved every block adds to the direct room %3s %8s %8s\n", "",
                "CPU s/s", "share");
    const auto addedShare = [added](double v) { return added > 0.0 ? 100.0 * v / added : 0.0; };
    for (const Results::Stage& s : r.stages)
    {
        const std::string name = "stage " + std::to_string(s.partitions) + " x " +
                                 std::to_string(s.block) + " from tap " + std::to_string(s.start);
        const double v = s.automated.cpuPerSecond - s.result.cpuPerSecond;
        std::printf("  %-52s %8.5f %7.0f%%\n", name.c_str(), v, addedShare(v));
        addedRest -= v;
    }
    std::printf("  %-52s %8.5f %7.0f%%\n", "outside the stages", addedRest, addedShare(addedRest));
    std::printf("  %-52s %8.5f\n", "in all", added);
    std::printf("\n");

    std::printf("Ratios %36s %7s\n", "", "target");
    const double zitaCost = zita.result.cpuPerSecond;
    ratioLine("room/zita (bundle)", r.bundleStatic.cpuPerSecond / zitaCost, kRoomPerZitaTarget);
    ratioLine("room/zita (direct)", r.directStatic.cpuPerSecond / zitaCost, kRoomPerZitaTarget);
    ratioLine("room/fftw (bundle)", r.bundleStatic.cpuPerSecond / r.fftw.cpuPerSecond, 0.0);
    ratioLine("room/fftw (direct)", r.directStatic.cpuPerSecond / r.fftw.cpuPerSecond, 0.0);
    ratioLine("automated/static (bundle)",
              r.bundleAutomated.cpuPerSecond / r.bundleStatic.cpuPerSecond,
              kAutomatedPerStaticTarget);
    ratioLine("automated/static (direct)",
              r.directAutomated.cpuPerSecond / r.directStatic.cpuPerSecond,
              kAutomatedPerStaticTarget);
    ratioLine("unchanged re-sent/static (bundle)",
              r.bundleResent.cpuPerSecond / r.bundleStatic.cpuPerSecond, 0.0);
    std::printf("\n");

    {
        const RunResult* rows[] = {&r.bundleStatic, &r.bundleAutomated, &r.directStatic,
                                   &r.directAutomated};
        const char* names[] = {"bundle, static", "bundle, automated", "direct, static",
                               "direct, automated"};
        blockTable("wall clock", Workload::kHostBlock, rows, names, 4);
        const RunResult* small[] = {&r.bundleSmall, &r.directSmall};
        const char* smallNames[] = {"bundle, static", "direct, static"};
        blockTable("wall clock", Workload::kSmallBlock, small, smallNames, 2);
    }
    std::printf("  (at: the frame where the worst block starts in the room's 4096-frame schedule;\n"
                "   each pass's first 4096 frames are left out of worst, as they start with the\n"
                "   caches the other contenders filled, and the same points of the schedule come\n"
                "   again later in the pass; cold start: the worst block with them; raw worst:\n"
                "   slowest block of any pass, time slices lost to other processes included)\n");
    ratioLine("worst/avg, 64 frames (bundle)", r.bundleStatic.worstWarmBlock / r.bundleStatic.averageBlock,
              kWorstPerAverageTarget);
    ratioLine("worst/avg, 64 frames (direct)", r.directStatic.worstWarmBlock / r.directStatic.averageBlock,
              kWorstPerAverageTarget);
    ratioLine("worst/avg, 32 frames (bundle)", r.bundleSmall.worstWarmBlock / r.bundleSmall.averageBlock,
              kWorstPerAverageTarget);
    ratioLine("worst/avg, 32 frames (direct)", r.directSmall.worstWarmBlock / r.directSmall.averageBlock,
              kWorstPerAverageTarget);
    std::printf("\n");

    std::printf("Same output as the FFTW reference (relative RMS difference; room at gain %.1f, "
                "%d samples late)\n",
                kRoomGain, kRoomLatency);
    std::printf("  bundle %.1e, direct %.1e (from silence; 0: every sample equal as a float)\n",
                r.bundleDifference, r.directDifference);
    std::printf("  zita %.1e once started (%.1e from silence, start-up included)\n",
                zita.difference, zita.startDifference);
    std::printf("  measured latencies: FFTW reference %d, zita %d samples; zita compared %d "
                "samples late\n\n",
                r.fftwLatency, r.zitaLatency, r.zitaLatency - r.fftwLatency);

    std::printf("Resident memory, bundle instances (MB) %14s %8s %8s %8s\n", "", "total", "anon",
                "file");
    memoryLine("first instance created and activated", r.memory.firstCreated);
    memoryLine("first instance plays all 11 positions", r.memory.firstPlayed);
    memoryLine("second instance created and activated", r.memory.secondCreated);
    memoryLine("second instance plays all 11 positions", r.memory.secondPlayed);
    const double own = (r.memory.secondCreated.anonymous + r.memory.secondPlayed.anonymous) / kMB;
    ratioLine("one instance's own memory (MB)", own, kInstanceTargetMB);
    std::printf("  (the second instance's anonymous pages: the shared bank and the first\n"
                "   instance's one-off set-up are not counted)\n");
    std::printf("  bank %.2f MB: read in place from the bundle's mapped data, so it shows as file\n"
                "  pages once and is shared by every instance; an instance's own memory is anon\n",
                kBankBytes / kMB);
    printRates(r);
}

} // namespace bench
