// merlop-cli init-config, init-tunings, show-config and tunings: the two files the tuner keeps.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <ostream>
#include <string>
#include <system_error>

#include "cli_commands.h"
#include "cli_files.h"
#include "common/atomic_file.h"
#include "common/file_ptr.h"
#include "settings/config_file.h"
#include "settings/cp1252.h"
#include "settings/settings.h"
#include "settings/tuning_presets.h"
#include "settings/tuning_store.h"

namespace merlop::cli {

namespace {

namespace fs = std::filesystem;

// The one optional argument of these commands; false when there are more, or an option.
bool optionalArgument(const Args& args, const std::string& fallback, std::string* out) {
    if (args.size() > 1 || (!args.empty() && (args[0].empty() || args[0][0] == '-'))) {
        return false;
    }
    *out = args.empty() ? fallback : args[0];
    return true;
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

}  // namespace

int initConfig(const Args& args, const Io& io) {
    std::string dir;
    if (!optionalArgument(args, ".", &dir)) return io.fail("usage: merlop-cli init-config [DIR]");
    if (!isDirectory(dir)) return io.failFile(dir, "not a directory");

    const std::string path = (fs::path(dir) / Settings::kDefaultFileName).string();
    int error = 0;
    switch (createDefaultConfig(path, &error)) {
        case DefaultConfigResult::created:
            break;
        case DefaultConfigResult::exists:
            return io.failFile(path, "already exists; left unchanged", 1);
        case DefaultConfigResult::failed:
            return io.failFile(path, std::string("cannot create: ") + std::strerror(error));
    }
    io.out << path << '\n';
    return 0;
}

namespace {

std::string presetIds() {
    std::string ids;
    for (const TuningPreset& p : tuningPresets())
        ids += (ids.empty() ? "" : ", ") + std::string(p.id);
    return ids;
}

// The preset goes after the tunings the file has, which is made first when there is none.
int addPreset(const std::string& dir, const std::string& id, const Io& io) {
    const TuningPreset* preset = findTuningPreset(id);
    if (preset == nullptr) return io.fail("no preset " + id + "; the presets: " + presetIds());
    TuningStore store(dir);
    const std::string path = store.path().string();
    if (!store.hasFile()) return io.failFile(path, "cannot be read or created");
    const std::string problem = addPresetTuning(store, *preset);
    if (!problem.empty()) {
        const bool full = store.tuningsInFile() >= TuningStore::kMaxTunings;
        return io.failFile(path, problem, full ? 1 : 2);
    }
    io.out << path << ": tuning " << store.currentTuning() << ' ' << store.currentName() << '\n';
    return 0;
}

}  // namespace

int initTunings(const Args& args, const Io& io) {
    Args rest = args;
    std::string preset;
    if (rest.size() >= 2 && rest[0] == "--preset") {
        preset = rest[1];
        rest.erase(rest.begin(), rest.begin() + 2);
    }
    std::string dir;
    if (!optionalArgument(rest, ".", &dir)) {
        return io.fail("usage: merlop-cli init-tunings [--preset NAME] [DIR]");
    }
    if (!isDirectory(dir)) return io.failFile(dir, "not a directory");
    if (!preset.empty()) return addPreset(dir, preset, io);

    const fs::path path = fs::path(dir) / TuningStore::kFileName;
    std::error_code ec;
    if (fs::exists(path, ec) || ec) {
        return io.failFile(path.string(), "already exists; left unchanged", 1);
    }
    // Written whole or not at all, so a failure leaves no file behind.
    const int error = createFile(path, TuningStore::newFileImage());
    if (error == EEXIST) return io.failFile(path.string(), "already exists; left unchanged", 1);
    if (error != 0) {
        return io.failFile(path.string(), std::string("cannot create: ") + std::strerror(error));
    }
    io.out << path.string() << '\n';
    return 0;
}

int showConfig(const Args& args, const Io& io) {
    std::string given;
    if (!optionalArgument(args, Settings::kDefaultFileName, &given)) {
        return io.fail("usage: merlop-cli show-config [FILE]");
    }
    const std::string path = Settings::configPath(given).string();
    Settings::Image image{};
    const std::string problem = readConfigImage(path, &image);
    if (!problem.empty()) return io.failFile(path, problem);

    // The file's own values go to out; what the tuner would make of odd ones goes to err.
    const Settings raw = Settings::fromImage(image);
    Settings used = raw;
    used.normalise();
    const auto rawFields = raw.fieldsInFileOrder();
    const auto usedFields = used.fieldsInFileOrder();
    for (const auto& field : rawFields) io.out << field.first << " = " << field.second << '\n';
    io.out.flush();
    for (std::size_t i = 0; i < rawFields.size(); ++i) {
        if (rawFields[i].second != usedFields[i].second) {
            io.err << "merlop-cli show-config: " << rawFields[i].first << " = "
                   << rawFields[i].second << " is out of range; the tuner uses "
                   << usedFields[i].second << '\n';
        }
    }
    return 0;
}

// A tuning text as the tuner shows it, quoted; what shows no character (controls, the code page's
// undefined bytes) is given as the file's byte, escaped like any odd byte.
std::string quotedName(const std::string& utf8) {
    const std::string bytes = toCp1252(utf8).bytes;
    std::string out = "\"";
    std::string run;
    const auto flush = [&] {
        const std::string q = quotedText(run);
        out += q.substr(1, q.size() - 2);
        run.clear();
    };
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        const bool shown = c >= 0xA0 || (c >= 0x80 && c != 0x81 && c != 0x8D && c != 0x8F &&
                                         c != 0x90 && c != 0x9D);
        if (shown) {
            flush();
            out += cp1252ToUtf8(std::string_view(&ch, 1));
        } else {
            run += ch;
        }
    }
    flush();
    return out + '"';
}

int tunings(const Args& args, const Io& io) {
    std::string dir = ".";
    bool dirGiven = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--dir" && i + 1 < args.size() && !dirGiven) {
            dir = args[++i];
            dirGiven = true;
        } else if (!dirGiven && !args[i].empty() && args[i][0] != '-') {
            dir = args[i];
            dirGiven = true;
        } else {
            return io.fail("usage: merlop-cli tunings [--dir DIR]");
        }
    }
    if (!isDirectory(dir)) return io.failFile(dir, "not a directory");

    std::unique_ptr<TuningStore> store;
    const std::string problem = openTunings(dir, &store);
    if (!problem.empty()) return io.fail(problem);
    char frequency[32];
    io.out << store->path().string() << ": " << store->tuningsInFile() << " tunings\n";
    for (int i = 0; i < store->tuningsInFile(); ++i) {
        if (store->readTuning(i) != 0) return io.fail("cannot read tuning " + std::to_string(i));
        io.out << "tuning " << i << ": " << quotedName(store->currentName()) << "  instrument "
               << store->instrument() << "  auto reference tone " << store->autoReferenceTone()
               << "  record readings " << store->recordReadings() << "  notes "
               << store->noteCount() << '\n';
        for (int k = 0; k < store->noteCount(); ++k) {
            std::snprintf(frequency, sizeof frequency, "%.3f",
                          static_cast<double>(store->frequency(k)));
            io.out << "  note " << k << ": " << quotedName(store->description(k)) << "  MIDI "
                   << store->note(k) << "  " << frequency << " Hz\n";
        }
    }
    return 0;
}

}  // namespace merlop::cli
