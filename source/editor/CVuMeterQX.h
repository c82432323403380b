// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CMeterEnvelope.h"

#include "vstgui/CVuMeter.h"

// A meter for a plug-in meter control: LEDs from an on and an off bitmap, or one frame of a
// needle-meter film strip (the background). The shown level runs through the control's own
// envelope detector, fed once per redraw.
class CVuMeterQX : public VSTGUI::CVuMeter
{
public:
    CVuMeterQX(const VSTGUI::CRect& size, VSTGUI::CBitmap* onBitmap, VSTGUI::CBitmap* offBitmap,
               int32_t nbLed, bool inverted, bool analogStyle, int32_t style);
    ~CVuMeterQX() override = default;

    void draw(VSTGUI::CDrawContext* context) override;

    void setupMeterEnvelope(float rate, float attackMs, float releaseMs, bool analogTimeConstant,
                            int32_t detectMode, bool logOutput);
    void setFrameHeight(double height) { frameHeight = height; }
    void setFrameCount(double count) { frameCount = count; }
    void setZeroFrame(double frame) { zeroFrame = frame; }

    // Where in the film strip the frame for the shown level v starts.
    double analogOffset(float v) const;
    // The LED level the next redraw shows, after decay and detection.
    float nextShownLevel();

    CMeterEnvelope meterEnvelope;
    const bool inverted;
    const bool analogStyle;
    double zeroFrame = 52;
    double frameHeight = 65;
    double frameCount = 80;

private:
    void drawLeds(VSTGUI::CDrawContext* context, float v);
    void drawFilmStrip(VSTGUI::CDrawContext* context, float v);
};
