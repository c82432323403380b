// SPDX-License-Identifier: GPL-3.0-or-later
#include "TextViewLook.h"

using namespace VSTGUI;

void copyTextViewLook(const CParamDisplay& from, CParamDisplay& to)
{
    to.setFont(from.getFont());
    to.setFontColor(from.getFontColor());
    to.setBackColor(from.getBackColor());
    to.setFrameColor(from.getFrameColor());
    to.setShadowColor(from.getShadowColor());
    to.setHoriAlign(from.getHoriAlign());
    to.setTextInset(from.getTextInset());
    to.setRoundRectRadius(from.getRoundRectRadius());
    to.setFrameWidth(from.getFrameWidth());
    to.setAntialias(from.getAntialias());
    to.setPrecision(from.getPrecision());
    to.setDisabledBackground(from.getDisabledBackground());
    to.setTransparency(from.getTransparency());
    to.setMouseEnabled(from.getMouseEnabled());
    to.setMin(from.getMin());
    to.setMax(from.getMax());
    to.setDefaultValue(from.getDefaultValue());
    to.setBackOffset(from.getBackOffset());
    to.setValue(from.getValue());
}
