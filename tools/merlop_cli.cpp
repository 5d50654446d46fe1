// merlop-cli: the tuner's arithmetic and analysis without a window.
#include <cstdio>
#include <cstring>
#include <string>

#include "cli_commands.h"

namespace {

void usage(FILE* out) {
    std::fputs(
        "usage: merlop-cli COMMAND [ARGS]\n"
        "  init-config [DIR]          write the default merlo301.cfg into DIR\n"
        "  show-config [FILE]         print every setting of a configuration file\n"
        "  tunings [DIR]              list the custom tunings of DIR/merlo230.tng\n"
        "  pitch FREQ... [--a HZ] [--temperament ROW] [--key C..B] [--use-a] [--sharp]\n"
        "                             name the note of each frequency\n"
        "  analyse FILE.wav [--config FILE] [--tuning INDEX [--note I]] [--raw]\n"
        "                             analyse a WAV file as the tuner does, CSV on stdout\n"
        "  synth OUT.wav [options]    write a test tone (see merlop-cli synth --help)\n",
        out);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        usage(stderr);
        return 2;
    }
    const std::string command = argv[1];
    const merlop::cli::Args args(argv + 2, argv + argc);
    if (command == "init-config") return merlop::cli::initConfig(args);
    if (command == "show-config") return merlop::cli::showConfig(args);
    if (command == "tunings") return merlop::cli::tunings(args);
    if (command == "pitch") return merlop::cli::pitch(args);
    if (command == "analyse" || command == "analyze") return merlop::cli::analyse(args);
    if (command == "synth") return merlop::cli::synth(args);
    if (command == "help" || command == "--help" || command == "-h") {
        usage(stdout);
        return 0;
    }
    std::fprintf(stderr, "merlop-cli: unknown command '%s'\n", command.c_str());
    return 2;
}
