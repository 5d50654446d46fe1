#include "settings/user_temperaments.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstring>
#include <system_error>

#include "common/atomic_file.h"
#include "common/translation.h"
#include "settings/scala_convert.h"

namespace merlop {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t kMaxScaleFileBytes = 4u << 20;

bool isSclName(const fs::path& p) {
    std::string ext = p.extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return ext == ".scl";
}

ScalaError notTemperament(const std::string& file, const ScalaScale& scale) {
    return ScalaError{file, 0,
                      fill(translate("UserTemperaments",
                                     "a temperament has 12 notes and a "
                                     "period of 2/1; this scale has %1"),
                           {std::to_string(scale.size())})};
}

}  // namespace

UserTemperaments::UserTemperaments(const fs::path& settingsDirectory)
    : folder_(settingsDirectory / kFolderName) {}

std::vector<UserTemperament> UserTemperaments::list(std::vector<ScalaError>* skipped) const {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(folder_, ec), end; !ec && it != end; it.increment(ec)) {
        if (isSclName(it->path()) && !it->is_directory(ec)) files.push_back(it->path());
    }
    std::sort(files.begin(), files.end(),
              [](const fs::path& a, const fs::path& b) { return a.filename() < b.filename(); });
    std::vector<UserTemperament> all;
    for (const fs::path& f : files) {
        ScalaScale scale;
        ScalaError e = loadScalaScale(f, &scale);
        if (!e.failed() && !isTemperamentScale(scale)) e = notTemperament(f.string(), scale);
        if (e.failed()) {
            if (skipped != nullptr) skipped->push_back(e);
            continue;
        }
        UserTemperament t;
        t.file = f;
        t.name = scale.description.empty() ? f.stem().string() : scale.description;
        t.offsets = temperamentRow(scale);
        all.push_back(std::move(t));
    }
    return all;
}

UserTemperamentImport UserTemperaments::import(const fs::path& scalePath,
                                               const std::string& fileName) const {
    UserTemperamentImport result;
    result.file = folder_ / fileName;
    const fs::path name(fileName);
    if (fileName.empty() || name.filename() != name || !isSclName(name) || fileName[0] == '.') {
        result.error = ScalaError{
            fileName, 0, translate("UserTemperaments", "not a plain file name ending in .scl")};
        return result;
    }
    std::string bytes;
    const std::string why = readSmallFile(scalePath, kMaxScaleFileBytes, &bytes);
    if (!why.empty()) {
        result.error = ScalaError{scalePath.string(), 0, why};
        return result;
    }
    ScalaScale scale;
    result.error = readScalaScale(bytes, scalePath.string(), &scale);
    if (result.error.failed()) return result;
    if (!isTemperamentScale(scale)) {
        result.error = notTemperament(scalePath.string(), scale);
        return result;
    }
    std::error_code ec;
    fs::create_directories(folder_, ec);
    const int error = createFile(result.file, bytes);
    if (error != 0) {
        result.exists = error == EEXIST;
        const std::string message =
            result.exists
                ? translate("UserTemperaments", "already exists; left unchanged")
                : fill(translate("UserTemperaments", "cannot create: %1"), {std::strerror(error)});
        result.error = ScalaError{result.file.string(), 0, message};
        return result;
    }
    const std::vector<UserTemperament> all = list();
    for (std::size_t i = 0; i < all.size(); ++i) {
        if (all[i].file == result.file) result.position = static_cast<int>(i);
    }
    return result;
}

}  // namespace merlop
