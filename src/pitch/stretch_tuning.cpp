#include "pitch/stretch_tuning.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "common/translation.h"
#include "pitch/piano_keys.h"

namespace merlop {

namespace {

double logB(double b) {
    return std::log(std::max(b, StiffnessCurve::kMinB));
}

// The line through two keys' log B, at `midi`.
double along(const KeyStiffness& a, const KeyStiffness& b, int midi) {
    const double t = static_cast<double>(midi - a.midi) / (b.midi - a.midi);
    return logB(a.b) + t * (logB(b.b) - logB(a.b));
}

// f1 of the upper key over f1 of the lower for the octave whose partials 2h and h coincide.
double octaveRatio(double bLower, double bUpper, int h) {
    const double h2 = static_cast<double>(h) * h;
    return 2.0 * std::sqrt((1.0 + 4.0 * h2 * bLower) * (1.0 + bUpper) /
                           ((1.0 + bLower) * (1.0 + h2 * bUpper)));
}

std::string checkReference(double referenceA) {
    if (!(referenceA >= 400.0 && referenceA <= 500.0))
        return translate("StretchTuning", "the reference A must be 400 to 500 Hz");
    return {};
}

}  // namespace

bool parseOctaveRule(const std::string& text, OctaveRule* out) {
    if (text == "2:1") {
        *out = OctaveRule::twoOne;
    } else if (text == "4:2") {
        *out = OctaveRule::fourTwo;
    } else if (text == "6:3") {
        *out = OctaveRule::sixThree;
    } else if (text == "mix") {
        *out = OctaveRule::mix;
    } else {
        return false;
    }
    return true;
}

const char* octaveRuleName(OctaveRule rule) {
    switch (rule) {
        case OctaveRule::twoOne:
            return "2:1";
        case OctaveRule::fourTwo:
            return "4:2";
        case OctaveRule::sixThree:
            return "6:3";
        case OctaveRule::mix:
            break;
    }
    return "mix";
}

int upperPartialOf(OctaveRule rule, int lowerMidi) {
    switch (rule) {
        case OctaveRule::twoOne:
            return 1;
        case OctaveRule::fourTwo:
            return 2;
        case OctaveRule::sixThree:
            return 3;
        case OctaveRule::mix:
            break;
    }
    if (lowerMidi < 48) return 3;
    return lowerMidi < 72 ? 2 : 1;
}

StiffnessCurve::StiffnessCurve(std::vector<KeyStiffness> keys) : keys_(std::move(keys)) {
    std::sort(keys_.begin(), keys_.end(),
              [](const KeyStiffness& a, const KeyStiffness& b) { return a.midi < b.midi; });
}

std::string StiffnessCurve::check(const std::vector<KeyStiffness>& keys) {
    for (auto k = keys.begin(); k != keys.end(); ++k) {
        if (k->midi < kLowestPianoMidi || k->midi > kHighestPianoMidi)
            return fill(translate("StretchTuning", "key %1 is not one of the 88 (A0 to C8)"),
                        {std::to_string(k->midi)});
        const std::string name = pianoKeyName(k->midi);
        if (!(k->b >= 0.0 && k->b <= kMaxB))
            return fill(translate("StretchTuning", "%1: B must be 0 to 0.05"), {name});
        const auto same = [&](const KeyStiffness& o) { return o.midi == k->midi; };
        if (std::find_if(std::next(k), keys.end(), same) != keys.end())
            return fill(translate("StretchTuning", "%1 is given twice"), {name});
    }
    if (keys.size() < 3)
        return fill(translate("StretchTuning", "the curve needs at least 3 keys, %1 given"),
                    {std::to_string(keys.size())});
    return {};
}

double StiffnessCurve::at(int midi) const {
    if (keys_.empty()) return kMinB;
    if (keys_.size() == 1) return std::max(keys_[0].b, kMinB);
    // The segment that holds the key, or the outermost one on its side.
    std::size_t i = 0;
    while (i + 2 < keys_.size() && midi > keys_[i + 1].midi) ++i;
    return std::clamp(std::exp(along(keys_[i], keys_[i + 1], midi)), kMinB, kMaxB);
}

StretchResult computeStretch(const std::vector<KeyStiffness>& keys, double referenceA,
                             OctaveRule rule) {
    StretchResult r;
    r.problem = StiffnessCurve::check(keys);
    if (r.problem.empty()) r.problem = checkReference(referenceA);
    if (!r.problem.empty()) return r;
    const StiffnessCurve curve(keys);
    std::vector<double> f(kPianoKeys + 1, 0.0);
    std::vector<double> b(kPianoKeys + 1, 0.0);
    const auto index = [](int midi) { return static_cast<std::size_t>(midi - kLowestPianoMidi); };
    for (int m = kLowestPianoMidi; m <= kHighestPianoMidi; ++m) b[index(m)] = curve.at(m);
    const auto ratio = [&](int lower) {
        return octaveRatio(b[index(lower)], b[index(lower + 12)], upperPartialOf(rule, lower));
    };
    const int a4 = kReferenceMidi;
    const double octave = ratio(a4);
    for (int s = 0; s <= 12; ++s) f[index(a4 + s)] = referenceA * std::pow(octave, s / 12.0);
    for (int m = a4 + 13; m <= kHighestPianoMidi; ++m)
        f[index(m)] = f[index(m - 12)] * ratio(m - 12);
    for (int m = a4 - 1; m >= kLowestPianoMidi; --m) f[index(m)] = f[index(m + 12)] / ratio(m);
    for (int m = kLowestPianoMidi; m <= kHighestPianoMidi; ++m) {
        const double equal = referenceA * std::pow(2.0, (m - a4) / 12.0);
        r.targets.push_back({m, f[index(m)], 1200.0 * std::log2(f[index(m)] / equal), b[index(m)]});
    }
    return r;
}

double partialOfTarget(double target, double b, int n) {
    return n * target * std::sqrt((1.0 + b * n * n) / (1.0 + b));
}

}  // namespace merlop
