// merlop-cli devices: the sound sources, as Tools / Input Device offers them; the tuner program
// is asked for them, since it has the desktop's sound libraries.
#include <ostream>

#include "cli_commands.h"

namespace merlop::cli {

int devices(const Args& args, const Io& io) {
    if (!args.empty()) return io.fail("takes no arguments: " + args.front());
    if (!io.inputSources) return io.fail("no tuner program (merlop) beside this one to ask");
    for (const InputSource& source : io.inputSources()) {
        io.out << source.id << '\t' << source.name;
        if (source.isDefault) io.out << "\tdefault";
        io.out << '\n';
    }
    return 0;
}

}  // namespace merlop::cli
