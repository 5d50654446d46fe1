// merlop-cli inharmonicity and stretch: a piano key's string stiffness from a recording, and the
// stretched tuning of the 88 keys for a stiffness curve.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <sstream>
#include <string>
#include <system_error>
#include <vector>

#include "audio/inharmonicity.h"
#include "audio/wav_reader.h"
#include "cli_commands.h"
#include "pitch/piano_keys.h"
#include "pitch/stretch_tuning.h"
#include "settings/piano_tuning.h"
#include "settings/tuning_store.h"

namespace merlop::cli {

namespace {

// Longer recordings add nothing a key's sustain could tell.
constexpr double kMaxRecordingSeconds = 60.0;

double equalTemperament(int midi, double referenceA) {
    return referenceA * std::pow(2.0, (midi - kReferenceMidi) / 12.0);
}

// The samples of a PCM mono WAV file; empty on success, else why not.
std::string readSamples(const std::string& path, std::vector<float>* x, int* rate) {
    WavReader reader;
    const WavStatus status = reader.open(path);
    if (status != WavStatus::ok) return wavStatusMessage(status);
    *rate = reader.sampleRate();
    const auto most = static_cast<std::size_t>(kMaxRecordingSeconds * *rate);
    constexpr int kBlock = 1024;
    int block[kBlock];
    SampleRange range{};
    while (x->size() < most && reader.readBlock(block, kBlock, &range))
        x->insert(x->end(), std::begin(block), std::end(block));
    return {};
}

void printMeasurement(const InharmonicityResult& r, int midi, bool given, const Io& io) {
    char line[128];
    if (midi > 0) {
        const double cents = 1200.0 * std::log2(r.f0 / equalTemperament(midi, 440.0));
        std::snprintf(line, sizeof line, "key %s (%s)  f0 %.5f Hz  %+.2f cents at A 440\n",
                      pianoKeyName(midi).c_str(), given ? "given" : "nearest", r.f0, cents);
    } else {
        std::snprintf(line, sizeof line, "key none  f0 %.5f Hz\n", r.f0);
    }
    io.out << line;
    std::snprintf(line, sizeof line, "B %.8g  partials %zu\n", r.b, r.partials.size());
    io.out << line << "partial  Hz  cents from n*f0\n";
    for (const InharmonicPartial& p : r.partials) {
        std::snprintf(line, sizeof line, "%d  %.4f  %+.3f\n", p.number, p.frequency, p.cents);
        io.out << line;
    }
    if (midi > 0) {
        const KeyMeasurement m{midi, r.f0, r.b, static_cast<int>(r.partials.size())};
        io.out << "measurement " << formatKeyMeasurement(m) << '\n';
    }
}

}  // namespace

int inharmonicity(const Args& args, const Io& io) {
    std::string path;
    int midi = -1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--note") {
            if (i + 1 >= args.size() || (midi = pianoKeyOfName(args[++i])) < 0)
                return io.fail("--note takes a piano key, A0 to C8 (such as A4, C#3 or Bb1)");
        } else if (args[i].size() > 1 && args[i][0] == '-') {
            return io.fail("unknown option " + args[i]);
        } else if (!path.empty()) {
            return io.fail("one WAV file only");
        } else {
            path = args[i];
        }
    }
    if (path.empty()) return io.fail("give a WAV file (merlop-cli inharmonicity --help)");
    std::vector<float> x;
    int rate = 0;
    if (const std::string problem = readSamples(path, &x, &rate); !problem.empty())
        return io.failFile(path, problem);
    InharmonicityOptions options;
    if (midi > 0) options.nominalF0 = equalTemperament(midi, 440.0);
    const InharmonicityResult r = measureInharmonicity(x, rate, options);
    if (!r.valid) return io.failFile(path, r.problem);
    const bool given = midi > 0;
    if (!given) {
        const auto nearest =
            static_cast<int>(std::lround(kReferenceMidi + 12.0 * std::log2(r.f0 / 440.0)));
        midi = nearest >= kLowestPianoMidi && nearest <= kHighestPianoMidi ? nearest : -1;
    }
    printMeasurement(r, midi, given, io);
    return 0;
}

