// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CFontDesc.h"
#include "vstgui/CView.h"

#include <string>
#include <vector>

namespace VSTGUI
{

class COptionMenu;

// The list a COptionMenu shows while open: a modal view of the frame, one row per entry.
class COptionMenuPopup : public CView
{
public:
    static constexpr CCoord kRowHeight = 18;

    COptionMenuPopup(COptionMenu* menu, const CRect& size, std::vector<std::string> entries,
                     int32_t current);

    // The row of an entry in frame coordinates (empty for an index out of range).
    CRect getEntryRect(int32_t index) const;
    int32_t getHighlighted() const { return highlighted; }
    void setFont(const CFontDesc* f)
    {
        if (f)
            font = CFontDesc(f->getName(), f->getSize(), f->getStyle());
    }
    // The menu is going away: close without telling it.
    void detachMenu() { menu = nullptr; }

    void draw(CDrawContext* context) override;
    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    CMouseEventResult onMouseMoved(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    bool removed(CView* parentView) override;

private:
    int32_t entryAt(const CPoint& where) const;
    void close(int32_t chosen);

    COptionMenu* menu;
    std::vector<std::string> entries;
    int32_t current;
    int32_t highlighted;
    CFontDesc font;
};

} // namespace VSTGUI
