// SPDX-License-Identifier: GPL-3.0-or-later
#include "RealFft.h"

#include "VectorHelpers.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <limits>
#include <map>
#include <mutex>
#include <utility>

namespace
{
constexpr double kTwoPi = 6.283185307179586476925286766559;
// An inverse's expansion gathers in bit-reversed order, scattered in memory: per value
// nearly what a radix-4 butterfly costs (measured).
constexpr int kExpansionCost = 5;
constexpr int kPrunedButterflyCost = 4;
} // namespace

std::shared_ptr<const RFFT::Tables> RFFT::tablesFor(int size)
{
    // Built off the audio thread, with the transforms that use them.
    static std::mutex guard;
    static std::map<int, std::weak_ptr<const Tables>> built;
    const std::lock_guard<std::mutex> lock(guard);
    if (auto existing = built[size].lock()) return existing;

    auto t = std::make_shared<Tables>();
    const int n = size / 2;
    int stages = 0;
    for (int m = n; m > 1; m /= 2)
        ++stages;
    t->twiddles.resize(static_cast<size_t>(n + 1));
    const double step = kTwoPi / size;
    for (int j = 0; j <= n; ++j)
    {
        const double theta = -j * step;
        t->twiddles[j] = {std::cos(theta), std::sin(theta)};
    }

    // Taken from cos and sin one by one: a running product drifts by an ulp per step.
    int span = n;
    for (int remaining = stages; remaining >= 2; remaining -= 2, span /= 4)
    {
        t->passTwiddles.push_back(static_cast<int>(t->stageTwiddles.size()));
        for (int m = 1; m <= 3; ++m)
            for (int j = 0; j < span / 4; ++j)
            {
                const double theta = -kTwoPi * m * j / span;
                t->stageTwiddles.push_back({std::cos(theta), std::sin(theta)});
            }
    }

    t->bitReversed.resize(static_cast<size_t>(n));
    for (int i = 0, j = 0; i < n; ++i)
    {
        t->bitReversed[i] = j;
        int k = n / 2;
        while (k > 0 && k <= j)
        {
            j -= k;
            k /= 2;
        }
        j += k;
    }
    built[size] = t;
    return t;
}

