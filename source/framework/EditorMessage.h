// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

// The record of CPlugIn::handleEditorMessage. Editor types are carried as opaque pointers so
// the framework stays free of GUI headers.
struct EditorMessage
{
    enum Kind : uint32_t
    {
        kEditorOpened = 0,
        kEditorClosing = 1,
        kEditorTick = 2,
        kCreateCustomView = 3,
        kWantsOwnEditor = 5,
        kOpenOwnEditor = 6,
        kCloseOwnEditor = 7,
        kParamValueSet = 13,
    };

    uint32_t kind = 0;
    const char* customViewName = nullptr;
    int32_t controlTag = 0;
    int32_t left = 0;
    int32_t top = 0;
    int32_t bottom = 0;
    int32_t right = 0;
    int32_t offsetX = 0;
    int32_t offsetY = 0;
    const char* bitmapFile = nullptr;
    const char* handleBitmapFile = nullptr;
    const char* offBitmapFile = nullptr;
    const char* orientation = nullptr;
    const void* backColor = nullptr;
    const void* frameColor = nullptr;
    const void* fontColor = nullptr;
    int32_t frameWidth = 0;
    int32_t roundRectRadius = 0;
    bool styleNoFrame = false;
    bool styleRoundRect = false;
    int32_t heightOfOneImage = 0;
    int32_t subPixmaps = 0;
    const char* text = nullptr;
    void* customView = nullptr;
    void* parentWindow = nullptr;
    void* controlListener = nullptr;
    int32_t platformType = 0;
    double value = 0.0;
    uint32_t controlId = 0;
    uint64_t reservedWord = 0;
    void* moduleHandle = nullptr;
    void* parameterConnector = nullptr;
    bool wantsOwnEditor = false;
    int32_t width = 0;
    int32_t height = 0;
};
