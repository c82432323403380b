// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the editor's images into a directory: imagegen --out DIR
#include "BrushedMetal.h"
#include "ChickenHeadKnob.h"
#include "PanelBackground.h"
#include "ToggleSwitch.h"

#include <cstring>
#include <exception>
#include <filesystem>
#include <iostream>
#include <string>

using namespace imagegen;

namespace
{
constexpr int kKnobSize = 42;
constexpr int kKnobFrames = 80;
constexpr double kKnobSweep = 270.0;

void usage()
{
    std::cerr << "usage: imagegen --out DIRECTORY\n";
}
} // namespace

int main(int argc, char** argv)
{
    std::string outDir;
    for (int i = 1; i < argc; ++i)
    {
        if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc)
            outDir = argv[++i];
        else
        {
            usage();
            return 2;
        }
    }
    if (outDir.empty())
    {
        usage();
        return 2;
    }

    try
    {
        std::filesystem::create_directories(outDir);
        const std::filesystem::path dir(outDir);

        PanelBackground(380, 330).draw().writePng(dir / "background.png");

        Canvas metal(512, 512);
        BrushedMetal{}.paint(metal);
        metal.writePng(dir / "greymetal.png");

        // Black bakelite for the room controls, oxblood for the output gain.
        const ChickenHeadKnob::Palette room{{0.29, 0.29, 0.31}, {0.07, 0.07, 0.08},
                                            {0.96, 0.95, 0.90}, {0.10, 0.10, 0.10}};
        const ChickenHeadKnob::Palette gain{{0.29, 0.29, 0.31}, {0.52, 0.08, 0.06},
                                            {0.98, 0.95, 0.86}, {0.10, 0.10, 0.10}};
        ChickenHeadKnob(room, kKnobSize).strip(kKnobFrames, kKnobSweep).writePng(dir / "chickenhead3.png");
        ChickenHeadKnob(gain, kKnobSize).strip(kKnobFrames, kKnobSweep).writePng(dir / "chickenhead2.png");

        ToggleSwitch(42).strip().writePng(dir / "medtoggleswitch.png");
    }
    catch (const std::exception& e)
    {
        std::cerr << "imagegen: " << e.what() << "\n";
        return 1;
    }
    return 0;
}
