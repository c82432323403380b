// SPDX-License-Identifier: GPL-3.0-or-later
// What a listener hears of the room: no clicks when a control moves, and output that is
// exactly the same once a change has settled.

#include "room/Halvane.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

CPlugIn* createPlugIn()
{
    return new CHalvane();
}

namespace
{
constexpr double kPi = 3.14159265358979323846;

std::unique_ptr<CHalvane> makeRoom(uint32_t rate = 44100)
{
    auto room = std::make_unique<CHalvane>();
    room->sampleRate = rate;
    room->onCreated();
    room->prepare();
    return room;
}

// Eighth-order Butterworth high-pass, four biquad sections (bilinear transform).
class HighPass
{
public:
    HighPass(double cutoff, double rate)
    {
        const double w = 2.0 * kPi * cutoff / rate;
        for (int k = 0; k < 4; ++k)
        {
            const double q = 1.0 / (2.0 * std::cos(kPi * (2 * k + 1) / 16.0));
            const double alpha = std::sin(w) / (2.0 * q);
            const double a0 = 1.0 + alpha;
            Section& s = sections[k];
            s.b0 = (1.0 + std::cos(w)) / 2.0 / a0;
            s.b1 = -(1.0 + std::cos(w)) / a0;
            s.b2 = s.b0;
            s.a1 = -2.0 * std::cos(w) / a0;
            s.a2 = (1.0 - alpha) / a0;
        }
    }
    double operator()(double x)
    {
        for (Section& s : sections)
        {
            const double y = s.b0 * x + s.z1;
            s.z1 = s.b1 * x - s.a1 * y + s.z2;
            s.z2 = s.b2 * x - s.a2 * y;
            x = y;
        }
        return x;
    }

private:
    struct Section
    {
        double b0 = 0, b1 = 0, b2 = 0, a1 = 0, a2 = 0, z1 = 0, z2 = 0;
    };
    Section sections[4];
};

// Energy above 4 kHz relative to all the energy of both ears, in dB, in the loudest of the
// 0.1 s windows from frame `from` on: a click is heard against the sound around it.
double clickLevel(const std::vector<float>& left, const std::vector<float>& right, size_t from,
                  double rate)
{
    const size_t window = static_cast<size_t>(0.1 * rate);
    const size_t frames = left.size();
    std::vector<double> high(frames, 0.0);
    std::vector<double> all(frames, 0.0);
    for (const std::vector<float>* ear : {&left, &right})
    {
        HighPass filter(4000.0, rate);
        for (size_t t = 0; t < frames; ++t)
        {
            const double y = filter((*ear)[t]);
            high[t] += y * y;
            all[t] += double((*ear)[t]) * (*ear)[t];
        }
    }
    double worst = -400.0;
    for (size_t start = from; start + window <= frames; start += window / 2)
    {
        double h = 0.0;
        double a = 0.0;
        for (size_t t = start; t < start + window; ++t)
        {
            h += high[t];
            a += all[t];
        }
        worst = std::max(worst, 10.0 * std::log10(h / a + 1e-300));
    }
    return worst;
}

struct Step
{
    const char* what;
    uint32_t control;
    float from;
    float to;
};

struct Take
{
    std::vector<float> left;
    std::vector<float> right;
};

// A 200 Hz sine (a quieter one a quarter period later on the right), faded in gently; the
// control steps at `change`.
Take renderStep(const Step& step, size_t change, size_t frames, double rate = 44100.0)
{
    auto room = makeRoom(static_cast<uint32_t>(rate));
    room->setControlValue(step.control, step.from);
    Take take{std::vector<float>(frames), std::vector<float>(frames)};
    const size_t fadeIn = static_cast<size_t>(0.1 * rate);
    for (size_t t = 0; t < frames; ++t)
    {
        if (t == change) room->setControlValue(step.control, step.to);
        const double phase = 2.0 * kPi * 200.0 * t / rate;
        const double fade = t < fadeIn ? 0.5 - 0.5 * std::cos(kPi * t / fadeIn) : 1.0;
        const float in[2] = {static_cast<float>(0.5 * fade * std::sin(phase)),
                             static_cast<float>(0.3 * fade * std::cos(phase))};
        float out[2];
        room->processFrame(in, out, 2, 2);
        take.left[t] = out[0];
        take.right[t] = out[1];
    }
    return take;
}

constexpr double kRate = 44100.0;
constexpr size_t kChange = 13230;  // 0.3 s
constexpr size_t kMeasured = 11025; // from 0.25 s
constexpr size_t kFrames = 92610;   // 2.1 s: the tail stage's last partition has turned over
constexpr double kLimit = -60.0;
} // namespace

