// SPDX-License-Identifier: GPL-3.0-or-later
#include "RoomAcoustics.h"

#include "Fft.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace RoomAcoustics
{
const double kOctaveCentres[kOctaves] = {125.0, 250.0, 500.0, 1000.0, 2000.0, 4000.0};
const double kThirdCentres[kThirds] = {63,   80,   100,  125,  160,  200,  250,  315,
                                       400,  500,  630,  800,  1000, 1250, 1600, 2000,
                                       2500, 3150, 4000, 5000, 6300, 8000};

namespace
{
// The band [lo, hi) Hz of x, by zeroing every other bin (fine for decay curves).
std::vector<double> band(const std::vector<double>& x, double lo, double hi, double rate)
{
    int size = 1;
    while (size < static_cast<int>(x.size()) * 2)
        size *= 2;
    const Fft fft(size);
    std::vector<std::complex<double>> bins(static_cast<size_t>(size));
    for (size_t t = 0; t < x.size(); ++t)
        bins[t] = x[t];
    fft.transform(bins, false);
    for (int k = 0; k < size; ++k)
    {
        const double f = std::min(k, size - k) * rate / size;
        if (f < lo || f >= hi) bins[static_cast<size_t>(k)] = 0.0;
    }
    fft.transform(bins, true);
    std::vector<double> y(x.size());
    for (size_t t = 0; t < y.size(); ++t)
        y[t] = bins[t].real() / size;
    return y;
}

// Backward-integrated energy of both ears, in dB against the total.
std::vector<double> decayCurve(const std::vector<double>& l, const std::vector<double>& r)
{
    std::vector<double> curve(l.size());
    double sum = 0.0;
    for (size_t t = l.size(); t-- > 0;)
    {
        sum += l[t] * l[t] + r[t] * r[t];
        curve[t] = sum;
    }
    const double total = sum;
    for (double& c : curve)
        c = 10.0 * std::log10(std::max(c / total, 1e-300));
    return curve;
}

// Seconds to fall 60 dB, from a least-squares line through the curve between two levels.
double decayTime(const std::vector<double>& curve, double top, double bottom, double rate)
{
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t t = 0; t < curve.size(); ++t)
    {
        if (curve[t] > top) continue;
        if (curve[t] < bottom) break;
        const double x = t / rate;
        n += 1;
        sx += x;
        sy += curve[t];
        sxx += x * x;
        sxy += x * curve[t];
    }
    if (n < 2) return 0.0;
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    return slope < 0.0 ? -60.0 / slope : 0.0;
}

size_t directSound(const std::vector<double>& l, const std::vector<double>& r)
{
    size_t best = 0;
    for (size_t t = 0; t < l.size(); ++t)
        if (std::max(std::fabs(l[t]), std::fabs(r[t])) >
            std::max(std::fabs(l[best]), std::fabs(r[best])))
            best = t;
    return best;
}

// Normalised autocorrelation, lags 0 .. maxLag, of the 100-500 Hz band of x's late tail
// (0.1 to 1 s), levelled in 50 ms steps so that it sees structure and not the decay.
std::vector<double> tailCorrelation(const std::vector<double>& x, double rate, size_t maxLag)
{
    const std::vector<double> y = band(x, 100.0, 500.0, rate);
    const size_t from = static_cast<size_t>(0.1 * rate);
    const size_t to = std::min(y.size(), static_cast<size_t>(1.0 * rate));
    const size_t win = static_cast<size_t>(0.05 * rate);
    std::vector<double> flat(y.begin() + static_cast<long>(from), y.begin() + static_cast<long>(to));
    for (size_t t = 0; t < flat.size(); t += win)
    {
        const size_t end = std::min(flat.size(), t + win);
        double e = 0.0;
        for (size_t u = t; u < end; ++u)
            e += flat[u] * flat[u];
        const double g = e > 0.0 ? 1.0 / std::sqrt(e / static_cast<double>(end - t)) : 0.0;
        for (size_t u = t; u < end; ++u)
            flat[u] *= g;
    }
    int size = 1;
    while (size < static_cast<int>(2 * flat.size()))
        size *= 2;
    const Fft fft(size);
    std::vector<std::complex<double>> bins(static_cast<size_t>(size));
    for (size_t t = 0; t < flat.size(); ++t)
        bins[t] = flat[t];
    fft.transform(bins, false);
    for (auto& b : bins)
        b = std::norm(b);
    fft.transform(bins, true);
    std::vector<double> r(maxLag + 1);
    for (size_t lag = 0; lag <= maxLag; ++lag)
        r[lag] = bins[0].real() > 0.0 ? bins[lag].real() / bins[0].real() : 0.0;
    return r;
}
} // namespace

