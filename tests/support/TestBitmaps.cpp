// SPDX-License-Identifier: GPL-3.0-or-later
#include "TestBitmaps.h"

#include "vstgui/IPlatformFactory.h"
#include "vstgui/Resources.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <map>
#include <stdexcept>
#include <unistd.h>

namespace TestBitmaps
{
namespace
{
std::map<std::string, std::vector<unsigned char>>& store()
{
    static std::map<std::string, std::vector<unsigned char>> images;
    return images;
}

std::vector<unsigned char> encode(const VSTGUI::PixelImage& image)
{
    char path[] = "/tmp/halvane-test-bitmap-XXXXXX";
    const int fd = mkstemp(path);
    if (fd < 0)
        throw std::runtime_error("no temporary file for a test bitmap");
    close(fd);
    const bool written = VSTGUI::getPlatformFactory().writePNG(image, path);
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::remove(path);
    if (!written || bytes.empty())
        throw std::runtime_error("test bitmap could not be encoded");
    return bytes;
}
} // namespace

void addBands(const std::string& resourceName, int width, int bandHeight,
              const std::vector<VSTGUI::CColor>& colours)
{
    const int height = bandHeight * static_cast<int>(colours.size());
    auto context = VSTGUI::getPlatformFactory().createOffscreenContext(VSTGUI::CPoint(width, height), 1.0);
    if (!context)
        throw std::runtime_error("no offscreen context for a test bitmap");
    context->setDrawMode(VSTGUI::kAliasing);
    for (size_t i = 0; i < colours.size(); ++i)
    {
        context->setFillColor(colours[i]);
        const double top = static_cast<double>(i) * bandHeight;
        context->drawRect(VSTGUI::CRect(0, top, width, top + bandHeight), VSTGUI::kDrawFilled);
    }
    store()[resourceName] = encode(context->getPixels());
}

void addResource(const std::string& resourceName, const std::string& bytes)
{
    store()[resourceName] = std::vector<unsigned char>(bytes.begin(), bytes.end());
}

void install()
{
    VSTGUI::setResourceLookup([](const std::string& name) {
        const auto found = store().find(name);
        if (found == store().end())
            return VSTGUI::ResourceData{};
        return VSTGUI::ResourceData{found->second.data(), found->second.size()};
    });
}
} // namespace TestBitmaps
