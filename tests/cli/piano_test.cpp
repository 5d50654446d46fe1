// merlop-cli inharmonicity and stretch, run in-process through runCli.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli.h"
#include "cli/cli_run.h"
#include "pitch/piano_keys.h"
#include "settings/test_files.h"
#include "settings/tuning_store.h"
#include "signals/tone_synth.h"

namespace merlop {
namespace {

using testing::readBytes;
using testing::TempDir;

using testing::CliOutcome;
using testing::runIn;

// The text after `label` up to the end of its line.
std::string after(const std::string& text, const std::string& label) {
    const auto at = text.find(label);
    if (at == std::string::npos) return {};
    const auto start = at + label.size();
    return text.substr(start, text.find('\n', start) - start);
}

const char* const kCurve = "A0=0.0006,A2=0.00015,A4=0.0004,C8=0.02";

TEST(CliPiano, HelpNamesEveryOption) {
    const CliOutcome i = runIn({"inharmonicity", "--help"});
    EXPECT_EQ(i.status, 0);
    EXPECT_EQ(i.out.rfind("usage: merlop-cli inharmonicity", 0), 0u);
    EXPECT_NE(i.out.find("--note"), std::string::npos);
    const CliOutcome s = runIn({"stretch", "-h"});
    EXPECT_EQ(s.status, 0);
    for (const char* option :
         {"--b", "--measurements", "--octave", "--name", "--dir", "--a", "--no-save"})
        EXPECT_NE(s.out.find(option), std::string::npos) << option;
    EXPECT_NE(runIn({"--help"}).out.find("  stretch "), std::string::npos);
    EXPECT_NE(runIn({"synth", "--help"}).out.find("--inharmonicity B"), std::string::npos);
}

TEST(CliPiano, InharmonicityOfASynthesisedKeyGivesAMeasurementLine) {
    TempDir dir;
    const std::string wav = (dir / "c2.wav").string();
    ASSERT_EQ(runIn({"synth", wav, "--freq", "65.40639", "--inharmonicity", "0.0007", "--rate",
                     "44100", "--seconds", "1.5", "--noise", "-50"})
                  .status,
              0);
    for (const std::vector<std::string>& extra :
         {std::vector<std::string>{}, std::vector<std::string>{"--note", "C2"}}) {
        std::vector<std::string> args{"inharmonicity", wav};
        args.insert(args.end(), extra.begin(), extra.end());
        const CliOutcome r = runIn(args);
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(extra.empty() ? "key C2 (nearest)" : "key C2 (given)"),
                  std::string::npos)
            << r.out;
        KeyMeasurement m;
        ASSERT_EQ(parseKeyMeasurement(after(r.out, "measurement "), &m), "") << r.out;
        EXPECT_EQ(m.midi, 36);
        EXPECT_NEAR(m.f0, 65.40639, 65.4 * 1e-5);
        EXPECT_NEAR(m.b, 0.0007, 0.0007 * 0.03);
        EXPECT_GE(m.partials, 12);
        EXPECT_NE(r.out.find("\n1  65."), std::string::npos) << r.out;
    }
}

TEST(CliPiano, InharmonicityRefusesWhatItCannotMeasure) {
    TempDir dir;
    const std::string wav = (dir / "c8.wav").string();
    ASSERT_EQ(runIn({"synth", wav, "--freq", "4186", "--sine", "--rate", "11025"}).status, 0);
    const CliOutcome few = runIn({"inharmonicity", wav, "--note", "C8"});
    EXPECT_EQ(few.status, 2);
    EXPECT_NE(few.err.find("at least 3"), std::string::npos) << few.err;
    EXPECT_EQ(few.out, "");
    EXPECT_EQ(runIn({"inharmonicity", wav, "--note", "H2"}).status, 2);
    EXPECT_EQ(runIn({"inharmonicity", wav, "--note"}).status, 2);
    EXPECT_EQ(runIn({"inharmonicity"}).status, 2);
    EXPECT_EQ(runIn({"inharmonicity", (dir / "none.wav").string()}).status, 2);
    EXPECT_EQ(runIn({"synth", wav, "--inharmonicity", "0.2"}).status, 2);
}

TEST(CliPiano, StretchSavesTheTuningAndPrintsEveryKey) {
    TempDir dir;
    const CliOutcome r = runIn({"stretch", "--b", kCurve, "--octave", "mix", "--name", "Mix 442",
                                "--a", "442", "--dir", dir.path().string()});
    ASSERT_EQ(r.status, 0) << r.err;
    std::istringstream lines(r.out);
    int rows = 0;
    for (std::string line; std::getline(lines, line);)
        rows += pianoKeyOfName(line.substr(0, line.find(' '))) >= 0 ? 1 : 0;
    EXPECT_EQ(rows, 88);
    EXPECT_NE(r.out.find("\nA4  69  0.0004  442.0000  +0.00\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("merlo230.tng: tuning 3 Mix 442"), std::string::npos) << r.out;
    const double a0 = std::stod(after(r.out, "\nA0  21  0.0006  ").substr(9));
    EXPECT_LT(a0, -20.0);
    TuningStore store(dir.path());
    ASSERT_EQ(store.readTuning(3), 0);
    ASSERT_EQ(store.noteCount(), 88);
    EXPECT_FLOAT_EQ(store.frequency(48), 440.0f);
    EXPECT_EQ(store.description(87), "C8");

    // --no-save prints the same table and touches nothing.
    const auto before = readBytes(store.path());
    const CliOutcome dry = runIn({"stretch", "--b", kCurve, "--octave", "mix", "--a", "442",
                                  "--no-save", "--dir", dir.path().string()});
    ASSERT_EQ(dry.status, 0) << dry.err;
    EXPECT_EQ(dry.out, r.out.substr(0, r.out.rfind(store.path().string())));
    EXPECT_EQ(readBytes(store.path()), before);
}

TEST(CliPiano, StretchFromMeasurementsMatchesTheSameCurveGivenByHand) {
    TempDir dir;
    const std::string file = (dir / "keys.txt").string();
    std::ofstream(file) << "A0 27.49 0.0006 12\nA2 110.01 0.00015 16\nA4 440.1 0.0004 16\n"
                           "C8 4190 0.02 4\n";
    const CliOutcome measured =
        runIn({"stretch", "--measurements", file, "--octave", "4:2", "--no-save"});
    ASSERT_EQ(measured.status, 0) << measured.err;
    EXPECT_EQ(measured.out, runIn({"stretch", "--b", kCurve, "--octave", "4:2", "--no-save"}).out);
    EXPECT_NE(measured.out, runIn({"stretch", "--b", kCurve, "--octave", "2:1", "--no-save"}).out);
}

TEST(CliPiano, StretchRefusesBadInputAndWritesNothing) {
    TempDir dir;
    const std::string d = dir.path().string();
    const std::string twoPartials = (dir / "few.txt").string();
    std::ofstream(twoPartials) << "A0 27.5 0.0006 12\nA4 440 0.0004 2\nC8 4190 0.02 4\n";
    const struct {
        std::vector<std::string> args;
        const char* says;
    } cases[] = {
        {{"--b", "A0=0.0006,C8=0.02"}, "at least 3 keys, 2 given"},
        {{"--b", "A0=0.0006,A4=0.0004,A0=0.0005"}, "A0 is given twice"},
        {{"--b", "A0=0.0006,A4=0.07,C8=0.02"}, "A4: B must be 0 to 0.05"},
        {{"--b", "A0=0.0006,A4=x,C8=0.02"}, "B is no number"},
        {{"--b", "A0=0.0006,Q4=0.0004,C8=0.02"}, "KEY=B"},
        {{"--measurements", twoPartials}, "A4: measured from 2 partials"},
        {{"--measurements", (dir / "none.txt").string()}, "cannot be read"},
        {{"--b", kCurve, "--measurements", twoPartials}, "one of them"},
    };
    for (const auto& c : cases) {
        std::vector<std::string> args{"stretch", "--octave", "mix", "--name", "X", "--dir", d};
        args.insert(args.end(), c.args.begin(), c.args.end());
        const CliOutcome r = runIn(args);
        EXPECT_EQ(r.status, 2) << c.says;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << c.says;
    }
    EXPECT_EQ(
        runIn({"stretch", "--b", kCurve, "--octave", "3:1", "--name", "X", "--dir", d}).status, 2);
    EXPECT_EQ(runIn({"stretch", "--b", kCurve, "--octave", "mix", "--dir", d}).status, 2);
    EXPECT_EQ(runIn({"stretch", "--b", kCurve, "--octave", "mix", "--name", "Far too long a name",
                     "--dir", d})
                  .status,
              2);
    EXPECT_EQ(runIn({"stretch", "--b", kCurve, "--octave", "mix", "--name", "X", "--a", "390",
                     "--dir", d})
                  .status,
              2);
    // None of these made a tunings file.
    EXPECT_FALSE(std::filesystem::exists(dir / TuningStore::kFileName));
}

TEST(CliPiano, StretchIntoAFullFileIsRefusedWithStatusOne) {
    TempDir dir;
    const std::string d = dir.path().string();
    for (int i = 3; i < TuningStore::kMaxTunings; ++i)
        ASSERT_EQ(
            runIn({"stretch", "--b", kCurve, "--octave", "2:1", "--name", "S", "--dir", d}).status,
            0);
    const auto full = readBytes(dir / TuningStore::kFileName);
    const CliOutcome r =
        runIn({"stretch", "--b", kCurve, "--octave", "2:1", "--name", "S", "--dir", d});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("already holds 32"), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(readBytes(dir / TuningStore::kFileName), full);
}

}  // namespace
}  // namespace merlop
