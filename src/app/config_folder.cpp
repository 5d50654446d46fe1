#include "app/config_folder.h"

#include <cstring>
#include <system_error>

#include "common/translation.h"
#include "settings/config_file.h"
#include "settings/settings.h"

namespace merlop {

namespace fs = std::filesystem;

fs::path configFolder(const char* merlopConfigDir, const char* xdgConfigHome, const char* home) {
    if (merlopConfigDir != nullptr && *merlopConfigDir != '\0') return fs::path(merlopConfigDir);
    if (xdgConfigHome != nullptr && *xdgConfigHome != '\0' &&
        fs::path(xdgConfigHome).is_absolute()) {
        return fs::path(xdgConfigHome) / "merlop";
    }
    const fs::path base = home != nullptr && *home != '\0' ? fs::path(home) : fs::path(".");
    return base / ".config" / "merlop";
}

std::string prepareConfigFolder(const fs::path& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
        if (fs::exists(folder, ec)) {
            return fill(translate("ConfigFolder",
                                  "%1 is not a folder. Merlop keeps its settings in a folder; "
                                  "set MERLOP_CONFIG_DIR to one."),
                        {folder.string()});
        }
        const std::string reason = ec ? ec.message() : translate("ConfigFolder", "not a folder");
        return fill(translate("ConfigFolder", "Cannot create the folder %1: %2"),
                    {folder.string(), reason});
    }
    const fs::path config = folder / Settings::kDefaultFileName;
    int error = 0;
    if (createDefaultConfig(config, &error) == DefaultConfigResult::failed) {
        return fill(translate("ConfigFolder", "Cannot create %1: %2"),
                    {config.string(), std::strerror(error)});
    }
    return {};
}

}  // namespace merlop
