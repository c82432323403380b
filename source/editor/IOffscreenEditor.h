// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "pluginterfaces/base/funknown.h"

namespace Halvane
{

// The platform type for IPlugView::attached that opens the editor without a window: it is
// drawn into memory and driven by injected events. The parent pointer is the host's token and
// is never dereferenced.
constexpr Steinberg::FIDString kPlatformTypeOffscreen = "HalvaneOffscreen";

// What our own host, tools and tests ask of an editor view besides IPlugView: pictures of the
// open editor and the events a window system would deliver. Coordinates are editor pixels.
class IOffscreenEditor : public Steinberg::FUnknown
{
public:
    enum MouseButton : Steinberg::int32
    {
        kLeftButton = 1 << 1,
        kMiddleButton = 1 << 2,
        kRightButton = 1 << 3,
        kDoubleClick = 1 << 4,
    };
    // The SDK's KeyModifier values, for keys and mouse alike.
    enum Modifier : Steinberg::int32
    {
        kShift = 1 << 0,
        kAlternate = 1 << 1,
        kCommand = 1 << 2, // the Ctrl key on Linux and Windows
        kControl = 1 << 3, // the real Control key on macOS
    };
    // The SDK's VirtualKeyCodes numbering, of the keys our editors react to.
    enum VirtualKey : Steinberg::int16
    {
        kKeyBack = 1,
        kKeyTab = 2,
        kKeyReturn = 4,
        kKeyEscape = 6,
        kKeyLeft = 11,
        kKeyUp = 12,
        kKeyRight = 13,
        kKeyDown = 14,
        kKeyEnter = 19,
        kKeyDelete = 22,
    };
    enum MouseEvent : Steinberg::int32
    {
        kMouseDown = 0,
        kMouseMoved = 1,
        kMouseUp = 2,
    };

    // Draws the open editor at `scale` into `rgba` (straight alpha, R, G, B, A bytes per pixel;
    // `rowBytes` apart). The buffer must hold the view's size times `scale`, rounded up;
    // kInvalidArgument when it is too small, kResultFalse when the editor is not open.
    virtual Steinberg::tresult PLUGIN_API renderRGBA(Steinberg::uint8* rgba, Steinberg::int32 width,
                                                     Steinberg::int32 height,
                                                     Steinberg::int32 rowBytes,
                                                     double scale) = 0;
    // `buttons` and `modifiers` combine the flags above. kResultTrue when a view took it.
    virtual Steinberg::tresult PLUGIN_API injectMouse(Steinberg::int32 event, double x, double y,
                                                      Steinberg::int32 buttons,
                                                      Steinberg::int32 modifiers) = 0;
    // Positive distances turn up, one notch is 1.
    virtual Steinberg::tresult PLUGIN_API injectWheel(double x, double y, float distance,
                                                      Steinberg::int32 modifiers) = 0;
    // `character` is the typed character (0 for a virtual key), `virtualKey` one of the above.
    virtual Steinberg::tresult PLUGIN_API injectKey(Steinberg::TBool down,
                                                    Steinberg::char16 character,
                                                    Steinberg::int16 virtualKey,
                                                    Steinberg::int16 modifiers) = 0;
    // Lets the module's user-interface timers (every open editor's) see `milliseconds` pass;
    // each fires as often as it would have in that time.
    virtual Steinberg::tresult PLUGIN_API advanceTime(Steinberg::uint32 milliseconds) = 0;

    static const Steinberg::FUID iid;
};

DECLARE_CLASS_IID(IOffscreenEditor, 0x6A1D3C52, 0x0B9E4F17, 0x8C2A5D40, 0x93E7B1F6)

} // namespace Halvane
