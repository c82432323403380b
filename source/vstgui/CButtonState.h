// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace VSTGUI
{

enum CButton : int32_t
{
    kLButton = 1 << 1,
    kMButton = 1 << 2,
    kRButton = 1 << 3,
    kShift = 1 << 4,
    kControl = 1 << 5, // Ctrl on Windows and Linux, Command on macOS
    kAlt = 1 << 6,
    kApple = 1 << 7, // the real Control key on macOS
    kButton4 = 1 << 8,
    kButton5 = 1 << 9,
    kDoubleClick = 1 << 10,
    kMouseWheelInverted = 1 << 11
};

constexpr int32_t kZoomModifier = kShift;
constexpr int32_t kDefaultValueModifier = kControl;

class CButtonState
{
public:
    CButtonState(int32_t state = 0) : state(state) {}

    int32_t getButtonState() const { return state & (kLButton | kMButton | kRButton | kButton4 | kButton5); }
    int32_t getModifierState() const { return state & (kShift | kControl | kAlt | kApple); }
    bool isLeftButton() const { return (state & kLButton) != 0; }
    bool isRightButton() const { return (state & kRButton) != 0; }
    bool isDoubleClick() const { return (state & kDoubleClick) != 0; }

    int32_t operator()() const { return state; }
    CButtonState& operator|=(int32_t bits)
    {
        state |= bits;
        return *this;
    }
    int32_t operator&(int32_t bits) const { return state & bits; }
    bool operator==(const CButtonState& other) const { return state == other.state; }
    bool operator!=(const CButtonState& other) const { return state != other.state; }

private:
    int32_t state;
};

enum CMouseEventResult
{
    kMouseEventNotImplemented = 0,
    kMouseEventHandled,
    kMouseEventNotHandled,
    kMouseDownEventHandledButDontNeedMovedOrUpEvents,
    kMouseMoveEventHandledButDontNeedMoreEvents
};

enum CMouseWheelAxis
{
    kMouseWheelAxisX = 0,
    kMouseWheelAxisY
};

enum VirtualKey : unsigned char
{
    VKEY_BACK = 1,
    VKEY_TAB,
    VKEY_CLEAR,
    VKEY_RETURN,
    VKEY_PAUSE,
    VKEY_ESCAPE,
    VKEY_SPACE,
    VKEY_NEXT,
    VKEY_END,
    VKEY_HOME,
    VKEY_LEFT,
    VKEY_UP,
    VKEY_RIGHT,
    VKEY_DOWN,
    VKEY_PAGEUP,
    VKEY_PAGEDOWN,
    VKEY_SELECT,
    VKEY_PRINT,
    VKEY_ENTER,
    VKEY_SNAPSHOT,
    VKEY_INSERT,
    VKEY_DELETE
};

enum VstModifierKey : unsigned char
{
    MODIFIER_SHIFT = 1 << 0,
    MODIFIER_ALTERNATE = 1 << 1,
    MODIFIER_COMMAND = 1 << 2,
    MODIFIER_CONTROL = 1 << 3
};

// A key as VSTGUI 4 passes it: a character, or a virtual key when character is 0.
struct VstKeyCode
{
    int32_t character = 0;
    unsigned char virt = 0;
    unsigned char modifier = 0;
};

} // namespace VSTGUI
