#pragma once

// merlop-cli run in-process through runCli, the entry point its main uses.

#include <sstream>
#include <string>
#include <vector>

#include "cli.h"

namespace merlop::testing {

struct CliOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

inline CliOutcome runIn(const std::vector<std::string>& args, const std::string& input = "") {
    std::istringstream in(input);
    std::ostringstream out;
    std::ostringstream err;
    CliOutcome r;
    r.status = runCli(args, in, out, err);
    r.out = out.str();
    r.err = err.str();
    return r;
}

}  // namespace merlop::testing
