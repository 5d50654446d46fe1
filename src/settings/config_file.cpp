#include "settings/config_file.h"

#include <cerrno>
#include <cstdio>
#include <string>
#include <string_view>
#include <system_error>

#include "common/atomic_file.h"
#include "settings/settings.h"

namespace merlop {

DefaultConfigResult createDefaultConfig(const std::filesystem::path& path, int* error) {
    const Settings::Image image = Settings::defaultImage();
    const int code = createFile(
        path, std::string_view(reinterpret_cast<const char*>(image.data()), image.size()));
    if (code == 0) return DefaultConfigResult::created;
    if (code == EEXIST) return DefaultConfigResult::exists;
    if (error != nullptr) *error = code;
    return DefaultConfigResult::failed;
}

int moveDamagedConfigAside(const std::filesystem::path& path, std::filesystem::path* movedTo) {
    // Never over an earlier damaged copy: it may be the one somebody wants back.
    std::filesystem::path aside;
    std::error_code ec;
    for (int n = 0; n < 1000; ++n) {
        aside = path.string() + ".damaged" + (n == 0 ? std::string() : "." + std::to_string(n));
        if (!std::filesystem::exists(std::filesystem::symlink_status(aside, ec))) break;
    }
    if (std::rename(path.c_str(), aside.c_str()) != 0) return errno;
    if (movedTo != nullptr) *movedTo = aside;
    int error = 0;
    return createDefaultConfig(path, &error) == DefaultConfigResult::created ? 0 : error;
}

}  // namespace merlop
