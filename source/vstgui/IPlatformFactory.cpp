// SPDX-License-Identifier: GPL-3.0-or-later
#include "vstgui/IPlatformFactory.h"

namespace VSTGUI
{

namespace
{

std::unique_ptr<IPlatformFactory>& currentFactory()
{
    static std::unique_ptr<IPlatformFactory> factory;
    return factory;
}

} // namespace

const IPlatformFactory& getPlatformFactory()
{
    std::unique_ptr<IPlatformFactory>& factory = currentFactory();
    if (!factory)
        factory = createDefaultPlatformFactory();
    return *factory;
}

void setPlatformFactory(std::unique_ptr<IPlatformFactory> factory)
{
    currentFactory() = std::move(factory);
}

} // namespace VSTGUI
