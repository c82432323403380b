// SPDX-License-Identifier: GPL-3.0-or-later
// Opens the bundle's editor in an X11 window run by our run loop and prints the share of one core
// the process spends while the editor idles (its 50 ms timer redrawing), next to the same span
// with the editor closed. Needs a display (xvfb-run works).
#include "host/EditorView.h"
#include "host/HostError.h"
#include "host/Module.h"
#include "host/PluginInstance.h"
#include "host/RunLoop.h"
#include "host/X11Window.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>

using namespace halvane::host;

namespace
{
double processSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Share of one core used while the loop runs for that long.
double coreShare(RunLoop& loop, std::chrono::milliseconds span)
{
    const auto wallStart = std::chrono::steady_clock::now();
    const double cpuStart = processSeconds();
    loop.pump(span);
    const double cpu = processSeconds() - cpuStart;
    const double wall =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - wallStart).count();
    return wall > 0 ? cpu / wall : 0.0;
}
} // namespace

int main(int argc, char** argv)
{
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    try
    {
        auto window = X11Window::open(268, 490);
        if (!window)
        {
            std::fprintf(stderr, "halvane-editor-idle: no X display\n");
            return 2;
        }
        auto module = Module::load(HALVANE_BUILD_BUNDLE);
        auto plugin = PluginInstance::create(module);
        Steinberg::IPtr<RunLoop> loop = Steinberg::owned(new RunLoop());
        const std::chrono::milliseconds span(seconds * 1000);

        const double closed = coreShare(*loop, span);
        auto view = EditorView::create(*plugin);
        if (!view || !view->openInWindow(window->parentHandle(), loop.get()))
        {
            std::fprintf(stderr, "halvane-editor-idle: the editor did not open\n");
            return 1;
        }
        loop->pump(std::chrono::milliseconds(500)); // first draws, fonts, bitmaps
        const uint64_t ticksBefore = loop->timerFirings();
        const double open = coreShare(*loop, span);
        const uint64_t ticks = loop->timerFirings() - ticksBefore;
        view->close();

        std::printf("editor idle over %d s: %.3f %% of one core open, %.3f %% closed, "
                    "%llu ticks (%.2f ms of CPU per tick)\n",
                    seconds, open * 100.0, closed * 100.0,
                    static_cast<unsigned long long>(ticks),
                    ticks ? (open - closed) * seconds * 1000.0 / static_cast<double>(ticks) : 0.0);
        return 0;
    }
    catch (const HostError& e)
    {
        std::fprintf(stderr, "halvane-editor-idle: %s\n", e.what());
        return 1;
    }
}
