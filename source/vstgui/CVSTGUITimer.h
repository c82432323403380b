// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CBaseObject.h"

#include <cstdint>
#include <functional>

namespace VSTGUI
{

// A user-interface timer: it fires on the thread that drives TimerService, never on its own.
// It either calls a function or sends kMsgTimer to a listener it does not own.
class CVSTGUITimer : public CBaseObject
{
public:
    static const IdStringPtr kMsgTimer;

    using Callback = std::function<void(CVSTGUITimer*)>;

    CVSTGUITimer(CBaseObject* listener, uint32_t fireTimeMs = 100, bool doStart = false);
    CVSTGUITimer(Callback callback, uint32_t fireTimeMs = 100, bool doStart = true);
    ~CVSTGUITimer() override;

    bool start();
    bool stop();
    bool isRunning() const { return running; }
    // Restarts the period when running.
    bool setFireTime(uint32_t ms);
    uint32_t getFireTime() const { return fireTime; }

    // Called by TimerService when the period has elapsed.
    void fire();

private:
    friend class TimerService;

    CBaseObject* listener = nullptr;
    Callback callback;
    uint32_t fireTime;
    bool running = false;
    uint64_t due = 0;
};

} // namespace VSTGUI