namespace {

struct StretchArgs {
    std::string list;          // --b
    std::string measurements;  // --measurements FILE
    std::string octave;
    std::string name;
    std::string dir = ".";
    double referenceA = 440.0;
    bool save = true;
};

// "A0=0.0005,A4=0.0003,...": empty on success, else why not.
std::string parseStiffnessList(const std::string& text, std::vector<KeyStiffness>* keys) {
    std::istringstream in(text);
    for (std::string entry; std::getline(in, entry, ',');) {
        const auto eq = entry.find('=');
        const int midi = pianoKeyOfName(entry.substr(0, eq));
        if (eq == std::string::npos || midi < 0)
            return "--b takes KEY=B entries separated by commas, such as A0=0.0005; not '" + entry +
                   "'";
        const std::string value = entry.substr(eq + 1);
        char* end = nullptr;
        const double b = std::strtod(value.c_str(), &end);
        if (value.empty() || *end != '\0') return entry + ": B is no number";
        keys->push_back({midi, b});
    }
    return {};
}

// The option's field when it takes a text value, else null.
std::string* textOption(const std::string& a, StretchArgs* s) {
    if (a == "--b") return &s->list;
    if (a == "--measurements") return &s->measurements;
    if (a == "--octave") return &s->octave;
    if (a == "--name") return &s->name;
    if (a == "--dir") return &s->dir;
    return nullptr;
}

bool parseReferenceA(const std::string& text, double* out) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v >= 400.0 && v <= 500.0)) return false;
    *out = v;
    return true;
}

// 0 when the arguments make sense, else the exit status after the complaint.
int parseStretchArgs(const Args& args, const Io& io, StretchArgs* s) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (std::string* value = textOption(a, s); value != nullptr) {
            if (!hasValue) return io.fail(a + " needs a value");
            *value = args[++i];
        } else if (a == "--a") {
            if (!hasValue || !parseReferenceA(args[++i], &s->referenceA))
                return io.fail("--a takes the reference A, 400 to 500 Hz");
        } else if (a == "--no-save") {
            s->save = false;
        } else {
            return io.fail("unknown argument " + a + " (merlop-cli stretch --help)");
        }
    }
    if (s->list.empty() == s->measurements.empty())
        return io.fail("give the stiffness curve by --b or by --measurements, one of them");
    if (s->octave.empty()) return io.fail("give --octave 2:1, 4:2, 6:3 or mix");
    if (s->save && s->name.empty()) return io.fail("give the tuning a --name (or --no-save)");
    return 0;
}

std::string readMeasurements(const std::string& path, std::vector<KeyStiffness>* keys) {
    std::ifstream in(path);
    if (!in) return path + ": cannot be read";
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<KeyMeasurement> list;
    if (std::string problem = parseKeyMeasurements(text, &list); !problem.empty())
        return path + ": " + problem;
    *keys = stiffnessOf(list);
    return {};
}

void printTargets(const StretchResult& r, const Io& io) {
    char line[96];
    io.out << "key  MIDI  B  Hz  cents from equal temperament\n";
    for (const StretchTarget& t : r.targets) {
        std::snprintf(line, sizeof line, "%s  %d  %.6g  %.4f  %+.2f\n",
                      pianoKeyName(t.midi).c_str(), t.midi, t.b, t.frequency, t.cents);
        io.out << line;
    }
}

}  // namespace

int stretch(const Args& args, const Io& io) {
    StretchArgs s;
    if (const int status = parseStretchArgs(args, io, &s); status != 0) return status;
    OctaveRule rule{};
    if (!parseOctaveRule(s.octave, &rule)) return io.fail("--octave takes 2:1, 4:2, 6:3 or mix");
    std::vector<KeyStiffness> keys;
    const std::string problem = s.list.empty() ? readMeasurements(s.measurements, &keys)
                                               : parseStiffnessList(s.list, &keys);
    if (!problem.empty()) return io.fail(problem);
    const StretchResult r = computeStretch(keys, s.referenceA, rule);
    if (!r.problem.empty()) return io.fail(r.problem);
    if (!s.save) {
        printTargets(r, io);
        return 0;
    }
    // Before the store, which would make a missing file.
    if (const std::string bad = checkPianoTuningName(s.name); !bad.empty()) return io.fail(bad);
    std::error_code ec;
    if (!std::filesystem::is_directory(s.dir, ec)) return io.failFile(s.dir, "not a directory");
    TuningStore store(s.dir);
    const std::string path = store.path().string();
    if (!store.hasFile()) return io.failFile(path, "cannot be read or created");
    if (const std::string failed = addPianoTuning(store, s.name, r.targets, s.referenceA);
        !failed.empty()) {
        const bool full = store.tuningsInFile() >= TuningStore::kMaxTunings;
        return io.failFile(path, failed, full ? 1 : 2);
    }
    printTargets(r, io);
    io.out << path << ": tuning " << store.currentTuning() << ' ' << store.currentName() << '\n';
    return 0;
}

}  // namespace merlop::cli
