// SPDX-License-Identifier: GPL-3.0-or-later
#include "room/DelayLine.h"
#include "room/PartitionedConvolver.h"
#include "room/ResponseBank.h"
#include "room/SpectralRing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <utility>
#include <vector>

namespace
{
constexpr int kLength = 69632;
constexpr int kRate = 44100;
// The ring holds its spectra in single precision: the output stays within this of the
// exact convolution (relative to the signal's peak), and one ring sum within
// kRingRounding per partition of the exact one.
constexpr double kExact = 1e-6;
constexpr double kPi = 3.14159265358979323846;
constexpr double kRingRounding = 3e-7;

struct Stage
{
    int segmentLength;
    int blockSize;
    int segmentStart;
    int partitions() const { return segmentLength / blockSize; }
};
constexpr Stage kHead{4096, 128, 0};
constexpr Stage kTail{65536, 2048, 4096};

std::unique_ptr<CPartitionedConvolver> makeConvolver(const Stage& s, int ear)
{
    return std::make_unique<CPartitionedConvolver>(0, kRate, ear, kLength, s.segmentLength,
                                                   s.blockSize, s.segmentStart);
}

// Envelope k hyperbolic where bit k of curves is set, exponential elsewhere.
void setCurves(CDecayEnvelope (&three)[3], int curves, const double abs[3], double rate)
{
    for (int k = 0; k < 3; ++k)
        three[k].set((curves >> k) & 1 ? CDecayEnvelope::kHyperbolic : CDecayEnvelope::kExponential,
                     abs[k], rate);
}

std::vector<double> noise(size_t count, unsigned seed, double scale = 1.0)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> dist(-scale, scale);
    std::vector<double> v(count);
    for (double& x : v)
        x = dist(rng);
    return v;
}

// Six response arrays in slot order; all silent until a test writes them.
struct Responses
{
    std::vector<double> slots[CPartitionedConvolver::kSlotCount];
    Responses()
    {
        for (auto& s : slots)
            s.assign(kLength, 0.0);
    }
    const double* const* pointers()
    {
        for (int i = 0; i < CPartitionedConvolver::kSlotCount; ++i)
            ptr[i] = slots[i].data();
        return ptr;
    }
    const double* ptr[CPartitionedConvolver::kSlotCount] = {};
};

// Makes the convolver use the first left slot as it stands: envelope 1, other axes off.
void useRawFirstSlot(CPartitionedConvolver& c)
{
    c.setAllDecays(0.0, 0.0, 0.0, kRate, 0);
    c.setGains(1.0, 0.0, 0.0);
}

std::vector<double> run(CPartitionedConvolver& c, const std::vector<double>& input, size_t total)
{
    std::vector<double> out(total);
    for (size_t t = 0; t < total; ++t)
    {
        c.process(t < input.size() ? input[t] : 0.0);
        out[t] = c.output();
    }
    return out;
}

double peakOf(const std::vector<double>& v)
{
    double p = 0.0;
    for (double x : v)
        p = std::max(p, std::fabs(x));
    return p;
}

// Two left-ear convolvers of one stage on the same three noise responses (written into r),
// shaped alike.
std::pair<std::unique_ptr<CPartitionedConvolver>, std::unique_ptr<CPartitionedConvolver>>
shapedTwins(const Stage& s, Responses& r, unsigned seed)
{
    for (int axis = 0; axis < 3; ++axis)
        r.slots[axis] = noise(kLength, seed + static_cast<unsigned>(axis), 0.5);
    auto twins = std::make_pair(makeConvolver(s, 0), makeConvolver(s, 0));
    for (auto* c : {twins.first.get(), twins.second.get()})
    {
        c->loadResponses(r.pointers());
        c->setAllDecays(3.0, 5.0, 7.0, kRate, 1);
        c->setGains(0.9, 0.6, 0.3);
    }
    return twins;
}

double exponential(double a, int n)
{
    return std::exp(-(n * a) / kRate);
}
} // namespace

// The ring as P slots of N bins, straight from its definition.
struct SlotMajorRing
{
    SlotMajorRing(int size, int block) : input(size), ir(size), size(size), block(block) {}
    Complex accumulate(int a, Complex u, Complex h)
    {
        const int mask = size - 1;
        input[a & mask] = u;
        ir[a & mask] = h;
        Complex s;
        for (int k = 0; k < size / block; ++k)
        {
            const Complex x = input[(a + size - k * block) & mask];
            const Complex y = ir[((a & (block - 1)) + block + k * block) & mask];
            if ((a & (block - 1)) == 0)
                s = s + Complex{x.re * y.re, x.im * y.im};
            else
                s = s + x * y;
        }
        return s;
    }
    std::vector<Complex> input;
    std::vector<Complex> ir;
    int size;
    int block;
};

TEST(SpectralRing, PairsEachInputBlockWithTheSamePartitionAsTheSlotLayout)
{
    // Partition counts below, at and above the ring's summation width.
    const struct
    {
        int size;
        int block;
    } cases[] = {{16, 8}, {64, 8}, {4096, 128}};
    std::mt19937 rng(3u);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (const auto& c : cases)
    {
        CSpectralRing ring(c.size, c.block);
        SlotMajorRing reference(c.size, c.block);
        std::uniform_int_distribution<int> jump(0, 4 * c.size);
        int a = 0;
        for (int call = 0; call < 6 * c.size; ++call)
        {
            // Mostly in order, as the convolver calls it, with jumps now and then.
            a = call % 7 == 6 ? jump(rng) : a + 1;
            const Complex u{value(rng), value(rng)};
            const Complex h{value(rng), value(rng)};
            ring.accumulate(a, u, h);
            const Complex want = reference.accumulate(a, u, h);
            const double scale = c.size / c.block;
            ASSERT_NEAR(ring.result().re, want.re, kRingRounding * scale) << c.size << " " << call;
            ASSERT_NEAR(ring.result().im, want.im, kRingRounding * scale) << c.size << " " << call;
        }
    }
}

