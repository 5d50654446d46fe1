#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "audio/wav_reader.h"
#include "settings/settings.h"
#include "signals/tone_synth.h"

namespace merlop {
namespace {

namespace fs = std::filesystem;

struct CliRun {
    int status = -1;
    std::string out;
    std::string err;
};

std::string slurp(const fs::path& p) {
    std::ifstream in(p);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> out;
    std::stringstream ss(text);
    for (std::string line; std::getline(ss, line);) out.push_back(line);
    return out;
}

std::vector<std::string> fields(const std::string& line) {
    std::vector<std::string> out;
    std::stringstream ss(line);
    for (std::string f; std::getline(ss, f, ',');) out.push_back(f);
    if (!line.empty() && line.back() == ',') out.push_back("");
    return out;
}

class AnalyseCli : public ::testing::Test {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("merlop_analyse_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs merlop-cli in the test's own directory, reading from a pipe when feed names a
    // command.
    CliRun cli(const std::string& args, const std::string& feed = "") {
        const std::string cmd = "cd '" + dir.string() + "' && " +
                                (feed.empty() ? "" : feed + " | ") + "'" MERLOP_CLI "' " + args +
                                " > out.txt 2> err.txt";
        CliRun r;
        const int raw = std::system(cmd.c_str());
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
        r.out = slurp(dir / "out.txt");
        r.err = slurp(dir / "err.txt");
        return r;
    }

    void writeTone(const std::string& name, double f, double seconds, int rate = 11025) {
        ASSERT_TRUE(
            writeWav((dir / name).string(), harmonicTone(f, seconds, rate, 8, 0.5), rate, 16));
    }

    void writeConfig(const std::string& name, const Settings& s) {
        const Settings::Image image = s.toImage();
        std::ofstream(dir / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
    }

    fs::path dir;
};

TEST_F(AnalyseCli, OneLinePerWholeBlock) {
    writeTone("a.wav", 440.0, 1.0);  // 11025 samples: five blocks of 2048, the rest dropped
    const CliRun r = cli("analyse a.wav");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto l = lines(r.out);
    ASSERT_EQ(l.size(), 6u);
    EXPECT_EQ(l[0], "time_s,note,frequency_hz,cents,tuning_note,level");
    for (std::size_t i = 1; i < l.size(); ++i) {
        const auto f = fields(l[i]);
        ASSERT_EQ(f.size(), 6u) << l[i];
        EXPECT_NEAR(std::stod(f[0]), (i - 1) * 2048 / 11025.0, 0.0006);
        EXPECT_EQ(f[1], "A 4");
        EXPECT_NEAR(std::stod(f[2]), 440.0, 0.6);
        EXPECT_LE(std::abs(std::stoi(f[3])), 1);
        EXPECT_EQ(f[4], "");
        EXPECT_NEAR(std::stoi(f[5]), 2047, 2);  // peak to peak of a half-scale tone
    }
}

TEST_F(AnalyseCli, DashReadsStandardInput) {
    writeTone("a.wav", 330.0, 0.6);
    const CliRun file = cli("analyse a.wav");
    const CliRun piped = cli("analyse - < a.wav");
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(lines(piped.out).size(), 4u);
    EXPECT_EQ(piped.out, file.out);

    const CliRun junk = cli("analyse - < /dev/null");
    EXPECT_EQ(junk.status, 2);
    EXPECT_EQ(lines(junk.err).size(), 1u);
}

// The layouts a reader of a pipe has to get right without seeking: a size past the end, none
// at all, a header longer than a read, no "data" chunk (the fixed layout reads from byte 48).
TEST_F(AnalyseCli, AFileThroughAPipeReadsAsTheFileDoes) {
    const std::vector<std::uint8_t> good =
        wavImage(harmonicTone(196.0, 1.0, 11025, 8, 0.5), 11025, 16);
    const auto withSize = [&](std::uint32_t size) {
        std::vector<std::uint8_t> b = good;
        for (int i = 0; i < 4; ++i) b[40 + i] = static_cast<std::uint8_t>(size >> (8 * i));
        return b;
    };
    std::vector<std::uint8_t> longHeader(good.begin(), good.begin() + 36);
    const std::uint32_t listBytes = 150001;  // odd, and without its pad byte
    longHeader.insert(longHeader.end(), {'L', 'I', 'S', 'T'});
    for (int i = 0; i < 4; ++i) longHeader.push_back(static_cast<std::uint8_t>(listBytes >> 8 * i));
    longHeader.resize(longHeader.size() + listBytes, 'x');
    longHeader.insert(longHeader.end(), good.begin() + 36, good.end());
    std::vector<std::uint8_t> noData = good;
    std::copy_n("junk", 4, noData.begin() + 36);

    for (const auto& image : {good, withSize(0), withSize(0xFFFFFFF0u), longHeader, noData}) {
        std::ofstream(dir / "t.wav", std::ios::binary)
            .write(reinterpret_cast<const char*>(image.data()),
                   static_cast<std::streamsize>(image.size()));
        const CliRun file = cli("analyse --raw t.wav");
        ASSERT_EQ(file.status, 0) << file.err;
        ASSERT_GE(lines(file.out).size(), 5u);
        const CliRun piped = cli("analyse --raw -", "cat t.wav");
        EXPECT_EQ(piped.status, 0) << piped.err;
        EXPECT_EQ(piped.out, file.out) << image.size();
    }
}

#if !defined(__SANITIZE_ADDRESS__)
TEST_F(AnalyseCli, StandardInputIsReadAsItComesNotHeldWhole) {
    // Twelve minutes at 44.1 kHz, 64 MB, through a process allowed 50 MB of address space.
    writeTone("a.wav", 330.0, 2.0, 44100);
    std::vector<std::uint8_t> head(44);
    std::ifstream(dir / "a.wav", std::ios::binary).read(reinterpret_cast<char*>(head.data()), 44);
    std::fill(head.begin() + 40, head.end(), 0);  // a recorder's "up to the end"
    std::ofstream(dir / "head.wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(head.data()), 44);
    const std::string cmd = "cd '" + dir.string() +
                            "' && { cat head.wav; tail -c +45 a.wav; head -c 64000000 /dev/zero; }"
                            " | (ulimit -v 50000 && '" MERLOP_CLI "' analyse -) > out.txt";
    const int raw = std::system(cmd.c_str());
    ASSERT_TRUE(WIFEXITED(raw) && WEXITSTATUS(raw) == 0) << raw;
    const std::vector<std::string> l = lines(slurp(dir / "out.txt"));
    ASSERT_EQ(l.size(), 1 + (176400u + 64000000u) / (8192 * 2));
    EXPECT_EQ(fields(l[2])[1], "E 4");
    EXPECT_EQ(fields(l.back())[1], "");
}
#endif

TEST_F(AnalyseCli, RawColumnAndSilence) {
    ASSERT_TRUE(writeWav((dir / "quiet.wav").string(), std::vector<float>(4096, 0.0f), 11025, 8));
    CliRun r = cli("analyse quiet.wav --raw");
    ASSERT_EQ(r.status, 0) << r.err;
    auto l = lines(r.out);
    ASSERT_EQ(l.size(), 3u);
    EXPECT_EQ(l[0], "time_s,note,frequency_hz,cents,tuning_note,level,raw_frequency_hz,raw_cents");
    EXPECT_EQ(l[1], "0.000,,-1,,,0,-1,");

    writeTone("b.wav", 196.0, 0.6);
    r = cli("analyse b.wav --raw");
    l = lines(r.out);
    ASSERT_GE(l.size(), 2u);
    const auto f = fields(l.back());
    ASSERT_EQ(f.size(), 8u);
    EXPECT_EQ(f[1], "G 3");
    EXPECT_NEAR(std::stod(f[6]), 196.0, 0.5);
    // G 3 is 196.00 Hz: the raw cents say how far the raw frequency is from it.
    EXPECT_NEAR(std::stod(f[7]), 1200.0 * std::log2(std::stod(f[6]) / 195.9977), 0.002);
}

// The strobe columns come last, empty while a row rests, and read the tone's partials against
// those of the note shown.
TEST_F(AnalyseCli, StrobeColumnsReadThePartialsOfTheShownNote) {
    const double f = 196.0 * std::pow(2.0, 3.0 / 1200.0);
    std::vector<float> x(11025 / 2, 0.0f);
    const std::vector<float> tone = harmonicTone(f, 4.0, 11025, 8, 0.5);
    x.insert(x.end(), tone.begin(), tone.end());
    ASSERT_TRUE(writeWav((dir / "g.wav").string(), x, 11025, 16));
    const CliRun r = cli("analyse g.wav --raw --strobe");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto l = lines(r.out);
    ASSERT_GT(l.size(), 15u);
    EXPECT_EQ(l[0],
              "time_s,note,frequency_hz,cents,tuning_note,level,raw_frequency_hz,raw_cents,"
              "strobe_1,strobe_2,strobe_4");
    EXPECT_EQ(fields(l[1]).size(), 11u);
    EXPECT_EQ(l[1].substr(l[1].size() - 3), ",,,") << "silence rests every row";
    const double truth = 1200.0 * std::log2(f / 195.9977);
    for (std::size_t i = 10; i < l.size(); ++i) {
        const auto c = fields(l[i]);
        ASSERT_EQ(c.size(), 11u) << l[i];
        ASSERT_EQ(c[1], "G 3") << l[i];
        for (int k = 8; k < 11; ++k) {
            ASSERT_FALSE(c[k].empty()) << l[i];
            EXPECT_NEAR(std::stod(c[k]), truth, 0.0015) << l[i];
            EXPECT_EQ(c[k].size() - c[k].find('.'), 4u) << "three decimals: " << c[k];
        }
    }

    // Against a custom tuning the rows read from the tuning note's frequency: D 3 of the guitar
    // tuning, which follows reference A as the tuning does.
    ASSERT_EQ(cli("init-tunings").status, 0);
    Settings a445;
    a445.frequencyOfA = 445;
    writeConfig("a445.cfg", a445);
    const double d3 = 440.0 * std::pow(2.0, -19.0 / 12.0);
    writeTone("d.wav", d3 * std::pow(2.0, -4.0 / 1200.0), 3.0);
    const CliRun t = cli("analyse d.wav --config a445.cfg --tuning 0 --strobe");
    ASSERT_EQ(t.status, 0) << t.err;
    const auto c = fields(lines(t.out).back());
    ASSERT_EQ(c.size(), 9u);
    EXPECT_EQ(c[4], "D  4th string");
    const double offA = 1200.0 * std::log2(445.0 / 440.0);
    for (int k = 6; k < 9; ++k) EXPECT_NEAR(std::stod(c[k]), -4.0 - offA, 0.002) << k;
}

TEST_F(AnalyseCli, RefusedFilesGiveTheTunersMessage) {
    CliRun r = cli("analyse missing.wav");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "merlop-cli analyse: missing.wav: File does not exist\n");
    EXPECT_TRUE(r.out.empty());

    std::ofstream(dir / "short.wav") << "RIFF";
    r = cli("analyse short.wav");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "merlop-cli analyse: short.wav: wave header error\n");

    auto image = wavImage(std::vector<float>(100, 0.0f), 11025, 16);
    image[22] = 2;  // stereo
    std::ofstream(dir / "stereo.wav", std::ios::binary)
        .write(reinterpret_cast<const char*>(image.data()), image.size());
    r = cli("analyse stereo.wav");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "merlop-cli analyse: stereo.wav: Only PCM mono WAV files supported\n");
}

TEST_F(AnalyseCli, ConfigurationFileSetsTheAnalysis) {
    writeTone("a.wav", 440.0 * std::pow(2.0, 8.3 / 1200), 1.0);
    Settings s;
    s.fineTuning = 1;
    s.frequencyOfA = 442;
    writeConfig("fine.cfg", s);
    CliRun r = cli("analyse a.wav --config fine.cfg");
    ASSERT_EQ(r.status, 0) << r.err;
    auto f = fields(lines(r.out).back());
    EXPECT_EQ(f[1], "A 4");
    // Against A = 442 the tone is 8.3 - 7.85 cents sharp; a tenth of a cent is shown.
    EXPECT_NE(f[3].find('.'), std::string::npos);
    EXPECT_NEAR(std::stod(f[3]), 8.3 - 1200 * std::log2(442.0 / 440.0), 1.0);

    EXPECT_EQ(r.err, "");

    // The working directory's configuration is used when none is named, and that is said.
    fs::copy_file(dir / "fine.cfg", dir / "merlo301.cfg");
    r = cli("analyse a.wav");
    EXPECT_EQ(fields(lines(r.out).back())[3], f[3]);
    EXPECT_EQ(lines(r.err).size(), 1u);
    EXPECT_NE(r.err.find("merlo301.cfg"), std::string::npos) << r.err;

    r = cli("analyse a.wav --config nothing.cfg");
    EXPECT_EQ(r.status, 2);
    EXPECT_FALSE(r.err.empty());
}

TEST_F(AnalyseCli, NotesAreNamedAsWrittenForTheInstrument) {
    writeTone("bb.wav", 440.0 * std::pow(2.0, 1.0 / 12) / 2, 1.0);  // B flat 3 sounding
    Settings s;
    s.instrumentKey = -2;  // an instrument in B flat
    writeConfig("bb.cfg", s);
    const CliRun r = cli("analyse bb.wav --config bb.cfg");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto f = fields(lines(r.out).back());
    EXPECT_EQ(f[1], "C 4");
    EXPECT_NEAR(std::stod(f[2]), 233.08, 0.6);  // the frequency is the sounding one
}

TEST_F(AnalyseCli, AutomaticSensitivityReadsAQuietFile) {
    // A G 3 at -40 dB of full scale on 8 bits, then two seconds of hum and noise.
    std::vector<float> x = harmonicTone(196.0, 2.0, 11025, 8, 0.01);
    std::vector<float> noise(2 * 11025, 0.0f);
    addHum(noise, 11025, 50.0, -30.0);
    addWhiteNoise(noise, -40.0);
    x.insert(x.end(), noise.begin(), noise.end());
    ASSERT_TRUE(writeWav((dir / "quiet.wav").string(), x, 11025, 8));
    auto notes = [&](const std::string& args, std::size_t from, std::size_t to) {
        const CliRun r = cli("analyse quiet.wav " + args);
        EXPECT_EQ(r.status, 0) << r.err;
        const auto l = lines(r.out);
        int g3 = 0, other = 0;
        for (std::size_t i = from; i < std::min(to, l.size()); ++i) {
            const std::string note = fields(l[i])[1];
            g3 += note == "G 3" ? 1 : 0;
            other += !note.empty() && note != "G 3" ? 1 : 0;
        }
        return std::pair{g3, other};
    };
    // 10 blocks of the tone (lines 1..10), 11 of hum and noise after the one they share.
    const auto fixedTone = notes("", 1, 11);
    const auto autoTone = notes("--auto-sensitivity", 1, 11);
    const auto autoNoise = notes("--auto-sensitivity", 12, 100);
    EXPECT_LT(fixedTone.first, 5);
    EXPECT_GE(autoTone.first, 9);
    EXPECT_EQ(autoTone.second, 0);
    EXPECT_EQ(autoNoise.first + autoNoise.second, 0);

    const CliRun help = cli("analyse --help");
    EXPECT_NE(help.out.find("--auto-sensitivity"), std::string::npos);
}

TEST_F(AnalyseCli, CustomTuningNamesTheMatchedNote) {
    writeTone("d.wav", 146.832 * std::pow(2.0, -4.0 / 1200), 1.0);
    // Reading a tuning never creates the tunings file.
    CliRun r = cli("analyse d.wav --tuning 0");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("merlo230.tng"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "merlo230.tng"));

