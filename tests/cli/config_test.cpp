// init-config, show-config and tunings, run as the real merlop-cli in throw-away directories.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "settings/expected_config.h"
#include "settings/test_files.h"

namespace {

using merlop::testing::Bytes;
using merlop::testing::expectedDefaultConfig;
using merlop::testing::kConfigItems;
using merlop::testing::putInt32At;
using merlop::testing::readBytes;
using merlop::testing::TempDir;
using merlop::testing::writeBytes;

struct CliResult {
    int status = -1;
    std::string out;
    std::string err;
};

std::string shellQuote(const std::string& s) {
    std::string q = "'";
    for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return q + "'";
}

std::string readText(const std::filesystem::path& p) {
    const Bytes b = readBytes(p);
    return std::string(b.begin(), b.end());
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) out.push_back(line);
    return out;
}

class ConfigCommands : public ::testing::Test {
  protected:
    // Runs merlop-cli in the work directory; output is captured beside it, not inside it.
    // `shell` runs first in the same shell, e.g. to set limits.
    CliResult run(const std::vector<std::string>& args, const std::string& shell = "") {
        std::string cmd =
            "cd " + shellQuote(work().string()) + " && " + shell + shellQuote(MERLOP_CLI);
        for (const auto& a : args) cmd += " " + shellQuote(a);
        cmd += " >" + shellQuote((tmp_ / "out").string()) + " 2>" +
               shellQuote((tmp_ / "err").string());
        const int raw = std::system(cmd.c_str());
        CliResult r;
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = readText(tmp_ / "out");
        r.err = readText(tmp_ / "err");
        return r;
    }
    std::filesystem::path work() const { return tmp_ / "work"; }
    std::filesystem::path config() const { return work() / "merlo301.cfg"; }

    void SetUp() override { std::filesystem::create_directory(work()); }

    TempDir tmp_;
};

void expectOneLineError(const CliResult& r, int status) {
    EXPECT_EQ(r.status, status);
    EXPECT_EQ(lines(r.err).size(), 1u) << r.err;
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
}