// Whole chunks of sixteen bins, as the convolver hands them over, take a path of their own.
TEST(SpectralRing, WholeChunksOfBinsPairLikeTheSlotLayout)
{
    constexpr int kChunk = 16;
    constexpr int kBlock = 64;
    std::mt19937 rng(5u);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    for (const int partitions : {1, 4, 32})
    {
        const int size = partitions * kBlock;
        CSpectralRing ring(size, kBlock);
        SlotMajorRing reference(size, kBlock);
        for (int a = 0; a < 3 * size; a += kChunk)
        {
            Complex u[kChunk], h[kChunk], sums[kChunk];
            for (int i = 0; i < kChunk; ++i)
            {
                u[i] = {value(rng), value(rng)};
                h[i] = {value(rng), value(rng)};
            }
            // Now and then a slot keeps the response it holds.
            const bool keep = a >= size && a % (3 * kChunk) == kChunk;
            ring.accumulateRun(a, kChunk, u, keep ? nullptr : h, sums);
            for (int i = 0; i < kChunk; ++i)
            {
                const Complex held = reference.ir[static_cast<size_t>((a + i) % size)];
                const Complex want = reference.accumulate(a + i, u[i], keep ? held : h[i]);
                ASSERT_NEAR(sums[i].re, want.re, kRingRounding * partitions) << a + i;
                ASSERT_NEAR(sums[i].im, want.im, kRingRounding * partitions) << a + i;
            }
        }
    }
}

// A long ring takes its blocks in pairs, the second block's older sums read with the first's.
// Over whole rounds, with responses replaced with and without a fade in either block of a pair
// (partition 0 among them), every block's sums must be those of a ring taking blocks one by one.
// Whole blocks go in with one call, as several chunks, against one call per chunk.
TEST(SpectralRing, PairedBlocksGiveTheSumsOfSingleOnes)
{
    constexpr int kChunk = CSpectralRing::kChunk;
    constexpr int kBlock = 4 * kChunk;
    constexpr int kPartitions = 20;
    constexpr int kSize = kPartitions * kBlock;
    std::mt19937 rng(17u);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    CSpectralRing single(kSize, kBlock);
    CSpectralRing whole(kSize, kBlock);
    CSpectralRing paired(kSize, kBlock);
    std::vector<float> carry(2 * kBlock);
    for (int block = 0; block < 3 * kPartitions + 1; ++block)
    {
        // Fresh responses in two blocks of three, faded from the second round on.
        const bool fresh = block % 3 != 2;
        const bool fade = fresh && block >= kPartitions && (block / 2) % 2 == 0;
        Complex u[kBlock];
        float h[2 * kBlock];
        float f[2 * kBlock];
        for (Complex& v : u)
            v = {value(rng), value(rng)};
        for (float& v : h)
            v = static_cast<float>(value(rng));
        for (float& v : f)
            v = static_cast<float>(value(rng));
        const int index = (block % kPartitions) * kBlock;
        Complex want[kBlock];
        Complex all[kBlock];
        Complex got[kBlock];
        for (int first = 0; first < kBlock; first += kChunk)
            single.accumulateRows(index + first, kChunk, u + first, fresh ? h + 2 * first : nullptr,
                                  want + first, fade ? f + 2 * first : nullptr);
        whole.accumulateRows(index, kBlock, u, fresh ? h : nullptr, all, fade ? f : nullptr);
        paired.accumulatePairedRows(index, kBlock, u, fresh ? h : nullptr, got, fade ? f : nullptr,
                                    carry.data(), block % 2 == 1);
        for (int i = 0; i < kBlock; ++i)
        {
            ASSERT_EQ(all[i].re, want[i].re) << block << " " << i;
            ASSERT_EQ(all[i].im, want[i].im) << block << " " << i;
            ASSERT_NEAR(got[i].re, want[i].re, kRingRounding * kPartitions) << block << " " << i;
            ASSERT_NEAR(got[i].im, want[i].im, kRingRounding * kPartitions) << block << " " << i;
        }
    }
}

TEST(SpectralRing, RunsOfBinsGiveTheSameSumsAsSingleBins)
{
    constexpr int kSize = 256;
    constexpr int kBlock = 16;
    std::mt19937 rng(9u);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    CSpectralRing single(kSize, kBlock);
    CSpectralRing runs(kSize, kBlock);
    std::uniform_int_distribution<int> length(1, 5);
    for (int a = 0; a < 5 * kSize;)
    {
        // Runs stay within one slot.
        const int count = std::min(length(rng), kBlock - (a & (kBlock - 1)));
        Complex u[5];
        Complex h[5];
        Complex sums[5];
        for (int i = 0; i < count; ++i)
        {
            u[i] = {value(rng), value(rng)};
            h[i] = {value(rng), value(rng)};
        }
        runs.accumulateRun(a, count, u, h, sums);
        for (int i = 0; i < count; ++i)
        {
            single.accumulate(a + i, u[i], h[i]);
            ASSERT_EQ(sums[i].re, single.result().re) << a + i;
            ASSERT_EQ(sums[i].im, single.result().im) << a + i;
        }
        EXPECT_EQ(runs.result().re, sums[count - 1].re);
        a += count;
    }
}

