#pragma once

#include <filesystem>

namespace merlop {

enum class DefaultConfigResult { created, exists, failed };

// Writes a default configuration file at `path` unless something is there already; the test
// and the creation are one step, so two programs starting at once cannot both write it. A file
// that could not be written completely is removed. On failure *error holds the errno.
DefaultConfigResult createDefaultConfig(const std::filesystem::path& path, int* error = nullptr);

}  // namespace merlop
