// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/COptionMenuPopup.h"

#include "vstgui/CDrawContext.h"
#include "vstgui/CFrame.h"
#include "vstgui/COptionMenu.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI
{

COptionMenuPopup::COptionMenuPopup(COptionMenu* menu, const CRect& size,
                                   std::vector<std::string> entries, int32_t current)
    : CView(size), menu(menu), entries(std::move(entries)), current(current), highlighted(current)
{
}

CRect COptionMenuPopup::getEntryRect(int32_t index) const
{
    if (index < 0 || index >= static_cast<int32_t>(entries.size()))
        return {};
    CRect row(size.left + 1, size.top + 1 + index * kRowHeight, size.right - 1,
              size.top + 1 + (index + 1) * kRowHeight);
    CPoint origin = row.getTopLeft();
    localToFrame(origin);
    return CRect(origin, row.getSize());
}

int32_t COptionMenuPopup::entryAt(const CPoint& where) const
{
    if (!size.pointInside(where))
        return -1;
    const auto index = static_cast<int32_t>(std::floor((where.y - size.top - 1) / kRowHeight));
    return index >= 0 && index < static_cast<int32_t>(entries.size()) ? index : -1;
}

void COptionMenuPopup::draw(CDrawContext* context)
{
    context->setLineWidth(1);
    context->setFillColor(CColor(40, 40, 40, 245));
    context->setFrameColor(CColor(150, 150, 150, 255));
    context->drawRect(size, kDrawFilledAndStroked);
    context->setFont(&font);
    for (int32_t i = 0; i < static_cast<int32_t>(entries.size()); ++i)
    {
        CRect row(size.left + 1, size.top + 1 + i * kRowHeight, size.right - 1,
                  size.top + 1 + (i + 1) * kRowHeight);
        if (row.top >= size.bottom)
            break;
        if (i == highlighted)
        {
            context->setFillColor(CColor(70, 110, 170, 255));
            context->drawRect(row, kDrawFilled);
        }
        context->setFontColor(kWhiteCColor);
        CRect text(row);
        text.left += 14;
        context->drawString(entries[static_cast<size_t>(i)], text, kLeftText, true);
        if (i == current)
        {
            // A dot marks the entry in use.
            const CPoint c(row.left + 7, row.top + kRowHeight / 2);
            context->setFillColor(kWhiteCColor);
            context->drawEllipse(CRect(c.x - 2.5, c.y - 2.5, c.x + 2.5, c.y + 2.5), kDrawFilled);
        }
    }
    setDirty(false);
}

void COptionMenuPopup::close(int32_t chosen)
{
    COptionMenu* owner = menu;
    menu = nullptr;
    if (owner)
    {
        // The menu removes (and may delete) this popup.
        owner->popupClosed(chosen);
        return;
    }
    CFrame* frame = getFrame();
    if (frame && frame->getModalView() == this)
        frame->setModalView(nullptr);
    if (CViewContainer* parent = getParentView())
        parent->removeView(this, true);
}

CMouseEventResult COptionMenuPopup::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    (void)buttons;
    // A click outside closes the list without a choice.
    close(entryAt(where));
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

CMouseEventResult COptionMenuPopup::onMouseMoved(CPoint& where, const CButtonState& buttons)
{
    (void)buttons;
    const int32_t index = entryAt(where);
    if (index != highlighted && index >= 0)
    {
        highlighted = index;
        invalid();
    }
    return kMouseEventHandled;
}

bool COptionMenuPopup::removed(CView* parentView)
{
    // Torn down with the frame: the menu must not keep a pointer to it.
    if (COptionMenu* owner = menu)
    {
        menu = nullptr;
        owner->popupRemoved(this);
    }
    return CView::removed(parentView);
}

int32_t COptionMenuPopup::onKeyDown(VstKeyCode& keyCode)
{
    const auto count = static_cast<int32_t>(entries.size());
    switch (keyCode.virt)
    {
    case VKEY_ESCAPE:
        close(-1);
        return 1;
    case VKEY_RETURN:
    case VKEY_ENTER:
        close(highlighted);
        return 1;
    case VKEY_UP:
        highlighted = highlighted <= 0 ? 0 : highlighted - 1;
        invalid();
        return 1;
    case VKEY_DOWN:
        highlighted = highlighted < 0 ? 0 : std::min(highlighted + 1, count - 1);
        invalid();
        return 1;
    default:
        return -1;
    }
}

} // namespace VSTGUI
