// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace bench
{

// The room processor as the benchmark drives it: stereo blocks in and out, and the two
// controls the runs touch.
class RoomUnderTest
{
public:
    virtual ~RoomUnderTest() = default;
    // "Abs L-R" as a normalized value, applied from the next block on.
    virtual void setAbsorption(double normalized) = 0;
    // Position 0..10, applied from the next block on.
    virtual void setPosition(int position) = 0;
    virtual void process(const float* const in[2], float* const out[2], int frames) = 0;
};

} // namespace bench
