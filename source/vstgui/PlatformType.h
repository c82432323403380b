// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace VSTGUI
{

// The kind of native parent a frame is opened in.
enum PlatformType : int32_t
{
    kHWND = 0,
    kWindowRef,
    kNSView,
    kUIView,
    kHWNDTopLevel,
    kX11EmbedWindowID,
    kDefaultNative = -1
};

} // namespace VSTGUI
