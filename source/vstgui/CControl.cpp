// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CControl.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI
{

CControl::CControl(const CRect& size, IControlListener* listener, int32_t tag, CBitmap* bitmap)
    : CView(size), listener(listener), tag(tag)
{
    if (bitmap)
        setBackground(bitmap);
}

void CControl::setValue(float v)
{
    // NaN would stick in every later computation of the frame index.
    if (std::isnan(v))
        return;
    if (v != value)
    {
        value = v;
        invalid();
    }
}

void CControl::setValueNormalized(float normalized)
{
    if (std::isnan(normalized))
        return;
    normalized = std::clamp(normalized, 0.f, 1.f);
    setValue(vmin + normalized * getRange());
}

float CControl::getValueNormalized() const
{
    const float range = getRange();
    if (range == 0.f)
        return 0.f;
    return (value - vmin) / range;
}

void CControl::bounceValue()
{
    const float lo = std::min(vmin, vmax);
    const float hi = std::max(vmin, vmax);
    setValue(std::clamp(value, lo, hi));
}

void CControl::setTag(int32_t newTag)
{
    if (newTag == tag)
        return;
    if (listener)
        listener->controlTagWillChange(this);
    tag = newTag;
    if (listener)
        listener->controlTagDidChange(this);
}

void CControl::valueChanged()
{
    if (listener)
        listener->valueChanged(this);
}

void CControl::beginEdit()
{
    if (editing++ == 0 && listener)
        listener->controlBeginEdit(this);
}

void CControl::endEdit()
{
    if (editing == 0)
        return;
    if (--editing == 0 && listener)
        listener->controlEndEdit(this);
}

bool CControl::checkDefaultValue(CButtonState buttons)
{
    if (buttons.isLeftButton() && buttons.getModifierState() == kDefaultValueModifier)
    {
        beginEdit();
        setValue(defaultValue);
        valueChanged();
        endEdit();
        return true;
    }
    return false;
}

bool CControl::removed(CView* parentView)
{
    // An open gesture must not outlive the view in the host.
    while (editing > 0)
        endEdit();
    return CView::removed(parentView);
}

CCoord IMultiBitmapControl::frameHeightFor(const CView& view) const
{
    CCoord h = heightOfOneImage >= 1 ? heightOfOneImage : view.getHeight();
    return h >= 1 ? h : 1;
}

int32_t IMultiBitmapControl::frameCountFor(const CView& view, const CBitmap* bitmap) const
{
    if (!bitmap)
        return 0;
    const double fits = std::floor(bitmap->getHeight() / frameHeightFor(view));
    int32_t count = fits > 1e6 ? 1000000 : static_cast<int32_t>(fits);
    if (subPixmaps > 0)
        count = std::min(count, subPixmaps);
    // A bitmap shorter than one frame still shows what it has.
    return std::max(count, bitmap->getHeight() > 0 ? 1 : 0);
}

} // namespace VSTGUI
