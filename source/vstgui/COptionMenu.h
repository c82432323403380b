// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CParamDisplay.h"

#include <string>
#include <vector>

namespace VSTGUI
{

class COptionMenuPopup;

// A list of entries; its value is the index of the current entry. A click opens a popup list
// drawn inside the frame; choosing an entry sets the value and tells the listener.
class COptionMenu : public CParamDisplay
{
public:
    COptionMenu(const CRect& size, IControlListener* listener, int32_t tag,
                CBitmap* background = nullptr, int32_t style = 0);
    ~COptionMenu() override;

    int32_t addEntry(const std::string& title, int32_t index = -1);
    bool removeEntry(int32_t index);
    void removeAllEntry();
    int32_t getNbEntries() const { return static_cast<int32_t>(entries.size()); }
    // Empty for an index out of range.
    std::string getEntry(int32_t index) const;
    // -1 when no entry is current.
    int32_t getCurrentIndex() const;
    bool setCurrent(int32_t index);

    void setValue(float value) override;

    // Opens the popup; false when there is nothing to choose or no frame to show it in.
    bool popup();
    bool isPopupOpen() const { return openPopup != nullptr; }
    COptionMenuPopup* getPopup() const { return openPopup; }
    // Called by the popup: a chosen entry (or -1 for none) and its closing.
    void popupClosed(int32_t chosenIndex);
    // Called by the popup when it leaves the tree some other way (the frame closing).
    void popupRemoved(COptionMenuPopup* popup);

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    bool removed(CView* parentView) override;

protected:
    std::string valueText() const override;

private:
    void closePopup();

    std::vector<std::string> entries;
    COptionMenuPopup* openPopup = nullptr;
};

} // namespace VSTGUI
