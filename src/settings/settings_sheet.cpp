#include "settings/settings_sheet.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

#include "settings/settings.h"
#include "settings/tuning_store.h"

namespace merlop {

const std::array<const char*, 12> kInstrumentKeys = {"G",  "Ab", "A",  "Bb", "B", "C",
                                                     "Db", "D",  "Eb", "E",  "F", "Gb"};
const std::array<const char*, 12> kCNoteNames = {"C",  "Db", "D",  "Eb", "E",  "F",
                                                 "Gb", "G",  "Ab", "A",  "Bb", "B"};
const std::array<const char*, 7> kEarScales = {MERLOP_TR_NOOP("SettingsSheet", "Chromatic"),
                                               MERLOP_TR_NOOP("SettingsSheet", "Major"),
                                               MERLOP_TR_NOOP("SettingsSheet", "Harmonic Minor"),
                                               MERLOP_TR_NOOP("SettingsSheet", "Whole tone"),
                                               MERLOP_TR_NOOP("SettingsSheet", "Diminshed"),
                                               MERLOP_TR_NOOP("SettingsSheet", "Blues"),
                                               MERLOP_TR_NOOP("SettingsSheet", "Pentatonic")};

std::string integerRangeMessage(int lo, int hi) {
    return fill(translate("SettingsSheet", "Please enter an integer between %1 and %2."),
                {std::to_string(lo), std::to_string(hi)});
}

std::string integerMessage() {
    return translate("SettingsSheet", kIntegerMessage);
}

std::optional<int32_t> parseInteger(std::string_view text) {
    std::size_t i = 0;
    const auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
    while (i < text.size() && blank(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    long long v = 0;
    std::size_t digits = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits) {
        v = v * 10 + (text[i] - '0');
        if (v > std::numeric_limits<int32_t>::max() + 1LL) return std::nullopt;
    }
    while (i < text.size() && blank(text[i])) ++i;
    if (digits == 0 || i != text.size()) return std::nullopt;
    if (negative) v = -v;
    if (v > std::numeric_limits<int32_t>::max()) return std::nullopt;
    return static_cast<int32_t>(v);
}

int32_t calibrationTenthsOfText(std::string_view text) {
    const std::string s(text);
    const double cents = std::strtod(s.c_str(), nullptr);
    if (!std::isfinite(cents)) return 0;
    // The text's tenths are exact; only the binary value of 2.3 lies just below them.
    const double tenths = cents * 10.0;
    const double t = std::trunc(tenths + (tenths < 0 ? -1e-7 : 1e-7));
    // Whatever fits is kept as typed; what the tuner makes of it is the reader's concern.
    constexpr double kHighest = std::numeric_limits<int32_t>::max();
    constexpr double kLowest = std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(std::clamp(t, kLowest, kHighest));
}

std::string calibrationText(int32_t tenths) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%6.1f", tenths * 0.1);
    return buf;
}

namespace {
// The text with every digit past the ninth dropped: the same shape, always inside 32 bits.
std::string withNineDigits(std::string_view text) {
    std::string out;
    int digits = 0;
    for (const char c : text) {
        if (std::isdigit(static_cast<unsigned char>(c)) != 0 && ++digits > 9) continue;
        out += c;
    }
    return out;
}
}  // namespace

std::optional<FieldError> readFields(const std::vector<IntField>& fields,
                                     const std::function<std::string(int id)>& textOf) {
    for (const IntField& f : fields) {
        const std::string text = textOf(f.id);
        const std::optional<int32_t> v = parseInteger(text);
        // A number too long for 32 bits is still a number: out of range, not "no integer".
        if (!v && !(f.ranged && parseInteger(withNineDigits(text)))) {
            return FieldError{f.id, integerMessage()};
        }
        if (f.ranged && (!v || *v < f.lo || *v > f.hi)) {
            return FieldError{f.id, integerRangeMessage(f.lo, f.hi)};
        }
        *f.member = *v;
    }
    return std::nullopt;
}

int mulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const long long p = static_cast<long long>(a) * b;
    const long long half = (c < 0 ? -c : c) / 2;
    const bool negative = (p < 0) != (c < 0);
    const long long q = ((p < 0 ? -p : p) + half) / (c < 0 ? -c : c);
    return static_cast<int>(negative ? -q : q);
}