TEST(Clicks, EveryControlStepOnASineStaysBelowSixtyDecibelsAboveFourKilohertz)
{
    const Step steps[] = {
        {"Position Center to R90", CHalvane::kPosition, 0.0f, 10.0f},
        {"Vol L-R 1 to 0", CHalvane::kVolLR, 1.0f, 0.0f},
        {"Vol F-B 1 to 0", CHalvane::kVolFB, 1.0f, 0.0f},
        {"Vol C-F 1 to 0", CHalvane::kVolCF, 1.0f, 0.0f},
        {"Abs L-R 0 to 14", CHalvane::kAbsLR, 0.0f, 14.0f},
        {"Abs F-B 0 to 14", CHalvane::kAbsFB, 0.0f, 14.0f},
        {"Abs C-F 0 to 14", CHalvane::kAbsCF, 0.0f, 14.0f},
        {"Decay Type hyperbolic to exponential", CHalvane::kDecayType, 1.0f, 0.0f},
        {"Stereo to Mono", CHalvane::kStereoMono, 0.0f, 1.0f},
        {"Gain 0.5 to 1", CHalvane::kGain, 0.5f, 1.0f},
    };
    for (const Step& step : steps)
    {
        const Take take = renderStep(step, kChange, kFrames);
        const double level = clickLevel(take.left, take.right, kMeasured, kRate);
        EXPECT_LT(level, kLimit) << step.what;
        std::printf("  %-40s %7.1f dB above 4 kHz\n", step.what, level);
    }
}

TEST(Clicks, TheMeasureHearsAHardStepAndNotASteadySine)
{
    // Without a change the sine's reverberation is clean; the same output with its gain
    // switched in one sample is a click the measure must catch.
    const Step none = {"nothing", CHalvane::kGain, 0.5f, 0.5f};
    Take take = renderStep(none, kChange, kFrames);
    EXPECT_LT(clickLevel(take.left, take.right, kMeasured, kRate), -120.0);
    for (size_t t = kChange; t < kFrames; ++t)
    {
        take.left[t] *= 0.5f;
        take.right[t] *= 0.5f;
    }
    EXPECT_GT(clickLevel(take.left, take.right, kMeasured, kRate), kLimit + 10.0);
}

TEST(Clicks, SettledOutputAfterAChangeIsExactlyThatOfTheNewSettings)
{
    // One room starts with the settings, the other reaches them while running: once every
    // partition has turned over and the glides are done, they agree bit for bit.
    auto fresh = makeRoom();
    auto changed = makeRoom();
    const struct
    {
        uint32_t control;
        float value;
    } settings[] = {{CHalvane::kPosition, 3.0f}, {CHalvane::kVolFB, 0.4f},
                    {CHalvane::kAbsCF, 11.0f},   {CHalvane::kGain, 0.8f},
                    {CHalvane::kStereoMono, 1.0f}, {CHalvane::kLeftRight, 1.0f}};
    for (const auto& s : settings)
        fresh->setControlValue(s.control, s.value);
    const size_t change = 3000;
    const size_t settled = change + 36 * 2048 + 256;
    uint32_t state = 12345u;
    size_t differing = 0;
    for (size_t t = 0; t < settled + 5000; ++t)
    {
        if (t == change)
            for (const auto& s : settings)
                changed->setControlValue(s.control, s.value);
        state = state * 1664525u + 1013904223u;
        const float x = static_cast<float>(state >> 8) / 16777216.0f - 0.5f;
        const float in[2] = {x, 0.5f * x * x};
        float a[2];
        float b[2];
        fresh->processFrame(in, a, 2, 2);
        changed->processFrame(in, b, 2, 2);
        if (t >= settled)
        {
            ASSERT_EQ(a[0], b[0]) << t;
            ASSERT_EQ(a[1], b[1]) << t;
        }
        else if (t > change && a[0] != b[0])
        {
            ++differing;
        }
    }
    EXPECT_GT(differing, 0u);
}