// A replaced response's fade adds (old - new) x the faded input, old and new as the ring
// holds them in single precision, so that the fade ends exactly on what is stored. With a
// silent input the sums are that term alone, for runs of any length and start.
TEST(SpectralRing, FadeTermsUseTheStoredSpectra)
{
    constexpr int kBlock = 32;
    std::mt19937 rng(13u);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::uniform_int_distribution<int> length(1, 16);
    CSpectralRing ring(kBlock, kBlock);
    Complex silence[kBlock] = {};
    Complex before[kBlock], after[kBlock], faded[kBlock], sums[kBlock];
    for (int b = 0; b < kBlock; ++b)
    {
        before[b] = {value(rng), value(rng)};
        after[b] = {value(rng), value(rng)};
        faded[b] = {value(rng), value(rng)};
    }
    // Runs of any length, then whole chunks (a path of their own) on a second ring.
    ring.accumulateRun(0, kBlock, silence, before, sums);
    for (int b = 0; b < kBlock;)
    {
        const int count = std::min(length(rng), kBlock - b);
        ring.accumulateRunFading(b, count, silence + b, after + b, sums + b, faded + b);
        b += count;
    }
    CSpectralRing chunked(kBlock, kBlock);
    Complex chunkSums[kBlock];
    chunked.accumulateRun(0, kBlock, silence, before, chunkSums);
    for (int b = 0; b < kBlock; b += 16)
        chunked.accumulateRunFading(b, 16, silence + b, after + b, chunkSums + b, faded + b);
    // In single precision throughout, as the spectra are stored.
    const auto stored = [](double v) { return static_cast<float>(v); };
    for (int b = 0; b < kBlock; ++b)
    {
        const float dr = stored(before[b].re) - stored(after[b].re);
        const float di = stored(before[b].im) - stored(after[b].im);
        const float ur = stored(faded[b].re);
        const float ui = stored(faded[b].im);
        // Bin 0 carries (DC, Nyquist): each part on its own.
        const float wantRe = b == 0 ? ur * dr : ur * dr - ui * di;
        const float wantIm = b == 0 ? ui * di : ur * di + ui * dr;
        ASSERT_EQ(sums[b].re, double(wantRe)) << b;
        ASSERT_EQ(sums[b].im, double(wantIm)) << b;
        ASSERT_EQ(chunkSums[b].re, double(wantRe)) << b;
        ASSERT_EQ(chunkSums[b].im, double(wantIm)) << b;
    }
}

TEST(DelayLine, DelaysByExactlyTheGivenSamplesAndResetEmptiesIt)
{
    CDelayLine line(kRate, 256, 0.0, 100.0);
    const std::vector<double> x = noise(1000, 1u);
    for (size_t t = 0; t < x.size(); ++t)
    {
        line.push(x[t]);
        EXPECT_EQ(line.output(), t >= 256 ? x[t - 256] : 0.0) << t;
    }
    line.reset(256, 0.0, 100.0);
    for (int t = 0; t < 256; ++t)
    {
        line.push(0.0);
        EXPECT_EQ(line.output(), 0.0) << t;
    }
}

TEST(PartitionedConvolver, StagesDelayAnImpulseResponseByTwoBlocksLessOne)
{
    const struct
    {
        Stage stage;
        int latency;
    } cases[] = {{kHead, 255}, {kTail, 4095}};
    for (const auto& c : cases)
    {
        Responses r;
        r.slots[0][c.stage.segmentStart] = 1.0;
        auto conv = makeConvolver(c.stage, 0);
        conv->loadResponses(r.pointers());
        useRawFirstSlot(*conv);
        EXPECT_EQ(conv->latency(), c.latency);

        const std::vector<double> x = noise(3 * c.stage.blockSize, 2u);
        const std::vector<double> y = run(*conv, x, x.size() + c.latency + 10);
        for (size_t t = 0; t < y.size(); ++t)
        {
            const double expected =
                t >= size_t(c.latency) && t - c.latency < x.size() ? x[t - c.latency] : 0.0;
            ASSERT_NEAR(y[t], expected, kExact) << "latency " << c.latency << " t " << t;
        }
    }
}

TEST(PartitionedConvolver, TailBehindTheDelayLineStartsWhereTheHeadEnds)
{
    Responses r;
    r.slots[0][4096] = 1.0;
    auto tail = makeConvolver(kTail, 0);
    tail->loadResponses(r.pointers());
    useRawFirstSlot(*tail);
    CDelayLine delay(kRate, 256, 0.0, 100.0);

    const std::vector<double> x = noise(500, 3u);
    for (size_t t = 0; t < 4351 + x.size() + 10; ++t)
    {
        tail->process(t < x.size() ? x[t] : 0.0);
        delay.push(tail->output());
        const double expected = t >= 4351 && t - 4351 < x.size() ? x[t - 4351] : 0.0;
        ASSERT_NEAR(delay.output(), expected, kExact) << t;
    }
}

TEST(PartitionedConvolver, HeadPlusDelayedTailIsTheFullConvolution)
{
    Responses r;
    r.slots[0] = noise(kLength, 4u);
    auto head = makeConvolver(kHead, 0);
    auto tail = makeConvolver(kTail, 0);
    for (auto* c : {head.get(), tail.get()})
    {
        c->loadResponses(r.pointers());
        useRawFirstSlot(*c);
    }
    CDelayLine delay(kRate, 256, 0.0, 100.0);

    const std::vector<double> x = noise(2500, 5u);
    const size_t total = x.size() + kLength + 255 + 5;
    std::vector<double> y(total);
    for (size_t t = 0; t < total; ++t)
    {
        const double in = t < x.size() ? x[t] : 0.0;
        head->process(in);
        tail->process(in);
        delay.push(tail->output());
        y[t] = head->output() + delay.output();
    }

    const std::vector<double>& h = r.slots[0];
    std::vector<double> expected(total, 0.0);
    for (size_t j = 0; j < x.size(); ++j)
        for (int n = 0; n < kLength; ++n)
            expected[j + n + 255] += x[j] * h[n];

    const double peak = peakOf(expected);
    double worst = 0.0;
    for (size_t t = 0; t < total; ++t)
        worst = std::max(worst, std::fabs(y[t] - expected[t]));
    EXPECT_LT(worst / peak, kExact);
}

