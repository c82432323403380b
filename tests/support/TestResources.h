// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// PNG images made with Cairo directly (not through the code under test) and served to the VSTGUI
// resource look-up by name.
namespace halvane::test
{

struct Rgb
{
    uint8_t r, g, b;
};

// A vertical strip of `frames` solid frames of width x frameHeight; frame i is frameColor(i).
std::vector<unsigned char> makeStripPNG(int width, int frameHeight, int frames);
Rgb frameColor(int frame);
// One solid image.
std::vector<unsigned char> makeSolidPNG(int width, int height, Rgb color, uint8_t alpha = 255);
// A 3 x 3 grid of solid cells, each w x h, cell (col, row) is gridColor(col, row).
std::vector<unsigned char> makeGridPNG(int w, int h);
Rgb gridColor(int col, int row);

// Installs itself as the resource look-up; the previous look-up is restored on destruction.
class TestResources
{
public:
    TestResources();
    ~TestResources();
    TestResources(const TestResources&) = delete;
    TestResources& operator=(const TestResources&) = delete;

    void add(const std::string& name, std::vector<unsigned char> bytes);
    void add(const std::string& name, const std::string& text);

private:
    std::map<std::string, std::vector<unsigned char>> resources;
};

} // namespace halvane::test
