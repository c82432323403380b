// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/cairo/CairoPlatformFactory.h"

#include "vstgui/CFontDesc.h"
#include "vstgui/cairo/CairoBitmap.h"
#include "vstgui/cairo/CairoDrawContext.h"

namespace VSTGUI
{

std::unique_ptr<IPlatformBitmap> CairoPlatformFactory::createBitmapFromPNG(const void* data,
                                                                           std::size_t size) const
{
    return CairoBitmap::fromPNG(data, size);
}

std::unique_ptr<COffscreenContext> CairoPlatformFactory::createOffscreenContext(
    const CPoint& size, double scaleFactor) const
{
    auto context = std::make_unique<CairoDrawContext>(size, scaleFactor, fonts);
    if (!context->isValid())
        return nullptr;
    return context;
}

double CairoPlatformFactory::getStringWidth(const CFontDesc& font, const std::string& text) const
{
    CairoDrawContext context(CPoint(1, 1), 1.0, fonts);
    context.setFont(&font);
    return context.getStringWidth(text);
}

std::string CairoPlatformFactory::resolveFontFamily(const CFontDesc& font) const
{
    return fonts.family(font);
}

bool CairoPlatformFactory::writePNG(const PixelImage& image, const std::string& path) const
{
    if (image.isEmpty() || image.rgba.size() != static_cast<size_t>(image.width) * image.height * 4)
        return false;
    cairo_surface_t* surface =
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS)
    {
        cairo_surface_destroy(surface);
        return false;
    }
    cairo_surface_flush(surface);
    unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int y = 0; y < image.height; ++y)
    {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < image.width; ++x)
        {
            const uint8_t* p = &image.rgba[(static_cast<size_t>(y) * image.width + x) * 4];
            const uint32_t a = p[3];
            auto premultiply = [a](uint32_t c) { return (c * a + 127) / 255; };
            row[x] = (a << 24) | (premultiply(p[0]) << 16) | (premultiply(p[1]) << 8)
                     | premultiply(p[2]);
        }
    }
    cairo_surface_mark_dirty(surface);
    const bool ok = cairo_surface_write_to_png(surface, path.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(surface);
    return ok;
}

std::unique_ptr<IPlatformFactory> createDefaultPlatformFactory()
{
    return std::make_unique<CairoPlatformFactory>();
}

} // namespace VSTGUI