DialogUnits DialogUnits::fromFont(int alphabetWidth, int fontHeight) {
    DialogUnits u;
    u.baseX = std::max(1, (alphabetWidth / 26 + 1) / 2);
    u.baseY = std::max(1, fontHeight);
    return u;
}

int DialogUnits::x(int dlu) const {
    return mulDiv(dlu, baseX * stretch, 4000);
}

int DialogUnits::stretchToFit(int pixels, int dlu) const {
    if (dlu <= 0) return 1000;
    const long long den = static_cast<long long>(dlu) * baseX;
    const long long s = (static_cast<long long>(pixels) * 4000 + den - 1) / den;
    return static_cast<int>(std::clamp<long long>(s, 1000, 4000));
}
int DialogUnits::y(int dlu) const {
    return mulDiv(dlu, baseY, 8);
}

// ---- General ---------------------------------------------------------------------------------

namespace {
using C = ControlSpec;
using S = Settings;

namespace general {
using P = GeneralPage;
// The piano's last octave is held where its first is, so the keyboard never passes the last MIDI
// octave. The hidden window edit is not checked, since the user could never correct it; its
// up-down offers less than the loader keeps.
constexpr IntRange kPianoOctaves = keptRange(&S::pianoFirstOctave);
constexpr IntRange kWindowSteps{50, 300};

const std::vector<PageRow<P>> kRows = {
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Frequency of A :"), 4, 9, 61, 13}},
    {.control = {1000, C::edit, "", 65, 5, 31, 15},
     .value = &P::frequencyOfA,
     .setting = &S::frequencyOfA,
     .check = keptRange(&S::frequencyOfA),
     .checkOrder = 1},
    {.control = {1001, C::spin, "", 95, 5, 9, 14}, .steps = keptRange(&S::frequencyOfA)},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Calibration :"), 113, 10, 37, 8}},
    {{1068, C::edit, "", 152, 7, 28, 14}},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "cents"), 185, 12, 18, 8}},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Instrument Key :"), 4, 27, 56, 8}},
    {.control = {1004, C::dropList, "", 65, 25, 30, 54}, .value = &P::keyIndex, .byDefault = 5},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Notation :"), 115, 30, 32, 8}},
    {.control = {1061, C::dropList, "", 154, 26, 35, 40},
     .value = &P::notation,
     .setting = &S::sharpNotation},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Temperament : "), 4, 51, 51, 8}},
    {.control = {1062, C::dropList, "", 55, 50, 89, 55},
     .value = &P::temperament,
     .setting = &S::temperamentIndex},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Key"), 150, 51, 13, 8}},
    {.control = {1063, C::dropList, "", 165, 50, 24, 50},
     .value = &P::temperamentKey,
     .setting = &S::temperamentKey},
    {.control = {1064, C::check, MERLOP_TR_NOOP("SettingsSheet", "Use A "), 190, 50, 31, 10},
     .value = &P::useA,
     .byDefault = 1},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Frequency range :   from"), 5, 78, 80, 8}},
    {.control = {1008, C::edit, "", 85, 75, 36, 14},
     .value = &P::rangeFrom,
     .setting = &S::freqLowHz,
     .check = keptRange(&S::freqLowHz),
     .checkOrder = 3},
    {.control = {1009, C::spin, "", 120, 75, 9, 14}, .steps = keptRange(&S::freqLowHz), .step = 10},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "to"), 142, 78, 8, 8}},
    {.control = {1010, C::edit, "", 155, 75, 40, 14},
     .value = &P::rangeTo,
     .setting = &S::freqHighHz,
     .check = keptRange(&S::freqHighHz),
     .checkOrder = 2},
    {.control = {1011, C::spin, "", 195, 75, 9, 14},
     .steps = keptRange(&S::freqHighHz),
     .step = 100},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Sensitivity :    "), 5, 100, 35, 8}},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "high"), 55, 100, 20, 8}},
    {.control = {1039, C::slider, "", 75, 100, 105, 15},
     .value = &P::sensitivity,
     .steps = keptRange(&S::sensitivityDb),
     .step = 10,
     .byDefault = -36},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "low "), 181, 101, 18, 8}},
    {.control = {1076, C::check, MERLOP_TR_NOOP("SettingsSheet", "Hum filter"), 5, 120, 45, 10},
     .value = &P::humFilter,
     .setting = &S::humFilter},
    {.control = {1077, C::dropList, "", 59, 118, 39, 47}, .value = &P::humIndex, .byDefault = 1},
    {.control = {1066, C::check, MERLOP_TR_NOOP("SettingsSheet", "Piano"), 5, 140, 37, 14},
     .value = &P::piano,
     .setting = &S::showPiano},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "octave range from"), 50, 145, 59, 8}},
    {.control = {1070, C::edit, "", 115, 140, 20, 14},
     .value = &P::octaveFrom,
     .setting = &S::pianoFirstOctave,
     .check = kPianoOctaves,
     .checkOrder = 4},
    {.control = {1071, C::spin, "", 135, 140, 11, 14}, .steps = kPianoOctaves},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "to"), 155, 145, 8, 8}},
    {.control = {1074, C::edit, "", 165, 140, 21, 14},
     .value = &P::octaveTo,
     .check = kPianoOctaves,
     .byDefault = 5,
     .checkOrder = 5},
    {.control = {1075, C::spin, "", 185, 140, 11, 14}, .steps = kPianoOctaves},
    {.control = {1065, C::check, MERLOP_TR_NOOP("SettingsSheet", "Fine tuning"), 4, 169, 51, 10},
     .value = &P::fineTuning,
     .setting = &S::fineTuning},
    {.control = {1019, C::edit, "", 70, 175, 22, 14, true},
     .value = &P::window,
     .setting = &S::analysisWindowMs,
     .checkOrder = 6},
    {.control = {1020, C::spin, "", 90, 175, 11, 14, true}, .steps = kWindowSteps, .step = 10},
    {{1005, C::dropList, "", 105, 175, 23, 43, true}},
    {{1006, C::dropList, "", 130, 175, 18, 40, true}},
    {{1041, C::button, MERLOP_TR_NOOP("SettingsSheet", "Defaults"), 155, 170, 50, 14}},
};
}  // namespace general
}  // namespace

