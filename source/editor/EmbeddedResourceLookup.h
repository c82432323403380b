// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace Halvane
{
// Points VSTGUI's resource look-up at what the module has compiled in, once per process, then
// hands the name back, so an editor can do it in its base's initialiser before the description
// is read. A look-up set afterwards (a test's) stays in place.
const char* withEmbeddedResources(const char* resourceName);
} // namespace Halvane
