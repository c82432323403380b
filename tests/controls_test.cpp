// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CKickButtonQX.h"
#include "editor/CTextEditQX.h"
#include "editor/CTextLabelQX.h"
#include "editor/CVuMeterQX.h"
#include "editor/CXYPadQX.h"
#include "support/TestBitmaps.h"

#include "vstgui/CBitmap.h"
#include "vstgui/OffscreenRender.h"
#include "vstgui/SharedPointer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace VSTGUI;

namespace
{
struct Released
{
    void operator()(CBaseObject* object) const { object->forget(); }
};
template <class T>
using ViewPtr = std::unique_ptr<T, Released>;

// What the editor hears from a control.
struct RecordingListener : IControlListener
{
    std::vector<float> values;
    int begins = 0;
    int ends = 0;
    void valueChanged(CControl* control) override { values.push_back(control->getValue()); }
    void controlBeginEdit(CControl*) override { ++begins; }
    void controlEndEdit(CControl*) override { ++ends; }
};

const CButtonState kLeft(kLButton);
const CButtonState kRight(kRButton);

// ---------------------------------------------------------------------------------------------
// Kick button

struct KickButton : ::testing::Test
{
    RecordingListener listener;
    ViewPtr<CKickButtonQX> button{new CKickButtonQX(CRect(10, 10, 40, 30), &listener, 7, nullptr, CPoint())};
    CPoint inside{20, 20};
    CPoint outside{100, 100};

