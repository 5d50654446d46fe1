#pragma once

// What a Scala scale becomes in the tuner, and what a temperament becomes as a scale.
//
// - A scale of 12 notes whose period is 2/1 is a temperament: per degree from the key, its
//   offset in cents from equal temperament, as a row of the temperament table.
// - Any other scale is a custom tuning: every MIDI key the keyboard map (or, without one, a
//   linear map with degree 0 on the key in octave 4 and A at 440 Hz) gives a pitch that a tuner
//   can sound, at most 96 of them, the keys nearest the reference note; the rest are named.

#include <array>
#include <string>
#include <vector>

#include "settings/scala_scale.h"
#include "settings/tuning_store.h"

namespace merlop {

// 12 pitches and a period of 2/1.
bool isTemperamentScale(const ScalaScale& scale);
// Offsets in cents from equal temperament of degrees 0..11 (degree 0 is 0). Only for a
// temperament scale.
std::array<double, 12> temperamentOffsets(const ScalaScale& scale);
std::array<float, 12> temperamentRow(const ScalaScale& scale);

// The scale of a temperament: degree i at 100 i cents plus its offset, relative to degree 0,
// and 2/1 as the period.
ScalaScale scaleOfTemperament(const std::array<float, 12>& offsets, const std::string& description);
// "NAME, key KEY": the description an exported temperament carries.
std::string temperamentDescription(const std::string& name, int key);
// C-based key name (flats), "C" for a key outside 0..11.
std::string keyName(int key);
// Letters and digits kept, every other run of characters one '_'; "scale" when nothing is left.
std::string safeFileName(const std::string& name);

// The linear map a scale is played from without a .kbm: degree 0 on the key (0 = C) in octave 4,
// which sounds at its equal-tempered frequency for A 440.
ScalaKeyboardMap defaultKeyboardMap(int key);

struct ScalaTuning {
    Tuning tuning;                 // named, its notes in key order
    std::vector<int> tooMany;      // keys left out beyond the 96 a tuning holds
    std::vector<int> unsoundable;  // keys whose pitch lies outside what a tuner can sound
    std::string problem;           // when not empty, no tuning could be made
};

// The tuning of a scale played from a keyboard map; name cut to 15 characters.
ScalaTuning tuningOfScale(const ScalaScale& scale, const ScalaKeyboardMap& map,
                          const std::string& name);
// MIDI keys as ranges, "0-11, 108-127".
std::string keyRanges(const std::vector<int>& keys);

}  // namespace merlop
