// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "InstanceMemory.h"
#include "Runner.h"

#include <string>
#include <vector>

namespace bench
{

// zita-convolver's quantum and smallest partition, and the FFTW convolver's partition:
// 256 gives the room processor's 255-sample latency once a host feeds it 64-frame blocks.
constexpr int kQuantum = 256;
// The room's default "Gain", and its latency: the first stage's 2 x 128 - 1 samples.
constexpr double kRoomGain = 0.5;
constexpr int kRoomLatency = 255;

struct ZitaCandidate
{
    int maxPart = 0;
    unsigned options = 0;
    RunResult result;
    double difference = 0.0;      // from the reference, once past zita's start-up
    double startDifference = 0.0; // the same from silence
};

// The room processor at one host rate, statically set.
struct RatePoint
{
    int rate = 0;
    std::string stages; // partitions x block, stage by stage
    double cpuPerSecond = 0.0;
};

struct Results
{
    double secondsPerPass = 0.0;
    int passes = 0;
    int reportedLatency = 0; // what the bundle tells the host
    RunResult bundleStatic;
    RunResult bundleAutomated;
    RunResult directStatic;
    RunResult directAutomated;
    RunResult bundleSmall; // static, 32-frame host blocks
    RunResult directSmall;
    RunResult bundleResent; // "Abs L-R" sent every block, always the same value
    std::vector<ZitaCandidate> zita;
    RunResult fftw;
    // One stage of the room (both ears) timed on its own, as the room runs it.
    struct Stage
    {
        int start = 0;
        int partitions = 0;
        int block = 0;
        int lag = 0;
        RunResult result;
        RunResult automated; // "Abs L-R" moved every host block
    };
    std::vector<Stage> stages;
    int fftwPartitions = 0;
    double bundleDifference = 0.0;
    double directDifference = 0.0;
    int fftwLatency = 0; // measured, samples
    int zitaLatency = 0;
    InstanceMemory memory;
    std::vector<RatePoint> rates;
    Resident memoryAt96k;       // one CHalvane created at 96 kHz and played
    double responsesAt96k = 0.0; // bytes of the bank resampled to 96 kHz, shared per process

    // The cheapest set-up whose output agrees with the reference (the cheapest of all when
    // none does): one that drops work is no fair comparison.
    const ZitaCandidate& bestZita() const;
};

void printReport(const Results& results);
// "8x128 6x512 ...": the partitions and block of each stage.
std::string describeStages(int rate);

} // namespace bench
