// merlop-cli scala: Scala scale files in (as user temperaments or custom tunings) and out.
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <ostream>
#include <string>
#include <system_error>
#include <vector>

#include "cli_commands.h"
#include "common/atomic_file.h"
#include "pitch/temperament_table.h"
#include "settings/scala_convert.h"
#include "settings/scala_scale.h"
#include "settings/tuning_presets.h"
#include "settings/tuning_store.h"
#include "settings/user_temperaments.h"

namespace merlop::cli {

namespace {

namespace fs = std::filesystem;

constexpr const char* kUsage =
    "usage: merlop-cli scala import FILE.scl [--kbm FILE.kbm] [--name NAME] [--key KEY] "
    "[--dir DIR]\n"
    "       merlop-cli scala export INDEX [--key KEY] [--dir DIR] OUT.scl\n"
    "       merlop-cli scala export --all [--key KEY] DIR";

struct ScalaArgs {
    std::string kbm;
    std::string name;
    std::string dir = ".";
    int key = 0;
    bool all = false;
    std::vector<std::string> operands;
};

int keyOf(const std::string& name) {
    static const char* const kSharps[12] = {"C",  "C#", "D",  "D#", "E",  "F",
                                            "F#", "G",  "G#", "A",  "A#", "B"};
    for (int i = 0; i < 12; ++i) {
        if (name == kSharps[i] || name == keyName(i)) return i;
    }
    return -1;
}

// 0 when the arguments make sense, else the exit status after the complaint.
int parseArgs(const Args& args, const Io& io, ScalaArgs* out) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if ((a == "--kbm" || a == "--name" || a == "--dir" || a == "--key") && !hasValue) {
            return io.fail(a + " needs a value");
        }
        if (a == "--kbm") {
            out->kbm = args[++i];
        } else if (a == "--name") {
            out->name = args[++i];
        } else if (a == "--dir") {
            out->dir = args[++i];
        } else if (a == "--key") {
            if ((out->key = keyOf(args[++i])) < 0)
                return io.fail("--key takes a note name from C to B");
        } else if (a == "--all") {
            out->all = true;
        } else if (a.size() > 1 && a[0] == '-') {
            return io.fail("unknown option '" + a + "'");
        } else {
            out->operands.push_back(a);
        }
    }
    return 0;
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

int importTemperament(const ScalaArgs& a, const std::string& file, const Io& io) {
    const std::string stem = a.name.empty() ? fs::path(file).stem().string() : a.name;
    const UserTemperaments user(a.dir);
    const UserTemperamentImport result = user.import(file, safeFileName(stem) + ".scl");
    if (result.error.failed()) return io.fail(result.error.text(), result.exists ? 1 : 2);
    const auto all = user.list();
    // Another program may have changed the folder in between.
    if (result.position < 0 || result.position >= static_cast<int>(all.size())) {
        io.out << result.file.string() << ": copied\n";
        return 0;
    }
    io.out << result.file.string() << ": user temperament "
           << TemperamentTable::kRows + result.position << ' '
           << all[static_cast<std::size_t>(result.position)].name << '\n';
    return 0;
}

void tellLeftOut(const ScalaTuning& t, const Io& io) {
    if (!t.tooMany.empty()) {
        io.out << "left out, beyond the " << Tuning::kMaxNotes
               << " notes a tuning holds: MIDI keys " << keyRanges(t.tooMany) << '\n';
    }
    if (!t.unsoundable.empty()) {
        io.out << "left out, pitches no tuner can sound: MIDI keys " << keyRanges(t.unsoundable)
               << '\n';
    }
}

int importTuning(const ScalaArgs& a, const std::string& file, const ScalaScale& scale,
                 const Io& io) {
    ScalaKeyboardMap map = defaultKeyboardMap(a.key);
    if (!a.kbm.empty()) {
        const ScalaError e = loadScalaKeyboardMap(a.kbm, &map);
        if (e.failed()) return io.fail(e.text());
    }
    const std::string name = a.name.empty() ? fs::path(file).stem().string() : a.name;
    const ScalaTuning t = tuningOfScale(scale, map, name);
    if (!t.problem.empty()) return io.failFile(a.kbm.empty() ? file : a.kbm, t.problem);
    TuningStore store(a.dir);
    const std::string path = store.path().string();
    if (!store.hasFile()) return io.failFile(path, "cannot be read or created");
    const std::string problem = addPresetTuning(store, TuningPreset{"scala", t.tuning});
    if (!problem.empty()) {
        const bool full = store.tuningsInFile() >= TuningStore::kMaxTunings;
        return io.failFile(path, problem, full ? 1 : 2);
    }
    io.out << path << ": custom tuning " << store.currentTuning() << ' ' << store.currentName()
           << ", " << store.noteCount() << " notes\n";
    tellLeftOut(t, io);
    return 0;
}

int importScale(const ScalaArgs& a, const Io& io) {
    if (a.operands.size() != 2 || a.all) return io.fail(kUsage);
    if (!isDirectory(a.dir)) return io.failFile(a.dir, "not a directory");
    const std::string& file = a.operands[1];
    ScalaScale scale;
    const ScalaError e = loadScalaScale(file, &scale);
    if (e.failed()) return io.fail(e.text());
    // A keyboard map asks for frequencies, which only a tuning keeps.
    if (isTemperamentScale(scale) && a.kbm.empty()) return importTemperament(a, file, io);
    return importTuning(a, file, scale, io);
}

int writeNew(const fs::path& path, const ScalaScale& scale, const Io& io) {
    const int error = createFile(path, writeScalaScale(scale, path.filename().string()));
    if (error == EEXIST) return io.failFile(path.string(), "already exists; left unchanged", 1);
    if (error != 0) {
        return io.failFile(path.string(), std::string("cannot create: ") + std::strerror(error));
    }
    return 0;
}

int exportAll(const ScalaArgs& a, const Io& io) {
    if (a.operands.size() != 2) return io.fail(kUsage);
    const fs::path dir = a.operands[1];
    if (!isDirectory(dir.string())) return io.failFile(dir.string(), "not a directory");
    std::vector<fs::path> paths;
    for (int i = 0; i < TemperamentTable::kRows; ++i) {
        paths.push_back(dir / (safeFileName(TemperamentTable::name(i)) + ".scl"));
        std::error_code ec;
        // All or none: a file in the way is found before anything is written.
        if (fs::exists(paths.back(), ec) || ec) {
            return io.failFile(paths.back().string(), "already exists; nothing written", 1);
        }
    }
    for (int i = 0; i < TemperamentTable::kRows; ++i) {
        const ScalaScale scale = scaleOfTemperament(
            TemperamentTable::row(i), temperamentDescription(TemperamentTable::name(i), a.key));
        if (const int status = writeNew(paths[static_cast<std::size_t>(i)], scale, io)) {
            return status;
        }
    }
    io.out << dir.string() << ": " << TemperamentTable::kRows << " temperaments\n";
    return 0;
}

int exportOne(const ScalaArgs& a, const Io& io) {
    if (a.operands.size() != 3) return io.fail(kUsage);
    const std::string& text = a.operands[1];
    char* end = nullptr;
    const long index = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || index < 0) {
        return io.fail("'" + text + "' is no temperament index");
    }
    ScalaScale scale;
    if (index < TemperamentTable::kRows) {
        const int row = static_cast<int>(index);
        scale = scaleOfTemperament(TemperamentTable::row(row),
                                   temperamentDescription(TemperamentTable::name(row), a.key));
    } else {
        const auto user = UserTemperaments(a.dir).list();
        const auto at = static_cast<std::size_t>(index - TemperamentTable::kRows);
        if (at >= user.size()) {
            return io.fail("no temperament " + text + ": there are " +
                           std::to_string(TemperamentTable::kRows + user.size()));
        }
        scale = scaleOfTemperament(user[at].offsets, temperamentDescription(user[at].name, a.key));
    }
    const fs::path out = a.operands[2];
    if (const int status = writeNew(out, scale, io)) return status;
    io.out << out.string() << '\n';
    return 0;
}

}  // namespace

int scala(const Args& args, const Io& io) {
    ScalaArgs a;
    if (const int status = parseArgs(args, io, &a)) return status;
    if (a.operands.empty()) return io.fail(kUsage);
    if (a.operands[0] == "import") return importScale(a, io);
    if (a.operands[0] == "export") return a.all ? exportAll(a, io) : exportOne(a, io);
    return io.fail(kUsage);
}

}  // namespace merlop::cli
