// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Canvas.h"

namespace imagegen
{

// A chrome bat-handle toggle in a hex-nut bushing. Two frames stacked vertically: the lever
// up (off) above, the lever down (on) below.
class ToggleSwitch
{
public:
    explicit ToggleSwitch(int size) : size_(size) {}

    Canvas strip() const;
    void drawFrame(Canvas& canvas, bool on) const;

private:
    void drawBushing(Canvas& canvas) const;
    void drawLever(Canvas& canvas, bool on) const;

    int size_;
};

} // namespace imagegen
