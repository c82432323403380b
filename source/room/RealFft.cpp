#include "RealFft.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <utility>

namespace
{
constexpr double kTwoPi = 6.283185307179586476925286766559;
}

RFFT::RFFT(int size)
    : realSize(size), complexSize(size / 2), stageCount(0),
      twiddles(static_cast<size_t>(size / 2 + 1)), inverseBuffer(static_cast<size_t>(size)),
      forwardBuffer(static_cast<size_t>(size)), realSizeAsDouble(size), angleStep(kTwoPi / size)
{
    for (int n = complexSize; n > 1; n /= 2)
        ++stageCount;
    for (int j = 0; j <= complexSize; ++j)
    {
        const double theta = -j * angleStep;
        twiddles[j] = {std::cos(theta), std::sin(theta)};
    }

    // Taken from cos and sin one by one: a running product drifts by an ulp per step.
    int span = complexSize;
    for (int remaining = stageCount; remaining >= 2; remaining -= 2, span /= 4)
    {
        passTwiddles.push_back(static_cast<int>(stageTwiddles.size()));
        for (int j = 0; j < span / 4; ++j)
            for (int m = 1; m <= 3; ++m)
            {
                const double theta = -kTwoPi * m * j / span;
                stageTwiddles.push_back({std::cos(theta), std::sin(theta)});
            }
    }

    for (int i = 0, j = 0; i < complexSize; ++i)
    {
        if (i < j)
        {
            reversalSwaps.push_back(i);
            reversalSwaps.push_back(j);
        }
        int k = complexSize / 2;
        while (k > 0 && k <= j)
        {
            j -= k;
            k /= 2;
        }
        j += k;
    }
}

void RFFT::scaleInverse()
{
    // 2n is a power of two: multiplying by its reciprocal is exact, like the division.
    const double scale = 1.0 / realSizeAsDouble;
    for (Complex& c : inverseBuffer)
    {
        c.re *= scale;
        c.im *= scale;
    }
}

namespace
{
inline Complex times(Complex a, Complex w, bool conjugate)
{
    return conjugate ? Complex{a.re * w.re + a.im * w.im, a.im * w.re - a.re * w.im} : a * w;
}
} // namespace

int RFFT::passCount() const
{
    return stageCount / 2 + stageCount % 2;
}

int RFFT::passButterflies(int pass) const
{
    return 2 * pass + 1 < stageCount ? complexSize / 4 : complexSize / 2;
}

template <bool Inverse> void RFFT::runPass(Complex* x, int pass, int first, int last) const
{
    if (2 * pass + 1 == stageCount)
    {
        // The odd stage left over, span 2: every twiddle is 1.
        for (int i = 2 * first; i < 2 * last; i += 2)
        {
            const Complex a = x[i];
            const Complex b = x[i + 1];
            x[i] = a + b;
            x[i + 1] = a - b;
        }
        return;
    }
    const int span = complexSize >> (2 * pass);
    const int quarter = span / 4;
    const Complex* w = stageTwiddles.data() + passTwiddles[pass];
    int group = first / quarter;
    int j = first - group * quarter;
    for (int left = last - first; left > 0; ++group, j = 0)
    {
        Complex* x0 = x + group * span;
        Complex* x1 = x0 + quarter;
        Complex* x2 = x1 + quarter;
        Complex* x3 = x2 + quarter;
        const int end = j + left < quarter ? j + left : quarter;
        left -= end - j;
        for (; j < end; ++j)
        {
            const Complex t0 = x0[j] + x2[j];
            const Complex t1 = x0[j] - x2[j];
            const Complex t2 = x1[j] + x3[j];
            const Complex d = x1[j] - x3[j];
            // (x1 - x3) times the quarter-turn e^(-+i pi/2).
            const Complex t3 = Inverse ? timesI(d) : Complex{d.im, -d.re};
            x0[j] = t0 + t2;
            x1[j] = times(t0 - t2, w[3 * j + 1], Inverse);
            x2[j] = times(t1 + t3, w[3 * j], Inverse);
            x3[j] = times(t1 - t3, w[3 * j + 2], Inverse);
        }
    }
}

template <bool Inverse> void RFFT::butterflies(Complex* x) const
{
    for (int pass = 0; pass < passCount(); ++pass)
        runPass<Inverse>(x, pass, 0, passButterflies(pass));
}

void RFFT::bitReverse(Complex* x) const
{
    const int* swaps = reversalSwaps.data();
    const size_t count = reversalSwaps.size();
    for (size_t s = 0; s < count; s += 2)
        std::swap(x[swaps[s]], x[swaps[s + 1]]);
}

// The stages are those of a radix-2 decimation in frequency taken two at a time, so the
// result comes out in the same bit-reversed order.
void RFFT::complexFft(Complex* x, int /*count*/, double sign) const
{
    if (sign > 0.0)
        butterflies<true>(x);
    else
        butterflies<false>(x);
    bitReverse(x);
}

