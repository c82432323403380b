// SPDX-License-Identifier: GPL-3.0-or-later
#include "SteppedRealFft.h"

#include "BinRows.h"
#include "FftwPlanner.h"
#include "VectorHelpers.h"

#include <fftw3.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <new>
#include <utility>
#include <vector>

namespace
{
constexpr double kTwoPi = 6.283185307179586476925286766559;
// The real split's and its inverse's bin pairs come in this many steps.
constexpr int kSplitSteps = 4;
} // namespace

// What every transform of one size shares.
struct CSteppedRealFft::Tables
{
    // Forward kernels only: the inverse runs them on the conjugate, so that both directions
    // share one set of FFTW's code, which a host's other work may have pushed out of the caches.
    // Up to kOneCallUpTo the n-point transform (the middle to the signal); beyond, the
    // (n/4)-point one, run on each quarter of the points.
    fftwf_plan whole = nullptr;
    fftwf_plan quarter = nullptr;
    // Parts of e^(-2 pi i k / n) for k < n/2 and of e^(-2 pi i k / (n/2)) for k < n/4, joining
    // halves of n and of n/2 points, each twice over.
    std::vector<float> halfCos;
    std::vector<float> halfSin;
    std::vector<float> quarterCos;
    std::vector<float> quarterSin;
    // The share of a whole transform's time done after each step, forward and inverse.
    std::vector<double> shareAfter[2];
    // Parts of e^(-2 pi i k / 2n) for k = 0..n/2 + 3, for the real split, each twice over, as
    // the split's vectors of complex values want them.
    std::vector<float> splitCos;
    std::vector<float> splitSin;
    // The same once each, for eight neighbouring pairs' real and imaginary parts apart.
    std::vector<float> pairCos;
    std::vector<float> pairSin;

    ~Tables()
    {
        for (fftwf_plan p : {whole, quarter})
            if (p) fftwf_destroy_plan(p);
    }
};

namespace
{
// Each step's time in ns, roughly as measured warm: FFTW's transforms grow with their log2
// length, the passes of our own with the points.
void weighSteps(CSteppedRealFft::Tables& t, int n)
{
    const auto log2of = [](int v)
    {
        int l = 0;
        while ((1 << l) < v)
            ++l;
        return l;
    };
    for (int d = 0; d < 2; ++d)
    {
        std::vector<double> cost;
        if (d == 0)
            cost.push_back(0.2 * n); // packing
        else
        {
            cost.insert(cost.end(), kSplitSteps, 1.4 * n / kSplitSteps / 2); // the split's inverse
            if (t.quarter) cost.insert(cost.end(), 2, 0.1 * n); // the quarters apart
        }
        if (t.whole)
            cost.push_back(0.05 * n * log2of(n));
        else
        {
            cost.insert(cost.end(), 4, 0.07 * (n / 4) * log2of(n / 4));
            cost.insert(cost.end(), 2, 0.12 * n); // the quarters joined into halves, and those
        }
        if (d == 0)
            cost.insert(cost.end(), kSplitSteps, 1.2 * n / kSplitSteps / 2); // the split
        else
            cost.insert(cost.end(), t.quarter ? 2 : 1, 0.32 * n / (t.quarter ? 2 : 1)); // unpacking
        double total = 0.0;
        for (double c : cost)
            total += c;
        double sum = 0.0;
        for (double c : cost)
        {
            sum += c;
            t.shareAfter[d].push_back(sum / total);
        }
    }
}

// The tables of every size in use. They live until the module is unloaded, so that a later
// instance reuses them and a host that reloads the module leaks none.
class TableCache
{
public:
    std::shared_ptr<const CSteppedRealFft::Tables> forSize(int n, bool oneCall)
    {
        std::lock_guard<std::mutex> guard(fftwPlannerLock());
        auto found = built.find({n, oneCall});
        if (found != built.end()) return found->second;
        auto t = std::make_shared<CSteppedRealFft::Tables>();
        // Estimated, not measured: the same plans, hence the same rounding, in every run.
        CAlignedBuffer<float> a(static_cast<size_t>(2 * n));
        CAlignedBuffer<float> b(static_cast<size_t>(2 * n));
        auto* signal = reinterpret_cast<fftwf_complex*>(a.data());
        auto* middle = reinterpret_cast<fftwf_complex*>(b.data());
        if (oneCall)
            t->whole = fftwf_plan_dft_1d(n, middle, signal, FFTW_FORWARD, FFTW_ESTIMATE);
        else
            t->quarter = fftwf_plan_dft_1d(n / 4, middle, signal, FFTW_FORWARD, FFTW_ESTIMATE);
        if (!t->whole && !t->quarter) throw std::bad_alloc();
        for (int k = 0; k < n / 2 && t->quarter; ++k)
            for (int twice = 0; twice < 2; ++twice)
            {
                const double theta = -kTwoPi * k / n;
                t->halfCos.push_back(static_cast<float>(std::cos(theta)));
                t->halfSin.push_back(static_cast<float>(std::sin(theta)));
                if (k >= n / 4) continue;
                t->quarterCos.push_back(static_cast<float>(std::cos(2.0 * theta)));
                t->quarterSin.push_back(static_cast<float>(std::sin(2.0 * theta)));
            }
        for (int k = 0; k <= n / 2 + 3; ++k)
        {
            const double theta = -kTwoPi * k / (2.0 * n);
            for (int twice = 0; twice < 2; ++twice)
            {
                t->splitCos.push_back(static_cast<float>(std::cos(theta)));
                t->splitSin.push_back(static_cast<float>(std::sin(theta)));
            }
        }
        for (size_t k = 0; 2 * k < t->splitCos.size(); ++k)
        {
            t->pairCos.push_back(t->splitCos[2 * k]);
            t->pairSin.push_back(t->splitSin[2 * k]);
        }
        weighSteps(*t, n);
        built.emplace(std::make_pair(n, oneCall), t);
        return t;
    }

