#include "settings/scala_scale.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "common/file_ptr.h"
#include "common/translation.h"
#include "settings/scala_text.h"

namespace merlop {

namespace {

// Beyond about 83 octaves from anything no pitch is a frequency a float can hold or a tuner hear.
constexpr double kMaxCents = 100000.0;
constexpr std::size_t kMaxFileBytes = 4u << 20;
// A smaller period repeats the unison, and would not survive being written with six decimals.
constexpr double kMinPeriodCents = 0.001;

ScalaError errorAt(const std::string& file, int line, std::string message) {
    return ScalaError{file, line, std::move(message)};
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// The leading run of digits (and one period when allowed) of s from pos.
std::string_view numberToken(std::string_view s, std::size_t pos, bool allowPeriod) {
    std::size_t end = pos;
    bool period = false;
    while (end < s.size() && (isDigit(s[end]) || (allowPeriod && !period && s[end] == '.'))) {
        period = period || s[end] == '.';
        ++end;
    }
    return s.substr(pos, end - pos);
}

std::string labelOf(std::string_view rest) {
    rest = trimmed(rest);
    if (!rest.empty() && rest[0] == '!') rest = trimmed(rest.substr(1));
    return std::string(rest);
}

// A whole number at the start of the line; what follows it is ignored.
const char* parseWhole(std::string_view s, long long lo, long long hi, long long* out) {
    s = trimmed(s);
    std::size_t pos = 0;
    const bool negative = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '-' || s[0] == '+')) pos = 1;
    const std::string_view digits = numberToken(s, pos, false);
    if (digits.empty()) return MERLOP_TR_NOOP("ScalaFile", "not a whole number");
    unsigned long long v = 0;
    const auto r = std::from_chars(digits.data(), digits.data() + digits.size(), v);
    if (r.ec != std::errc{} || v > static_cast<unsigned long long>(hi) + (negative ? 1 : 0)) {
        return MERLOP_TR_NOOP("ScalaFile", "number out of range");
    }
    const long long value = negative ? -static_cast<long long>(v) : static_cast<long long>(v);
    if (value < lo || value > hi) return MERLOP_TR_NOOP("ScalaFile", "number out of range");
    *out = value;
    return nullptr;
}

const char* parseCents(std::string_view number, bool negative, double* cents) {
    const auto r = std::from_chars(number.data(), number.data() + number.size(), *cents);
    if (r.ec != std::errc{} || !(*cents <= kMaxCents))
        return MERLOP_TR_NOOP("ScalaFile", "too large for a frequency");
    if (negative) *cents = -*cents;
    return nullptr;
}

// A ratio n/d or a whole number n whose numerator is number, ending at *end in s, which moves
// past the denominator.
const char* parseRatio(std::string_view s, std::string_view number, bool negative, std::size_t* end,
                       double* cents) {
    unsigned long long n = 0;
    unsigned long long d = 1;
    auto r = std::from_chars(number.data(), number.data() + number.size(), n);
    if (r.ec != std::errc{}) return MERLOP_TR_NOOP("ScalaFile", "too large for a frequency");
    if (*end < s.size() && s[*end] == '/') {
        const std::string_view den = numberToken(s, *end + 1, false);
        if (den.empty())
            return MERLOP_TR_NOOP("ScalaFile", "not a pitch: no denominator after '/'");
        r = std::from_chars(den.data(), den.data() + den.size(), d);
        if (r.ec != std::errc{}) return MERLOP_TR_NOOP("ScalaFile", "too large for a frequency");
        *end += 1 + den.size();
    }
    if (d == 0) return MERLOP_TR_NOOP("ScalaFile", "a ratio with a zero denominator");
    if (negative || n == 0) return MERLOP_TR_NOOP("ScalaFile", "a ratio must be above zero");
    const long double octaves =
        std::log2(static_cast<long double>(n)) - std::log2(static_cast<long double>(d));
    *cents = static_cast<double>(1200.0L * octaves);
    if (!(std::fabs(*cents) <= kMaxCents))
        return MERLOP_TR_NOOP("ScalaFile", "too large for a frequency");
    return nullptr;
}

// Cents of a pitch line; null on success, else what is wrong with it.
const char* parsePitch(std::string_view s, ScalaPitch* out) {
    s = trimmed(s);
    const bool negative = !s.empty() && s[0] == '-';
    const std::size_t pos = !s.empty() && (s[0] == '-' || s[0] == '+') ? 1 : 0;
    const std::string_view number = numberToken(s, pos, true);
    if (number.empty() || number == ".")
        return MERLOP_TR_NOOP("ScalaFile", "not a pitch: no number in cents or ratio");
    std::size_t end = pos + number.size();
    double cents = 0.0;
    const char* why = number.find('.') != std::string_view::npos
                          ? parseCents(number, negative, &cents)
                          : parseRatio(s, number, negative, &end, &cents);
    if (why != nullptr) return why;
    out->cents = cents;
    out->label = labelOf(s.substr(end));
    return nullptr;
}

// The lines of a scale that carry data, comments dropped, with their numbers.
struct DataLine {
    int number;
    std::string_view text;
};

std::vector<DataLine> dataLines(const std::vector<std::string_view>& lines, bool keepFirstBlank) {
    std::vector<DataLine> data;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view l = lines[i];
        if (!l.empty() && l[0] == '!') continue;
        // Only the description may be blank.
        if (trimmed(l).empty() && !(keepFirstBlank && data.empty())) continue;
        data.push_back({static_cast<int>(i) + 1, l});
    }
    return data;
}

