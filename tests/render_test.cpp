// SPDX-License-Identifier: GPL-3.0-or-later
// halvane-render through the real bundle: files in, files out, exit codes and messages.
#include <gtest/gtest.h>

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace
{

struct Audio
{
    int rate = 0;
    int channels = 0;
    std::vector<float> samples; // interleaved
    size_t frames() const { return channels ? samples.size() / static_cast<size_t>(channels) : 0; }
    float at(size_t frame, int channel) const
    {
        return samples[frame * static_cast<size_t>(channels) + static_cast<size_t>(channel)];
    }
};

struct Outcome
{
    int code = -1;
    std::string out;
    std::string err;
};

constexpr int kRate = 22050;
constexpr size_t kHead = 255; // the engine's fixed delay

void writeWav(const fs::path& path, int channels, const std::vector<float>& samples,
              int rate = kRate)
{
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = SF_FORMAT_WAV | SF_FORMAT_FLOAT;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    sf_writef_float(f, samples.data(), static_cast<sf_count_t>(samples.size()) / channels);
    sf_close(f);
}

Audio readWav(const fs::path& path)
{
    Audio a;
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return a;
    a.rate = info.samplerate;
    a.channels = info.channels;
    a.samples.resize(static_cast<size_t>(info.frames * info.channels));
    sf_readf_float(f, a.samples.data(), info.frames);
    sf_close(f);
    return a;
}

std::string slurp(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// First frame at which the channel reaches a fraction of the loudest sample of either ear.
size_t onset(const Audio& a, int channel, float fraction = 0.05f)
{
    float peak = 0.f;
    for (float s : a.samples)
        peak = std::max(peak, std::fabs(s));
    for (size_t i = 0; i < a.frames(); ++i)
        if (std::fabs(a.at(i, channel)) >= fraction * peak) return i;
    return a.frames();
}

float channelPeak(const Audio& a, int channel, size_t from = 0, size_t to = SIZE_MAX)
{
    float peak = 0.f;
    for (size_t i = from; i < std::min(to, a.frames()); ++i)
        peak = std::max(peak, std::fabs(a.at(i, channel)));
    return peak;
}

class Render : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "halvane-render-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        fs::create_directories(dir / "home");
    }
    void TearDown() override { fs::remove_all(dir); }

    fs::path file(const std::string& name) const { return dir / name; }

    // Runs the tool in the test directory, HOME pointing inside it, VST3_PATH unset.
    Outcome run(std::vector<std::string> args, bool withPlugin = true,
                std::vector<std::pair<std::string, std::string>> env = {})
    {
        if (withPlugin)
        {
            args.insert(args.begin(), HALVANE_BUNDLE_PATH);
            args.insert(args.begin(), "--plugin");
        }
        const fs::path out = dir / ".stdout", err = dir / ".stderr";
        const pid_t pid = ::fork();
        if (pid == 0)
        {
            if (::chdir(dir.c_str()) != 0) ::_exit(127);
            ::unsetenv("VST3_PATH");
            ::setenv("HOME", (dir / "home").c_str(), 1);
            for (const auto& [k, v] : env)
                ::setenv(k.c_str(), v.c_str(), 1);
            if (!std::freopen(out.c_str(), "w", stdout) || !std::freopen(err.c_str(), "w", stderr))
                ::_exit(127);
            std::vector<char*> argv{const_cast<char*>(HALVANE_RENDER_PATH)};
            for (std::string& a : args)
                argv.push_back(a.data());
            argv.push_back(nullptr);
            ::execv(HALVANE_RENDER_PATH, argv.data());
            ::_exit(127);
        }
        int status = 0;
        ::waitpid(pid, &status, 0);
        Outcome r;
        r.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        r.out = slurp(out);
        r.err = slurp(err);
        fs::remove(out);
        fs::remove(err);
        return r;
    }

    // Everything in the test directory apart from our own bookkeeping.
    std::vector<std::string> listing() const
    {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().filename() != "home") names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // A stereo input: a click on both channels, then a short noise burst.
    fs::path stereoInput(const std::string& name = "in.wav", size_t frames = kRate / 4)
    {
        std::vector<float> s(frames * 2, 0.f);
        s[0] = s[1] = 0.8f;
        unsigned seed = 1;
        for (size_t i = frames / 2; i < frames / 2 + 200 && i < frames; ++i)
        {
            seed = seed * 1664525u + 1013904223u;
            const float v = static_cast<float>(seed >> 8) / 16777216.f - 0.5f;
            s[2 * i] = v;
            s[2 * i + 1] = -v;
        }
        writeWav(file(name), 2, s);
        return file(name);
    }

    fs::path dir;
};

