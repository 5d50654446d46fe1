#include "pitch/piano_keys.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace merlop {

namespace {

const char* const kNames[12] = {"C", "Db", "D", "Eb", "E", "F", "Gb", "G", "Ab", "A", "Bb", "B"};

// The blank-separated fields of a line.
std::vector<std::string> fieldsOf(std::string_view line) {
    std::vector<std::string> fields;
    std::size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
        const std::size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
        if (i > start) fields.emplace_back(line.substr(start, i - start));
    }
    return fields;
}

bool number(const std::string& text, double lo, double hi, double* out) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v >= lo && v <= hi)) return false;
    *out = v;
    return true;
}

}  // namespace

std::string pianoKeyName(int midi) {
    if (midi < kLowestPianoMidi || midi > kHighestPianoMidi) return {};
    return kNames[midi % 12] + std::to_string(midi / 12 - 1);
}

int pianoKeyOfName(std::string_view name) {
    static constexpr int kLetterSemitones[7] = {9, 11, 0, 2, 4, 5, 7};  // A..G from C
    if (name.size() < 2 || name.size() > 3) return -1;
    const char letter = static_cast<char>(name[0] & ~0x20);
    if (letter < 'A' || letter > 'G') return -1;
    int semitone = kLetterSemitones[letter - 'A'];
    std::size_t at = 1;
    if (name[at] == '#' || name[at] == 'b') semitone += name[at++] == '#' ? 1 : -1;
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '8') return -1;
    const int midi = 12 * (name[at] - '0' + 1) + semitone;
    return midi >= kLowestPianoMidi && midi <= kHighestPianoMidi ? midi : -1;
}

std::string formatKeyMeasurement(const KeyMeasurement& m) {
    char text[96];
    std::snprintf(text, sizeof text, "%s %.5f %.8g %d", pianoKeyName(m.midi).c_str(), m.f0, m.b,
                  m.partials);
    return text;
}

std::string parseKeyMeasurement(std::string_view line, KeyMeasurement* out) {
    const std::vector<std::string> f = fieldsOf(line);
    if (f.size() != 4) return "'" + std::string(line) + "': give KEY F0 B PARTIALS";
    KeyMeasurement m;
    m.midi = pianoKeyOfName(f[0]);
    if (m.midi < 0) return "'" + f[0] + "' is no piano key (A0 to C8)";
    if (!number(f[1], 10.0, 20000.0, &m.f0)) return f[0] + ": f0 must be 10 to 20000 Hz";
    if (!number(f[2], 0.0, StiffnessCurve::kMaxB, &m.b)) return f[0] + ": B must be 0 to 0.05";
    double partials = 0.0;
    if (!number(f[3], 0.0, 1000.0, &partials) || partials != std::floor(partials))
        return f[0] + ": the partials used must be a whole number";
    m.partials = static_cast<int>(partials);
    if (m.partials < kMinKeyPartials)
        return f[0] + ": measured from " + f[3] + " partials; B needs at least " +
               std::to_string(kMinKeyPartials);
    if (m.partials > kMaxKeyPartials)
        return f[0] + ": at most " + std::to_string(kMaxKeyPartials) + " partials are used";
    *out = m;
    return {};
}

std::string parseKeyMeasurements(std::string_view text, std::vector<KeyMeasurement>* out) {
    std::vector<KeyMeasurement> list;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find_first_of(";\n", start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view entry = text.substr(start, end - start);
        start = end + 1;
        if (fieldsOf(entry).empty()) continue;
        KeyMeasurement m;
        if (std::string problem = parseKeyMeasurement(entry, &m); !problem.empty()) return problem;
        const auto same = [&](const KeyMeasurement& o) { return o.midi == m.midi; };
        if (std::any_of(list.begin(), list.end(), same))
            return pianoKeyName(m.midi) + " is given twice";
        list.push_back(m);
    }
    *out = std::move(list);
    return {};
}

std::string formatKeyMeasurements(const std::vector<KeyMeasurement>& list) {
    std::string text;
    for (const KeyMeasurement& m : list)
        text += (text.empty() ? "" : "; ") + formatKeyMeasurement(m);
    return text;
}

std::vector<KeyStiffness> stiffnessOf(const std::vector<KeyMeasurement>& list) {
    std::vector<KeyStiffness> keys;
    keys.reserve(list.size());
    for (const KeyMeasurement& m : list) keys.push_back({m.midi, m.b});
    return keys;
}

}  // namespace merlop
