#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

namespace merlop {

// Files are written whole or not at all: the bytes go to a temporary file beside the target,
// are flushed to the disk, and only then take the target's place. A kill, a power cut or a full
// disk leaves either the old file or the new one, never a part. A symbolic link is followed, so
// the file it names is replaced and the link stays. Both return 0 or an errno value.

// Replaces the file's content (or creates it); an existing file keeps its permissions, and one
// the user may not write is left alone (EACCES).
int replaceFile(const std::filesystem::path& path, std::string_view bytes);

// Creates the file only if nothing is at `path` (EEXIST otherwise): two programs creating it at
// once cannot both succeed, and neither can leave it half written.
int createFile(const std::filesystem::path& path, std::string_view bytes);

// The file a path names once symbolic links are followed (the path itself when it is none).
std::filesystem::path linkTarget(const std::filesystem::path& path);

// "Cannot write <path>: <reason>", in the player's language unless `translated` is false (for
// stderr).
std::string writeFailure(const std::filesystem::path& path, int error, bool translated = true);

}  // namespace merlop
