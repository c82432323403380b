// SPDX-License-Identifier: GPL-3.0-or-later
#include "room/SteppedRealFft.h"
#include "room/RealFft.h"
#include "room/SlicedRealFft.h"
#include "room/WholeRealFft.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <utility>
#include <vector>

namespace
{
constexpr int kSize = 256;
constexpr int kHalf = kSize / 2;

std::vector<double> randomBlock(int size, unsigned seed)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> dist(-1.0, 1.0);
    std::vector<double> block(static_cast<size_t>(size));
    for (double& v : block)
        v = dist(rng);
    return block;
}

// Straight DFT, the reference for the fast transform.
std::vector<Complex> dft(const std::vector<double>& x)
{
    const size_t n = x.size();
    std::vector<Complex> out(n);
    for (size_t k = 0; k < n; ++k)
        for (size_t t = 0; t < n; ++t)
        {
            const double angle = -2.0 * M_PI * static_cast<double>((k * t) % n) / n;
            out[k].re += x[t] * std::cos(angle);
            out[k].im += x[t] * std::sin(angle);
        }
    return out;
}
// n random samples zero-padded to size, with their exact spectrum and its largest magnitude.
struct PaddedBlock
{
    std::vector<double> samples;
    std::vector<Complex> spectrum;
    double peak = 0.0;
};

PaddedBlock paddedBlock(int size, unsigned seed)
{
    PaddedBlock b;
    b.samples = randomBlock(size / 2, seed);
    b.samples.resize(static_cast<size_t>(size), 0.0);
    b.spectrum = dft(b.samples);
    for (const Complex& c : b.spectrum)
        b.peak = std::max(b.peak, std::hypot(c.re, c.im));
    return b;
}
} // namespace

TEST(RealFft, ImpulseHasFlatSpectrum)
{
    ARFFT fft(kSize);
    std::vector<double> x(kSize, 0.0);
    x[0] = 1.0;
    fft.forward(x.data());
    for (int k = 0; k < kSize; ++k)
    {
        EXPECT_NEAR(fft.forwardBins()[k].re, 1.0, 1e-14) << k;
        EXPECT_NEAR(fft.forwardBins()[k].im, 0.0, 1e-14) << k;
    }
}

TEST(RealFft, ConstantHasOnlyDc)
{
    ARFFT fft(kSize);
    std::vector<double> x(kSize, 1.0);
    fft.forward(x.data());
    EXPECT_NEAR(fft.forwardBins()[0].re, 256.0, 1e-11);
    EXPECT_NEAR(fft.forwardBins()[0].im, 0.0, 1e-11);
    for (int k = 1; k < kSize; ++k)
    {
        EXPECT_NEAR(fft.forwardBins()[k].re, 0.0, 1e-11) << k;
        EXPECT_NEAR(fft.forwardBins()[k].im, 0.0, 1e-11) << k;
    }
}

TEST(RealFft, AlternatingSignHasOnlyNyquist)
{
    ARFFT fft(kSize);
    std::vector<double> x(kSize);
    for (int t = 0; t < kSize; ++t)
        x[t] = (t % 2) ? -1.0 : 1.0;
    fft.forward(x.data());
    for (int k = 0; k < kSize; ++k)
    {
        EXPECT_NEAR(fft.forwardBins()[k].re, k == kHalf ? 256.0 : 0.0, 1e-11) << k;
        EXPECT_NEAR(fft.forwardBins()[k].im, 0.0, 1e-11) << k;
    }
}

TEST(RealFft, ForwardMatchesDirectDftWithMirroredUpperHalf)
{
    for (int size : {4, 8, 256, 4096})
    {
        const std::vector<double> x = randomBlock(size, 7u + static_cast<unsigned>(size));
        ARFFT fft(size);
        fft.forward(x.data());
        const std::vector<Complex> ref = dft(x);
        for (int k = 0; k < size; ++k)
        {
            EXPECT_NEAR(fft.forwardBins()[k].re, ref[k].re, 1e-9 * size) << size << " " << k;
            EXPECT_NEAR(fft.forwardBins()[k].im, ref[k].im, 1e-9 * size) << size << " " << k;
        }
    }
}

