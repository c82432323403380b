// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <vector>

// The room's acoustic figures, measured on a response as a listener would hear it: both ears,
// the three axes summed at equal volume, no extra absorption.
namespace RoomAcoustics
{
constexpr int kOctaves = 6; // 125 Hz .. 4 kHz
extern const double kOctaveCentres[kOctaves];

constexpr int kThirds = 22; // 1/3-octave bands, 63 Hz .. 8 kHz
extern const double kThirdCentres[kThirds];

struct Figures
{
    double dcGain = 0.0;  // largest |sum of taps| of either ear
    double edt = 0.0;     // early decay time, s (0 to -10 dB, times 6)
    double t30 = 0.0;     // s (-5 to -35 dB)
    double t30ByOctave[kOctaves] = {};
    double c80 = 0.0;     // dB, first 80 ms after the direct sound against the rest
    double flutter = 0.0; // see flutter(), over the two ears
    double balance[kThirds] = {}; // see balance()
};

// Mean spectral level per 1/3 octave of the whole response, both ears, in dB against the mean of the bands.
// Bands that decay faster than the 1 kHz band are credited with the energy their shorter decay
// loses, so the air's high-frequency absorption does not count as a tilt.
void balance(const std::vector<double>& left, const std::vector<double>& right,
             double sampleRate, double out[kThirds]);

// Largest |autocorrelation| at lags of 10 to 100 ms of the 100-500 Hz late tail, averaged
// over the responses.
double flutter(const std::vector<std::vector<double>>& responses, double sampleRate);

Figures measure(const std::vector<double>& left, const std::vector<double>& right,
                double sampleRate);

// bank: [position][axis * 2 + ear] responses.
void print(std::FILE* to, const std::vector<std::vector<std::vector<double>>>& bank, int length,
           double sampleRate, const char* const* positionNames);
} // namespace RoomAcoustics