void RFFT::listBins(char letter, const Complex* bins, int first, int count) const
{
    if (first < 0 || count <= 0 || first + count > realSize) return;
    for (int i = first; i < first + count; ++i)
        std::printf("%c[%d] = (%.17g,%.17g)\n", letter, i, bins[i].re, bins[i].im);
}

ARFFT::ARFFT(int size) : RFFT(size), packScratch(static_cast<size_t>(size / 2))
{
    step = passCount() + 4; // nothing pending
}

void ARFFT::transformComplex(const Complex* source, int count)
{
    std::copy(source, source + count, forwardBuffer.begin());
    complexFft(forwardBuffer.data(), count, -1.0);
}

void ARFFT::printBins(int first, int count)
{
    listBins('F', forwardBuffer.data(), first, count);
}

void ARFFT::printAll()
{
    printBins(0, realSize);
}

void ARFFT::forward(const double* samples)
{
    startForward(samples);
    advanceForward(std::numeric_limits<int>::max());
}

// Steps, each a run of items: packing (n), the butterfly passes, the bit reversal (one
// item per swap), the split (n/2 + 1) and the mirrored upper half (n - 1).
int ARFFT::stepItems(int step) const
{
    const int n = complexSize;
    const int passes = passCount();
    if (step == 0) return n;
    if (step <= passes) return passButterflies(step - 1);
    if (step == passes + 1) return static_cast<int>(reversalSwaps.size() / 2);
    if (step == passes + 2) return n / 2 + 1;
    if (step == passes + 3) return n - 1;
    return 0;
}

int ARFFT::forwardItems() const
{
    int total = 0;
    for (int step = 0; step <= passCount() + 3; ++step)
        total += stepItems(step);
    return total;
}

void ARFFT::startForward(const double* samples)
{
    pendingSamples = samples;
    step = 0;
    item = 0;
}

bool ARFFT::advanceForward(int budget)
{
    const int n = complexSize;
    const int passes = passCount();
    Complex* X = forwardBuffer.data();
    while (budget > 0 && step <= passes + 3)
    {
        const int count = stepItems(step);
        const int first = item;
        const int last = count - first > budget ? first + budget : count;
        if (step == 0)
        {
            for (int m = first; m < last; ++m)
                X[m] = {pendingSamples[2 * m], pendingSamples[2 * m + 1]};
        }
        else if (step <= passes)
        {
            runPass<false>(X, step - 1, first, last);
        }
        else if (step == passes + 1)
        {
            const int* swaps = reversalSwaps.data();
            for (int s = first; s < last; ++s)
                std::swap(X[swaps[2 * s]], X[swaps[2 * s + 1]]);
        }
        else if (step == passes + 2)
        {
            if (first == 0) X[n] = X[0];
            for (int i = first; i < last; ++i)
            {
                const Complex zi = X[i];
                const Complex zni = X[n - i];
                const Complex lo =
                    0.5 * ((zi + conj(zni)) - timesI(twiddles[i] * (zi - conj(zni))));
                const Complex hi =
                    0.5 * ((zni + conj(zi)) - timesI(twiddles[n - i] * (zni - conj(zi))));
                X[i] = lo;
                X[n - i] = hi;
            }
        }
        else
        {
            for (int i = first + 1; i < last + 1; ++i)
                X[2 * n - i] = conj(X[i]);
        }
        budget -= last - first;
        item = last;
        if (item == count)
        {
            ++step;
            item = 0;
        }
    }
    return step > passes + 3;
}

BRFFT::BRFFT(int size) : RFFT(size) {}

void BRFFT::transformComplex(const Complex* source, int count)
{
    std::copy(source, source + count, inverseBuffer.begin());
    complexFft(inverseBuffer.data(), count, 1.0);
}

void BRFFT::printBins(int first, int count)
{
    listBins('f', inverseBuffer.data(), first, count);
}

void BRFFT::printAll()
{
    printBins(0, realSize);
}

void BRFFT::inverse(Complex* X)
{
    const int n = complexSize;
    for (int i = 0; i <= n / 2; ++i)
    {
        const Complex xi = X[i];
        const Complex xni = X[n - i];
        const Complex lo = 0.5 * ((xi + conj(xni)) + timesI(conj(twiddles[i]) * (xi - conj(xni))));
        const Complex hi =
            0.5 * ((xni + conj(xi)) + timesI(conj(twiddles[n - i]) * (xni - conj(xi))));
        X[i] = lo;
        X[n - i] = hi;
    }
    transformComplex(X, n);

    Complex* out = inverseBuffer.data();
    for (int m = n - 1; m >= 0; --m)
    {
        const Complex z = out[m];
        out[2 * m + 1] = {2.0 * z.im, 0.0};
        out[2 * m] = {2.0 * z.re, 0.0};
    }
}
