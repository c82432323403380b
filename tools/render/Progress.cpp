// SPDX-License-Identifier: GPL-3.0-or-later
#include "Progress.h"

#include <algorithm>
#include <string>
#include <unistd.h>

namespace halvane::render
{

Progress::Progress(bool enabled) : active(enabled) {}

bool Progress::stderrIsTerminal()
{
    return ::isatty(STDERR_FILENO) == 1;
}

void Progress::update(double doneSeconds, double totalSeconds)
{
    if (!active) return;
    const auto now = std::chrono::steady_clock::now();
    if (drawn && now - last < std::chrono::milliseconds(100)) return;
    last = now;
    drawn = true;

    constexpr int kWidth = 30;
    if (totalSeconds > 0.0)
    {
        const double f = std::clamp(doneSeconds / totalSeconds, 0.0, 1.0);
        const int filled = static_cast<int>(f * kWidth);
        std::string bar(static_cast<size_t>(filled), '#');
        bar.resize(kWidth, '.');
        std::fprintf(stderr, "\r[%s] %3d%%  %.1f / %.1f s ", bar.c_str(),
                     static_cast<int>(f * 100.0), doneSeconds, totalSeconds);
    }
    else
        std::fprintf(stderr, "\r[%s] tail  %.1f s          ", std::string(kWidth, '#').c_str(),
                     doneSeconds);
    std::fflush(stderr);
}

void Progress::finish()
{
    if (active && drawn)
    {
        std::fprintf(stderr, "\r%60s\r", "");
        std::fflush(stderr);
    }
    drawn = false;
}

} // namespace halvane::render
