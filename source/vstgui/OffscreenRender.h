// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/PixelImage.h"

#include <string>

namespace VSTGUI
{

class CFrame;
class CView;

// Draws a frame (or any view with its subtree) into pixels, as a window backend would show it at
// that backing scale factor. An empty image when the view has no area.
PixelImage renderOffscreen(CFrame& frame, double scaleFactor = 1.0);
PixelImage renderViewOffscreen(CView& view, double scaleFactor = 1.0);
bool savePNG(const PixelImage& image, const std::string& path);

} // namespace VSTGUI
