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

// The value after args[*i] as a number from lo to hi; *i moves onto it when there is one.
bool takeNumber(const Args& args, std::size_t* i, double lo, double hi, double* out) {
    if (*i + 1 >= args.size()) return false;
    return parseNumber(args[++*i], lo, hi, out);
}

enum class Kind { harmonic, sine, pluck, stiff };

struct SynthArgs {
    std::string out;
    double frequency = 440.0;
    double seconds = 2.0;
    double rate = 11025.0;
    double bits = 16.0;
    Kind kind = Kind::harmonic;
    double b = 0.0;
    bool noise = false;
    double noiseDb = 0.0;
    double humHz = 0.0;
    double humDb = -30.0;
};

// Results of the option readers below besides an exit status.
constexpr int kTaken = 0;
constexpr int kNotMine = -1;

// The options of the tone itself: kTaken, kNotMine or the exit status after the complaint.
int toneOption(const Args& args, std::size_t* i, const Io& io, SynthArgs* s) {
    const std::string& a = args[*i];
    if (a == "--freq") {
        if (!takeNumber(args, i, 1.0, 100000.0, &s->frequency)) {
            return io.fail("--freq takes a frequency in Hz");
        }
    } else if (a == "--seconds") {
        if (!takeNumber(args, i, 0.0, 3600.0, &s->seconds)) {
            return io.fail("--seconds takes 0 to 3600 seconds");
        }
    } else if (a == "--rate") {
        if (!takeNumber(args, i, 1000.0, 384000.0, &s->rate) ||
            s->rate != static_cast<int>(s->rate)) {
            return io.fail("--rate takes a whole number of Hz from 1000 to 384000");
        }
    } else if (a == "--bits") {
        if (!takeNumber(args, i, 8.0, 16.0, &s->bits) || (s->bits != 8.0 && s->bits != 16.0)) {
            return io.fail("--bits takes 8 or 16");
        }
    } else if (a == "--pluck") {
        s->kind = Kind::pluck;
    } else if (a == "--sine") {
        s->kind = Kind::sine;
    } else if (a == "--harmonic") {
        s->kind = Kind::harmonic;
    } else if (a == "--inharmonicity") {
        if (!takeNumber(args, i, 0.0, 0.05, &s->b))
            return io.fail("--inharmonicity takes B, 0 to 0.05");
        s->kind = Kind::stiff;
    } else {
        return kNotMine;
    }
    return kTaken;
}

// The options of what is mixed in: kTaken, kNotMine or the exit status after the complaint.
int mixOption(const Args& args, std::size_t* i, const Io& io, SynthArgs* s) {
    const std::string& a = args[*i];
    if (a == "--noise") {
        if (!takeNumber(args, i, -200.0, 20.0, &s->noiseDb)) {
            return io.fail("--noise takes a level in dB");
        }
        s->noise = true;
    } else if (a == "--hum") {
        if (!takeNumber(args, i, 50.0, 60.0, &s->humHz) || (s->humHz != 50.0 && s->humHz != 60.0)) {
            return io.fail("--hum takes 50 or 60");
        }
    } else if (a == "--hum-db") {
        if (!takeNumber(args, i, -200.0, 20.0, &s->humDb)) {
            return io.fail("--hum-db takes a level in dB");
        }
    } else {
        return kNotMine;
    }
    return kTaken;
}

// 0 when the arguments make sense, else the exit status after the complaint.
int parseArgs(const Args& args, const Io& io, SynthArgs* s) {
    for (std::size_t i = 0; i < args.size(); ++i) {
        int status = toneOption(args, &i, io, s);
        if (status == kNotMine) status = mixOption(args, &i, io, s);
        if (status != kNotMine) {
            if (status != kTaken) return status;
            continue;
        }
        const std::string& a = args[i];
        if (a.size() > 1 && a[0] == '-') return io.fail("unknown option " + a);
        if (!s->out.empty()) return io.fail("one output file only");
        s->out = a;
    }
    if (s->out.empty()) return io.fail("give an output file (merlop-cli synth --help)");
    return 0;
}

// 0 when the tone can be made, else the exit status after the complaint.
int checkTone(const SynthArgs& s, const Io& io) {
    // The string loop needs a few samples per period; above this it would stay silent.
    if (s.kind == Kind::pluck && s.frequency >= 0.45 * s.rate) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g", 0.45 * s.rate);
        return io.fail(std::string("--pluck needs --freq below ") + limit + " Hz at this rate");
    }
    // A test tone, not a recording: this keeps the working memory to a few hundred megabytes.
    constexpr double kMaxSamples = 40.0e6;
    if (s.seconds * s.rate > kMaxSamples) {
        return io.fail("--seconds times --rate is limited to 40 million samples");
    }
    // At or above half the sample rate the tone cannot be sampled: it would alias or vanish.
    if (s.frequency >= s.rate / 2.0) {
        char limit[32];
        std::snprintf(limit, sizeof limit, "%g", s.rate / 2.0);
        return io.fail(std::string("--freq must be below half the sample rate (") + limit + " Hz)");
    }
    return 0;
}

std::vector<float> makeTone(const SynthArgs& s, int r) {
    constexpr double kAmplitude = 0.5;
    std::vector<float> x;
    switch (s.kind) {
        case Kind::sine:
            x = sineTone(s.frequency, s.seconds, r, kAmplitude);
            break;
        case Kind::pluck:
            x = pluckedString(s.frequency, s.seconds, r, kAmplitude);
            break;
        case Kind::harmonic:
            x = harmonicTone(s.frequency, s.seconds, r, 8, kAmplitude);
            break;
        case Kind::stiff: {
            StiffString string;
            string.frequency = s.frequency;
            string.b = s.b;
            x = stiffStringTone(string, s.seconds, r, kAmplitude);
            break;
        }
    }
    if (s.humHz > 0.0) addHum(x, r, s.humHz, s.humDb);
    if (s.noise) addWhiteNoise(x, s.noiseDb);
    return x;
}

}  // namespace

int synth(const Args& args, const Io& io) {
    SynthArgs s;
    if (const int status = parseArgs(args, io, &s); status != 0) return status;
    if (const int status = checkTone(s, io); status != 0) return status;

    const int r = static_cast<int>(s.rate);
    const std::vector<float> x = makeTone(s, r);
    int error = 0;
    if (!writeWav(s.out, x, r, static_cast<int>(s.bits), &error)) {
        return io.failFile(s.out, std::string("cannot write: ") + std::strerror(error));
    }
    return 0;
}

}  // namespace merlop::cli
