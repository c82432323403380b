// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "RoomUnderTest.h"

#include "room/Halvane.h"

namespace bench
{

// CHalvane on its own, frame by frame, without the VST 3 layer around it.
class DirectRoom final : public RoomUnderTest
{
public:
    explicit DirectRoom(uint32_t sampleRate);

    void setAbsorption(double normalized) override;
    // What "Abs L-R" takes at normalized 1.
    double absorptionTop() const;
    void setPosition(int position) override;
    void process(const float* const in[2], float* const out[2], int frames) override;

private:
    CHalvane room;
};

} // namespace bench