    ~TableCache()
    {
        std::lock_guard<std::mutex> guard(fftwPlannerLock());
        built.clear();
    }

private:
    std::map<std::pair<int, bool>, std::shared_ptr<const CSteppedRealFft::Tables>> built;
};

TableCache tableCache;

} // namespace

CSteppedRealFft::CSteppedRealFft(int size, int oneCallUpTo)
    : realSize(size), n(size / 2), tables(tableCache.forSize(size / 2, size <= oneCallUpTo)),
      signal(static_cast<size_t>(size)), middle(static_cast<size_t>(size))
{
    // Where the samples go in natural order (see input()) and the split's inverse puts the
    // complex points: straight into the transform's input, or to be parted into halves.
    packed = tables->whole ? middle.data() : signal.data();
    next = steps();
}

CSteppedRealFft::~CSteppedRealFft() = default;

// Forward: packing, the complex transform, the split. Inverse: the split's inverse, the
// complex transform, the unpacking. The complex transform is one step in one call, or the
// points parted into quarters (inverse only: the packing parts them on the way), each
// quarter's transform, the quarters joined into the even and the odd points' transforms and
// those joined: steps of about a tenth of the whole each.
int CSteppedRealFft::transformSteps() const
{
    if (tables->whole) return 1;
    return inverse ? 8 : 6;
}

int CSteppedRealFft::unpackSteps() const
{
    return tables->whole ? 1 : 2;
}

int CSteppedRealFft::steps() const
{
    return (inverse ? unpackSteps() : 1) + transformSteps() + kSplitSteps;
}

void CSteppedRealFft::startForwardToRows(float* rows, int width)
{
    startForward(nullptr, nullptr);
    forwardRows = rows;
    rowWidth = width;
}

void CSteppedRealFft::startForward(const double* samples, Complex* bins)
{
    forwardSamples = samples;
    forwardBins = bins;
    forwardRows = nullptr;
    inverse = false;
    next = 0;
}

void CSteppedRealFft::startInverse(const Complex* bins, double scale, double* samples)
{
    inverseBins = bins;
    inverseSamples = samples;
    inverseScale = scale;
    inverse = true;
    paddingZero = false;
    next = 0;
}

void CSteppedRealFft::advanceTo(int done)
{
    const int last = std::min(done, steps());
    while (next < last)
        runStep(next++);
}

void CSteppedRealFft::advanceToShare(double share)
{
    const std::vector<double>& after = tables->shareAfter[inverse ? 1 : 0];
    // A little slack, so that the share of the last step's end runs it.
    while (next < steps() && after[static_cast<size_t>(next)] <= share + 1e-9)
        runStep(next++);
}

void CSteppedRealFft::finish()
{
    // Run at once, the split and its inverse go in one call each rather than in steps: in a
    // short transform, four calls' set-up cost a third of the split.
    const int pairs = n / 2 + 1;
    if (inverse && next == 0)
    {
        unsplit(0, pairs);
        next = kSplitSteps;
    }
    const int firstSplit = steps() - kSplitSteps;
    if (!inverse && next <= firstSplit)
    {
        advanceTo(firstSplit);
        split(0, pairs);
        next = steps();
    }
    advanceTo(steps());
}