const std::vector<PageRow<GeneralPage>>& GeneralPage::rows() {
    return general::kRows;
}

void GeneralPage::load(const Settings& s, const std::array<int, 3>& rates,
                       const std::array<int, 2>& sizes) {
    loadRows(*this, s);
    sampleRates = rates;
    sampleSizes = sizes;
    sensitivity = s.sensitivityDb;
    keyIndex = s.instrumentKey + 5;
    sampleRateText = std::to_string(s.sampleRate);
    sampleSizeText = std::to_string(s.bitsPerSample);
    useA = s.temperamentRefNote == 9 ? 1 : 0;
    calibration = calibrationText(s.calibrationTenths);
    // The file may hold a count that runs past the last MIDI octave; the page shows (and OK
    // stores) the keyboard as far as there are keys.
    octaveTo = static_cast<int32_t>(
        std::min<int64_t>(int64_t{s.pianoFirstOctave} + s.pianoOctaveCount - 1, kLastPianoOctave));
    humIndex = s.humFrequency != 50 ? 1 : 0;
}

std::vector<IntField> GeneralPage::fields() {
    return fieldsOf(*this);
}

namespace {
std::vector<std::string> positiveItems(const int* v, int n) {
    std::vector<std::string> out;
    for (int i = 0; i < n; ++i) {
        if (v[i] > 0) out.push_back(std::to_string(v[i]));
    }
    return out;
}
}  // namespace

std::vector<std::string> GeneralPage::rateItems() const {
    return positiveItems(sampleRates.data(), 3);
}
std::vector<std::string> GeneralPage::sizeItems() const {
    return positiveItems(sampleSizes.data(), 2);
}

void GeneralPage::ok() {
    if (rangeTo < rangeFrom + 100) rangeTo = rangeFrom + 100;
    if (octaveTo < octaveFrom) octaveTo = octaveFrom;
}

void GeneralPage::defaults() {
    defaultRows(*this);
    calibration = "0.0";
}

