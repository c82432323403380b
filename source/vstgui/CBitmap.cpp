// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/CBitmap.h"

#include "vstgui/CDrawContext.h"
#include "vstgui/IPlatformFactory.h"
#include "vstgui/Resources.h"

namespace VSTGUI
{

CBitmap::CBitmap(const std::string& resourceName) : resourceName(resourceName)
{
    ResourceData data = findResource(resourceName);
    if (data.size > 0)
        platformBitmap = getPlatformFactory().createBitmapFromPNG(data.data, data.size);
}

CBitmap::CBitmap(std::unique_ptr<IPlatformBitmap> platformBitmap)
    : platformBitmap(std::move(platformBitmap))
{
}

CBitmap::~CBitmap() = default;

CCoord CBitmap::getWidth() const
{
    return platformBitmap ? platformBitmap->getSize().x : 0;
}

CCoord CBitmap::getHeight() const
{
    return platformBitmap ? platformBitmap->getSize().y : 0;
}

void CBitmap::draw(CDrawContext& context, const CRect& rect, const CPoint& offset, float alpha)
{
    if (platformBitmap)
        context.drawPlatformBitmap(*platformBitmap, rect, offset, alpha);
}

} // namespace VSTGUI
