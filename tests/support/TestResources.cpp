// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestResources.h"

#include "vstgui/Resources.h"

#include <cairo.h>

#include <cstring>

namespace halvane::test
{

namespace
{

cairo_status_t appendBytes(void* closure, const unsigned char* data, unsigned int length)
{
    auto* out = static_cast<std::vector<unsigned char>*>(closure);
    out->insert(out->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

template <class Paint>
std::vector<unsigned char> encode(int width, int height, Paint paint)
{
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_t* cr = cairo_create(surface);
    cairo_set_antialias(cr, CAIRO_ANTIALIAS_NONE);
    paint(cr);
    cairo_destroy(cr);
    std::vector<unsigned char> bytes;
    cairo_surface_write_to_png_stream(surface, appendBytes, &bytes);
    cairo_surface_destroy(surface);
    return bytes;
}

void fill(cairo_t* cr, double x, double y, double w, double h, Rgb c, double alpha = 1.0)
{
    cairo_set_source_rgba(cr, c.r / 255.0, c.g / 255.0, c.b / 255.0, alpha);
    cairo_rectangle(cr, x, y, w, h);
    cairo_fill(cr);
}

} // namespace

Rgb frameColor(int frame)
{
    return {static_cast<uint8_t>(frame * 3 % 256), static_cast<uint8_t>(255 - frame * 2 % 256), 40};
}

Rgb gridColor(int col, int row)
{
    return {static_cast<uint8_t>(40 + col * 90), static_cast<uint8_t>(40 + row * 90), 200};
}

std::vector<unsigned char> makeStripPNG(int width, int frameHeight, int frames)
{
    return encode(width, frameHeight * frames, [&](cairo_t* cr) {
        for (int i = 0; i < frames; ++i)
            fill(cr, 0, i * frameHeight, width, frameHeight, frameColor(i));
    });
}

std::vector<unsigned char> makeSolidPNG(int width, int height, Rgb color, uint8_t alpha)
{
    return encode(width, height, [&](cairo_t* cr) {
        cairo_set_operator(cr, CAIRO_OPERATOR_SOURCE);
        fill(cr, 0, 0, width, height, color, alpha / 255.0);
    });
}

std::vector<unsigned char> makeGridPNG(int w, int h)
{
    return encode(3 * w, 3 * h, [&](cairo_t* cr) {
        for (int row = 0; row < 3; ++row)
            for (int col = 0; col < 3; ++col)
                fill(cr, col * w, row * h, w, h, gridColor(col, row));
    });
}

TestResources::TestResources()
{
    VSTGUI::setResourceLookup([this](const std::string& name) {
        auto found = resources.find(name);
        if (found == resources.end())
            return VSTGUI::ResourceData{};
        return VSTGUI::ResourceData{found->second.data(), found->second.size()};
    });
}

TestResources::~TestResources()
{
    VSTGUI::setResourceLookup({});
}

void TestResources::add(const std::string& name, std::vector<unsigned char> bytes)
{
    resources[name] = std::move(bytes);
}

void TestResources::add(const std::string& name, const std::string& text)
{
    resources[name] = std::vector<unsigned char>(text.begin(), text.end());
}

} // namespace halvane::test
