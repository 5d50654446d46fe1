// merlop-cli analyse: runs a WAV file through the tuner's file-mode analysis, as fast as it can,
// and prints one CSV line per analysed block.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <istream>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>

#include "audio/analysis_cycle.h"
#include "audio/capture_config.h"
#include "audio/strobe_analyser.h"
#include "audio/wav_reader.h"
#include "cli_commands.h"
#include "cli_files.h"
#include "pitch/pitch_model.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"

namespace merlop::cli {

namespace {

bool parseIndex(const std::string& text, int* out) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < 0 || v > 1000000) return false;
    *out = static_cast<int>(v);
    return true;
}

// The settings as a configuration file holds them; the file is only read, never written.
bool readConfig(const std::string& path, Settings* settings, std::string* problem) {
    Settings::Image image{};
    *problem = readConfigImage(path, &image);
    if (!problem->empty()) return false;
    *settings = Settings::fromImage(image);
    settings->normalise();
    return true;
}

// Cents as the meter shows them: tenths with fine tuning, else whole cents (100.1 lets a float
// deviation such as 0.07 read 7).
void formatCents(char* out, std::size_t size, float deviation, bool fine) {
    if (fine) {
        // Rounded to the tenth shown first, so that -0.04 reads 0.0 rather than -0.0.
        const double cents = std::round(deviation * 1000.0) / 10.0 + 0.0;
        std::snprintf(out, size, "%.1f", cents);
    } else {
        std::snprintf(out, size, "%d", static_cast<int>(std::trunc(deviation * 100.1)));
    }
}

// Descriptions may carry padding blanks; a CSV field quotes only what needs quoting.
std::string csvField(const std::string& text) {
    if (text.find_first_of(",\"\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

struct AnalyseArgs {
    std::string wavPath;
    std::string configPath;
    std::string dir = ".";
    int tuningIndex = -1;
    int noteIndex = -1;
    bool raw = false;
    bool fine = false;
    bool autoSensitivity = false;
    bool strobe = false;
};

// The option that takes no value, or null.
bool* switchOf(const std::string& a, AnalyseArgs* out) {
    if (a == "--raw") return &out->raw;
    if (a == "--fine") return &out->fine;
    if (a == "--auto-sensitivity") return &out->autoSensitivity;
    if (a == "--strobe") return &out->strobe;
    return nullptr;
}

// 0 when the arguments make sense, else the exit status after the complaint.
int parseArgs(const Args& args, const Io& io, AnalyseArgs* out) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--config") {
            if (!hasValue) return io.fail("--config needs a file");
            out->configPath = args[++i];
        } else if (a == "--dir") {
            if (!hasValue) return io.fail("--dir needs a directory");
            out->dir = args[++i];
        } else if (a == "--tuning") {
            if (!hasValue || !parseIndex(args[++i], &out->tuningIndex)) {
                return io.fail("--tuning takes a tuning index");
            }
        } else if (a == "--note") {
            if (!hasValue || !parseIndex(args[++i], &out->noteIndex)) {
                return io.fail("--note takes a note index");
            }
        } else if (bool* flag = switchOf(a, out); flag != nullptr) {
            *flag = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return io.fail("unknown option " + a);
        } else if (out->wavPath.empty()) {
            out->wavPath = a;
        } else {
            return io.fail("one WAV file only");
        }
    }
    return 0;
}

// 0 when the arguments together name what to analyse, else the exit status after the complaint.
int checkArgs(const AnalyseArgs& a, const Io& io) {
    if (a.wavPath.empty()) return io.fail("give a WAV file, or - for standard input (see --help)");
    if (a.noteIndex >= 0 && a.tuningIndex < 0) return io.fail("--note needs --tuning");
    return 0;
}

