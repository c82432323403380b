// SPDX-License-Identifier: GPL-3.0-or-later
#include "Runner.h"

#include "Clocks.h"

#include <algorithm>
#include <limits>

namespace bench
{
namespace
{
struct Tally
{
    std::vector<double> fastest;
    double bestCpu = std::numeric_limits<double>::infinity();
    long nextBlock = 0;
    RunResult result;
};

void timePass(const Contender& c, long blocks, Tally& t)
{
    const double cpu0 = processCpuSeconds();
    const double thread0 = threadCpuSeconds();
    for (long i = 0; i < blocks; ++i, ++t.nextBlock)
    {
        const auto start = WallClock::now();
        c.process(t.nextBlock);
        const double took = secondsBetween(start, WallClock::now());
        t.fastest[i] = std::min(t.fastest[i], took);
        t.result.rawWorstBlock = std::max(t.result.rawWorstBlock, took);
    }
    const double thread = threadCpuSeconds() - thread0;
    const double cpu = processCpuSeconds() - cpu0;
    if (cpu < t.bestCpu)
    {
        t.bestCpu = cpu;
        t.result.threadShare = cpu > 0.0 ? thread / cpu : 0.0;
    }
}
} // namespace

std::vector<RunResult> Runner::run(const std::vector<Contender>& contenders) const
{
    std::vector<Tally> tallies(contenders.size());
    for (size_t k = 0; k < contenders.size(); ++k)
    {
        const Contender& c = contenders[k];
        Tally& t = tallies[k];
        t.fastest.assign(static_cast<size_t>(passFrames / c.blockFrames),
                         std::numeric_limits<double>::infinity());
        for (; t.nextBlock < warmUp / c.blockFrames; ++t.nextBlock)
            c.process(t.nextBlock);
    }

    for (int pass = 0; pass < passCount; ++pass)
        for (size_t k = 0; k < contenders.size(); ++k)
            timePass(contenders[k], static_cast<long>(tallies[k].fastest.size()), tallies[k]);

    std::vector<RunResult> results;
    for (size_t k = 0; k < tallies.size(); ++k)
    {
        Tally& t = tallies[k];
        RunResult& r = t.result;
        // At least the first block, whatever the contender's block size.
        const size_t cold = static_cast<size_t>(
            std::max(1L, (coldStart + contenders[k].blockFrames - 1) / contenders[k].blockFrames));
        r.cpuPerSecond = t.bestCpu / (static_cast<double>(passFrames) / rate);
        double sum = 0.0;
        for (size_t i = 0; i < t.fastest.size(); ++i)
        {
            sum += t.fastest[i];
            if (t.fastest[i] > r.worstBlock)
            {
                r.worstBlock = t.fastest[i];
                r.worstIndex = static_cast<long>(i);
            }
            if (i >= cold && t.fastest[i] > r.worstWarmBlock)
            {
                r.worstWarmBlock = t.fastest[i];
                r.worstWarmIndex = static_cast<long>(i);
            }
        }
        r.averageBlock = sum / static_cast<double>(t.fastest.size());
        results.push_back(r);
    }
    return results;
}

} // namespace bench