void GeneralPage::writeBack(Settings& s) const {
    writeRows(*this, s);
    s.calibrationTenths = calibrationTenthsOfText(calibration);
    s.instrumentKey = keyIndex - 5;
    s.temperamentRefNote = useA ? 9 : temperamentKey;
    // A rate or size the device list did not offer leaves an empty text: keep what was set.
    if (const auto r = parseInteger(sampleRateText); r && *r > 0) s.sampleRate = *r;
    if (const auto b = parseInteger(sampleSizeText); b && *b > 0) s.bitsPerSample = *b;
    s.pianoOctaveCount = octaveTo - octaveFrom + 1;
    s.humFrequency = humIndex != 0 ? 60 : 50;
}

// ---- Spectrum --------------------------------------------------------------------------------

namespace {
namespace spectrum {
using P = SpectrumPage;
// dB from goes back through the cross-page rule, so it has no setting here. Both dB up-downs
// span the sensitivity's low end to 30, whatever the edits accept.
constexpr IntRange kDbSteps{-42, 30};

const std::vector<PageRow<P>> kRows = {
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "dB range   from"), 4, 13, 51, 8}},
    {.control = {1021, C::edit, "", 65, 10, 27, 14},
     .value = &P::dbFrom,
     .check = keptRange(&S::spectrumDbLow)},
    {.control = {1022, C::spin, "", 90, 10, 9, 14}, .steps = kDbSteps},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "to"), 107, 13, 8, 8}},
    {.control = {1045, C::edit, "", 120, 10, 25, 14},
     .value = &P::dbTo,
     .setting = &S::spectrumDbHigh},
    {.control = {1046, C::spin, "", 145, 10, 9, 14}, .steps = kDbSteps},
    {.control = {1024, C::check, MERLOP_TR_NOOP("SettingsSheet", "3D Spectrum"), 5, 35, 70, 15},
     .value = &P::spectrum3D,
     .setting = &S::spectrum3D},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "View angle "), 81, 38, 35, 8}},
    {.control = {1047, C::edit, "", 120, 35, 25, 14},
     .value = &P::viewAngleA,
     .setting = &S::viewAngleA},
    {.control = {1048, C::spin, "", 145, 35, 9, 14},
     .steps = keptRange(&S::viewAngleA),
     .step = 10},
    {.control = {1049, C::edit, "", 155, 35, 25, 14},
     .value = &P::viewAngleB,
     .setting = &S::viewAngleB},
    {.control = {1050, C::spin, "", 180, 35, 9, 14},
     .steps = keptRange(&S::viewAngleB),
     .step = 10},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Sustain"), 93, 59, 24, 8}},
    {.control = {1051, C::edit, "", 120, 55, 25, 14},
     .value = &P::sustain,
     .setting = &S::spectrumSustain},
    {.control = {1052, C::spin, "", 145, 55, 9, 14}, .steps = keptRange(&S::spectrumSustain)},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Curve Smoothing"), 4, 78, 55, 8}},
    {.control = {1054, C::dropList, "", 65, 75, 25, 60},
     .value = &P::smoothing,
     .setting = &S::curveSmoothing},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Weighting"), 4, 104, 33, 8, true}},
    {.control = {1053, C::dropList, "", 65, 100, 35, 60, true},
     .value = &P::weighting,
     .setting = &S::weighting},
    {.control = {1025, C::check, MERLOP_TR_NOOP("SettingsSheet", "Hamming Window"), 113, 102, 70,
                 10, true},
     .value = &P::hamming,
     .setting = &S::hammingWindow},
};
}  // namespace spectrum
}  // namespace

const std::vector<PageRow<SpectrumPage>>& SpectrumPage::rows() {
    return spectrum::kRows;
}

void SpectrumPage::load(const Settings& s) {
    loadRows(*this, s);
    dbFrom = s.spectrumDbLow;
}

std::vector<IntField> SpectrumPage::fields() {
    return fieldsOf(*this);
}

void SpectrumPage::writeBack(Settings& s) const {
    writeRows(*this, s);
}

// ---- Reference tone --------------------------------------------------------------------------

