// SPDX-License-Identifier: GPL-3.0-or-later
#include "Canvas.h"

#include <stdexcept>

namespace imagegen
{

Canvas::Canvas(int width, int height)
    : width_(width), height_(height),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height))
{
    if (cairo_surface_status(surface_.get()) != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot create a " + std::to_string(width) + " x " +
                                 std::to_string(height) + " image");
    context_.reset(cairo_create(surface_.get()));
}

unsigned char* Canvas::pixels()
{
    cairo_surface_flush(surface_.get());
    return cairo_image_surface_get_data(surface_.get());
}

int Canvas::stride() const
{
    return cairo_image_surface_get_stride(surface_.get());
}

void Canvas::markDirty()
{
    cairo_surface_mark_dirty(surface_.get());
}

void Canvas::writePng(const std::string& path) const
{
    cairo_surface_flush(surface_.get());
    const cairo_status_t status = cairo_surface_write_to_png(surface_.get(), path.c_str());
    if (status != CAIRO_STATUS_SUCCESS)
        throw std::runtime_error("cannot write " + path + ": " + cairo_status_to_string(status));
}

} // namespace imagegen
