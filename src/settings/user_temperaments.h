#pragma once

// The user's own temperaments: Scala files of 12 notes and a 2/1 period, kept as copies in the
// folder "scales" beside merlo301.cfg and listed in file-name order after the table's 75 rows.
// The folder is only read when listed and only written by an import, which never replaces a
// file; a file there that is no temperament is left out of the list and named as skipped.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/scala_scale.h"

namespace merlop {

struct UserTemperament {
    std::filesystem::path file;
    std::string name;  // the scale's description, or the file's stem when that is empty
    std::array<float, 12> offsets{};  // cents from equal temperament per degree from the key
};

struct UserTemperamentImport {
    ScalaError error;     // set when nothing was imported
    bool exists = false;  // refused: a file of that name is already in the folder
    int position = -1;    // in list() once imported
    std::filesystem::path file;
};

// The user temperaments as the General page of Settings lists them after the 75 rows: their
// names, and the one in use (-1: a built-in row).
struct UserTemperamentChoice {
    std::vector<std::string> names;
    int chosen = -1;
};

class UserTemperaments {
  public:
    static constexpr const char* kFolderName = "scales";

    explicit UserTemperaments(const std::filesystem::path& settingsDirectory);

    const std::filesystem::path& folder() const { return folder_; }
    // The temperaments in file-name order; the files left out go to skipped when given.
    std::vector<UserTemperament> list(std::vector<ScalaError>* skipped = nullptr) const;
    // Copies the scale file unchanged as fileName (a plain name ending in .scl) into the folder,
    // made when missing, once it reads as a temperament.
    UserTemperamentImport import(const std::filesystem::path& scale,
                                 const std::string& fileName) const;

  private:
    std::filesystem::path folder_;
};

}  // namespace merlop
