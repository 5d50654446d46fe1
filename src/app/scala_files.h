#pragma once

// File / "Import Scala Scale..." and "Export Scala Scale...": a scale of twelve notes to the
// octave becomes a user temperament (a copy in the settings folder's "scales"), any other a
// custom tuning; the temperament in use goes out as a .scl.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "common/translation.h"
#include "settings/tuning_store.h"
#include "settings/user_temperaments.h"

namespace merlop {

class FileDialogs;
class MessageBox;

inline constexpr char kImportScalaCaption[] = MERLOP_TR_NOOP("MainFrame", "Import Scala Scale");
inline constexpr char kExportScalaCaption[] = MERLOP_TR_NOOP("MainFrame", "Export Scala Scale");

class ScalaFiles {
  public:
    // folder: where merlo301.cfg is.
    ScalaFiles(const std::filesystem::path& folder, MessageBox& messages, FileDialogs& dialogs);

    std::vector<UserTemperament> temperaments() const;
    // The user temperament kept as `file` in the folder, and its place in the list; none when
    // it has gone.
    std::optional<std::pair<int, UserTemperament>> find(const std::string& file) const;

    struct Imported {
        // A temperament: its file in the folder; else a tuning to add.
        std::string temperamentFile;
        std::string name;
        std::optional<Tuning> tuning;
        std::string leftOut;  // the MIDI keys a tuning could not take, told to the user
    };
    // Asks for a .scl (a .kbm of the same name beside it maps a tuning's keys; without one the
    // scale starts on `key` at A 440) and reads it; a problem is shown and gives none.
    std::optional<Imported> import(int key);
    // Asks where to write the temperament and writes it; false when cancelled or it failed
    // (shown).
    bool exportTemperament(const std::array<float, 12>& offsets, const std::string& name, int key);

  private:
    std::optional<Imported> importTuning(const std::filesystem::path& file, const ScalaScale& scale,
                                         int key);

    UserTemperaments user_;
    MessageBox& messages_;
    FileDialogs& dialogs_;
};

}  // namespace merlop
