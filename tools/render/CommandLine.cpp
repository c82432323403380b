// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include "AudioReader.h"
#include "RenderError.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

namespace halvane::render
{

namespace
{

double parseNumber(const std::string& option, const std::string& text)
{
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || errno == ERANGE || !std::isfinite(v))
        throw usageError(option + " needs a number, not \"" + text + "\"");
    return v;
}

int parseBlockSize(const std::string& text)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || errno == ERANGE || v < 1 || v > 65536)
        throw usageError("--block needs a whole number from 1 to 65536, not \"" + text + "\"");
    return static_cast<int>(v);
}

} // namespace

bool Options::isDemo() const
{
    return input.empty() && !list && irPath.empty() && plotPath.empty() && savePresetPath.empty() &&
           editorSnapshotPath.empty();
}

Options parseCommandLine(int argc, const char* const* argv)
{
    Options o;
    std::vector<std::string> positional;
    bool optionsEnded = false;

    for (int i = 1; i < argc; ++i)
    {
        std::string arg = argv[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-' || arg == "-")
        {
            positional.push_back(arg);
            continue;
        }
        if (arg == "--")
        {
            optionsEnded = true;
            continue;
        }

        std::string name = arg;
        std::optional<std::string> inlineValue;
        if (const auto eq = arg.find('='); arg.rfind("--", 0) == 0 && eq != std::string::npos)
        {
            name = arg.substr(0, eq);
            inlineValue = arg.substr(eq + 1);
        }
        auto value = [&]() -> std::string
        {
            std::string v;
            if (inlineValue)
                v = *inlineValue;
            else if (i + 1 < argc)
                v = argv[++i];
            if (v.empty()) throw usageError(name + " needs a value");
            return v;
        };
        auto flag = [&]()
        {
            if (inlineValue) throw usageError(name + " takes no value");
        };

        if (name == "--help" || name == "-h")
            flag(), o.help = true;
        else if (name == "--list")
            flag(), o.list = true;
        else if (name == "--force" || name == "-f")
            flag(), o.force = true;
        else if (name == "--set")
        {
            const std::string setting = value();
            const auto eq = setting.find('=');
            if (eq == std::string::npos || eq == 0)
                throw usageError("--set needs NAME=VALUE, not \"" + setting + "\"");
            o.settings.emplace_back(setting.substr(0, eq), setting.substr(eq + 1));
        }
        else if (name == "--tail")
        {
            const double t = parseNumber(name, value());
            if (t < 0.0 || t > 3600.0) throw usageError("--tail needs seconds from 0 to 3600");
            o.tailSeconds = t;
        }
        else if (name == "--ir")
            o.irPath = value();
        else if (name == "--plot")
            o.plotPath = value();
        else if (name == "--editor-snapshot")
            o.editorSnapshotPath = value();
        else if (name == "--preset")
            o.presetPath = value();
        else if (name == "--save-preset")
            o.savePresetPath = value();
        else if (name == "--plugin")
            o.pluginPath = value();
        else if (name == "--block")
            o.blockSize = parseBlockSize(value());
        else if (name == "--rate")
        {
            const double r = parseNumber(name, value());
            if (!(r >= AudioReader::kLowestRate && r <= AudioReader::kHighestRate))
                throw usageError("--rate needs a sample rate from " +
                                 std::to_string(AudioReader::kLowestRate) + " to " +
                                 std::to_string(AudioReader::kHighestRate) + " Hz");
            o.sampleRate = r;
        }
        else
            throw usageError("unknown option " + name);
    }

    if (positional.size() == 1) throw usageError("missing OUT after " + positional[0]);
    if (positional.size() > 2) throw usageError("too many files: \"" + positional[2] + "\"");
    if (positional.size() == 2)
    {
        o.input = positional[0];
        o.output = positional[1];
    }
    if (o.sampleRate && !o.input.empty())
        throw usageError("--rate is only for --ir, --plot and the demo; a file keeps its own rate");
    return o;
}

const char* usageText()
{
    return R"(Usage: halvane-render [options] IN OUT
       halvane-render [options] --ir OUT.wav | --plot OUT.png | --list | --save-preset FILE
       halvane-render [options] --editor-snapshot OUT.png
       halvane-render [options]            (no files: render the built-in demo)

Renders audio through the HalvaneDuo VST 3 plug-in, loaded as a DAW loads it.

  IN OUT                  any file libsndfile reads; OUT's format follows its extension
                          (.wav 32-bit float, .flac, .aiff, .ogg)
  --set NAME=VALUE        set a parameter by its title, with a plain value or a list entry
                          as the plug-in shows it (repeatable, applied in order)
  --list                  print every parameter with its range, default and current value
  --preset FILE           load a .vstpreset before applying --set
  --save-preset FILE      write the resulting settings as a .vstpreset
  --ir OUT.wav            render the stereo impulse response of the current settings
  --plot OUT.png          draw both ears' impulse responses and energy-decay curves
  --editor-snapshot OUT.png
                          draw the plug-in's editor as it opens with these settings
  --tail SECONDS          render exactly this much after the input ends (default: until the
                          output stays below -100 dBFS for half a second)
  --block N               block size in samples (default 512)
  --rate HZ               sample rate for --ir, --plot and the demo (default 48000)
  --plugin PATH           the HalvaneDuo.vst3 bundle to load (default: $VST3_PATH, ~/.vst3,
                          /usr/lib/vst3, /usr/local/lib/vst3, then the build tree)
  --force                 overwrite existing output files
  --help                  show this text

Exit status: 0 on success, 1 on errors, 2 on usage errors.
)";
}

} // namespace halvane::render
