// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CBitmap.h"

namespace VSTGUI
{

// Corners drawn as they are, edges and centre tiled to fill the destination.
class CNinePartTiledBitmap : public CBitmap
{
public:
    CNinePartTiledBitmap(const std::string& resourceName, const CNinePartTiledDescription& offsets);

    const CNinePartTiledDescription& getPartOffsets() const { return offsets; }
    void setPartOffsets(const CNinePartTiledDescription& o);

    void draw(CDrawContext& context, const CRect& rect, const CPoint& offset = CPoint(),
              float alpha = 1.f) override;

private:
    CNinePartTiledDescription offsets;
};

} // namespace VSTGUI
