#include "room/ResponseBank.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

using namespace ResponseBank;

namespace
{
constexpr int kWindow = 4096;
constexpr int kWindows = kResponseLength / kWindow;
const char* const kNames[kPositions] = {"Center", "L22", "L32", "L45", "L64", "L90",
                                        "R22",    "R32", "R45", "R64", "R90"};

bool isLeft(int position)
{
    return position >= 1 && position <= 5;
}
bool isRight(int position)
{
    return position >= 6;
}

// What one ear hears from a position with all three axes at equal volume.
std::vector<double> earSum(int position, int ear)
{
    std::vector<double> sum(kResponseLength, 0.0);
    for (int axis = 0; axis < kAxes; ++axis)
    {
        const double* x = responseFor(position, axis, ear);
        for (int t = 0; t < kResponseLength; ++t)
            sum[t] += x[t];
    }
    return sum;
}

std::vector<double> windowDb(const std::vector<double>& x)
{
    std::vector<double> db;
    for (int w = 0; w < kWindows; ++w)
    {
        double e = 0.0;
        for (int t = w * kWindow; t < (w + 1) * kWindow; ++t)
            e += x[t] * x[t];
        db.push_back(10.0 * std::log10(e));
    }
    return db;
}

int peakTap(const double* x)
{
    return static_cast<int>(std::max_element(x, x + kResponseLength,
                                             [](double a, double b)
                                             { return std::fabs(a) < std::fabs(b); }) -
                            x);
}

int onset(const std::vector<double>& x, double threshold)
{
    for (int t = 0; t < kResponseLength; ++t)
        if (std::fabs(x[t]) >= threshold) return t;
    return kResponseLength;
}
} // namespace

TEST(ResponseBankLayout, StorageRunsFromLastPositionToFirst)
{
    const double* base = data();
    for (int p = 0; p < kPositions; ++p)
        for (int a = 0; a < kAxes; ++a)
            for (int e = 0; e < kEars; ++e)
                EXPECT_EQ(responseFor(p, a, e), base + placeOf(p, a, e) * kResponseLength)
                    << kNames[p] << " axis " << a << " ear " << e;

    // Center: left F-B, L-R, C-F at places 65, 63, 61, right at 64, 62, 60.
    EXPECT_EQ(responseFor(0, 0, 0), base + 65 * kResponseLength);
    EXPECT_EQ(responseFor(0, 2, 0), base + 61 * kResponseLength);
    EXPECT_EQ(responseFor(0, 1, 1), base + 62 * kResponseLength);
    // R90 occupies the front: right C-F is the very first array.
    EXPECT_EQ(responseFor(10, 2, 1), base);
    EXPECT_EQ(responseFor(10, 0, 0), base + 5 * kResponseLength);
    EXPECT_EQ(responseFor(10, 1, 1), base + 2 * kResponseLength);
}

TEST(ResponseBankLayout, ArraysAreDistinctAndAligned)
{
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(data()) % alignof(double), 0u);
    // Each place holds its own response: no two arrays of the bank are identical copies.
    EXPECT_NE(responseFor(0, 0, 0)[400], responseFor(0, 1, 0)[400]);
    EXPECT_NE(responseFor(5, 1, 0)[400], responseFor(10, 1, 1)[400]);
}

TEST(ResponseBankLayout, PositionOutsideTheBankFallsBackToCenter)
{
    EXPECT_EQ(responseFor(-1, 1, 0), responseFor(0, 1, 0));
    EXPECT_EQ(responseFor(11, 2, 1), responseFor(0, 2, 1));
    EXPECT_EQ(responseFor(40, 0, 0), responseFor(0, 0, 0));
}

TEST(ResponseBankValues, EveryValueIsFiniteAndTheLoudestIsAtTheTargetLevel)
{
    const double* x = data();
    double top = 0.0;
    size_t nonFinite = 0;
    for (size_t i = 0; i < static_cast<size_t>(kResponses) * kResponseLength; ++i)
    {
        if (!std::isfinite(x[i]))
            ++nonFinite;
        else
            top = std::max(top, std::fabs(x[i]));
    }
    EXPECT_EQ(nonFinite, 0u);
    EXPECT_NEAR(top, 0.78, 1e-9);
    EXPECT_LT(top, 0.79);
}

TEST(ResponseBankValues, EveryArraySoundsToItsLastTap)
{
    for (int p = 0; p < kPositions; ++p)
        for (int a = 0; a < kAxes; ++a)
            for (int e = 0; e < kEars; ++e)
            {
                const double* x = responseFor(p, a, e);
                double energy = 0.0;
                for (int t = kResponseLength - 256; t < kResponseLength; ++t)
                    energy += x[t] * x[t];
                const double rms = std::sqrt(energy / 256.0);
                // Far below the peak, but a real tail rather than rounding noise.
                EXPECT_GT(rms, 1e-5) << kNames[p] << " axis " << a << " ear " << e;
            }
}

TEST(ResponseBankDecay, EnergyFallsSteadilyByWindow)
{
    for (int p = 0; p < kPositions; ++p)
        for (int e = 0; e < kEars; ++e)
        {
            const std::vector<double> db = windowDb(earSum(p, e));
            const double drop = db.front() - db.back();
            EXPECT_GE(drop, 35.0) << kNames[p] << " ear " << e;
            EXPECT_LE(drop, 39.0) << kNames[p] << " ear " << e;
            EXPECT_NEAR(drop / (kWindows - 1), 2.3, 0.15) << kNames[p] << " ear " << e;
            for (int w = 1; w < kWindows; ++w)
            {
                const double step = db[w - 1] - db[w];
                EXPECT_GT(step, 0.3) << kNames[p] << " ear " << e << " window " << w;
                EXPECT_LT(step, 5.5) << kNames[p] << " ear " << e << " window " << w;
            }
        }
}

TEST(ResponseBankArrival, NearerEarPeaksEarlyOnItsDominantAxis)
{
    for (int p = 0; p < kPositions; ++p)
        for (int e = 0; e < kEars; ++e)
        {
            const bool nearer = p == 0 || (isLeft(p) && e == 0) || (isRight(p) && e == 1);
            if (!nearer) continue;
            int bestTap = 0;
            double best = 0.0;
            for (int a = 0; a < kAxes; ++a)
            {
                const double* x = responseFor(p, a, e);
                const int tap = peakTap(x);
                if (std::fabs(x[tap]) > best)
                {
                    best = std::fabs(x[tap]);
                    bestTap = tap;
                }
            }
            EXPECT_GE(bestTap, 111) << kNames[p] << " ear " << e;
            EXPECT_LE(bestTap, 364) << kNames[p] << " ear " << e;
        }
}

TEST(ResponseBankArrival, SoundReachesTheEarOnTheSourceSideFirst)
{
    for (int p = 0; p < kPositions; ++p)
    {
        const std::vector<double> left = earSum(p, 0);
        const std::vector<double> right = earSum(p, 1);
        const double top = std::max(std::fabs(left[peakTap(left.data())]),
                                    std::fabs(right[peakTap(right.data())]));
        // One threshold for both ears, so a shadowed ear counts as late.
        const int l = onset(left, 0.1 * top);
        const int r = onset(right, 0.1 * top);
        if (p == 0)
            EXPECT_LE(std::abs(l - r), 3) << "Center";
        else if (isLeft(p))
            EXPECT_LT(l, r) << kNames[p];
        else
            EXPECT_LT(r, l) << kNames[p];
    }
}
