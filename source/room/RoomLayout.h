// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// One convolution stage of the room: taps [start, start + length) in blocks of N. A stage
// that starts later than its own latency needs hands its blocks out `lag` samples late
// (spreading its inverse transform over them) and waits out the rest of the gap in a delay
// line, so that its first tap lines up behind the previous stage's last.
struct CRoomStage
{
    int start = 0;
    int length = 0;
    int block = 0;
    int lag = 0;
    int delay = 0;

    bool operator==(const CRoomStage& o) const
    {
        return start == o.start && length == o.length && block == o.block && lag == o.lag &&
               delay == o.delay;
    }
};

// How the room's convolution stages split the response at one sample rate. At the bank's
// own rate: 1024 taps in blocks of 128, then blocks of 512 to tap 4096 and of 2048 for the
// rest: short blocks where the latency needs them, long ones where they save work. At higher rates
// the blocks grow with the rate (by powers of two) and the last stage takes as many partitions as
// the longer response needs, so the work per sample stays about the same and the latency stays the
// same in seconds.
struct CRoomLayout
{
    static constexpr int kMaxStages = 3;

    int scale = 1; // block sizes relative to the bank's rate
    CRoomStage stages[kMaxStages];
    int stageCount = 0;
    int responseLength = 69632; // what each response must hold: the last stage's end
    int naturalLength = 69632;  // where the response itself ends

    // Rates the bank is not resampled to get the bank's own layout.
    static CRoomLayout forRate(int rate);

    int latency() const { return 2 * stages[0].block - 1; }
    // The first stage's block, on which the latency rests.
    int headBlock() const { return stages[0].block; }

    bool operator==(const CRoomLayout& o) const
    {
        if (scale != o.scale || stageCount != o.stageCount || responseLength != o.responseLength)
            return false;
        for (int s = 0; s < stageCount; ++s)
            if (!(stages[s] == o.stages[s])) return false;
        return true;
    }
    bool operator!=(const CRoomLayout& o) const { return !(*this == o); }
};