// A long stage that hands its blocks out 256 samples late spreads its inverse transform over
// those samples and joins it to the output in two parts; sample for sample it must be the
// unlagged stage behind a 256-sample delay line, for either ear's schedule.
TEST(PartitionedConvolver, ALaggedStageIsTheStageBehindADelayLine)
{
    Responses r;
    for (int slot = 0; slot < CPartitionedConvolver::kSlotCount; ++slot)
        r.slots[slot] = noise(kLength, 60u + slot);
    for (int ear : {0, 1})
    {
        auto plain = makeConvolver(kTail, ear);
        auto lagged = std::make_unique<CPartitionedConvolver>(
            0, kRate, ear, kLength, kTail.segmentLength, kTail.blockSize, kTail.segmentStart, 256);
        for (auto* c : {plain.get(), lagged.get()})
        {
            c->loadResponses(r.pointers());
            c->setAllDecays(1.0, 2.0, 3.0, kRate, 0);
        }
        ASSERT_EQ(lagged->latency(), plain->latency() + 256);
        CDelayLine delay(kRate, 256, 0.0, 100.0);
        const std::vector<double> x = noise(5 * size_t(kTail.blockSize), 61u + ear);
        double peak = 0.0;
        for (size_t t = 0; t < x.size(); ++t)
        {
            plain->process(x[t]);
            lagged->process(x[t]);
            delay.push(plain->output());
            ASSERT_EQ(lagged->output(), delay.output()) << ear << " t " << t;
            peak = std::max(peak, std::fabs(delay.output()));
        }
        EXPECT_GT(peak, 0.1);
    }
}

TEST(PartitionedConvolver, ZeroGainsSilenceTheOutputOnceTheRingIsRefreshed)
{
    for (const Stage& s : {kHead, kTail})
    {
        Responses r;
        r.slots[0] = noise(kLength, 6u);
        auto conv = makeConvolver(s, 0);
        conv->loadResponses(r.pointers());
        useRawFirstSlot(*conv);

        const size_t change = size_t(10) * s.blockSize;
        // The last partition replaced still hears its handed-over input block one block on.
        const size_t silentFrom = change + size_t(s.partitions() + 3) * s.blockSize;
        const std::vector<double> x = noise(silentFrom + 3 * s.blockSize, 7u);
        bool soundedAfterChange = false;
        for (size_t t = 0; t < x.size(); ++t)
        {
            if (t == change) conv->setGains(0.0, 0.0, 0.0);
            conv->process(x[t]);
            if (t >= change && t < change + 2 * s.blockSize && conv->output() != 0.0)
                soundedAfterChange = true;
            if (t >= silentFrom)
            {
                ASSERT_EQ(conv->output(), 0.0) << "block " << s.blockSize << " t " << t;
            }
        }
        EXPECT_TRUE(soundedAfterChange) << s.blockSize;
    }
}

TEST(PartitionedConvolver, OutOfRangePositionsMapToCenterOrKeepTheResponses)
{
    auto conv = makeConvolver(kHead, 0);
    auto expectPosition = [&](int position)
    {
        for (int ear = 0; ear < 2; ++ear)
            for (int axis = 0; axis < 3; ++axis)
                EXPECT_EQ(conv->slot(ear * 3 + axis),
                          ResponseBank::responseFor(position, axis, ear))
                    << position << " " << ear << " " << axis;
    };
    expectPosition(0);
    conv->loadPosition(3);
    expectPosition(3);
    conv->loadPosition(12);
    expectPosition(3);
    conv->loadPosition(32);
    expectPosition(3);
    conv->loadPosition(40);
    expectPosition(0);
    conv->loadPosition(7);
    conv->loadPosition(-1);
    expectPosition(0);
}

TEST(PartitionedConvolver, ZeroAbsorptionIsHyperbolicSlopeOrFlatExponential)
{
    for (int hyperbolicCurve : {1, 0})
    {
        Responses r;
        const int taps[] = {0, 1000, 4095};
        for (int tap : taps)
            r.slots[1][tap] = 1.0; // left L-R
        auto conv = makeConvolver(kHead, 0);
        conv->loadResponses(r.pointers());
        conv->setAllDecays(0.0, 0.0, 0.0, kRate, hyperbolicCurve);
        conv->setGains(0.0, 1.0, 0.0);

        std::vector<double> x(1, 1.0);
        const std::vector<double> y = run(*conv, x, 4096 + 256);
        for (int tap : taps)
        {
            const double env = hyperbolicCurve ? double(kRate) / (0.07 * tap + kRate) : 1.0;
            EXPECT_DOUBLE_EQ(conv->envelope(1, tap), env);
            EXPECT_NEAR(y[tap + 255], env, kExact) << hyperbolicCurve << " " << tap;
        }
        if (hyperbolicCurve)
        {
            EXPECT_LT(conv->envelope(1, 4095), 0.995);
        }
    }
}

// After any sequence of changes, once every partition has been re-gathered, the convolver
// must sound exactly like one given the fully shaped response up front.
TEST(PartitionedConvolver, IncrementalShapingSettlesOnTheFullyShapedResponse)
{
    for (const Stage& s : {kHead, kTail})
    {
        Responses first;
        Responses second;
        for (int i = 0; i < CPartitionedConvolver::kSlotCount; ++i)
        {
            first.slots[i] = noise(kLength, 20u + i, 0.5);
            second.slots[i] = noise(kLength, 40u + i, 0.5);
        }
        const double gains[3] = {0.8, 0.35, 0.6}; // F-B, L-R, C-F
        const double abs[3] = {2.5, 9.0, 13.5};

        // Right ear: summed L-R, F-B, C-F, the exponential curve after the change.
        Responses full;
        for (int n = s.segmentStart; n < s.segmentStart + s.segmentLength; ++n)
        {
            double h = 0.0;
            for (int axis : {1, 0, 2})
                h += exponential(abs[axis], n) * gains[axis] * second.slots[3 + axis][n];
            full.slots[0][n] = h;
        }

        auto running = makeConvolver(s, 1);
        running->loadResponses(first.pointers());
        running->setAllDecays(1.0, 2.0, 3.0, kRate, 1);
        running->setGains(0.1, 0.9, 0.5);

        auto reference = makeConvolver(s, 0);
        reference->loadResponses(full.pointers());
        useRawFirstSlot(*reference);

        // Changes land mid-block, spread over two blocks.
        const size_t change = size_t(3) * s.blockSize + s.blockSize / 3;
        const size_t settled = change + size_t(s.partitions() + 5) * s.blockSize;
        const std::vector<double> x = noise(settled + 2 * s.blockSize, 9u);
        std::vector<double> a(x.size());
        std::vector<double> b(x.size());
        for (size_t t = 0; t < x.size(); ++t)
        {
            if (t == change)
            {
                running->loadResponses(second.pointers());
                running->setDecayFB(abs[0], kRate, 0);
                running->setDecayLR(abs[1], kRate, 1);
            }
            if (t == change + s.blockSize)
            {
                running->setDecayLR(abs[1], kRate, 0);
                running->setDecayCF(abs[2], kRate, 0);
                running->setGains(gains[0], gains[1], gains[2]);
            }
            running->process(x[t]);
            reference->process(x[t]);
            a[t] = running->output();
            b[t] = reference->output();
        }

        std::vector<double> tail(b.begin() + settled, b.end());
        const double peak = peakOf(tail);
        ASSERT_GT(peak, 0.0);
        for (size_t t = settled; t < x.size(); ++t)
            ASSERT_NEAR(a[t], b[t], 1e-12 * peak) << s.blockSize << " t " << t;
        EXPECT_NE(a[change + s.blockSize], b[change + s.blockSize]);
    }
}