double flutter(const std::vector<std::vector<double>>& responses, double rate)
{
    // Averaged over many responses: a random tail's correlations cancel out, a period that
    // the room's shape puts into all of them stays.
    const size_t maxLag = static_cast<size_t>(0.1 * rate);
    std::vector<double> mean(maxLag + 1, 0.0);
    for (const std::vector<double>& x : responses)
    {
        const std::vector<double> r = tailCorrelation(x, rate, maxLag);
        for (size_t lag = 0; lag <= maxLag; ++lag)
            mean[lag] += r[lag] / static_cast<double>(responses.size());
    }
    double worst = 0.0;
    for (size_t lag = static_cast<size_t>(0.01 * rate); lag <= maxLag; ++lag)
        worst = std::max(worst, std::fabs(mean[lag]));
    return worst;
}

void balance(const std::vector<double>& left, const std::vector<double>& right, double rate,
             double out[kThirds])
{
    int size = 1;
    while (size < static_cast<int>(left.size()) * 2)
        size *= 2;
    const Fft fft(size);
    std::vector<double> power(static_cast<size_t>(size / 2 + 1), 0.0);
    for (const std::vector<double>* ear : {&left, &right})
    {
        std::vector<std::complex<double>> bins(static_cast<size_t>(size));
        for (size_t t = 0; t < ear->size(); ++t)
            bins[t] = (*ear)[t];
        fft.transform(bins, false);
        for (size_t k = 0; k < power.size(); ++k)
            power[k] += std::norm(bins[k]);
    }
    constexpr int kReference = 12; // 1 kHz
    double t30[kThirds] = {};
    double mean = 0.0;
    for (int b = 0; b < kThirds; ++b)
    {
        // Exact base-ten band edges; kThirdCentres are their nominal names.
        const double centre = 1000.0 * std::pow(10.0, (b - kReference) / 10.0);
        const double lo = centre * std::pow(10.0, -0.05), hi = centre * std::pow(10.0, 0.05);
        // Mean power per bin: a flat response reads flat, whatever the band's width.
        double e = 0.0;
        int bins = 0;
        for (size_t k = 0; k < power.size(); ++k)
        {
            const double f = static_cast<double>(k) * rate / size;
            if (f >= lo && f < hi) e += power[k], ++bins;
        }
        out[b] = 10.0 * std::log10(std::max(e / std::max(bins, 1), 1e-300));
        if (b >= kReference)
            t30[b] = decayTime(decayCurve(band(left, lo, hi, rate), band(right, lo, hi, rate)),
                               -5.0, -35.0, rate);
    }
    for (int b = kReference + 1; b < kThirds; ++b)
        if (t30[b] > 0.0 && t30[b] < t30[kReference])
            out[b] += 10.0 * std::log10(t30[kReference] / t30[b]);
    for (int b = 0; b < kThirds; ++b)
        mean += out[b] / kThirds;
    for (int b = 0; b < kThirds; ++b)
        out[b] -= mean;
}