int endLine(const std::vector<std::string_view>& lines) {
    return static_cast<int>(lines.size());
}

ScalaError parseScale(const std::string& text, const std::string& file, ScalaScale* out) {
    const std::vector<std::string_view> lines = splitLines(text);
    const std::vector<DataLine> data = dataLines(lines, true);
    if (data.empty())
        return errorAt(file, 0, translate("ScalaFile", "no description line: not a Scala scale"));
    if (data.size() < 2) {
        return errorAt(file, endLine(lines),
                       translate("ScalaFile", "the file ends before the number of notes"));
    }
    ScalaScale scale;
    scale.description = std::string(trimmed(data[0].text));
    long long count = 0;
    if (const char* why = parseWhole(data[1].text, 0, std::numeric_limits<int>::max(), &count)) {
        return errorAt(
            file, data[1].number,
            fill(translate("ScalaFile", "the number of notes: %1"), {translate("ScalaFile", why)}));
    }
    if (count < 1)
        return errorAt(file, data[1].number,
                       translate("ScalaFile", "a scale needs at least one pitch"));
    if (count > ScalaScale::kMaxPitches) {
        return errorAt(
            file, data[1].number,
            fill(translate("ScalaFile", "%1 notes are more than the %2 a scale may have here"),
                 {std::to_string(count), std::to_string(ScalaScale::kMaxPitches)}));
    }
    const std::size_t n = static_cast<std::size_t>(count);
    if (data.size() - 2 < n) {
        return errorAt(file, endLine(lines),
                       fill(translate("ScalaFile", "the file ends after %1 of %2 pitches"),
                            {std::to_string(data.size() - 2), std::to_string(count)}));
    }
    scale.pitches.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        if (const char* why = parsePitch(data[i + 2].text, &scale.pitches[i])) {
            return errorAt(file, data[i + 2].number, translate("ScalaFile", why));
        }
    }
    if (!(scale.periodCents() >= kMinPeriodCents)) {
        return errorAt(
            file, data[n + 1].number,
            translate("ScalaFile", "the last pitch, the period, must lie above the unison"));
    }
    *out = std::move(scale);
    return {};
}

struct MapHeader {
    const char* what;
    long long lo;
    long long hi;
    int ScalaKeyboardMap::*field;
};

