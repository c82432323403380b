// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/CustomViewRequest.h"

#include "vstgui/IUIDescription.h"
#include "vstgui/UIAttributes.h"

#include <climits>
#include <cmath>
#include <cstdlib>

using namespace VSTGUI;

namespace
{

std::string text(const UIAttributes& attributes, const char* name)
{
    const std::string* value = attributes.getAttributeValue(name);
    return value ? *value : std::string();
}

// Truncated toward zero and kept inside int32, however large the description's numbers are.
int32_t truncated(double value)
{
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return INT32_MAX;
    if (value <= -2147483648.0) return INT32_MIN;
    return static_cast<int32_t>(value);
}

std::string withPng(const std::string& name)
{
    return name.empty() ? std::string() : name + ".png";
}

} // namespace

int32_t CustomViewRequest::parseInteger(const std::string& text)
{
    const long value = std::strtol(text.c_str(), nullptr, 10);
    if (value > INT32_MAX) return INT32_MAX;
    if (value < INT32_MIN) return INT32_MIN;
    return static_cast<int32_t>(value);
}

void CustomViewRequest::parsePoint(const std::string& text, CPoint& point)
{
    const size_t comma = text.find(',');
    if (comma == std::string::npos) return;
    point.x = parseInteger(text.substr(0, comma));
    point.y = parseInteger(text.substr(comma + 1));
}

CustomViewRequest::CustomViewRequest(const char* name, const UIAttributes& attributes,
                                     const IUIDescription* description)
    : viewName(name ? name : "")
{
    const std::string tagName = text(attributes, "control-tag");
    if (!tagName.empty() && description)
    {
        hasControlTag = true;
        controlTag = description->getTagForName(tagName.c_str());
        controlListener = description->getControlListener(tagName.c_str());
    }

    parsePoint(text(attributes, "origin"), origin);
    parsePoint(text(attributes, "size"), size);
    parsePoint(text(attributes, "background-offset"), offset);

    bitmapFile = withPng(text(attributes, "bitmap"));
    handleBitmapFile = withPng(text(attributes, "handle-bitmap"));
    // A handle bitmap takes the place of the off bitmap.
    if (handleBitmapFile.empty()) offBitmapFile = withPng(text(attributes, "off-bitmap"));
    orientation = text(attributes, "orientation");

    static const char* const colorNames[3] = {"back-color", "frame-color", "font-color"};
    for (int i = 0; i < 3; ++i)
    {
        const std::string colorName = text(attributes, colorNames[i]);
        if (colorName.empty()) continue;
        hasColor[i] = true;
        colors[i] = kWhiteCColor;
        CColor found;
        if (description && description->getColor(colorName.c_str(), found)) colors[i] = found;
    }

    frameWidth = parseInteger(text(attributes, "frame-width"));
    roundRectRadius = parseInteger(text(attributes, "round-rect-radius"));
    styleNoFrame = text(attributes, "style-no-frame") == "true";
    styleRoundRect = text(attributes, "style-round-rect") == "true";
    heightOfOneImage = parseInteger(text(attributes, "height-of-one-image"));
    subPixmaps = parseInteger(text(attributes, "sub-pixmaps"));
}

void CustomViewRequest::fill(EditorMessage& message) const
{
    message.kind = EditorMessage::kCreateCustomView;
    message.customViewName = viewName.c_str();
    message.text = "";
    message.customView = nullptr;
    message.parentWindow = nullptr;
    message.reservedWord = 0;
    message.moduleHandle = nullptr;
    message.wantsOwnEditor = false;
    message.width = 0;
    message.height = 0;
    message.controlListener = nullptr;
    if (hasControlTag)
    {
        message.controlTag = controlTag;
        message.controlListener = controlListener;
    }
    message.left = truncated(origin.x);
    message.top = truncated(origin.y);
    message.right = truncated(origin.x + size.x);
    message.bottom = truncated(origin.y + size.y);
    message.offsetX = truncated(offset.x);
    message.offsetY = truncated(offset.y);
    message.bitmapFile = bitmapFile.c_str();
    message.handleBitmapFile = handleBitmapFile.c_str();
    message.offBitmapFile = offBitmapFile.c_str();
    message.orientation = orientation.c_str();
    message.backColor = hasColor[0] ? &colors[0] : nullptr;
    message.frameColor = hasColor[1] ? &colors[1] : nullptr;
    message.fontColor = hasColor[2] ? &colors[2] : nullptr;
    message.frameWidth = frameWidth;
    message.roundRectRadius = roundRectRadius;
    message.styleRoundRect = styleRoundRect;
    message.styleNoFrame = styleNoFrame;
    message.heightOfOneImage = heightOfOneImage;
    message.subPixmaps = subPixmaps;
}
