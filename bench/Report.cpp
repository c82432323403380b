#include "Report.h"

#include "Workload.h"

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

void blockLine(const char* name, const RunResult& r)
{
    const double budget = Workload::kHostBlock / Workload::kSampleRate;
    std::printf("  %-20s %8.1f %8.1f %9.1f %8.1f%% %6ld %10.1f\n", name, 1e6 * r.averageBlock,
                1e6 * r.worstBlock, r.worstBlock / r.averageBlock, 100.0 * r.worstBlock / budget,
                r.worstIndex % 32, 1e6 * r.rawWorstBlock);
}

void memoryLine(const char* name, const Resident& r)
{
    std::printf("  %-44s %+8.2f %+8.2f %+8.2f\n", name, r.total / kMB, r.anonymous / kMB,
                r.file / kMB);
}
} // namespace

void printRates(const Results& r)
{
    std::printf("\nCPU seconds per second of stereo audio by host rate (CHalvane direct, static)\n");
    std::printf("  %8s %10s %10s %10s %10s\n", "rate", "head P", "tail P", "tail N", "CPU s/s");
    double at48 = 0.0;
    double at96 = 0.0;
    for (const RatePoint& p : r.rates)
    {
        std::printf("  %8d %10d %10d %10d %10.5f\n", p.rate, p.headPartitions, p.tailPartitions,
                    p.tailBlock, p.cpuPerSecond);
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
    const ZitaCandidate* best = &zita.front();
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
    const std::string head =
        "  its head stage alone (2 x " + std::to_string(r.headPartitions) + " partitions of 128)";
    const std::string tail =
        "  its tail stage alone (2 x " + std::to_string(r.tailPartitions) + " partitions of 2048)";
    costLine(head.c_str(), r.headStage);
    costLine(tail.c_str(), r.tailStage);
    costLine("room processor, bundle, Abs L-R every block", r.bundleAutomated);
    costLine("room processor, CHalvane direct, Abs L-R every block", r.directAutomated);
    costLine(("zita-convolver, quantum 256, " + zitaName(zita) + ", sync").c_str(), zita.result);
    costLine(("FFTW uniform, " + std::to_string(r.fftwPartitions) + " x 256 taps, double").c_str(),
             r.fftw);
    std::printf("  zita set-ups tried (minpart 256, FFTW measure):");
    for (const ZitaCandidate& c : r.zita)
        std::printf("%s%s %.5f", &c == &r.zita.front() ? "\n    " : "; ", zitaName(c).c_str(),
                    c.result.cpuPerSecond);
    std::printf("\n  (caller: share of the CPU time spent in the calling thread)\n\n");

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
    std::printf("\n");

    std::printf("64-frame host blocks, wall clock (each block's fastest pass; budget 1333 us)\n");
    std::printf("  %-20s %8s %8s %9s %9s %6s %10s\n", "", "avg us", "worst us", "worst/avg",
                "budget", "mod 32", "raw worst");
    blockLine("bundle, static", r.bundleStatic);
    blockLine("bundle, automated", r.bundleAutomated);
    blockLine("direct, static", r.directStatic);
    blockLine("direct, automated", r.directAutomated);
    std::printf("  (mod 32: where the worst block falls in the 2048-frame tail cycle; raw worst: "
                "slowest\n   block of any pass, time slices lost to other processes included)\n\n");

    std::printf("Same output as the FFTW reference (relative RMS difference; room at gain %.1f, "
                "%d samples late)\n",
                kRoomGain, kRoomLatency);
    std::printf("  bundle %.1e, direct %.1e, zita %.1e (0: every sample equal as a float)\n\n",
                r.bundleDifference, r.directDifference, r.zitaDifference);

    std::printf("Resident memory, bundle instances (MB) %14s %8s %8s %8s\n", "", "total", "anon",
                "file");
    memoryLine("first instance created and activated", r.memory.firstCreated);
    memoryLine("first instance plays all 11 positions", r.memory.firstPlayed);
    memoryLine("second instance created and activated", r.memory.secondCreated);
    memoryLine("second instance plays all 11 positions", r.memory.secondPlayed);
    std::printf("  bank %.2f MB: read in place from the bundle's mapped data, so it shows as file\n"
                "  pages once and is shared by every instance; an instance's own memory is anon\n",
                kBankBytes / kMB);
    printRates(r);
}

} // namespace bench
