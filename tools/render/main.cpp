// SPDX-License-Identifier: GPL-3.0-or-later
// halvane-render: renders audio through the HalvaneDuo bundle from the command line.
#include "CommandLine.h"
#include "PendingFile.h"
#include "RenderApp.h"
#include "RenderError.h"

#include "host/HostError.h"

#include <cstdio>
#include <exception>

#ifndef HALVANE_BUILD_BUNDLE
#define HALVANE_BUILD_BUNDLE ""
#endif

int main(int argc, char** argv)
{
    using namespace halvane::render;
    try
    {
        Options options = parseCommandLine(argc, argv);
        if (options.help)
        {
            std::fputs(usageText(), stdout);
            return 0;
        }
        PendingFile::installSignalCleanup();
        RenderApp app(std::move(options), HALVANE_BUILD_BUNDLE);
        return app.run();
    }
    catch (const RenderError& e)
    {
        std::fprintf(stderr, "halvane-render: %s%s\n", e.what(),
                     e.exitCode() == 2 ? " (see halvane-render --help)" : "");
        return e.exitCode();
    }
    catch (const halvane::host::HostError& e)
    {
        std::fprintf(stderr, "halvane-render: %s\n", e.what());
        return 1;
    }
    catch (const std::exception& e)
    {
        std::fprintf(stderr, "halvane-render: %s\n", e.what());
        return 1;
    }
}
