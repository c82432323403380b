// SPDX-License-Identifier: GPL-3.0-or-later
#include "binding/FastMath.h"
#include "binding/LogParameter.h"
#include "binding/PeakParameter.h"
#include "binding/VoltOctaveParameter.h"

#include "pluginterfaces/base/ustring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

using namespace Steinberg;
using namespace Steinberg::Vst;
using namespace Steinberg::Vst::Davu2VOV3;

namespace
{

std::u16string text(const Parameter& parameter, ParamValue normalized)
{
    String128 string{};
    parameter.toString(normalized, string);
    return std::u16string(reinterpret_cast<const char16_t*>(string));
}

const TChar* wide(const char16_t* s)
{
    return reinterpret_cast<const TChar*>(s);
}

LogParameter makeLog(double min, double max, double defaultPlain = 0.0)
{
    return LogParameter(wide(u"Level"), 3, wide(u"dB"), min, max, defaultPlain, 0,
                        ParameterInfo::kCanAutomate, 0);
}

VoltOctaveParameter makeVoltOctave(double min, double max, double defaultPlain = 20.0)
{
    return VoltOctaveParameter(wide(u"Cutoff"), 4, wide(u"Hz"), min, max, defaultPlain, 0,
                               ParameterInfo::kCanAutomate, 0);
}

} // namespace

TEST(FastMath, PowerOfTwoIsExactAtSmallIntegersAndFloorsAtMinus126)
{
    EXPECT_EQ(fastPow2(0.0f), 1.0f);
    EXPECT_EQ(fastPow2(1.0f), 2.0f);
    EXPECT_EQ(fastPow2(-200.0f), fastPow2(-126.0f));
    EXPECT_GT(fastPow2(-126.0f), 0.0f);
    EXPECT_NEAR(fastPow2(0.5f), std::sqrt(2.0f), 1e-4f);
    EXPECT_NEAR(fastPow2(-3.25f), std::exp2(-3.25f), 1e-5f);
}

TEST(FastMath, PowerOfTwoSaturatesInsteadOfOverflowing)
{
    EXPECT_TRUE(std::isinf(fastPow2(128.0f)));
    EXPECT_TRUE(std::isinf(fastPow2(1e9f)));
    EXPECT_TRUE(std::isfinite(fastPow2(127.9f)));
    EXPECT_TRUE(std::isnan(fastPow2(NAN)));
}

TEST(FastMath, LogarithmFollowsLog2)
{
    for (float x : {0.01f, 0.5f, 1.0f, 3.0f, 1000.0f, 1e6f})
        EXPECT_NEAR(fastLog2(x), std::log2(x), 2e-4f) << x;
}

TEST(PeakParameter, ShowsDecibelsAndMinusInfinityAtTheFloor)
{
    PeakParameter peak(ParameterInfo::kIsReadOnly, 7, wide(u"Peak"));
    EXPECT_EQ(text(peak, 1.0), u"0.000");
    EXPECT_EQ(text(peak, 0.5), u"-6.021");
    EXPECT_EQ(text(peak, 0.1), u"-20.000");
    EXPECT_EQ(text(peak, 0.00011), u"-79.172");
    EXPECT_EQ(text(peak, 0.0001), u"-\u221E");
    EXPECT_EQ(text(peak, 0.0), u"-\u221E");
}

TEST(PeakParameter, StartsAtOneWithDefaultHalfAndIgnoresTyping)
{
    PeakParameter peak(ParameterInfo::kIsReadOnly, 7, wide(u"Peak"));
    const ParameterInfo& info = peak.getInfo();
    EXPECT_EQ(info.id, 7u);
    EXPECT_EQ(info.flags, ParameterInfo::kIsReadOnly);
    EXPECT_EQ(info.stepCount, 0);
    EXPECT_EQ(info.unitId, 0);
    EXPECT_EQ(info.defaultNormalizedValue, 0.5);
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(info.title)), u"Peak");
    EXPECT_EQ(peak.getNormalized(), 1.0);

    ParamValue value = 0.25;
    EXPECT_FALSE(peak.fromString(wide(u"-6"), value));
    EXPECT_EQ(value, 0.25);
}

TEST(LogParameter, NormalisesOnATwoPointFourDecadeCurve)
{
    const LogParameter log = makeLog(0.0, 100.0);
    EXPECT_NEAR(log.toNormalized(0.0), 0.0039811, 1e-7);
    EXPECT_NEAR(log.toNormalized(50.0), 0.0630957, 1e-6);
    EXPECT_EQ(log.toNormalized(100.0), 1.0);
}

TEST(LogParameter, PlainValuesFollowTheCurveWithoutClamping)
{
    const LogParameter log = makeLog(0.0, 100.0);
    EXPECT_EQ(log.toPlain(0.0), 0.0);
    EXPECT_NEAR(log.toPlain(0.1), 58.3333, 1e-4);
    EXPECT_NEAR(log.toPlain(0.5), 87.4571, 1e-4);
    EXPECT_EQ(log.toPlain(1.0), 100.0);
    EXPECT_NEAR(log.toPlain(0.001), -25.0, 1e-5);
}