TEST(RealFft, InverseRoundTripIsWithinRounding)
{
    for (int size : {256, 4096})
    {
        const std::vector<double> x = randomBlock(size, 11u);
        ARFFT analysis(size);
        BRFFT synthesis(size);
        analysis.forward(x.data());
        std::vector<Complex> spectrum(analysis.forwardBins(), analysis.forwardBins() + size);

        synthesis.inverse(spectrum.data());
        // Unscaled, the inverse holds 2n x[t].
        EXPECT_NEAR(synthesis.inverseBins()[3].re, size * x[3], 1e-9);
        synthesis.scaleInverse();

        double peak = 0.0;
        double worst = 0.0;
        for (int t = 0; t < size; ++t)
        {
            peak = std::max(peak, std::fabs(x[t]));
            worst = std::max(worst, std::fabs(synthesis.inverseBins()[t].re - x[t]));
            EXPECT_EQ(synthesis.inverseBins()[t].im, 0.0);
        }
        EXPECT_LT(worst / peak, 1e-12) << size;
    }
}

TEST(RealFft, InverseReadsOnlyTheLowerHalfOfTheSpectrum)
{
    const std::vector<double> x = randomBlock(kSize, 5u);
    ARFFT analysis(kSize);
    analysis.forward(x.data());
    std::vector<Complex> clean(analysis.forwardBins(), analysis.forwardBins() + kSize);
    std::vector<Complex> dirty = clean;
    for (int k = kHalf + 1; k < kSize; ++k)
        dirty[k] = {1e6 * k, -3e5};

    BRFFT a(kSize);
    BRFFT b(kSize);
    a.inverse(clean.data());
    b.inverse(dirty.data());
    for (int t = 0; t < kSize; ++t)
        EXPECT_EQ(a.inverseBins()[t].re, b.inverseBins()[t].re) << t;
}

TEST(RealFft, ForwardInPiecesMatchesForwardAtOnce)
{
    for (int size : {8, 4096})
    {
        const std::vector<double> x = randomBlock(size, 13u);
        ARFFT whole(size);
        whole.forward(x.data());

        // One item per call: forwardItems() counts every item of a whole transform.
        ARFFT pieces(size);
        pieces.startForward(x.data(), true);
        int calls = 1;
        while (!pieces.advanceForward(1))
            ++calls;
        EXPECT_EQ(calls, pieces.forwardItems()) << size;
        for (int k = 0; k < size; ++k)
        {
            EXPECT_EQ(pieces.forwardBins()[k].re, whole.forwardBins()[k].re) << size << " " << k;
            EXPECT_EQ(pieces.forwardBins()[k].im, whole.forwardBins()[k].im) << size << " " << k;
        }

        // Uneven budgets, lower half only: the upper half keeps what it held.
        ARFFT lower(size);
        for (int k = 0; k < size; ++k)
            lower.forwardBins()[k] = {-7.0, 7.0};
        lower.startForward(x.data(), false);
        for (int budget = 1; !lower.advanceForward(budget); budget = budget * 3 % 101)
        {
        }
        for (int k = 0; k < size; ++k)
        {
            const Complex want = k <= size / 2 ? whole.forwardBins()[k] : Complex{-7.0, 7.0};
            EXPECT_EQ(lower.forwardBins()[k].re, want.re) << size << " " << k;
            EXPECT_EQ(lower.forwardBins()[k].im, want.im) << size << " " << k;
        }
    }
}

