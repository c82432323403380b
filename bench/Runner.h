// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

namespace bench
{

struct RunResult
{
    double cpuPerSecond = 0.0; // process CPU seconds per second of audio, best pass
    double threadShare = 0.0;  // part of that CPU spent in the calling thread
    double averageBlock = 0.0; // wall seconds per block
    double worstBlock = 0.0;   // wall seconds of the slowest block
    long worstIndex = 0;       // its place in the pass
    // The same without the blocks of each pass's cold start: a pass follows the other
    // contenders' passes and so starts with caches they filled, which costs its first blocks
    // a cost of the bench's turn-taking, not a burst of the code under test. The cold start
    // is a whole cycle of the work, so every point of the cycle is still timed later on.
    double worstWarmBlock = 0.0;
    long worstWarmIndex = 0;
    double rawWorstBlock = 0.0; // slowest block of any pass, preemptions included
};

// One thing to time: process(block) handles block number block of blockFrames frames;
// block numbers run on across passes.
struct Contender
{
    int blockFrames = 0;
    std::function<void(long block)> process;
};

// Times contenders over several identical passes, taking turns pass by pass so that a
// change in the machine's load hits all of them alike. Per-second costs come from the CPU
// clocks of each contender's best pass. Block times come from the wall clock; each block
// index keeps its fastest pass, because on a shared machine any single block can lose a
// time slice to another process, and that says nothing about the code under test. A pass
// length that is a multiple of every period in the work (partition cycles, automation)
// makes block i of every pass do the same work.
class Runner
{
public:
    // coldFrames: the span at the start of each pass left out of worstWarmBlock.
    Runner(long framesPerPass, int passes, long warmUpFrames, long coldFrames, double sampleRate)
        : passFrames(framesPerPass), passCount(passes), warmUp(warmUpFrames), coldStart(coldFrames),
          rate(sampleRate)
    {
    }

    std::vector<RunResult> run(const std::vector<Contender>& contenders) const;

private:
    long passFrames;
    int passCount;
    long warmUp;
    long coldStart;
    double rate;
};

} // namespace bench