const MapHeader kMapHeader[] = {
    {MERLOP_TR_NOOP("ScalaFile", "the size of the map"), 0, ScalaScale::kMaxPitches,
     &ScalaKeyboardMap::size},
    {MERLOP_TR_NOOP("ScalaFile", "the first MIDI note"), 0, 127, &ScalaKeyboardMap::firstNote},
    {MERLOP_TR_NOOP("ScalaFile", "the last MIDI note"), 0, 127, &ScalaKeyboardMap::lastNote},
    {MERLOP_TR_NOOP("ScalaFile", "the middle note"), 0, 127, &ScalaKeyboardMap::middleNote},
    {MERLOP_TR_NOOP("ScalaFile", "the reference note"), 0, 127, &ScalaKeyboardMap::referenceNote},
    {MERLOP_TR_NOOP("ScalaFile", "the reference frequency"), 0, 0, nullptr},
    {MERLOP_TR_NOOP("ScalaFile", "the octave degree"), 0, ScalaScale::kMaxPitches,
     &ScalaKeyboardMap::octaveDegree},
};

const char* parseFrequency(std::string_view s, double* out) {
    s = trimmed(s);
    if (s.empty() || !(isDigit(s[0]) || s[0] == '.'))
        return MERLOP_TR_NOOP("ScalaFile", "not a frequency in Hz");
    double f = 0.0;
    const auto r = std::from_chars(s.data(), s.data() + s.size(), f);
    if (r.ec == std::errc::result_out_of_range || !(f <= 1.0e6))
        return MERLOP_TR_NOOP("ScalaFile", "too large for a frequency");
    if (r.ec != std::errc{}) return MERLOP_TR_NOOP("ScalaFile", "not a frequency in Hz");
    if (!(f > 0.0)) return MERLOP_TR_NOOP("ScalaFile", "a frequency must be above zero");
    *out = f;
    return nullptr;
}

ScalaError parseMapLine(const DataLine& line, std::size_t field, const std::string& file,
                        ScalaKeyboardMap* map) {
    const MapHeader& h = kMapHeader[field];
    if (h.field == nullptr) {
        if (const char* why = parseFrequency(line.text, &map->referenceFrequency)) {
            return errorAt(file, line.number,
                           translate("ScalaFile", h.what) + ": " + translate("ScalaFile", why));
        }
        return {};
    }
    long long v = 0;
    if (const char* why = parseWhole(line.text, h.lo, h.hi, &v)) {
        return errorAt(file, line.number,
                       translate("ScalaFile", h.what) + ": " + translate("ScalaFile", why));
    }
    map->*(h.field) = static_cast<int>(v);
    return {};
}

ScalaError parseMap(const std::string& text, const std::string& file, ScalaKeyboardMap* out) {
    const std::vector<std::string_view> lines = splitLines(text);
    const std::vector<DataLine> data = dataLines(lines, false);
    const std::size_t header = std::size(kMapHeader);
    ScalaKeyboardMap map;
    for (std::size_t i = 0; i < header; ++i) {
        if (i >= data.size()) {
            return errorAt(file, endLine(lines),
                           fill(translate("ScalaFile", "the file ends before %1"),
                                {translate("ScalaFile", kMapHeader[i].what)}));
        }
        ScalaError e = parseMapLine(data[i], i, file, &map);
        if (e.failed()) return e;
    }
    if (map.firstNote > map.lastNote) {
        return errorAt(file, data[2].number,
                       translate("ScalaFile", "the last MIDI note lies below the first"));
    }
    for (std::size_t i = header; i < data.size(); ++i) {
        if (static_cast<int>(map.mapping.size()) >= map.size) {
            return errorAt(
                file, data[i].number,
                fill(translate("ScalaFile", "more mapping entries than the map's size of %1"),
                     {std::to_string(map.size)}));
        }
        const std::string_view t = trimmed(data[i].text);
        long long degree = 0;
        if (t[0] == 'x' || t[0] == 'X') {
            degree = ScalaKeyboardMap::kUnmapped;
        } else if (const char* why = parseWhole(t, 0, ScalaScale::kMaxPitches, &degree)) {
            return errorAt(file, data[i].number,
                           fill(translate("ScalaFile", "a scale degree or x: %1"),
                                {translate("ScalaFile", why)}));
        }
        map.mapping.push_back(static_cast<int>(degree));
    }
    *out = std::move(map);
    return {};
}

