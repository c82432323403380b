// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

struct MYSOFA_EASY;

// Head-related impulse responses with band-limited sub-sample delays. Late arrivals use the
// nearest measured direction with precomputed fractional phases; early ones are interpolated
// for their exact direction, where the ear can tell the difference.
class HrtfSet
{
public:
    static constexpr int kPhases = 16;  // sub-sample delay resolution
    static constexpr int kSincHalf = 8; // windowed-sinc half length
    static constexpr int kSincTaps = 2 * kSincHalf;

    explicit HrtfSet(const std::string& sofaPath, double sampleRate);
    ~HrtfSet();
    HrtfSet(const HrtfSet&) = delete;
    HrtfSet& operator=(const HrtfSet&) = delete;

    static constexpr int kLateLength = 256; // late paths: the measured tail beyond is ~-26 dB
    static constexpr int kLateFade = 32;

    // Length of a shifted response; it starts kSincHalf - 1 taps before the arrival tap.
    int shiftedLength() const { return m_length + kSincTaps - 1; }
    int lateShiftedLength() const { return kLateLength + kSincTaps - 1; }
    int length() const { return m_length; }

    // Nearest measured direction to the unit vector (x forward, y left, z up).
    int nearest(double x, double y, double z) const;
    // Shortened shifted response (lateShiftedLength() values) of a measured direction for an
    // arrival fraction in [0, 1); dense late paths dominate the cost of the bank.
    const float* shifted(int direction, int ear, double fraction) const;

    // Interpolated response for an exact direction, shifted by the fraction; out holds
    // shiftedLength() values per ear. Not thread-safe (libmysofa keeps scratch state).
    void interpolated(double x, double y, double z, double fraction, float* left,
                      float* right) const;

    // Power response averaged over every measured direction and both ears, smoothed over a third
    // of an octave: what the set adds to a diffuse field, which the bank divides out again.
    double diffusePower(double hz) const;

private:
    static constexpr int kDiffuseFft = 4096;
    void measureDiffuseField();
    void shiftExact(const float* ir, int irLength, double fraction, float* out) const;
    static double kernel(double t);

    MYSOFA_EASY* m_sofa = nullptr;
    double m_rate = 0.0;
    int m_length = 0;
    int m_count = 0;
    std::vector<float> m_unit;   // measured directions, unit vectors
    std::vector<float> m_phases; // [direction][ear][phase][shiftedLength]
    std::vector<int> m_grid;     // nearest direction per 1-degree azimuth/elevation cell
    std::vector<double> m_diffuse; // per bin of kDiffuseFft, up to half the rate
};
