// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CBaseObject.h"
#include "vstgui/CRect.h"
#include "vstgui/SharedPointer.h"

#include <memory>
#include <string>

namespace VSTGUI
{

class CDrawContext;
class IPlatformBitmap;

// An image found by name through the resource look-up. A missing or undecodable resource
// gives a bitmap of size 0 that draws nothing.
class CBitmap : public CBaseObject
{
public:
    explicit CBitmap(const std::string& resourceName);
    explicit CBitmap(std::unique_ptr<IPlatformBitmap> platformBitmap);
    ~CBitmap() override;

    const std::string& getResourceName() const { return resourceName; }
    bool isLoaded() const { return platformBitmap != nullptr; }
    CCoord getWidth() const;
    CCoord getHeight() const;
    CPoint getSize() const { return {getWidth(), getHeight()}; }
    const IPlatformBitmap* getPlatformBitmap() const { return platformBitmap.get(); }

    virtual void draw(CDrawContext& context, const CRect& rect, const CPoint& offset = CPoint(),
                      float alpha = 1.f);

private:
    std::string resourceName;
    std::unique_ptr<IPlatformBitmap> platformBitmap;
};

using SharedBitmap = SharedPointer<CBitmap>;

// Margins that stay unscaled when a nine-part bitmap is stretched.
struct CNinePartTiledDescription
{
    CCoord left = 0;
    CCoord top = 0;
    CCoord right = 0;
    CCoord bottom = 0;
};

} // namespace VSTGUI
