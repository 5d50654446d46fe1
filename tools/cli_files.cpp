#include "cli_files.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "common/file_ptr.h"

namespace merlop::cli {

std::string readConfigImage(const std::string& path, Settings::Image* image) {
    const FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return std::string("cannot open: ") + std::strerror(errno);
    if (!Settings::readImage(file.get(), image)) {
        return "shorter than " + std::to_string(Settings::kFileSize) +
               " bytes, not a configuration file";
    }
    return {};
}

std::string openTunings(const std::string& dir, std::unique_ptr<TuningStore>* store) {
    const std::filesystem::path path = std::filesystem::path(dir) / TuningStore::kFileName;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    // The store would create a missing file and fill an empty one; a reading command must not.
    if (ec) return path.string() + ": no tunings file (merlop-cli init-tunings creates one)";
    if (size == 0) return path.string() + ": empty, no tunings";
    *store = std::make_unique<TuningStore>(dir);
    if (!(*store)->hasFile()) return path.string() + ": cannot be read";
    return {};
}

}  // namespace merlop::cli