long long floorDiv(long long a, long long b) {
    const long long q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

}  // namespace

std::string ScalaError::text() const {
    if (line <= 0) return file + ": " + message;
    return fill(translate("ScalaFile", "%1: line %2: %3"), {file, std::to_string(line), message});
}

double ScalaScale::degreeCents(long long degree) const {
    const long long n = size();
    if (n == 0) return 0.0;
    const long long q = floorDiv(degree, n);
    const long long r = degree - q * n;
    return static_cast<double>(q) * periodCents() +
           (r == 0 ? 0.0 : pitches[static_cast<std::size_t>(r - 1)].cents);
}

bool ScalaKeyboardMap::degreeOfKey(int key, int scaleSize, long long* degree) const {
    if (key < firstNote || key > lastNote) return false;
    const long long d = static_cast<long long>(key) - middleNote;
    if (size == 0) {
        *degree = d;
        return true;
    }
    const long long q = floorDiv(d, size);
    const auto r = static_cast<std::size_t>(d - q * size);
    if (r >= mapping.size() || mapping[r] == kUnmapped) return false;
    const long long octave = octaveDegree == 0 ? scaleSize : octaveDegree;
    *degree = mapping[r] + q * octave;
    return true;
}

ScalaError readScalaScale(std::string_view bytes, const std::string& file, ScalaScale* out) {
    std::string text;
    ScalaError e = decodeScalaText(bytes, file, &text);
    if (e.failed()) return e;
    return parseScale(text, file, out);
}

ScalaError readScalaKeyboardMap(std::string_view bytes, const std::string& file,
                                ScalaKeyboardMap* out) {
    std::string text;
    ScalaError e = decodeScalaText(bytes, file, &text);
    if (e.failed()) return e;
    return parseMap(text, file, out);
}

std::string readSmallFile(const std::filesystem::path& path, std::size_t maxBytes,
                          std::string* bytes) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return translate("ScalaFile", "a folder, not a file");
    const FilePtr f(std::fopen(path.c_str(), "rb"));
    if (!f) {
        const int error = errno;
        return fill(translate("ScalaFile", "cannot open: %1"), {std::strerror(error)});
    }
    std::string data;
    char buffer[8192];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, f.get())) > 0) {
        data.append(buffer, got);
        if (data.size() > maxBytes) return translate("ScalaFile", "too large for a scale file");
    }
    if (std::ferror(f.get())) return translate("ScalaFile", "cannot be read");
    *bytes = std::move(data);
    return {};
}

ScalaError loadScalaScale(const std::filesystem::path& path, ScalaScale* out) {
    std::string bytes;
    const std::string why = readSmallFile(path, kMaxFileBytes, &bytes);
    if (!why.empty()) return errorAt(path.string(), 0, why);
    return readScalaScale(bytes, path.string(), out);
}

ScalaError loadScalaKeyboardMap(const std::filesystem::path& path, ScalaKeyboardMap* out) {
    std::string bytes;
    const std::string why = readSmallFile(path, kMaxFileBytes, &bytes);
    if (!why.empty()) return errorAt(path.string(), 0, why);
    return readScalaKeyboardMap(bytes, path.string(), out);
}

std::string writeScalaScale(const ScalaScale& scale, const std::string& fileName) {
    std::string out = "! " + oneLine(fileName) + "\n!\n";
    std::string description = oneLine(scale.description);
    // A description that starts like a comment would be read as one.
    if (!description.empty() && description[0] == '!') description.insert(0, " ");
    out += description + "\n " + std::to_string(scale.size()) + "\n!\n";
    char number[64];
    for (std::size_t i = 0; i < scale.pitches.size(); ++i) {
        const ScalaPitch& p = scale.pitches[i];
        if (i + 1 == scale.pitches.size() && p.cents == 1200.0) {
            std::snprintf(number, sizeof number, " 2/1");
        } else {
            std::snprintf(number, sizeof number, " %.6f", p.cents);
        }
        out += number;
        const std::string label = oneLine(p.label);
        if (!label.empty()) out += " " + label;
        out += '\n';
    }
    return out;
}

}  // namespace merlop
