// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace VSTGUI
{

// Straight (not premultiplied) RGBA, 4 bytes a pixel, rows top to bottom without padding.
struct PixelImage
{
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;

    struct Pixel
    {
        uint8_t r, g, b, a;
    };

    bool isEmpty() const { return width <= 0 || height <= 0; }
    // Outside the image: a fully transparent black pixel.
    Pixel pixel(int x, int y) const
    {
        if (x < 0 || y < 0 || x >= width || y >= height)
            return {0, 0, 0, 0};
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        return {p[0], p[1], p[2], p[3]};
    }
};

} // namespace VSTGUI
