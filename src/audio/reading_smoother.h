#pragma once

namespace merlop {

// One analysis result as the tuner display receives it.
struct PitchReading {
    int note = -1;         // note number, -1 none
    int tuningIndex = -1;  // matched custom-tuning note, -1 outside custom tuning
    float frequency = -1.0f;
    float deviation = -1.0f;  // semitones; -1 when there is no note
};

// Smooths successive note values into a steady reading: small wobbles are averaged, moderate
// steps are followed at once, an octave slip during a steady note is folded back, and a new
// attack or two missing estimates start afresh. An estimate that stays on another octave for
// kOctaveBlocks blocks in a row is a new note played legato, and is followed.
class ReadingSmoother {
  public:
    // Blocks in a row an estimate must stay on another octave before it is taken: more than
    // the one or two a decaying string slips, and at the default block length about half a
    // second.
    static constexpr int kOctaveBlocks = 3;

    ReadingSmoother() { reset(); }

    void reset();
    // v: note value of this block, negative for none; level: its peak-to-peak level.
    // Returns the smoothed note value, -1 for none.
    float smooth(float v, int level);

    float value() const { return value_; }
    float alpha() const { return alpha_; }
    int stableCount() const { return stableCount_; }

  private:
    float value_ = -1.0f;
    float alphaStart_ = 0.3f;
    float alpha_ = 0.3f;
    float alphaStep_ = 0.35f;
    int stableCount_ = 0;
    int lastLevel_ = 0;
    int octaveBlocks_ = 0;         // blocks in a row folded from the same other octave
    float octaveEstimate_ = 0.0f;  // the last of them, unfolded
};

}  // namespace merlop
