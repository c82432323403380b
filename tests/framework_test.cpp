// SPDX-License-Identifier: GPL-3.0-or-later
#include "framework/PlugIn.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace
{
enum Position : uint32_t
{
    kIntPos = 0,
    kFloatPos,
    kDoublePos,
    kUintPos,
    kNonePos,
    kSmoothFloatPos,
    kSmoothDoublePos,
    kPositions
};

class CTestPlugIn : public CPlugIn
{
public:
    CTestPlugIn() { registerControls(); }

    bool registerControls() override
    {
        add(kIntPos, CControlDescriptor::kInt, -5.0f, 5.0f, "m_nOffset");
        controlList.at(kIntPos)->intVariable = &m_nOffset;
        add(kFloatPos, CControlDescriptor::kFloat, 0.0f, 2.0f, "m_fGain");
        controlList.at(kFloatPos)->floatVariable = &m_fGain;
        add(kDoublePos, CControlDescriptor::kDouble, -1.0f, 1.0f, "m_dMix");
        controlList.at(kDoublePos)->doubleVariable = &m_dMix;
        add(kUintPos, CControlDescriptor::kUnsigned, 0.0f, 10.0f, "m_uMode");
        controlList.at(kUintPos)->uintVariable = &m_uMode;
        add(kNonePos, CControlDescriptor::kNone, 0.0f, 1.0f, "");
        add(kSmoothFloatPos, CControlDescriptor::kFloat, 0.0f, 1.0f, "m_fLevel");
        controlList.at(kSmoothFloatPos)->floatVariable = &m_fLevel;
        controlList.at(kSmoothFloatPos)->smoothEnabled = true;
        add(kSmoothDoublePos, CControlDescriptor::kDouble, 0.0f, 1.0f, "m_dWidth");
        controlList.at(kSmoothDoublePos)->doubleVariable = &m_dWidth;
        controlList.at(kSmoothDoublePos)->smoothEnabled = true;
        buildControlIndex();
        return true;
    }

    bool controlChanged(uint32_t controlId) override
    {
        ++changes[controlId];
        return true;
    }

    bool joystickChanged(float wa, float wb, float wc, float wd, float ac, float bd) override
    {
        ++joystickCalls;
        last[0] = wa, last[1] = wb, last[2] = wc, last[3] = wd, last[4] = ac, last[5] = bd;
        return true;
    }

    int changesOf(uint32_t id) const
    {
        auto found = changes.find(id);
        return found == changes.end() ? 0 : found->second;
    }

    int32_t m_nOffset = 0;
    float m_fGain = 0.0f;
    double m_dMix = 0.0;
    uint32_t m_uMode = 0;
    float m_fLevel = 0.0f;
    double m_dWidth = 0.0;
    std::map<uint32_t, int> changes;
    int joystickCalls = 0;
    float last[6] = {};

private:
    void add(uint32_t id, uint32_t type, float minValue, float maxValue, const char* variable)
    {
        CControlDescriptor descriptor;
        descriptor.kind = CControlDescriptor::kKindContinuous;
        descriptor.controlId = id;
        descriptor.dataType = type;
        descriptor.minValue = minValue;
        descriptor.maxValue = maxValue;
        descriptor.setVariableName(variable);
        controlList.appendCopy(descriptor);
    }
};

CControlDescriptor withId(uint32_t id)
{
    CControlDescriptor descriptor;
    descriptor.controlId = id;
    return descriptor;
}

// ---- control list and descriptor ----

TEST(ControlList, AppendCountAtKeepOrder)
{
    CControlList list;
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.at(0), nullptr);
    for (uint32_t id = 0; id < 4; ++id)
    {
        CControlDescriptor* stored = list.appendCopy(withId(id * 10));
        EXPECT_EQ(stored->controlId, id * 10);
    }
    EXPECT_EQ(list.count(), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(list.at(i)->controlId, static_cast<uint32_t>(i * 10));
    EXPECT_EQ(list.at(4), nullptr);
    EXPECT_EQ(list.at(-1), nullptr);
}

TEST(ControlList, RemoveByIdUnlinksFirstMatchOnly)
{
    CControlList list;
    list.appendCopy(withId(1));
    list.appendCopy(withId(2));
    list.appendCopy(withId(3));
    list.appendCopy(withId(2));

    list.removeById(withId(2));
    ASSERT_EQ(list.count(), 3);
    EXPECT_EQ(list.at(0)->controlId, 1u);
    EXPECT_EQ(list.at(1)->controlId, 3u);
    EXPECT_EQ(list.at(2)->controlId, 2u);

    list.removeById(withId(99));
    EXPECT_EQ(list.count(), 3);

    // A node's own descriptor may be passed.
    list.removeById(*list.at(0));
    EXPECT_EQ(list.at(0)->controlId, 3u);

    list.clear();
    EXPECT_EQ(list.count(), 0);
}

TEST(ControlList, CopiesAreDeep)
{
    CControlList list;
    list.appendCopy(withId(5))->setDisplayName("Gain");
    list.appendCopy(withId(6));

    CControlList copy(list);
    CControlList assigned;
    assigned.appendCopy(withId(42));
    assigned = list;
    assigned = assigned;

    list.at(0)->setDisplayName("Changed");
    list.removeById(withId(6));
    for (const CControlList* other : {&copy, &assigned})
    {
        ASSERT_EQ(other->count(), 2);
        EXPECT_STREQ(other->at(0)->displayName, "Gain");
        EXPECT_EQ(other->at(1)->controlId, 6u);
        EXPECT_NE(other->at(0), list.at(0));
    }
}

TEST(ControlDescriptor, DefaultsAreEmpty)
{
    CControlDescriptor descriptor;
    EXPECT_STREQ(descriptor.displayName, "");
    EXPECT_STREQ(descriptor.unitsText, "");
    EXPECT_STREQ(descriptor.variableName, "");
    EXPECT_STREQ(descriptor.enumList, "");
    for (double value : descriptor.presetValues)
        EXPECT_EQ(value, 0.0);
    EXPECT_EQ(descriptor.dataType, CControlDescriptor::kNone);
    EXPECT_EQ(descriptor.meterDetectMode, 2u);
    EXPECT_EQ(descriptor.midiController, 3u);
}

TEST(ControlDescriptor, CopyIsIndependent)
{
    float variable = 0.0f;
    CControlDescriptor source;
    source.controlId = 7;
    source.minValue = -3.0f;
    source.maxValue = 9.0f;
    source.floatVariable = &variable;
    source.presetValues[15] = 0.5;
    source.midiController = 74;
    source.setDisplayName("Gain");
    source.setUnitsText("dB");
    source.setVariableName("m_fGain");
    source.setEnumList("Stereo,Mono");

    CControlDescriptor copy(source);
    CControlDescriptor assigned;
    assigned = source;
    source.setDisplayName("Other");
    source.setEnumList("A,B");

    for (const CControlDescriptor* d : {&copy, &assigned})
    {
        EXPECT_EQ(d->controlId, 7u);
        EXPECT_EQ(d->minValue, -3.0f);
        EXPECT_EQ(d->maxValue, 9.0f);
        EXPECT_EQ(d->floatVariable, &variable);
        EXPECT_EQ(d->presetValues[15], 0.5);
        EXPECT_EQ(d->midiController, 74u);
        EXPECT_STREQ(d->displayName, "Gain");
        EXPECT_STREQ(d->unitsText, "dB");
        EXPECT_STREQ(d->variableName, "m_fGain");
        EXPECT_STREQ(d->enumList, "Stereo,Mono");
    }

    assigned = assigned;
    EXPECT_STREQ(assigned.displayName, "Gain");
}

TEST(ControlDescriptor, LongTextsAreTruncated)
{
    const std::string longText(3000, 'x');
    CControlDescriptor descriptor;
    descriptor.setDisplayName(longText.c_str());
    EXPECT_EQ(std::strlen(descriptor.displayName), 1023u);

    std::memset(descriptor.enumList, 'y', sizeof(descriptor.enumList)); // unterminated
    CControlDescriptor copy(descriptor);
    EXPECT_EQ(std::strlen(copy.displayName), 1023u);
    EXPECT_EQ(std::strlen(copy.enumList), 1023u);

    descriptor.setUnitsText(nullptr);
    EXPECT_STREQ(descriptor.unitsText, "");
}

// ---- plug-in object and table ----

TEST(PlugIn, DefaultsAndIndex)
{
    CTestPlugIn plugIn;
    EXPECT_EQ(plugIn.sampleRate, 44100u);
    EXPECT_STREQ(plugIn.pluginName, "Name Not Set.");
    EXPECT_STREQ(plugIn.buttonNames[2], "B3");
    ASSERT_EQ(plugIn.controlCount, static_cast<uint32_t>(kPositions));
    for (uint32_t i = 0; i < kPositions; ++i)
        EXPECT_EQ(plugIn.controlIndex[i]->controlId, i);
    EXPECT_EQ(plugIn.controlIndex[kPositions], nullptr);
    EXPECT_EQ(plugIn.controlIndex[kPositions + 1], nullptr);
    EXPECT_EQ(plugIn.controlAt(kPositions), nullptr);

    // Rebuilding after another registration reflects the new list.
    plugIn.controlList.appendCopy(withId(kPositions));
    plugIn.buildControlIndex();
    EXPECT_EQ(plugIn.controlCount, static_cast<uint32_t>(kPositions + 1));
    EXPECT_EQ(plugIn.controlIndex[kPositions]->controlId, static_cast<uint32_t>(kPositions));
}

TEST(PlugIn, GetControlValuePerType)
{
    CTestPlugIn plugIn;
    plugIn.m_nOffset = -4;
    plugIn.m_fGain = 1.25f;
    plugIn.m_dMix = 0.1;
    plugIn.m_uMode = 4000000000u;
    EXPECT_EQ(plugIn.getControlValue(kIntPos), -4.0f);
    EXPECT_EQ(plugIn.getControlValue(kFloatPos), 1.25f);
    EXPECT_EQ(plugIn.getControlValue(kDoublePos), 0.1f);
    EXPECT_EQ(plugIn.getControlValue(kUintPos), 4000000000.0f);
    EXPECT_EQ(plugIn.getControlValue(kNonePos), 0.0f);

    CPlugIn bare;
    EXPECT_EQ(bare.getControlValue(0), 0.0f);
    bare.setControlNormalized(0, 0.5f, true); // no index: nothing happens
    bare.setControlValue(0, 0.5f);
}

TEST(PlugIn, BaseOperations)
{
    CPlugIn plugIn;
    EXPECT_TRUE(plugIn.prepare());
    EXPECT_TRUE(plugIn.processFrame(nullptr, nullptr, 2, 2));
    EXPECT_TRUE(plugIn.controlChanged(50));
    EXPECT_TRUE(plugIn.onCreated());
    EXPECT_TRUE(plugIn.registerControls());

    EditorMessage message;
    message.kind = EditorMessage::kWantsOwnEditor;
    EXPECT_EQ(plugIn.handleEditorMessage(&message), 0);
    EXPECT_FALSE(message.wantsOwnEditor);

    CUpdateNode* list = nullptr;
    EXPECT_FALSE(plugIn.collectLinkedUpdates(3, 0.5f, &list, true));
    EXPECT_EQ(list, nullptr);
}

TEST(PlugIn, ReleaseUpdateListFreesAndNullsHead)
{
    CPlugIn plugIn;
    CUpdateNode* list = new CUpdateNode{1, 0.5f, new CUpdateNode{2, 0.25f, nullptr}};
    plugIn.releaseUpdateList(&list); // leaks show up under the sanitizer build
    EXPECT_EQ(list, nullptr);
    plugIn.releaseUpdateList(&list);
    EXPECT_EQ(list, nullptr);
}

TEST(PlugIn, ReceiveHostInfoCopiesTimeOnly)
{
    CPlugIn plugIn;
    HostTimeInfo time;
    time.samplePosition = 4800;
    time.tempo = 120.0;
    HostInfoRecord record;
    record.timeInfo = &time;
    record.count = -1;

    plugIn.receiveHostInfo(kHostInfoMidiEventList, &record);
    EXPECT_EQ(plugIn.hostTimeInfo.samplePosition, 0u);

    plugIn.receiveHostInfo(kHostInfoTime, &record);
    EXPECT_EQ(plugIn.hostTimeInfo.samplePosition, 4800u);
    EXPECT_EQ(plugIn.hostTimeInfo.tempo, 120.0);

    HostInfoRecord empty;
    plugIn.receiveHostInfo(kHostInfoTime, &empty);
    EXPECT_EQ(plugIn.hostTimeInfo.samplePosition, 4800u);
}

// ---- value services ----

TEST(ControlValues, NormalizedRoundingPerType)
{
    CTestPlugIn plugIn;

    plugIn.setControlNormalized(kUintPos, 0.95f, false);
    EXPECT_EQ(plugIn.m_uMode, 10u);
    plugIn.setControlNormalized(kUintPos, 0.04f, false);
    EXPECT_EQ(plugIn.m_uMode, 0u);
    EXPECT_EQ(plugIn.changesOf(kUintPos), 2);
    plugIn.setControlNormalized(kUintPos, 0.01f, false); // still 0
    EXPECT_EQ(plugIn.changesOf(kUintPos), 2);

    plugIn.setControlNormalized(kIntPos, 0.15f, false); // -3.5 rounds up
    EXPECT_EQ(plugIn.m_nOffset, -3);
    plugIn.setControlNormalized(kIntPos, 0.14f, false); // -3.6
    EXPECT_EQ(plugIn.m_nOffset, -4);
    plugIn.setControlNormalized(kIntPos, 0.14f, false);
    EXPECT_EQ(plugIn.changesOf(kIntPos), 3);

    plugIn.setControlNormalized(kFloatPos, 0.25f, false);
    EXPECT_EQ(plugIn.m_fGain, 0.5f);
    plugIn.setControlNormalized(kDoublePos, 0.75f, false);
    EXPECT_EQ(plugIn.m_dMix, 0.5);
    EXPECT_EQ(plugIn.changesOf(kFloatPos), 1);
    EXPECT_EQ(plugIn.changesOf(kDoublePos), 1);

    plugIn.setControlNormalized(kNonePos, 0.5f, false);
    EXPECT_EQ(plugIn.changesOf(kNonePos), 0);
}

TEST(ControlValues, ActualValueTruncatesIntAndRoundsEnum)
{
    CTestPlugIn plugIn;
    plugIn.setControlValue(kIntPos, 2.9f);
    EXPECT_EQ(plugIn.m_nOffset, 2);
    plugIn.setControlValue(kIntPos, -2.9f);
    EXPECT_EQ(plugIn.m_nOffset, -2);
    plugIn.setControlValue(kUintPos, 6.5f);
    EXPECT_EQ(plugIn.m_uMode, 7u);
    plugIn.setControlValue(kUintPos, 7.0f);
    EXPECT_EQ(plugIn.changesOf(kUintPos), 1);
    plugIn.setControlValue(kFloatPos, 1.5f);
    EXPECT_EQ(plugIn.m_fGain, 1.5f);
    plugIn.setControlValue(kDoublePos, -0.25f);
    EXPECT_EQ(plugIn.m_dMix, -0.25);
}

TEST(ControlValues, NormalizedNaNIgnoredAndRangeClamped)
{
    CTestPlugIn plugIn;
    const float nan = std::numeric_limits<float>::quiet_NaN();
    plugIn.m_fGain = 1.0f;
    plugIn.m_nOffset = 1;
    plugIn.m_uMode = 3;
    for (uint32_t position : {kIntPos, kFloatPos, kDoublePos, kUintPos})
        plugIn.setControlNormalized(position, nan, true);
    EXPECT_EQ(plugIn.m_fGain, 1.0f);
    EXPECT_EQ(plugIn.m_nOffset, 1);
    EXPECT_EQ(plugIn.m_uMode, 3u);
    EXPECT_FALSE(std::isnan(plugIn.m_dMix));
    EXPECT_TRUE(plugIn.changes.empty());

    plugIn.setControlNormalized(kUintPos, 7.0f, true);
    EXPECT_EQ(plugIn.m_uMode, 10u);
    plugIn.setControlNormalized(kIntPos, -3.0f, true);
    EXPECT_EQ(plugIn.m_nOffset, -5);
    plugIn.setControlNormalized(kFloatPos, std::numeric_limits<float>::infinity(), true);
    EXPECT_EQ(plugIn.m_fGain, 2.0f);
    plugIn.setControlNormalized(kDoublePos, -1e30f, true);
    EXPECT_EQ(plugIn.m_dMix, -1.0);
}

TEST(ControlValues, ActualValueRejectsNonFiniteAndClamps)
{
    CTestPlugIn plugIn;
    plugIn.m_uMode = 3;
    plugIn.m_fGain = 1.0f;
    plugIn.setControlValue(kUintPos, std::numeric_limits<float>::quiet_NaN());
    plugIn.setControlValue(kFloatPos, std::numeric_limits<float>::infinity());
    plugIn.setControlValue(kIntPos, -std::numeric_limits<float>::infinity());
    EXPECT_EQ(plugIn.m_uMode, 3u);
    EXPECT_EQ(plugIn.m_fGain, 1.0f);
    EXPECT_EQ(plugIn.m_nOffset, 0);
    EXPECT_TRUE(plugIn.changes.empty());

    plugIn.setControlValue(kUintPos, 4e9f);
    EXPECT_EQ(plugIn.m_uMode, 10u);
    plugIn.setControlValue(kUintPos, -7.0f);
    EXPECT_EQ(plugIn.m_uMode, 0u);
    plugIn.setControlValue(kIntPos, 1e20f);
    EXPECT_EQ(plugIn.m_nOffset, 5);
    plugIn.setControlValue(kFloatPos, -4.0f);
    EXPECT_EQ(plugIn.m_fGain, 0.0f);
    plugIn.setControlValue(kDoublePos, 3.0f);
    EXPECT_EQ(plugIn.m_dMix, 1.0);
}

// Values still waiting for the audio thread are saved as valueAfterSetting predicts them; it
// must agree with what the setters really store, dropped values included.
TEST(ControlValues, ValueAfterSettingIsWhatTheSettersStore)
{
    const float inf = std::numeric_limits<float>::infinity();
    // Quarter steps hit the rounding ties of both scales and run past every range.
    std::vector<float> values = {-1e20f, 1e20f, inf, -inf, std::numeric_limits<float>::quiet_NaN()};
    for (int k = -40; k <= 40; ++k)
        values.push_back(0.25f * static_cast<float>(k));
    for (const bool normalized : {false, true})
        for (uint32_t position : {kIntPos, kFloatPos, kDoublePos, kUintPos, kNonePos})
            for (const float value : values)
            {
                CTestPlugIn plugIn;
                plugIn.m_nOffset = 1;
                plugIn.m_fGain = 0.3f;
                plugIn.m_dMix = 0.3;
                plugIn.m_uMode = 3;
                const float before = plugIn.getControlValue(position);
                const float predicted =
                    CPlugIn::valueAfterSetting(*plugIn.controlAt(position), value, normalized);
                if (normalized)
                    plugIn.setControlNormalized(position, value, true);
                else
                    plugIn.setControlValue(position, value);
                const float after = plugIn.getControlValue(position);
                if (std::isnan(predicted))
                    EXPECT_EQ(after, before) << position << " " << value << " " << normalized;
                else
                    EXPECT_EQ(after, predicted) << position << " " << value << " " << normalized;
            }

    // Smoothed controls: the prediction is the target the smoother heads for.
    CTestPlugIn plugIn;
    plugIn.setControlNormalized(kSmoothFloatPos, 0.7f, false);
    EXPECT_EQ(CPlugIn::valueAfterSetting(*plugIn.controlAt(kSmoothFloatPos), 0.7f, true),
              plugIn.controlAt(kSmoothFloatPos)->smoothTarget);
    EXPECT_TRUE(std::isnan(CPlugIn::valueAfterSetting(*plugIn.controlAt(kNonePos), 0.5f, true)));
}

TEST(Smoothing, SetsTargetOnlyThenConvergesAndSnaps)
{
    CTestPlugIn plugIn;
    plugIn.sampleRate = 48000;
    plugIn.m_fLevel = 0.0f;
    plugIn.controlIndex[kSmoothFloatPos]->smoothTimeMs = 1.0f;
    plugIn.prepare();

    const CControlDescriptor* control = plugIn.controlIndex[kSmoothFloatPos];
    const float k = std::exp(-6.2831855f / (1.0f * 0.001f * 48000.0f));
    EXPECT_EQ(control->smoothCoefficient, k);
    EXPECT_EQ(control->smoothGain, 1.0f - k);

    plugIn.setControlNormalized(kSmoothFloatPos, 0.8f, false);
    EXPECT_EQ(plugIn.m_fLevel, 0.0f);
    EXPECT_EQ(control->smoothTarget, 0.8f);
    EXPECT_EQ(plugIn.changesOf(kSmoothFloatPos), 1);

    plugIn.smoothControls();
    EXPECT_GT(plugIn.m_fLevel, 0.0f);
    EXPECT_LT(plugIn.m_fLevel, 0.8f);

    int steps = 1;
    float previous = plugIn.m_fLevel;
    while (plugIn.m_fLevel != 0.8f && steps < 100000)
    {
        plugIn.smoothControls();
        EXPECT_GE(plugIn.m_fLevel, previous);
        previous = plugIn.m_fLevel;
        ++steps;
    }
    EXPECT_EQ(plugIn.m_fLevel, 0.8f);
    const int reports = plugIn.changesOf(kSmoothFloatPos);
    for (int i = 0; i < 10; ++i)
        plugIn.smoothControls();
    EXPECT_EQ(plugIn.changesOf(kSmoothFloatPos), reports);
    EXPECT_EQ(plugIn.m_fLevel, 0.8f);

    plugIn.setControlNormalized(kSmoothFloatPos, 0.2f, true);
    EXPECT_EQ(plugIn.m_fLevel, 0.2f);
}

TEST(Smoothing, DoubleControlConverges)
{
    CTestPlugIn plugIn;
    plugIn.controlIndex[kSmoothDoublePos]->smoothTimeMs = 2.0f;
    plugIn.prepare();
    plugIn.setControlValue(kSmoothDoublePos, 0.5f);
    EXPECT_EQ(plugIn.m_dWidth, 0.0);
    for (int i = 0; i < 100000 && plugIn.m_dWidth != 0.5; ++i)
        plugIn.smoothControls();
    EXPECT_EQ(plugIn.m_dWidth, 0.5);
}

TEST(Smoothing, NonPositiveTimeMeansNoSmoothing)
{
    CTestPlugIn plugIn;
    plugIn.controlIndex[kSmoothFloatPos]->smoothTimeMs = -5.0f;
    plugIn.prepare();
    plugIn.setControlNormalized(kSmoothFloatPos, 0.5f, false);
    plugIn.smoothControls();
    EXPECT_EQ(plugIn.m_fLevel, 0.5f);
}

// ---- joystick ----

struct Mix
{
    double wa, wb, wc, wd, ac, bd;
};

Mix mix(double x, double y, bool rotated)
{
    Mix m{};
    CPlugIn::computeJoystickMix(x, y, &m.wa, &m.wb, &m.wc, &m.wd, &m.ac, &m.bd, rotated);
    return m;
}

TEST(Joystick, CentreGivesEqualWeights)
{
    for (bool rotated : {false, true})
    {
        const Mix m = mix(0.0, 0.0, rotated);
        EXPECT_EQ(m.wa, 0.25);
        EXPECT_EQ(m.wb, 0.25);
        EXPECT_EQ(m.wc, 0.25);
        EXPECT_EQ(m.wd, 0.25);
        EXPECT_EQ(m.ac, 0.5);
        EXPECT_EQ(m.bd, 0.5);
    }
}

TEST(Joystick, CornerWeightsAreLimited)
{
    const Mix m = mix(1.0, 1.0, false);
    EXPECT_EQ(m.wb, 1.0);
    EXPECT_EQ(m.wa, 0.0);
    EXPECT_DOUBLE_EQ(m.wc, 254.0 / 645.0 / 100.0);
    EXPECT_DOUBLE_EQ(m.wd, 1.0 / 645.0 / 100.0);
    const double r = 1.41421356;
    EXPECT_DOUBLE_EQ(m.ac, 0.5);
    EXPECT_DOUBLE_EQ(m.bd, (2.0 / r / r + 1.0) * 0.5);

    const Mix low = mix(-1.0, -1.0, false); // e = f = 0
    EXPECT_EQ(low.wb, 0.0);
    EXPECT_EQ(low.wc, 0.0);
    EXPECT_EQ(low.wd, 1.0);
    EXPECT_EQ(low.wa, 0.0);
}

TEST(Joystick, RotatedPositionsAndAxes)
{
    const Mix m = mix(0.5, -0.5, true);
    EXPECT_EQ(m.ac, 0.75);
    EXPECT_EQ(m.bd, 0.25);

    // Rotated corner: x' = -2 clamps to e = -1, y' = 0 gives f = 127. The negative raw weights
    // are limited to zero but still count towards wa.
    const Mix corner = mix(-1.0, -1.0, true);
    EXPECT_EQ(corner.ac, 0.0);
    EXPECT_EQ(corner.bd, 0.0);
    EXPECT_EQ(corner.wb, 0.0);
    EXPECT_EQ(corner.wc, 0.0);
    EXPECT_NEAR(corner.wd, 32768.0 / 64500.0, 1e-12);
    EXPECT_NEAR(corner.wa, 0.495922, 1e-6);

    const double r = 1.41421356;
    const Mix plain = mix(0.5, -0.5, false);
    EXPECT_DOUBLE_EQ(plain.ac, (1.0 / r / r + 1.0) * 0.5);
    EXPECT_DOUBLE_EQ(plain.bd, 0.5);
    // Not rotated, the same point weighs from e = 190.5, f = 63.5.
    EXPECT_NEAR(plain.wb, 190.5 * 63.5 / 64500.0, 1e-12);
    EXPECT_NEAR(plain.wc, 191.5 * 190.5 / 64500.0, 1e-12);
}

TEST(Joystick, AxesReportImmediatelyWithoutSmoothing)
{
    CTestPlugIn plugIn;
    plugIn.setJoystickX(1.0f, false);
    plugIn.setJoystickY(1.0f, true); // orientation follows the X axis
    EXPECT_EQ(plugIn.joystickCalls, 2);
    EXPECT_EQ(plugIn.last[1], 1.0f);
    EXPECT_EQ(plugIn.last[0], 0.0f);
    float x = 0, y = 0;
    plugIn.getJoystickValues(&x, &y);
    EXPECT_EQ(x, 1.0f);
    EXPECT_EQ(y, 1.0f);
}

TEST(Joystick, SmoothedAxisMovesInSmoothingStep)
{
    CTestPlugIn plugIn;
    plugIn.joystickX.smoothEnabled = true;
    plugIn.joystickX.smoothTimeMs = 1.0f;
    plugIn.joystickY.directValue = 0.5f;
    plugIn.prepare();

    plugIn.setJoystickX(-1.0f, true);
    EXPECT_EQ(plugIn.joystickCalls, 0);
    EXPECT_EQ(plugIn.joystickX.directValue, 0.0f);
    plugIn.setJoystickY(0.25f, false); // Y unsmoothed: value set, report waits for the step
    EXPECT_EQ(plugIn.joystickCalls, 0);

    for (int i = 0; i < 100000 && plugIn.joystickX.directValue != -1.0f; ++i)
        plugIn.smoothControls();
    EXPECT_EQ(plugIn.joystickX.directValue, -1.0f);
    EXPECT_EQ(plugIn.joystickY.directValue, 0.25f);
    EXPECT_GT(plugIn.joystickCalls, 0);
    EXPECT_EQ(plugIn.last[4], 0.0f);   // rotated: ac = (x + 1) / 2
    EXPECT_EQ(plugIn.last[5], 0.625f); // bd = (y + 1) / 2
}
} // namespace
