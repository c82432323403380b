// SPDX-License-Identifier: GPL-3.0-or-later
#include "HrtfSet.h"

#include "Fft.h"

#include <mysofa.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <stdexcept>

namespace
{
constexpr double kPi = 3.14159265358979323846;

// Takes the mean out along a Hann window: a response summed over about a million
// arrivals would otherwise add up the small DC of each into a large one.
void removeMean(float* ir, int length)
{
    double sum = 0.0, weights = 0.0;
    for (int k = 0; k < length; ++k)
    {
        sum += ir[k];
        weights += 0.5 - 0.5 * std::cos(2.0 * kPi * (k + 0.5) / length);
    }
    const double scale = sum / weights;
    for (int k = 0; k < length; ++k)
        ir[k] -= static_cast<float>(scale * (0.5 - 0.5 * std::cos(2.0 * kPi * (k + 0.5) / length)));
}
constexpr int kAzCells = 360;
constexpr int kElCells = 181;

int gridCell(double x, double y, double z)
{
    const double az = std::atan2(y, x) * 180.0 / kPi; // -180..180
    const double el = std::asin(std::fmax(-1.0, std::fmin(1.0, z))) * 180.0 / kPi;
    int a = static_cast<int>(std::lround(az + 180.0)) % kAzCells;
    int e = static_cast<int>(std::lround(el + 90.0));
    return e * kAzCells + a;
}
} // namespace

HrtfSet::HrtfSet(const std::string& sofaPath, double sampleRate)
{
    int err = 0;
    m_rate = sampleRate;
    m_sofa = mysofa_open(sofaPath.c_str(), static_cast<float>(sampleRate), &m_length, &err);
    if (!m_sofa || err != MYSOFA_OK) throw std::runtime_error("cannot open HRTF set " + sofaPath);

    const MYSOFA_HRTF* h = m_sofa->hrtf;
    m_count = static_cast<int>(h->M);
    m_unit.resize(3 * m_count);
    for (int m = 0; m < m_count; ++m)
    {
        const float* p = h->SourcePosition.values + 3 * m;
        const double r = std::sqrt(p[0] * p[0] + p[1] * p[1] + p[2] * p[2]);
        for (int k = 0; k < 3; ++k)
            m_unit[3 * m + k] = static_cast<float>(p[k] / r);
    }

    // Measured responses may carry a separate broadband delay per ear; fold it in.
    const int n = static_cast<int>(h->N);
    const int sl = lateShiftedLength();
    m_phases.assign(static_cast<size_t>(m_count) * 2 * kPhases * sl, 0.0f);
    // A set measured with fewer taps than the late length is zero-padded, not overrun.
    std::vector<float> ir(std::max(m_length, kLateLength));
    for (int m = 0; m < m_count; ++m)
        for (int ear = 0; ear < 2; ++ear)
        {
            const float* src = h->DataIR.values + (static_cast<size_t>(m) * 2 + ear) * n;
            double delay = 0.0;
            if (h->DataDelay.elements == 2)
                delay = h->DataDelay.values[ear];
            else if (h->DataDelay.elements >= static_cast<unsigned>(2 * m_count))
                delay = h->DataDelay.values[2 * m + ear];
            const int whole = static_cast<int>(std::lround(delay));
            for (int k = 0; k < kLateLength; ++k)
            {
                const int fadeTap = k - (kLateLength - kLateFade);
                const double fade =
                    fadeTap < 0 ? 1.0 : 0.5 + 0.5 * std::cos(kPi * (fadeTap + 1) / kLateFade);
                ir[k] = (k - whole >= 0 && k - whole < n) ? src[k - whole] * fade : 0.0f;
            }
            removeMean(ir.data(), kLateLength);
            for (int p = 0; p < kPhases; ++p)
                shiftExact(ir.data(), kLateLength, static_cast<double>(p) / kPhases,
                           &m_phases[((static_cast<size_t>(m) * 2 + ear) * kPhases + p) * sl]);
        }

    measureDiffuseField();

    m_grid.resize(kAzCells * kElCells);
    for (int e = 0; e < kElCells; ++e)
        for (int a = 0; a < kAzCells; ++a)
        {
            const double az = (a - 180.0) * kPi / 180.0;
            const double el = (e - 90.0) * kPi / 180.0;
            const double x = std::cos(el) * std::cos(az);
            const double y = std::cos(el) * std::sin(az);
            const double z = std::sin(el);
            int best = 0;
            double bestDot = -2.0;
            for (int m = 0; m < m_count; ++m)
            {
                const double d = x * m_unit[3 * m] + y * m_unit[3 * m + 1] + z * m_unit[3 * m + 2];
                if (d > bestDot)
                {
                    bestDot = d;
                    best = m;
                }
            }
            m_grid[e * kAzCells + a] = best;
        }
}

