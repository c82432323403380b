// SPDX-License-Identifier: GPL-3.0-or-later
// The run loop our host gives plug-in views: it must fire timers at their period, call a handler
// only when its descriptor is readable, and cope with callbacks that unregister.
#include "host/RunLoop.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <chrono>
#include <functional>

using namespace Steinberg;
using namespace std::chrono_literals;
using halvane::host::RunLoop;

namespace
{

class Handler : public Linux::IEventHandler, public Linux::ITimerHandler
{
public:
    Handler() { FUNKNOWN_CTOR }
    virtual ~Handler() { FUNKNOWN_DTOR }

    void PLUGIN_API onFDIsSet(Linux::FileDescriptor fd) override
    {
        ++reads;
        char byte = 0;
        if (::read(fd, &byte, 1) == 1) lastByte = byte;
        if (onEvent) onEvent();
    }
    void PLUGIN_API onTimer() override
    {
        ++ticks;
        if (onTick) onTick();
    }

    int reads = 0;
    int ticks = 0;
    char lastByte = 0;
    std::function<void()> onEvent;
    std::function<void()> onTick;

    DECLARE_FUNKNOWN_METHODS
};

IMPLEMENT_REFCOUNT(Handler)

tresult PLUGIN_API Handler::queryInterface(const TUID iid, void** obj)
{
    QUERY_INTERFACE(iid, obj, Linux::IEventHandler::iid, Linux::IEventHandler)
    QUERY_INTERFACE(iid, obj, Linux::ITimerHandler::iid, Linux::ITimerHandler)
    *obj = nullptr;
    return kNoInterface;
}

struct Pipe
{
    Pipe() { EXPECT_EQ(::pipe(fds), 0); }
    ~Pipe()
    {
        ::close(fds[0]);
        ::close(fds[1]);
    }
    int fds[2] = {-1, -1};
};

} // namespace

TEST(RunLoop, TimersFireAtTheirPeriodAndStopWhenUnregistered)
{
    IPtr<RunLoop> loop = owned(new RunLoop());
    IPtr<Handler> fast = owned(new Handler());
    IPtr<Handler> slow = owned(new Handler());
    EXPECT_EQ(loop->registerTimer(fast, 20), kResultTrue);
    EXPECT_EQ(loop->registerTimer(slow, 100), kResultTrue);
    EXPECT_EQ(loop->registerTimer(fast, 20), kResultFalse); // once is enough
    EXPECT_EQ(loop->registerTimer(nullptr, 20), kInvalidArgument);
    EXPECT_EQ(loop->registerTimer(slow, 0), kInvalidArgument);
    EXPECT_EQ(loop->timerCount(), 2u);

    loop->pump(510ms);
    EXPECT_GE(fast->ticks, 15); // a busy machine may wake us late
    EXPECT_LE(fast->ticks, 26);
    EXPECT_GE(slow->ticks, 3);
    EXPECT_LE(slow->ticks, 5);
    EXPECT_EQ(loop->timerFirings(), static_cast<uint64_t>(fast->ticks + slow->ticks));

    EXPECT_EQ(loop->unregisterTimer(fast), kResultTrue);
    EXPECT_EQ(loop->unregisterTimer(fast), kResultFalse);
    const int before = fast->ticks;
    loop->pump(100ms);
    EXPECT_EQ(fast->ticks, before);
    EXPECT_EQ(loop->timerCount(), 1u);
}

TEST(RunLoop, HandlersRunOnlyWhenTheirDescriptorIsReadable)
{
    IPtr<RunLoop> loop = owned(new RunLoop());
    IPtr<Handler> handler = owned(new Handler());
    Pipe pipe;
    EXPECT_EQ(loop->registerEventHandler(handler, pipe.fds[0]), kResultTrue);
    EXPECT_EQ(loop->registerEventHandler(handler, pipe.fds[0]), kResultFalse);
    EXPECT_EQ(loop->registerEventHandler(handler, -1), kInvalidArgument);
    EXPECT_EQ(loop->eventHandlerCount(), 1u);

    loop->pump(50ms);
    EXPECT_EQ(handler->reads, 0);

    ASSERT_EQ(::write(pipe.fds[1], "x", 1), 1);
    loop->pump(50ms);
    EXPECT_EQ(handler->reads, 1);
    EXPECT_EQ(handler->lastByte, 'x');

    EXPECT_EQ(loop->unregisterEventHandler(handler), kResultTrue);
    ASSERT_EQ(::write(pipe.fds[1], "y", 1), 1);
    loop->pump(50ms);
    EXPECT_EQ(handler->reads, 1);
    EXPECT_EQ(loop->eventHandlerCount(), 0u);
}

TEST(RunLoop, CallbacksMayUnregisterThemselvesAndOthers)
{
    IPtr<RunLoop> loop = owned(new RunLoop());
    IPtr<Handler> first = owned(new Handler());
    IPtr<Handler> second = owned(new Handler());
    Pipe pipe;
    loop->registerTimer(first, 10);
    loop->registerTimer(second, 10);
    loop->registerEventHandler(first, pipe.fds[0]);
    // The first to tick takes both timers and its descriptor out, as a closing view does.
    first->onTick = [&] {
        loop->unregisterTimer(first);
        loop->unregisterTimer(second);
        loop->unregisterEventHandler(first);
    };
    second->onTick = first->onTick;
    ASSERT_EQ(::write(pipe.fds[1], "z", 1), 1);
    loop->pump(100ms);
    EXPECT_EQ(first->ticks + second->ticks, 1);
    EXPECT_EQ(loop->timerCount(), 0u);
    EXPECT_EQ(loop->eventHandlerCount(), 0u);
}