namespace
{
struct RoomFigures
{
    double itd = 0.0;    // seconds, left ear later than right is positive
    double t30 = 0.0;    // seconds
    double endsAt = 0.0; // seconds after the impulse, where the response falls silent
};

// Interaural delay of the direct sound: the lag of the cross-correlation peak within +-1 ms
// over the first 4 ms from the first arrival, refined by a parabola through the peak.
double interauralDelay(const std::vector<float>& left, const std::vector<float>& right,
                       double rate)
{
    double peak = 0.0;
    for (size_t t = 0; t < left.size(); ++t)
        peak = std::max({peak, std::fabs(double(left[t])), std::fabs(double(right[t]))});
    size_t onset = 0;
    while (onset < left.size() &&
           std::max(std::fabs(left[onset]), std::fabs(right[onset])) < 0.01 * peak)
        ++onset;
    const size_t from = onset > size_t(0.001 * rate) ? onset - size_t(0.001 * rate) : 0;
    const size_t to = std::min(left.size(), onset + size_t(0.004 * rate));
    const int maxLag = static_cast<int>(0.001 * rate);
    std::vector<double> xc(static_cast<size_t>(2 * maxLag + 1), 0.0);
    for (int lag = -maxLag; lag <= maxLag; ++lag)
    {
        double sum = 0.0;
        for (size_t t = from; t < to; ++t)
        {
            const long u = static_cast<long>(t) + lag;
            if (u >= 0 && static_cast<size_t>(u) < right.size()) sum += double(left[u]) * right[t];
        }
        xc[static_cast<size_t>(lag + maxLag)] = sum;
    }
    size_t best = 1;
    for (size_t i = 1; i + 1 < xc.size(); ++i)
        if (xc[i] > xc[best]) best = i;
    const double a = xc[best - 1], b = xc[best], c = xc[best + 1];
    const double shift = (a - c) / (2.0 * (a - 2.0 * b + c));
    return (static_cast<double>(best) - maxLag + shift) / rate;
}

// Reverberation time from the backward-integrated energy of both ears, -5 to -35 dB, by a
// least-squares line.
double reverberationTime(const std::vector<float>& left, const std::vector<float>& right,
                         double rate)
{
    std::vector<double> decay(left.size());
    double sum = 0.0;
    for (size_t t = left.size(); t-- > 0;)
    {
        sum += double(left[t]) * left[t] + double(right[t]) * right[t];
        decay[t] = sum;
    }
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    for (size_t t = 0; t < decay.size(); ++t)
    {
        const double db = 10.0 * std::log10(decay[t] / decay[0] + 1e-300);
        if (db > -5.0 || db < -35.0) continue;
        const double x = t / rate;
        n += 1;
        sx += x;
        sy += db;
        sxx += x * x;
        sxy += x * db;
    }
    const double slope = (n * sxy - sx * sy) / (n * sxx - sx * sx);
    return -60.0 / slope;
}

// The responses the room reads at a rate, L90 with the axes summed and undamped.
struct Ears
{
    std::vector<float> left;
    std::vector<float> right;
};

Ears l90Responses(const CResponseSet& set, size_t length)
{
    Ears e{std::vector<float>(length), std::vector<float>(length)};
    for (int axis = 0; axis < 3; ++axis)
        for (size_t t = 0; t < length; ++t)
        {
            e.left[t] += static_cast<float>(set.responseFor(5, axis, 0)[t]);
            e.right[t] += static_cast<float>(set.responseFor(5, axis, 1)[t]);
        }
    return e;
}

// The decay, the length and the interaural delay of what the room reads at a rate, whose
// whole length the stages must cover (the convolution itself is checked elsewhere).
RoomFigures measureResponses(int rate, std::vector<std::shared_ptr<const CResponseSet>>& keep)
{
    const CRoomLayout layout = CRoomLayout::forRate(rate);
    // Each stage starts where the one before ends, and the last covers the response.
    int end = 0;
    for (int i = 0; i < layout.stageCount; ++i)
    {
        EXPECT_EQ(layout.stages[i].start, end) << rate << " stage " << i;
        end += layout.stages[i].length;
    }
    EXPECT_GE(end, layout.naturalLength) << rate;
    const auto set = CResponseSet::forRate(rate, layout.responseLength);
    EXPECT_EQ(set->rate(), rate);
    keep.push_back(set);
    const Ears ears = l90Responses(*set, static_cast<size_t>(layout.naturalLength));
    RoomFigures f;
    f.itd = interauralDelay(ears.left, ears.right, rate);
    f.t30 = reverberationTime(ears.left, ears.right, rate);
    double peak = 0.0;
    for (size_t t = 0; t < ears.left.size(); ++t)
        peak = std::max(peak, std::fabs(double(ears.left[t])) + std::fabs(double(ears.right[t])));
    size_t last = ears.left.size();
    while (last > 0 && std::fabs(ears.left[last - 1]) + std::fabs(ears.right[last - 1]) < 1e-7 * peak)
        --last;
    f.endsAt = static_cast<double>(last) / rate;
    return f;
}

// The interaural delay of the room's own output at L90 (exponential, Abs 0); the room must
// read the responses given, which the process shares at that rate.
double roomInterauralDelay(uint32_t rate, const CResponseSet* shared)
{
    auto room = makeRoom(rate);
    EXPECT_EQ(&room->responses(), shared) << rate;
    room->setControlValue(CHalvane::kPosition, 5.0f);
    room->setControlValue(CHalvane::kDecayType, 0.0f);
    for (uint32_t abs : {CHalvane::kAbsLR, CHalvane::kAbsFB, CHalvane::kAbsCF})
        room->setControlValue(abs, 0.0f);
    const size_t latency = static_cast<size_t>(room->layout().latency());
    const size_t direct = static_cast<size_t>(0.03 * rate);
    std::vector<float> left(direct);
    std::vector<float> right(direct);
    for (size_t t = 0; t < latency + direct; ++t)
    {
        const float in[2] = {t == 0 ? 1.0f : 0.0f, t == 0 ? 1.0f : 0.0f};
        float out[2];
        room->processFrame(in, out, 2, 2);
        if (t >= latency)
        {
            left[t - latency] = out[0];
            right[t - latency] = out[1];
        }
    }
    return interauralDelay(left, right, rate);
}
} // namespace

