// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Complex.h"

#include <memory>
#include <vector>

// Double-precision real FFT of 2n points computed through one complex FFT of n points
// (decimation in frequency, radix 4 with one radix-2 stage when log2 n is odd, then bit
// reversal) plus a split step. No direction scales; the inverse's caller divides by 2n
// with scaleInverse().
class RFFT
{
public:
    // realSize = 2n, a power of two, at least 4.
    explicit RFFT(int realSize);
    virtual ~RFFT() = default;

    RFFT(const RFFT&) = delete;
    RFFT& operator=(const RFFT&) = delete;

    virtual void transformComplex(const Complex*, int) {}
    virtual void printBins(int, int) {}
    virtual void printAll() {}
    virtual void forward(const double*) {}
    virtual void inverse(Complex*) {}

    void scaleInverse();

    int size() const { return realSize; }
    // Result of forward(): 2n bins.
    Complex* forwardBins() { return forwardBuffer.data(); }
    const Complex* forwardBins() const { return forwardBuffer.data(); }
    // Result of inverse(): 2n entries (sample, 0).
    Complex* inverseBins() { return inverseBuffer.data(); }
    const Complex* inverseBins() const { return inverseBuffer.data(); }

protected:
    // In-place unscaled complex FFT of count points; sign -1 forward, +1 inverse kernel.
    void complexFft(Complex* x, int count, double sign) const;
    template <bool Inverse> void butterflies(Complex* x) const;
    // The butterflies come in passes (radix-4 stage pairs, then a last radix-2 stage when
    // log2 n is odd); runPass does butterflies [first, last) of one pass.
    int passCount() const;
    int passButterflies(int pass) const;
    // Work units of one butterfly of a pass: a radix-4 butterfly costs about six times a
    // plain copy of a complex value, the odd radix-2 one about as much as a copy.
    int passCost(int pass) const { return 2 * pass + 1 < stageCount ? 6 : 1; }
    template <bool Inverse> void runPass(Complex* x, int pass, int first, int last) const;
    void bitReverse(Complex* x) const;
    void listBins(char letter, const Complex* bins, int first, int count) const;

    // The tables of one size, built once and shared by every transform of that size.
    struct Tables
    {
        std::vector<Complex> twiddles; // W[j] = e^(-2 pi i j / 2n), j = 0..n
        // Forward-kernel twiddles of the radix-4 stages, span by span from n down: for each,
        // w^j, then w^2j, then w^3j for j < span / 4, with w = e^(-2 pi i / span). The
        // inverse conjugates.
        std::vector<Complex> stageTwiddles;
        std::vector<int> passTwiddles; // where each radix-4 pass starts in stageTwiddles
        std::vector<int> bitReversed;  // of the indices 0..n-1
    };
    static std::shared_ptr<const Tables> tablesFor(int realSize);

    int realSize;
    int complexSize;
    int stageCount;
    std::shared_ptr<const Tables> tables;
    const std::vector<Complex>& twiddles;
    const std::vector<Complex>& stageTwiddles;
    const std::vector<int>& passTwiddles;
    const std::vector<int>& bitReversed;
    // Each direction keeps only its own result.
    std::vector<Complex> inverseBuffer;
    std::vector<Complex> forwardBuffer;
    double realSizeAsDouble;
    double angleStep;
};

// Forward real transform: 2n samples to the full 2n-bin spectrum in forwardBins().
class ARFFT final : public RFFT
{
public:
    explicit ARFFT(int realSize);

    void transformComplex(const Complex* source, int count) override;
    void printBins(int first, int count) override;
    void printAll() override;
    void forward(const double* samples) override;

    // forward() in pieces, so that a caller can spread it over time: startForward, then
    // advanceForward with a budget of work units until it returns true. The samples must
    // stay unchanged until then. Without upperHalf, bins n+1..2n-1 are left as they were.
    // With zeroPadded, samples n..2n-1 are taken as zero and never read: the packing and
    // the first pass skip what the zeros make trivial, with the same result.
    // forwardItems() is the number of units of a whole forward(). Units are weighted by
    // what each step's items cost, so equal budgets take about equal time; budget left
    // over by one call carries to the next.
    void startForward(const double* samples, bool upperHalf, bool zeroPadded = false);
    bool advanceForward(int budget);
    int forwardItems(bool zeroPadded = false) const;

private:
    int stepItems(int step) const;
    int stepCost(int step) const;
    // The first pass can lean on a zero upper half only when it is a radix-4 one.
    bool canPrune() const { return stageCount >= 2; }

    std::vector<Complex> packScratch;
    const double* pendingSamples = nullptr;
    bool mirrorUpperHalf = true;
    bool padded = false;
    bool pruned = false;
    int step = 0;
    int item = 0;
    long long credit = 0;
};

// Inverse real transform: reads bins 0..n of a spectrum (and scribbles on it), leaves
// (2n x[t], 0) in inverseBins().
class BRFFT final : public RFFT
{
public:
    explicit BRFFT(int realSize);

    void transformComplex(const Complex* source, int count) override;
    void printBins(int first, int count) override;
    void printAll() override;
    void inverse(Complex* spectrum) override;

    // inverse() in two parts, so that a caller can split bins as they become final:
    // splitBins for pairs i in [first, last) (pair i reads and rewrites bins i and n - i),
    // until every i in 0..n/2 is done once, then finishInverse.
    void splitBins(Complex* spectrum, int first, int last) const;
    void finishInverse(Complex* spectrum);
    // finishInverse, then scaled: the 2n real samples times scale, straight into samples
    // (inverseBins() is left alone).
    void finishInverseReal(Complex* spectrum, double scale, double* samples) const;
    // finishInverseReal in pieces, so that a caller can spread it over time: startInverse
    // once every pair is split, then advanceInverse with a budget of work units (weighted
    // as advanceForward's) until it returns true. The spectrum and samples must stay put
    // until then.
    void startInverse(Complex* spectrum, double scale, double* samples);
    bool advanceInverse(int budget);
    int inverseItems() const;

private:
    Complex* pendingSpectrum = nullptr;
    double* pendingSamples = nullptr;
    double pendingScale = 1.0;
    int step = 0;
    int item = 0;
    long long credit = 0;
};
