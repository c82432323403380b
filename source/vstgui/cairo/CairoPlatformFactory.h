// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/IPlatformFactory.h"
#include "vstgui/cairo/CairoFontResolver.h"

namespace VSTGUI
{

class CairoPlatformFactory : public IPlatformFactory
{
public:
    std::unique_ptr<IPlatformBitmap> createBitmapFromPNG(const void* data,
                                                         std::size_t size) const override;
    std::unique_ptr<COffscreenContext> createOffscreenContext(const CPoint& size,
                                                              double scaleFactor) const override;
    double getStringWidth(const CFontDesc& font, const std::string& text) const override;
    std::string resolveFontFamily(const CFontDesc& font) const override;
    bool writePNG(const PixelImage& image, const std::string& path) const override;

private:
    CairoFontResolver fonts;
};

} // namespace VSTGUI
