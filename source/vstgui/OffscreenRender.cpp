// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/OffscreenRender.h"

#include "vstgui/CFrame.h"
#include "vstgui/IPlatformFactory.h"

namespace VSTGUI
{

PixelImage renderOffscreen(CFrame& frame, double scaleFactor)
{
    const CRect area(CPoint(), frame.getViewSize().getSize());
    auto context = getPlatformFactory().createOffscreenContext(area.getSize(), scaleFactor);
    if (!context)
        return {};
    frame.platformDrawRect(context.get(), area);
    return context->getPixels();
}

PixelImage renderViewOffscreen(CView& view, double scaleFactor)
{
    const CRect& size = view.getViewSize();
    auto context = getPlatformFactory().createOffscreenContext(size.getSize(), scaleFactor);
    if (!context)
        return {};
    // The view draws in its parent's coordinates; shift them so its corner lands at 0, 0.
    CGraphicsTransform shift;
    shift.translate(-size.left, -size.top);
    context->pushTransform(shift);
    view.drawRect(context.get(), size);
    context->popTransform();
    return context->getPixels();
}

bool savePNG(const PixelImage& image, const std::string& path)
{
    return getPlatformFactory().writePNG(image, path);
}

} // namespace VSTGUI
