// SPDX-License-Identifier: GPL-3.0-or-later
#include "host/RunLoop.h"

#include <poll.h>

#include <algorithm>

using namespace Steinberg;

namespace halvane::host
{

RunLoop::RunLoop()
{
    FUNKNOWN_CTOR
}

RunLoop::~RunLoop()
{
    FUNKNOWN_DTOR
}

IMPLEMENT_FUNKNOWN_METHODS(RunLoop, Linux::IRunLoop, Linux::IRunLoop::iid)

tresult PLUGIN_API RunLoop::registerEventHandler(Linux::IEventHandler* handler,
                                                 Linux::FileDescriptor fd)
{
    if (!handler || fd < 0) return kInvalidArgument;
    if (isRegistered(handler)) return kResultFalse;
    handlers.push_back({IPtr<Linux::IEventHandler>(handler), fd});
    return kResultTrue;
}

tresult PLUGIN_API RunLoop::unregisterEventHandler(Linux::IEventHandler* handler)
{
    const auto before = handlers.size();
    handlers.erase(std::remove_if(handlers.begin(), handlers.end(),
                                  [&](const Handler& h) { return h.handler == handler; }),
                   handlers.end());
    return handlers.size() < before ? kResultTrue : kResultFalse;
}

tresult PLUGIN_API RunLoop::registerTimer(Linux::ITimerHandler* handler,
                                          Linux::TimerInterval milliseconds)
{
    if (!handler || milliseconds == 0) return kInvalidArgument;
    if (isRegistered(handler)) return kResultFalse;
    const std::chrono::milliseconds interval(milliseconds);
    timers.push_back({IPtr<Linux::ITimerHandler>(handler), interval, Clock::now() + interval});
    return kResultTrue;
}

tresult PLUGIN_API RunLoop::unregisterTimer(Linux::ITimerHandler* handler)
{
    const auto before = timers.size();
    timers.erase(std::remove_if(timers.begin(), timers.end(),
                                [&](const Timer& t) { return t.handler == handler; }),
                 timers.end());
    return timers.size() < before ? kResultTrue : kResultFalse;
}

bool RunLoop::isRegistered(Linux::IEventHandler* handler) const
{
    return std::any_of(handlers.begin(), handlers.end(),
                       [&](const Handler& h) { return h.handler == handler; });
}

bool RunLoop::isRegistered(Linux::ITimerHandler* handler) const
{
    return std::any_of(timers.begin(), timers.end(),
                       [&](const Timer& t) { return t.handler == handler; });
}

void RunLoop::pump(std::chrono::milliseconds duration)
{
    const Clock::time_point end = Clock::now() + duration;
    for (;;)
    {
        const Clock::time_point now = Clock::now();
        if (now >= end) break;
        Clock::time_point wake = end;
        for (const Timer& t : timers) wake = std::min(wake, t.due);
        // Rounded up: a wait rounded down to 0 would spin until the timer is due.
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(wake - now);

        // Callbacks may register or unregister anything: work on copies and re-check.
        std::vector<Handler> polled = handlers;
        std::vector<pollfd> fds;
        for (const Handler& h : polled) fds.push_back({h.fd, POLLIN, 0});
        const int ready = ::poll(fds.data(), fds.size(), static_cast<int>(std::max<long>(0, wait.count())));
        if (ready > 0)
        {
            for (size_t i = 0; i < polled.size(); ++i)
            {
                if (!(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
                if (!isRegistered(polled[i].handler.get())) continue;
                polled[i].handler->onFDIsSet(polled[i].fd);
            }
        }

        std::vector<Timer> due;
        const Clock::time_point afterPoll = Clock::now();
        for (Timer& t : timers)
        {
            if (t.due > afterPoll) continue;
            due.push_back(t);
            // A late loop does not fire a timer twice to catch up, as GUI toolkits do.
            t.due = std::max(t.due + t.interval, afterPoll);
        }
        for (const Timer& t : due)
        {
            if (!isRegistered(t.handler.get())) continue;
            ++firings;
            t.handler->onTimer();
        }
    }
}

} // namespace halvane::host
