#pragma once

#include <functional>
#include <iosfwd>
#include <string>
#include <vector>

#include "audio/wave_input.h"

namespace merlop {

// What merlop-cli can ask of the desktop when its program was built with one; empty otherwise.
struct CliServices {
    // The sound sources the sound server offers.
    std::function<std::vector<InputSource>()> inputSources;
};

// merlop-cli as a function: args without the program name, the three standard streams, and the
// exit status as result. It never exits the process, and only init-config, init-tunings and
// synth write files.
int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const CliServices& services = {});

}  // namespace merlop