TEST(PartitionedConvolver, NonFiniteSamplesEnterAsSilence)
{
    Responses r;
    r.slots[0] = noise(kLength, 10u);
    auto clean = makeConvolver(kHead, 0);
    auto dirty = makeConvolver(kHead, 0);
    for (auto* c : {clean.get(), dirty.get()})
    {
        c->loadResponses(r.pointers());
        useRawFirstSlot(*c);
    }
    std::vector<double> x = noise(2000, 11u);
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
    for (size_t t = 0; t < x.size() + 4096 + 256; ++t)
    {
        const bool poisoned = t % 97 == 5 && t < x.size();
        const double in = t < x.size() ? x[t] : 0.0;
        clean->process(poisoned ? 0.0 : in);
        dirty->process(poisoned ? bad[t % 3] : in);
        ASSERT_TRUE(std::isfinite(dirty->output())) << t;
        ASSERT_EQ(dirty->output(), clean->output()) << t;
    }
}

// The room hands each stage whole runs of samples and reads the outputs up to the next work
// ahead; that must be the sample-by-sample convolver exactly, poisoned samples included.
TEST(PartitionedConvolver, RunsOfSamplesGiveTheSampleBySampleOutput)
{
    Responses r;
    for (int slot = 0; slot < CPartitionedConvolver::kSlotCount; ++slot)
        r.slots[slot] = noise(kLength, 40u + slot, 0.5);
    const Stage lagged{6 * 512, 512, 1024};
    for (const Stage& s : {kHead, lagged})
    {
        const int lag = s.segmentStart > 0 ? 256 : 0;
        auto single = std::make_unique<CPartitionedConvolver>(0, kRate, 1, kLength, s.segmentLength,
                                                              s.blockSize, s.segmentStart, lag);
        auto runs = std::make_unique<CPartitionedConvolver>(0, kRate, 1, kLength, s.segmentLength,
                                                            s.blockSize, s.segmentStart, lag);
        for (auto* c : {single.get(), runs.get()})
        {
            c->loadResponses(r.pointers());
            c->setAllDecays(2.0, 4.0, 6.0, kRate, 1);
            c->setGains(0.8, 0.5, 0.3);
        }
        ASSERT_TRUE(runs->worksOnGrid());
        std::vector<double> x = noise(6 * size_t(s.segmentLength), 41u);
        for (size_t t = 7; t < x.size(); t += 301)
            x[t] = t % 2 ? std::numeric_limits<double>::infinity()
                         : std::numeric_limits<double>::quiet_NaN();
        constexpr int kRun = CPartitionedConvolver::kWorkEvery;
        std::vector<double> want;
        for (double v : x)
        {
            single->process(v);
            want.push_back(single->output());
        }
        // The first outputs, before any work, are the silent start.
        std::vector<double> got(x.size() + kRun, 0.0);
        ASSERT_EQ(runs->samplesToWork(), kRun);
        for (size_t t = 0; t + kRun <= x.size(); t += kRun)
        {
            runs->processRun(x.data() + t, kRun);
            ASSERT_EQ(runs->samplesToWork(), kRun) << t;
            // Output of the run's last sample, then of the next run's first kRun - 1.
            runs->addOutputs(got.data() + t + kRun - 1, kRun);
        }
        EXPECT_GT(peakOf(want), 0.1);
        for (size_t t = 0; t < want.size(); ++t)
            ASSERT_EQ(got[t], want[t]) << "block " << s.blockSize << " t " << t;
        // Uneven runs, crossing work points, also take the samples as they come.
        auto uneven = std::make_unique<CPartitionedConvolver>(0, kRate, 1, kLength, s.segmentLength,
                                                              s.blockSize, s.segmentStart, lag);
        uneven->loadResponses(r.pointers());
        uneven->setAllDecays(2.0, 4.0, 6.0, kRate, 1);
        uneven->setGains(0.8, 0.5, 0.3);
        size_t t = 0;
        for (int length = 1; t < x.size(); length = length % 37 + 5)
        {
            const int count = static_cast<int>(std::min<size_t>(length, x.size() - t));
            uneven->processRun(x.data() + t, count);
            t += count;
            ASSERT_EQ(uneven->output(), want[t - 1]) << t;
        }
    }
}

TEST(PartitionedConvolver, NonFiniteGainsSilenceTheirAxis)
{
    Responses r;
    for (int axis = 0; axis < 3; ++axis)
        r.slots[axis] = noise(kLength, 20u + axis);
    auto clean = makeConvolver(kHead, 0);
    auto dirty = makeConvolver(kHead, 0);
    for (auto* c : {clean.get(), dirty.get()})
    {
        c->loadResponses(r.pointers());
        c->setAllDecays(0.0, 0.0, 0.0, kRate, 0);
    }
    clean->setGains(0.0, 0.5, 0.0);
    dirty->setGains(std::numeric_limits<double>::quiet_NaN(), 0.5,
                    -std::numeric_limits<double>::infinity());
    const std::vector<double> x = noise(3000, 23u);
    double peak = 0.0;
    for (size_t t = 0; t < x.size(); ++t)
    {
        clean->process(x[t]);
        dirty->process(x[t]);
        ASSERT_TRUE(std::isfinite(dirty->output())) << t;
        ASSERT_EQ(dirty->output(), clean->output()) << t;
        peak = std::max(peak, std::fabs(clean->output()));
    }
    EXPECT_GT(peak, 0.0); // the L-R axis still sounds
}

