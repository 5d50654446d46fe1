// merlop-cli's command table: each command's usage, and the dispatch to it.
#include "cli.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <istream>
#include <new>
#include <ostream>
#include <string>
#include <vector>

#include "cli_commands.h"

namespace merlop {

namespace cli {

int Io::fail(const std::string& message, int status) const {
    err << "merlop-cli " << command << ": " << message << '\n';
    return status;
}

int Io::failFile(const std::string& file, const std::string& message, int status) const {
    return fail(file + ": " + message, status);
}

}  // namespace cli

namespace {

struct Command {
    const char* name;
    int (*run)(const cli::Args&, const cli::Io&);
    const char* synopsis;  // first line of the overview
    const char* usage;     // what --help prints
};

const Command kCommands[] = {
    {"init-config", cli::initConfig, "init-config [DIR]          write a default merlo301.cfg",
     "usage: merlop-cli init-config [DIR]\n"
     "Writes the default configuration file merlo301.cfg into DIR (default: the working\n"
     "directory). An existing file is left unchanged (exit status 1).\n"},
    {"init-tunings", cli::initTunings,
     "init-tunings [DIR]         write merlo230.tng with the built-in tunings",
     "usage: merlop-cli init-tunings [--preset NAME] [DIR]\n"
     "Writes the tunings file merlo230.tng with the built-in tunings (Guitar, Violin, Bagpipe)\n"
     "into DIR (default: the working directory). An existing file is left unchanged (exit\n"
     "status 1).\n"
     "  --preset NAME  add a preset tuning after the file's tunings instead (the file is made\n"
     "                 first when there is none); exit status 1 when it already holds 32.\n"
     "                 NAME: bass4, bass5, ukulele, ukulele-low-g, viola, cello, double-bass,\n"
     "                 mandolin, banjo, drop-d, dadgad, open-g, open-d, guitar7\n"},
    {"show-config", cli::showConfig, "show-config [FILE]         print every setting",
     "usage: merlop-cli show-config [FILE|DIR]\n"
     "Prints every setting of a configuration file (default: ./merlo301.cfg) in file order.\n"
     "Values the tuner would replace are remarked on standard error.\n"},
    {"tunings", cli::tunings, "tunings [--dir DIR]        list the custom tunings",
     "usage: merlop-cli tunings [--dir DIR]\n"
     "Lists the custom tunings of DIR/merlo230.tng (default: the working directory).\n"
     "The file is only read; create one with merlop-cli init-tunings.\n"},
    {"pitch", cli::pitch, "pitch FREQ... [options]    name the note of each frequency",
     "usage: merlop-cli pitch FREQ... [--a HZ] [--temperament ROW] [--key C..B] [--use-a]\n"
     "                        [--sharp]\n"
     "Names the note of each frequency (Hz, within the audible range 20 to 20000).\n"
     "  --a HZ            reference A, 400 to 500 (default 440)\n"
     "  --temperament ROW temperament row, 0 to 74 (default 0, equal temperament)\n"
     "  --key NOTE        key of the temperament, C to B with # or b (default C)\n"
     "  --use-a           tune the temperament to A instead of to the key note\n"
     "  --sharp           name notes with sharps instead of flats\n"},
    {"analyse", cli::analyse, "analyse FILE.wav [options] the tuner's readings of a file, as CSV",
     "usage: merlop-cli analyse FILE.wav|- [--config FILE] [--dir DIR] [--tuning INDEX\n"
     "                          [--note I]] [--fine] [--raw] [--auto-sensitivity] [--strobe]\n"
     "Analyses a PCM mono WAV file (- reads it from standard input) as the tuner does and\n"
     "prints one CSV line per analysed block.\n"
     "  --config FILE   the settings to use (default: ./merlo301.cfg if there is one,\n"
     "                  else the default settings)\n"
     "  --dir DIR       where merlo230.tng is (default: the working directory)\n"
     "  --tuning INDEX  analyse against custom tuning INDEX of merlo230.tng\n"
     "  --note I        fix the tuning's note I\n"
     "  --fine          read with Fine tuning on (tenths of a cent), whatever the settings say\n"
     "  --raw           add the estimator's unsmoothed frequency (Hz, 4 decimals) and its cents\n"
     "                  from the nearest note of the temperament (3 decimals) as last columns\n"
     "  --auto-sensitivity  the threshold follows the input's noise floor instead of the\n"
     "                  sensitivity setting, and noise, hum or silence alone read as no note\n"
     "  --strobe        add what the strobe's rows for partials 1, 2 and 4 of the shown note\n"
     "                  show: strobe_1, strobe_2, strobe_4 (cents, 3 decimals; empty at rest)\n"},
    {"devices", cli::devices, "devices                    list the sound sources to listen to",
     "usage: merlop-cli devices\n"
     "Lists the sound sources the sound server offers, one per line: the source's id, a tab,\n"
     "its name as the desktop shows it, and a tab and \"default\" for the system default.\n"
     "Tools / Input Device in the tuner offers the same sources.\n"},
    {"synth", cli::synth, "synth OUT.wav [options]    write a test tone",
     "usage: merlop-cli synth OUT.wav [--freq HZ] [--seconds S] [--rate R] [--bits 8|16]\n"
     "                        [--pluck|--sine|--harmonic|--inharmonicity B] [--noise DB]\n"
     "                        [--hum 50|60 --hum-db DB]\n"
     "Writes a test tone as a PCM mono WAV file.\n"
     "  --freq HZ      fundamental, below half the sample rate (default 440)\n"
     "  --seconds S    length, default 2\n"
     "  --rate R       sample rate, default 11025\n"
     "  --bits 8|16    sample size, default 16\n"
     "  --harmonic     eight harmonics falling as 1/k (default); --sine a pure tone;\n"
     "                 --pluck a plucked string\n"
     "  --inharmonicity B  a struck stiff string instead: 16 partials at n f sqrt(1 + B n^2),\n"
     "                 B 0 to 0.05, falling as 1/n and dying away, the higher the faster\n"
     "  --noise DB     add white noise at DB relative to full scale (RMS)\n"
     "  --hum 50|60    add mains hum with harmonics up to the 5th, each at --hum-db DB\n"
     "                 relative to full scale (default -30)\n"
     "The tone itself peaks at -6 dB of full scale.\n"},
    {"scala", cli::scala, "scala import|export ...     Scala scales in and out",
     "usage: merlop-cli scala import FILE.scl [--kbm FILE.kbm] [--name NAME] [--key KEY]\n"
     "                             [--dir DIR]\n"
     "       merlop-cli scala export INDEX [--key KEY] [--dir DIR] OUT.scl\n"
     "       merlop-cli scala export --all [--key KEY] DIR\n"
     "import: a scale of 12 notes with a 2/1 period becomes a user temperament, a copy in\n"
     "DIR/scales listed after the 75 built-in ones; any other scale, or any scale with a\n"
     "keyboard map, becomes a custom tuning added to DIR/merlo230.tng (at most 96 notes,\n"
     "those nearest the reference; the rest are named). DIR is the settings folder (default:\n"
     "the working directory).\n"
     "  --kbm FILE.kbm  the keys, reference note and frequency to play the scale from\n"
     "                  (default: degree 0 on KEY in octave 4, A at 440 Hz)\n"
     "  --name NAME     the temperament's file name or the tuning's name (default: the\n"
     "                  file's name)\n"
     "  --key KEY       the note of degree 0 without --kbm, C to B (default C); on export,\n"
     "                  the key the description names\n"
     "export: writes temperament INDEX (0 to 74, or a user temperament from 75 on, from\n"
     "DIR/scales) as a scale in cents; --all writes every built-in one into DIR, named\n"
     "after it. An existing file is left unchanged (exit status 1).\n"},
    {"inharmonicity", cli::inharmonicity,
     "inharmonicity FILE.wav     a piano key's f0, B and partials",
     "usage: merlop-cli inharmonicity FILE.wav [--note KEY]\n"
     "Finds the partials (up to 16) of one piano key in a PCM mono WAV file, over up to 2 s of\n"
     "its sustain, and fits f_n = n f0 sqrt(1 + B n^2). Prints f0, the inharmonicity B, each\n"
     "partial's frequency and its cents from n*f0, and the key as a measurement line\n"
     "(KEY F0 B PARTIALS) for merlop-cli stretch --measurements. At least 3 partials are\n"
     "needed below half the sample rate.\n"
     "  --note KEY  the key recorded, A0 to C8 (such as A4, C#3, Bb1); default: the key\n"
     "              whose partials the recording carries most strongly\n"},
    {"stretch", cli::stretch, "stretch [options]          a stretched piano tuning of the 88 keys",
     "usage: merlop-cli stretch --b KEY=B,... | --measurements FILE --octave 2:1|4:2|6:3|mix\n"
     "                          --name NAME [--dir DIR] [--a HZ] [--no-save]\n"
     "Computes the targets of the 88 piano keys so that the chosen partials of every octave\n"
     "coincide, A4 at the reference A, and saves them as a custom tuning of DIR/merlo230.tng.\n"
     "Prints each key's B, target in Hz and cents from equal temperament.\n"
     "  --b LIST        B of at least 3 keys, such as A0=0.0006,A4=0.0004,C8=0.02; between\n"
     "                  them B follows a straight line in log B, beyond them it goes on\n"
     "  --measurements FILE  the keys as lines KEY F0 B PARTIALS (merlop-cli inharmonicity)\n"
     "  --octave RULE   2:1, 4:2 or 6:3: partial 2h of the lower key on partial h of the\n"
     "                  upper; mix: 6:3 below C3, 4:2 from C3, 2:1 from C5 (lower key)\n"
     "  --name NAME     the tuning's name, up to 15 characters\n"
     "  --dir DIR       where merlo230.tng is (default: the working directory)\n"
     "  --a HZ          reference A, 400 to 500 (default 440); the tuning is kept for A 440\n"
     "  --no-save       print the targets only\n"
     "Exit status 1 when the file already holds 32 tunings.\n"},
};

void overview(std::ostream& out) {
    out << "usage: merlop-cli COMMAND [ARGS]   (merlop-cli COMMAND --help for its options)\n";
    for (const Command& c : kCommands) out << "  " << c.synopsis << '\n';
    out << "  --version                  print the program's version\n";
}

bool asksForHelp(const std::vector<std::string>& args) {
    return std::any_of(args.begin(), args.end(),
                       [](const std::string& a) { return a == "--help" || a == "-h"; });
}

}  // namespace

int runCli(const std::vector<std::string>& args, std::istream& in, std::ostream& out,
           std::ostream& err, const CliServices& services) {
    if (args.empty()) {
        overview(err);
        return 2;
    }
    const std::string& name = args[0];
    if (name == "help" || name == "--help" || name == "-h") {
        overview(out);
        return 0;
    }
    if (name == "--version" || name == "version") {
        out << "merlop-cli " MERLOP_VERSION_TEXT << '\n';
        return 0;
    }
    const std::string wanted = name == "analyze" ? "analyse" : name;
    for (const Command& c : kCommands) {
        if (wanted != c.name) continue;
        const cli::Args rest(args.begin() + 1, args.end());
        if (asksForHelp(rest)) {
            out << c.usage;
            return 0;
        }
        const cli::Io io{in, out, err, c.name, services.inputSources};
        try {
            const int status = c.run(rest, io);
            out.flush();
            // A full disk or a closed pipe must not pass for a finished listing.
            if (!out)
                return io.fail(std::string("cannot write the output: ") +
                               std::strerror(errno != 0 ? errno : EIO));
            return status;
        } catch (const std::bad_alloc&) {
            return io.fail("out of memory");
        } catch (const std::exception& e) {
            return io.fail(e.what());
        }
    }
    err << "merlop-cli: unknown command '" << name << "' (merlop-cli --help lists them)\n";
    return 2;
}

}  // namespace merlop
