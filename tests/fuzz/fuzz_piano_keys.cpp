// Key measurements as merlop.conf keeps them, from arbitrary bytes: a refused text hands out
// nothing; an accepted one writes back to the same measurements, and three or more of them make a
// stretched tuning of 88 usable targets.
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "pitch/piano_keys.h"
#include "pitch/stretch_tuning.h"

using namespace merlop;

namespace {

void checkMeasurement(const KeyMeasurement& m) {
    FUZZ_CHECK(m.midi >= kLowestPianoMidi && m.midi <= kHighestPianoMidi);
    FUZZ_CHECK(m.f0 >= 10.0 && m.f0 <= 20000.0);
    FUZZ_CHECK(m.b >= 0.0 && m.b <= StiffnessCurve::kMaxB);
    FUZZ_CHECK(m.partials >= kMinKeyPartials && m.partials <= kMaxKeyPartials);
}

void checkStretch(const std::vector<KeyMeasurement>& list) {
    const StretchResult r = computeStretch(stiffnessOf(list), 440.0, OctaveRule::mix);
    if (list.size() < 3) {
        FUZZ_CHECK(!r.problem.empty() && r.targets.empty());
        return;
    }
    FUZZ_CHECK(r.problem.empty());
    FUZZ_CHECK(r.targets.size() == static_cast<std::size_t>(kPianoKeys));
    for (const StretchTarget& t : r.targets) {
        FUZZ_CHECK(std::isfinite(t.frequency) && t.frequency > 0.0 && t.frequency < 20000.0);
        FUZZ_CHECK(std::isfinite(t.cents));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<KeyMeasurement> unread(1);
    std::vector<KeyMeasurement> list = unread;
    if (!parseKeyMeasurements(text, &list).empty()) {
        FUZZ_CHECK(list.size() == 1 && list[0].midi == 0);
        return 0;
    }
    for (const KeyMeasurement& m : list) checkMeasurement(m);
    std::vector<KeyMeasurement> back;
    FUZZ_CHECK(parseKeyMeasurements(formatKeyMeasurements(list), &back).empty());
    FUZZ_CHECK(back.size() == list.size());
    for (std::size_t i = 0; i < list.size(); ++i) {
        FUZZ_CHECK(back[i].midi == list[i].midi && back[i].partials == list[i].partials);
        FUZZ_CHECK(std::fabs(back[i].f0 - list[i].f0) <= 5.1e-6);
        FUZZ_CHECK(std::fabs(back[i].b - list[i].b) <= 1e-7 * list[i].b + 1e-300);
    }
    checkStretch(list);
    return 0;
}
