// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CView.h"
#include "vstgui/IControlListener.h"

#include <cstdint>

namespace VSTGUI
{

// A view with a value between min and max, a tag and a listener. User edits are bracketed by
// beginEdit/endEdit (the host sees them as one gesture).
class CControl : public CView
{
public:
    CControl(const CRect& size, IControlListener* listener = nullptr, int32_t tag = -1,
             CBitmap* background = nullptr);

    virtual void setValue(float value);
    float getValue() const { return value; }
    virtual void setValueNormalized(float normalized);
    // 0 when min and max coincide.
    float getValueNormalized() const;
    virtual void setMin(float v) { vmin = v; }
    float getMin() const { return vmin; }
    virtual void setMax(float v) { vmax = v; }
    float getMax() const { return vmax; }
    float getRange() const { return vmax - vmin; }
    virtual void setDefaultValue(float v) { defaultValue = v; }
    float getDefaultValue() const { return defaultValue; }
    void setOldValue(float v) { oldValue = v; }
    float getOldValue() const { return oldValue; }
    void setWheelInc(float v) { wheelInc = v; }
    float getWheelInc() const { return wheelInc; }
    // Keeps the value within min and max (either order).
    void bounceValue();

    virtual void setTag(int32_t tag);
    int32_t getTag() const { return tag; }
    void setListener(IControlListener* l) { listener = l; }
    IControlListener* getListener() const { return listener; }

    // Tells the listener the value has changed through the user.
    virtual void valueChanged();
    virtual void beginEdit();
    virtual void endEdit();
    bool isEditing() const { return editing > 0; }

    // Sets the default value when the buttons are the default-value modifier with the left
    // button; true when it did.
    bool checkDefaultValue(CButtonState buttons);

    void setBackOffset(const CPoint& p) { backOffset = p; }
    const CPoint& getBackOffset() const { return backOffset; }

    bool removed(CView* parentView) override;

protected:
    IControlListener* listener;
    int32_t tag;
    float value = 0.f;
    float oldValue = 1.f;
    float vmin = 0.f;
    float vmax = 1.f;
    float defaultValue = 0.5f;
    float wheelInc = 0.1f;
    CPoint backOffset;

private:
    int32_t editing = 0;
};

// Controls whose bitmap is a vertical strip of equal frames.
class IMultiBitmapControl
{
public:
    virtual ~IMultiBitmapControl() = default;
    // Values below 1 mean "not set": the view's height, and as many frames as the bitmap holds.
    virtual void setHeightOfOneImage(const CCoord& height) { heightOfOneImage = height; }
    CCoord getHeightOfOneImage() const { return heightOfOneImage; }
    virtual void setNumSubPixmaps(int32_t count) { subPixmaps = count; }
    int32_t getNumSubPixmaps() const { return subPixmaps; }

protected:
    // The frame height actually used: never below 1.
    CCoord frameHeightFor(const CView& view) const;
    // The number of whole frames the bitmap holds, capped by sub-pixmaps when it is set; 0 when
    // the bitmap holds none.
    int32_t frameCountFor(const CView& view, const CBitmap* bitmap) const;

    CCoord heightOfOneImage = 0;
    int32_t subPixmaps = 0;
};

} // namespace VSTGUI