RFFT::RFFT(int size)
    : realSize(size), complexSize(size / 2), stageCount(0), tables(tablesFor(size)),
      twiddles(tables->twiddles), stageTwiddles(tables->stageTwiddles),
      passTwiddles(tables->passTwiddles), bitReversed(tables->bitReversed), realSizeAsDouble(size),
      angleStep(kTwoPi / size)
{
    for (int n = complexSize; n > 1; n /= 2)
        ++stageCount;
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

// Two complex numbers side by side, (re, im, re, im); on baseline x86-64 the compiler
// splits it into SSE2 halves. The arithmetic below rounds exactly like the scalar
// Complex operations: same products, same sums, negations exact.
typedef double Pair __attribute__((vector_size(32)));
typedef long long PairIndex __attribute__((vector_size(32)));

#if defined(__clang__)
#define HALVANE_SHUFFLE(v, a, b, c, d) __builtin_shufflevector(v, v, a, b, c, d)
#else
#define HALVANE_SHUFFLE(v, a, b, c, d) __builtin_shuffle(v, PairIndex{a, b, c, d})
#endif

HALVANE_VECTOR_HELPER Pair swapParts(const Pair& a)
{
    return HALVANE_SHUFFLE(a, 1, 0, 3, 2);
}

HALVANE_VECTOR_HELPER Pair times(const Pair& a, const Pair& w, bool conjugate)
{
    const Pair wr = HALVANE_SHUFFLE(w, 0, 0, 2, 2);
    const Pair wi = HALVANE_SHUFFLE(w, 1, 1, 3, 3);
    const Pair sign = conjugate ? Pair{1.0, -1.0, 1.0, -1.0} : Pair{-1.0, 1.0, -1.0, 1.0};
    return a * wr + swapParts(a) * (wi * sign);
}

inline void radix4(Complex* x0, Complex* x1, Complex* x2, Complex* x3, const Complex* w1,
                   const Complex* w2, const Complex* w3, int j, bool inverse)
{
    const Complex t0 = x0[j] + x2[j];
    const Complex t1 = x0[j] - x2[j];
    const Complex t2 = x1[j] + x3[j];
    const Complex d = x1[j] - x3[j];
    // (x1 - x3) times the quarter-turn e^(-+i pi/2).
    const Complex t3 = inverse ? timesI(d) : Complex{d.im, -d.re};
    x0[j] = t0 + t2;
    x1[j] = times(t0 - t2, w2[j], inverse);
    x2[j] = times(t1 + t3, w1[j], inverse);
    x3[j] = times(t1 - t3, w3[j], inverse);
}

// Butterflies [first, last) of one radix-4 pass of the given span, whose twiddles w^j,
// w^2j, w^3j are three runs of span / 4 in w.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__) &&         \
    !defined(HALVANE_NO_FUNCTION_CLONES)
__attribute__((target_clones("avx2", "default")))
#endif
void radix4Pass(Complex* x, int span, const Complex* w, int first, int last, bool inverse)
{
    const int quarter = span / 4;
    const Complex* w1 = w;
    const Complex* w2 = w1 + quarter;
    const Complex* w3 = w2 + quarter;
    const Pair turn = inverse ? Pair{-1.0, 1.0, -1.0, 1.0} : Pair{1.0, -1.0, 1.0, -1.0};
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
        if (j & 1) radix4(x0, x1, x2, x3, w1, w2, w3, j++, inverse);
        for (; j + 2 <= end; j += 2)
        {
            const Pair a0 = loadVector<Pair>(x0 + j), a1 = loadVector<Pair>(x1 + j), a2 = loadVector<Pair>(x2 + j), a3 = loadVector<Pair>(x3 + j);
            const Pair t0 = a0 + a2;
            const Pair t1 = a0 - a2;
            const Pair t2 = a1 + a3;
            const Pair t3 = swapParts(a1 - a3) * turn;
            storeVector(x0 + j, t0 + t2);
            storeVector(x1 + j, times(t0 - t2, loadVector<Pair>(w2 + j), inverse));
            storeVector(x2 + j, times(t1 + t3, loadVector<Pair>(w1 + j), inverse));
            storeVector(x3 + j, times(t1 - t3, loadVector<Pair>(w3 + j), inverse));
        }
        if (j < end) radix4(x0, x1, x2, x3, w1, w2, w3, j++, inverse);
    }
}

// The first forward pass (span n, one group) when x[n/2..n-1] are zero: x2 and x3 drop out
// of every sum, and what is left rounds as the full butterfly does.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__) &&         \
    !defined(HALVANE_NO_FUNCTION_CLONES)
__attribute__((target_clones("avx2", "default")))
#endif
void radix4FirstPassHalfZero(Complex* x, int span, const Complex* w, int first, int last)
{
    const int quarter = span / 4;
    const Complex* w1 = w;
    const Complex* w2 = w1 + quarter;
    const Complex* w3 = w2 + quarter;
    Complex* x1 = x + quarter;
    Complex* x2 = x1 + quarter;
    Complex* x3 = x2 + quarter;
    const Pair turn{1.0, -1.0, 1.0, -1.0};
    int j = first;
    const auto single = [&](int k)
    {
        const Complex a0 = x[k];
        const Complex a1 = x1[k];
        const Complex t3{a1.im, -a1.re};
        x[k] = a0 + a1;
        x1[k] = (a0 - a1) * w2[k];
        x2[k] = (a0 + t3) * w1[k];
        x3[k] = (a0 - t3) * w3[k];
    };
    if ((j & 1) && j < last) single(j++);
    for (; j + 2 <= last; j += 2)
    {
        const Pair a0 = loadVector<Pair>(x + j), a1 = loadVector<Pair>(x1 + j);
        const Pair t3 = swapParts(a1) * turn;
        storeVector(x + j, a0 + a1);
        storeVector(x1 + j, times(a0 - a1, loadVector<Pair>(w2 + j), false));
        storeVector(x2 + j, times(a0 + t3, loadVector<Pair>(w1 + j), false));
        storeVector(x3 + j, times(a0 - t3, loadVector<Pair>(w3 + j), false));
    }
    if (j < last) single(j);
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
    radix4Pass(x, complexSize >> (2 * pass), stageTwiddles.data() + passTwiddles[pass], first, last,
               Inverse);
}

