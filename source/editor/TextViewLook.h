// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "vstgui/CParamDisplay.h"

// Copies what a description can set on a text view, for views that are duplicated.
void copyTextViewLook(const VSTGUI::CParamDisplay& from, VSTGUI::CParamDisplay& to);