TEST(PartitionedConvolver, HyperbolicAndExponentialEnvelopesFollowTheAbsoluteTap)
{
    auto tail = makeConvolver(kTail, 0);
    tail->setAllDecays(7.0, 3.0, 14.0, 48000, 1);
    EXPECT_DOUBLE_EQ(tail->envelope(0, 44100), 48000.0 / (44100 * (7.0 * 7.5 + 0.07) + 48000.0));
    tail->setDecayLR(7.0, 48000, 0);
    EXPECT_DOUBLE_EQ(tail->envelope(1, 48000), std::exp(-7.0));
    EXPECT_EQ(tail->curve(0), CDecayEnvelope::kHyperbolic);
    EXPECT_EQ(tail->curve(1), CDecayEnvelope::kExponential);
    EXPECT_EQ(tail->curve(2), CDecayEnvelope::kHyperbolic);
}

// A partition whose settings have not changed since it was last shaped keeps its spectrum in
// the ring instead of being shaped and transformed again: the output must be exactly what
// re-shaping every partition gives, and a change made later must still land in full.
TEST(PartitionedConvolver, UnchangedPartitionsKeepTheirSpectraAndChangesStillLand)
{
    for (const Stage& s : {kHead, kTail})
    {
        Responses r;
        auto [quiet, busy] = shapedTwins(s, r, 60u);
        const size_t cycle = size_t(s.partitions()) * s.blockSize;
        const size_t change = 2 * cycle + s.blockSize / 2;
        const std::vector<double> x = noise(4 * cycle, 61u);
        size_t compared = 0;
        for (size_t t = 0; t < x.size(); ++t)
        {
            // The responses loaded again at every block start: every partition is shaped anew.
            if (t % s.blockSize == 0) busy->loadResponses(r.pointers());
            if (t == change)
                for (auto* c : {quiet.get(), busy.get()})
                    c->setGains(0.2, 0.6, 0.3);
            quiet->process(x[t]);
            busy->process(x[t]);
            // Until the change and from a whole cycle after it both hold the same spectra.
            if (t < change || t >= change + cycle + 2 * s.blockSize)
            {
                ASSERT_EQ(quiet->output(), busy->output()) << "block " << s.blockSize << " t " << t;
                ++compared;
            }
        }
        EXPECT_GT(compared, 2 * cycle);
        EXPECT_GT(peakOf(run(*quiet, {}, s.blockSize)), 0.0);
    }
}

// Hosts may send a control's unchanged value every block. The same gains and decays again
// change nothing, so no partition is read and shaped again: a convolver that gets them every
// block keeps playing the responses it read, even once the caller has written new samples
// into the arrays without loading them, exactly as a twin that got no calls at all. Loading
// them, or a real change, still reaches both.
TEST(PartitionedConvolver, UnchangedSettingsSentAgainReadNothingAgain)
{
    for (const Stage& s : {kHead, kTail})
    {
        Responses r;
        auto [resent, untouched] = shapedTwins(s, r, 70u);
        const size_t cycle = size_t(s.partitions()) * s.blockSize;
        const std::vector<double> x = noise(4 * cycle, 71u);
        double differs = 0.0;
        for (size_t t = 0; t < x.size(); ++t)
        {
            // Written over once the first round is in, never loaded until two rounds later.
            if (t == cycle)
                for (int axis = 0; axis < 3; ++axis)
                {
                    const std::vector<double> other = noise(kLength, 80u + axis, 0.5);
                    std::copy(other.begin(), other.end(), r.slots[axis].begin());
                }
            if (t % s.blockSize == 0 && t < 3 * cycle)
            {
                resent->setAllDecays(3.0, 5.0, 7.0, kRate, 1);
                resent->setDecayLR(5.0, kRate, 1);
                resent->setGains(0.9, 0.6, 0.3);
            }
            if (t == 3 * cycle)
            {
                resent->loadResponses(r.pointers());
                untouched->setGains(0.9, 0.6, 0.2);
            }
            resent->process(x[t]);
            untouched->process(x[t]);
            if (t < 3 * cycle)
                ASSERT_EQ(resent->output(), untouched->output())
                    << "block " << s.blockSize << " t " << t;
            else
                differs = std::max(differs, std::fabs(resent->output() - untouched->output()));
        }
        EXPECT_GT(differs, 0.01) << "block " << s.blockSize;
    }
}

// Every block size runs the same schedule (input transform over the block's first quarter,
// the ring catching up over the rest, response transforms in slices): the output must be
// the plain convolution of the segment for small and large blocks, and for partition counts
// that are not powers of two.
TEST(PartitionedConvolver, EveryBlockSizeGivesTheSegmentsConvolution)
{
    const Stage stages[] = {{16, 4, 0}, {64, 8, 8}, {192, 32, 100}, {4096, 512, 1000}};
    for (const Stage& s : stages)
    {
        Responses r;
        r.slots[0] = noise(kLength, 70u + s.blockSize);
        auto conv = makeConvolver(s, 0);
        conv->loadResponses(r.pointers());
        useRawFirstSlot(*conv);

        const std::vector<double> x = noise(size_t(5) * s.segmentLength + 3, 71u);
        const int lag = conv->latency();
        const std::vector<double> y = run(*conv, x, x.size() + s.segmentLength + lag);
        std::vector<double> expected(y.size(), 0.0);
        for (size_t j = 0; j < x.size(); ++j)
            for (int n = 0; n < s.segmentLength && j + n + lag < expected.size(); ++n)
                expected[j + n + lag] += x[j] * r.slots[0][s.segmentStart + n];

        const double peak = peakOf(expected);
        double worst = 0.0;
        for (size_t t = 0; t < y.size(); ++t)
            worst = std::max(worst, std::fabs(y[t] - expected[t]));
        EXPECT_LT(worst / peak, kExact) << "block " << s.blockSize;
    }
}

