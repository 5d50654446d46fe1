#pragma once

// Tunings a player would otherwise type in by hand: the common bass, ukulele, string, mandolin,
// banjo and alternative guitar tunings, in equal temperament at A 440 as the built-in ones.

#include <string>
#include <vector>

#include "settings/tuning_store.h"

namespace merlop {

struct TuningPreset {
    const char* id;  // for merlop-cli: lower case, no blanks
    Tuning tuning;
};

// In menu order.
const std::vector<TuningPreset>& tuningPresets();
// The preset of that id, or null.
const TuningPreset* findTuningPreset(const std::string& id);

// Appends the preset as the newest tuning of the store and makes it current. Empty on success,
// else what to tell the user; the store's current tuning is then the one it was.
std::string addPresetTuning(TuningStore& store, const TuningPreset& preset);

}  // namespace merlop
