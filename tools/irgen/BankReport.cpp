// SPDX-License-Identifier: GPL-3.0-or-later
#include "BankReport.h"

#include <algorithm>
#include <cmath>

namespace BankReport
{
std::vector<double> windowLevels(const double* x, int length)
{
    std::vector<double> levels;
    for (int start = 0; start + kWindow <= length; start += kWindow)
    {
        double e = 0.0;
        for (int t = start; t < start + kWindow; ++t)
            e += x[t] * x[t];
        levels.push_back(10.0 * std::log10(std::max(e, 1e-300)));
    }
    return levels;
}

double schroederRt60(const double* x, int length, double sampleRate)
{
    std::vector<double> tail(length + 1, 0.0);
    for (int t = length - 1; t >= 0; --t)
        tail[t] = tail[t + 1] + x[t] * x[t];
    if (tail[0] <= 0.0) return 0.0;
    // Least-squares line through the decay curve between -5 and -25 dB.
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int n = 0;
    for (int t = 0; t < length; ++t)
    {
        const double db = 10.0 * std::log10(std::max(tail[t] / tail[0], 1e-300));
        if (db > -5.0) continue;
        if (db < -25.0) break;
        sx += t;
        sy += db;
        sxx += static_cast<double>(t) * t;
        sxy += t * db;
        ++n;
    }
    if (n < 2) return 0.0;
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx); // dB per tap
    return slope < 0.0 ? -60.0 / slope / sampleRate : 0.0;
}

int onset(const double* x, int length, double threshold)
{
    for (int t = 0; t < length; ++t)
        if (std::fabs(x[t]) >= threshold) return t;
    return length;
}

int peakTap(const double* x, int length)
{
    int best = 0;
    for (int t = 1; t < length; ++t)
        if (std::fabs(x[t]) > std::fabs(x[best])) best = t;
    return best;
}

void print(std::FILE* to, const std::vector<std::vector<std::vector<double>>>& bank, int length,
           double sampleRate, const char* const* positionNames)
{
    static const char* const axisNames[3] = {"F-B", "L-R", "C-F"};
    static const char* const earNames[2] = {"left", "right"};
    std::fprintf(to, "%-6s %-4s %-5s %12s %6s %9s %9s %7s %6s\n", "pos", "axis", "ear", "peak",
                 "tap", "dB/win", "last dB", "RT60 s", "ITD");
    for (size_t p = 0; p < bank.size(); ++p)
    {
        // Arrival difference per axis: right-ear onset minus left-ear onset, at a threshold
        // shared by both ears so a shadowed ear counts as late.
        for (int a = 0; a < 3; ++a)
        {
            const double* ears[2] = {bank[p][2 * a].data(), bank[p][2 * a + 1].data()};
            const double top = std::max(std::fabs(ears[0][peakTap(ears[0], length)]),
                                        std::fabs(ears[1][peakTap(ears[1], length)]));
            const int itd = onset(ears[1], length, 0.1 * top) - onset(ears[0], length, 0.1 * top);
            for (int e = 0; e < 2; ++e)
            {
                const double* x = ears[e];
                const int tap = peakTap(x, length);
                const std::vector<double> lv = windowLevels(x, length);
                const double drop = lv.front() - lv.back();
                std::fprintf(to, "%-6s %-4s %-5s %12.9f %6d %9.3f %9.2f %7.3f %6d\n",
                             positionNames[p], axisNames[a], earNames[e], x[tap], tap,
                             drop / (lv.size() - 1), drop, schroederRt60(x, length, sampleRate),
                             itd);
            }
        }
    }

    std::fprintf(to, "\naxes summed: %-6s %-5s %6s %9s %9s %9s %7s %6s\n", "pos", "ear", "tap",
                 "dB/win", "min", "max", "RT60 s", "last");
    std::vector<std::vector<double>> levels;
    for (size_t p = 0; p < bank.size(); ++p)
        for (int e = 0; e < 2; ++e)
        {
            std::vector<double> sum(length, 0.0);
            for (int a = 0; a < 3; ++a)
                for (int t = 0; t < length; ++t)
                    sum[t] += bank[p][2 * a + e][t];
            const std::vector<double> lv = windowLevels(sum.data(), length);
            double lo = 1e9, hi = -1e9;
            for (size_t w = 1; w < lv.size(); ++w)
            {
                lo = std::min(lo, lv[w - 1] - lv[w]);
                hi = std::max(hi, lv[w - 1] - lv[w]);
            }
            const double drop = lv.front() - lv.back();
            std::fprintf(to, "             %-6s %-5s %6d %9.3f %9.3f %9.3f %7.3f %6.2f\n",
                         positionNames[p], earNames[e], peakTap(sum.data(), length),
                         drop / (lv.size() - 1), lo, hi,
                         schroederRt60(sum.data(), length, sampleRate), drop);
            levels.push_back(lv);
        }

    std::fprintf(to, "\nwindow levels against the first, dB (axes summed)\n");
    for (size_t i = 0; i < levels.size(); ++i)
    {
        std::fprintf(to, "%-6s %-5s", positionNames[i / 2], earNames[i % 2]);
        for (double l : levels[i])
            std::fprintf(to, " %6.1f", l - levels[i].front());
        std::fprintf(to, "\n");
    }
}
} // namespace BankReport
