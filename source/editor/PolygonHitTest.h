// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Even-odd point-in-polygon test; the edge from the last corner back to the first is included.
bool insidePolygon(const float* xs, const float* ys, int count, float x, float y);
