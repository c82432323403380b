// SPDX-License-Identifier: GPL-3.0-or-later
#include "EditorSnapshot.h"

#include "host/HostError.h"
#include "host/PluginInstance.h"

#include <cairo.h>

#include <cstdio>
#include <memory>

namespace halvane::snapshot
{

host::EditorImage renderEditor(host::PluginInstance& plugin, double scale)
{
    auto view = host::EditorView::create(plugin, "editor");
    if (!view) throw host::HostError("\"" + plugin.classInfo().name + "\" has no editor");
    if (!view->open()) throw host::HostError("the editor of \"" + plugin.classInfo().name +
                                             "\" did not open");
    host::EditorImage image = view->render(scale);
    view->close();
    return image;
}

void writePng(const host::EditorImage& image, const std::string& path)
{
    std::unique_ptr<cairo_surface_t, decltype(&cairo_surface_destroy)> surface(
        cairo_image_surface_create(CAIRO_FORMAT_ARGB32, image.width, image.height),
        &cairo_surface_destroy);
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS)
        throw host::HostError("no memory for a " + std::to_string(image.width) + " x " +
                              std::to_string(image.height) + " picture");
    // Cairo keeps premultiplied native-endian ARGB.
    cairo_surface_flush(surface.get());
    unsigned char* data = cairo_image_surface_get_data(surface.get());
    const int stride = cairo_image_surface_get_stride(surface.get());
    for (int y = 0; y < image.height; ++y)
    {
        auto* row = reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < image.width; ++x)
        {
            const host::EditorImage::Pixel p = image.at(x, y);
            auto pre = [&p](uint8_t c) { return static_cast<uint32_t>((c * p.a + 127) / 255); };
            row[x] = (uint32_t(p.a) << 24) | (pre(p.r) << 16) | (pre(p.g) << 8) | pre(p.b);
        }
    }
    cairo_surface_mark_dirty(surface.get());
    if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS)
        throw host::HostError("cannot write " + path);
}

std::string snapshotFileName(const host::PluginInstance& plugin, double scale)
{
    Steinberg::char8 id[64] = {};
    plugin.classInfo().cid.toString(id);
    std::string name = std::string(id) + "_snapshot";
    if (scale != 1.0)
    {
        char factor[16];
        std::snprintf(factor, sizeof factor, "_%.1fx", scale);
        name += factor;
    }
    return name + ".png";
}

} // namespace halvane::snapshot
