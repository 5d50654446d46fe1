#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "audio/wave_input.h"

// Each sub-command of merlop-cli takes the arguments after its name and returns the exit status:
// 0 success, 1 refused (e.g. would overwrite), 2 bad arguments or unusable input.
// Errors go to err as one line naming the command.
namespace merlop::cli {

using Args = std::vector<std::string>;

struct Io {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    const char* command;
    // The desktop's sound sources; empty in a build without one.
    std::function<std::vector<InputSource>()> inputSources = {};

    // "merlop-cli COMMAND: message" on err; returns status.
    int fail(const std::string& message, int status = 2) const;
    // The same for a message about one file: "merlop-cli COMMAND: FILE: message".
    int failFile(const std::string& file, const std::string& message, int status = 2) const;
};

int initConfig(const Args& args, const Io& io);
int initTunings(const Args& args, const Io& io);
int showConfig(const Args& args, const Io& io);
int tunings(const Args& args, const Io& io);
int pitch(const Args& args, const Io& io);
int analyse(const Args& args, const Io& io);
int synth(const Args& args, const Io& io);
int devices(const Args& args, const Io& io);
int scala(const Args& args, const Io& io);
int inharmonicity(const Args& args, const Io& io);
int stretch(const Args& args, const Io& io);

}  // namespace merlop::cli