TEST(RealFft, ZeroPaddedForwardInPiecesMatchesForwardOfThePaddedBlock)
{
    for (int size : {4, 8, 16, 256, 4096})
    {
        std::vector<double> x = randomBlock(size, 19u);
        for (int t = size / 2; t < size; ++t)
            x[static_cast<size_t>(t)] = 0.0;
        ARFFT whole(size);
        whole.forward(x.data());

        // Garbage where the zeros are: a zero-padded transform must not read them.
        for (int t = size / 2; t < size; ++t)
            x[static_cast<size_t>(t)] = 1e9 + t;
        ARFFT pieces(size);
        pieces.startForward(x.data(), true, true);
        int calls = 1;
        while (!pieces.advanceForward(1))
            ++calls;
        EXPECT_EQ(calls, pieces.forwardItems(true)) << size;
        EXPECT_LE(pieces.forwardItems(true), pieces.forwardItems()) << size;

        ARFFT uneven(size);
        uneven.startForward(x.data(), false, true);
        for (int budget = 1; !uneven.advanceForward(budget); budget = budget * 3 % 101)
        {
        }
        for (int k = 0; k < size; ++k)
        {
            const Complex want = whole.forwardBins()[k];
            EXPECT_EQ(pieces.forwardBins()[k].re, want.re) << size << " " << k;
            EXPECT_EQ(pieces.forwardBins()[k].im, want.im) << size << " " << k;
            if (k > size / 2) continue;
            EXPECT_EQ(uneven.forwardBins()[k].re, want.re) << size << " " << k;
            EXPECT_EQ(uneven.forwardBins()[k].im, want.im) << size << " " << k;
        }
    }
}

TEST(RealFft, InverseWithBinPairsSplitInAnyOrderMatchesInverse)
{
    const int size = 4096;
    const int n = size / 2;
    const std::vector<double> x = randomBlock(size, 17u);
    ARFFT analysis(size);
    analysis.forward(x.data());
    std::vector<Complex> whole(analysis.forwardBins(), analysis.forwardBins() + size);
    std::vector<Complex> parts = whole;
    std::vector<Complex> direct = whole;

    BRFFT a(size);
    BRFFT b(size);
    a.inverse(whole.data());
    // From the middle pair down, in uneven runs, pair 0 last.
    for (int last = n / 2 + 1, first = last; first > 1; last = first)
    {
        first = std::max(1, last - (last % 7 + 1));
        b.splitBins(parts.data(), first, last);
    }
    b.splitBins(parts.data(), 0, 1);
    b.finishInverse(parts.data());
    for (int t = 0; t < size; ++t)
    {
        EXPECT_EQ(b.inverseBins()[t].re, a.inverseBins()[t].re) << t;
        EXPECT_EQ(b.inverseBins()[t].im, 0.0) << t;
    }

    // Straight to scaled real samples: the same values scaleInverse() leaves.
    BRFFT c(size);
    std::vector<double> samples(size);
    c.splitBins(direct.data(), 0, n / 2 + 1);
    c.finishInverseReal(direct.data(), 1.0 / size, samples.data());
    a.scaleInverse();
    for (int t = 0; t < size; ++t)
        EXPECT_EQ(samples[t], a.inverseBins()[t].re) << t;
    EXPECT_NEAR(samples[5], x[5], 1e-12);
}