    ASSERT_EQ(cli("init-tunings").status, 0);
    r = cli("analyse d.wav --tuning 0");  // Guitar
    ASSERT_EQ(r.status, 0) << r.err;
    auto f = fields(lines(r.out).back());
    EXPECT_EQ(f[1], "D 3");
    EXPECT_EQ(f[4], "D  4th string");
    EXPECT_NEAR(std::stoi(f[3]), -4, 1);

    // A fixed note half a semitone or more away is no reading for the display.
    r = cli("analyse d.wav --tuning 0 --note 1");
    ASSERT_EQ(r.status, 0) << r.err;
    f = fields(lines(r.out).back());
    EXPECT_EQ(f[1], "");
    EXPECT_EQ(f[2], "-1");
    EXPECT_EQ(f[4], "");

    r = cli("analyse d.wav --tuning 0 --note 2");
    f = fields(lines(r.out).back());
    EXPECT_EQ(f[4], "D  4th string");

    EXPECT_EQ(cli("analyse d.wav --tuning 7").status, 2);
    EXPECT_EQ(cli("analyse d.wav --tuning 0 --note 6").status, 2);
    EXPECT_EQ(cli("analyse d.wav --note 1").status, 2);
    EXPECT_EQ(cli("analyse d.wav --bogus").status, 2);
    EXPECT_EQ(cli("analyse").status, 2);
}

TEST_F(AnalyseCli, SynthWritesTheRequestedFormat) {
    CliRun r = cli("synth t.wav --freq 330 --seconds 0.5 --rate 8000 --bits 8 --pluck --noise -40");
    ASSERT_EQ(r.status, 0) << r.err;
    WavReader reader;
    ASSERT_EQ(reader.open((dir / "t.wav").string()), WavStatus::ok);
    EXPECT_EQ(reader.sampleRate(), 8000);
    EXPECT_EQ(reader.bitsPerSample(), 8);
    EXPECT_EQ(reader.sampleCount(), 4000);

    EXPECT_EQ(cli("synth --help").status, 0);
    EXPECT_EQ(cli("synth x.wav --bits 12").status, 2);
    EXPECT_EQ(cli("synth x.wav --hum 55").status, 2);
    EXPECT_FALSE(fs::exists(dir / "x.wav"));
}

// What the tuner reads off a fixed set of files, pinned byte for byte: a change anywhere in the
// analysis, the smoothing, the note naming or the output format shows here first. After a change
// that is meant to alter the readings, MERLOP_UPDATE_GOLDEN=1 writes the files anew; the diff then
// shows what changed.
TEST_F(AnalyseCli, ReadingsMatchThePinnedGoldenFiles) {
    struct Case {
        const char* name;
        std::vector<float> signal;
        int rate;
        int bits;
        Settings settings;
        const char* args;
    };
    const auto concat = [](std::vector<float> a, const std::vector<float>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    std::vector<Case> cases;
    cases.push_back({"harmonic_a4", harmonicTone(440.0, 2.0, 11025, 8, 0.5), 11025, 16, {}, ""});
    {
        auto x = pluckedString(82.41, 3.0, 22050, 0.5);
        addWhiteNoise(x, -40.0);
        cases.push_back({"pluck_e2_noise", x, 22050, 16, {}, "--raw"});
    }
    {
        auto x = sineTone(1000.0, 1.5, 44100, 0.5);
        addHum(x, 44100, 50.0, -30.0);
        Settings s;
        s.hammingWindow = 0;
        s.analysisWindowMs = 100;
        s.freqHighHz = 4000;
        cases.push_back({"sine_8bit_hum", x, 44100, 8, s, ""});
    }
    {
        Settings s;
        s.temperamentIndex = 5;
        s.temperamentKey = 2;
        s.frequencyOfA = 415;
        s.instrumentKey = -2;
        s.fineTuning = 1;
        cases.push_back(
            {"temperament_transposed", harmonicTone(196.0, 2.0, 11025, 8, 0.5), 11025, 16, s, ""});
    }
    {
        auto x = pluckedString(330.0, 2.5, 11025, 0.5);
        addWhiteNoise(x, -30.0);
        Settings s;
        s.calibrationTenths = 35;
        s.curveSmoothing = 2;
        s.weighting = 1;
        s.sensitivityDb = -20;
        cases.push_back({"pluck_calibrated", x, 11025, 16, s, "--raw"});
    }
    // An octave leap, a slide of a semitone and a tone under the sensitivity.
    cases.push_back({"leap_and_quiet",
                     concat(concat(harmonicTone(220.0, 1.0, 11025, 8, 0.5),
                                   harmonicTone(440.0, 1.0, 11025, 8, 0.5)),
                            concat(harmonicTone(466.16, 1.0, 11025, 8, 0.5),
                                   harmonicTone(440.0, 1.0, 11025, 8, 0.002))),
                     11025,
                     16,
                     {},
                     "--raw"});
    cases.push_back({"guitar_tuning",
                     pluckedString(110.0 * std::pow(2.0, 7.0 / 1200), 2.0, 11025, 0.5),
                     11025,
                     16,
                     {},
                     "--tuning 0"});
    cases.push_back({"guitar_fixed_note",
                     harmonicTone(146.832, 1.0, 11025, 8, 0.5),
                     11025,
                     16,
                     {},
                     "--tuning 0 --note 2"});

    {
        // Fine tuning's sub-sample period: an 8-bit sine 0.37 cent sharp of C 4, then a tone
        // without its fundamental 12.64 cents flat of A 2.
        std::vector<Partial> partials;
        const double a2 = 110.0 * std::pow(2.0, -12.64 / 1200.0);
        for (int k = 2; k <= 8; ++k) partials.push_back({k * a2, 0.4 / k, 0.0});
        const std::vector<double> upper = partialSum(partials, 11025, 0, 11025);
        cases.push_back({"fine_detuned",
                         concat(sineTone(261.6256 * std::pow(2.0, 0.37 / 1200.0), 1.0, 11025, 0.5),
                                std::vector<float>(upper.begin(), upper.end())),
                         11025,
                         8,
                         {},
                         "--fine --raw"});
    }

    ASSERT_EQ(cli("init-tunings").status, 0);
    const fs::path golden = fs::path(MERLOP_SOURCE_DIR) / "tests" / "cli" / "golden";
    const bool update = std::getenv("MERLOP_UPDATE_GOLDEN") != nullptr;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeWav((dir / "in.wav").string(), c.signal, c.rate, c.bits));
        writeConfig("in.cfg", c.settings);
        const CliRun r = cli(std::string("analyse in.wav --config in.cfg ") + c.args);
        ASSERT_EQ(r.status, 0) << r.err;
        const fs::path file = golden / (std::string(c.name) + ".csv");
        if (update) {
            std::ofstream(file, std::ios::binary) << r.out;
            continue;
        }
        ASSERT_TRUE(fs::exists(file)) << file;
        const std::string want = slurp(file);
        EXPECT_GT(lines(want).size(), 4u);
        if (r.out == want) continue;
        const auto got = lines(r.out);
        const auto pinned = lines(want);
        std::size_t i = 0;
        while (i < got.size() && i < pinned.size() && got[i] == pinned[i]) ++i;
        ADD_FAILURE() << "line " << i + 1 << " reads\n  " << (i < got.size() ? got[i] : "(nothing)")
                      << "\nwhere it was\n  " << (i < pinned.size() ? pinned[i] : "(nothing)");
    }
}

}  // namespace
}  // namespace merlop
