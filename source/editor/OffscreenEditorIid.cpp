// SPDX-License-Identifier: GPL-3.0-or-later
#include "editor/IOffscreenEditor.h"

namespace Halvane
{
DEF_CLASS_IID(IOffscreenEditor)
} // namespace Halvane