    void click()
    {
        CPoint p = inside;
        EXPECT_EQ(button->onMouseDown(p, kLeft), kMouseEventHandled);
        p = inside;
        EXPECT_EQ(button->onMouseUp(p, kLeft), kMouseEventHandled);
    }
};

TEST_F(KickButton, StartsInPressAndReleaseMode)
{
    EXPECT_EQ(button->notifyMode, CKickButtonQX::kNotifyPressAndRelease);
    EXPECT_EQ(button->getTag(), 7);
}

TEST_F(KickButton, RightButtonIsIgnoredInEveryMode)
{
    for (int32_t mode : {0, 1, 2})
    {
        button->notifyMode = mode;
        CPoint p = inside;
        EXPECT_EQ(button->onMouseDown(p, kRight), kMouseEventNotHandled);
        EXPECT_EQ(button->getValue(), 0.f);
        EXPECT_FALSE(button->isEditing());
    }
    EXPECT_TRUE(listener.values.empty());
    EXPECT_EQ(listener.begins, 0);
}

TEST_F(KickButton, PressAndReleaseModeSendsOneThenMinimum)
{
    click();
    EXPECT_EQ(listener.values, (std::vector<float>{1.f, 0.f}));
    EXPECT_EQ(listener.begins, 1);
    EXPECT_EQ(listener.ends, 1);
}

TEST_F(KickButton, ReleaseOnlyModeSendsOnlyTheMinimumEvenAfterDraggingOut)
{
    button->notifyMode = CKickButtonQX::kNotifyRelease;
    CPoint p = inside;
    button->onMouseDown(p, kLeft);
    EXPECT_EQ(button->getValue(), 1.f);
    p = outside;
    button->onMouseMoved(p, kLeft);
    EXPECT_EQ(button->getValue(), 0.f) << "shown released outside";
    p = outside;
    button->onMouseUp(p, kLeft);
    EXPECT_EQ(listener.values, (std::vector<float>{0.f}));
    EXPECT_EQ(listener.ends, 1);
}

TEST_F(KickButton, PressOnlyModeLeavesTheParameterAtOne)
{
    button->notifyMode = CKickButtonQX::kNotifyPress;
    click();
    click();
    EXPECT_EQ(listener.values, (std::vector<float>{1.f, 1.f}));
    EXPECT_EQ(button->getValue(), 0.f) << "the button itself springs back";
    EXPECT_EQ(listener.begins, 2);
    EXPECT_EQ(listener.ends, 2);
}

TEST_F(KickButton, DraggingOutAndBackOnlyChangesTheLook)
{
    CPoint p = inside;
    button->onMouseDown(p, kLeft);
    ASSERT_EQ(listener.values.size(), 1u);
    p = outside;
    EXPECT_EQ(button->onMouseMoved(p, kLeft), kMouseEventHandled);
    EXPECT_EQ(button->getValue(), 0.f);
    p = inside;
    button->onMouseMoved(p, kLeft);
    EXPECT_EQ(button->getValue(), 1.f);
    EXPECT_EQ(listener.values.size(), 1u) << "no notification while dragging";
}

TEST_F(KickButton, CancelResetsSilentlyAndClosesTheEdit)
{
    button->notifyMode = CKickButtonQX::kNotifyRelease;
    CPoint p = inside;
    button->onMouseDown(p, kLeft);
    EXPECT_EQ(button->onMouseCancel(), kMouseEventHandled);
    EXPECT_EQ(button->getValue(), 0.f);
    EXPECT_FALSE(button->isEditing());
    EXPECT_TRUE(listener.values.empty());
    EXPECT_EQ(listener.ends, 1);
    p = inside;
    EXPECT_EQ(button->onMouseUp(p, kLeft), kMouseEventNotHandled) << "nothing left to release";
    EXPECT_TRUE(listener.values.empty());
}

// ---------------------------------------------------------------------------------------------
// Units label and edit

TEST(UnitsViews, WithoutSuffixTheyShowTheTextAsGiven)
{
    ViewPtr<CTextLabelQX> label(new CTextLabelQX(CRect(0, 0, 50, 20), "Gain", nullptr, 0));
    EXPECT_EQ(label->getText(), "Gain");
    label->setUnitsSuffix("  \t");
    label->setText("0.50");
    EXPECT_EQ(label->getText(), "0.50");
    ViewPtr<CTextEditQX> edit(new CTextEditQX(CRect(0, 0, 50, 20), nullptr, 3, "x", nullptr, 0));
    edit->setText("12");
    EXPECT_EQ(edit->getText(), "12");
}

TEST(UnitsViews, SuffixFollowsEveryTextOnce)
{
    ViewPtr<CTextLabelQX> label(new CTextLabelQX(CRect(0, 0, 50, 20), "Freq", nullptr, 0));
    label->setUnitsSuffix("  Hz \t");
    EXPECT_EQ(label->getUnitsSuffix(), "Hz");
    EXPECT_EQ(label->getText(), "Freq") << "the title waits for the next text";
    label->setText("440");
    EXPECT_EQ(label->getText(), "440 Hz");
    label->setText("");
    EXPECT_EQ(label->getText(), " Hz");
}

TEST(UnitsViews, CopiesOfALabelKeepTheSuffixCopiesOfAnEditDoNot)
{
    ViewPtr<CTextLabelQX> label(new CTextLabelQX(CRect(1, 2, 51, 22), "", nullptr, 0));
    label->setUnitsSuffix("dB");
    label->setText("-3");
    label->setFontColor(kRedCColor);
    ViewPtr<CTextLabelQX> labelCopy(label->newCopy());
    EXPECT_EQ(labelCopy->getText(), "-3 dB");
    EXPECT_EQ(labelCopy->getViewSize(), label->getViewSize());
    EXPECT_EQ(labelCopy->getFontColor(), kRedCColor);
    labelCopy->setText("6");
    EXPECT_EQ(labelCopy->getText(), "6 dB");

    RecordingListener listener;
    ViewPtr<CTextEditQX> edit(new CTextEditQX(CRect(0, 0, 50, 20), &listener, 4, "", nullptr, 0));
    edit->setUnitsSuffix("ms");
    edit->setText("20");
    ViewPtr<CTextEditQX> editCopy(edit->newCopy());
    EXPECT_EQ(editCopy->getTag(), 4);
    EXPECT_EQ(editCopy->getListener(), &listener);
    EXPECT_EQ(editCopy->getUnitsSuffix(), "");
    editCopy->setText("30");
    EXPECT_EQ(editCopy->getText(), "30");
}

TEST(UnitsViews, TypedTextGetsTheSuffixBeforeTheListenerHearsIt)
{
    struct TextListener : IControlListener
    {
        std::string seen;
        void valueChanged(CControl* control) override
        {
            seen = static_cast<CTextEdit*>(control)->getText();
        }
    } listener;
    ViewPtr<CTextEditQX> edit(new CTextEditQX(CRect(0, 0, 50, 20), &listener, 4, "", nullptr, 0));
    edit->setUnitsSuffix("ms");
    CPoint p(10, 10);
    edit->onMouseDown(p, kLeft);
    ASSERT_TRUE(edit->isEditingText());
    for (char c : std::string("250"))
    {
        VstKeyCode key;
        key.character = c;
        edit->onKeyDown(key);
    }
    VstKeyCode enter;
    enter.virt = VKEY_RETURN;
    edit->onKeyDown(enter);
    EXPECT_FALSE(edit->isEditingText());
    EXPECT_EQ(listener.seen, "250 ms");
    EXPECT_EQ(edit->getText(), "250 ms");
}

// ---------------------------------------------------------------------------------------------
// Meter

TEST(VuMeter, DefaultsAndEnvelopeSetup)
{
    ViewPtr<CVuMeterQX> meter(new CVuMeterQX(CRect(0, 0, 10, 100), nullptr, nullptr, 10, true, false, CVuMeter::kVertical));
    EXPECT_TRUE(meter->inverted);
    EXPECT_FALSE(meter->analogStyle);
    EXPECT_EQ(meter->zeroFrame, 52);
    EXPECT_EQ(meter->frameHeight, 65);
    EXPECT_EQ(meter->frameCount, 80);
    EXPECT_EQ(meter->meterEnvelope.rate, 44100.f);
    meter->meterEnvelope.envelope = 0.5f;
    meter->setupMeterEnvelope(20.f, 10.f, 300.f, true, CMeterEnvelope::kRootMeanSquare, true);
    EXPECT_EQ(meter->meterEnvelope.rate, 20.f);
    EXPECT_EQ(meter->meterEnvelope.detectMode, CMeterEnvelope::kRootMeanSquare);
    EXPECT_TRUE(meter->meterEnvelope.logOutput);
    EXPECT_EQ(meter->meterEnvelope.envelope, 0.f);
}

TEST(VuMeter, TwoLedsAreALamp)
{
    ViewPtr<CVuMeterQX> meter(new CVuMeterQX(CRect(0, 0, 10, 20), nullptr, nullptr, 2, false, false, CVuMeter::kVertical));
    // Slow detector settings must not matter for a lamp.
    meter->setupMeterEnvelope(20.f, 5000.f, 5000.f, true, CMeterEnvelope::kRootMeanSquare, true);
    for (float v : {0.5f, 0.9f, 1.f})
    {
        meter->setValue(v);
        EXPECT_EQ(meter->nextShownLevel(), 1.f) << v;
    }
    for (float v : {0.f, 0.2f, 0.49f})
    {
        meter->setValue(v);
        EXPECT_EQ(meter->nextShownLevel(), 0.f) << v;
    }
}

TEST(VuMeter, ShownLevelDecaysByTheStepThenRunsThroughTheDetector)
{
    ViewPtr<CVuMeterQX> meter(new CVuMeterQX(CRect(0, 0, 10, 100), nullptr, nullptr, 10, false, false, CVuMeter::kVertical));
    meter->setupMeterEnvelope(20.f, 10.f, 10.f, false, CMeterEnvelope::kPeak, false);
    meter->setDecreaseStepValue(0.1f);
    meter->setOldValue(0.f);
    meter->setValue(0.9f);
    EXPECT_NEAR(meter->nextShownLevel(), 0.9f, 1e-6f);
    meter->setValue(0.f);
    EXPECT_NEAR(meter->nextShownLevel(), 0.8f, 1e-5f);
    EXPECT_NEAR(meter->nextShownLevel(), 0.7f, 1e-5f);
    meter->setValue(3.f);
    EXPECT_NEAR(meter->nextShownLevel(), 1.f, 1e-6f) << "the value is kept within the range";
}

TEST(VuMeter, AnalogueFrameArithmetic)
{
    ViewPtr<CVuMeterQX> meter(new CVuMeterQX(CRect(0, 0, 100, 65), nullptr, nullptr, 80, false, true, CVuMeter::kVertical));
    EXPECT_EQ(meter->analogOffset(0.f), 0);
    EXPECT_EQ(meter->analogOffset(1.f), 79 * 65);
    EXPECT_EQ(meter->analogOffset(0.5f), 39 * 65);

    ViewPtr<CVuMeterQX> inverted(new CVuMeterQX(CRect(0, 0, 100, 65), nullptr, nullptr, 80, true, true, CVuMeter::kVertical));
    EXPECT_EQ(inverted->analogOffset(0.f), 51 * 65) << "0.65 * 79 = 51.35";
    EXPECT_EQ(inverted->analogOffset(1.f), 0);

    inverted->setFrameHeight(0.5);
    EXPECT_EQ(inverted->analogOffset(0.f), 0) << "a height below one frame shows the first frame";
    inverted->setFrameHeight(65);
    inverted->setFrameCount(0);
    EXPECT_EQ(inverted->analogOffset(0.f), 0);
}

struct MeterDrawing : ::testing::Test
{
    static void SetUpTestSuite()
    {
        // The on image is green, the off image grey; 10 LEDs of 10 pixels.
        TestBitmaps::addBands("on.png", 10, 100, {kGreenCColor});
        TestBitmaps::addBands("off.png", 10, 100, {kGreyCColor});
        // A film strip of four 10-pixel frames: red, green, blue, yellow.
        TestBitmaps::addBands("strip.png", 10, 10, {kRedCColor, kGreenCColor, kBlueCColor, kYellowCColor});
        TestBitmaps::install();
    }