TEST(SampleRates, TheRoomKeepsItsDelaysDecayAndLengthInSecondsAtEveryRate)
{
    // Kept, so the rooms below find them made (and shared) rather than resample again.
    std::vector<std::shared_ptr<const CResponseSet>> sets;
    const RoomFigures own = measureResponses(44100, sets);
    std::printf("  44100 Hz: ITD at L90 %.1f us, T30 %.3f s, ends at %.3f s\n", own.itd * 1e6,
                own.t30, own.endsAt);
    ASSERT_GT(std::fabs(own.itd), 400e-6);
    ASSERT_GT(own.t30, 1.0);
    ASSERT_GT(own.endsAt, 1.5);
    for (int rate : {48000, 88200, 96000, 192000})
    {
        const RoomFigures f = measureResponses(rate, sets);
        std::printf("  %6d Hz: ITD at L90 %.1f us, T30 %.3f s, ends at %.3f s\n", rate,
                    f.itd * 1e6, f.t30, f.endsAt);
        EXPECT_NEAR(f.itd, own.itd, 0.03 * std::fabs(own.itd)) << rate;
        EXPECT_NEAR(f.t30, own.t30, 0.05 * own.t30) << rate;
        EXPECT_GE(f.endsAt, own.endsAt - 0.001) << rate;
    }
    // And what the room plays: the same delay at its own rate and at the two common ones,
    // from the very responses measured above.
    const double ownRoom = roomInterauralDelay(44100, sets.front().get());
    EXPECT_NEAR(ownRoom, own.itd, 0.01 * std::fabs(own.itd));
    for (uint32_t rate : {48000u, 96000u})
    {
        const CResponseSet* measured = nullptr;
        for (const auto& set : sets)
            if (set->rate() == static_cast<int>(rate)) measured = set.get();
        const double itd = roomInterauralDelay(rate, measured);
        std::printf("  %6u Hz: the room's ITD at L90 %.1f us\n", rate, itd * 1e6);
        EXPECT_NEAR(itd, ownRoom, 0.03 * std::fabs(ownRoom)) << rate;
    }
}

TEST(SampleRates, RatesTooHighToResampleForPlayTheBankTapForTap)
{
    const int rate = CResponseSet::kMaxRate * 2;
    auto room = makeRoom(static_cast<uint32_t>(rate));
    EXPECT_EQ(room->responses().rate(), CResponseSet::kBankRate);
    EXPECT_EQ(room->layout().responseLength, 69632);
    EXPECT_EQ(room->layout().latency(), 255);
    // Still sound, and finite.
    float peak = 0.0f;
    for (int t = 0; t < 2000; ++t)
    {
        const float in[2] = {t == 0 ? 1.0f : 0.0f, 0.0f};
        float out[2];
        room->processFrame(in, out, 2, 2);
        ASSERT_TRUE(std::isfinite(out[0])) << t;
        peak = std::max(peak, std::fabs(out[0]));
    }
    EXPECT_GT(peak, 0.0f);
}
