// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CMeterEnvelope.h"
#include "editor/PolygonHitTest.h"
#include "editor/UnitsText.h"
#include "editor/ViewNameRules.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace
{
using namespace ViewNameRules;

// The envelope recurrence written out independently, in double, for comparison.
double modelCoefficient(double k, double ms, double rate)
{
    return std::exp(k / (ms * rate * 0.001));
}

TEST(MeterEnvelope, StartsSilentAtTheDefaultRate)
{
    CMeterEnvelope env;
    EXPECT_EQ(env.rate, 44100.f);
    EXPECT_EQ(env.envelope, 0.f);
    EXPECT_EQ(env.attackCoef, 0.f);
    EXPECT_FALSE(env.logOutput);
    EXPECT_FALSE(env.analogTimeConstant);
}

TEST(MeterEnvelope, CoefficientsFollowTheTimeConstant)
{
    CMeterEnvelope env;
    env.setup(20.f, 10.f, 500.f, false, CMeterEnvelope::kPeak, false);
    // Digital, 10 ms at 20 redraws a second: practically no smoothing at all.
    EXPECT_NEAR(env.attackCoef, modelCoefficient(std::log(0.01), 10, 20), 1e-12);
    EXPECT_LT(env.attackCoef, 1.1e-10);
    EXPECT_NEAR(env.releaseCoef, modelCoefficient(std::log(0.01), 500, 20), 1e-6);

    env.setup(20.f, 300.f, 1000.f, true, CMeterEnvelope::kPeak, false);
    EXPECT_NEAR(env.attackCoef, modelCoefficient(std::log(0.367), 300, 20), 1e-6);
    EXPECT_NEAR(env.releaseCoef, modelCoefficient(std::log(0.367), 1000, 20), 1e-6);
    EXPECT_TRUE(env.analogTimeConstant);
}

TEST(MeterEnvelope, DigitalAttackReachesTheInputOnTheNextRedraw)
{
    CMeterEnvelope env;
    env.setup(20.f, 10.f, 500.f, false, CMeterEnvelope::kPeak, false);
    EXPECT_NEAR(env.detect(0.8f), 0.8f, 1e-6f);
    EXPECT_NEAR(env.detect(-0.9f), 0.9f, 1e-6f) << "the magnitude is detected";
}

TEST(MeterEnvelope, ReleaseDecaysGeometrically)
{
    CMeterEnvelope env;
    env.setup(20.f, 10.f, 500.f, false, CMeterEnvelope::kPeak, false);
    env.detect(1.f);
    double model = 1.0;
    for (int i = 0; i < 5; ++i)
    {
        model *= env.releaseCoef;
        EXPECT_NEAR(env.detect(0.f), model, 1e-6);
    }
    env.reset();
    EXPECT_EQ(env.envelope, 0.f);
}

TEST(MeterEnvelope, MeanSquareAndRootMeanSquare)
{
    CMeterEnvelope ms;
    ms.setup(20.f, 200.f, 200.f, true, CMeterEnvelope::kMeanSquare, false);
    CMeterEnvelope rms;
    rms.setup(20.f, 200.f, 200.f, true, CMeterEnvelope::kRootMeanSquare, false);
    float msOut = 0, rmsOut = 0;
    for (int i = 0; i < 400; ++i)
    {
        msOut = ms.detect(0.25f);
        rmsOut = rms.detect(0.25f);
    }
    EXPECT_NEAR(msOut, 0.0625f, 1e-6f);
    EXPECT_NEAR(rmsOut, 0.25f, 1e-6f);
    EXPECT_NEAR(rms.envelope, 0.0625f, 1e-6f) << "the stored envelope stays squared";
}

TEST(MeterEnvelope, LogOutputMapsSixtyDecibelsOntoTheRange)
{
    CMeterEnvelope env;
    env.setup(20.f, 10.f, 10.f, false, CMeterEnvelope::kPeak, true);
    EXPECT_NEAR(env.detect(1.f), 1.f, 1e-5f);
    EXPECT_NEAR(env.detect(std::pow(10.f, -30.f / 20.f)), 0.5f, 1e-5f);
    EXPECT_NEAR(env.detect(0.001f), 0.f, 1e-5f);
    EXPECT_EQ(env.detect(1e-5f), 0.f) << "quieter than -60 dB";
    env.reset();
    EXPECT_EQ(env.detect(0.f), 0.f);
}

TEST(MeterEnvelope, ClampsFlushesAndSurvivesNan)
{
    CMeterEnvelope env;
    env.setup(20.f, 10.f, 10000.f, false, CMeterEnvelope::kPeak, false);
    EXPECT_EQ(env.detect(4.f), 1.f);
    EXPECT_EQ(env.envelope, 1.f);

    env.envelope = 1.2e-38f; // normal, but the next step is not
    env.detect(0.f);
    EXPECT_EQ(env.envelope, 0.f) << "a denormal result is flushed";

    env.detect(0.5f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(std::isnan(env.detect(nan)));
    EXPECT_FALSE(std::isnan(env.envelope));
    EXPECT_NEAR(env.detect(0.7f), 0.7f, 1e-6f) << "the meter keeps working afterwards";
}

TEST(DiamondHitTest, CornersAtTheEdgeMidpoints)
{
    const float xs[4] = {0.f, 0.5f, 1.f, 0.5f};
    const float ys[4] = {0.5f, 0.f, 0.5f, 1.f};
    EXPECT_TRUE(insidePolygon(xs, ys, 4, 0.5f, 0.5f));
    EXPECT_TRUE(insidePolygon(xs, ys, 4, 0.3f, 0.4f));
    EXPECT_TRUE(insidePolygon(xs, ys, 4, 0.74f, 0.74f));
    EXPECT_FALSE(insidePolygon(xs, ys, 4, 0.76f, 0.76f));
    for (float corner : {0.f, 1.f})
    {
        EXPECT_FALSE(insidePolygon(xs, ys, 4, corner, corner));
        EXPECT_FALSE(insidePolygon(xs, ys, 4, corner, 1.f - corner));
    }
    EXPECT_FALSE(insidePolygon(xs, ys, 4, 0.5f, 1.2f));
    EXPECT_FALSE(insidePolygon(xs, ys, 4, -0.1f, 0.5f));
}

TEST(UnitsText, TrimsBlanksAroundTheUnit)
{
    EXPECT_EQ(UnitsText::trimmed("  ms \t"), "ms");
    EXPECT_EQ(UnitsText::trimmed("\n dB"), "dB");
    EXPECT_EQ(UnitsText::trimmed(" \t \t"), "");
    EXPECT_EQ(UnitsText::trimmed(""), "");
    EXPECT_EQ(UnitsText::trimmed(nullptr), "");
    EXPECT_EQ(UnitsText::trimmed(" k Hz "), "k Hz") << "inner blanks stay";
}

TEST(UnitsText, AppendsWithOneSpace)
{
    EXPECT_EQ(UnitsText::withSuffix("440", "Hz"), "440 Hz");
    EXPECT_EQ(UnitsText::withSuffix("", "Hz"), " Hz");
    EXPECT_EQ(UnitsText::withSuffix("0.50", ""), "0.50");
}

TEST(AttributeTexts, IntegersAndFlags)
{
    EXPECT_EQ(parseInteger("  42px"), 42);
    EXPECT_EQ(parseInteger("-3"), -3);
    EXPECT_EQ(parseInteger("x1"), 0);
    EXPECT_EQ(parseInteger(""), 0);
    EXPECT_EQ(parseInteger("99999999999999"), INT32_MAX);

    EXPECT_TRUE(parseFlag("true"));
    EXPECT_FALSE(parseFlag("True"));
    EXPECT_FALSE(parseFlag("true "));
    EXPECT_FALSE(parseFlag("1"));
    EXPECT_EQ(bitmapResourceName("knob"), "knob.png");
}

TEST(ViewNames, KickButtonModes)
{
    EXPECT_EQ(kickButtonNotifyMode("VexoKickButtonDU"), 0);
    EXPECT_EQ(kickButtonNotifyMode("VexoKickButtonU"), 1);
    EXPECT_EQ(kickButtonNotifyMode("VexoKickButton"), 1);
    EXPECT_EQ(kickButtonNotifyMode("VexoKickButtonD"), 2);
    EXPECT_EQ(kickButtonNotifyMode("vexokickbutton"), -1);
    EXPECT_EQ(kickButtonNotifyMode("VexoKickButtonX"), -1);
    EXPECT_EQ(kickButtonNotifyMode("MyVexoKickButton"), -1);
}

TEST(ViewNames, AnalogMeterFrames)
{
    AnalogMeterName a = parseAnalogMeterName("AnalogMeterView_H65_Z52");
    EXPECT_EQ(a.frameHeight, 65);
    EXPECT_EQ(a.zeroFrame, 52);
    a = parseAnalogMeterName("InvertedAnalogMeterView_H40_Z3");
    EXPECT_EQ(a.frameHeight, 40);
    EXPECT_EQ(a.zeroFrame, 3);
    a = parseAnalogMeterName("AnalogMeterView");
    EXPECT_EQ(a.frameHeight, 0);
    EXPECT_EQ(a.zeroFrame, 0);
    a = parseAnalogMeterName("AnalogMeterView_Z7_H9");
    EXPECT_EQ(a.frameHeight, 0) << "a height after the rest frame is not read";
    EXPECT_EQ(a.zeroFrame, 7);
}

TEST(ViewNames, SubControllers)
{
    PadControllerName n = parseSubControllerName("VectorJoystick");
    EXPECT_EQ(n.kind, PadControllerName::kVectorJoystick);
    EXPECT_EQ(parseSubControllerName("VectorJoystick2").kind, PadControllerName::kNone);
    EXPECT_EQ(parseSubControllerName("vectorjoystick").kind, PadControllerName::kNone);

    n = parseSubControllerName("Joystick_X5_Y7");
    EXPECT_EQ(n.kind, PadControllerName::kParameterPair);
    EXPECT_EQ(n.xId, 5);
    EXPECT_EQ(n.yId, 7);
    n = parseSubControllerName("TrackPad_X2_Y3");
    EXPECT_EQ(n.kind, PadControllerName::kParameterPair);
    EXPECT_EQ(n.xId, 2);
    EXPECT_EQ(n.yId, 3);

    EXPECT_EQ(parseSubControllerName("Joystick_Y7_X5").kind, PadControllerName::kNone);
    EXPECT_EQ(parseSubControllerName("Joystick_X5").kind, PadControllerName::kNone);
    EXPECT_EQ(parseSubControllerName("TrackPad_Y7_X5").kind, PadControllerName::kNone);
    EXPECT_EQ(parseSubControllerName("Pad_X1_Y2").kind, PadControllerName::kNone);
    // Out of order as a joystick, but a track pad name later in the text still pairs.
    n = parseSubControllerName("Joystick_Y7_TrackPad_X1_Y2");
    EXPECT_EQ(n.kind, PadControllerName::kNone) << "the first _Y still comes before _X";
}
} // namespace
