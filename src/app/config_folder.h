#pragma once

#include <filesystem>
#include <string>

namespace merlop {

// The folder the tuner keeps its two files in: $MERLOP_CONFIG_DIR when set, else
// $XDG_CONFIG_HOME/merlop, else ~/.config/merlop. Empty or relative XDG values are ignored, as
// the base-directory rules say. Null pointers stand for unset variables.
std::filesystem::path configFolder(const char* merlopConfigDir, const char* xdgConfigHome,
                                   const char* home);

// Makes the folder and, the first time, a default configuration inside it, so a new user never
// meets the "configuration file missing" box. A file that is there is never touched: a damaged
// one still gets the box, and is not overwritten. Returns what went wrong, empty on success.
std::string prepareConfigFolder(const std::filesystem::path& folder);

}  // namespace merlop
