#include "editor/IOffscreenEditor.h"

namespace Halvane
{
DEF_CLASS_IID(IOffscreenEditor)
} // namespace Halvane
