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

}  // namespace

int analyse(const Args& args, const Io& io) {
    std::string wavPath;
    std::string configPath;
    std::string dir = ".";
    int tuningIndex = -1;
    int noteIndex = -1;
    bool raw = false;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--config") {
            if (!hasValue) return io.fail("--config needs a file");
            configPath = args[++i];
        } else if (a == "--dir") {
            if (!hasValue) return io.fail("--dir needs a directory");
            dir = args[++i];
        } else if (a == "--tuning") {
            if (!hasValue || !parseIndex(args[++i], &tuningIndex)) {
                return io.fail("--tuning takes a tuning index");
            }
        } else if (a == "--note") {
            if (!hasValue || !parseIndex(args[++i], &noteIndex)) {
                return io.fail("--note takes a note index");
            }
        } else if (a == "--raw") {
            raw = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return io.fail("unknown option " + a);
        } else if (wavPath.empty()) {
            wavPath = a;
        } else {
            return io.fail("one WAV file only");
        }
    }
    if (wavPath.empty()) return io.fail("give a WAV file, or - for standard input (see --help)");
    if (noteIndex >= 0 && tuningIndex < 0) return io.fail("--note needs --tuning");

    Settings settings;
    std::string problem;
    if (!configPath.empty()) {
        if (!readConfig(configPath, &settings, &problem)) return io.failFile(configPath, problem);
    } else if (std::error_code ec; std::filesystem::exists(Settings::kDefaultFileName, ec)) {
        // Picked up without being named: say so, since it changes every reading.
        if (!readConfig(Settings::kDefaultFileName, &settings, &problem)) {
            return io.failFile(Settings::kDefaultFileName, problem);
        }
        io.err << "merlop-cli analyse: using the configuration ./" << Settings::kDefaultFileName
               << '\n';
    }

    WavReader reader;
    const bool fromStdin = wavPath == "-";
    const WavStatus status = fromStdin ? reader.openStream(io.in) : reader.open(wavPath);
    if (status != WavStatus::ok) {
        return io.failFile(fromStdin ? "(standard input)" : wavPath, wavStatusMessage(status));
    }

    // The tuner analyses a file with the tuner display alone; ear training has no exercise here.
    settings.earTrainingOn = 0;
    settings.customTuningOn = tuningIndex >= 0 ? 1 : 0;
    CycleOptions options;
    options.tunerOn = true;

    std::unique_ptr<TuningStore> store;
    if (tuningIndex >= 0) {
        problem = openTunings(dir, &store);
        if (!problem.empty()) return io.fail(problem);
        if (tuningIndex >= store->tuningsInFile() || store->readTuning(tuningIndex) != 0) {
            return io.failFile(store->path().string(),
                               "there is no tuning " + std::to_string(tuningIndex));
        }
        if (noteIndex >= store->noteCount()) {
            return io.fail("tuning " + std::to_string(tuningIndex) + " has no note " +
                           std::to_string(noteIndex));
        }
        options.customTuningOn = true;
        options.fixedTuningNote = noteIndex;
        options.recordReadings = store->recordReadings() != 0;
        for (int i = 0; i < store->noteCount(); ++i)
            options.tuningMidiKeys.push_back(store->note(i));
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

    io.out << (raw ? "time_s,note,frequency_hz,cents,tuning_note,level,raw_frequency_hz\n"
                   : "time_s,note,frequency_hz,cents,tuning_note,level\n");

    const bool fine = settings.fineTuning != 0;
    const double blockSeconds = static_cast<double>(config.analysisLength) / config.sampleRate;
    SampleRange range;
    char line[256];
    char cents[32];
    char frequency[32];
    char rawFrequency[32];
    for (long block = 0; reader.readBlock(cycle.sampleBuffer(), cycle.length(), &range); ++block) {
        cycle.analyseBuffer(range.max, range.min);
        const PitchReading& r = cycle.lastReading();

        // What the tuner window shows: in custom tuning a reading more than half a semitone
        // from its tuning note counts as none.
        bool shown = r.note >= 0;
        if (shown && options.customTuningOn && std::fabs(r.deviation) > 0.5f) shown = false;

        std::string name;
        std::string description;
        cents[0] = '\0';
        std::snprintf(frequency, sizeof frequency, "-1");
        if (shown) {
            // Named as the tuner names it: as written for the instrument, a custom tuning's
            // notes as they sound.
            name = pitch.fullNoteName(
                options.customTuningOn ? r.note
                                       : PitchModel::writtenNote(r.note, settings.instrumentKey));
            formatCents(cents, sizeof cents, r.deviation, fine);
            std::snprintf(frequency, sizeof frequency, "%.2f", r.frequency);
            if (store && r.tuningIndex >= 0)
                description = csvField(store->description(r.tuningIndex));
        }
        const int n =
            std::snprintf(line, sizeof line, "%.3f,%s,%s,%s,%s,%d", block * blockSeconds,
                          name.c_str(), frequency, cents, description.c_str(), range.level());
        io.out.write(line, std::min<int>(n, sizeof line - 1));
        if (raw) {
            const float f = cycle.rawFrequency();
            if (f > 0.0f) {
                std::snprintf(rawFrequency, sizeof rawFrequency, ",%.2f\n", f);
            } else {
                std::snprintf(rawFrequency, sizeof rawFrequency, ",-1\n");
            }
            io.out << rawFrequency;
        } else {
            io.out << '\n';
        }
    }
    io.out.flush();
    return 0;
}

}  // namespace merlop::cli
