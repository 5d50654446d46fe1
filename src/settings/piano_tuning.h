#pragma once

#include <string>
#include <vector>

#include "pitch/stretch_tuning.h"
#include "settings/tuning_store.h"

namespace merlop {

// A stretched piano tuning as a custom tuning: one note per key, A0 to C8, described by the key's
// name ("A0", "Bb0" ...), instrument Acoustic Grand Piano, frequencies scaled to A = 440 Hz as
// every custom tuning holds them.
Tuning pianoTuning(const std::string& name, const std::vector<StretchTarget>& targets,
                   double referenceA);

// Empty when the name can be a tuning's (1 to 15 characters of Windows-1252), else why not.
std::string checkPianoTuningName(const std::string& name);

// Appends pianoTuning(...) as the store's newest tuning and makes it current. Empty on success,
// else what to tell the user (a name that is empty or over 15 characters, targets that are not the
// 88 keys, a full or unwritable file); nothing is then written.
std::string addPianoTuning(TuningStore& store, const std::string& name,
                           const std::vector<StretchTarget>& targets, double referenceA);

}  // namespace merlop