    // Rows of the rendered meter that show the on image.
    static int litRows(const PixelImage& image)
    {
        int lit = 0;
        for (int y = 0; y < image.height; ++y)
            lit += image.pixel(5, y).g == 255 && image.pixel(5, y).r == 0 ? 1 : 0;
        return lit;
    }

    static ViewPtr<CVuMeterQX> ledMeter(bool inverted)
    {
        SharedBitmap on = makeOwned<CBitmap>("on.png");
        SharedBitmap off = makeOwned<CBitmap>("off.png");
        ViewPtr<CVuMeterQX> meter(new CVuMeterQX(CRect(0, 0, 10, 100), on.get(), off.get(), 10, inverted, false, CVuMeter::kVertical));
        meter->setupMeterEnvelope(20.f, 10.f, 10.f, false, CMeterEnvelope::kPeak, false);
        meter->setDecreaseStepValue(1.f);
        return meter;
    }
};

TEST_F(MeterDrawing, LedsFillFromTheBottomOrFromTheTop)
{
    ViewPtr<CVuMeterQX> meter = ledMeter(false);
    meter->setValue(0.3f);
    PixelImage image = renderViewOffscreen(*meter);
    ASSERT_EQ(image.height, 100);
    EXPECT_EQ(litRows(image), 30);
    EXPECT_EQ(image.pixel(5, 99).g, 255) << "lit at the bottom";
    EXPECT_EQ(image.pixel(5, 0).r, kGreyCColor.red) << "dark at the top";

    ViewPtr<CVuMeterQX> inverted = ledMeter(true);
    inverted->setValue(0.3f);
    image = renderViewOffscreen(*inverted);
    EXPECT_EQ(litRows(image), 30);
    EXPECT_EQ(image.pixel(5, 0).g, 255) << "lit at the top";
    EXPECT_EQ(image.pixel(5, 99).r, kGreyCColor.red);
}

TEST_F(MeterDrawing, MeterWithoutOnBitmapDrawsNothing)
{
    ViewPtr<CVuMeterQX> meter(new CVuMeterQX(CRect(0, 0, 10, 100), nullptr, nullptr, 10, false, false, CVuMeter::kVertical));
    meter->setValue(1.f);
    const PixelImage image = renderViewOffscreen(*meter);
    EXPECT_EQ(image.pixel(5, 50).a, 0);
}

TEST_F(MeterDrawing, AnalogueMeterShowsOneFrameOfItsStrip)
{
    SharedBitmap on = makeOwned<CBitmap>("on.png");
    SharedBitmap strip = makeOwned<CBitmap>("strip.png");
    ViewPtr<CVuMeterQX> meter(new CVuMeterQX(CRect(0, 0, 10, 10), on.get(), nullptr, 4, false, true, CVuMeter::kVertical));
    meter->setBackground(strip.get());
    meter->setFrameHeight(10);
    meter->setFrameCount(4);
    meter->setDecreaseStepValue(1.f);
    meter->setupMeterEnvelope(20.f, 10.f, 10.f, false, CMeterEnvelope::kPeak, false);
    const CColor expected[] = {kRedCColor, kGreenCColor, kBlueCColor, kYellowCColor};
    const float values[] = {0.f, 0.34f, 0.67f, 1.f};
    for (int i = 0; i < 4; ++i)
    {
        meter->setValue(values[i]);
        const PixelImage image = renderViewOffscreen(*meter);
        const PixelImage::Pixel p = image.pixel(5, 5);
        EXPECT_EQ(p.r, expected[i].red) << i;
        EXPECT_EQ(p.g, expected[i].green) << i;
        EXPECT_EQ(p.b, expected[i].blue) << i;
    }
}

// ---------------------------------------------------------------------------------------------
// XY pad

// A 110-pixel pad with a 10-pixel handle: positions map onto 100 pixels after a 5-pixel margin.
struct XYPad : ::testing::Test
{
    RecordingListener listener;
    ViewPtr<CXYPadQX> pad{new CXYPadQX(CRect(0, 0, 110, 110))};