TEST_F(ConfigCommands, InitConfigWritesTheDefaultFileOnce) {
    const CliResult r = run({"init-config"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readBytes(config()), expectedDefaultConfig());

    // An existing file is never overwritten, whatever it holds.
    Bytes mine = expectedDefaultConfig();
    putInt32At(mine, 4, 415);
    writeBytes(config(), mine);
    expectOneLineError(run({"init-config", "."}), 1);
    EXPECT_EQ(readBytes(config()), mine);

    std::filesystem::create_directory(work() / "sub");
    ASSERT_EQ(run({"init-config", "sub"}).status, 0);
    EXPECT_EQ(readBytes(work() / "sub" / "merlo301.cfg"), expectedDefaultConfig());
}

TEST_F(ConfigCommands, BadArgumentsAreRefused) {
    for (const auto& args : std::vector<std::vector<std::string>>{{"init-config", "a", "b"},
                                                                  {"init-config", "no-such-dir"},
                                                                  {"init-config", "--force"},
                                                                  {"show-config", "a", "b"},
                                                                  {"tunings", "no-such-dir"},
                                                                  {"tunings", ".", "extra"}}) {
        expectOneLineError(run(args), 2);
    }
    EXPECT_TRUE(std::filesystem::is_empty(work()));
}

TEST_F(ConfigCommands, ShowConfigListsTheFileInFileOrder) {
    Bytes image = expectedDefaultConfig();
    putInt32At(image, 204, 25);  // midiCalibrationCents
    putInt32At(image, 212, 99);  // temperamentIndex, out of range
    const std::string text = "hi \"x\"";
    std::copy(text.begin(), text.end(), image.begin() + 112);
    writeBytes(config(), image);

    const CliResult r = run({"show-config"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::vector<std::string> expected;
    for (const auto& item : kConfigItems) {
        const std::string name = item.name;
        const int32_t value = name == "midiCalibrationCents" ? 25
                              : name == "temperamentIndex"   ? 99
                                                             : item.defaultValue;
        expected.push_back(name + " = " + std::to_string(value));
        if (name == "reserved3") expected.push_back("reserved4 = \"hi \\\"x\\\"\"");
    }
    EXPECT_EQ(lines(r.out), expected);
    // The value the tuner would use instead is a remark on stderr.
    ASSERT_EQ(lines(r.err).size(), 1u);
    EXPECT_NE(r.err.find("temperamentIndex"), std::string::npos);
    EXPECT_NE(r.err.find("74"), std::string::npos);

    EXPECT_EQ(run({"show-config", "merlo301.cfg"}).out, r.out);
    EXPECT_EQ(run({"show-config", "."}).out, r.out);
}

TEST_F(ConfigCommands, ShowConfigRefusesMissingAndShortFiles) {
    const CliResult missing = run({"show-config"});
    expectOneLineError(missing, 2);
    EXPECT_EQ(missing.out, "");

    Bytes image = expectedDefaultConfig();
    image.resize(263);
    writeBytes(config(), image);
    const CliResult shortFile = run({"show-config", "merlo301.cfg"});
    expectOneLineError(shortFile, 2);
    EXPECT_EQ(shortFile.out, "");
}

TEST_F(ConfigCommands, TuningsListsTheFileInitTuningsCreates) {
    // Listing never creates: a missing file is named in the error.
    const CliResult missing = run({"tunings"});
    expectOneLineError(missing, 2);
    EXPECT_NE(missing.err.find("merlo230.tng"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(work()));

    ASSERT_EQ(run({"init-tunings"}).status, 0);
    const CliResult r = run({"tunings"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(readBytes(work() / "merlo230.tng").size(), 7020u);
    const auto out = lines(r.out);
    ASSERT_EQ(out.size(), 1u + 3u + 6u + 4u + 9u) << r.out;
    EXPECT_EQ(out[1],
              "tuning 0: \"Guitar \"  instrument 25  auto reference tone 0  "
              "record readings 0  notes 6");
    EXPECT_EQ(out[2], "  note 0: \"E  6th string\"  MIDI 40  82.407 Hz");
    EXPECT_EQ(out[8].substr(0, 18), "tuning 1: \"Violin\"");
    EXPECT_EQ(out[16], "  note 2: \"B chanter     \"  MIDI 71  531.000 Hz");

    // A second run lists the same file without touching it.
    const Bytes file = readBytes(work() / "merlo230.tng");
    EXPECT_EQ(run({"tunings", "--dir", "."}).out, r.out);
    EXPECT_EQ(readBytes(work() / "merlo230.tng"), file);
    expectOneLineError(run({"init-tunings"}), 1);
    EXPECT_EQ(readBytes(work() / "merlo230.tng"), file);
}

TEST_F(ConfigCommands, InitTuningsAddsAPresetAfterTheFileTunings) {
    // No file yet: it is made with the built-in tunings, the preset after them.
    const CliResult added = run({"init-tunings", "--preset", "drop-d"});
    ASSERT_EQ(added.status, 0) << added.err;
    EXPECT_EQ(added.out, "./merlo230.tng: tuning 3 Guitar drop D\n");
    const CliResult listed = run({"tunings"});
    EXPECT_NE(listed.out.find("tuning 3: \"Guitar drop D\""), std::string::npos) << listed.out;
    EXPECT_NE(listed.out.find("  note 0: \"D  6th string\"  MIDI 38  73.416 Hz"),
              std::string::npos);

    const CliResult unknown = run({"init-tunings", "--preset", "kazoo"});
    expectOneLineError(unknown, 2);
    EXPECT_NE(unknown.err.find("bass4"), std::string::npos) << unknown.err;  // names the presets

    for (int i = 4; i < 32; ++i) ASSERT_EQ(run({"init-tunings", "--preset", "bass4"}).status, 0);
    const Bytes full = readBytes(work() / "merlo230.tng");
    expectOneLineError(run({"init-tunings", "--preset", "viola"}), 1);
    EXPECT_EQ(readBytes(work() / "merlo230.tng"), full);
}

TEST_F(ConfigCommands, TuningsShowsWesternLettersAndEscapesWhatShowsNothing) {
    ASSERT_EQ(run({"init-tunings"}).status, 0);
    Bytes file = readBytes(work() / "merlo230.tng");
    const std::string name = "R\xE9\x80 \x81\x01\"";  // é, the euro sign, undefined, a control
    std::copy(name.begin(), name.end(), file.begin());
    const std::string note = "\xC4 \\";
    std::copy(note.begin(), note.end(), file.begin() + 36);
    file[36 + note.size()] = 0;
    writeBytes(work() / "merlo230.tng", file);
    const CliResult r = run({"tunings"});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto out = lines(r.out);
    ASSERT_GE(out.size(), 3u);
    const std::string tuning = "tuning 0: \"R\xC3\xA9\xE2\x82\xAC \\x81\\x01\\\"\"  instrument";
    EXPECT_EQ(out[1].substr(0, tuning.size()), tuning);
    const std::string first = "  note 0: \"\xC3\x84 \\\\\"  MIDI";
    EXPECT_EQ(out[2].substr(0, first.size()), first);
}

TEST_F(ConfigCommands, InitTuningsThatCannotWriteTheFileFailsAndLeavesNone) {
    // A full disk: writes past four blocks fail instead of raising SIGXFSZ.
    const CliResult r = run({"init-tunings"}, "trap '' XFSZ; ulimit -f 4; ");
    expectOneLineError(r, 2);
    EXPECT_NE(r.err.find("merlo230.tng"), std::string::npos);
    EXPECT_TRUE(std::filesystem::is_empty(work()));
}

}  // namespace
