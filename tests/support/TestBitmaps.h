// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CColor.h"

#include <string>
#include <vector>

// PNG resources drawn in memory (and other resources) for editor tests, found by name through VSTGUI's resource
// look-up like the module's own images.
namespace TestBitmaps
{
// One colour per band, bands of bandHeight pixels stacked from the top.
void addBands(const std::string& resourceName, int width, int bandHeight,
              const std::vector<VSTGUI::CColor>& colours);
// Any other resource, a description for instance.
void addResource(const std::string& resourceName, const std::string& bytes);
// Makes the registered images (and only those) the resources VSTGUI sees.
void install();
} // namespace TestBitmaps
