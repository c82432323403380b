// SPDX-License-Identifier: GPL-3.0-or-later
#include "Vst2PlugFrame.h"

#include <poll.h>

#include <algorithm>

namespace Steinberg
{
namespace Vst
{

Vst2PlugFrame::Vst2PlugFrame(ResizeWindow resizeWindow) : resizeWindow(std::move(resizeWindow))
{
    FUNKNOWN_CTOR
}

Vst2PlugFrame::~Vst2PlugFrame()
{
    for (EventEntry& entry : eventHandlers)
        entry.handler->release();
    for (TimerEntry& entry : timers)
        entry.handler->release();
}

void Vst2PlugFrame::idle(Clock::time_point now)
{
    // Handlers may (un)register others while they run: work from copies and check that each
    // one is still registered before calling it.
    std::vector<pollfd> descriptors;
    std::vector<EventEntry> polled = eventHandlers;
    for (const EventEntry& entry : polled)
        descriptors.push_back({entry.fd, POLLIN, 0});
    if (!descriptors.empty() && ::poll(descriptors.data(), descriptors.size(), 0) > 0)
    {
        for (size_t i = 0; i < polled.size(); ++i)
        {
            if (!(descriptors[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
            auto still = std::find_if(eventHandlers.begin(), eventHandlers.end(),
                                      [&](const EventEntry& e)
                                      { return e.handler == polled[i].handler; });
            if (still != eventHandlers.end()) polled[i].handler->onFDIsSet(polled[i].fd);
        }
    }

    std::vector<Linux::ITimerHandler*> dueTimers;
    for (TimerEntry& entry : timers)
    {
        if (entry.due > now) continue;
        dueTimers.push_back(entry.handler);
        // Idle calls come late; a late timer fires once, not once per missed period.
        entry.due += entry.interval;
        if (entry.due <= now) entry.due = now + entry.interval;
    }
    for (Linux::ITimerHandler* handler : dueTimers)
    {
        auto still = std::find_if(timers.begin(), timers.end(),
                                  [&](const TimerEntry& e) { return e.handler == handler; });
        if (still != timers.end()) handler->onTimer();
    }
}

tresult PLUGIN_API Vst2PlugFrame::resizeView(IPlugView* view, ViewRect* newSize)
{
    if (!view || !newSize) return kInvalidArgument;
    if (!resizeWindow || !resizeWindow(newSize->getWidth(), newSize->getHeight()))
        return kResultFalse;
    return view->onSize(newSize);
}

tresult PLUGIN_API Vst2PlugFrame::registerEventHandler(Linux::IEventHandler* handler,
                                                       Linux::FileDescriptor fd)
{
    if (!handler || fd < 0) return kInvalidArgument;
    handler->addRef();
    eventHandlers.push_back({handler, fd});
    return kResultTrue;
}

tresult PLUGIN_API Vst2PlugFrame::unregisterEventHandler(Linux::IEventHandler* handler)
{
    bool found = false;
    for (auto it = eventHandlers.begin(); it != eventHandlers.end();)
    {
        if (it->handler != handler)
        {
            ++it;
            continue;
        }
        it->handler->release();
        it = eventHandlers.erase(it);
        found = true;
    }
    return found ? kResultTrue : kInvalidArgument;
}

tresult PLUGIN_API Vst2PlugFrame::registerTimer(Linux::ITimerHandler* handler,
                                                Linux::TimerInterval milliseconds)
{
    if (!handler || milliseconds == 0) return kInvalidArgument;
    handler->addRef();
    const auto interval = std::chrono::milliseconds(milliseconds);
    timers.push_back({handler, interval, Clock::now() + interval});
    return kResultTrue;
}

tresult PLUGIN_API Vst2PlugFrame::unregisterTimer(Linux::ITimerHandler* handler)
{
    bool found = false;
    for (auto it = timers.begin(); it != timers.end();)
    {
        if (it->handler != handler)
        {
            ++it;
            continue;
        }
        it->handler->release();
        it = timers.erase(it);
        found = true;
    }
    return found ? kResultTrue : kInvalidArgument;
}

IMPLEMENT_REFCOUNT(Vst2PlugFrame)

tresult PLUGIN_API Vst2PlugFrame::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, FUnknown::iid, IPlugFrame)
    QUERY_INTERFACE(iid, obj, IPlugFrame::iid, IPlugFrame)
    QUERY_INTERFACE(iid, obj, Linux::IRunLoop::iid, Linux::IRunLoop)
    *obj = nullptr;
    return kNoInterface;
}

} // namespace Vst
} // namespace Steinberg