// The named configuration, else one in the working folder, else the defaults; 0 or the exit
// status after the complaint.
int loadSettings(const std::string& configPath, const Io& io, Settings* settings) {
    std::string problem;
    if (!configPath.empty()) {
        if (!readConfig(configPath, settings, &problem)) return io.failFile(configPath, problem);
    } else if (std::error_code ec; std::filesystem::exists(Settings::kDefaultFileName, ec)) {
        // Picked up without being named: say so, since it changes every reading.
        if (!readConfig(Settings::kDefaultFileName, settings, &problem)) {
            return io.failFile(Settings::kDefaultFileName, problem);
        }
        io.err << "merlop-cli analyse: using the configuration ./" << Settings::kDefaultFileName
               << '\n';
    }
    return 0;
}

// Opens the tuning to read against and sets the options for it; 0 or the exit status after the
// complaint.
int loadTuning(const AnalyseArgs& a, const Io& io, std::unique_ptr<TuningStore>* store,
               CycleOptions* options) {
    const std::string problem = openTunings(a.dir, store);
    if (!problem.empty()) return io.fail(problem);
    TuningStore& s = **store;
    if (a.tuningIndex >= s.tuningsInFile() || s.readTuning(a.tuningIndex) != 0) {
        return io.failFile(s.path().string(),
                           "there is no tuning " + std::to_string(a.tuningIndex));
    }
    if (a.noteIndex >= s.noteCount()) {
        return io.fail("tuning " + std::to_string(a.tuningIndex) + " has no note " +
                       std::to_string(a.noteIndex));
    }
    options->customTuningOn = true;
    options->fixedTuningNote = a.noteIndex;
    options->recordReadings = s.recordReadings() != 0;
    for (int i = 0; i < s.noteCount(); ++i) options->tuningMidiKeys.push_back(s.note(i));
    return 0;
}

// What every line of one run shares.
struct LineContext {
    const PitchModel& pitch;
    const TuningStore* store;
    int instrumentKey;
    bool customTuning;
    bool fine;
    bool raw;
    double blockSeconds;
};

// What the tuner window shows: in custom tuning a reading more than half a semitone from its
// tuning note counts as none.
bool shownReading(const LineContext& c, const PitchReading& r) {
    return r.note >= 0 && !(c.customTuning && std::fabs(r.deviation) > 0.5f);
}

// The strobe's rows for the block, each empty while it rests.
void printStrobe(std::ostream& out, const StrobeAnalyser& strobe) {
    for (const StrobeRow& row : strobe.rows()) {
        char text[32] = ",";
        if (!row.resting) std::snprintf(text, sizeof text, ",%.3f", row.cents + 0.0);
        out << text;
    }
}

// One CSV line for the reading of a block, without its end.
void printReading(std::ostream& out, const LineContext& c, long block, const PitchReading& r,
                  int level, float rawFrequency) {
    const bool shown = shownReading(c, r);

    char line[256];
    char cents[32];
    char frequency[32];
    std::string name;
    std::string description;
    cents[0] = '\0';
    std::snprintf(frequency, sizeof frequency, "-1");
    if (shown) {
        // Named as the tuner names it: as written for the instrument, a custom tuning's notes as
        // they sound.
        name = c.pitch.fullNoteName(
            c.customTuning ? r.note : PitchModel::writtenNote(r.note, c.instrumentKey));
        formatCents(cents, sizeof cents, r.deviation, c.fine);
        std::snprintf(frequency, sizeof frequency, "%.2f", r.frequency);
        if (c.store != nullptr && r.tuningIndex >= 0) {
            description = csvField(c.store->description(r.tuningIndex));
        }
    }
    const int n = std::snprintf(line, sizeof line, "%.3f,%s,%s,%s,%s,%d", block * c.blockSeconds,
                                name.c_str(), frequency, cents, description.c_str(), level);
    out.write(line, std::min<int>(n, sizeof line - 1));
    if (!c.raw) return;
    char rawText[64];
    int note = -1;
    float deviation = 0.0f;
    if (rawFrequency > 0.0f && c.pitch.nearestNote(rawFrequency, &deviation) >= 0) {
        c.pitch.splitNoteValue(c.pitch.noteValueOf(rawFrequency), &note, &deviation);
        // From the note's own frequency in double: the float note value alone keeps only about
        // a thousandth of a cent.
        const double cents = 1200.0 * std::log2(static_cast<double>(rawFrequency) /
                                                c.pitch.frequencyOfNote(note, 0.0f));
        std::snprintf(rawText, sizeof rawText, ",%.4f,%.3f", rawFrequency, cents + 0.0);
    } else if (rawFrequency > 0.0f) {
        std::snprintf(rawText, sizeof rawText, ",%.4f,", rawFrequency);
    } else {
        std::snprintf(rawText, sizeof rawText, ",-1,");
    }
    out << rawText;
}

