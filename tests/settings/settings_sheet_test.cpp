// The sheet's values without its window: texts in and out, the checks, the OK rules, and what
// reaches the settings record.
#include "settings/settings_sheet.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <set>
#include <tuple>

#include "settings/settings.h"

namespace merlop {
namespace {

const std::array<int, 3> kRates = {11025, 22050, 44100};
const std::array<int, 2> kSizes = {8, 16};

TEST(SheetTexts, IntegersAndTheRangeMessage) {
    EXPECT_EQ(integerRangeMessage(400, 500), "Please enter an integer between 400 and 500.");
    EXPECT_EQ(integerRangeMessage(-50, 0), "Please enter an integer between -50 and 0.");
    EXPECT_EQ(parseInteger(" -45 "), -45);
    EXPECT_EQ(parseInteger("+7"), 7);
    EXPECT_EQ(parseInteger(""), std::nullopt);
    EXPECT_EQ(parseInteger("-"), std::nullopt);
    EXPECT_EQ(parseInteger("12a"), std::nullopt);
    EXPECT_EQ(parseInteger("1.5"), std::nullopt);
    EXPECT_EQ(parseInteger("99999999999"), std::nullopt);
    EXPECT_EQ(parseInteger("-2147483648"), INT32_MIN);
}

TEST(SheetTexts, CalibrationInTenthsTruncatedTowardZero) {
    EXPECT_EQ(calibrationTenthsOfText("-1.25"), -12);
    EXPECT_EQ(calibrationTenthsOfText("0.07"), 0);
    EXPECT_EQ(calibrationTenthsOfText("2.3"), 23);  // 2.3 * 10 is just below 23 in binary
    EXPECT_EQ(calibrationTenthsOfText("-0.3"), -3);
    EXPECT_EQ(calibrationTenthsOfText("abc"), 0);
    EXPECT_EQ(calibrationTenthsOfText("1.5 cents"), 15);
    EXPECT_EQ(calibrationText(0), "   0.0");
    EXPECT_EQ(calibrationText(-12), "  -1.2");
    // Every stored value survives the page unchanged.
    for (int t = -12000; t <= 12000; ++t) ASSERT_EQ(calibrationTenthsOfText(calibrationText(t)), t);
}

TEST(SheetTexts, FieldsStopAtTheFirstFailure) {
    int32_t a = 0, b = 0, c = 0;
    const std::vector<IntField> fields = {
        {1, &a, true, 1, 10}, {2, &b, true, 1, 10}, {3, &c, false}};
    std::map<int, std::string> text = {{1, "5"}, {2, "11"}, {3, "x"}};
    auto err = readFields(fields, [&](int id) { return text[id]; });
    ASSERT_TRUE(err);
    EXPECT_EQ(err->id, 2);
    EXPECT_EQ(err->message, "Please enter an integer between 1 and 10.");
    EXPECT_EQ(a, 5);
    text[2] = "10";
    err = readFields(fields, [&](int id) { return text[id]; });
    ASSERT_TRUE(err);
    EXPECT_EQ(err->id, 3);
    EXPECT_EQ(err->message, "Please enter an integer.");
    text[3] = "-3";
    EXPECT_FALSE(readFields(fields, [&](int id) { return text[id]; }));
    EXPECT_EQ(b, 10);
    EXPECT_EQ(c, -3);
}

TEST(SheetTexts, TextThatIsNoNumberAsksForAnIntegerEvenWhereARangeApplies) {
    int32_t a = 7;
    const std::vector<IntField> fields = {{1, &a, true, 1, 10}};
    for (const char* text : {"", "   ", "abc", "5x", "1.5", "-"}) {
        const auto err = readFields(fields, [&](int) { return std::string(text); });
        ASSERT_TRUE(err) << text;
        EXPECT_EQ(err->message, "Please enter an integer.") << '"' << text << '"';
    }
    // A number too long for the field is a number all the same.
    for (const char* text : {"99999999999", "-99999999999", "11"}) {
        const auto err = readFields(fields, [&](int) { return std::string(text); });
        ASSERT_TRUE(err) << text;
        EXPECT_EQ(err->message, "Please enter an integer between 1 and 10.") << text;
    }
    EXPECT_EQ(a, 7);
}

TEST(DialogUnitConversion, AsTheDialogManagerScales) {
    // MS Sans Serif 8 at 96 dpi: 52 letters 311 pixels wide, 13 high, gives base units 6 x 13.
    const DialogUnits u = DialogUnits::fromFont(311, 13);
    EXPECT_EQ(u.baseX, 6);
    EXPECT_EQ(u.baseY, 13);
    EXPECT_EQ(u.x(228), 342);
    EXPECT_EQ(u.y(191), 310);  // 310.375
    EXPECT_EQ(u.x(9), 14);     // 13.5 rounds up
    EXPECT_EQ(u.y(4), 7);      // 6.5 rounds up
    EXPECT_EQ(mulDiv(-9, 6, 4), -14);
    EXPECT_EQ(mulDiv(1, 1, 0), -1);
}

Settings okWith(const std::function<void(SettingsSheetModel&)>& edit, Settings s = {}) {
    SettingsSheetModel m;
    m.load(s, kRates, kSizes, nullptr);
    edit(m);
    m.general.ok();
    m.ear.ok();
    m.writeBack(s, nullptr);
    return s;
}

TEST(GeneralPageRules, WriteBackAsTheUserChose) {
    Settings s = okWith([](SettingsSheetModel& m) {
        m.general.rangeFrom = 1000;
        m.general.rangeTo = 500;
        m.general.calibration = "-1.25";
        m.general.keyIndex = 3;  // Bb
        m.general.temperamentKey = 2;
        m.general.useA = 0;
        m.general.octaveFrom = 3;
        m.general.octaveTo = 1;
        m.general.humIndex = 0;
    });
    EXPECT_EQ(s.freqLowHz, 1000);
    EXPECT_EQ(s.freqHighHz, 1100);
    EXPECT_EQ(s.calibrationTenths, -12);
    EXPECT_EQ(s.instrumentKey, -2);
    EXPECT_EQ(s.temperamentKey, 2);
    EXPECT_EQ(s.temperamentRefNote, 2);
    EXPECT_EQ(s.pianoFirstOctave, 3);
    EXPECT_EQ(s.pianoOctaveCount, 1);
    EXPECT_EQ(s.humFrequency, 50);

    s = okWith([](SettingsSheetModel& m) {
        m.general.keyIndex = 11;
        m.general.useA = 1;
        m.general.temperamentKey = 2;
    });
    EXPECT_EQ(s.instrumentKey, 6);
    EXPECT_EQ(s.temperamentRefNote, 9);
}

TEST(GeneralPageRules, UntouchedSheetChangesNothing) {
    Settings before;
    before.calibrationTenths = 23;
    before.sensitivityDb = -20;
    before.spectrumDbLow = -10;
    before.earRangeLow = 67;
    before.earRangeHigh = 67;
    before.sampleRate = 22050;
    before.bitsPerSample = 16;
    before.humFrequency = 50;
    before.pianoFirstOctave = 9;
    before.pianoOctaveCount = 1;
    const Settings after = okWith([](SettingsSheetModel&) {}, before);
    EXPECT_EQ(after.toImage(), before.toImage());
}

TEST(GeneralPageRules, APianoPastTheLastOctaveIsShownAsFarAsItGoes) {
    // The loader takes a first octave 0..9 and a count 1..10; the page goes to octave 9.
    for (const auto& [first, count, shownTo] :
         {std::tuple{5, 10, 9}, std::tuple{9, 10, 9}, std::tuple{0, 10, 9}, std::tuple{2, 4, 5}}) {
        Settings s;
        s.pianoFirstOctave = first;
        s.pianoOctaveCount = count;
        s.normalise();
        ASSERT_EQ(s.pianoOctaveCount, count);
        SettingsSheetModel m;
        m.load(s, kRates, kSizes, nullptr);
        EXPECT_EQ(m.general.octaveTo, shownTo) << first << " " << count;
        // What the page shows passes its own check, so OK can always go through.
        EXPECT_FALSE(readFields(m.general.fields(), [&](int id) {
            for (const IntField& f : m.general.fields()) {
                if (f.id == id) return std::to_string(*f.member);
            }
            return std::string();
        }));
        m.general.ok();
        m.writeBack(s, nullptr);
        EXPECT_EQ(s.pianoFirstOctave, first);
        EXPECT_EQ(s.pianoFirstOctave + s.pianoOctaveCount - 1, shownTo);
    }
}

TEST(GeneralPageRules, CalibrationsKeepWhatWasTyped) {
    for (const int32_t tenths : {INT32_MAX, INT32_MIN, 12001, -99999}) {
        Settings before;
        before.calibrationTenths = tenths;
        before.midiCalibrationCents = tenths;
        const Settings after = okWith([](SettingsSheetModel&) {}, before);
        EXPECT_EQ(after.calibrationTenths, tenths);
        EXPECT_EQ(after.midiCalibrationCents, tenths);
    }
    const Settings s = okWith([](SettingsSheetModel& m) {
        m.general.calibration = "-2000.5";
        m.tone.midiCalibration = -99;
    });
    EXPECT_EQ(s.calibrationTenths, -20005);
    EXPECT_EQ(s.midiCalibrationCents, -99);
    EXPECT_EQ(calibrationTenthsOfText("1e12"), INT32_MAX);
    EXPECT_EQ(calibrationTenthsOfText("-1e12"), INT32_MIN);
}

TEST(GeneralPageRules, DefaultsLeaveTheDeviceChoiceAlone) {
    SettingsSheetModel m;
    Settings s;
    s.sampleRate = 44100;
    s.frequencyOfA = 415 + 30;
    s.sensitivityDb = -10;
    m.load(s, kRates, kSizes, nullptr);
    m.general.defaults();
    EXPECT_EQ(m.general.frequencyOfA, 440);
    EXPECT_EQ(m.general.sensitivity, -36);
    EXPECT_EQ(m.general.octaveTo, 5);
    EXPECT_EQ(m.general.calibration, "0.0");
    EXPECT_EQ(m.general.sampleRateText, "44100");
    EXPECT_EQ(m.general.rateItems(), (std::vector<std::string>{"11025", "22050", "44100"}));
    m.general.sampleRates = {11025, 0, 44100};
    EXPECT_EQ(m.general.rateItems(), (std::vector<std::string>{"11025", "44100"}));
}

TEST(CrossPageRule, SensitivityAndDbFrom) {
    // A changed sensitivity carries dB from with it, whatever the Spectrum page held.
    Settings s = okWith([](SettingsSheetModel& m) {
        m.general.sensitivity = -20;
        m.spectrum.dbFrom = -45;
    });
    EXPECT_EQ(s.sensitivityDb, -20);
    EXPECT_EQ(s.spectrumDbLow, -20);
    // Unchanged sensitivity: dB from is never below it.
    s = okWith([](SettingsSheetModel& m) { m.spectrum.dbFrom = -40; });
    EXPECT_EQ(s.spectrumDbLow, -36);
    s = okWith([](SettingsSheetModel& m) { m.spectrum.dbFrom = -10; });
    EXPECT_EQ(s.spectrumDbLow, -10);
}

TEST(OtherPagesRules, ToneEarAndNumbersThatWouldBreakLaterArithmetic) {
    Settings s = okWith([](SettingsSheetModel& m) {
        m.tone.mode = 1;
        m.tone.octave = 9;
        m.tone.patch = 40;
        m.ear.fromNote = 7;
        m.ear.fromOctave = 4;
        m.ear.toNote = 0;
        m.ear.toOctave = 4;
        m.ear.maxInterval = 30;
        // Not range-checked on the page, but the record keeps its loader ranges.
        m.spectrum.dbTo = -60;
        m.spectrum.sustain = 0;
        m.spectrum.viewAngleA = 1000;
        m.tone.midiCalibration = 99;  // kept: the tone applies its own limit
    });
    EXPECT_EQ(s.toneUseMidi, 0);
    EXPECT_EQ(s.toneOctave, 9);
    EXPECT_EQ(s.midiPatch, 40);
    EXPECT_EQ(s.earRangeLow, 67);
    EXPECT_EQ(s.earRangeHigh, 67);
    EXPECT_EQ(s.earMaxInterval, 30);
    EXPECT_EQ(s.spectrumDbHigh, s.spectrumDbLow + 1);
    EXPECT_EQ(s.spectrumSustain, 1);
    EXPECT_EQ(s.viewAngleA, 100);
    EXPECT_EQ(s.midiCalibrationCents, 99);

    SettingsSheetModel m;
    m.load(Settings{}, kRates, kSizes, nullptr);
    EXPECT_EQ(m.ear.fromNote, 4);  // E 2 to E 5, key Random
    EXPECT_EQ(m.ear.fromOctave, 2);
    EXPECT_EQ(m.ear.toOctave, 5);
    EXPECT_EQ(m.ear.key, 12);
    EXPECT_EQ(m.tone.mode, 0);
}

TEST(PageChecks, RangesOfThePagesEdits) {
    SettingsSheetModel m;
    m.load(Settings{}, kRates, kSizes, nullptr);
    const auto failing = [](std::vector<IntField> fields, int id, const std::string& text) {
        return readFields(fields, [&](int i) {
            return i == id
                       ? text
                       : std::to_string(
                             *std::find_if(fields.begin(), fields.end(), [i](const IntField& f) {
                                  return f.id == i;
                              })->member);
        });
    };
    EXPECT_TRUE(failing(m.spectrum.fields(), 1021, "10"));
    EXPECT_FALSE(failing(m.spectrum.fields(), 1021, "-45"));
    EXPECT_TRUE(failing(m.spectrum.fields(), 1045, "abc"));
    EXPECT_FALSE(failing(m.tone.fields(), 1028, "9"));
    EXPECT_TRUE(failing(m.tone.fields(), 1033, "17"));
    EXPECT_FALSE(failing(m.ear.fields(), 1039, "30"));
    EXPECT_TRUE(failing(m.ear.fields(), 1039, "49"));
    EXPECT_TRUE(failing(m.ear.fields(), 1056, "0"));
    EXPECT_TRUE(failing(m.general.fields(), 1000, "399"));
    EXPECT_TRUE(failing(m.general.fields(), 1008, "4001"));
    EXPECT_TRUE(failing(m.general.fields(), 1074, "10"));     // past the last MIDI octave
    EXPECT_FALSE(failing(m.general.fields(), 1019, "1000"));  // hidden: only a number
    const auto e = failing(m.general.fields(), 1010, "99");
    ASSERT_TRUE(e);
    EXPECT_EQ(e->message, "Please enter an integer between 100 and 20000.");
}

// ---- the pages' tables -----------------------------------------------------------------------

template <class Page>
void expectWellFormed(const char* page) {
    std::set<int> ids;
    const std::vector<PageRow<Page>>& rows = Page::rows();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const ControlSpec& c = rows[i].control;
        EXPECT_TRUE(c.id == 0 || ids.insert(c.id).second) << page << ": " << c.id << " twice";
        // An up-down steps the edit before it; the window finds the pair by that.
        if (c.kind == ControlSpec::spin) {
            ASSERT_GT(i, 0u) << page;
            EXPECT_EQ(rows[i - 1].control.kind, ControlSpec::edit) << page << ": " << c.id;
        }
        EXPECT_TRUE(!rows[i].bound() || c.id != 0) << page;
        EXPECT_TRUE(!rows[i].check || c.kind == ControlSpec::edit) << page << ": " << c.id;
    }
}

TEST(PageTables, IdsUniqueAndEveryUpDownAfterItsEdit) {
    expectWellFormed<GeneralPage>("General");
    expectWellFormed<SpectrumPage>("Spectrum");
    expectWellFormed<TonePage>("Tone");
    expectWellFormed<EarPage>("Ear");
}

// Whatever a page accepts for a setting of its own, OK stores and the loader keeps, after the
// page's own OK rules.
template <class Page>
void expectAcceptedValuesKept(Page SettingsSheetModel::*page, const char* name) {
    for (const PageRow<Page>& r : Page::rows()) {
        if (!r.check || r.setting == nullptr) continue;
        for (const int32_t v : {r.check->lo, r.check->hi}) {
            SettingsSheetModel m;
            m.load(Settings{}, kRates, kSizes, nullptr);
            valueOf(m.*page, r) = v;
            m.general.ok();
            m.ear.ok();
            const int32_t accepted = valueOf(m.*page, r);
            Settings s;
            m.writeBack(s, nullptr);
            EXPECT_EQ(s.*r.setting, accepted) << name << ": " << r.control.id << " = " << v;
        }
    }
}

TEST(PageTables, WhatAPageAcceptsTheLoaderKeeps) {
    expectAcceptedValuesKept(&SettingsSheetModel::general, "General");
    expectAcceptedValuesKept(&SettingsSheetModel::spectrum, "Spectrum");
    expectAcceptedValuesKept(&SettingsSheetModel::tone, "Tone");
    expectAcceptedValuesKept(&SettingsSheetModel::ear, "Ear");
}

TEST(PageTables, DefaultsAreTheRecordsDefaults) {
    Settings changed;
    for (const PageRow<GeneralPage>& r : GeneralPage::rows()) {
        if (r.setting != nullptr) changed.*r.setting += 1;
    }
    changed.instrumentKey = 3;
    changed.temperamentRefNote = 2;
    changed.pianoOctaveCount = 3;
    changed.humFrequency = 50;
    changed.calibrationTenths = 7;
    SettingsSheetModel m;
    m.load(changed, kRates, kSizes, nullptr);
    m.general.defaults();
    Settings s = changed;
    m.general.writeBack(s);
    EXPECT_EQ(s.toImage(), Settings{}.toImage());
    EXPECT_EQ(m.general.sensitivity, Settings{}.sensitivityDb);
}

TEST(PageTables, EditsCheckedInThePagesOrder) {
    SettingsSheetModel m;
    m.load(Settings{}, kRates, kSizes, nullptr);
    // Every other edit holds the value loaded.
    const auto firstFailure = [](const std::vector<IntField>& fields,
                                 const std::map<int, std::string>& bad) {
        std::map<int, std::string> text = bad;
        for (const IntField& f : fields) text.emplace(f.id, std::to_string(*f.member));
        const auto e = readFields(fields, [&](int id) { return text[id]; });
        return e ? e->id : 0;
    };
    EXPECT_EQ(firstFailure(m.general.fields(), {{1008, "4001"}, {1010, "99"}}), 1010);
    EXPECT_EQ(firstFailure(m.general.fields(), {{1019, "x"}, {1074, "10"}}), 1074);
    EXPECT_EQ(firstFailure(m.tone.fields(), {{1043, "x"}, {1033, "17"}}), 1033);
    EXPECT_EQ(firstFailure(m.ear.fields(), {{1056, "0"}, {1044, "5"}, {1035, "13"}}), 1035);
}

// A page of one named value and one the page keeps in its copy of the record.
struct TwoValuePage : PageRecord {
    int32_t named = 0;
    static const std::vector<PageRow<TwoValuePage>>& rows() {
        static const std::vector<PageRow<TwoValuePage>> kRows = {
            {{0, ControlSpec::label, "Bend", 0, 0, 20, 8}},
            {.control = {1, ControlSpec::edit, "", 20, 0, 20, 14},
             .setting = &Settings::pitchBendSpan,
             .check = IntRange{2, 96},
             .checkOrder = 2},
            {.control = {2, ControlSpec::edit, "", 40, 0, 20, 14},
             .value = &TwoValuePage::named,
             .setting = &Settings::midiPatch,
             .byDefault = 9,
             .checkOrder = 1},
        };
        return kRows;
    }
};

TEST(PageTables, ARowWithoutAPageMemberIsEditedInTheRecordCopy) {
    Settings s;
    s.pitchBendSpan = 7;
    s.midiPatch = 3;
    TwoValuePage p;
    loadRows(p, s);
    EXPECT_EQ(p.named, 3);
    ASSERT_EQ(fieldsOf(p).size(), 2u);
    EXPECT_EQ(fieldsOf(p)[1].id, 1);
    EXPECT_EQ(*fieldsOf(p)[1].member, 7);
    std::map<int, std::string> text = {{1, "97"}, {2, "x"}};
    const auto textOf = [&](int id) { return text[id]; };
    auto e = readFields(fieldsOf(p), textOf);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->id, 2);
    text[2] = "4";
    e = readFields(fieldsOf(p), textOf);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->message, "Please enter an integer between 2 and 96.");
    text[1] = "12";
    EXPECT_FALSE(readFields(fieldsOf(p), textOf));
    Settings out;
    writeRows(p, out);
    EXPECT_EQ(out.pitchBendSpan, 12);
    EXPECT_EQ(out.midiPatch, 4);
    defaultRows(p);
    writeRows(p, out);
    EXPECT_EQ(out.pitchBendSpan, Settings{}.pitchBendSpan);
    EXPECT_EQ(out.midiPatch, 9);
}

}  // namespace
}  // namespace merlop