template <bool Inverse> void RFFT::butterflies(Complex* x) const
{
    for (int pass = 0; pass < passCount(); ++pass)
        runPass<Inverse>(x, pass, 0, passButterflies(pass));
}

void RFFT::bitReverse(Complex* x) const
{
    for (int i = 0; i < complexSize; ++i)
    {
        const int j = bitReversed[i];
        if (i < j) std::swap(x[i], x[j]);
    }
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
    forwardBuffer.resize(static_cast<size_t>(size));
    step = passCount() + 3; // nothing pending
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
    startForward(samples, true);
    advanceForward(std::numeric_limits<int>::max());
}

// Steps, each a run of items: packing (n), the butterfly passes, the split (n/2 + 1),
// which reads the transform in bit-reversed order instead of permuting it, and the
// mirrored upper half (n - 1).
int ARFFT::stepItems(int step) const
{
    const int n = complexSize;
    const int passes = passCount();
    if (step == 0) return pruned ? n / 2 : n;
    if (step <= passes) return passButterflies(step - 1);
    if (step == passes + 1) return n / 2 + 1;
    if (step == passes + 2) return mirrorUpperHalf ? n - 1 : 0;
    return 0;
}

// The split computes two bins from two read in bit-reversed order, scattered in memory:
// about as much as a radix-4 butterfly (measured).
int ARFFT::stepCost(int step) const
{
    const int passes = passCount();
    // A pruned butterfly loads and adds half as much, and multiplies as much.
    if (step == 1 && pruned) return kPrunedButterflyCost;
    if (step >= 1 && step <= passes) return passCost(step - 1);
    return step == passes + 1 ? 6 : 1;
}

int ARFFT::forwardItems(bool zeroPadded) const
{
    const int passes = passCount();
    const bool prune = zeroPadded && canPrune();
    int total = (prune ? complexSize / 2 : complexSize) + (complexSize - 1);
    for (int pass = 0; pass < passes; ++pass)
        total +=
            passButterflies(pass) * (pass == 0 && prune ? kPrunedButterflyCost : passCost(pass));
    return total + (complexSize / 2 + 1) * stepCost(passes + 1);
}

void ARFFT::startForward(const double* samples, bool upperHalf, bool zeroPadded)
{
    pendingSamples = samples;
    mirrorUpperHalf = upperHalf;
    padded = zeroPadded;
    pruned = zeroPadded && canPrune();
    step = 0;
    item = 0;
    credit = 0;
}

bool ARFFT::advanceForward(int budget)
{
    const int n = complexSize;
    const int passes = passCount();
    Complex* Z = packScratch.data();
    Complex* X = forwardBuffer.data();
    const int* rev = bitReversed.data();
    credit = std::min(credit + budget, static_cast<long long>(std::numeric_limits<int>::max()));
    while (step <= passes + 2)
    {
        const int count = stepItems(step);
        const int cost = stepCost(step);
        const int first = item;
        const long long affordable = credit / cost;
        if (affordable == 0 && first < count) break;
        const int last = count - first > affordable ? first + static_cast<int>(affordable) : count;
        if (step == 0)
        {
            for (int m = first; m < last; ++m)
                Z[m] = padded && 2 * m >= n
                           ? Complex{0.0, 0.0}
                           : Complex{pendingSamples[2 * m], pendingSamples[2 * m + 1]};
        }
        else if (step == 1 && pruned)
        {
            radix4FirstPassHalfZero(Z, n, stageTwiddles.data() + passTwiddles[0], first, last);
        }
        else if (step <= passes)
        {
            runPass<false>(Z, step - 1, first, last);
        }
        else if (step == passes + 1)
        {
            // Z[n] is Z[0].
            for (int i = first; i < last; ++i)
            {
                const Complex zi = Z[rev[i]];
                const Complex zni = Z[rev[(n - i) & (n - 1)]];
                X[i] = 0.5 * ((zi + conj(zni)) - timesI(twiddles[i] * (zi - conj(zni))));
                X[n - i] = 0.5 * ((zni + conj(zi)) - timesI(twiddles[n - i] * (zni - conj(zi))));
            }
        }
        else
        {
            for (int i = first + 1; i < last + 1; ++i)
                X[2 * n - i] = conj(X[i]);
        }
        credit -= static_cast<long long>(last - first) * cost;
        item = last;
        if (item == count)
        {
            ++step;
            item = 0;
        }
    }
    if (step > passes + 2) credit = 0;
    return step > passes + 2;
}

