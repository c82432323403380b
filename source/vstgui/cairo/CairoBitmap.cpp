// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/cairo/CairoBitmap.h"

#include <cstring>

namespace VSTGUI
{

namespace
{

struct ReadCursor
{
    const unsigned char* data;
    std::size_t size;
    std::size_t position;
};

cairo_status_t readChunk(void* closure, unsigned char* out, unsigned int length)
{
    auto* cursor = static_cast<ReadCursor*>(closure);
    if (length > cursor->size - cursor->position)
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(out, cursor->data + cursor->position, length);
    cursor->position += length;
    return CAIRO_STATUS_SUCCESS;
}

} // namespace

std::unique_ptr<CairoBitmap> CairoBitmap::fromPNG(const void* data, std::size_t size)
{
    if (!data || size == 0)
        return nullptr;
    ReadCursor cursor{static_cast<const unsigned char*>(data), size, 0};
    cairo_surface_t* image = cairo_image_surface_create_from_png_stream(readChunk, &cursor);
    if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS
        || cairo_image_surface_get_width(image) <= 0 || cairo_image_surface_get_height(image) <= 0)
    {
        cairo_surface_destroy(image);
        return nullptr;
    }
    return std::unique_ptr<CairoBitmap>(new CairoBitmap(image));
}

CairoBitmap::~CairoBitmap()
{
    cairo_surface_destroy(image);
}

CPoint CairoBitmap::getSize() const
{
    return {static_cast<double>(cairo_image_surface_get_width(image)),
            static_cast<double>(cairo_image_surface_get_height(image))};
}

} // namespace VSTGUI
