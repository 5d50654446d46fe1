// Scala scales and keyboard maps: reading, the temperaments and tunings they become, writing,
// and the user's folder of temperaments. Expected pitches are worked out from the ratios and
// cents of the scales themselves.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "pitch/pitch_model.h"
#include "pitch/temperament_table.h"
#include "settings/scala_convert.h"
#include "settings/scala_scale.h"
#include "settings/test_files.h"
#include "settings/user_temperaments.h"
#include "support/scoped_translator.h"

namespace merlop {
namespace {

using testing::TempDir;

const char* const kPythagorean =
    "! pyth.scl\n!\nPythagorean\n 12\n!\n 256/243\n 9/8\n 32/27\n 81/64\n 4/3\n 729/512\n"
    " 3/2\n 128/81\n 27/16\n 16/9\n 243/128\n 2/1\n";

// Quarter-comma meantone: fifths of 696.578 cents, written in cents.
const char* const kMeantone =
    "Quarter-comma meantone\n12\n76.049\n193.157\n310.265\n386.314\n503.422\n579.471\n"
    "696.578\n772.627\n889.735\n1006.843\n1082.892\n1200.0\n";

std::string equalScale(int steps, const std::string& period) {
    std::string s =
        "! made here\n" + std::to_string(steps) + "-tone equal\n" + std::to_string(steps) + "\n";
    const double periodCents = period == "3/1" ? 1200.0 * std::log2(3.0) : 1200.0;
    for (int i = 1; i < steps; ++i) s += std::to_string(periodCents * i / steps) + "\n";
    return s + period + "\n";
}

ScalaScale read(const std::string& text) {
    ScalaScale scale;
    const ScalaError e = readScalaScale(text, "test.scl", &scale);
    EXPECT_FALSE(e.failed()) << e.text();
    return scale;
}

ScalaKeyboardMap readMap(const std::string& text) {
    ScalaKeyboardMap map;
    const ScalaError e = readScalaKeyboardMap(text, "test.kbm", &map);
    EXPECT_FALSE(e.failed()) << e.text();
    return map;
}

TEST(ScalaTemperament, EqualPythagoreanAndMeantoneGiveTheirOffsets) {
    const auto equal = temperamentOffsets(read(equalScale(12, "2/1")));
    for (double o : equal) EXPECT_NEAR(o, 0.0, 1e-9);

    const ScalaScale pyth = read(kPythagorean);
    ASSERT_TRUE(isTemperamentScale(pyth));
    EXPECT_EQ(pyth.description, "Pythagorean");
    EXPECT_NEAR(pyth.pitches[6].cents, 701.955, 0.0005);
    const auto p = temperamentOffsets(pyth);
    const double expected[12] = {0,      -9.775, 3.910,  -5.865, 7.820,  -1.955,
                                 11.730, 1.955,  -7.820, 5.865,  -3.910, 9.775};
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(p[i], expected[i], 0.0005) << i;

    // The table's quarter-comma row agrees to its two decimals.
    const auto m = temperamentOffsets(read(kMeantone));
    const auto& row = TemperamentTable::row(29);
    for (int i = 0; i < 12; ++i) EXPECT_NEAR(m[i], row[i], 0.006) << i;
}

TEST(ScalaTemperament, PitchModelPlacesOffsetsAsItPlacesARow) {
    PitchModel given;
    PitchModel table;
    const auto& row = TemperamentTable::row(29);
    for (int key = 0; key < 12; ++key) {
        for (int ref = 0; ref < 12; ++ref) {
            given.setTemperamentOffsets(row, key, ref, 80);
            table.setTemperament(29, key, ref);
            for (int pc = 0; pc < 12; ++pc)
                ASSERT_EQ(given.temperamentOffset(pc), table.temperamentOffset(pc)) << key << ref;
        }
    }
    EXPECT_EQ(given.temperamentIndex(), 80);

    // Pythagorean on C, C kept: C 4 stays at 261.626 Hz and G 4 is a pure fifth above it.
    PitchModel pyth;
    pyth.setTemperamentOffsets(temperamentRow(read(kPythagorean)), 0, 0, 75);
    const double c4 = 440.0 * std::pow(2.0, -9.0 / 12.0);
    EXPECT_NEAR(pyth.frequencyOfNote(51, 0.0f), c4, 1e-3);
    EXPECT_NEAR(pyth.frequencyOfNote(58, 0.0f), c4 * 1.5, 1e-3);
    int note = -1;
    float deviation = 1.0f;
    pyth.splitNoteValue(pyth.noteValueOf(static_cast<float>(c4 * 1.5)), &note, &deviation);
    EXPECT_EQ(note, 58);
    EXPECT_NEAR(deviation, 0.0f, 1e-4f);
    // An all-zero user temperament sounds equal temperament.
    PitchModel zero;
    zero.setTemperamentOffsets({}, 5, 9, 76);
    EXPECT_NEAR(zero.frequencyOfNote(60, 0.0f), 440.0f, 1e-3f);
    EXPECT_NEAR(zero.frequencyOfNote(63, 0.0f), 523.2511f, 1e-3f);
}

TEST(ScalaTemperament, EveryRowSurvivesExportAndImport) {
    for (int i = 0; i < TemperamentTable::kRows; ++i) {
        const std::string description = temperamentDescription(TemperamentTable::name(i), 2);
        const std::string image =
            writeScalaScale(scaleOfTemperament(TemperamentTable::row(i), description), "row.scl");
        const ScalaScale back = read(image);
        ASSERT_TRUE(isTemperamentScale(back)) << i;
        EXPECT_EQ(back.description, description);
        const auto offsets = temperamentOffsets(back);
        for (int k = 0; k < 12; ++k)
            ASSERT_NEAR(offsets[k], TemperamentTable::row(i)[k], 0.001) << i << " " << k;
    }
    EXPECT_EQ(temperamentDescription(TemperamentTable::name(29), 2), "Mean tone 1/4, key D");
    // A description that looks like a comment, labels and an odd period come back too.
    ScalaScale odd;
    odd.description = "! not a comment";
    odd.pitches = {{350.5, "neutral third"}, {1901.955, "tritave"}};
    const ScalaScale back = read(writeScalaScale(odd, "odd.scl"));
    EXPECT_EQ(back.description, odd.description);
    ASSERT_EQ(back.size(), 2);
    EXPECT_EQ(back.pitches[0].label, "neutral third");
    EXPECT_NEAR(back.periodCents(), 1901.955, 1e-6);
}

TEST(ScalaTuningOfScale, NineteenEqualKeepsTheNinetySixKeysAroundTheReference) {
    const ScalaScale s = read(equalScale(19, "2/1"));
    EXPECT_FALSE(isTemperamentScale(s));
    const ScalaTuning t = tuningOfScale(s, defaultKeyboardMap(0), "19-EDO");
    ASSERT_TRUE(t.problem.empty()) << t.problem;
    ASSERT_EQ(t.tuning.noteCount, 96);
    EXPECT_EQ(t.tuning.nameText(), "19-EDO");
    EXPECT_EQ(keyRanges(t.tooMany), "0-11, 108-127");
    EXPECT_TRUE(t.unsoundable.empty());
    // Key 60 is C 4 at its equal-tempered 261.626 Hz; 19 keys up the octave.
    const double c4 = 440.0 * std::pow(2.0, -9.0 / 12.0);
    EXPECT_NEAR(t.tuning.frequencies[48], c4, 1e-3);
    EXPECT_NEAR(t.tuning.frequencies[48 + 19], 2 * c4, 1e-3);
    EXPECT_NEAR(t.tuning.frequencies[49], c4 * std::pow(2.0, 1.0 / 19.0), 1e-3);
    EXPECT_NEAR(t.tuning.frequencies[0], c4 * std::pow(2.0, -48.0 / 19.0), 1e-3);
    EXPECT_EQ(t.tuning.description(48), "deg 0 4");
    EXPECT_EQ(t.tuning.description(48 + 19), "deg 0 5");
    EXPECT_EQ(t.tuning.description(47), "deg 18 3");
    EXPECT_EQ(t.tuning.notes[48], 60);
    EXPECT_EQ(t.tuning.notes[48 + 19], 72);

    // On another key degree 0 sits on that key's equal-tempered pitch.
    const ScalaTuning onD = tuningOfScale(s, defaultKeyboardMap(2), "19 on D");
    EXPECT_NEAR(onD.tuning.frequencies[48], c4 * std::pow(2.0, 2.0 / 12.0), 1e-3);
    EXPECT_EQ(keyRanges(onD.tooMany), "0-13, 110-127");
}

TEST(ScalaTuningOfScale, BohlenPierceRepeatsAtTheTritave) {
    const ScalaScale bp = read(equalScale(13, "3/1"));
    EXPECT_FALSE(isTemperamentScale(bp));
    // A twelve-note scale is a temperament only with a period of 2/1.
    EXPECT_FALSE(isTemperamentScale(read(equalScale(12, "3/1"))));
    const ScalaTuning t = tuningOfScale(bp, defaultKeyboardMap(0), "Bohlen-Pierce");
    ASSERT_TRUE(t.problem.empty());
    const double c4 = 440.0 * std::pow(2.0, -9.0 / 12.0);
    // From key 112 up the pitch passes 20 kHz: 261.6 Hz times 3^(52/13) is 21.2 kHz.
    int at60 = -1;
    for (int i = 0; i < t.tuning.noteCount; ++i) {
        if (std::fabs(t.tuning.frequencies[i] - c4) < 1e-3) at60 = i;
    }
    ASSERT_GE(at60, 0);
    EXPECT_NEAR(t.tuning.frequencies[at60 + 13], 3 * c4, 2e-3);
    EXPECT_NEAR(t.tuning.frequencies[at60 + 1], c4 * std::pow(3.0, 1.0 / 13.0), 1e-3);
    EXPECT_EQ(t.tuning.noteCount + t.tooMany.size() + t.unsoundable.size(), 128u);
    ASSERT_FALSE(t.unsoundable.empty());
    EXPECT_GT(t.unsoundable.front(), 100);
    for (int i = 0; i < t.tuning.noteCount; ++i) EXPECT_LE(t.tuning.frequencies[i], 20000.0f);
}

TEST(ScalaTuningOfScale, KeyboardMapWithGapsTunesItsReferenceNote) {
    // White keys only, D 4 at 300 Hz, Pythagorean degrees.
    const ScalaKeyboardMap map = readMap(
        "! white.kbm\n12\n48\n72\n60\n62\n300.0\n12\n! mapping\n0\nx\n2\nx\n4\n5\nx\n7\nx\n9\nx\n"
        "11\n");
    EXPECT_EQ(map.referenceNote, 62);
    const ScalaTuning t = tuningOfScale(read(kPythagorean), map, "white keys");
    ASSERT_TRUE(t.problem.empty()) << t.problem;
    ASSERT_EQ(t.tuning.noteCount, 15);  // the white keys from C 3 to C 5
    const double c4 = 300.0 / (9.0 / 8.0);
    EXPECT_NEAR(t.tuning.frequencies[0], c4 / 2, 1e-3);
    EXPECT_NEAR(t.tuning.frequencies[7], c4, 1e-3);
    EXPECT_NEAR(t.tuning.frequencies[8], 300.0, 1e-3);
    EXPECT_NEAR(t.tuning.frequencies[10], c4 * 4.0 / 3.0, 1e-3);  // F
    EXPECT_NEAR(t.tuning.frequencies[11], c4 * 1.5, 1e-3);        // G
    EXPECT_NEAR(t.tuning.frequencies[14], 2 * c4, 1e-3);
    EXPECT_TRUE(t.tooMany.empty());

    // A map that stops short leaves its last keys unmapped; one whose reference is among them
    // cannot be tuned.
    const ScalaKeyboardMap shortMap = readMap("3\n0\n127\n60\n61\n440\n12\n0\n");
    const ScalaTuning none = tuningOfScale(read(kPythagorean), shortMap, "x");
    EXPECT_NE(none.problem.find("reference note 61"), std::string::npos) << none.problem;
    // 7 white keys to 7-tone equal: with octave degree 0 (the scale's size) each octave of keys
    // is one period; with 14, two.
    // Key 72 is the 43rd white key from key 0, and no white key is left out below it.
    const std::string white = "0\nx\n1\nx\n2\n3\nx\n4\nx\n5\nx\n6\n";
    const ScalaScale seven = read(equalScale(7, "2/1"));
    const ScalaTuning t7 =
        tuningOfScale(seven, readMap("12\n0\n127\n60\n60\n261.0\n0\n" + white), "7");
    ASSERT_TRUE(t7.problem.empty());
    ASSERT_EQ(t7.tuning.noteCount, 75);
    EXPECT_NEAR(t7.tuning.frequencies[42], 522.0f, 1e-3f);
    const ScalaTuning t14 =
        tuningOfScale(seven, readMap("12\n0\n127\n60\n60\n261.0\n14\n" + white), "14");
    EXPECT_NEAR(t14.tuning.frequencies[42], 1044.0f, 1e-3f);
}

struct Hostile {
    const char* what;
    std::string bytes;
    int line;
    const char* says;
};

TEST(ScalaReader, HostileScalesFailOnTheirLineAndChangeNothing) {
    const std::vector<Hostile> cases = {
        {"not a number", "d\n2\n3/2\nfifth\n", 4, "not a pitch"},
        {"negative ratio", "d\n1\n-3/2\n", 3, "above zero"},
        {"zero ratio", "d\n2\n0/5\n2/1\n", 3, "above zero"},
        {"zero denominator", "d\n!\n1\n3/0\n", 4, "zero denominator"},
        {"no denominator", "d\n1\n3/\n", 3, "denominator"},
        {"too few pitches", "d\n3\n100.0\n200.0\n", 4, "2 of 3"},
        {"too many notes", "d\n5000\n100.\n", 2, "4096"},
        {"count no number", "d\ntwelve\n", 2, "number of notes"},
        {"huge ratio", "d\n1\n99999999999999999999999/1\n", 3, "too large"},
        {"huge cents", "d\n1\n250000.0\n", 3, "too large"},
        {"period below unison", "d\n1\n1/2\n", 3, "period"},
        {"NUL byte",
         std::string("d\n1\n2/\0"
                     "1\n",
                     9),
         3, "0x00"},
        {"control byte", "d\n1\n\x1b[2/1\n", 3, "0x1B"},
        {"empty", "", 0, "description"},
        {"only the description", "! c\nd\n", 2, "number of notes"},
    };
    for (const Hostile& c : cases) {
        ScalaScale scale;
        scale.description = "untouched";
        const ScalaError e = readScalaScale(c.bytes, "bad.scl", &scale);
        ASSERT_TRUE(e.failed()) << c.what;
        EXPECT_EQ(e.file, "bad.scl") << c.what;
        EXPECT_EQ(e.line, c.line) << c.what << ": " << e.text();
        EXPECT_NE(e.message.find(c.says), std::string::npos) << c.what << ": " << e.text();
        EXPECT_EQ(scale.description, "untouched") << c.what;
        EXPECT_TRUE(scale.pitches.empty()) << c.what;
    }
    ScalaScale scale;
    const ScalaError missing = loadScalaScale("/nonexistent/none.scl", &scale);
    EXPECT_EQ(missing.text().rfind("/nonexistent/none.scl: cannot open", 0), 0u) << missing.text();
    TempDir dir;
    EXPECT_NE(loadScalaScale(dir.path(), &scale).text().find("folder"), std::string::npos);
}

TEST(ScalaReader, HostileKeyboardMapsFailOnTheirLine) {
    const std::vector<Hostile> cases = {
        {"more entries than size", "2\n0\n127\n60\n69\n440\n12\n0\n1\n2\n", 10, "more mapping"},
        {"zero frequency", "0\n0\n127\n60\n69\n0.0\n0\n", 6, "above zero"},
        {"huge frequency", "0\n0\n127\n60\n69\n1e999\n0\n", 6, "frequency"},
        {"note above 127", "0\n0\n128\n60\n69\n440\n0\n", 3, "out of range"},
        {"first above last", "0\n100\n10\n60\n69\n440\n0\n", 3, "below the first"},
        {"ends early", "! m\n0\n0\n127\n", 4, "middle note"},
        {"degree not a number", "1\n0\n127\n60\n69\n440\n0\nq\n", 8, "degree"},
        {"NUL byte", std::string("0\n0\n\0", 5), 3, "0x00"},
    };
    for (const Hostile& c : cases) {
        ScalaKeyboardMap map;
        map.middleNote = 1;
        const ScalaError e = readScalaKeyboardMap(c.bytes, "bad.kbm", &map);
        ASSERT_TRUE(e.failed()) << c.what;
        EXPECT_EQ(e.line, c.line) << c.what << ": " << e.text();
        EXPECT_NE(e.message.find(c.says), std::string::npos) << c.what << ": " << e.text();
        EXPECT_EQ(e.text().rfind("bad.kbm: ", 0), 0u);
        EXPECT_EQ(map.middleNote, 1) << c.what;
    }
}

// What an import shows is in the player's language, each part of a composed reason too.
TEST(ScalaReader, ProblemsAreToldInThePlayersLanguage) {
    const test::ScopedTranslator german({
        {{"ScalaFile", "%1: line %2: %3"}, "%1, Zeile %2: %3"},
        {{"ScalaFile", "the number of notes: %1"}, "die Anzahl der Töne: %1"},
        {{"ScalaFile", "not a whole number"}, "keine ganze Zahl"},
        {{"ScalaFile", "the file ends before %1"}, "die Datei endet zu früh; es fehlt: %1"},
        {{"ScalaFile", "the middle note"}, "die mittlere Note"},
        {{"ScalaFile", "the reference frequency"}, "die Bezugsfrequenz"},
        {{"ScalaFile", "a frequency must be above zero"},
         "eine Frequenz muss größer als null sein"},
        {{"ScalaFile", "not a pitch: no number in cents or ratio"}, "keine Tonhöhe"},
    });
    ScalaScale scale;
    EXPECT_EQ(readScalaScale("d\ntwelve\n", "bad.scl", &scale).text(),
              "bad.scl, Zeile 2: die Anzahl der Töne: keine ganze Zahl");
    EXPECT_EQ(readScalaScale("d\n2\n3/2\nfifth\n", "bad.scl", &scale).message, "keine Tonhöhe");
    ScalaKeyboardMap map;
    EXPECT_EQ(readScalaKeyboardMap("! m\n0\n0\n127\n", "bad.kbm", &map).message,
              "die Datei endet zu früh; es fehlt: die mittlere Note");
    EXPECT_EQ(readScalaKeyboardMap("0\n0\n127\n60\n69\n0.0\n0\n", "bad.kbm", &map).message,
              "die Bezugsfrequenz: eine Frequenz muss größer als null sein");
}

TEST(ScalaReader, TextInAnyEncodingAndLineEnding) {
    // Windows-1252 and Latin-1 bytes become UTF-8; valid UTF-8 stays as it is.
    EXPECT_EQ(read("Gamme temp\xE9r\xE9"
                   "e \x96 1\n1\n2/1\n")
                  .description,
              "Gamme temp\xC3\xA9r\xC3\xA9"
              "e \xE2\x80\x93 1");
    EXPECT_EQ(read("\xEF\xBB\xBFGamme temp\xC3\xA9r\xC3\xA9"
                   "e\n1\n2/1\n")
                  .description,
              "Gamme temp\xC3\xA9r\xC3\xA9"
              "e");
    // A UTF-8 lead byte without its follower makes the whole file Windows-1252, not half a
    // character.
    EXPECT_EQ(read("\xC3 x\n1\n2/1\n").description, "\xC3\x83 x");
    // CR, CR LF, blank lines, an empty description, labels, a number with text after it.
    const ScalaScale s = read("!c\r\r\n 3\r\n\r\n 100.0 ! semitone\r 3/2 fifth\r2 octave");
    EXPECT_EQ(s.description, "");
    ASSERT_EQ(s.size(), 3);
    EXPECT_EQ(s.pitches[0].label, "semitone");
    EXPECT_EQ(s.pitches[1].label, "fifth");
    EXPECT_NEAR(s.periodCents(), 1200.0, 1e-9);
    EXPECT_NEAR(s.degreeCents(-1), 1200.0 * std::log2(1.5) - 1200.0, 1e-9);
    EXPECT_NEAR(s.degreeCents(7), 2400.0 + 100.0, 1e-9);
    // Negative cents and lines after the last pitch.
    EXPECT_NEAR(read("d\n2\n-5.5\n1200.\nrubbish\n").pitches[0].cents, -5.5, 1e-12);
}

TEST(UserTemperamentFolder, ImportCopiesListsInNameOrderAndNeverReplaces) {
    TempDir dir;
    const auto put = [&](const std::string& name, const std::string& text) {
        const auto p = dir / name;
        testing::writeBytes(p, testing::Bytes(text.begin(), text.end()));
        return p;
    };
    const UserTemperaments user(dir.path());
    EXPECT_TRUE(user.list().empty());  // no folder yet
    const auto pyth = put("pyth.scl", kPythagorean);
    UserTemperamentImport r = user.import(pyth, "b-pyth.scl");
    ASSERT_FALSE(r.error.failed()) << r.error.text();
    EXPECT_EQ(r.position, 0);
    EXPECT_EQ(testing::readBytes(r.file), testing::readBytes(pyth));
    r = user.import(put("mean.scl", kMeantone), "a-mean.scl");
    EXPECT_EQ(r.position, 0);

    // A second file of the same name is refused and the first stays.
    r = user.import(put("other.scl", equalScale(12, "2/1")), "a-mean.scl");
    EXPECT_TRUE(r.exists);
    EXPECT_EQ(r.error.line, 0);
    // Not a temperament, not a scale, not a plain name: refused, nothing written.
    r = user.import(put("19.scl", equalScale(19, "2/1")), "c.scl");
    EXPECT_NE(r.error.message.find("12 notes"), std::string::npos);
    EXPECT_FALSE(r.exists);
    r = user.import(put("bad.scl", "d\n1\n0/1\n"), "c.scl");
    EXPECT_EQ(r.error.line, 3);
    EXPECT_TRUE(user.import(pyth, "../up.scl").error.failed());
    EXPECT_TRUE(user.import(pyth, "pyth.txt").error.failed());
    EXPECT_FALSE(std::filesystem::exists(dir / "up.scl"));

    // A file put there by hand that is no temperament is skipped and named.
    put("scales/bad.scl", "12 notes\nmany\n");
    std::vector<ScalaError> skipped;
    const auto all = user.list(&skipped);
    ASSERT_EQ(all.size(), 2u);
    EXPECT_EQ(all[0].name, "Quarter-comma meantone");
    EXPECT_EQ(all[1].name, "Pythagorean");
    EXPECT_NEAR(all[1].offsets[7], 1.955f, 1e-3f);
    ASSERT_EQ(skipped.size(), 1u);
    EXPECT_EQ(skipped[0].line, 2);
    EXPECT_EQ(std::filesystem::path(skipped[0].file).filename(), "bad.scl");
}

TEST(ScalaNames, FileNamesAndKeyRanges) {
    EXPECT_EQ(safeFileName("Bendeler  1/3rd Comma"), "Bendeler_1_3rd_Comma");
    EXPECT_EQ(safeFileName("../../etc/passwd"), "etc_passwd");
    EXPECT_EQ(safeFileName("///"), "scale");
    std::vector<std::string> names;
    for (int i = 0; i < TemperamentTable::kRows; ++i)
        names.push_back(safeFileName(TemperamentTable::name(i)));
    std::sort(names.begin(), names.end());
    EXPECT_EQ(std::adjacent_find(names.begin(), names.end()), names.end());
    EXPECT_EQ(keyRanges({1, 2, 3, 5, 7, 8}), "1-3, 5, 7-8");
    EXPECT_EQ(keyRanges({}), "");
}

}  // namespace
}  // namespace merlop
