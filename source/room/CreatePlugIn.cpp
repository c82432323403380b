#include "room/Halvane.h"

CPlugIn* createPlugIn()
{
    return new CHalvane();
}
