#include "settings/config_file.h"

#include <cerrno>
#include <cstdio>
#include <system_error>

#include "common/file_ptr.h"
#include "settings/settings.h"

namespace merlop {

DefaultConfigResult createDefaultConfig(const std::filesystem::path& path, int* error) {
    auto fail = [error](int code) {
        if (error != nullptr) *error = code;
        return DefaultConfigResult::failed;
    };
    // "x": fails with EEXIST instead of truncating a file that is there.
    FilePtr file(std::fopen(path.c_str(), "wbx"));
    if (!file) {
        if (errno == EEXIST) return DefaultConfigResult::exists;
        return fail(errno);
    }
    const Settings::Image image = Settings::defaultImage();
    const bool written = std::fwrite(image.data(), 1, image.size(), file.get()) == image.size();
    const int writeErrno = errno;
    if (!written || std::fclose(file.release()) != 0) {
        const int code = written ? errno : writeErrno;
        std::error_code ec;
        std::filesystem::remove(path, ec);
        return fail(code != 0 ? code : EIO);
    }
    return DefaultConfigResult::created;
}

}  // namespace merlop
