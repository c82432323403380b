// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "Vst2Interface.h"

#include "pluginterfaces/base/fplatform.h"

// The module's VST 2 effect for a host: its one class behind our wrapper. Defined beside the
// module's class factory, which knows the class.
AEffect* createEffectInstance(audioMasterCallback audioMaster);
