// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/COffscreenContext.h"
#include "vstgui/IPlatformBitmap.h"
#include "vstgui/PixelImage.h"

#include <cstddef>
#include <memory>
#include <string>

namespace VSTGUI
{

class CFontDesc;

// Everything the core needs from a drawing backend. The Cairo backend supplies the default; a
// window backend may wrap it or replace it, the core never sees which.
class IPlatformFactory
{
public:
    virtual ~IPlatformFactory() = default;

    // Null when the bytes are no image the backend can decode.
    virtual std::unique_ptr<IPlatformBitmap> createBitmapFromPNG(const void* data,
                                                                 std::size_t size) const = 0;
    // Null for an empty or absurd size.
    virtual std::unique_ptr<COffscreenContext> createOffscreenContext(const CPoint& size,
                                                                      double scaleFactor) const = 0;
    virtual double getStringWidth(const CFontDesc& font, const std::string& text) const = 0;
    // The installed family that draws this font (the fallback when the family is missing).
    virtual std::string resolveFontFamily(const CFontDesc& font) const = 0;
    virtual bool writePNG(const PixelImage& image, const std::string& path) const = 0;
};

const IPlatformFactory& getPlatformFactory();
// Null restores the default backend.
void setPlatformFactory(std::unique_ptr<IPlatformFactory> factory);
// Defined by the backend linked in.
std::unique_ptr<IPlatformFactory> createDefaultPlatformFactory();

} // namespace VSTGUI
