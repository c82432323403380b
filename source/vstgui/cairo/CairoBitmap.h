// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/IPlatformBitmap.h"

#include <cairo.h>

#include <cstddef>
#include <memory>

namespace VSTGUI
{

// An ARGB32 image surface decoded from PNG bytes.
class CairoBitmap : public IPlatformBitmap
{
public:
    // Null when the bytes are no PNG cairo can read.
    static std::unique_ptr<CairoBitmap> fromPNG(const void* data, std::size_t size);
    ~CairoBitmap() override;

    CPoint getSize() const override;
    cairo_surface_t* surface() const { return image; }

private:
    explicit CairoBitmap(cairo_surface_t* image) : image(image) {}

    cairo_surface_t* image;
};

} // namespace VSTGUI