// The convolver's response transform: one step for short blocks, eight groups of stepped
// ones for long blocks, single precision either way; the zero-padded block's spectrum in the
// ring's rows (chunks of real parts then imaginary parts, bin 0 carrying DC and Nyquist), in
// as many steps as it says, whatever another instance's transform of the same size did in
// between.
TEST(SlicedRealFft, StepsGiveTheZeroPaddedSpectrumAtEverySize)
{
    for (int size : {4, 16, 256, 1024, 2048, 4096, 8192})
    {
        const int n = size / 2;
        const int width = std::min(n, 16);
        // Single precision rounds each of the log2 size passes to about 6e-8.
        constexpr double tolerance = 1e-6;
        CAlignedBuffer<double> x(static_cast<size_t>(size));
        const std::vector<double> values = randomBlock(n, 23u);
        std::copy(values.begin(), values.end(), x.data());
        std::vector<double> padded(x.data(), x.data() + size);
        const std::vector<Complex> want = dft(padded);

        CSlicedRealFft first(size, width);
        CSlicedRealFft second(size, width);
        EXPECT_EQ(first.steps(), size <= CSlicedRealFft::kWholeUpTo ? 1 : 8) << size;
        std::vector<float> rows(static_cast<size_t>(size));
        std::vector<float> other(static_cast<size_t>(size));
        // One from floats written in place, step by step, the other from doubles at once.
        for (int i = 0; i < n; ++i)
            first.input()[i] = static_cast<float>(x[static_cast<size_t>(i)]);
        for (int s = 0; s < first.steps(); ++s)
        {
            first.forwardStep(s, rows.data());
            second.forward(x.data(), other.data());
        }
        EXPECT_EQ(rows, other) << size;
        double peak = 0.0;
        for (const Complex& c : want)
            peak = std::max(peak, std::hypot(c.re, c.im));
        for (int k = 0; k < n; ++k)
        {
            const size_t at = static_cast<size_t>(2 * (k / width) * width + k % width);
            const Complex got{rows[at], rows[at + static_cast<size_t>(width)]};
            // Bin 0's imaginary part is bin N's real part; both bins are real.
            const Complex expected =
                k == 0 ? Complex{want[0].re, want[static_cast<size_t>(n)].re}
                       : want[static_cast<size_t>(k)];
            ASSERT_NEAR(got.re, expected.re, tolerance * peak) << size << " " << k;
            ASSERT_NEAR(got.im, expected.im, tolerance * peak) << size << " " << k;
        }
    }
}

// The short blocks' transforms: the zero-padded forward transform against the DFT, the
// inverse back to the samples with the caller's scale, both to single precision, and a
// transform unchanged by another one of the same size (the plans and tables are shared).
TEST(WholeRealFft, ForwardAndInverseMatchTheDftToSinglePrecision)
{
    for (int size : {4, 256, 2048})
    {
        const int n = size / 2;
        const auto [x, want, peak] = paddedBlock(size, 31u);

        CWholeRealFft fft(size);
        CWholeRealFft other(size);
        std::vector<Complex> bins(static_cast<size_t>(n + 1));
        std::vector<Complex> scratch(static_cast<size_t>(n + 1));
        const std::vector<double> noise = randomBlock(size, 32u);
        other.forwardPadded(noise.data(), scratch.data());
        fft.forwardPadded(x.data(), bins.data());
        for (int k = 0; k <= n; ++k)
        {
            ASSERT_NEAR(bins[k].re, want[k].re, 1e-6 * peak) << size << " " << k;
            ASSERT_NEAR(bins[k].im, want[k].im, 1e-6 * peak) << size << " " << k;
        }

        // The inverse of the exact spectrum, ignoring the imaginary parts of bins 0 and N.
        std::vector<Complex> exact(want.begin(), want.begin() + n + 1);
        exact[0].im = 5.0;
        exact[static_cast<size_t>(n)].im = -5.0;
        std::vector<double> back(static_cast<size_t>(size));
        other.inverse(scratch.data(), 1.0, back.data());
        fft.inverse(exact.data(), 1.0 / size, back.data());
        for (int t = 0; t < size; ++t)
            ASSERT_NEAR(back[t], x[t], 1e-6) << size << " " << t;
    }
}

