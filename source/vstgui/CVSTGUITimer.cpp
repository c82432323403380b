// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CVSTGUITimer.h"

#include "vstgui/TimerService.h"

namespace VSTGUI
{

const IdStringPtr CVSTGUITimer::kMsgTimer = "timer fired";

CVSTGUITimer::CVSTGUITimer(CBaseObject* listener, uint32_t fireTimeMs, bool doStart)
    : listener(listener), fireTime(fireTimeMs)
{
    if (doStart)
        start();
}

CVSTGUITimer::CVSTGUITimer(Callback callback, uint32_t fireTimeMs, bool doStart)
    : callback(std::move(callback)), fireTime(fireTimeMs)
{
    if (doStart)
        start();
}

CVSTGUITimer::~CVSTGUITimer()
{
    stop();
}

bool CVSTGUITimer::start()
{
    if (running)
        return false;
    running = true;
    // A zero period would fire endlessly within one advance.
    due = TimerService::instance().now() + (fireTime > 0 ? fireTime : 1);
    TimerService::instance().add(this);
    return true;
}

bool CVSTGUITimer::stop()
{
    if (!running)
        return false;
    running = false;
    TimerService::instance().remove(this);
    return true;
}

bool CVSTGUITimer::setFireTime(uint32_t ms)
{
    fireTime = ms;
    if (running)
    {
        stop();
        start();
    }
    return true;
}

void CVSTGUITimer::fire()
{
    // The listener may stop or release this timer while it handles the message.
    remember();
    if (callback)
        callback(this);
    else if (listener)
        listener->notify(this, kMsgTimer);
    forget();
}

} // namespace VSTGUI