// The partitions replaced in one round of the ring take over across one input block: the
// output must be the old response heard on the input faded out along a raised cosine over
// that block plus the new response on the input faded in, computed here directly.
TEST(PartitionedConvolver, AChangedResponseTakesOverAcrossOneInputBlock)
{
    // Short blocks transform whole, long ones in steps: both derive the faded input's spectrum.
    const struct
    {
        int block;
        int partitions;
    } cases[] = {{128, 1}, {128, 4}, {2048, 2}};
    for (const auto& c : cases)
    {
        const int block = c.block;
        const int partitions = c.partitions;
        const Stage s{partitions * block, block, 0};
        Responses r;
        r.slots[0] = noise(kLength, 31u);
        r.slots[1] = noise(kLength, 32u);
        auto conv = makeConvolver(s, 0);
        conv->loadResponses(r.pointers());
        conv->setAllDecays(0.0, 0.0, 0.0, kRate, 0);
        conv->setGains(1.0, 0.2, 0.0);
        // Seen at the next block start, where partition 0 is gathered: it enters the ring a
        // block later, paired with the input of the block it was gathered in.
        const size_t handover = size_t(2) * partitions * block;
        const size_t change = handover - block + 40;
        const std::vector<double> x = noise(handover + size_t(3) * s.segmentLength, 33u);
        std::vector<double> y(x.size());
        for (size_t t = 0; t < x.size(); ++t)
        {
            if (t == change) conv->setGains(0.3, 1.0, 0.0);
            conv->process(x[t]);
            y[t] = conv->output();
        }

        const int lag = conv->latency();
        std::vector<double> expected(x.size(), 0.0), hardSwitch(x.size(), 0.0);
        for (size_t j = 0; j < x.size(); ++j)
        {
            double oldShare = j < handover ? 1.0 : 0.0;
            if (j >= handover && j < handover + block)
                oldShare = 0.5 + 0.5 * std::cos(kPi * (double(j - handover) + 0.5) / block);
            for (int n = 0; n < s.segmentLength && j + n + lag < x.size(); ++n)
            {
                const double hOld = r.slots[0][n] + 0.2 * r.slots[1][n];
                const double hNew = 0.3 * r.slots[0][n] + r.slots[1][n];
                expected[j + n + lag] += x[j] * (oldShare * hOld + (1.0 - oldShare) * hNew);
                hardSwitch[j + n + lag] += x[j] * (j < handover ? hOld : hNew);
            }
        }
        const double peak = peakOf(expected);
        double worst = 0.0, fromSwitch = 0.0;
        for (size_t t = 0; t < y.size(); ++t)
        {
            worst = std::max(worst, std::fabs(y[t] - expected[t]));
            fromSwitch = std::max(fromSwitch, std::fabs(hardSwitch[t] - expected[t]));
        }
        EXPECT_LT(worst / peak, kExact) << block << " x " << partitions;
        // The model's fade is one the output can be told apart from a hard switch by.
        EXPECT_GT(fromSwitch / peak, 1e-3) << block << " x " << partitions;
    }
}

// The convolver's runs start anywhere relative to a reseed; each value must stay close to
// the formula however it was reached.
TEST(DecayEnvelope, FillStaysWithinUlpsOfTheFormulaFromAnyStart)
{
    constexpr double kRateHz = 48000.0;
    // The ratio's own rounding, compounded over a reseed interval, reaches about 38.
    constexpr double kUlps = 48.0;
    const int starts[] = {0, 1, 31, 32, 33, 1000, 69631 - 200};
    for (double a : {0.0, 0.5, 7.0, 40.0})
        for (int hyperbolic : {0, 1})
        {
            CDecayEnvelope e;
            e.set(hyperbolic ? CDecayEnvelope::kHyperbolic : CDecayEnvelope::kExponential, a,
                  kRateHz);
            for (int start : starts)
            {
                double v[200];
                e.fill(start, 200, v);
                for (int i = 0; i < 200; ++i)
                {
                    const double n = start + i;
                    const double exact = hyperbolic ? kRateHz / (n * (7.5 * a + 0.07) + kRateHz)
                                                    : std::exp(-n * a / kRateHz);
                    ASSERT_NEAR(v[i], exact, kUlps * std::numeric_limits<double>::epsilon() * exact)
                        << a << " " << hyperbolic << " " << start + i;
                }
            }
        }
    // Together, as the convolver fills its axes: hyperbolic ones share their divisions.
    const double abs[3] = {0.0, 7.0, 40.0};
    for (int curves = 0; curves < 8; ++curves)
    {
        CDecayEnvelope three[3];
        setCurves(three, curves, abs, kRateHz);
        const CDecayEnvelope* envelopes[3] = {&three[0], &three[1], &three[2]};
        for (int count = 1; count <= 3; ++count)
            for (int start : starts)
            {
                double v[3][200];
                double* const values[3] = {v[0], v[1], v[2]};
                CDecayEnvelope::fillEach(envelopes, count, start, 200, values);
                for (int k = 0; k < count; ++k)
                    for (int i = 0; i < 200; ++i)
                    {
                        const double n = start + i;
                        const double exact = (curves >> k) & 1
                                                 ? kRateHz / (n * (7.5 * abs[k] + 0.07) + kRateHz)
                                                 : std::exp(-n * abs[k] / kRateHz);
                        ASSERT_NEAR(v[k][i], exact,
                                    kUlps * std::numeric_limits<double>::epsilon() * exact)
                            << curves << " " << count << " " << k << " " << start + i;
                    }
            }
    }
    CDecayEnvelope unset;
    double v[3] = {1.0, 1.0, 1.0};
    unset.fill(5, 3, v);
    EXPECT_EQ(v[0] + v[1] + v[2], 0.0);
}

// What the weighted sums below are tried on: runs longer than the sums' own, three gains, and
// every mix of the two curves over one to three envelopes from three starts.
constexpr int kSumTaps = 150;
constexpr double kSumGains[3] = {0.8, 0.35, 1.0};