namespace {
namespace tone {
using P = TonePage;
// The octave's up-down stops at 8, below what the edit accepts.
constexpr IntRange kOctaveSteps{1, 8};
constexpr IntRange kMidiCalibrationSteps{-30, 30};

const std::vector<PageRow<P>> kRows = {
    {.control = {1015, C::radio, MERLOP_TR_NOOP("SettingsSheet", "Midi"), 5, 5, 29, 10},
     .value = &P::mode},
    {{1016, C::radio, MERLOP_TR_NOOP("SettingsSheet", "Sine"), 55, 5, 30, 10}},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Midi Patch"), 5, 25, 44, 8}},
    {.control = {1017, C::dropList, "", 60, 20, 83, 59},
     .value = &P::patch,
     .setting = &S::midiPatch},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Midi Calibration"), 5, 45, 48, 8}},
    {.control = {1043, C::edit, "", 60, 40, 25, 14},
     .value = &P::midiCalibration,
     .setting = &S::midiCalibrationCents,
     .checkOrder = 4},
    {.control = {1044, C::spin, "", 85, 40, 9, 14}, .steps = kMidiCalibrationSteps},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "cent"), 95, 45, 15, 8}},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Midi channel"), 5, 65, 41, 8}},
    {.control = {1033, C::edit, "", 60, 60, 25, 14},
     .value = &P::channel,
     .setting = &S::midiChannel,
     .check = keptRange(&S::midiChannel),
     .checkOrder = 3},
    {.control = {1034, C::spin, "", 86, 60, 11, 14}, .steps = keptRange(&S::midiChannel)},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Volume      low"), 5, 85, 46, 8}},
    {.control = {1018, C::slider, "", 55, 85, 100, 15},
     .value = &P::volume,
     .setting = &S::toneVolume,
     .steps = keptRange(&S::toneVolume),
     .step = 8},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "high"), 155, 85, 14, 8}},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Octave"), 5, 110, 24, 8}},
    {.control = {1028, C::edit, "", 60, 105, 21, 14},
     .value = &P::octave,
     .setting = &S::toneOctave,
     .check = keptRange(&S::toneOctave),
     .checkOrder = 1},
    {.control = {1029, C::spin, "", 80, 105, 9, 14}, .steps = kOctaveSteps},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Repeat Rate"), 5, 130, 42, 8}},
    {.control = {1030, C::edit, "", 60, 125, 25, 14},
     .value = &P::repeatRate,
     .setting = &S::toneRepeatRate,
     .check = keptRange(&S::toneRepeatRate),
     .checkOrder = 2},
    {.control = {1031, C::spin, "", 85, 125, 9, 14},
     .steps = keptRange(&S::toneRepeatRate),
     .step = 10},
};
}  // namespace tone
}  // namespace

const std::vector<PageRow<TonePage>>& TonePage::rows() {
    return tone::kRows;
}

void TonePage::load(const Settings& s) {
    loadRows(*this, s);
    mode = s.toneUseMidi != 0 ? 0 : 1;
}

std::vector<IntField> TonePage::fields() {
    return fieldsOf(*this);
}

void TonePage::writeBack(Settings& s) const {
    writeRows(*this, s);
    s.toneUseMidi = mode == 0 ? 1 : 0;
}

// ---- Ear -------------------------------------------------------------------------------------