BRFFT::BRFFT(int size) : RFFT(size)
{
    inverseBuffer.resize(static_cast<size_t>(size));
    step = passCount() + 1; // nothing pending
}

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
    splitBins(X, 0, complexSize / 2 + 1);
    finishInverse(X);
}

void BRFFT::splitBins(Complex* X, int first, int last) const
{
    const int n = complexSize;
    for (int i = first; i < last; ++i)
    {
        const Complex xi = X[i];
        const Complex xni = X[n - i];
        const Complex lo = 0.5 * ((xi + conj(xni)) + timesI(conj(twiddles[i]) * (xi - conj(xni))));
        const Complex hi =
            0.5 * ((xni + conj(xi)) + timesI(conj(twiddles[n - i]) * (xni - conj(xi))));
        X[i] = lo;
        X[n - i] = hi;
    }
}

void BRFFT::finishInverse(Complex* X)
{
    const int n = complexSize;
    // The complex transform runs in the caller's array, which is scratch anyway, and the
    // expansion reads it in bit-reversed order instead of permuting it.
    butterflies<true>(X);
    Complex* out = inverseBuffer.data();
    for (int m = 0; m < n; ++m)
    {
        const Complex z = X[bitReversed[m]];
        out[2 * m] = {2.0 * z.re, 0.0};
        out[2 * m + 1] = {2.0 * z.im, 0.0};
    }
}

void BRFFT::finishInverseReal(Complex* X, double scale, double* samples) const
{
    const int n = complexSize;
    butterflies<true>(X);
    for (int m = 0; m < n; ++m)
    {
        const Complex z = X[bitReversed[m]];
        samples[2 * m] = 2.0 * z.re * scale;
        samples[2 * m + 1] = 2.0 * z.im * scale;
    }
}

int BRFFT::inverseItems() const
{
    int total = complexSize * kExpansionCost;
    for (int pass = 0; pass < passCount(); ++pass)
        total += passButterflies(pass) * passCost(pass);
    return total;
}

void BRFFT::startInverse(Complex* X, double scale, double* samples)
{
    pendingSpectrum = X;
    pendingSamples = samples;
    pendingScale = scale;
    step = 0;
    item = 0;
    credit = 0;
}

// Steps: the butterfly passes, then the expansion into samples (n items), the same
// arithmetic as finishInverseReal in the same order.
bool BRFFT::advanceInverse(int budget)
{
    const int n = complexSize;
    const int passes = passCount();
    credit = std::min(credit + budget, static_cast<long long>(std::numeric_limits<int>::max()));
    while (step <= passes)
    {
        const int count = step < passes ? passButterflies(step) : n;
        const int cost = step < passes ? passCost(step) : kExpansionCost;
        const int first = item;
        const long long affordable = credit / cost;
        if (affordable == 0) break;
        const int last = count - first > affordable ? first + static_cast<int>(affordable) : count;
        if (step < passes)
        {
            runPass<true>(pendingSpectrum, step, first, last);
        }
        else
        {
            for (int m = first; m < last; ++m)
            {
                const Complex z = pendingSpectrum[bitReversed[m]];
                pendingSamples[2 * m] = 2.0 * z.re * pendingScale;
                pendingSamples[2 * m + 1] = 2.0 * z.im * pendingScale;
            }
        }
        credit -= static_cast<long long>(last - first) * cost;
        item = last;
        if (item == count)
        {
            ++step;
            item = 0;
        }
    }
    if (step > passes) credit = 0;
    return step > passes;
}
