#pragma once

#include <filesystem>

namespace merlop {

enum class DefaultConfigResult { created, exists, failed };

// Writes a default configuration file at `path` unless something is there already; the test
// and the creation are one step, so two programs starting at once cannot both write it, and the
// file appears whole or not at all. On failure *error holds the errno.
DefaultConfigResult createDefaultConfig(const std::filesystem::path& path, int* error = nullptr);

// Renames a damaged configuration file to "<path>.damaged" (or .damaged.1, ... when that is
// taken) and writes a default one in its place. 0 or an errno value; *movedTo names the copy.
int moveDamagedConfigAside(const std::filesystem::path& path, std::filesystem::path* movedTo);

}  // namespace merlop
