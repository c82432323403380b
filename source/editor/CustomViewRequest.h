// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "framework/EditorMessage.h"

#include "vstgui/CColor.h"
#include "vstgui/CPoint.h"

#include <string>

namespace VSTGUI
{
class IControlListener;
class IUIDescription;
class UIAttributes;
} // namespace VSTGUI

// A description node offered to the plug-in object as a custom view (editor-message kind 3):
// the node's attributes read once, kept here so the message's texts and colors stay valid for
// as long as the record may still point at them.
class CustomViewRequest
{
public:
    CustomViewRequest(const char* name, const VSTGUI::UIAttributes& attributes,
                      const VSTGUI::IUIDescription* description);
    CustomViewRequest(const CustomViewRequest&) = delete;
    CustomViewRequest& operator=(const CustomViewRequest&) = delete;

    // Writes the kind-3 fields; `controlTag` is left alone when the node names no control tag.
    void fill(EditorMessage& message) const;

    // "x,y", "x, y" or "x ,y": each an integer, read as strtol does. Without a comma the point
    // keeps its value.
    static void parsePoint(const std::string& text, VSTGUI::CPoint& point);
    // The leading integer of the text (0 when there is none), clamped to the int32 range.
    static int32_t parseInteger(const std::string& text);

private:
    std::string viewName;
    bool hasControlTag = false;
    int32_t controlTag = 0;
    VSTGUI::IControlListener* controlListener = nullptr;
    VSTGUI::CPoint origin;
    VSTGUI::CPoint size;
    VSTGUI::CPoint offset;
    std::string bitmapFile;
    std::string handleBitmapFile;
    std::string offBitmapFile;
    std::string orientation;
    VSTGUI::CColor colors[3];
    bool hasColor[3] = {false, false, false};
    int32_t frameWidth = 0;
    int32_t roundRectRadius = 0;
    bool styleNoFrame = false;
    bool styleRoundRect = false;
    int32_t heightOfOneImage = 0;
    int32_t subPixmaps = 0;
};