TEST_F(Render, RendersInputPlusATailThatEndsInSilence)
{
    const size_t inFrames = kRate / 4;
    stereoInput("in.wav", inFrames);
    const Outcome r = run({"in.wav", "out.wav"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_TRUE(r.err.empty()) << "no progress bar when stderr is not a terminal: " << r.err;
    EXPECT_NE(r.out.find("real time"), std::string::npos) << r.out;

    const Audio out = readWav(file("out.wav"));
    EXPECT_EQ(out.rate, kRate);
    ASSERT_EQ(out.channels, 2);
    ASSERT_GT(out.frames(), inFrames + kRate / 2);

    // The last half second is below -100 dBFS, and the sample just before it is not: the
    // tail stops as soon as the reverb has died away.
    const size_t hold = kRate / 2;
    const size_t quietFrom = out.frames() - hold;
    EXPECT_LT(std::max(channelPeak(out, 0, quietFrom), channelPeak(out, 1, quietFrom)), 1e-5f);
    EXPECT_GE(std::max(std::fabs(out.at(quietFrom - 1, 0)), std::fabs(out.at(quietFrom - 1, 1))),
              1e-5f);
    // It is a reverb: there is sound well after the input has ended.
    EXPECT_GT(channelPeak(out, 0, inFrames + kRate / 4, inFrames + kRate / 2), 1e-4f);
    EXPECT_EQ(listing(), (std::vector<std::string>{"in.wav", "out.wav"}));
}

TEST_F(Render, TailOptionFixesTheLengthAndBlockSizeDoesNotChangeTheSound)
{
    const size_t inFrames = kRate / 10;
    stereoInput("in.wav", inFrames);
    ASSERT_EQ(run({"in.wav", "a.wav", "--tail", "0.2"}).code, 0);
    ASSERT_EQ(run({"in.wav", "b.wav", "--tail=0.2", "--block", "37"}).code, 0);
    const Audio a = readWav(file("a.wav"));
    const Audio b = readWav(file("b.wav"));
    EXPECT_EQ(a.frames(), inFrames + static_cast<size_t>(std::lround(0.2 * kRate)));
    EXPECT_EQ(a.samples, b.samples);
}

TEST_F(Render, ImpulseResponseStartsAfterTheEngineDelayAndFollowsPosition)
{
    Outcome r =
        run({"--ir", "left.wav", "--rate", "22050", "--tail", "0.1", "--set", "Position=L90"});
    ASSERT_EQ(r.code, 0) << r.err;
    r = run({"--ir", "right.wav", "--rate", "22050", "--tail", "0.1", "--set", "position=r90"});
    ASSERT_EQ(r.code, 0) << r.err;

    const Audio left = readWav(file("left.wav"));
    const Audio right = readWav(file("right.wav"));
    ASSERT_EQ(left.channels, 2);
    EXPECT_EQ(left.rate, kRate);
    EXPECT_EQ(left.frames(), 1u + static_cast<size_t>(std::lround(0.1 * kRate)));

    for (const Audio* a : {&left, &right})
    {
        size_t first = a->frames();
        for (size_t i = 0; i < a->frames() && first == a->frames(); ++i)
            if (a->at(i, 0) != 0.f || a->at(i, 1) != 0.f) first = i;
        EXPECT_EQ(first, kHead);
    }
    // The ear on the source's side hears it first and louder.
    EXPECT_LT(onset(left, 0), onset(left, 1));
    EXPECT_GT(channelPeak(left, 0), channelPeak(left, 1));
    EXPECT_LT(onset(right, 1), onset(right, 0));
    EXPECT_GT(channelPeak(right, 1), channelPeak(right, 0));
}

TEST_F(Render, SettingsReachThePlugInWhenRenderingAFile)
{
    stereoInput("in.wav", kRate / 10);
    ASSERT_EQ(run({"in.wav", "l.wav", "--tail", "0.1", "--set", "Position=L90"}).code, 0);
    ASSERT_EQ(
        run({"in.wav", "g.wav", "--tail", "0.1", "--set", "Position=L90", "--set", "Gain=0.25"})
            .code,
        0);
    const Audio l = readWav(file("l.wav"));
    const Audio g = readWav(file("g.wav"));
    EXPECT_LT(onset(l, 0), onset(l, 1));
    // Gain is linear: 0.25 against the default 0.5 halves every sample.
    ASSERT_EQ(l.samples.size(), g.samples.size());
    for (size_t i = 0; i < l.samples.size(); i += 97)
        EXPECT_NEAR(g.samples[i], 0.5f * l.samples[i], 1e-6f);
}

TEST_F(Render, MonoInputFeedsBothEarsUnlessTheUserSaysOtherwise)
{
    std::vector<float> mono(kRate / 10, 0.f);
    mono[0] = 0.8f;
    writeWav(file("mono.wav"), 1, mono);

    ASSERT_EQ(run({"mono.wav", "both.wav", "--tail", "0.1"}).code, 0);
    const Audio both = readWav(file("both.wav"));
    ASSERT_EQ(both.channels, 2);
    EXPECT_EQ(both.frames(), mono.size() + static_cast<size_t>(std::lround(0.1 * kRate)));
    EXPECT_GT(channelPeak(both, 0), 1e-3f);
    EXPECT_GT(channelPeak(both, 1), 1e-3f);

    // In Stereo the right ear listens to the (silent) right input.
    ASSERT_EQ(run({"mono.wav", "stereo.wav", "--tail", "0.1", "--set", "Stereo/Mono=Stereo"}).code,
              0);
    const Audio stereo = readWav(file("stereo.wav"));
    EXPECT_GT(channelPeak(stereo, 0), 1e-3f);
    EXPECT_EQ(channelPeak(stereo, 1), 0.f);

    // A title in other letter case still counts as the user's choice.
    ASSERT_EQ(run({"mono.wav", "lower.wav", "--tail", "0.1", "--set", "stereo/mono=stereo"}).code,
              0);
    EXPECT_EQ(channelPeak(readWav(file("lower.wav")), 1), 0.f);
}

TEST_F(Render, PresetFilesRoundTrip)
{
    Outcome r = run({"--set", "Position=R32", "--set", "Abs L-R=3.5", "--set", "Decay Type=0",
                     "--save-preset", "room.vstpreset"});
    ASSERT_EQ(r.code, 0) << r.err;
    const std::string preset = slurp(file("room.vstpreset"));
    ASSERT_GE(preset.size(), 4u);
    EXPECT_EQ(preset.substr(0, 4), "VST3");

    r = run({"--preset", "room.vstpreset", "--list"});
    ASSERT_EQ(r.code, 0) << r.err;
    auto row = [&](const std::string& title)
    {
        const size_t at = r.out.find("\n" + title + " ");
        return at == std::string::npos ? std::string()
                                       : r.out.substr(at + 1, r.out.find('\n', at + 1) - at - 1);
    };
    EXPECT_NE(row("Position").find("R32"), std::string::npos) << row("Position");
    EXPECT_NE(row("Abs L-R").find("3.50"), std::string::npos) << row("Abs L-R");

    // The preset sounds exactly like the settings it was saved from.
    ASSERT_EQ(
        run({"--preset", "room.vstpreset", "--ir", "a.wav", "--rate", "22050", "--tail", "0.2"})
            .code,
        0);
    ASSERT_EQ(run({"--set", "Position=R32", "--set", "Abs L-R=3.5", "--set", "Decay Type=0", "--ir",
                   "b.wav", "--rate", "22050", "--tail", "0.2"})
                  .code,
              0);
    EXPECT_EQ(readWav(file("a.wav")).samples, readWav(file("b.wav")).samples);
}

TEST_F(Render, PlotIsAPng)
{
    const Outcome r = run({"--plot", "ir.png", "--rate", "22050", "--tail", "0.1"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(slurp(file("ir.png")).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

TEST_F(Render, DemoWithoutArgumentsFindsThePlugInAndWritesBothFiles)
{
    // No --plugin: HOME is empty and VST3_PATH unset, so the build tree is where it is found.
    const Outcome r = run({}, false);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("halvane-demo-dry.wav"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("halvane-demo.wav"), std::string::npos) << r.out;
    const Audio dry = readWav(file("halvane-demo-dry.wav"));
    const Audio wet = readWav(file("halvane-demo.wav"));
    ASSERT_EQ(dry.channels, 2);
    ASSERT_EQ(wet.channels, 2);
    EXPECT_GT(dry.frames(), 0u);
    EXPECT_GT(wet.frames(), dry.frames());
    EXPECT_GT(channelPeak(wet, 0), 1e-3f);
    EXPECT_EQ(listing(), (std::vector<std::string>{"halvane-demo-dry.wav", "halvane-demo.wav"}));
}

TEST_F(Render, Vst3PathComesFirstInTheSearch)
{
    fs::create_directories(file("plugins"));
    fs::create_directory_symlink(HALVANE_BUNDLE_PATH, file("plugins") / "HalvaneDuo.vst3");
    const Outcome r =
        run({"--list"}, false, {{"VST3_PATH", "/nonexistent:" + file("plugins").string()}});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find((file("plugins") / "HalvaneDuo.vst3").string()), std::string::npos)
        << r.out;
}

TEST_F(Render, ErrorsAreOneLineWithTheirExitStatusAndLeaveNothingBehind)
{
    stereoInput("in.wav", kRate / 20);
    std::ofstream(file("garbage.wav")) << "this is not audio at all, just text";
    std::ofstream(file("bad.vstpreset")) << "neither is this a preset";
    writeWav(file("quad.wav"), 4, std::vector<float>(400, 0.f));
    const std::vector<std::string> before = listing();

    struct Case
    {
        std::vector<std::string> args;
        int code;
        std::string message;
    };
    const std::vector<Case> cases{
        {{"missing.wav", "out.wav"}, 1, "cannot read missing.wav"},
        {{"garbage.wav", "out.wav"}, 1, "cannot read garbage.wav"},
        {{"quad.wav", "out.wav"}, 1, "4 channels"},
        {{"in.wav", "out.wav", "--set", "Size=3"}, 1, "valid names: Gain, Position"},
        {{"in.wav", "out.wav", "--set", "Abs L-R=20"}, 1, "outside the range of Abs L-R"},
        {{"in.wav", "out.wav", "--set", "Gain=loud"}, 1, "not a value of Gain"},
        {{"in.wav", "out.wav", "--set", "Position=L99"}, 1, "not an entry of Position"},
        {{"in.wav", "out.wav", "--preset", "bad.vstpreset"}, 1, "not a VST 3 preset"},
        {{"in.wav", "in.wav", "--force"}, 1, "is the input file"},
        {{"in.wav", "./in.wav"}, 1, "is the input file"},
        {{"in.wav", "out.mp3"}, 2, "cannot write .mp3"},
        {{"in.wav"}, 2, "missing OUT"},
        {{"in.wav", "out.wav", "--volume", "3"}, 2, "unknown option --volume"},
        {{"in.wav", "out.wav", "--block", "0"}, 2, "--block"},
        {{"in.wav", "out.wav", "--set", "Gain"}, 2, "NAME=VALUE"},
        {{"in.wav", "out.wav", "--tail"}, 2, "--tail needs a value"},
    };
    for (const Case& c : cases)
    {
        const Outcome r = run(c.args);
        std::string what;
        for (const auto& a : c.args)
            what += a + " ";
        EXPECT_EQ(r.code, c.code) << what << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << what << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << r.err;
        EXPECT_EQ(r.err.rfind("halvane-render: ", 0), 0u) << what << r.err;
        EXPECT_EQ(listing(), before) << what;
    }

    const Outcome missing =
        run({"--plugin", (dir / "Nowhere.vst3").string(), "in.wav", "out.wav"}, false);
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find("not found"), std::string::npos) << missing.err;
    EXPECT_EQ(listing(), before);
}

TEST_F(Render, ExistingOutputIsOnlyReplacedWithForce)
{
    stereoInput("in.wav", kRate / 20);
    std::ofstream(file("out.wav")) << "keep me";

    Outcome r = run({"in.wav", "out.wav", "--tail", "0"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("--force"), std::string::npos) << r.err;
    EXPECT_EQ(slurp(file("out.wav")), "keep me");

    r = run({"in.wav", "out.wav", "--tail", "0", "--force"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(readWav(file("out.wav")).frames(), static_cast<size_t>(kRate / 20));
    EXPECT_EQ(listing(), (std::vector<std::string>{"in.wav", "out.wav"}));
}

} // namespace

namespace
{

// A WAV file whose header claims `rate`; libsndfile writes only sane rates, so the field is
// patched afterwards.
void writeWavClaimingRate(const fs::path& path, uint32_t rate)
{
    writeWav(path, 1, std::vector<float>(10, 0.25f));
    std::fstream f(path, std::ios::in | std::ios::out | std::ios::binary);
    f.seekp(24); // the "fmt " chunk's sample rate
    const char bytes[4] = {char(rate & 0xff), char((rate >> 8) & 0xff), char((rate >> 16) & 0xff),
                           char((rate >> 24) & 0xff)};
    f.write(bytes, 4);
}

bool expectOneLineError(const Outcome& r, const std::string& message, const std::string& what)
{
    EXPECT_EQ(r.code, 1) << what << r.err;
    EXPECT_NE(r.err.find(message), std::string::npos) << what << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << what << r.err;
    return r.code == 1;
}

} // namespace

TEST_F(Render, NonFiniteAndOutOfRangeValuesGetTheSameRefusal)
{
    stereoInput("in.wav", kRate / 20);
    const std::vector<std::string> before = listing();
    for (const char* value : {"2", "-0.5", "NaN", "nan", "-nan", "inf", "-inf", "1e999", "-1e999"})
    {
        const Outcome r = run({"in.wav", "out.wav", "--set", std::string("Gain=") + value});
        expectOneLineError(r, std::string(value) + " is outside the range of Gain", value);
        EXPECT_EQ(listing(), before) << value;
    }
    // The same values at the edges of the range are fine.
    EXPECT_EQ(run({"in.wav", "out.wav", "--tail", "0", "--set", "Gain=1"}).code, 0);
}

TEST_F(Render, FilesClaimingUnsupportedSampleRatesAreRefusedBeforeRendering)
{
    const struct
    {
        uint32_t rate;
        bool accepted;
    } cases[] = {{2147483647u, false}, {768001u, false}, {7999u, false},
                 {8000u, true},        {768000u, true}};
    for (const auto& c : cases)
    {
        writeWavClaimingRate(file("odd.wav"), c.rate);
        const Outcome r = run({"odd.wav", "out.wav", "--tail", "0", "--force"});
        const std::string what = std::to_string(c.rate);
        if (c.accepted)
        {
            EXPECT_EQ(r.code, 0) << what << r.err;
            EXPECT_EQ(readWav(file("out.wav")).rate, static_cast<int>(c.rate)) << what;
            fs::remove(file("out.wav"));
        }
        else
        {
            expectOneLineError(r, "sample rate of " + what + " Hz", what);
            EXPECT_FALSE(fs::exists(file("out.wav"))) << what;
        }
    }
}

TEST_F(Render, ForceReplacesOnlyRegularFiles)
{
    stereoInput("in.wav", kRate / 20);
    ASSERT_EQ(::mkfifo(file("pipe.wav").c_str(), 0600), 0);
    fs::create_symlink("/dev/null", file("null.wav"));

    Outcome r = run({"in.wav", "pipe.wav", "--tail", "0", "--force"});
    expectOneLineError(r, "pipe.wav is not a regular file", "fifo");
    EXPECT_TRUE(fs::is_fifo(fs::symlink_status(file("pipe.wav"))));

    r = run({"in.wav", "null.wav", "--tail", "0", "--force"});
    expectOneLineError(r, "null.wav is not a regular file", "device");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(file("null.wav"))));
    EXPECT_EQ(listing(), (std::vector<std::string>{"in.wav", "null.wav", "pipe.wav"}));
}
