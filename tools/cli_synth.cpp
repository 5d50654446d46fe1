// merlop-cli synth: writes a test tone as a PCM mono WAV file.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "cli_commands.h"
#include "signals/tone_synth.h"

namespace merlop::cli {

namespace {

bool parseNumber(const std::string& text, double lo, double hi, double* out) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !(v >= lo && v <= hi)) return false;
    *out = v;
    return true;
}

}  // namespace

int synth(const Args& args, const Io& io) {
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
        if (a == "--freq") {
            if (!hasValue || !parseNumber(args[++i], 1.0, 100000.0, &frequency)) {
                return io.fail("--freq takes a frequency in Hz");
            }
        } else if (a == "--seconds") {
            if (!hasValue || !parseNumber(args[++i], 0.0, 3600.0, &seconds)) {
                return io.fail("--seconds takes 0 to 3600 seconds");
            }
        } else if (a == "--rate") {
            if (!hasValue || !parseNumber(args[++i], 1000.0, 384000.0, &rate) ||
                rate != static_cast<int>(rate)) {
                return io.fail("--rate takes a whole number of Hz from 1000 to 384000");
            }
        } else if (a == "--bits") {
            if (!hasValue || !parseNumber(args[++i], 8.0, 16.0, &bits) ||
                (bits != 8.0 && bits != 16.0)) {
                return io.fail("--bits takes 8 or 16");
            }
        } else if (a == "--pluck") {
            kind = Kind::pluck;
        } else if (a == "--sine") {
            kind = Kind::sine;
        } else if (a == "--harmonic") {
            kind = Kind::harmonic;
        } else if (a == "--noise") {
            if (!hasValue || !parseNumber(args[++i], -200.0, 20.0, &noiseDb)) {
                return io.fail("--noise takes a level in dB");
            }
            noise = true;
        } else if (a == "--hum") {
            if (!hasValue || !parseNumber(args[++i], 50.0, 60.0, &humHz) ||
                (humHz != 50.0 && humHz != 60.0)) {
                return io.fail("--hum takes 50 or 60");
            }
        } else if (a == "--hum-db") {
            if (!hasValue || !parseNumber(args[++i], -200.0, 20.0, &humDb)) {
                return io.fail("--hum-db takes a level in dB");
            }
        } else if (a.size() > 1 && a[0] == '-') {
            return io.fail("unknown option " + a);
        } else if (out.empty()) {
            out = a;
        } else {
            return io.fail("one output file only");
        }
    }
    if (out.empty()) return io.fail("give an output file (merlop-cli synth --help)");
    // The string loop needs a few samples per period; above this it would stay silent.
    if (kind == Kind::pluck && frequency >= 0.45 * rate) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g", 0.45 * rate);
        return io.fail(std::string("--pluck needs --freq below ") + limit + " Hz at this rate");
    }
    // A test tone, not a recording: this keeps the working memory to a few hundred megabytes.
    constexpr double kMaxSamples = 40.0e6;
    if (seconds * rate > kMaxSamples) {
        return io.fail("--seconds times --rate is limited to 40 million samples");
    }
    // At or above half the sample rate the tone cannot be sampled: it would alias or vanish.
    if (frequency >= rate / 2.0) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g", rate / 2.0);
        return io.fail(std::string("--freq must be below half the sample rate (") + limit + " Hz)");
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
    int error = 0;
    if (!writeWav(out, x, r, static_cast<int>(bits), &error)) {
        return io.failFile(out, std::string("cannot write: ") + std::strerror(error));
    }
    return 0;
}

}  // namespace merlop::cli