Figures measure(const std::vector<double>& left, const std::vector<double>& right, double rate)
{
    Figures f;
    double sums[2] = {0.0, 0.0};
    for (size_t t = 0; t < left.size(); ++t)
    {
        sums[0] += left[t];
        sums[1] += right[t];
    }
    f.dcGain = std::max(std::fabs(sums[0]), std::fabs(sums[1]));
    const std::vector<double> curve = decayCurve(left, right);
    f.edt = decayTime(curve, 0.0, -10.0, rate);
    f.t30 = decayTime(curve, -5.0, -35.0, rate);
    for (int b = 0; b < kOctaves; ++b)
    {
        const double lo = kOctaveCentres[b] / std::sqrt(2.0);
        const double hi = kOctaveCentres[b] * std::sqrt(2.0);
        f.t30ByOctave[b] = decayTime(decayCurve(band(left, lo, hi, rate), band(right, lo, hi, rate)),
                                     -5.0, -35.0, rate);
    }
    const size_t direct = directSound(left, right);
    const size_t split = direct + static_cast<size_t>(0.08 * rate);
    double early = 0.0, late = 0.0;
    for (size_t t = 0; t < left.size(); ++t)
        (t < split ? early : late) += left[t] * left[t] + right[t] * right[t];
    f.c80 = 10.0 * std::log10(std::max(early, 1e-300) / std::max(late, 1e-300));
    f.flutter = flutter({left, right}, rate);
    balance(left, right, rate, f.balance);
    return f;
}

void print(std::FILE* to, const std::vector<std::vector<std::vector<double>>>& bank, int length,
           double rate, const char* const* positionNames)
{
    std::vector<std::vector<double>> everyEar;
    std::vector<Figures> figures(bank.size());
    std::fprintf(to, "\nroom, axes summed, no extra absorption\n%-6s %8s %6s %6s %6s %7s", "pos",
                 "DC gain", "EDT s", "T30 s", "C80 dB", "flutter");
    for (double c : kOctaveCentres)
        std::fprintf(to, " %6.0f", c);
    std::fprintf(to, "  (T30 per octave, s)\n");
    for (size_t p = 0; p < bank.size(); ++p)
    {
        std::vector<double> ears[2];
        for (int e = 0; e < 2; ++e)
        {
            ears[e].assign(static_cast<size_t>(length), 0.0);
            for (int a = 0; a < 3; ++a)
                for (int t = 0; t < length; ++t)
                    ears[e][static_cast<size_t>(t)] += bank[p][2 * a + e][static_cast<size_t>(t)];
        }
        everyEar.push_back(ears[0]);
        everyEar.push_back(ears[1]);
        // The full table for the centre and the side; the DC gain for every position.
        const bool full = p == 0 || p == 5;
        if (!full)
        {
            double dc[2] = {0.0, 0.0};
            for (int e = 0; e < 2; ++e)
                for (double v : ears[e])
                    dc[e] += v;
            std::fprintf(to, "%-6s %8.4f\n", positionNames[p],
                         std::max(std::fabs(dc[0]), std::fabs(dc[1])));
            continue;
        }
        const Figures& f = figures[p] = measure(ears[0], ears[1], rate);
        std::fprintf(to, "%-6s %8.4f %6.2f %6.2f %6.1f %7.3f", positionNames[p], f.dcGain, f.edt,
                     f.t30, f.c80, f.flutter);
        for (double t : f.t30ByOctave)
            std::fprintf(to, " %6.2f", t);
        std::fprintf(to, "\n");
    }
    std::fprintf(to, "flutter over every position and ear: %.3f\n", flutter(everyEar, rate));
    std::fprintf(to, "\n1/3-octave balance, dB against the mean (air absorption's decay aside)\n%-6s",
                 "pos");
    for (double c : kThirdCentres)
        std::fprintf(to, " %5.0f", c);
    std::fprintf(to, "\n");
    for (size_t p : {size_t{0}, size_t{5}})
    {
        std::fprintf(to, "%-6s", positionNames[p]);
        for (double b : figures[p].balance)
            std::fprintf(to, " %5.1f", b);
        std::fprintf(to, "\n");
    }
}
} // namespace RoomAcoustics