StrobeParams strobeParams(const Settings& settings, const CaptureConfig& config) {
    StrobeParams p;
    p.effectiveRate = config.effectiveRate;
    p.sampleBits = config.analysisBits;
    p.sensitivityDb = static_cast<float>(settings.sensitivityDb);
    p.hammingWindow = settings.hammingWindow;
    return p;
}

// The header and a line per block of the file; with a strobe its columns last.
void printLines(std::ostream& out, const LineContext& context, WavReader& reader,
                AnalysisCycle& cycle, StrobeAnalyser* strobe) {
    out << "time_s,note,frequency_hz,cents,tuning_note,level"
        << (context.raw ? ",raw_frequency_hz,raw_cents" : "")
        << (strobe != nullptr ? ",strobe_1,strobe_2,strobe_4" : "") << '\n';
    SampleRange range;
    for (long block = 0; reader.readBlock(cycle.sampleBuffer(), cycle.length(), &range); ++block) {
        cycle.analyseBuffer(range.max, range.min);
        printReading(out, context, block, cycle.lastReading(), range.level(), cycle.rawFrequency());
        if (strobe != nullptr) {
            strobe->analyse(cycle.sampleBuffer(), cycle.length(), cycle.shownTargetHz());
            printStrobe(out, *strobe);
        }
        out << '\n';
    }
}

}  // namespace

int analyse(const Args& args, const Io& io) {
    AnalyseArgs a;
    if (const int status = parseArgs(args, io, &a); status != 0) return status;
    if (const int status = checkArgs(a, io); status != 0) return status;

    Settings settings;
    if (const int status = loadSettings(a.configPath, io, &settings); status != 0) return status;

    WavReader reader;
    const bool fromStdin = a.wavPath == "-";
    const WavStatus status = fromStdin ? reader.openStream(io.in) : reader.open(a.wavPath);
    if (status != WavStatus::ok) {
        return io.failFile(fromStdin ? "(standard input)" : a.wavPath, wavStatusMessage(status));
    }

    // The tuner analyses a file with the tuner display alone; ear training has no exercise here.
    settings.earTrainingOn = 0;
    if (a.fine) settings.fineTuning = 1;
    settings.customTuningOn = a.tuningIndex >= 0 ? 1 : 0;
    CycleOptions options;  // the tuner display alone
    options.autoSensitivity = a.autoSensitivity;

    std::unique_ptr<TuningStore> store;
    if (a.tuningIndex >= 0) {
        if (const int failed = loadTuning(a, io, &store, &options); failed != 0) return failed;
    }

    CaptureMode mode;
    mode.fileMode = true;
    mode.fileSampleRate = reader.sampleRate();
    mode.fileBitsPerSample = reader.bitsPerSample();
    const CaptureConfig config =
        configureCapture(settings, CaptureCandidates{}, settings.sampleRate, mode);

    PitchModel pitch;
    configurePitchModel(pitch, settings, store ? store->frequencies() : nullptr,
                        store ? store->noteCount() : 0);

    AnalysisCycle cycle(settings, config, pitch, options);
    cycle.startRun();

    const LineContext context{pitch,
                              store.get(),
                              settings.instrumentKey,
                              options.customTuningOn,
                              settings.fineTuning != 0,
                              a.raw,
                              static_cast<double>(config.analysisLength) / config.sampleRate};
    std::unique_ptr<StrobeAnalyser> strobe;
    if (a.strobe) strobe = std::make_unique<StrobeAnalyser>(strobeParams(settings, config));
    printLines(io.out, context, reader, cycle, strobe.get());
    io.out.flush();
    return 0;
}

}  // namespace merlop::cli
