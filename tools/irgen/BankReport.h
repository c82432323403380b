// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <vector>

// Measurements of generated responses, printed as the generator's summary table.
namespace BankReport
{
constexpr int kWindow = 4096;

// Energy per consecutive window, in dB.
std::vector<double> windowLevels(const double* x, int length);
// Reverberation time from the Schroeder backward integral, fitted between -5 and -25 dB.
double schroederRt60(const double* x, int length, double sampleRate);
// First tap reaching the given magnitude, or length if none.
int onset(const double* x, int length, double threshold);
int peakTap(const double* x, int length);

// bank: [position][axis * 2 + ear] responses.
void print(std::FILE* to, const std::vector<std::vector<std::vector<double>>>& bank, int length,
           double sampleRate, const char* const* positionNames);
} // namespace BankReport
