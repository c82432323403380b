// SPDX-License-Identifier: GPL-3.0-or-later
#include "room/Halvane.h"

CPlugIn* createPlugIn()
{
    return new CHalvane();
}