HrtfSet::~HrtfSet()
{
    if (m_sofa) mysofa_close(m_sofa);
}

int HrtfSet::nearest(double x, double y, double z) const
{
    return m_grid[gridCell(x, y, z)];
}

const float* HrtfSet::shifted(int direction, int ear, double fraction) const
{
    int p = static_cast<int>(fraction * kPhases + 0.5);
    if (p >= kPhases) p = kPhases - 1;
    return &m_phases[((static_cast<size_t>(direction) * 2 + ear) * kPhases + p) *
                     lateShiftedLength()];
}

void HrtfSet::interpolated(double x, double y, double z, double fraction, float* left,
                           float* right) const
{
    std::vector<float> l(m_length), r(m_length);
    float dl = 0.0f, dr = 0.0f;
    mysofa_getfilter_float(m_sofa, static_cast<float>(x), static_cast<float>(y),
                           static_cast<float>(z), l.data(), r.data(), &dl, &dr);
    // libmysofa reports separate delays in seconds; whole taps are enough for them.
    std::vector<float> ld(m_length, 0.0f), rd(m_length, 0.0f);
    const int wl = static_cast<int>(std::lround(dl * m_rate));
    const int wr = static_cast<int>(std::lround(dr * m_rate));
    for (int k = 0; k < m_length; ++k)
    {
        if (k - wl >= 0) ld[k] = l[k - wl];
        if (k - wr >= 0) rd[k] = r[k - wr];
    }
    removeMean(ld.data(), m_length);
    removeMean(rd.data(), m_length);
    shiftExact(ld.data(), m_length, fraction, left);
    shiftExact(rd.data(), m_length, fraction, right);
}

void HrtfSet::measureDiffuseField()
{
    // The late responses stand for nearly all of the bank's energy, so theirs is the average
    // that matters; the measured set covers the sphere evenly enough to average unweighted.
    const Fft fft(kDiffuseFft);
    const int sl = lateShiftedLength();
    std::vector<double> power(kDiffuseFft / 2 + 1, 0.0);
    std::vector<std::complex<double>> bins(kDiffuseFft);
    for (int m = 0; m < m_count; ++m)
        for (int ear = 0; ear < 2; ++ear)
        {
            const float* ir = shifted(m, ear, 0.0);
            for (int k = 0; k < kDiffuseFft; ++k)
                bins[k] = k < sl ? ir[k] : 0.0f;
            fft.transform(bins, false);
            for (size_t k = 0; k < power.size(); ++k)
                power[k] += std::norm(bins[k]) / (2.0 * m_count);
        }
    m_diffuse.assign(power.size(), 0.0);
    for (size_t k = 0; k < power.size(); ++k)
    {
        const double lo = std::floor(k * std::pow(2.0, -1.0 / 6.0));
        const double hi = std::ceil(k * std::pow(2.0, 1.0 / 6.0));
        double sum = 0.0;
        int n = 0;
        for (size_t j = static_cast<size_t>(lo); j <= static_cast<size_t>(hi) && j < power.size();
             ++j, ++n)
            sum += power[j];
        m_diffuse[k] = sum / n;
    }
}

double HrtfSet::diffusePower(double hz) const
{
    const double bin = std::fmax(0.0, hz * kDiffuseFft / m_rate);
    const size_t k = static_cast<size_t>(bin);
    if (k + 1 >= m_diffuse.size()) return m_diffuse.back();
    const double w = bin - static_cast<double>(k);
    return (1.0 - w) * m_diffuse[k] + w * m_diffuse[k + 1];
}

double HrtfSet::kernel(double t)
{
    // Blackman-windowed sinc over +-kSincHalf taps.
    if (std::fabs(t) >= kSincHalf) return 0.0;
    const double s = t == 0.0 ? 1.0 : std::sin(kPi * t) / (kPi * t);
    const double w =
        0.42 + 0.5 * std::cos(kPi * t / kSincHalf) + 0.08 * std::cos(2.0 * kPi * t / kSincHalf);
    return s * w;
}

void HrtfSet::shiftExact(const float* ir, int irLength, double fraction, float* out) const
{
    // out[j] is the value at tap (arrival - kSincHalf + 1 + j) of ir delayed by fraction.
    double taps[kSincTaps];
    for (int i = 0; i < kSincTaps; ++i)
        taps[i] = kernel(i - (kSincHalf - 1) - fraction);
    const int sl = irLength + kSincTaps - 1;
    for (int j = 0; j < sl; ++j)
    {
        double acc = 0.0;
        for (int i = 0; i < kSincTaps; ++i)
        {
            const int k = j - i;
            if (k >= 0 && k < irLength) acc += taps[i] * ir[k];
        }
        out[j] = static_cast<float>(acc);
    }
}
