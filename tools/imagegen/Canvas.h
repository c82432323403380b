// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cairo.h>

#include <memory>
#include <string>

namespace imagegen
{

// A transparent ARGB image with a Cairo context drawing into it.
class Canvas
{
public:
    Canvas(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    cairo_t* context() const { return context_.get(); }
    cairo_surface_t* surface() const { return surface_.get(); }

    // Direct pixel access (premultiplied ARGB, native endian). Call markDirty() after writing.
    unsigned char* pixels();
    int stride() const;
    void markDirty();

    // Throws std::runtime_error when the file cannot be written.
    void writePng(const std::string& path) const;

private:
    struct SurfaceDeleter
    {
        void operator()(cairo_surface_t* s) const { cairo_surface_destroy(s); }
    };
    struct ContextDeleter
    {
        void operator()(cairo_t* c) const { cairo_destroy(c); }
    };

    int width_;
    int height_;
    std::unique_ptr<cairo_surface_t, SurfaceDeleter> surface_;
    std::unique_ptr<cairo_t, ContextDeleter> context_;
};

} // namespace imagegen
