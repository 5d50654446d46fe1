#pragma once

// The settings sheet without its window: the values each page edits, how they come from and go
// back to the Settings record, the checks made when a page is left, and the pages' OK rules.
//
// Each page is one table of PageRow, a row per control of its dialog template: where it sits and
// its text, the value it shows, the range checked on leaving, the up-down's range, the Defaults
// value and the record's member. Load, write-back, the checks and Defaults run over the table;
// the window builds the page's controls, up-downs and sliders from it and moves values in and
// out by it. The integer edits are exchanged as text through IntField bindings, in check order;
// the window reports the first failure on the control it names. Adding a setting to a page is
// adding its rows.

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/translation.h"
#include "settings/settings.h"

namespace merlop {

class TuningStore;

// "Please enter an integer between lo and hi.", in the player's language.
std::string integerRangeMessage(int lo, int hi);
inline constexpr const char* kIntegerMessage =
    MERLOP_TR_NOOP("SettingsSheet", "Please enter an integer.");
// kIntegerMessage in the player's language.
std::string integerMessage();

// A whole decimal integer with optional sign and surrounding blanks; nothing else.
std::optional<int32_t> parseInteger(std::string_view text);

// A calibration typed in cents (leading number of the text, 0 when there is none) in tenths,
// truncated toward zero. The decimal digits count as written: "2.3" is 23, not 22.
int32_t calibrationTenthsOfText(std::string_view text);
// "%6.1f" of tenths / 10.
std::string calibrationText(int32_t tenths);

// One edit of a page bound to an integer member.
struct IntField {
    int id;
    int32_t* member;
    bool ranged;  // when false the text only has to be an integer
    int lo = 0, hi = 0;
};

struct FieldError {
    int id;
    std::string message;
};

// Moves texts into members in order, stopping at the first field that fails; members before
// it keep their new values, as the framework's exchange does.
std::optional<FieldError> readFields(const std::vector<IntField>& fields,
                                     const std::function<std::string(int id)>& textOf);

// Dialog units to pixels from the dialog font: the average character width is taken from the
// extent of the 52 letters A..Z a..z, the height is the font's height.
// A font whose texts run wider than its average character can be given a horizontal stretch
// (in thousandths) so that the template's texts still fit.
struct DialogUnits {
    int baseX = 4;
    int baseY = 8;
    int stretch = 1000;
    static DialogUnits fromFont(int alphabetWidth, int fontHeight);
    // The least stretch at which a text `pixels` wide fits into `dlu` units; never below 1000.
    int stretchToFit(int pixels, int dlu) const;
    int x(int dlu) const;
    int y(int dlu) const;
};
// a * b / c rounded to the nearest integer, halves away from zero.
int mulDiv(int a, int b, int c);

// The key names of the instrument key list, index = key + 5.
extern const std::array<const char*, 12> kInstrumentKeys;
// C-based note names of the key and note lists.
extern const std::array<const char*, 12> kCNoteNames;

// The octave of MIDI key 127: the piano's octave edits and their spins go no further.
inline constexpr int32_t kLastPianoOctave = keptRange(&Settings::pianoFirstOctave).hi;

// One control of a page as its dialog template places it, in dialog units; controls are made
// in template order, which is also the order the focus moves through them.
// The text is the English source; the window shows it translated in context "SettingsSheet".
struct ControlSpec {
    enum Kind { label, edit, spin, dropList, check, radio, slider, button, listBox };
    int id;  // 0 for labels
    Kind kind;
    const char* text;
    int x, y, w, h;
    bool hidden = false;
};

// One control of a page and the value it shows. An edit holds an integer, a check box a flag, a
// drop list its item's index, a slider its position, the first of consecutive radio buttons
// (id, id + 1, ...) which one is on; an up-down steps the edit before it.
//   value       the page's member, where the page's rules read it by name; null: the value
//               is edited in the page's copy of the record
//   setting     the record's member it loads from and writes back to; null where the page
//               converts the value by hand (value is then required)
//   check       the range an edit must hold when the page is left; none: any integer
//   steps/step  an up-down's range and step, a slider's range and tick interval
//   byDefault   what Defaults puts in; none: the record's default
//   checkOrder  where the page checks this edit among its others (equal: in template order)
// Labels, buttons, up-downs and the controls the window handles itself have neither member.
inline constexpr int kCheckedLast = 1000;
template <class Page>
struct PageRow {
    ControlSpec control;
    int32_t Page::*value = nullptr;
    int32_t Settings::*setting = nullptr;
    std::optional<IntRange> check = std::nullopt;
    IntRange steps{};
    int step = 1;
    std::optional<int32_t> byDefault = std::nullopt;
    int checkOrder = kCheckedLast;