TEST(LogParameter, ConstructorStoresTextsAndTheTaperedDefault)
{
    const LogParameter log = makeLog(0.0, 100.0, 50.0);
    const ParameterInfo& info = log.getInfo();
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(info.title)), u"Level");
    EXPECT_EQ(std::u16string(reinterpret_cast<const char16_t*>(info.units)), u"dB");
    EXPECT_EQ(info.id, 3u);
    EXPECT_EQ(info.flags, ParameterInfo::kCanAutomate);
    EXPECT_NEAR(info.defaultNormalizedValue, 0.0630957, 1e-6);
    EXPECT_EQ(log.getNormalized(), info.defaultNormalizedValue);
    EXPECT_EQ(log.getPrecision(), 4);
}

TEST(LogParameter, EmptyRangeGivesNoNaN)
{
    const LogParameter log = makeLog(5.0, 5.0, 5.0);
    EXPECT_TRUE(std::isfinite(log.getNormalized()));
    EXPECT_EQ(log.toPlain(0.7), 5.0);
}

TEST(VoltOctaveParameter, NormalisesExponentiallyWithoutClamping)
{
    const VoltOctaveParameter vo = makeVoltOctave(20.0, 20000.0);
    EXPECT_EQ(vo.toNormalized(20000.0), 1.0);
    EXPECT_NEAR(vo.toNormalized(20.0), 0.0, 1e-6);
    EXPECT_NEAR(vo.toNormalized(632.456), 0.5, 1e-4);
    EXPECT_NEAR(vo.toNormalized(10.0), -0.1003, 1e-4);
    EXPECT_NEAR(vo.toNormalized(40000.0), 1.1003, 1e-4);
}

TEST(VoltOctaveParameter, PlainValuesComeFromTheFastPowerOfTwo)
{
    const VoltOctaveParameter vo = makeVoltOctave(20.0, 20000.0);
    EXPECT_EQ(vo.toPlain(0.0), 20.0);
    EXPECT_NEAR(vo.toPlain(0.5), 632.44, 0.05);
    EXPECT_NEAR(vo.toPlain(1.0), 19998.9, 0.5);
    EXPECT_NE(vo.toPlain(1.0), 20000.0);
}

TEST(VoltOctaveParameter, RangeWithoutPositiveMinimumFallsBackToLinear)
{
    const VoltOctaveParameter vo = makeVoltOctave(0.0, 100.0, 25.0);
    EXPECT_EQ(vo.getNormalized(), 0.25);
    EXPECT_EQ(vo.toPlain(0.5), 50.0);
    const VoltOctaveParameter empty = makeVoltOctave(30.0, 30.0, 30.0);
    EXPECT_EQ(empty.getNormalized(), 0.0);
}

TEST(TaperedParameterText, PrintsThePlainValueAtThePrecision)
{
    LogParameter log = makeLog(0.0, 100.0);
    EXPECT_EQ(text(log, 1.0), u"100.0000");
    log.setPrecision(2);
    EXPECT_EQ(text(log, 0.5), u"87.46");
    log.setPrecision(0);
    EXPECT_EQ(text(log, 0.1), u"58");

    VoltOctaveParameter vo = makeVoltOctave(20.0, 20000.0);
    vo.setPrecision(1);
    EXPECT_EQ(text(vo, 0.0), u"20.0");
}

TEST(TaperedParameterText, SteppedParametersStillPrintFixedPoint)
{
    LogParameter log(wide(u"Steps"), 1, nullptr, 0.0, 100.0, 0.0, 4, 0, 0);
    log.setPrecision(1);
    EXPECT_EQ(text(log, 1.0), u"100.0");
    EXPECT_EQ(log.getInfo().units[0], 0);
}

TEST(TaperedParameterText, ParsesNumbersThroughTheTaper)
{
    const LogParameter log = makeLog(0.0, 100.0);
    const VoltOctaveParameter vo = makeVoltOctave(20.0, 20000.0);

    ParamValue value = 0.5;
    EXPECT_FALSE(log.fromString(wide(u"loud"), value));
    EXPECT_EQ(value, 0.5);
    EXPECT_FALSE(vo.fromString(wide(u"abc"), value));
    EXPECT_EQ(value, 0.5);

    EXPECT_TRUE(log.fromString(wide(u"50"), value));
    EXPECT_NEAR(value, 0.0630957, 1e-6);
    EXPECT_TRUE(vo.fromString(wide(u" +632.456 Hz"), value));
    EXPECT_NEAR(value, 0.5, 1e-4);

    for (const char16_t* million : {u"1000000", u"1e6", u"1E+06"})
    {
        value = 0.0;
        EXPECT_TRUE(log.fromString(wide(million), value));
        EXPECT_GT(value, 1.0);
        value = 0.0;
        EXPECT_TRUE(vo.fromString(wide(million), value));
        EXPECT_GT(value, 1.0);
    }
}

TEST(TaperedParameterText, RejectsNonFiniteNumbers)
{
    const LogParameter log = makeLog(0.0, 100.0);
    ParamValue value = 0.5;
    for (const char16_t* bad : {u"nan", u"inf", u"-infinity", u"1e999", u"+-3", u""})
    {
        EXPECT_FALSE(log.fromString(wide(bad), value));
        EXPECT_EQ(value, 0.5);
    }
}
