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
const std::array<const char*, 7> kEarScales = {"Chromatic", "Major", "Harmonic Minor", "Whole tone",
                                               "Diminshed", "Blues", "Pentatonic"};

std::string integerRangeMessage(int lo, int hi) {
    return "Please enter an integer between " + std::to_string(lo) + " and " + std::to_string(hi) +
           ".";
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
            return FieldError{f.id, kIntegerMessage};
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
using K = ControlKind;
// The piano's last octave is held to the last MIDI octave, like its first.
constexpr IntRange kPianoOctaves{0, kLastPianoOctave};
}  // namespace

const std::vector<PageRow<GeneralPage>>& GeneralPage::rows() {
    using P = GeneralPage;
    using S = Settings;
    namespace r = keptRange;
    // The hidden window edit is not checked, since the user could never correct it; its up-down
    // offers less than the loader keeps.
    static const std::vector<PageRow<P>> kRows = {
        {1000,
         K::integer,
         &P::frequencyOfA,
         &S::frequencyOfA,
         r::frequencyOfA,
         {1001, r::frequencyOfA, 1},
         440},
        {1010,
         K::integer,
         &P::rangeTo,
         &S::freqHighHz,
         r::freqHighHz,
         {1011, r::freqHighHz, 100},
         1200},
        {1008,
         K::integer,
         &P::rangeFrom,
         &S::freqLowHz,
         r::freqLowHz,
         {1009, r::freqLowHz, 10},
         20},
        {1070,
         K::integer,
         &P::octaveFrom,
         &S::pianoFirstOctave,
         kPianoOctaves,
         {1071, kPianoOctaves, 1},
         2},
        {1074, K::integer, &P::octaveTo, nullptr, kPianoOctaves, {1075, kPianoOctaves, 1}, 5},
        {1019,
         K::integer,
         &P::window,
         &S::analysisWindowMs,
         std::nullopt,
         {1020, {50, 300}, 10},
         200},
        {1004, K::choice, &P::keyIndex, nullptr, {}, {}, 5},
        {1061, K::choice, &P::notation, &S::sharpNotation, {}, {}, 0},
        {1062, K::choice, &P::temperament, &S::temperamentIndex, {}, {}, 0},
        {1063, K::choice, &P::temperamentKey, &S::temperamentKey, {}, {}, 0},
        {1064, K::check, &P::useA, nullptr, {}, {}, 1},
        {1065, K::check, &P::fineTuning, &S::fineTuning, {}, {}, 0},
        {1066, K::check, &P::piano, &S::showPiano, {}, {}, 1},
        {1076, K::check, &P::humFilter, &S::humFilter, {}, {}, 0},
        {1077, K::choice, &P::humIndex, nullptr, {}, {}, 1},
        // Written back through the cross-page rule.
        {1039, K::slider, &P::sensitivity, nullptr, {}, {0, r::sensitivityDb, 10}, -36},
    };
    return kRows;
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
    for (const PageRow<GeneralPage>& r : rows()) this->*r.value = r.byDefault;
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

const std::vector<PageRow<SpectrumPage>>& SpectrumPage::rows() {
    using P = SpectrumPage;
    using S = Settings;
    namespace r = keptRange;
    // Both dB up-downs span the sensitivity's low end to 30 whatever the edits accept.
    constexpr IntRange kDbSteps{-42, 30};
    static const std::vector<PageRow<P>> kRows = {
        // Written back through the cross-page rule.
        {1021, K::integer, &P::dbFrom, nullptr, r::spectrumDbLow, {1022, kDbSteps, 1}},
        {1045, K::integer, &P::dbTo, &S::spectrumDbHigh, std::nullopt, {1046, kDbSteps, 1}},
        {1047, K::integer, &P::viewAngleA, &S::viewAngleA, std::nullopt, {1048, r::viewAngle, 10}},
        {1049, K::integer, &P::viewAngleB, &S::viewAngleB, std::nullopt, {1050, r::viewAngle, 10}},
        {1051,
         K::integer,
         &P::sustain,
         &S::spectrumSustain,
         std::nullopt,
         {1052, r::spectrumSustain, 1}},
        {1024, K::check, &P::spectrum3D, &S::spectrum3D},
        {1025, K::check, &P::hamming, &S::hammingWindow},
        {1053, K::choice, &P::weighting, &S::weighting},
        {1054, K::choice, &P::smoothing, &S::curveSmoothing},
    };
    return kRows;
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

const std::vector<PageRow<TonePage>>& TonePage::rows() {
    using P = TonePage;
    using S = Settings;
    namespace r = keptRange;
    // The octave's up-down stops at 8, below what the edit accepts.
    static const std::vector<PageRow<P>> kRows = {
        {1028, K::integer, &P::octave, &S::toneOctave, r::toneOctave, {1029, {1, 8}, 1}},
        {1030,
         K::integer,
         &P::repeatRate,
         &S::toneRepeatRate,
         r::toneRepeatRate,
         {1031, r::toneRepeatRate, 10}},
        {1033, K::integer, &P::channel, &S::midiChannel, r::midiChannel, {1034, r::midiChannel, 1}},
        {1043,
         K::integer,
         &P::midiCalibration,
         &S::midiCalibrationCents,
         std::nullopt,
         {1044, {-30, 30}, 1}},
        {1015, K::radio, &P::mode},
        {1017, K::choice, &P::patch, &S::midiPatch},
        {1018, K::slider, &P::volume, &S::toneVolume, std::nullopt, {0, r::toneVolume, 8}},
    };
    return kRows;
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

const std::vector<PageRow<EarPage>>& EarPage::rows() {
    using P = EarPage;
    using S = Settings;
    namespace r = keptRange;
    // The range's octaves are the page's own; the loader only keeps its keys MIDI keys.
    constexpr IntRange kOctaves{1, 8};
    // The interval's up-down stops at two octaves, below what the edit accepts.
    static const std::vector<PageRow<P>> kRows = {
        {1035,
         K::integer,
         &P::noteCount,
         &S::earNoteCount,
         r::earNoteCount,
         {1036, r::earNoteCount, 1}},
        {1039,
         K::integer,
         &P::maxInterval,
         &S::earMaxInterval,
         r::earMaxInterval,
         {1040, {1, 24}, 1}},
        {1044, K::integer, &P::tempo, &S::earTempo, r::earTempo, {1045, r::earTempo, 10}},
        {1056, K::integer, &P::fromOctave, nullptr, kOctaves, {1057, kOctaves, 1}},
        {1059, K::integer, &P::toOctave, nullptr, kOctaves, {1060, kOctaves, 1}},
        {1042, K::choice, &P::scale, &S::earScale},
        {1043, K::choice, &P::key, &S::earKey},
        {1046, K::check, &P::showFirstNote, &S::earShowFirstNote},
        {1055, K::choice, &P::fromNote},
        {1058, K::choice, &P::toNote},
    };
    return kRows;
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
