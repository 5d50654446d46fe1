#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace merlop {

// merlop-cli as a function: args without the program name, the three standard streams, and the
// exit status as result. It never exits the process, and only init-config, init-tunings and
// synth write files.
int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err);

}  // namespace merlop
