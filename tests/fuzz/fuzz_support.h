#pragma once

// Shared pieces of the fuzz targets: a private scratch folder per process (the loaders only read
// real files), a failure that libFuzzer records as a crash, and a test tone for the analysis.

#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#define FUZZ_CHECK(cond)                                                                  \
    do {                                                                                  \
        if (!(cond)) {                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond); \
            std::abort();                                                                 \
        }                                                                                 \
    } while (0)

namespace merlop::fuzz {

// Made on first use in /dev/shm when there is one (the targets write a file per input), and
// removed when the process exits normally.
inline const std::filesystem::path& scratchDir() {
    static const std::filesystem::path dir = [] {
        std::string pattern =
            std::filesystem::is_directory("/dev/shm")
                ? "/dev/shm/merlop-fuzz-XXXXXX"
                : (std::filesystem::temp_directory_path() / "merlop-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) {
            std::perror("mkdtemp");
            std::abort();
        }
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(scratchDir(), ec);
        });
        return std::filesystem::path(pattern);
    }();
    return dir;
}

// An empty folder inside the scratch folder, the same one for every input.
inline std::filesystem::path freshDir(const char* name) {
    const std::filesystem::path dir = scratchDir() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

inline void writeFile(const std::filesystem::path& path, const std::uint8_t* data,
                      std::size_t size) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    FUZZ_CHECK(out.good());
}

inline std::vector<std::uint8_t> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// A sine on the 12-bit scale, three quarters of full scale.
inline std::vector<int> sineBlock(double hz, int rate, int n) {
    std::vector<int> x(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        x[static_cast<std::size_t>(i)] =
            static_cast<int>(std::lround(1500.0 * std::sin(2.0 * M_PI * hz * i / rate)));
    }
    return x;
}

}  // namespace merlop::fuzz
