// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <chrono>
#include <cstdio>

namespace halvane::render
{

// A one-line progress bar on stderr, drawn only when stderr is a terminal.
class Progress
{
public:
    explicit Progress(bool enabled);
    static bool stderrIsTerminal();

    // total <= 0 means unknown (the tail): the bar then shows only the seconds done.
    void update(double doneSeconds, double totalSeconds);
    void finish();

private:
    bool active;
    bool drawn = false;
    std::chrono::steady_clock::time_point last;
};

} // namespace halvane::render
