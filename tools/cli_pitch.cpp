// merlop-cli pitch: names the note of each frequency under a reference A, temperament and key.
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "cli_commands.h"
#include "pitch/pitch_model.h"
#include "pitch/temperament_table.h"

namespace merlop::cli {

namespace {

// What a musician can hear; anything outside is a typing slip, not a note.
constexpr double kLowestAudibleHz = 20.0;
constexpr double kHighestAudibleHz = 20000.0;

bool parseInt(const std::string& text, long lo, long hi, int* out) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < lo || v > hi) return false;
    *out = static_cast<int>(v);
    return true;
}

// C-based key index of a note name, sharps or flats; -1 when unknown.
int keyIndex(const std::string& name) {
    static const char* const kFlats[12] = {"C",  "Db", "D",  "Eb", "E",  "F",
                                           "Gb", "G",  "Ab", "A",  "Bb", "B"};
    static const char* const kSharps[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                            "F#", "G",  "G#", "A",  "A#", "B"};
    for (int i = 0; i < 12; ++i) {
        if (name == kFlats[i] || name == kSharps[i]) return i;
    }
    return -1;
}

struct PitchArgs {
    int referenceA = 440;
    int row = 0;
    int key = 0;
    bool useA = false;
    bool sharp = false;
    std::vector<std::string> frequencies;
};

// 0 when the text is an audible frequency in Hz, else the exit status after the complaint.
int checkFrequency(const std::string& a, const Io& io) {
    char* end = nullptr;
    const double f = std::strtod(a.c_str(), &end);
    if (a.empty() || *end != '\0' || !std::isfinite(f)) {
        return io.fail("'" + a + "' is not a frequency in Hz");
    }
    if (f < kLowestAudibleHz || f > kHighestAudibleHz) {
        return io.fail("'" + a + "' Hz is beyond the audible range of 20 to 20000 Hz");
    }
    return 0;
}

// A negative number is a frequency, not an option, so that it reads as out of range.
bool isOption(const std::string& a) {
    return a.size() > 1 && a[0] == '-' && !std::isdigit(static_cast<unsigned char>(a[1])) &&
           a[1] != '.';
}

// 0 when the arguments make sense, else the exit status after the complaint.
int parseArgs(const Args& args, const Io& io, PitchArgs* out) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--a") {
            if (!hasValue || !parseInt(args[++i], 400, 500, &out->referenceA)) {
                return io.fail("--a takes a whole number of hertz from 400 to 500");
            }
        } else if (a == "--temperament") {
            if (!hasValue || !parseInt(args[++i], 0, TemperamentTable::kRows - 1, &out->row)) {
                return io.fail("--temperament takes a row from 0 to 74");
            }
        } else if (a == "--key") {
            if (!hasValue || (out->key = keyIndex(args[++i])) < 0) {
                return io.fail("--key takes a note name from C to B");
            }
        } else if (a == "--use-a") {
            out->useA = true;
        } else if (a == "--sharp") {
            out->sharp = true;
        } else if (isOption(a)) {
            return io.fail("unknown option '" + a + "'");
        } else {
            if (const int status = checkFrequency(a, io); status != 0) return status;
            out->frequencies.push_back(a);
        }
    }
    if (out->frequencies.empty()) return io.fail("give at least one frequency in Hz");
    return 0;
}

}  // namespace

int pitch(const Args& args, const Io& io) {
    PitchArgs a;
    if (const int status = parseArgs(args, io, &a); status != 0) return status;

    PitchModel model;
    model.setReferenceA(a.referenceA);
    model.setTemperament(a.row, a.key, a.useA ? 9 : a.key);
    model.setSharpNotation(a.sharp ? 1 : 0);

    for (const std::string& text : a.frequencies) {
        const float f = std::strtof(text.c_str(), nullptr);
        int note = -1;
        float deviation = 0.0f;
        int cents = 0;
        if (f >= model.baseFrequency())
            cents = model.splitNoteValue(model.noteValueOf(f), &note, &deviation);
        char line[128];
        std::snprintf(line, sizeof line, " note=%d name='%s' deviation=%.4f cents=%d\n", note,
                      model.fullNoteName(note).c_str(), deviation, cents);
        io.out << text << line;
    }
    return 0;
}

}  // namespace merlop::cli
