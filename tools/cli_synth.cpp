// merlop-cli synth: writes a test tone as a PCM mono WAV file.
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/tone_synth.h"
#include "cli_commands.h"

namespace merlop::cli {

namespace {

const char* const kUsage =
    "usage: merlop-cli synth OUT.wav [--freq HZ] [--seconds S] [--rate R] [--bits 8|16]\n"
    "                        [--pluck|--sine|--harmonic] [--noise DB] [--hum 50|60 --hum-db DB]\n"
    "  --freq HZ      fundamental, default 440\n"
    "  --seconds S    length, default 2\n"
    "  --rate R       sample rate, default 11025\n"
    "  --bits 8|16    sample size, default 16\n"
    "  --harmonic     eight harmonics falling as 1/k (default); --sine a pure tone;\n"
    "                 --pluck a plucked string\n"
    "  --noise DB     add white noise at DB relative to full scale (RMS)\n"
    "  --hum 50|60    add mains hum with harmonics up to the 5th, each at --hum-db DB\n"
    "                 relative to full scale (default -30)\n"
    "The tone itself peaks at -6 dB of full scale.\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "merlop-cli synth: %s\n", message.c_str());
    return 2;
}

bool parseNumber(const std::string& text, double lo, double hi, double* out) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v >= lo && v <= hi)) return false;
    *out = v;
    return true;
}

}  // namespace

int synth(const Args& args) {
    std::string out;
    double frequency = 440.0;
    double seconds = 2.0;
    double rate = 11025.0;
    double bits = 16.0;
    enum class Kind { harmonic, sine, pluck } kind = Kind::harmonic;
    bool noise = false;
    double noiseDb = 0.0;
    double humHz = 0.0;
    double humDb = -30.0;

    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        const bool hasValue = i + 1 < args.size();
        if (a == "--help" || a == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (a == "--freq") {
            if (!hasValue || !parseNumber(args[++i], 1.0, 100000.0, &frequency)) {
                return fail("--freq takes a frequency in Hz");
            }
        } else if (a == "--seconds") {
            if (!hasValue || !parseNumber(args[++i], 0.0, 3600.0, &seconds)) {
                return fail("--seconds takes 0 to 3600 seconds");
            }
        } else if (a == "--rate") {
            if (!hasValue || !parseNumber(args[++i], 1000.0, 384000.0, &rate) ||
                rate != static_cast<int>(rate)) {
                return fail("--rate takes a whole number of Hz from 1000 to 384000");
            }
        } else if (a == "--bits") {
            if (!hasValue || !parseNumber(args[++i], 8.0, 16.0, &bits) ||
                (bits != 8.0 && bits != 16.0)) {
                return fail("--bits takes 8 or 16");
            }
        } else if (a == "--pluck") {
            kind = Kind::pluck;
        } else if (a == "--sine") {
            kind = Kind::sine;
        } else if (a == "--harmonic") {
            kind = Kind::harmonic;
        } else if (a == "--noise") {
            if (!hasValue || !parseNumber(args[++i], -200.0, 20.0, &noiseDb)) {
                return fail("--noise takes a level in dB");
            }
            noise = true;
        } else if (a == "--hum") {
            if (!hasValue || !parseNumber(args[++i], 50.0, 60.0, &humHz) ||
                (humHz != 50.0 && humHz != 60.0)) {
                return fail("--hum takes 50 or 60");
            }
        } else if (a == "--hum-db") {
            if (!hasValue || !parseNumber(args[++i], -200.0, 20.0, &humDb)) {
                return fail("--hum-db takes a level in dB");
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return fail("unknown option " + a);
        } else if (out.empty()) {
            out = a;
        } else {
            return fail("one output file only");
        }
    }
    if (out.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }

    const int r = static_cast<int>(rate);
    constexpr double kAmplitude = 0.5;
    std::vector<float> x;
    switch (kind) {
        case Kind::sine:
            x = sineTone(frequency, seconds, r, kAmplitude);
            break;
        case Kind::pluck:
            x = pluckedString(frequency, seconds, r, kAmplitude);
            break;
        case Kind::harmonic:
            x = harmonicTone(frequency, seconds, r, 8, kAmplitude);
            break;
    }
    if (humHz > 0.0) addHum(x, r, humHz, humDb);
    if (noise) addWhiteNoise(x, noiseDb);
    if (!writeWav(out, x, r, static_cast<int>(bits))) return fail("cannot write " + out);
    return 0;
}

}  // namespace merlop::cli
