// merlop-cli argument parsing from arbitrary bytes: arguments separated by newlines, standard
// input after the first zero byte. Run in a folder holding a configuration file, the tunings file
// and a short recording. Besides not crashing: a known exit status, a failure says why, the
// reading commands leave every file alone and give the same answer twice.
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <sstream>

#include "cli.h"
#include "fuzz_support.h"

using namespace merlop;

namespace {

using Snapshot = std::map<std::string, std::vector<std::uint8_t>>;

Snapshot snapshot(const std::filesystem::path& dir) {
    Snapshot s;
    for (const auto& e : std::filesystem::recursive_directory_iterator(dir)) {
        s[e.path().string()] =
            e.is_regular_file() ? fuzz::readFile(e.path()) : std::vector<std::uint8_t>{};
    }
    return s;
}

struct Result {
    int status;
    std::string out;
    std::string err;
};

Result run(const std::vector<std::string>& args, const std::string& input) {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    const int status = runCli(args, in, out, err);
    return {status, out.str(), err.str()};
}

// Runs in a folder and goes back: libFuzzer opens the corpus paths it was given, relative ones
// too, after the first input has run.
class InFolder {
  public:
    explicit InFolder(const std::filesystem::path& dir) : back_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~InFolder() { std::filesystem::current_path(back_); }
    InFolder(const InFolder&) = delete;
    InFolder& operator=(const InFolder&) = delete;

  private:
    std::filesystem::path back_;
};

// The folder every input starts from, made once and copied.
const std::filesystem::path& templateDir() {
    static const std::filesystem::path dir = [] {
        const auto d = fuzz::freshDir("cli-template");
        const InFolder in(d);
        FUZZ_CHECK(run({"init-config"}, "").status == 0);
        FUZZ_CHECK(run({"init-tunings"}, "").status == 0);
        FUZZ_CHECK(
            run({"synth", "take.wav", "--seconds", "0.3", "--sine", "--freq", "196"}, "").status ==
            0);
        return d;
    }();
    return dir;
}

// Slow to no purpose (long tones) or reaching outside the scratch folder.
bool refused(const std::vector<std::string>& args) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.find('/') != std::string::npos || a.find("..") != std::string::npos) return true;
        if (a == "--seconds" && i + 1 < args.size() &&
            !(std::strtod(args[i + 1].c_str(), nullptr) <= 0.25))
            return true;
    }
    return !args.empty() && args[0] == "synth" &&
           std::find(args.begin(), args.end(), "--seconds") == args.end();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size > 4096) return -1;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const std::size_t zero = bytes.find('\0');
    const std::string input = zero == std::string::npos ? std::string() : bytes.substr(zero + 1);
    std::vector<std::string> args;
    std::istringstream lines(bytes.substr(0, zero));
    for (std::string a; std::getline(lines, a);) args.push_back(a);
    if (refused(args)) return -1;

    const std::filesystem::path& from = templateDir();
    const auto dir = fuzz::freshDir("cli");
    std::filesystem::copy(from, dir, std::filesystem::copy_options::recursive);
    const InFolder in(dir);
    const Snapshot before = snapshot(dir);

    const Result r = run(args, input);
    FUZZ_CHECK(r.status >= 0 && r.status <= 2);
    if (r.status != 0) {
        FUZZ_CHECK(!r.err.empty() && r.err.back() == '\n');
        FUZZ_CHECK(r.err.rfind("merlop-cli", 0) == 0 || r.err.rfind("usage:", 0) == 0);
    }
    const bool helps = std::any_of(args.begin() + (args.empty() ? 0 : 1), args.end(),
                                   [](const std::string& a) { return a == "--help" || a == "-h"; });
    if (helps && r.status == 0) FUZZ_CHECK(!r.out.empty());

    const std::string command = args.empty() ? "" : args[0];
    const bool writes = command == "init-config" || command == "init-tunings" || command == "synth";
    if (!writes || helps) {
        FUZZ_CHECK(snapshot(dir) == before);
        const Result again = run(args, input);
        FUZZ_CHECK(again.status == r.status && again.out == r.out && again.err == r.err);
    }
    return 0;
}
