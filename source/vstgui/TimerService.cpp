// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/TimerService.h"

#include "vstgui/CVSTGUITimer.h"

#include <algorithm>

namespace VSTGUI
{

TimerService& TimerService::instance()
{
    static TimerService service;
    return service;
}

void TimerService::add(CVSTGUITimer* timer)
{
    if (std::find(timers.begin(), timers.end(), timer) == timers.end())
        timers.push_back(timer);
}

void TimerService::remove(CVSTGUITimer* timer)
{
    timers.erase(std::remove(timers.begin(), timers.end(), timer), timers.end());
}

void TimerService::advance(uint64_t ms)
{
    advanceTo(currentMs + ms);
}

void TimerService::advanceTo(uint64_t target)
{
    if (target < currentMs)
        return;
    for (;;)
    {
        // Earliest due timer first, so periods interleave as real time would.
        CVSTGUITimer* next = nullptr;
        for (CVSTGUITimer* t : timers)
        {
            if (t->due <= target && (!next || t->due < next->due))
                next = t;
        }
        if (!next)
            break;
        currentMs = std::max(currentMs, next->due);
        next->due += next->fireTime > 0 ? next->fireTime : 1;
        next->fire();
    }
    currentMs = target;
}

int64_t TimerService::timeToNextTimer() const
{
    int64_t best = -1;
    for (const CVSTGUITimer* t : timers)
    {
        const int64_t wait = t->due > currentMs ? static_cast<int64_t>(t->due - currentMs) : 0;
        if (best < 0 || wait < best)
            best = wait;
    }
    return best;
}

} // namespace VSTGUI