void CSteppedRealFft::runStep(int step)
{
    const int pairs = n / 2 + 1;
    if (!inverse && step == 0) return pack();
    if (inverse && step < kSplitSteps)
        return unsplit(pairs * step / kSplitSteps, pairs * (step + 1) / kSplitSteps);
    const int t = step - (inverse ? kSplitSteps : 1);
    if (t < transformSteps()) return transformStep(t);
    const int s = t - transformSteps();
    if (inverse) return unpack(n * s / unpackSteps(), n * (s + 1) / unpackSteps());
    split(pairs * s / kSplitSteps, pairs * (s + 1) / kSplitSteps);
}

void CSteppedRealFft::pack()
{
    // Sample pairs as complex values, over a zero upper half. The padding stays zero from one
    // forward transform to the next: only an inverse writes there.
    const bool clear = !paddingZero;
    paddingZero = true;
    if (tables->whole)
    {
        float* z = packed;
        if (forwardSamples)
            for (int i = 0; i < n; ++i)
                z[i] = static_cast<float>(forwardSamples[i]);
        if (clear) std::fill(z + n, z + 2 * n, 0.0f);
        return;
    }
    // The quarters apart at once; only the first half of each can be nonzero.
    if (forwardSamples)
        partQuarters(forwardSamples, 0, n / 8);
    else
        partQuarters(signal.data(), 0, n / 8);
    float* m = middle.data();
    for (int q = 0; clear && q < 4; ++q)
        std::fill(m + q * (n / 2) + n / 4, m + (q + 1) * (n / 2), 0.0f);
}

template <class T>
void CSteppedRealFft::partQuarters(const T* z, int first, int last)
{
    // Point 4i + r to place i of quarter r, the quarters in the order 0, 2, 1, 3, so that the
    // joins can work in place: places [first, last) of each.
    float* m = middle.data();
    float* const quarters[4] = {m, m + n, m + n / 2, m + 3 * (n / 2)};
    for (int r = 0; r < 4; ++r)
    {
        float* q = quarters[r];
        for (int i = first; i < last; ++i)
        {
            q[2 * i] = static_cast<float>(z[8 * i + 2 * r]);
            q[2 * i + 1] = static_cast<float>(z[8 * i + 2 * r + 1]);
        }
    }
}

