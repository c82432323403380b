// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CTextEdit.h"

#include "vstgui/CFrame.h"

namespace VSTGUI
{

namespace
{

void appendUtf8(std::string& out, int32_t code)
{
    const auto c = static_cast<uint32_t>(code);
    if (c < 0x80)
    {
        out += static_cast<char>(c);
    }
    else if (c < 0x800)
    {
        out += static_cast<char>(0xc0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3f));
    }
    else if (c < 0x10000)
    {
        out += static_cast<char>(0xe0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    }
    else if (c < 0x110000)
    {
        out += static_cast<char>(0xf0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3f));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3f));
        out += static_cast<char>(0x80 | (c & 0x3f));
    }
}

void eraseLastUtf8(std::string& text)
{
    while (!text.empty())
    {
        const auto c = static_cast<unsigned char>(text.back());
        text.pop_back();
        if ((c & 0xc0) != 0x80)
            break;
    }
}

} // namespace

CTextEdit::CTextEdit(const CRect& size, IControlListener* listener, int32_t tag,
                     const std::string& text, CBitmap* background, int32_t style)
    : CTextLabel(size, text, background, style)
{
    setListener(listener);
    this->tag = tag;
    setWantsFocus(true);
}

CMouseEventResult CTextEdit::onMouseDown(CPoint& where, const CButtonState& buttons)
{
    (void)where;
    if (!buttons.isLeftButton())
        return kMouseEventNotHandled;
    if (CFrame* frame = getFrame())
    {
        if (frame->getFocusView() != this)
            frame->setFocusView(this);
    }
    else
    {
        takeFocus();
    }
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CTextEdit::takeFocus()
{
    if (editingText)
        return;
    editingText = true;
    replaceOnType = true;
    editBuffer = text;
    invalid();
}

void CTextEdit::looseFocus()
{
    // Leaving the field keeps what was typed.
    commit();
}

int32_t CTextEdit::onKeyDown(VstKeyCode& keyCode)
{
    if (!editingText)
        return -1;
    switch (keyCode.virt)
    {
    case VKEY_RETURN:
    case VKEY_ENTER:
        commit();
        finishEditing();
        return 1;
    case VKEY_ESCAPE:
        cancel();
        finishEditing();
        return 1;
    case VKEY_BACK:
        if (replaceOnType)
            editBuffer.clear();
        else
            eraseLastUtf8(editBuffer);
        replaceOnType = false;
        break;
    case VKEY_TAB:
        commit();
        finishEditing();
        return -1;
    default:
        if (keyCode.virt != 0 || keyCode.character < 0x20 || keyCode.character == 0x7f)
            return -1;
        if (replaceOnType)
            editBuffer.clear();
        replaceOnType = false;
        appendUtf8(editBuffer, keyCode.character);
        break;
    }
    invalid();
    if (immediateTextChange)
    {
        CTextLabel::setText(editBuffer);
        valueChanged();
    }
    return 1;
}

void CTextEdit::commit()
{
    if (!editingText || committing)
        return;
    committing = true;
    editingText = false;
    // setText may append to the text (units); the listener reads what the field now shows.
    setText(editBuffer);
    float v = value;
    if (stringToValue && stringToValue(text, v, this))
        setValue(v);
    beginEdit();
    valueChanged();
    endEdit();
    committing = false;
    invalid();
}

void CTextEdit::cancel()
{
    editingText = false;
    editBuffer.clear();
    invalid();
}

void CTextEdit::finishEditing()
{
    CFrame* frame = getFrame();
    if (frame && frame->getFocusView() == this)
        frame->setFocusView(nullptr);
}

void CTextEdit::draw(CDrawContext* context)
{
    if (!editingText)
    {
        CTextLabel::draw(context);
        return;
    }
    drawBack(context);
    drawPlatformText(context, editBuffer);
    // A caret after the text shows the field is being edited.
    context->setFont(font ? font : kNormalFontSmall);
    const double width = context->getStringWidth(editBuffer);
    CRect textRect(size);
    textRect.inset(textInset.x, textInset.y);
    double x = textRect.left + width;
    if (horiAlign == kCenterText)
        x = textRect.left + (textRect.getWidth() + width) / 2;
    else if (horiAlign == kRightText)
        x = textRect.right - 1;
    context->setFrameColor(fontColor);
    context->setLineWidth(1);
    context->drawLine({x, textRect.top + 2}, {x, textRect.bottom - 3});
    setDirty(false);
}

bool CTextEdit::removed(CView* parentView)
{
    editingText = false;
    return CTextLabel::removed(parentView);
}

} // namespace VSTGUI
