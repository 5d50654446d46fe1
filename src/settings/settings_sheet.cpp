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

void GeneralPage::load(const Settings& s, const std::array<int, 3>& rates,
                       const std::array<int, 2>& sizes) {
    sampleRates = rates;
    sampleSizes = sizes;
    sensitivity = s.sensitivityDb;
    temperament = s.temperamentIndex;
    frequencyOfA = s.frequencyOfA;
    keyIndex = s.instrumentKey + 5;
    sampleRateText = std::to_string(s.sampleRate);
    sampleSizeText = std::to_string(s.bitsPerSample);
    rangeTo = s.freqHighHz;
    rangeFrom = s.freqLowHz;
    window = s.analysisWindowMs;
    notation = s.sharpNotation;
    temperamentKey = s.temperamentKey;
    useA = s.temperamentRefNote == 9 ? 1 : 0;
    fineTuning = s.fineTuning;
    piano = s.showPiano;
    calibration = calibrationText(s.calibrationTenths);
    octaveFrom = s.pianoFirstOctave;
    // The file may hold a count that runs past the last MIDI octave; the page shows (and OK
    // stores) the keyboard as far as there are keys.
    octaveTo = static_cast<int32_t>(
        std::min<int64_t>(int64_t{s.pianoFirstOctave} + s.pianoOctaveCount - 1, kLastPianoOctave));
    humFilter = s.humFilter;
    humIndex = s.humFrequency != 50 ? 1 : 0;
}

std::vector<IntField> GeneralPage::fields() {
    return {
        {1000, &frequencyOfA, true, 400, 500},
        {1010, &rangeTo, true, 100, 20000},
        {1008, &rangeFrom, true, 20, 4000},
        {1070, &octaveFrom, true, 0, kLastPianoOctave},
        {1074, &octaveTo, true, 0, kLastPianoOctave},
        {1019, &window, false},
    };
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
    frequencyOfA = 440;
    calibration = "0.0";
    fineTuning = 0;
    keyIndex = 5;
    notation = 0;
    temperament = 0;
    temperamentKey = 0;
    useA = 1;
    rangeFrom = 20;
    rangeTo = 1200;
    piano = 1;
    octaveFrom = 2;
    octaveTo = 5;
    humFilter = 0;
    humIndex = 1;
    sensitivity = -36;
    window = 200;
}

void GeneralPage::writeBack(Settings& s) const {
    s.frequencyOfA = frequencyOfA;
    s.calibrationTenths = calibrationTenthsOfText(calibration);
    s.fineTuning = fineTuning;
    s.instrumentKey = keyIndex - 5;
    s.sharpNotation = notation;
    s.temperamentIndex = temperament;
    s.temperamentKey = temperamentKey;
    s.temperamentRefNote = useA ? 9 : temperamentKey;
    // A rate or size the device list did not offer leaves an empty text: keep what was set.
    if (const auto r = parseInteger(sampleRateText); r && *r > 0) s.sampleRate = *r;
    if (const auto b = parseInteger(sampleSizeText); b && *b > 0) s.bitsPerSample = *b;
    s.freqHighHz = rangeTo;
    s.freqLowHz = rangeFrom;
    s.analysisWindowMs = window;
    s.showPiano = piano;
    s.pianoFirstOctave = octaveFrom;
    s.pianoOctaveCount = octaveTo - octaveFrom + 1;
    s.humFilter = humFilter;
    s.humFrequency = humIndex != 0 ? 60 : 50;
}

// ---- Spectrum --------------------------------------------------------------------------------

void SpectrumPage::load(const Settings& s) {
    dbFrom = s.spectrumDbLow;
    spectrum3D = s.spectrum3D;
    hamming = s.hammingWindow;
    dbTo = s.spectrumDbHigh;
    viewAngleA = s.viewAngleA;
    viewAngleB = s.viewAngleB;
    sustain = s.spectrumSustain;
    weighting = s.weighting;
    smoothing = s.curveSmoothing;
}

std::vector<IntField> SpectrumPage::fields() {
    return {
        {1021, &dbFrom, true, -50, 0}, {1045, &dbTo, false},    {1047, &viewAngleA, false},
        {1049, &viewAngleB, false},    {1051, &sustain, false},
    };
}

void SpectrumPage::writeBack(Settings& s) const {
    s.spectrum3D = spectrum3D;
    s.hammingWindow = hamming;
    s.spectrumDbHigh = dbTo;
    s.viewAngleA = viewAngleA;
    s.viewAngleB = viewAngleB;
    s.spectrumSustain = sustain;
    s.weighting = weighting;
    s.curveSmoothing = smoothing;
}

// ---- Reference tone --------------------------------------------------------------------------

void TonePage::load(const Settings& s) {
    volume = s.toneVolume;
    patch = s.midiPatch;
    mode = s.toneUseMidi != 0 ? 0 : 1;
    octave = s.toneOctave;
    repeatRate = s.toneRepeatRate;
    channel = s.midiChannel;
    midiCalibration = s.midiCalibrationCents;
}

std::vector<IntField> TonePage::fields() {
    return {
        {1028, &octave, true, 1, 10},
        {1030, &repeatRate, true, 0, 200},
        {1033, &channel, true, 0, 16},
        {1043, &midiCalibration, false},
    };
}

void TonePage::writeBack(Settings& s) const {
    s.toneVolume = volume;
    s.midiPatch = patch;
    s.toneUseMidi = mode == 0 ? 1 : 0;
    s.toneOctave = octave;
    s.toneRepeatRate = repeatRate;
    s.midiChannel = channel;
    s.midiCalibrationCents = midiCalibration;
}

// ---- Ear -------------------------------------------------------------------------------------

void EarPage::load(const Settings& s) {
    noteCount = s.earNoteCount;
    maxInterval = s.earMaxInterval;
    scale = s.earScale;
    key = s.earKey;
    tempo = s.earTempo;
    showFirstNote = s.earShowFirstNote;
    fromNote = s.earRangeLow % 12;
    fromOctave = s.earRangeLow / 12 - 1;
    toNote = s.earRangeHigh % 12;
    toOctave = s.earRangeHigh / 12 - 1;
}

std::vector<IntField> EarPage::fields() {
    return {
        {1035, &noteCount, true, 1, 12}, {1039, &maxInterval, true, 1, 48},
        {1044, &tempo, true, 30, 200},   {1056, &fromOctave, true, 1, 8},
        {1059, &toOctave, true, 1, 8},
    };
}

void EarPage::ok() {
    if (toOctave * 12 + toNote < fromOctave * 12 + fromNote) {
        toNote = fromNote;
        toOctave = fromOctave;
    }
}

void EarPage::writeBack(Settings& s) const {
    s.earNoteCount = noteCount;
    s.earMaxInterval = maxInterval;
    s.earScale = scale;
    s.earKey = key;
    s.earTempo = tempo;
    s.earShowFirstNote = showFirstNote;
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