namespace {
namespace ear {
using P = EarPage;
// The range's octaves are the page's own; the loader only keeps its keys MIDI keys. The
// interval's up-down stops at two octaves, below what the edit accepts.
constexpr IntRange kOctaves{1, 8};
constexpr IntRange kIntervalSteps{1, 24};

const std::vector<PageRow<P>> kRows = {
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Range         from"), 5, 10, 54, 8}},
    {.control = {1055, C::dropList, "", 65, 5, 25, 50}, .value = &P::fromNote},
    {.control = {1056, C::edit, "", 95, 5, 20, 14},
     .value = &P::fromOctave,
     .check = kOctaves,
     .checkOrder = 4},
    {.control = {1057, C::spin, "", 115, 5, 9, 14}, .steps = kOctaves},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "to"), 130, 10, 8, 8}},
    {.control = {1058, C::dropList, "", 140, 5, 25, 45}, .value = &P::toNote},
    {.control = {1059, C::edit, "", 170, 5, 20, 14},
     .value = &P::toOctave,
     .check = kOctaves,
     .checkOrder = 5},
    {.control = {1060, C::spin, "", 195, 5, 9, 14}, .steps = kOctaves},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Number of Notes"), 5, 35, 54, 8}},
    {.control = {1035, C::edit, "", 65, 30, 22, 14},
     .value = &P::noteCount,
     .setting = &S::earNoteCount,
     .check = keptRange(&S::earNoteCount),
     .checkOrder = 1},
    {.control = {1036, C::spin, "", 85, 30, 9, 14}, .steps = keptRange(&S::earNoteCount)},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Maximum Interval"), 5, 55, 60, 8}},
    {.control = {1039, C::edit, "", 65, 50, 22, 14},
     .value = &P::maxInterval,
     .setting = &S::earMaxInterval,
     .check = keptRange(&S::earMaxInterval),
     .checkOrder = 2},
    {.control = {1040, C::spin, "", 85, 50, 9, 14}, .steps = kIntervalSteps},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "(semitones)"), 100, 55, 36, 8}},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Scale"), 5, 75, 19, 8}},
    {.control = {1042, C::dropList, "", 65, 70, 66, 68},
     .value = &P::scale,
     .setting = &S::earScale},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Key"), 5, 95, 13, 8}},
    {.control = {1043, C::dropList, "", 65, 90, 41, 59}, .value = &P::key, .setting = &S::earKey},
    {{0, C::label, MERLOP_TR_NOOP("SettingsSheet", "Tempo"), 5, 115, 23, 8}},
    {.control = {1044, C::edit, "", 65, 110, 28, 14},
     .value = &P::tempo,
     .setting = &S::earTempo,
     .check = keptRange(&S::earTempo),
     .checkOrder = 3},
    {.control = {1045, C::spin, "", 95, 110, 9, 14}, .steps = keptRange(&S::earTempo), .step = 10},
    {.control = {1046, C::check, MERLOP_TR_NOOP("SettingsSheet", "Show first note"), 5, 135, 70, 8},
     .value = &P::showFirstNote,
     .setting = &S::earShowFirstNote},
};
}  // namespace ear
}  // namespace

const std::vector<PageRow<EarPage>>& EarPage::rows() {
    return ear::kRows;
}

void EarPage::load(const Settings& s) {
    loadRows(*this, s);
    fromNote = s.earRangeLow % 12;
    fromOctave = s.earRangeLow / 12 - 1;
    toNote = s.earRangeHigh % 12;
    toOctave = s.earRangeHigh / 12 - 1;
}

std::vector<IntField> EarPage::fields() {
    return fieldsOf(*this);
}

void EarPage::ok() {
    if (toOctave * 12 + toNote < fromOctave * 12 + fromNote) {
        toNote = fromNote;
        toOctave = fromOctave;
    }
}

void EarPage::writeBack(Settings& s) const {
    writeRows(*this, s);
    s.earRangeLow = (fromOctave + 1) * 12 + fromNote;
    s.earRangeHigh = (toOctave + 1) * 12 + toNote;
}

// ---- Sheet -----------------------------------------------------------------------------------

void SettingsSheetModel::load(const Settings& s, const std::array<int, 3>& rates,
                              const std::array<int, 2>& sizes, const TuningStore* store) {
    general.load(s, rates, sizes);
    spectrum.load(s);
    tone.load(s);
    ear.load(s);
    recordReadings = store != nullptr ? store->recordReadings() : 0;
}

void SettingsSheetModel::writeBack(Settings& s, TuningStore* store) const {
    general.writeBack(s);
    spectrum.writeBack(s);
    tone.writeBack(s);
    ear.writeBack(s);

    int32_t dbFrom = spectrum.dbFrom;
    if (general.sensitivity != s.sensitivityDb) {
        s.sensitivityDb = general.sensitivity;
        dbFrom = general.sensitivity;
    }
    if (dbFrom < s.sensitivityDb) dbFrom = s.sensitivityDb;
    s.spectrumDbLow = dbFrom;

    if (store != nullptr) store->current().recordReadings = recordReadings;
    s.normalise();
}

}  // namespace merlop
