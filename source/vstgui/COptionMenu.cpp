// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/COptionMenu.h"

#include "vstgui/CFrame.h"
#include "vstgui/COptionMenuPopup.h"
#include "vstgui/IPlatformFactory.h"

#include <algorithm>
#include <cmath>

namespace VSTGUI
{

COptionMenu::COptionMenu(const CRect& size, IControlListener* listener, int32_t tag,
                         CBitmap* background, int32_t style)
    : CParamDisplay(size, background, style)
{
    setListener(listener);
    this->tag = tag;
    vmin = 0;
    vmax = 0;
}

COptionMenu::~COptionMenu()
{
    closePopup();
}

int32_t COptionMenu::addEntry(const std::string& title, int32_t index)
{
    if (index < 0 || index > getNbEntries())
        index = getNbEntries();
    entries.insert(entries.begin() + index, title);
    vmax = static_cast<float>(std::max(0, getNbEntries() - 1));
    invalid();
    return index;
}

bool COptionMenu::removeEntry(int32_t index)
{
    if (index < 0 || index >= getNbEntries())
        return false;
    entries.erase(entries.begin() + index);
    vmax = static_cast<float>(std::max(0, getNbEntries() - 1));
    invalid();
    return true;
}

void COptionMenu::removeAllEntry()
{
    entries.clear();
    vmax = 0;
    invalid();
}

std::string COptionMenu::getEntry(int32_t index) const
{
    if (index < 0 || index >= getNbEntries())
        return {};
    return entries[static_cast<size_t>(index)];
}

int32_t COptionMenu::getCurrentIndex() const
{
    if (entries.empty() || !std::isfinite(value))
        return -1;
    const auto index = static_cast<int32_t>(std::lround(value));
    return index >= 0 && index < getNbEntries() ? index : -1;
}

bool COptionMenu::setCurrent(int32_t index)
{
    if (index < 0 || index >= getNbEntries())
        return false;
    setValue(static_cast<float>(index));
    return true;
}

void COptionMenu::setValue(float v)
{
    CParamDisplay::setValue(v);
}

std::string COptionMenu::valueText() const
{
    return getEntry(getCurrentIndex());
}

bool COptionMenu::popup()
{
    CFrame* frame = getFrame();
    if (!frame || entries.empty() || openPopup)
        return false;
    // Below the menu, moved up or left where the frame ends.
    const CRect menuRect = getFrameRect();
    const CRect frameRect(CPoint(), frame->getViewSize().getSize());
    CCoord width = std::max<CCoord>(menuRect.getWidth(), 60);
    for (const std::string& entry : entries)
    {
        const CFontDesc* f = font ? font : kNormalFontSmall;
        width = std::max(width, getPlatformFactory().getStringWidth(*f, entry) + 16);
    }
    width = std::min(width, frameRect.getWidth());
    const CCoord height =
        std::min(COptionMenuPopup::kRowHeight * getNbEntries() + 2, frameRect.getHeight());
    CRect rect(menuRect.left, menuRect.bottom, menuRect.left + width, menuRect.bottom + height);
    if (rect.bottom > frameRect.bottom)
        rect.offset(0, frameRect.bottom - rect.bottom);
    if (rect.right > frameRect.right)
        rect.offset(frameRect.right - rect.right, 0);
    if (rect.left < 0)
        rect.offset(-rect.left, 0);
    if (rect.top < 0)
        rect.offset(0, -rect.top);
    openPopup = new COptionMenuPopup(this, rect, entries, getCurrentIndex());
    openPopup->setFont(font ? font : kNormalFontSmall);
    frame->addView(openPopup);
    frame->setModalView(openPopup);
    return true;
}

void COptionMenu::popupClosed(int32_t chosenIndex)
{
    closePopup();
    if (chosenIndex >= 0 && chosenIndex < getNbEntries())
    {
        beginEdit();
        setCurrent(chosenIndex);
        valueChanged();
        endEdit();
    }
}

void COptionMenu::popupRemoved(COptionMenuPopup* popupView)
{
    if (openPopup == popupView)
        openPopup = nullptr;
}

void COptionMenu::closePopup()
{
    COptionMenuPopup* popupView = openPopup;
    if (!popupView)
        return;
    openPopup = nullptr;
    popupView->detachMenu();
    if (CFrame* frame = popupView->getFrame())
    {
        if (frame->getModalView() == popupView)
            frame->setModalView(nullptr);
    }
    if (CViewContainer* parent = popupView->getParentView())
        parent->removeView(popupView, true);
}

CMouseEventResult COptionMenu::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    (void)where;
    if (!(buttons.isLeftButton() || buttons.isRightButton()))
        return kMouseEventNotHandled;
    if (listener && listener->controlModifierClicked(this, buttons) != 0)
        return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
    popup();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

bool COptionMenu::removed(CView* parentView)
{
    closePopup();
    return CParamDisplay::removed(parentView);
}

} // namespace VSTGUI
