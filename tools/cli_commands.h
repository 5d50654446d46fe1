#pragma once

#include <string>
#include <vector>

// Each sub-command of merlop-cli takes the arguments after its name and returns the exit status:
// 0 success, 1 refused (e.g. would overwrite), 2 bad arguments or unusable input.
// Errors go to stderr as one line.
namespace merlop::cli {

using Args = std::vector<std::string>;

int initConfig(const Args& args);
int showConfig(const Args& args);
int tunings(const Args& args);
int pitch(const Args& args);
int analyse(const Args& args);
int synth(const Args& args);

}  // namespace merlop::cli
