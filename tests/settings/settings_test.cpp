#include "settings/settings.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <csignal>
#include <map>
#include <random>

#include "settings/expected_config.h"
#include "settings/test_files.h"

namespace merlop {
namespace {

using testing::Bytes;
using testing::expectedDefaultConfig;
using testing::int32At;
using testing::kConfigItems;
using testing::putInt32At;
using testing::readBytes;
using testing::TempDir;
using testing::writeBytes;

Settings::Image imageOf(const Bytes& b) {
    Settings::Image image{};
    std::copy_n(b.begin(), image.size(), image.begin());
    return image;
}

// reserved1..3, reserved4, reserved5, reserved6: no load or save may alter them.
Bytes reservedBytes(const Bytes& b) {
    Bytes out;
    for (const auto& [from, to] : {std::pair{100, 152}, std::pair{208, 212}, std::pair{236, 240}}) {
        for (int i = from; i < to; ++i) out.push_back(b.at(i));
    }
    return out;
}

// What later code divides by or indexes with must be in range after any load.
void expectUsable(const Settings& s) {
    const std::map<std::string, std::pair<int, int>> ranges = {{"analysisWindowMs", {20, 1000}},
                                                               {"frequencyOfA", {400, 500}},
                                                               {"freqLowHz", {20, 4000}},
                                                               {"freqHighHz", {120, 20000}},
                                                               {"spectrumSustain", {1, 20}},
                                                               {"pitchBendSpan", {2, 96}},
                                                               {"toneRepeatRate", {0, 200}},
                                                               {"sampleRate", {4000, 192000}},
                                                               {"midiChannel", {0, 16}},
                                                               {"midiPatch", {0, 127}},
                                                               {"temperamentIndex", {0, 74}},
                                                               {"temperamentKey", {0, 11}},
                                                               {"temperamentRefNote", {0, 11}},
                                                               {"earKey", {0, 12}},
                                                               {"earScale", {0, 6}},
                                                               {"earNoteCount", {1, 12}},
                                                               {"earTempo", {30, 200}},
                                                               {"currentTuning", {0, 31}},
                                                               {"pianoOctaveCount", {1, 10}}};
    for (const auto& [name, value] : s.fieldsInFileOrder()) {
        const auto r = ranges.find(name);
        if (r == ranges.end()) continue;
        EXPECT_GE(std::stoi(value), r->second.first) << name;
        EXPECT_LE(std::stoi(value), r->second.second) << name;
    }
    EXPECT_GE(s.freqHighHz, s.freqLowHz + 100);
    EXPECT_GT(s.spectrumDbHigh, s.spectrumDbLow);
    EXPECT_LE(s.spectrumDbHigh, Settings::kMaxSpectrumDbHigh);
    EXPECT_GE(s.earRangeHigh, s.earRangeLow);
    EXPECT_TRUE(s.earRangeLow >= 0 && s.earRangeHigh <= 127);
    EXPECT_TRUE(s.bitsPerSample == 8 || s.bitsPerSample == 16);
    EXPECT_TRUE(s.humFrequency == 50 || s.humFrequency == 60);
}

TEST(SettingsImage, DefaultsAndFieldListFollowTheFileLayout) {
    EXPECT_EQ(imageOf(expectedDefaultConfig()), Settings::defaultImage());
    const auto fields = Settings{}.fieldsInFileOrder();
    ASSERT_EQ(fields.size(), 57u);
    EXPECT_EQ(fields[28], std::make_pair(std::string("reserved4"), std::string("\"\"")));
    for (std::size_t k = 0, f = 0; k < kConfigItems.size(); ++k, ++f) {
        if (f == 28) ++f;
        EXPECT_EQ(fields[f].first, kConfigItems[k].name);
        EXPECT_EQ(fields[f].second, std::to_string(kConfigItems[k].defaultValue));
    }

    Settings s;
    const std::string text = "a\"b\\c\x01";
    std::copy(text.begin(), text.end(), s.reserved4.begin());
    s.reserved4[10] = 'z';  // beyond the terminator
    EXPECT_EQ(s.fieldsInFileOrder()[28].second, "\"a\\\"b\\\\c\\x01\"");
}

TEST(SettingsImage, LittleEndianInFileOrder) {
    Bytes b = expectedDefaultConfig();
    putInt32At(b, 204, 25);  // midiCalibrationCents, not midiChannel
    putInt32At(b, 4, 0x01BC);
    putInt32At(b, 104, INT32_MIN);
    EXPECT_EQ(b[4], 0xBC);
    EXPECT_EQ(b[5], 0x01);
    const Settings s = Settings::fromImage(imageOf(b));
    EXPECT_EQ(s.midiCalibrationCents, 25);
    EXPECT_EQ(s.midiChannel, 0);
    EXPECT_EQ(s.frequencyOfA, 0x01BC);
    EXPECT_EQ(s.reserved2, INT32_MIN);
    EXPECT_EQ(s.sensitivityDb, -36);
    EXPECT_EQ(s.toImage(), imageOf(b));
}

class SettingsFile : public ::testing::Test {
  protected:
    std::filesystem::path path() const { return dir_ / Settings::kDefaultFileName; }
    Settings load() {
        Settings s;
        s.setLocation(dir_.path());
        s.loadSettings();
        return s;
    }
    TempDir dir_;
};

TEST_F(SettingsFile, SaveChangesOnlyWhatChanged) {
    Bytes file = expectedDefaultConfig();
    putInt32At(file, 204, 25);
    putInt32At(file, 100, 0x12345678);
    putInt32At(file, 208, -7);
    for (int k = 0; k < 40; ++k) file[112 + k] = static_cast<unsigned char>(200 + k);
    file.insert(file.end(), {'t', 'a', 'i', 'l'});
    writeBytes(path(), file);

    Settings s = load();
    ASSERT_EQ(s.loadFailed, 0);
    EXPECT_EQ(s.fileName, path().string());
    EXPECT_EQ(s.midiCalibrationCents, 25);
    s.showSpectrum = 1;
    ASSERT_EQ(s.saveSettings(), 0);
    putInt32At(file, 244, 1);
    EXPECT_EQ(readBytes(path()), file);
}

TEST_F(SettingsFile, MissingOrShortFileGivesDefaultsAndIsNeverWritten) {
    Settings missing = load();
    EXPECT_EQ(missing.loadFailed, 1);
    EXPECT_EQ(missing.saveSettings(), -1);
    EXPECT_FALSE(std::filesystem::exists(path()));

    Bytes b = expectedDefaultConfig();
    putInt32At(b, 4, 450);
    b.resize(263);
    writeBytes(path(), b);
    Settings s = load();
    EXPECT_EQ(s.loadFailed, 1);
    EXPECT_EQ(s.toImage(), Settings::defaultImage());  // nothing of the partial read is left
    s.frequencyOfA = 480;
    EXPECT_EQ(s.saveSettings(), -1);
    EXPECT_EQ(readBytes(path()), b);
}

TEST_F(SettingsFile, OnlyARegularFileIsReadAndNothingElseIsWritten) {
    // A FIFO would block the open for ever, a folder or device would take the 264 bytes.
    ASSERT_EQ(::mkfifo(path().c_str(), 0600), 0);
    Settings fifo = load();
    EXPECT_EQ(fifo.loadProblem, Settings::LoadProblem::notAFile);
    EXPECT_EQ(fifo.saveSettings(), -1);
    std::filesystem::remove(path());

    std::filesystem::create_directory(path());
    EXPECT_EQ(load().loadProblem, Settings::LoadProblem::notAFile);
    std::filesystem::remove(path());

    writeBytes(path(), Bytes(100, 1));
    EXPECT_EQ(load().loadProblem, Settings::LoadProblem::tooShort);
}

TEST_F(SettingsFile, SavesWholeThroughALinkOrNotAtAll) {
    Bytes b = expectedDefaultConfig();
    b.insert(b.end(), {'x', 'y'});
    writeBytes(dir_ / "real.cfg", b);
    std::filesystem::create_symlink("real.cfg", path());
    Settings s = load();
    ASSERT_EQ(s.loadFailed, 0);
    s.frequencyOfA = 443;
    ASSERT_EQ(s.saveSettings(), 0);
    EXPECT_TRUE(std::filesystem::is_symlink(path()));
    putInt32At(b, 4, 443);
    EXPECT_EQ(readBytes(dir_ / "real.cfg"), b);

    // A full disk: the old file stays as it was, and the caller learns why.
    s.frequencyOfA = 450;
    int error = 0;
    {
        const testing::FileSizeLimit limit(100);
        EXPECT_EQ(s.saveSettings(&error), -1);
    }
    EXPECT_EQ(error, EFBIG);
    EXPECT_EQ(readBytes(dir_ / "real.cfg"), b);
}

TEST_F(SettingsFile, AReadOnlyFileIsReadButNotWritten) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
    Bytes b = expectedDefaultConfig();
    putInt32At(b, 4, 443);
    writeBytes(path(), b);
    std::filesystem::permissions(path(), std::filesystem::perms::owner_read);
    Settings s = load();
    ASSERT_EQ(s.loadFailed, 0);
    EXPECT_EQ(s.frequencyOfA, 443);
    int error = 0;
    EXPECT_EQ(s.saveSettings(&error), -1);
    EXPECT_EQ(error, EACCES);
}

TEST_F(SettingsFile, ValuesThatHarmNothingAreKeptAndWrittenBack) {
    Bytes b = expectedDefaultConfig();
    putInt32At(b, 32, 7);    // fineTuning: any non-zero value is on
    putInt32At(b, 244, -1);  // showSpectrum
    putInt32At(b, 228, 2);   // humFilter
    putInt32At(b, 216, 5);   // sharpNotation
    putInt32At(b, 28, 300);  // spectrumDbHigh far above the usual top
    putInt32At(b, 84, 24);   // pitchBendSpan
    writeBytes(path(), b);
    Settings s = load();
    EXPECT_EQ(s.fineTuning, 7);
    EXPECT_EQ(s.showSpectrum, -1);
    EXPECT_EQ(s.humFilter, 2);
    EXPECT_EQ(s.sharpNotation, 5);
    EXPECT_EQ(s.spectrumDbHigh, 300);
    EXPECT_EQ(s.pitchBendSpan, 24);
    ASSERT_EQ(s.saveSettings(), 0);
    EXPECT_EQ(readBytes(path()), b);

    // The wave window's full scale, 4096 x 10^((high - 30) / 20), must stay a finite float.
    putInt32At(b, 28, INT32_MAX);
    writeBytes(path(), b);
    s = load();
    EXPECT_EQ(s.spectrumDbHigh, Settings::kMaxSpectrumDbHigh);
    EXPECT_TRUE(
        std::isfinite(static_cast<float>(4096.0 * std::pow(10.0, (s.spectrumDbHigh - 30) / 20.0))));
}

TEST_F(SettingsFile, CalibrationsLoadAsStoredAndAreLimitedWherePutToUse) {
    for (const int32_t v : {INT32_MIN, -12001, 99, INT32_MAX}) {
        Bytes file = expectedDefaultConfig();
        putInt32At(file, 8, v);    // calibrationTenths
        putInt32At(file, 204, v);  // midiCalibrationCents
        writeBytes(path(), file);
        Settings s = load();
        EXPECT_EQ(s.calibrationTenths, v);
        EXPECT_EQ(s.midiCalibrationCents, v);
        ASSERT_EQ(s.saveSettings(), 0);
        EXPECT_EQ(readBytes(path()), file);
    }
    EXPECT_EQ(usableCalibrationTenths(INT32_MAX), 12000);
    EXPECT_EQ(usableCalibrationTenths(INT32_MIN), -12000);
    EXPECT_EQ(usableCalibrationTenths(-51), -51);
    EXPECT_EQ(usableMidiCalibrationCents(INT32_MIN), -1200);
    EXPECT_EQ(usableMidiCalibrationCents(99), 99);
    EXPECT_EQ(usableMidiCalibrationCents(1201), 1200);
}

TEST(PitchBendSpan, ZeroAndOneTakeTheDefaultWherePutToUse) {
    EXPECT_EQ(usablePitchBendSpan(0), 4);
    EXPECT_EQ(usablePitchBendSpan(1), 4);  // would pin the bend for half of each semitone
    EXPECT_EQ(usablePitchBendSpan(-3), 4);
    EXPECT_EQ(usablePitchBendSpan(2), 2);
    EXPECT_EQ(usablePitchBendSpan(96), 96);
    EXPECT_EQ(usablePitchBendSpan(1000), 96);
    for (int span : {0, 1, 2, 200}) {
        Settings s = Settings::fromImage(Settings::defaultImage());
        s.pitchBendSpan = span;
        s.normalise();
        EXPECT_EQ(s.pitchBendSpan, usablePitchBendSpan(span)) << span;
    }
}

TEST_F(SettingsFile, DamagedValuesLoadInRangeAndReservedBytesSurvive) {
    Bytes partners = expectedDefaultConfig();
    putInt32At(partners, 12, 4000);  // freqLowHz over freqHighHz
    putInt32At(partners, 16, 150);
    putInt32At(partners, 24, -10);  // spectrumDbLow over spectrumDbHigh
    putInt32At(partners, 28, -20);
    putInt32At(partners, 172, 100);  // earRangeLow over earRangeHigh
    putInt32At(partners, 176, 50);
    putInt32At(partners, 232, 51);
    writeBytes(path(), partners);
    Settings s = load();
    EXPECT_EQ(s.freqHighHz, 4100);
    EXPECT_EQ(s.spectrumDbHigh, -9);
    EXPECT_EQ(s.earRangeHigh, 100);
    EXPECT_EQ(s.humFrequency, 50);

    std::vector<Bytes> files;
    for (int32_t extreme : {INT32_MIN, -1, 0, INT32_MAX}) {
        Bytes b(264);
        for (std::size_t k = 0; k < 264; k += 4) putInt32At(b, k, extreme);
        files.push_back(b);
    }
    std::mt19937 rng(20240601);
    for (int round = 0; round < 100; ++round) {
        Bytes b(264 + rng() % 100);
        for (auto& c : b) c = static_cast<unsigned char>(rng());
        files.push_back(b);
    }
    for (const Bytes& b : files) {
        writeBytes(path(), b);
        Settings loaded = load();
        ASSERT_EQ(loaded.loadFailed, 0);
        expectUsable(loaded);
        ASSERT_EQ(loaded.saveSettings(), 0);
        const Bytes after = readBytes(path());
        ASSERT_EQ(after.size(), b.size());
        EXPECT_EQ(reservedBytes(after), reservedBytes(b));
        EXPECT_TRUE(std::equal(after.begin() + 264, after.end(), b.begin() + 264));
        EXPECT_EQ(load().toImage(), loaded.toImage());
    }
}

}  // namespace
}  // namespace merlop
