#pragma once

#include "Clocks.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace bench
{

struct RunResult
{
    double cpuPerSecond = 0.0;  // process CPU seconds per second of audio, best pass
    double threadShare = 0.0;   // part of that CPU spent in the calling thread
    double averageBlock = 0.0;  // wall seconds per block
    double worstBlock = 0.0;    // wall seconds of the slowest block
    long worstIndex = 0;        // its place in the pass
    double rawWorstBlock = 0.0; // slowest block of any pass, preemptions included
};

// Times a block-processing callable over several identical passes. Per-second costs come
// from the CPU clocks of the best pass. Block times come from the wall clock; each block
// index keeps its fastest pass, because on a shared machine any single block can lose a
// time slice to another process, and that says nothing about the code under test. A pass
// length that is a multiple of every period in the work (partition cycles, automation)
// makes block i of every pass do the same work.
class BlockRunner
{
public:
    BlockRunner(int blockFrames, long blocksPerPass, int passes, long warmUpBlocks,
                double sampleRate)
        : frames(blockFrames), blocks(blocksPerPass), passCount(passes), warmUp(warmUpBlocks),
          rate(sampleRate)
    {
    }

    // process(long block) handles one block; block numbers run on across passes.
    template <class Process> RunResult run(Process&& process) const
    {
        std::vector<double> fastest(static_cast<size_t>(blocks),
                                    std::numeric_limits<double>::infinity());
        long block = 0;
        for (; block < warmUp; ++block)
            process(block);

        RunResult result;
        double bestCpu = std::numeric_limits<double>::infinity();
        for (int pass = 0; pass < passCount; ++pass)
        {
            const double cpu0 = processCpuSeconds();
            const double thread0 = threadCpuSeconds();
            for (long i = 0; i < blocks; ++i, ++block)
            {
                const auto t0 = WallClock::now();
                process(block);
                const double took = secondsBetween(t0, WallClock::now());
                fastest[i] = std::min(fastest[i], took);
                result.rawWorstBlock = std::max(result.rawWorstBlock, took);
            }
            const double thread = threadCpuSeconds() - thread0;
            const double cpu = processCpuSeconds() - cpu0;
            if (cpu < bestCpu)
            {
                bestCpu = cpu;
                result.threadShare = cpu > 0.0 ? thread / cpu : 0.0;
            }
        }

        const double audioSeconds = static_cast<double>(blocks) * frames / rate;
        result.cpuPerSecond = bestCpu / audioSeconds;
        double sum = 0.0;
        for (long i = 0; i < blocks; ++i)
        {
            sum += fastest[i];
            if (fastest[i] > result.worstBlock)
            {
                result.worstBlock = fastest[i];
                result.worstIndex = i;
            }
        }
        result.averageBlock = sum / static_cast<double>(blocks);
        return result;
    }

    double audioSecondsPerPass() const { return static_cast<double>(blocks) * frames / rate; }

private:
    int frames;
    long blocks;
    int passCount;
    long warmUp;
    double rate;
};

} // namespace bench
