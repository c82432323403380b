// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the room's two convolution stages split the response at one sample rate. At the bank's
// own rate: a head of 4096 taps in blocks of 128 and a tail of 65536 taps in blocks of 2048.
// At higher rates the blocks grow with the rate (by powers of two) and the tail takes as
// many partitions as the longer response needs, so the work per sample stays about the same
// and the latency stays the same in seconds.
struct CRoomLayout
{
    int scale = 1;            // block sizes relative to the bank's rate
    int headBlock = 128;      // N of the head stage
    int headLength = 4096;    // taps 0 .. headLength - 1
    int tailBlock = 2048;     // N of the tail stage
    int tailLength = 65536;   // taps headLength .. headLength + tailLength - 1
    int responseLength = 69632; // what each response must hold: the tail's end
    int naturalLength = 69632;  // where the response itself ends

    // Rates the bank is not resampled to get the bank's own layout.
    static CRoomLayout forRate(int rate);

    int latency() const { return 2 * headBlock - 1; }
    // Delay behind the tail stage that lines its first tap up behind the head's last.
    int seamDelay() const { return latency() + headLength - (2 * tailBlock - 1); }

    bool operator==(const CRoomLayout& o) const
    {
        return scale == o.scale && tailLength == o.tailLength && responseLength == o.responseLength;
    }
    bool operator!=(const CRoomLayout& o) const { return !(*this == o); }
};