    bool bound() const { return value != nullptr || setting != nullptr; }
};

// Where a page keeps the values of rows without a member of their own.
struct PageRecord {
    Settings record;
};

template <class Page>
int32_t& valueOf(Page& page, const PageRow<Page>& r) {
    return r.value != nullptr ? page.*r.value : page.record.*r.setting;
}
template <class Page>
int32_t valueOf(const Page& page, const PageRow<Page>& r) {
    return r.value != nullptr ? page.*r.value : page.record.*r.setting;
}

template <class Page>
std::vector<ControlSpec> controlsOf(const std::vector<PageRow<Page>>& rows) {
    std::vector<ControlSpec> out;
    out.reserve(rows.size());
    for (const PageRow<Page>& r : rows) out.push_back(r.control);
    return out;
}

template <class Page>
void loadRows(Page& page, const Settings& s) {
    for (const PageRow<Page>& r : Page::rows()) {
        if (r.setting != nullptr) valueOf(page, r) = s.*r.setting;
    }
}

template <class Page>
void writeRows(const Page& page, Settings& s) {
    for (const PageRow<Page>& r : Page::rows()) {
        if (r.setting != nullptr) s.*r.setting = valueOf(page, r);
    }
}

template <class Page>
void defaultRows(Page& page) {
    const Settings defaults;
    for (const PageRow<Page>& r : Page::rows()) {
        if (r.byDefault) {
            valueOf(page, r) = *r.byDefault;
        } else if (r.setting != nullptr) {
            valueOf(page, r) = defaults.*r.setting;
        }
    }
}

// The edits in check order.
template <class Page>
std::vector<IntField> fieldsOf(Page& page) {
    std::vector<const PageRow<Page>*> edits;
    for (const PageRow<Page>& r : Page::rows()) {
        if (r.control.kind == ControlSpec::edit && r.bound()) edits.push_back(&r);
    }
    std::stable_sort(edits.begin(), edits.end(),
                     [](const auto* a, const auto* b) { return a->checkOrder < b->checkOrder; });
    std::vector<IntField> out;
    for (const PageRow<Page>* r : edits) {
        const IntRange range = r->check.value_or(IntRange{});
        out.push_back(
            {r->control.id, &valueOf(page, *r), r->check.has_value(), range.lo, range.hi});
    }
    return out;
}

struct GeneralPage : PageRecord {
    std::array<int, 3> sampleRates{};
    std::array<int, 2> sampleSizes{};
    int32_t sensitivity = -36;
    int32_t temperament = 0;
    int32_t frequencyOfA = 440;
    int32_t keyIndex = 5;
    std::string sampleRateText;
    std::string sampleSizeText;
    int32_t rangeTo = 1200;
    int32_t rangeFrom = 20;
    int32_t window = 200;
    int32_t notation = 0;
    int32_t temperamentKey = 0;
    int32_t useA = 1;
    int32_t fineTuning = 0;
    int32_t piano = 1;
    std::string calibration = "   0.0";
    int32_t octaveFrom = 2;
    int32_t octaveTo = 5;
    int32_t humFilter = 0;
    int32_t humIndex = 1;

    static const std::vector<PageRow<GeneralPage>>& rows();
    void load(const Settings& s, const std::array<int, 3>& rates, const std::array<int, 2>& sizes);
    // The edits in check order. The piano octaves are held to 0..9 so the keyboard never
    // reaches past the last MIDI octave; the hidden window edit is not checked, since the
    // user could never correct it.
    std::vector<IntField> fields();
    // The supported rates and sizes as list items.
    std::vector<std::string> rateItems() const;
    std::vector<std::string> sizeItems() const;
    // After the exchange: range to at least from + 100, octave to at least octave from.
    void ok();
    void defaults();
    // Everything but the sensitivity, which goes through the cross-page rule.
    void writeBack(Settings& s) const;
};

struct SpectrumPage : PageRecord {
    int32_t dbFrom = -36;
    int32_t spectrum3D = 1;
    int32_t hamming = 1;
    int32_t dbTo = 30;
    int32_t viewAngleA = 0;
    int32_t viewAngleB = 30;
    int32_t sustain = 5;
    int32_t weighting = 0;
    int32_t smoothing = 0;

    static const std::vector<PageRow<SpectrumPage>>& rows();
    void load(const Settings& s);
    std::vector<IntField> fields();
    // Everything but dB from.
    void writeBack(Settings& s) const;
};

struct TonePage : PageRecord {
    int32_t volume = 60;
    int32_t patch = 0;
    int32_t mode = 0;  // 0 MIDI, 1 sine
    int32_t octave = 3;
    int32_t repeatRate = 60;
    int32_t channel = 0;
    int32_t midiCalibration = 0;

    static const std::vector<PageRow<TonePage>>& rows();
    void load(const Settings& s);
    std::vector<IntField> fields();
    void writeBack(Settings& s) const;
};

struct EarPage : PageRecord {
    int32_t noteCount = 2;
    int32_t maxInterval = 12;
    int32_t scale = 0;
    int32_t key = 12;
    int32_t tempo = 90;
    int32_t showFirstNote = 1;
    int32_t fromNote = 4;
    int32_t fromOctave = 2;
    int32_t toNote = 4;
    int32_t toOctave = 5;

    static const std::vector<PageRow<EarPage>>& rows();
    void load(const Settings& s);
    std::vector<IntField> fields();
    // The range's top is never below its bottom.
    void ok();
    void writeBack(Settings& s) const;
};

// English sources, shown translated in context "SettingsSheet".
extern const std::array<const char*, 7> kEarScales;

enum class SheetPageIndex { general = 0, spectrum, tone, ear, custom };
inline constexpr int kSheetPages = 5;

// The five pages' values, loaded when the sheet opens.
struct SettingsSheetModel {
    GeneralPage general;
    SpectrumPage spectrum;
    TonePage tone;
    EarPage ear;
    int32_t recordReadings = 0;  // the Custom page's check, for the store's current tuning

    void load(const Settings& s, const std::array<int, 3>& rates, const std::array<int, 2>& sizes,
              const TuningStore* store);
    // OK: every page's values back into the record, the sensitivity and dB from by the
    // cross-page rule, then the record brought into the ranges the settings loader keeps, so no
    // value typed here can upset a later part.
    void writeBack(Settings& s, TuningStore* store) const;
};

}  // namespace merlop