namespace
{
// Four complex floats side by side, (re, im, re, im, ...); on baseline x86-64 the compiler
// splits it into SSE halves.
typedef float Quad __attribute__((vector_size(32)));
typedef int QuadIndex __attribute__((vector_size(32)));
typedef double Pair __attribute__((vector_size(32)));

#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__) && defined(__ELF__) &&         \
    !defined(HALVANE_NO_FUNCTION_CLONES)
#define HALVANE_SPLIT_CLONES __attribute__((target_clones("avx2", "default")))
#else
#define HALVANE_SPLIT_CLONES
#endif

#if defined(__clang__)
#define HALVANE_SHUFFLE8(v, a, b, c, d, e, f, g, h)                                                \
    __builtin_shufflevector(v, v, a, b, c, d, e, f, g, h)
#else
#define HALVANE_SHUFFLE8(v, a, b, c, d, e, f, g, h)                                                \
    __builtin_shuffle(v, QuadIndex{a, b, c, d, e, f, g, h})
#endif

// The four complex values in the opposite order.
HALVANE_VECTOR_HELPER Quad reversed(const Quad& v)
{
    return HALVANE_SHUFFLE8(v, 6, 7, 4, 5, 2, 3, 0, 1);
}

HALVANE_VECTOR_HELPER Quad swapParts(const Quad& v)
{
    return HALVANE_SHUFFLE8(v, 1, 0, 3, 2, 5, 4, 7, 6);
}

typedef float Half __attribute__((vector_size(16)));

// The halves are joined and split by shuffles: built element by element, they cost a dozen
// inserts and extracts per vector, more than the arithmetic around them.
HALVANE_VECTOR_HELPER Quad loadFromDoubles(const Complex* p)
{
    const Pair lo = loadVector<Pair>(p);
    const Pair hi = loadVector<Pair>(p + 2);
    const Half l = __builtin_convertvector(lo, Half);
    const Half h = __builtin_convertvector(hi, Half);
    return __builtin_shufflevector(l, h, 0, 1, 2, 3, 4, 5, 6, 7);
}

HALVANE_VECTOR_HELPER void storeAsDoubles(Complex* p, const Quad& v)
{
    const Half l = __builtin_shufflevector(v, v, 0, 1, 2, 3);
    const Half h = __builtin_shufflevector(v, v, 4, 5, 6, 7);
    const Pair lo = __builtin_convertvector(l, Pair);
    const Pair hi = __builtin_convertvector(h, Pair);
    storeVector(p, lo);
    storeVector(p + 2, hi);
}

// Where the split's bins go: complex doubles.
struct ToComplex
{
    Complex* x;
    HALVANE_VECTOR_HELPER void four(int k, const Quad& v) { storeAsDoubles(x + k, v); }
    HALVANE_VECTOR_HELPER void one(int k, float re, float im) { x[k] = {re, im}; }
};

// Or rows of `width` bins (see startForwardToRows), four bins with two stores where they lie
// in one chunk.
struct ToRows
{
    float* rows;
    int width;
    HALVANE_VECTOR_HELPER float* at(int k) const
    {
        return rows + binRowIndex(k, width);
    }
    HALVANE_VECTOR_HELPER void four(int k, const Quad& v)
    {
        typedef float Four __attribute__((vector_size(16)));
        if ((k & (width - 1)) + 4 > width)
        {
            for (int j = 0; j < 4; ++j)
                one(k + j, v[2 * j], v[2 * j + 1]);
            return;
        }
        const Four re = __builtin_shufflevector(v, v, 0, 2, 4, 6);
        const Four im = __builtin_shufflevector(v, v, 1, 3, 5, 7);
        float* r = at(k);
        storeVector(r, re);
        storeVector(r + width, im);
    }
    HALVANE_VECTOR_HELPER void one(int k, float re, float im)
    {
        float* r = at(k);
        r[0] = re;
        r[width] = im;
    }
};

// X[k] = (Z[k] + conj Z[n-k]) / 2 - i W^k (Z[k] - conj Z[n-k]) / 2 and its mirror
// X[n-k] = conj of the first half + i conj of the second, for k in [first, last), 0 < first,
// last <= n/2 + 1: four bins and their four mirrors at a time.
template <class Sink>
HALVANE_VECTOR_HELPER void splitInto(const float* z, const float* wr, const float* wi, int n,
                                     int first, int last, Sink& x)
{
    const Quad conjugate{1, -1, 1, -1, 1, -1, 1, -1};
    const Quad half{0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
    int k = first;
    for (; k + 4 <= last; k += 4)
    {
        const int m = n - k - 3;
        const Quad a = loadVector<Quad>(z + 2 * k);
        const Quad b = reversed(loadVector<Quad>(z + 2 * m)) * conjugate;
        const Quad s = half * (a + b);
        const Quad d = half * (a - b);
        const Quad c = loadVector<Quad>(wr + 2 * k);
        const Quad w = loadVector<Quad>(wi + 2 * k);
        const Quad t = d * c + swapParts(d) * w * -conjugate;
        x.four(k, s + swapParts(t) * conjugate);
        x.four(m, reversed(s * conjugate - swapParts(t)));
    }
    for (; k < last; ++k)
    {
        const int m = n - k;
        const float ar = z[2 * k], ai = z[2 * k + 1];
        const float br = z[2 * m], bi = z[2 * m + 1];
        const float sr = 0.5f * (ar + br), si = 0.5f * (ai - bi);
        const float dr = 0.5f * (ar - br), di = 0.5f * (ai + bi);
        const float tr = wr[2 * k] * dr - wi[2 * k] * di;
        const float ti = wr[2 * k] * di + wi[2 * k] * dr;
        x.one(k, sr + ti, si - tr);
        x.one(m, sr - ti, -(si + tr));
    }
}

// X[k] = E[k] + W^k O[k] and X[k + n/2] = E[k] - W^k O[k], in place: E, the even points'
// transform, in the first half, O in the second.
HALVANE_SPLIT_CLONES
void joinHalvesOf(float* x, const float* wr, const float* wi, int n)
{
    const Quad conjugate{1, -1, 1, -1, 1, -1, 1, -1};
    float* odd = x + n;
    for (int k = 0; k < n / 2; k += 4)
    {
        const Quad e = loadVector<Quad>(x + 2 * k);
        const Quad o = loadVector<Quad>(odd + 2 * k);
        const Quad c = loadVector<Quad>(wr + 2 * k);
        const Quad w = loadVector<Quad>(wi + 2 * k);
        const Quad t = o * c + swapParts(o) * w * -conjugate;
        storeVector(x + 2 * k, e + t);
        storeVector(odd + 2 * k, e - t);
    }
}

HALVANE_SPLIT_CLONES
void splitBins(const float* z, const float* wr, const float* wi, int n, int first, int last,
               Complex* x)
{
    ToComplex sink{x};
    splitInto(z, wr, wi, n, first, last, sink);
}

// Pairs [g, g + 8) of splitInto() at once, g a multiple of eight from 8 on, g + 8 <= n/2, for
// rows at least eight bins wide: the parts apart, as the rows keep them, where splitInto()'s
// interleaved vectors cost a shuffle per store and scatter the mirrors over two chunks. The lower
// bins fill their eight places. The mirrors n - g - 7 .. n - g fill the eight places from
// n - g - 8 but for the first, the mirror of pair g + 8, which that pair writes later over what
// lands there, and bin n - g goes alone.
HALVANE_VECTOR_HELPER void splitEight(const float* z, const float* wr, const float* wi, int n,
                                      int g, const ToRows& x)
{
    const Quad half{0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f, 0.5f};
    const Quad a0 = loadVector<Quad>(z + 2 * g);
    const Quad a1 = loadVector<Quad>(z + 2 * g + 8);
    const Quad ar = __builtin_shufflevector(a0, a1, 0, 2, 4, 6, 8, 10, 12, 14);
    const Quad ai = __builtin_shufflevector(a0, a1, 1, 3, 5, 7, 9, 11, 13, 15);
    // Z[n - g - j] in lane j.
    const float* q = z + 2 * (n - g - 7);
    const Quad b0 = loadVector<Quad>(q);
    const Quad b1 = loadVector<Quad>(q + 8);
    const Quad br = __builtin_shufflevector(b0, b1, 14, 12, 10, 8, 6, 4, 2, 0);
    const Quad bi = __builtin_shufflevector(b0, b1, 15, 13, 11, 9, 7, 5, 3, 1);
    const Quad sr = half * (ar + br);
    const Quad si = half * (ai - bi);
    const Quad dr = half * (ar - br);
    const Quad di = half * (ai + bi);
    const Quad c = loadVector<Quad>(wr + g);
    const Quad w = loadVector<Quad>(wi + g);
    const Quad tr = c * dr - w * di;
    const Quad ti = c * di + w * dr;
    float* low = x.at(g);
    storeVector(low, sr + ti);
    storeVector(low + x.width, si - tr);
    const Quad mr = sr - ti;
    const Quad mi = -(si + tr);
    float* high = x.at(n - g - 8);
    storeVector(high, __builtin_shufflevector(mr, mr, 0, 7, 6, 5, 4, 3, 2, 1));
    storeVector(high + x.width, __builtin_shufflevector(mi, mi, 0, 7, 6, 5, 4, 3, 2, 1));
    float* top = x.at(n - g);
    top[0] = mr[0];
    top[x.width] = mi[0];
}

// splitInto() for rows: eight pairs at a time where they lie whole in [first, last) below n/2,
// the pairs before and after them as splitInto() does, those after last so that they write
// over the bin the last eight leave.
HALVANE_SPLIT_CLONES
void splitRows(const float* z, const float* wr, const float* wi, const float* pr, const float* pi,
               int n, int first, int last, float* rows, int width)
{
    ToRows sink{rows, width};
    const int end = std::min(last, n / 2);
    int g = std::max((first + 7) & ~7, 8);
    if (width < 8 || g + 8 > end) return splitInto(z, wr, wi, n, first, last, sink);
    splitInto(z, wr, wi, n, first, g, sink);
    for (; g + 8 <= end; g += 8)
        splitEight(z, pr, pi, n, g, sink);
    splitInto(z, wr, wi, n, g, last, sink);
}

// Z[k] = (X[k] + conj X[n-k]) + i conj(W^k) (X[k] - conj X[n-k]) and Z[n-k] likewise, for k
// in [first, last), 0 < first, last <= n/2 + 1, each stored conjugated.
HALVANE_SPLIT_CLONES
void unsplitBins(const Complex* x, const float* wr, const float* wi, int n, int first, int last,
                 float* z)
{
    const Quad conjugate{1, -1, 1, -1, 1, -1, 1, -1};
    int k = first;
    for (; k + 4 <= last; k += 4)
    {
        const int m = n - k - 3;
        const Quad a = loadFromDoubles(x + k);
        const Quad b = reversed(loadFromDoubles(x + m)) * conjugate;
        const Quad s = a + b;
        const Quad d = a - b;
        const Quad c = loadVector<Quad>(wr + 2 * k);
        const Quad w = loadVector<Quad>(wi + 2 * k);
        const Quad t = d * c + swapParts(d) * w * conjugate;
        storeVector(z + 2 * k, (s - swapParts(t) * conjugate) * conjugate);
        storeVector(z + 2 * m, reversed((s * conjugate + swapParts(t)) * conjugate));
    }
    for (; k < last; ++k)
    {
        const int m = n - k;
        const float ar = static_cast<float>(x[k].re), ai = static_cast<float>(x[k].im);
        const float br = static_cast<float>(x[m].re), bi = static_cast<float>(x[m].im);
        const float sr = ar + br, si = ai - bi;
        const float dr = ar - br, di = ai + bi;
        const float tr = wr[2 * k] * dr + wi[2 * k] * di;
        const float ti = wr[2 * k] * di - wi[2 * k] * dr;
        z[2 * k] = sr - ti;
        z[2 * k + 1] = -(si + tr);
        z[2 * m] = sr + ti;
        z[2 * m + 1] = si - tr;
    }
}
} // namespace

void CSteppedRealFft::transformStep(int t)
{
    auto* from = reinterpret_cast<fftwf_complex*>(middle.data());
    auto* to = reinterpret_cast<fftwf_complex*>(signal.data());
    if (tables->whole) return fftwf_execute_dft(tables->whole, from, to);
    if (inverse && t < 2) return partQuarters(signal.data(), t * (n / 8), (t + 1) * (n / 8));
    if (inverse) t -= 2;
    if (t < 4) return fftwf_execute_dft(tables->quarter, from + t * (n / 4), to + t * (n / 4));
    float* x = signal.data();
    if (t == 4)
    {
        // [Q0 Q2] to the even points' transform, [Q1 Q3] to the odd points'.
        const float* c = tables->quarterCos.data();
        const float* s = tables->quarterSin.data();
        joinHalvesOf(x, c, s, n / 2);
        joinHalvesOf(x + n, c, s, n / 2);
        return;
    }
    joinHalvesOf(x, tables->halfCos.data(), tables->halfSin.data(), n);
}

void CSteppedRealFft::split(int first, int last)
{
    const float* z = signal.data();
    if (first == 0)
    {
        // Bins 0 and n from Z[0] alone (sums of two floats: exact in doubles).
        const double dc = double(z[0]) + double(z[1]);
        const double nyquist = double(z[0]) - double(z[1]);
        if (forwardRows)
        {
            forwardRows[0] = static_cast<float>(dc);
            forwardRows[rowWidth] = static_cast<float>(nyquist);
        }
        else
        {
            forwardBins[0] = {dc, 0.0};
            forwardBins[n] = {nyquist, 0.0};
        }
        first = 1;
    }
    if (forwardRows)
        splitRows(z, tables->splitCos.data(), tables->splitSin.data(), tables->pairCos.data(),
                  tables->pairSin.data(), n, first, last, forwardRows, rowWidth);
    else
        splitBins(z, tables->splitCos.data(), tables->splitSin.data(), n, first, last,
                  forwardBins);
}

void CSteppedRealFft::unsplit(int first, int last)
{
    // The conjugate of twice the packed transform: the forward transforms then give the
    // conjugate of 2n times the samples. Bins 0 and n count as real.
    float* z = packed;
    if (first == 0)
    {
        const float a = static_cast<float>(inverseBins[0].re);
        const float b = static_cast<float>(inverseBins[n].re);
        z[0] = a + b;
        z[1] = b - a;
        first = 1;
    }
    unsplitBins(inverseBins, tables->splitCos.data(), tables->splitSin.data(), n, first, last, z);
}

void CSteppedRealFft::unpack(int first, int last)
{
    // Conjugated back: the odd samples are the imaginary parts' negatives.
    const float* z = signal.data();
    for (int i = first; i < last; ++i)
    {
        inverseSamples[2 * i] = static_cast<double>(z[2 * i]) * inverseScale;
        inverseSamples[2 * i + 1] = -static_cast<double>(z[2 * i + 1]) * inverseScale;
    }
}
