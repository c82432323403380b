#include "RealFft.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
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
}

void RFFT::scaleInverse()
{
    for (Complex& c : inverseBuffer)
    {
        c.re /= realSizeAsDouble;
        c.im /= realSizeAsDouble;
    }
}

void RFFT::complexFft(Complex* x, int count, double sign) const
{
    int span = count;
    for (int stage = 1; stage <= stageCount; ++stage)
    {
        if (stage > 1) span /= 2;
        const int half = span / 2;
        const double angle = sign * kTwoPi / span;
        const Complex step{std::cos(angle), std::sin(angle)};
        Complex w{1.0, 0.0};
        for (int j = 0; j < half; ++j)
        {
            for (int index = j; index < count; index += span)
            {
                const Complex a = x[index];
                const Complex b = x[index + half];
                x[index] = a + b;
                x[index + half] = (a - b) * w;
            }
            w = w * step;
        }
    }

    int j = 0;
    for (int i = 0; i < count; ++i)
    {
        if (i < j) std::swap(x[i], x[j]);
        int k = count / 2;
        while (k > 0 && k <= j)
        {
            j -= k;
            k /= 2;
        }
        j += k;
    }
}

void RFFT::listBins(char letter, const Complex* bins, int first, int count) const
{
    if (first < 0 || count <= 0 || first + count > realSize) return;
    for (int i = first; i < first + count; ++i)
        std::printf("%c[%d] = (%.17g,%.17g)\n", letter, i, bins[i].re, bins[i].im);
}

ARFFT::ARFFT(int size) : RFFT(size), packScratch(static_cast<size_t>(size / 2)) {}

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
    const int n = complexSize;
    for (int m = 0; m < n; ++m)
        packScratch[m] = {samples[2 * m], samples[2 * m + 1]};
    transformComplex(packScratch.data(), n);

    Complex* X = forwardBuffer.data();
    X[n] = X[0];
    for (int i = 0; i <= n / 2; ++i)
    {
        const Complex zi = X[i];
        const Complex zni = X[n - i];
        const Complex lo = 0.5 * ((zi + conj(zni)) - timesI(twiddles[i] * (zi - conj(zni))));
        const Complex hi = 0.5 * ((zni + conj(zi)) - timesI(twiddles[n - i] * (zni - conj(zi))));
        X[i] = lo;
        X[n - i] = hi;
    }
    for (int i = 1; i < n; ++i)
        X[2 * n - i] = conj(X[i]);
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
