// The commands run in-process through runCli, the same entry point merlop-cli's main uses.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "cli/cli_run.h"
#include "settings/test_files.h"

namespace merlop {
namespace {

using testing::CliOutcome;
using testing::runIn;

// The cents field of one line of pitch output.
int centsOf(const std::string& line) {
    const auto at = line.find("cents=");
    return at == std::string::npos ? 9999 : std::stoi(line.substr(at + 6));
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

TEST(CliCommands, EveryCommandHasHelpAndTheProgramAVersion) {
    for (const std::string command :
         {"init-config", "init-tunings", "show-config", "tunings", "pitch", "analyse", "synth"}) {
        const CliOutcome r = runIn({command, "--help"});
        EXPECT_EQ(r.status, 0) << command;
        EXPECT_EQ(r.out.rfind("usage: merlop-cli " + command, 0), 0u) << r.out;
        EXPECT_EQ(r.err, "");
    }
    const CliOutcome v = runIn({"--version"});
    EXPECT_EQ(v.status, 0);
    EXPECT_EQ(lines(v.out).size(), 1u);
    EXPECT_EQ(v.out, "merlop-cli " MERLOP_VERSION_TEXT "\n");

    const CliOutcome unknown = runIn({"tune"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_EQ(lines(unknown.err).size(), 1u);
}

TEST(CliCommands, PitchTunesTheTemperamentToAOnlyWithUseA) {
    // A mean-tone row: tuned to its key C, A 440 is off; tuned to A, C is off instead.
    const std::vector<std::string> base = {"pitch", "440",   "261.63", "--temperament",
                                           "29",    "--key", "C"};
    CliOutcome r = runIn(base);
    ASSERT_EQ(r.status, 0) << r.err;
    auto out = lines(r.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_GE(std::abs(centsOf(out[0])), 5) << out[0];
    EXPECT_EQ(centsOf(out[1]), 0) << out[1];

    auto useA = base;
    useA.push_back("--use-a");
    r = runIn(useA);
    ASSERT_EQ(r.status, 0) << r.err;
    out = lines(r.out);
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[0], "440 note=60 name='A 4' deviation=0.0000 cents=0");
    EXPECT_GE(std::abs(centsOf(out[1])), 5) << out[1];
}

TEST(CliCommands, PitchRefusesWhatCannotBeHeard) {
    EXPECT_EQ(runIn({"pitch", "20", "20000"}).status, 0);
    for (const std::string f : {"19.9", "20001", "-440", "0", "1e9", "nan", "440Hz", "\xe9"}) {
        const CliOutcome r = runIn({"pitch", f});
        EXPECT_EQ(r.status, 2) << f;
        EXPECT_EQ(r.out, "") << f;
        ASSERT_EQ(lines(r.err).size(), 1u) << r.err;
        EXPECT_EQ(r.err.rfind("merlop-cli pitch: ", 0), 0u) << r.err;
    }
    EXPECT_NE(runIn({"pitch", "25000"}).err.find("audible range"), std::string::npos);
}

TEST(CliCommands, SynthRefusesToneAtOrAboveHalfTheRate) {
    const testing::TempDir dir;
    const std::string below = (dir / "below.wav").string();
    const std::string at = (dir / "at.wav").string();
    EXPECT_EQ(
        runIn({"synth", below, "--rate", "8000", "--freq", "3999", "--seconds", "0.1"}).status, 0);
    EXPECT_TRUE(std::filesystem::exists(below));
    const CliOutcome r = runIn({"synth", at, "--rate", "8000", "--freq", "4000"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("4000 Hz"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(at));
    EXPECT_EQ(runIn({"synth", at, "--rate", "8000", "--freq", "3700", "--pluck"}).status, 2);
    EXPECT_EQ(runIn({"synth", at, "--rate", "384000", "--seconds", "3600"}).status, 2);
    EXPECT_FALSE(std::filesystem::exists(at));
}

TEST(CliCommands, OutputThatCannotBeWrittenFailsTheCommand) {
    const testing::TempDir dir;
    ASSERT_EQ(runIn({"init-config", dir.path().string()}).status, 0);
    ASSERT_EQ(runIn({"init-tunings", dir.path().string()}).status, 0);
    const std::string cli = MERLOP_CLI;
    const std::string cfg = (dir / "merlo301.cfg").string();
    const std::vector<std::string> commands = {"pitch 440", "show-config '" + cfg + "'",
                                               "tunings --dir '" + dir.path().string() + "'"};
    for (const std::string& args : commands) {
        const std::string cmd = "'" + cli + "' " + args + " >/dev/full 2>/dev/null";
        const int raw = std::system(cmd.c_str());
        EXPECT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) != 0) << args;
    }

    // A file that cannot be written whole is not left behind in part.
    const std::string wav = (dir / "tone.wav").string();
    CliOutcome r;
    {
        const testing::FileSizeLimit limit(4096);
        r = runIn({"synth", wav, "--seconds", "1"});
    }
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("cannot write"), std::string::npos) << r.err;
    EXPECT_FALSE(std::filesystem::exists(wav));
}

}  // namespace
}  // namespace merlop

namespace merlop {
namespace {

TEST(CliCommands, DevicesListsTheSourcesOfTheSoundServer) {
    // In-process there is no desktop behind the command: it says so rather than list nothing.
    const CliOutcome bare = runIn({"devices"});
    EXPECT_EQ(bare.status, 2);
    EXPECT_NE(bare.err.find("no tuner program"), std::string::npos) << bare.err;
    EXPECT_EQ(runIn({"devices", "extra"}).status, 2);

    // The program itself asks the test's private sound server, whose mono source is there.
    const char* audio = std::getenv("MERLOP_TEST_AUDIO");
    if (audio == nullptr || std::string(audio) != "1") GTEST_SKIP() << "no test sound server";
    const std::string cmd = std::string("'") + MERLOP_CLI + "' devices";
    FILE* pipe = popen(cmd.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string listing;
    char buffer[256];
    while (fgets(buffer, sizeof buffer, pipe) != nullptr) listing += buffer;
    EXPECT_EQ(pclose(pipe), 0);
    EXPECT_FALSE(listing.empty());
    for (std::size_t at = 0; at < listing.size();) {
        const std::size_t end = listing.find('\n', at);
        ASSERT_NE(end, std::string::npos) << listing;
        const std::string line = listing.substr(at, end - at);
        EXPECT_NE(line.find('\t'), std::string::npos) << line;
        at = end + 1;
    }
    EXPECT_NE(listing.find("\tdefault\n"), std::string::npos) << listing;
}

}  // namespace
}  // namespace merlop