// The long blocks' transforms, both directions, against the DFT to single precision, at sizes
// run in quarters (4096 and 8192 points) and at one short enough for a single call (256); run a
// step at a time, interleaved with another transform of the same size, they must give what
// they give at once, and a forward transform after an inverse one on the same object as well.
TEST(SteppedRealFft, StepsMatchTheDftToSinglePrecisionBothWays)
{
    // Quarters at 4096 and 8192 points, one call at 256 and, asked for, at 4096, next to a
    // transform of the same size in quarters.
    const int oneCall = CSteppedRealFft::kOneCallUpTo;
    for (const auto& [size, upTo] : {std::pair{256, oneCall}, std::pair{4096, oneCall},
                                     std::pair{4096, 4096}, std::pair{8192, oneCall}})
    {
        const int n = size / 2;
        const auto [x, want, peak] = paddedBlock(size, 51u);

        CSteppedRealFft stepped(size, upTo);
        CSteppedRealFft atOnce(size, upTo);
        CSteppedRealFft other(size);
        ASSERT_GE(stepped.steps(), 6) << size;
        const std::vector<double> noise = randomBlock(size, 52u);
        std::vector<Complex> bins(static_cast<size_t>(n + 1));
        std::vector<Complex> whole(static_cast<size_t>(n + 1));
        std::vector<Complex> scratch(static_cast<size_t>(n + 1));
        // Forward by shares of its time, the inverse below step by step.
        stepped.startForward(x.data(), bins.data());
        other.startForward(noise.data(), scratch.data());
        for (int s = 1; s <= 10; ++s)
        {
            EXPECT_FALSE(stepped.finished());
            stepped.advanceToShare(s / 10.0);
            other.advanceToShare(s / 10.0);
        }
        EXPECT_TRUE(stepped.finished());
        atOnce.startForward(x.data(), whole.data());
        atOnce.finish();
        for (int k = 0; k <= n; ++k)
        {
            ASSERT_NEAR(bins[k].re, want[k].re, 1e-6 * peak) << size << " " << k;
            ASSERT_NEAR(bins[k].im, want[k].im, 1e-6 * peak) << size << " " << k;
            ASSERT_EQ(bins[k].re, whole[k].re);
            ASSERT_EQ(bins[k].im, whole[k].im);
        }

        // Into rows, the ring's layout, step by step and at once: the very floats of the bins.
        for (int width : {8, 16, 32})
        {
            std::vector<float> rows(static_cast<size_t>(size));
            std::vector<float> rowsAtOnce(static_cast<size_t>(size), -1.0f);
            for (int i = 0; i < n; ++i)
                stepped.input()[i] = atOnce.input()[i] = static_cast<float>(x[i]);
            stepped.startForwardToRows(rows.data(), width);
            for (int s = 1; s <= stepped.steps(); ++s)
                stepped.advanceTo(s);
            atOnce.startForwardToRows(rowsAtOnce.data(), width);
            atOnce.finish();
            ASSERT_EQ(rows, rowsAtOnce) << size << " " << width;
            for (int k = 0; k < n; ++k)
            {
                const size_t at = static_cast<size_t>(2 * (k / width) * width + k % width);
                const Complex bin = k == 0 ? Complex{whole[0].re, whole[n].re} : whole[k];
                ASSERT_EQ(rows[at], static_cast<float>(bin.re)) << size << " " << width << " " << k;
                ASSERT_EQ(rows[at + width], static_cast<float>(bin.im))
                    << size << " " << width << " " << k;
            }
        }

        // Back from the exact spectrum, whose bins 0 and N carry imaginary parts to ignore.
        std::vector<Complex> exact(want.begin(), want.begin() + n + 1);
        exact[0].im = 3.0;
        exact[static_cast<size_t>(n)].im = -3.0;
        std::vector<double> back(static_cast<size_t>(size));
        std::vector<double> backAtOnce(static_cast<size_t>(size));
        std::vector<double> junk(static_cast<size_t>(size));
        stepped.startInverse(exact.data(), 1.0 / size, back.data());
        other.startInverse(scratch.data(), 1.0, junk.data());
        for (int s = 1; s <= stepped.steps(); ++s)
        {
            stepped.advanceTo(s);
            other.advanceTo(s);
        }
        atOnce.startInverse(exact.data(), 1.0 / size, backAtOnce.data());
        atOnce.finish();
        for (int t = 0; t < size; ++t)
        {
            ASSERT_NEAR(back[t], x[t], 1e-6) << size << " " << t;
            ASSERT_EQ(back[t], backAtOnce[t]);
        }

        // A forward transform after an inverse one pads with zeros again, not with what the
        // inverse left behind.
        stepped.startForward(x.data(), bins.data());
        stepped.finish();
        for (int k = 0; k <= n; ++k)
        {
            ASSERT_EQ(bins[k].re, whole[k].re) << size << " " << k;
            ASSERT_EQ(bins[k].im, whole[k].im) << size << " " << k;
        }
    }
}
