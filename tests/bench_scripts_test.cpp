// SPDX-License-Identifier: GPL-3.0-or-later
// bench/ratios-over-runs.sh over a stand-in bench whose ratios change from run to run.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace fs = std::filesystem;

namespace
{

struct Outcome
{
    int code = -1;
    std::string out;
};

class RatiosOverRuns : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "halvane-ratios-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
    }
    void TearDown() override { fs::remove_all(dir); }

    // A bench that prints the n-th of `reports` on its n-th run (counted in a file), with the
    // arguments it was given on a line of their own, and exits with exitCode.
    void standInBench(const std::vector<std::string>& reports, int exitCode = 0)
    {
        for (size_t i = 0; i < reports.size(); ++i)
            std::ofstream(dir / ("report" + std::to_string(i + 1))) << reports[i];
        std::ofstream script(dir / "bench");
        script << "#!/bin/sh\n"
               << "cd '" << dir.string() << "' || exit 1\n"
               << "n=$(( $(cat count 2>/dev/null || echo 0) + 1 ))\n"
               << "echo $n > count\n"
               << "echo \"args: $*\"\n"
               << "echo 'halvane-bench: measuring' >&2\n"
               << "cat report$n\n"
               << "exit " << exitCode << "\n";
        script.close();
        fs::permissions(dir / "bench", fs::perms::owner_all);
    }

    Outcome run(const std::string& args)
    {
        const std::string command = "HALVANE_BENCH='" + (dir / "bench").string() + "' " +
                                    HALVANE_RATIOS_SCRIPT + " " + args + " 2>/dev/null";
        Outcome o;
        FILE* pipe = ::popen(command.c_str(), "r");
        if (!pipe) return o;
        char buffer[512];
        while (std::fgets(buffer, sizeof buffer, pipe))
            o.out += buffer;
        const int status = ::pclose(pipe);
        o.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        return o;
    }

    // The line the script printed for a ratio, or "".
    static std::string lineOf(const std::string& out, const std::string& name)
    {
        std::istringstream in(out);
        for (std::string line; std::getline(in, line);)
            if (line.rfind(name + " ", 0) == 0) return line;
        return {};
    }

    fs::path dir;
};

std::string report(const char* automated, const char* verdict, const char* worst)
{
    return std::string("Ratios                                       target\n") +
           "  room/fftw (direct)                    0.11\n" + // no target: not a ratio line
           "  automated/static (direct)             " + automated + "   <= 1.3   " + verdict +
           "\n  worst/avg, 64 frames (bundle)         " + worst + "   <= 3.0   met\n";
}

TEST_F(RatiosOverRuns, SummarisesEachTargetedRatioOverTheRuns)
{
    standInBench({report("1.25", "met", "2.40"), report("1.35", "MISSED by 4%", "2.20"),
                  report("1.20", "met", "2.60")});
    const Outcome o = run("3 --passes 4");
    ASSERT_EQ(o.code, 0) << o.out;
    EXPECT_EQ(lineOf(o.out, "automated/static (direct)"),
              "automated/static (direct)            1.20   1.25   1.35   <= 1.3   1 of 3");
    EXPECT_EQ(lineOf(o.out, "worst/avg, 64 frames (bundle)"),
              "worst/avg, 64 frames (bundle)        2.20   2.40   2.60   <= 3.0   0 of 3");
    // Ratios without a target are left out; the bench's own output is not passed through.
    EXPECT_EQ(lineOf(o.out, "room/fftw (direct)"), "");
    EXPECT_EQ(o.out.find("args:"), std::string::npos);
    // Every run, and only those, called the bench.
    std::ifstream count(dir / "count");
    int runs = 0;
    count >> runs;
    EXPECT_EQ(runs, 3);
}

TEST_F(RatiosOverRuns, EvenRunCountsTakeTheMeanOfTheMiddleTwo)
{
    standInBench({report("1.30", "met", "2.50"), report("1.20", "met", "2.10")});
    const Outcome o = run("2");
    ASSERT_EQ(o.code, 0);
    EXPECT_EQ(lineOf(o.out, "automated/static (direct)"),
              "automated/static (direct)            1.20   1.25   1.30   <= 1.3   0 of 2");
}

TEST_F(RatiosOverRuns, FailsWhenThereIsNothingToSummarise)
{
    standInBench({"halvane-bench: cannot load the bundle\n"});
    EXPECT_EQ(run("1").code, 1);
    EXPECT_EQ(run("0").code, 2);
    // A bench that fails stops the runs, even when it printed ratios first.
    standInBench({report("1.25", "met", "2.40")}, 3);
    fs::remove(dir / "count");
    EXPECT_EQ(run("2").code, 1);
    fs::remove(dir / "bench");
    EXPECT_EQ(run("1").code, 2);
}

} // namespace