template <class Check> void forEachWeightedSum(Check check)
{
    const double abs[3] = {2.5, 7.0, 13.0};
    for (int curves = 0; curves < 8; ++curves)
        for (int count = 1; count <= 3; ++count)
            for (int start : {0, 31, 40000})
            {
                CDecayEnvelope three[3];
                setCurves(three, curves, abs, 48000.0);
                const CDecayEnvelope* envelopes[3] = {&three[0], &three[1], &three[2]};
                SCOPED_TRACE(testing::Message() << curves << " " << count << " " << start);
                check(envelopes, count, start);
            }
}

// The convolver shapes its partitions with weightedSum: whichever way it takes (all hyperbolic
// in one pass in single precision, or envelope runs then sums in doubles), each tap must be the
// sum of its terms to single precision, from any start and over runs longer than its own.
TEST(DecayEnvelope, WeightedSumIsTheSumOfTheTermsInTheirOrder)
{
    const std::vector<double> x[3] = {noise(kSumTaps, 91u), noise(kSumTaps, 92u),
                                      noise(kSumTaps, 93u)};
    const double* samples[3] = {x[0].data(), x[1].data(), x[2].data()};
    forEachWeightedSum(
        [&](const CDecayEnvelope* const envelopes[3], int count, int start)
        {
            std::vector<float> out(kSumTaps);
            CDecayEnvelope::weightedSum(envelopes, count, samples, kSumGains, start, kSumTaps,
                                        out.data());
            double v[3][kSumTaps];
            double* const values[3] = {v[0], v[1], v[2]};
            CDecayEnvelope::fillEach(envelopes, count, start, kSumTaps, values);
            for (int i = 0; i < kSumTaps; ++i)
            {
                double sum = 0.0, size = 0.0;
                for (int k = 0; k < count; ++k)
                {
                    const double term = v[k][i] * kSumGains[k] * x[k][i];
                    sum += term;
                    size += std::fabs(term);
                }
                // A few roundings of single precision, about 6e-8 each.
                ASSERT_NEAR(out[i], sum, 5e-7 * size) << start + i;
            }
        });
}

// Far beyond what the controls reach (a steep slope deep in a long response, a huge gain) the
// three hyperbolic terms over one denominator would overflow single precision: the sum must
// stay finite and the sum of its terms however the envelopes are set.
TEST(DecayEnvelope, WeightedSumOfExtremeSettingsIsTheSumOfItsTerms)
{
    const std::vector<double> noiseTaps[3] = {noise(kSumTaps, 94u), noise(kSumTaps, 95u),
                                              noise(kSumTaps, 96u)};
    std::vector<float> x[3];
    for (int k = 0; k < 3; ++k)
        x[k].assign(noiseTaps[k].begin(), noiseTaps[k].end());
    const float* floats[3] = {x[0].data(), x[1].data(), x[2].data()};
    const double* doubles[3] = {};
    struct Extreme
    {
        double absorption[3];
        double gains[3];
        int start;
    };
    for (const Extreme& e : {Extreme{{1e12, 7.0, 14.0}, {1.0, 1.0, 1.0}, 300000},
                             Extreme{{1e6, 1e6, 1e6}, {1.0, 0.5, 2.0}, 300000},
                             Extreme{{7.0, 7.0, 7.0}, {1e30, 1.0, 1e-3}, 1000}})
    {
        CDecayEnvelope three[3];
        for (int k = 0; k < 3; ++k)
            three[k].set(CDecayEnvelope::kHyperbolic, e.absorption[k], 192000.0);
        const CDecayEnvelope* envelopes[3] = {&three[0], &three[1], &three[2]};
        std::vector<float> out(kSumTaps);
        CDecayEnvelope::weightedSum(envelopes, 3, doubles, floats, e.gains, e.start, kSumTaps,
                                    out.data());
        for (int i = 0; i < kSumTaps; ++i)
        {
            double sum = 0.0, size = 0.0;
            for (int k = 0; k < 3; ++k)
            {
                const double term = three[k].at(e.start + i) * e.gains[k] * x[k][i];
                sum += term;
                size += std::fabs(term);
            }
            ASSERT_TRUE(std::isfinite(out[i])) << e.absorption[0] << " " << i;
            ASSERT_NEAR(out[i], sum, 5e-7 * size) << e.absorption[0] << " " << i;
        }
    }
}

// Resampled responses are kept as floats: whichever of the envelopes' taps come as floats, the
// sum must be bit for bit the one of doubles that hold the same values, so that a response set's
// precision never changes the sound. Runs longer than the mixed way's own cross its seams.
TEST(DecayEnvelope, FloatSamplesSumAsTheDoublesThatHoldThem)
{
    std::vector<float> f[3];
    std::vector<double> d[3];
    for (int k = 0; k < 3; ++k)
        for (double v : noise(kSumTaps, 94u + static_cast<unsigned>(k)))
        {
            f[k].push_back(static_cast<float>(v));
            d[k].push_back(static_cast<float>(v));
        }
    const double* doubles[3] = {d[0].data(), d[1].data(), d[2].data()};
    forEachWeightedSum(
        [&](const CDecayEnvelope* const envelopes[3], int count, int start)
        {
            std::vector<float> expected(kSumTaps);
            CDecayEnvelope::weightedSum(envelopes, count, doubles, kSumGains, start, kSumTaps,
                                        expected.data());
            for (int asFloats = 1; asFloats < (1 << count); ++asFloats)
            {
                const double* x[3] = {};
                const float* xf[3] = {};
                for (int k = 0; k < count; ++k)
                {
                    if ((asFloats >> k) & 1)
                        xf[k] = f[k].data();
                    else
                        x[k] = d[k].data();
                }
                std::vector<float> out(kSumTaps, -1.0f);
                CDecayEnvelope::weightedSum(envelopes, count, x, xf, kSumGains, start, kSumTaps,
                                            out.data());
                ASSERT_EQ(out, expected) << asFloats;
            }
        });
}
