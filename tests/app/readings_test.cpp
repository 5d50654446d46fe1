// The readings and spectrum exports: the files byte for byte, the offer flow, and files that
// cannot be written.
#include "app/readings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "common/message_box.h"
#include "common/question_box.h"
#include "display/spectrum_axes.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "settings/test_files.h"
#include "settings/tuning_store.h"

namespace merlop {
namespace {

using testing::TempDir;

std::string fileText(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

struct ScriptedQuestions : QuestionBox {
    std::deque<bool> answers;
    std::vector<std::string> asked;
    bool ask(const std::string& text, const std::string& caption, Buttons) override {
        asked.push_back(text + "|" + caption);
        const bool a = answers.empty() ? false : answers.front();
        if (!answers.empty()) answers.pop_front();
        return a;
    }
};

struct RecordedMessages : MessageBox {
    std::vector<std::string> shown;
    void show(const std::string& text, const std::string& caption) override {
        shown.push_back(text + "|" + caption);
    }
};

struct FixedDialog : CsvFileDialog {
    std::string answer;
    std::vector<std::string> offered;
    std::string saveCsv(const std::string& initialName) override {
        offered.push_back(initialName);
        return answer;
    }
};

// Three strings, E A D, at a reference A of 440 Hz.
struct ThreeStrings {
    Tuning tuning;
    PitchModel pitch;
    ThreeStrings() {
        tuning.noteCount = 3;
        tuning.setEntry(0, {"E", 40, 82.4f});
        tuning.setEntry(1, {"A", 45, 110.0f});
        tuning.setEntry(2, {"D", 50, 146.8f});
        pitch.setTuningNotes(tuning.frequencies.data(), 3);
    }
};

// A prepared set with one note measured.
CustomReadings oneReading(int i, float deviation) {
    CustomReadings r;
    r.prepare();
    CustomReadings::Values v = r.values();
    v[i] = deviation;
    r.assign(v);
    return r;
}

TEST(CustomReadingsFile, OnlyTheMeasuredNoteCarriesAReading) {
    ThreeStrings s;
    const CustomReadings r = oneReading(1, 0.05f);
    TempDir dir;
    const auto path = dir / "readings.csv";
    ASSERT_EQ(writeCsvFile(path, customReadingsLines(s.tuning, s.pitch, r.values())), "");
    EXPECT_EQ(fileText(path), "E,   82.4,\nA,  110.0,  110.3, 5.0\nD,  146.8,\n");
}

TEST(CustomReadingsFile, TargetsFollowTheReferenceAAndNegativeCentsKeepTheirSign) {
    ThreeStrings s;
    s.pitch.setReferenceA(442);
    s.pitch.setTuningNotes(s.tuning.frequencies.data(), 3);
    const CustomReadings r = oneReading(0, -0.123f);
    const auto lines = customReadingsLines(s.tuning, s.pitch, r.values());
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], "E,   82.8,   82.2,-12.3");
    EXPECT_EQ(lines[1], "A,  110.5,");
}

TEST(CustomReadingsRecording, ASetHoldsReadingsOnlyWhilePrepared) {
    CustomReadings r;
    EXPECT_FALSE(r.anyReading());
    r.prepare();
    EXPECT_FALSE(r.anyReading());  // every note carries the marker
    EXPECT_FALSE(isReading(r.values()[95]));
    r = oneReading(95, -0.5f);
    EXPECT_TRUE(r.anyReading());
    r.release();
    EXPECT_FALSE(r.anyReading());
    r.prepare();  // a fresh set forgets the old readings
    EXPECT_FALSE(r.anyReading());
}

TEST(CustomReadingsRecording, ReadingsKeepTheirMeaningOnlyForTheSameNotesAndTargets) {
    ThreeStrings a;
    ThreeStrings b;
    EXPECT_TRUE(sameReadingTargets(a.tuning, a.pitch, b.tuning, b.pitch));

    b.tuning.setDescription(1, "A2");  // relabelled
    EXPECT_FALSE(sameReadingTargets(a.tuning, a.pitch, b.tuning, b.pitch));

    ThreeStrings c;
    c.pitch.setReferenceA(442);  // every target moves
    c.pitch.setTuningNotes(c.tuning.frequencies.data(), 3);
    EXPECT_FALSE(sameReadingTargets(a.tuning, a.pitch, c.tuning, c.pitch));

    ThreeStrings d;
    d.tuning.setEntry(2, {"D", 50, 146.0f});  // one string retuned
    d.pitch.setTuningNotes(d.tuning.frequencies.data(), 3);
    EXPECT_FALSE(sameReadingTargets(a.tuning, a.pitch, d.tuning, d.pitch));

    ThreeStrings e;
    e.tuning.insertEntry(3, {"G", 55, 196.0f});  // a note added
    e.pitch.setTuningNotes(e.tuning.frequencies.data(), 4);
    EXPECT_FALSE(sameReadingTargets(a.tuning, a.pitch, e.tuning, e.pitch));

    ThreeStrings f;
    f.tuning.instrument = 25;  // another instrument for the reference tones changes nothing
    f.tuning.recordReadings = 1;
    EXPECT_TRUE(sameReadingTargets(a.tuning, a.pitch, f.tuning, f.pitch));
}

TEST(CustomReadingsOffer, CancelAnywhereDiscardsAndOkWritesTheFile) {
    ThreeStrings s;
    TempDir dir;
    ScriptedQuestions q;
    RecordedMessages m;
    FixedDialog d;
    CustomReadings r;

    r.prepare();
    q.answers = {false};
    EXPECT_FALSE(saveCustomReadings(r, s.tuning, s.pitch, q, d, m));
    EXPECT_EQ(q.asked, (std::vector<std::string>{"save custom readings ?|"}));
    EXPECT_TRUE(d.offered.empty());
    EXPECT_FALSE(r.prepared());

    r.prepare();
    q.answers = {true};
    d.answer = "";  // dialog cancelled
    EXPECT_FALSE(saveCustomReadings(r, s.tuning, s.pitch, q, d, m));
    EXPECT_EQ(d.offered, (std::vector<std::string>{"readings"}));
    EXPECT_FALSE(r.prepared());

    r = oneReading(2, 0.0f);
    q.answers = {true};
    d.answer = (dir / "out.csv").string();
    EXPECT_TRUE(saveCustomReadings(r, s.tuning, s.pitch, q, d, m));
    EXPECT_EQ(fileText(dir / "out.csv"), "E,   82.4,\nA,  110.0,\nD,  146.8,  146.8, 0.0\n");
    EXPECT_TRUE(m.shown.empty());
}

TEST(CsvWriting, FailuresAreReportedAndLeaveTheTargetAlone) {
    TempDir dir;
    RecordedMessages m;
    FixedDialog d;

    // A folder in the way.
    std::filesystem::create_directory(dir / "folder.csv");
    d.answer = (dir / "folder.csv").string();
    EXPECT_FALSE(saveSpectrumReadings({}, d, m));
    ASSERT_EQ(m.shown.size(), 1u);
    EXPECT_NE(m.shown[0].find("Cannot write "), std::string::npos);
    EXPECT_NE(m.shown[0].find("|Save Spectrum"), std::string::npos);

    // A folder that does not exist.
    EXPECT_NE(writeCsvFile(dir / "missing" / "x.csv", {"a"}), "");

    // A folder without write permission (root may write anyway).
    if (geteuid() != 0) {
        std::filesystem::create_directory(dir / "locked");
        { std::ofstream(dir / "locked" / "old.csv") << "old\n"; }
        chmod((dir / "locked").c_str(), 0555);
        EXPECT_NE(writeCsvFile(dir / "locked" / "old.csv", {"new"}), "");
        EXPECT_EQ(fileText(dir / "locked" / "old.csv"), "old\n");
        chmod((dir / "locked").c_str(), 0755);
    }

    // Replacing an existing file leaves no temporary behind.
    { std::ofstream(dir / "s.csv") << "a much longer old content\n"; }
    EXPECT_EQ(writeCsvFile(dir / "s.csv", {"x"}), "");
    EXPECT_EQ(fileText(dir / "s.csv"), "x\n");
    int files = 0;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

TEST(SpectrumFile, PeaksAndValleysOfAHistoryAsLines) {
    Settings settings;
    SpectrumBand band{11025.0f / 2048.0f, 4, 223};
    const SpectrumAxes axes(400, 300, SpectrumViewSettings::from(settings), band);
    const int columns = 8;
    // A rise to a three-column top, a fall, a rise: one P in the middle of the top, one V.
    const std::vector<int> history = {0, 5, 9, 9, 9, 3, -1, 4,  // slice 0
                                      4, 4, 4, 4, 4, 4, 4,  4};
    const auto extrema = scanPeaksAndValleys(history, 2, columns, axes);
    ASSERT_EQ(extrema.size(), 2u);
    EXPECT_EQ(extrema[0].column, 3);
    EXPECT_EQ(extrema[0].mark, 'P');
    EXPECT_EQ(extrema[1].column, 6);
    EXPECT_EQ(extrema[1].mark, 'V');

    TempDir dir;
    FixedDialog d;
    RecordedMessages m;
    d.answer = (dir / "spectrum.csv").string();
    ASSERT_TRUE(saveSpectrumReadings(extrema, d, m));
    EXPECT_EQ(d.offered, (std::vector<std::string>{"spectrum"}));
    char p[64], v[64];
    std::snprintf(p, sizeof p, "0,%7.2f,%d,P", static_cast<double>(extrema[0].frequency),
                  extrema[0].db);
    std::snprintf(v, sizeof v, "0,%7.2f,%d,V", static_cast<double>(extrema[1].frequency),
                  extrema[1].db);
    EXPECT_EQ(fileText(dir / "spectrum.csv"),
              std::string("Time,Hz,dB,Peak/Valley\n") + p + "\n" + v + "\n");
    EXPECT_LT(extrema[0].frequency, extrema[1].frequency);

    // No change of slope (or the flat view, which keeps no history): the header alone.
    ASSERT_TRUE(saveSpectrumReadings({}, d, m));
    EXPECT_EQ(fileText(dir / "spectrum.csv"), "Time,Hz,dB,Peak/Valley\n");
}

}  // namespace
}  // namespace merlop