    void SetUp() override
    {
        pad->setRoundRectRadius(10);
        pad->setListener(&listener);
    }

    static CPoint at(float x, float y) { return CPoint(5 + x * 100, 5 + y * 100); }

    // The last position the listener heard, in the parameters' orientation.
    std::pair<float, float> heard() const
    {
        float x = -1, y = -1;
        if (!listener.values.empty())
            CXYPad::calculateXY(listener.values.back(), x, y);
        return {x, y};
    }

    std::pair<float, float> shown() const
    {
        float x = -1, y = -1;
        CXYPad::calculateXY(pad->getValue(), x, y);
        return {x, y};
    }
};

TEST_F(XYPad, Defaults)
{
    EXPECT_FALSE(pad->tracking);
    EXPECT_FALSE(pad->joystickMode);
    EXPECT_EQ(pad->lastX, 0.f);
    EXPECT_EQ(pad->diamondX[2], 1.f);
    EXPECT_EQ(pad->diamondY[3], 1.f);
}

TEST_F(XYPad, PackingResolutionIsOneThousandth)
{
    float x = 0, y = 0;
    CXYPad::calculateXY(CXYPad::calculateValue(0.25f, 0.75f), x, y);
    EXPECT_NEAR(x, 0.25f, 1e-6f);
    EXPECT_NEAR(y, 0.75f, 1e-4f);
    CXYPad::calculateXY(CXYPad::calculateValue(0.1234f, 0.9876f), x, y);
    EXPECT_NEAR(x, 0.123f, 1e-6f);
    EXPECT_NEAR(y, 0.988f, 1e-4f);
}

TEST_F(XYPad, TopOfThePadReportsOneInBothModes)
{
    for (bool joystick : {false, true})
    {
        listener.values.clear();
        pad->joystickMode = joystick;
        CPoint p = at(0.5f, 0.02f);
        ASSERT_EQ(pad->onMouseDown(p, kLeft), kMouseEventHandled);
        EXPECT_NEAR(heard().first, 0.5f, 1e-3f);
        EXPECT_NEAR(heard().second, 0.98f, 1e-3f) << "top is 1";
        EXPECT_NEAR(shown().second, 0.02f, 1e-3f) << "the screen keeps its own orientation";
        p = at(0.5f, 0.98f);
        pad->onMouseMoved(p, kLeft);
        EXPECT_NEAR(heard().second, 0.02f, 1e-3f) << "bottom is 0";
        p = at(0.5f, 0.98f);
        pad->onMouseUp(p, kLeft);
        EXPECT_FALSE(pad->tracking);
    }
    EXPECT_EQ(listener.begins, 2);
    EXPECT_EQ(listener.ends, 2);
}

TEST_F(XYPad, NormalModeClampsDragsOutsideThePad)
{
    CPoint p = at(0.3f, 0.3f);
    pad->onMouseDown(p, kLeft);
    p = at(1.5f, -0.5f);
    pad->onMouseMoved(p, kLeft);
    EXPECT_NEAR(heard().first, 1.f, 1e-6f);
    EXPECT_NEAR(heard().second, 1.f, 1e-3f);
}

TEST_F(XYPad, OnlyTheLeftButtonAloneDrags)
{
    CPoint p = at(0.3f, 0.3f);
    EXPECT_EQ(pad->onMouseDown(p, kRight), kMouseEventNotHandled);
    EXPECT_EQ(pad->onMouseDown(p, CButtonState(kLButton | kRButton)), kMouseEventNotHandled);
    EXPECT_EQ(pad->onMouseMoved(p, kLeft), kMouseEventNotHandled) << "no press, no drag";
    EXPECT_TRUE(listener.values.empty());
    EXPECT_EQ(listener.begins, 0);
}

TEST_F(XYPad, JoystickDragOutsideTheDiamondKeepsTheLastInsidePosition)
{
    pad->joystickMode = true;
    CPoint p = at(0.6f, 0.4f);
    pad->onMouseDown(p, kLeft);
    EXPECT_NEAR(pad->lastX, 0.6f, 1e-4f);
    EXPECT_NEAR(pad->lastY, 0.4f, 1e-4f);
    p = at(0.95f, 0.05f); // the square's top-right corner, outside the diamond
    pad->onMouseMoved(p, kLeft);
    EXPECT_NEAR(heard().first, 0.6f, 1e-3f);
    EXPECT_NEAR(heard().second, 0.6f, 1e-3f);
    EXPECT_NEAR(shown().first, 0.6f, 1e-3f);
    EXPECT_NEAR(shown().second, 0.4f, 1e-3f);
    p = at(0.7f, 0.5f);
    pad->onMouseMoved(p, kLeft);
    EXPECT_NEAR(heard().first, 0.7f, 1e-3f) << "back inside it follows again";
}

TEST_F(XYPad, ValuesFromTheParametersAreFlippedAndJoystickIgnoresOutsideOnes)
{
    pad->setValue(CXYPad::calculateValue(0.2f, 0.9f));
    EXPECT_NEAR(shown().first, 0.2f, 1e-3f);
    EXPECT_NEAR(shown().second, 0.1f, 1e-3f);

    pad->joystickMode = true;
    pad->setValue(CXYPad::calculateValue(0.5f, 0.5f));
    EXPECT_NEAR(shown().first, 0.5f, 1e-3f);
    EXPECT_NEAR(shown().second, 0.5f, 1e-3f);
    pad->setValue(CXYPad::calculateValue(0.95f, 0.95f));
    EXPECT_NEAR(shown().first, 0.5f, 1e-3f) << "outside the diamond: ignored";
    EXPECT_NEAR(shown().second, 0.5f, 1e-3f);
    EXPECT_TRUE(listener.values.empty()) << "parameter values are not echoed back";
}

TEST_F(XYPad, CancelledDragLetsParameterValuesIn)
{
    CPoint p = at(0.3f, 0.3f);
    pad->onMouseDown(p, kLeft);
    pad->onMouseCancel();
    EXPECT_FALSE(pad->tracking);
    EXPECT_FALSE(pad->isEditing());
    pad->setValue(CXYPad::calculateValue(0.8f, 0.8f));
    EXPECT_NEAR(shown().second, 0.2f, 1e-3f);
}

TEST_F(XYPad, JoystickDrawsADiamondAndTheHandle)
{
    TestBitmaps::install();
    pad->joystickMode = true;
    pad->setBackColor(kBlueCColor);
    pad->setFrameColor(kBlackCColor);
    pad->setFontColor(kRedCColor);
    pad->setValue(CXYPad::calculateValue(0.5f, 0.5f));
    const PixelImage image = renderViewOffscreen(*pad);
    ASSERT_EQ(image.width, 110);
    EXPECT_EQ(image.pixel(2, 2).a, 0) << "corners outside the diamond stay empty";
    EXPECT_EQ(image.pixel(30, 40).b, 255) << "inside the diamond: back colour";
    const PixelImage::Pixel handle = image.pixel(55, 55);
    EXPECT_EQ(handle.r, 255);
    EXPECT_EQ(handle.b, 0);
}
} // namespace
