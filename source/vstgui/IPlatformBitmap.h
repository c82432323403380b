// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CPoint.h"

namespace VSTGUI
{

// Decoded image pixels owned by the drawing backend.
class IPlatformBitmap
{
public:
    virtual ~IPlatformBitmap() = default;
    // In pixels.
    virtual CPoint getSize() const = 0;
};

} // namespace VSTGUI
