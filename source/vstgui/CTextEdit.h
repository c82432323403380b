// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CTextLabel.h"

#include <functional>
#include <string>

namespace VSTGUI
{

// A label that is edited in place: a click starts editing with the text selected, typing replaces it,
// Enter or losing the focus commits (the listener hears valueChanged), Escape restores the text.
class CTextEdit : public CTextLabel
{
public:
    using StringToValueFunction = std::function<bool(const std::string& text, float& value, CTextEdit*)>;

    CTextEdit(const CRect& size, IControlListener* listener, int32_t tag,
              const std::string& text = "", CBitmap* background = nullptr, int32_t style = 0);

    void setStringToValueFunction(StringToValueFunction f) { stringToValue = std::move(f); }
    void setImmediateTextChange(bool state) { immediateTextChange = state; }
    bool getImmediateTextChange() const { return immediateTextChange; }

    bool isEditingText() const { return editingText; }
    // The text while it is being edited.
    const std::string& getEditText() const { return editBuffer; }

    CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
    int32_t onKeyDown(VstKeyCode& keyCode) override;
    void takeFocus() override;
    void looseFocus() override;
    void draw(CDrawContext* context) override;
    bool removed(CView* parentView) override;

private:
    void commit();
    void cancel();
    void finishEditing();

    StringToValueFunction stringToValue;
    std::string editBuffer;
    bool editingText = false;
    // The whole text is selected when editing starts: the first key replaces it.
    bool replaceOnType = false;
    bool immediateTextChange = false;
    bool committing = false;
};

} // namespace VSTGUI
