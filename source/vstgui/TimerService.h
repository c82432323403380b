// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace VSTGUI
{

class CVSTGUITimer;

// The clock all timers run on. Nothing advances it on its own: tests and offscreen hosts call
// advance(), a window backend calls advanceTo() from its run loop with a monotonic clock.
// User-interface thread only.
class TimerService
{
public:
    static TimerService& instance();

    uint64_t now() const { return currentMs; }
    // Fires every timer that falls due on the way, each as often as its period fits, in time
    // order. Timers started, stopped or deleted by a callback are honoured at once.
    void advance(uint64_t ms);
    void advanceTo(uint64_t ms);
    // Milliseconds until the next timer is due, or -1 when none runs.
    int64_t timeToNextTimer() const;
    size_t runningTimers() const { return timers.size(); }

    void add(CVSTGUITimer* timer);
    void remove(CVSTGUITimer* timer);

private:
    TimerService() = default;

    uint64_t currentMs = 0;
    std::vector<CVSTGUITimer*> timers;
};

} // namespace VSTGUI
