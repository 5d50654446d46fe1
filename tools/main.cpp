// merlop-cli: the tuner's arithmetic and analysis without a window.
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <iostream>
#include <stdexcept>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "cli.h"

namespace {

// The tuner program beside this one, as installed, else the one of the build tree.
std::string tunerProgram() {
    std::error_code ec;
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec) {
        const std::filesystem::path beside = self.parent_path() / "merlop";
        if (::access(beside.c_str(), X_OK) == 0) return beside.string();
    }
#ifdef MERLOP_TUNER_BUILD_PATH
    if (::access(MERLOP_TUNER_BUILD_PATH, X_OK) == 0) return MERLOP_TUNER_BUILD_PATH;
#endif
    return {};
}

// What `merlop --list-input-devices` prints: a line per source, "ID\tNAME[\tdefault]".
std::string tunerOutput(const std::string& program) {
    int out[2];
    if (::pipe(out) != 0) return {};
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(out[1], STDOUT_FILENO);
        ::close(out[0]);
        ::close(out[1]);
        ::execl(program.c_str(), program.c_str(), "--list-input-devices", nullptr);
        ::_exit(127);
    }
    ::close(out[1]);
    std::string text;
    char buffer[4096];
    for (ssize_t n; child > 0 && (n = ::read(out[0], buffer, sizeof buffer)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(out[0]);
    int status = 0;
    if (child <= 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0) {
        throw std::runtime_error("the tuner could not list the sound sources");
    }
    return text;
}

std::vector<merlop::InputSource> sourcesOfTuner(const std::string& program) {
    std::vector<merlop::InputSource> sources;
    const std::string text = tunerOutput(program);
    for (std::size_t at = 0; at < text.size();) {
        std::size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        const std::size_t tab = line.find('\t');
        if (tab == std::string::npos) continue;
        const std::size_t flag = line.find('\t', tab + 1);
        merlop::InputSource s{line.substr(0, tab), line.substr(tab + 1, flag - tab - 1),
                              flag != std::string::npos && line.substr(flag + 1) == "default"};
        sources.push_back(std::move(s));
    }
    return sources;
}

}  // namespace

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    const std::vector<std::string> args(argv + 1, argv + argc);
    merlop::CliServices services;
    if (const std::string tuner = tunerProgram(); !tuner.empty()) {
        services.inputSources = [tuner] { return sourcesOfTuner(tuner); };
    }
    const int status = merlop::runCli(args, std::cin, std::cout, std::cerr, services);
    std::cout.flush();
    if (!std::cout && status == 0) {
        std::cerr << "merlop-cli: cannot write the output\n";
        return 1;
    }
    return status;
}
