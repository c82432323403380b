// SPDX-License-Identifier: GPL-3.0-or-later
#include "tests/support/TestPlugInFactory.h"

namespace
{
std::function<CPlugIn*()>& currentFactory()
{
    static std::function<CPlugIn*()> factory;
    return factory;
}
} // namespace

void TestPlugIns::setFactory(std::function<CPlugIn*()> factory)
{
    currentFactory() = std::move(factory);
}

CPlugIn* createPlugIn()
{
    return currentFactory() ? currentFactory()() : nullptr;
}
