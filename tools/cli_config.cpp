// merlop-cli init-config, show-config and tunings: the two files the tuner keeps, from a shell.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "cli_commands.h"
#include "settings/settings.h"
#include "settings/tuning_store.h"

namespace merlop::cli {

namespace {

namespace fs = std::filesystem;

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

int fail(const char* command, const std::string& message, int status = 2) {
    std::fprintf(stderr, "merlop-cli %s: %s\n", command, message.c_str());
    return status;
}

// The one optional argument of these commands; false when there are more, or an option.
bool optionalArgument(const Args& args, const std::string& fallback, std::string* out) {
    if (args.size() > 1 || (!args.empty() && (args[0].empty() || args[0][0] == '-'))) {
        return false;
    }
    *out = args.empty() ? fallback : args[0];
    return true;
}

bool isDirectory(const std::string& path) {
    std::error_code ec;
    return fs::is_directory(path, ec);
}

}  // namespace

int initConfig(const Args& args) {
    const char* cmd = "init-config";
    std::string dir;
    if (!optionalArgument(args, ".", &dir)) return fail(cmd, "usage: merlop-cli init-config [DIR]");
    if (!isDirectory(dir)) return fail(cmd, dir + ": not a directory");

    const std::string path = (fs::path(dir) / Settings::kDefaultFileName).string();
    // "x" makes the existence test and the creation one step.
    FilePtr file(std::fopen(path.c_str(), "wbx"));
    if (!file) {
        if (errno == EEXIST) return fail(cmd, path + " already exists; left unchanged", 1);
        return fail(cmd, path + ": cannot create: " + std::strerror(errno));
    }
    const Settings::Image image = Settings::defaultImage();
    const bool written = std::fwrite(image.data(), 1, image.size(), file.get()) == image.size();
    if (!written || std::fclose(file.release()) != 0) {
        std::error_code ec;
        fs::remove(path, ec);
        return fail(cmd, path + ": write failed");
    }
    std::printf("%s\n", path.c_str());
    return 0;
}

int showConfig(const Args& args) {
    const char* cmd = "show-config";
    std::string given;
    if (!optionalArgument(args, Settings::kDefaultFileName, &given)) {
        return fail(cmd, "usage: merlop-cli show-config [FILE]");
    }
    const std::string path = Settings::configPath(given).string();
    Settings::Image image{};
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return fail(cmd, path + ": cannot open: " + std::strerror(errno));
    if (std::fread(image.data(), 1, image.size(), file.get()) != image.size()) {
        return fail(cmd, path + ": shorter than " + std::to_string(Settings::kFileSize) +
                             " bytes, not a configuration file");
    }

    // The file's own values go to stdout; what the tuner would make of odd ones goes to stderr.
    const Settings raw = Settings::fromImage(image);
    Settings used = raw;
    used.normalise();
    const auto rawFields = raw.fieldsInFileOrder();
    const auto usedFields = used.fieldsInFileOrder();
    for (std::size_t i = 0; i < rawFields.size(); ++i) {
        std::printf("%s = %s\n", rawFields[i].first.c_str(), rawFields[i].second.c_str());
    }
    std::fflush(stdout);
    for (std::size_t i = 0; i < rawFields.size(); ++i) {
        if (rawFields[i].second != usedFields[i].second) {
            std::fprintf(stderr,
                         "merlop-cli show-config: %s = %s is out of range; the tuner uses %s\n",
                         rawFields[i].first.c_str(), rawFields[i].second.c_str(),
                         usedFields[i].second.c_str());
        }
    }
    return 0;
}

int tunings(const Args& args) {
    const char* cmd = "tunings";
    std::string dir;
    if (!optionalArgument(args, ".", &dir)) return fail(cmd, "usage: merlop-cli tunings [DIR]");
    if (!isDirectory(dir)) return fail(cmd, dir + ": not a directory");

    TuningStore store(dir);
    if (!store.hasFile()) {
        return fail(cmd, store.path().string() + ": can neither be opened nor created");
    }
    std::printf("%s: %d tunings\n", store.path().string().c_str(), store.tuningsInFile());
    for (int i = 0; i < store.tuningsInFile(); ++i) {
        if (store.readTuning(i) != 0) return fail(cmd, "cannot read tuning " + std::to_string(i));
        std::printf(
            "tuning %d: %s  instrument %d  auto reference tone %d  record readings %d  notes %d\n",
            i, quotedText(store.currentName()).c_str(), store.instrument(),
            store.autoReferenceTone(), store.recordReadings(), store.noteCount());
        for (int k = 0; k < store.noteCount(); ++k) {
            std::printf("  note %d: %s  MIDI %d  %.3f Hz\n", k,
                        quotedText(store.description(k)).c_str(), store.note(k),
                        static_cast<double>(store.frequency(k)));
        }
    }
    return 0;
}

}  // namespace merlop::cli
