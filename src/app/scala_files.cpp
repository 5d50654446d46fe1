#include "app/scala_files.h"

#include <system_error>
#include <utility>

#include "app/frame_view.h"
#include "common/atomic_file.h"
#include "common/message_box.h"
#include "common/translation.h"
#include "settings/scala_convert.h"

namespace merlop {

namespace fs = std::filesystem;

ScalaFiles::ScalaFiles(const fs::path& folder, MessageBox& messages, FileDialogs& dialogs)
    : user_(folder), messages_(messages), dialogs_(dialogs) {}

std::vector<UserTemperament> ScalaFiles::temperaments() const {
    return user_.list();
}

std::optional<std::pair<int, UserTemperament>> ScalaFiles::find(const std::string& file) const {
    const std::vector<UserTemperament> all = user_.list();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].file.filename() == file) return std::make_pair(static_cast<int>(i), all[i]);
    }
    return std::nullopt;
}

std::optional<ScalaFiles::Imported> ScalaFiles::import(int key) {
    const std::string chosen = dialogs_.openScalaFile();
    if (chosen.empty()) return std::nullopt;
    const fs::path file = chosen;
    ScalaScale scale;
    if (const ScalaError e = loadScalaScale(file, &scale); e.failed()) {
        messages_.show(e.text(), translate("MainFrame", kImportScalaCaption));
        return std::nullopt;
    }
    std::error_code ec;
    fs::path kbm = file;
    kbm.replace_extension(".kbm");
    // A keyboard map asks for frequencies, which only a tuning keeps.
    if (!isTemperamentScale(scale) || fs::is_regular_file(kbm, ec)) {
        return importTuning(file, scale, key);
    }
    const UserTemperamentImport result =
        user_.import(file, safeFileName(file.stem().string()) + ".scl");
    if (result.error.failed()) {
        messages_.show(result.error.text(), translate("MainFrame", kImportScalaCaption));
        return std::nullopt;
    }
    Imported imported;
    imported.temperamentFile = result.file.filename().string();
    const auto found = find(imported.temperamentFile);
    imported.name = found ? found->second.name : file.stem().string();
    return imported;
}

std::optional<ScalaFiles::Imported> ScalaFiles::importTuning(const fs::path& file,
                                                             const ScalaScale& scale, int key) {
    ScalaKeyboardMap map = defaultKeyboardMap(key);
    fs::path kbm = file;
    kbm.replace_extension(".kbm");
    std::error_code ec;
    if (fs::is_regular_file(kbm, ec)) {
        if (const ScalaError e = loadScalaKeyboardMap(kbm, &map); e.failed()) {
            messages_.show(e.text(), translate("MainFrame", kImportScalaCaption));
            return std::nullopt;
        }
    }
    const ScalaTuning t = tuningOfScale(scale, map, file.stem().string());
    if (!t.problem.empty()) {
        messages_.show(file.string() + ": " + t.problem,
                       translate("MainFrame", kImportScalaCaption));
        return std::nullopt;
    }
    Imported imported;
    imported.name = t.tuning.nameText();
    imported.tuning = t.tuning;
    if (!t.tooMany.empty()) {
        imported.leftOut = fill(translate("ScalaFiles",
                                          "Left out, beyond the %1 notes a tuning "
                                          "holds: MIDI keys %2. "),
                                {std::to_string(Tuning::kMaxNotes), keyRanges(t.tooMany)});
    }
    if (!t.unsoundable.empty()) {
        imported.leftOut +=
            fill(translate("ScalaFiles", "Left out, pitches no tuner can sound: MIDI keys %1."),
                 {keyRanges(t.unsoundable)});
    }
    return imported;
}

bool ScalaFiles::exportTemperament(const std::array<float, 12>& offsets, const std::string& name,
                                   int key) {
    const std::string description = temperamentDescription(name, key);
    const std::string chosen = dialogs_.saveScalaFile(safeFileName(description));
    if (chosen.empty()) return false;
    const fs::path path = chosen;
    const ScalaScale scale = scaleOfTemperament(offsets, description);
    // The save dialog has asked before an existing file is replaced.
    if (const int error = replaceFile(path, writeScalaScale(scale, path.filename().string()))) {
        messages_.show(writeFailure(path, error), translate("MainFrame", kExportScalaCaption));
        return false;
    }
    return true;
}

}  // namespace merlop
