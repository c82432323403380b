// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/base/smartpointer.h"
#include "pluginterfaces/gui/iplugview.h"

#include <chrono>
#include <cstdint>
#include <vector>

namespace halvane::host
{

// The run loop a Linux host hands its plug-in views: it polls the registered file descriptors
// and fires the registered timers, all on the calling thread, while pump runs. It counts what
// is registered so tests can see that a closed view left nothing behind.
class RunLoop : public Steinberg::Linux::IRunLoop
{
public:
    RunLoop();
    virtual ~RunLoop();

    // Runs handlers and timers until the time is up.
    void pump(std::chrono::milliseconds duration);

    size_t eventHandlerCount() const { return handlers.size(); }
    size_t timerCount() const { return timers.size(); }
    // Timer callbacks since the loop was made, over all timers.
    uint64_t timerFirings() const { return firings; }

    Steinberg::tresult PLUGIN_API registerEventHandler(
        Steinberg::Linux::IEventHandler* handler,
        Steinberg::Linux::FileDescriptor fd) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API unregisterEventHandler(
        Steinberg::Linux::IEventHandler* handler) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API registerTimer(
        Steinberg::Linux::ITimerHandler* handler,
        Steinberg::Linux::TimerInterval milliseconds) SMTG_OVERRIDE;
    Steinberg::tresult PLUGIN_API unregisterTimer(
        Steinberg::Linux::ITimerHandler* handler) SMTG_OVERRIDE;

    DECLARE_FUNKNOWN_METHODS

private:
    using Clock = std::chrono::steady_clock;

    struct Handler
    {
        Steinberg::IPtr<Steinberg::Linux::IEventHandler> handler;
        int fd;
    };
    struct Timer
    {
        Steinberg::IPtr<Steinberg::Linux::ITimerHandler> handler;
        std::chrono::milliseconds interval;
        Clock::time_point due;
    };

    bool isRegistered(Steinberg::Linux::IEventHandler* handler) const;
    bool isRegistered(Steinberg::Linux::ITimerHandler* handler) const;

    std::vector<Handler> handlers;
    std::vector<Timer> timers;
    uint64_t firings = 0;
};

} // namespace halvane::host
