#pragma once

#include <array>
#include <string>

namespace merlop {

// Arithmetic of notes, frequencies and cents under a reference A, a notation and a temperament.
// Note numbers: 0 = the A five octaves below the reference A, 60 = the reference A, -1 = no note.
class PitchModel {
  public:
    static constexpr int kMaxTuningNotes = 96;

    PitchModel();

    void setReferenceA(int hz);
    float referenceA() const { return referenceA_; }
    float baseFrequency() const { return baseFrequency_; }

    void setSharpNotation(int flag);
    int sharpNotation() const { return sharpNotation_; }

    // index 0..74, key and referenceNote C-based 0..11.
    void setTemperament(int index, int key, int referenceNote);
    // Offsets of a temperament that is no row of the table (a user temperament), in cents from
    // equal temperament per degree from the key, placed with key and reference note exactly as
    // a row is. index is what temperamentIndex() reports, e.g. the temperament's place in a list
    // that follows the 75 rows.
    void setTemperamentOffsets(const std::array<float, 12>& cents, int key, int referenceNote,
                               int index);
    int temperamentIndex() const { return temperamentIndex_; }
    // Correction in semitones per pitch class (0 = A).
    float temperamentOffset(int pitchClass) const { return temperamentOffset_[pitchClass]; }

    // Frequencies given for A = 440 Hz; they are scaled to the current reference A.
    void setTuningNotes(const float* frequenciesAt440, int count);
    float tuningFrequency(int i) const { return tuningFrequency_[i]; }
    float tuningNoteValue(int i) const { return tuningNoteValue_[i]; }
    int tuningCount() const { return tuningCount_; }

    float noteValueOf(float f) const;
    float frequencyOfNoteValue(float v) const;
    float frequencyOfNote(int note, float deviation) const;

    // Nearest (tempered) note of a note value; returns the cents, rounded half away from zero.
    int splitNoteValue(float v, int* note, float* deviation) const;
    // Note number of a frequency, -1 (deviation 0) below the base frequency.
    int nearestNote(float f, float* deviation) const;
    // Nearest custom-tuning note; index -1 and difference 0 when there are no notes.
    void nearestTuningNote(float v, int* index, float* difference) const;

    std::string noteName(int note) const;
    std::string fullNoteName(int note) const;
    std::string noteNameOfFrequency(float f) const;

    static int midiNumber(int note) { return note + 9; }
    static int octaveOfMidi(int m) { return m / 12 - 1; }
    static int midiOfC(int octave) { return 12 * octave + 12; }
    // Transposition, here and nowhere else. instrumentKey is the sounding pitch of the
    // instrument's written C in semitones from concert C: an instrument in B flat has -2, so a
    // sounding B flat 3 is written C 4 (written = sounding - key, sounding = written + key).
    // Frequencies stay at concert pitch.
    // The note as the part writes it, the one rule every display names notes by; -1 (no note)
    // stays -1.
    static int writtenNote(int note, int instrumentKey);
    // The sounding note of a written one, for the tones the tuner plays from the part.
    static int soundingNote(int writtenNote, int instrumentKey);

  private:
    void placeTemperament(const std::array<float, 12>& cents, int key, int referenceNote);

    float baseFrequency_;
    float referenceA_;
    float tuningFrequency_[kMaxTuningNotes];
    float tuningNoteValue_[kMaxTuningNotes];
    int tuningCount_;
    int sharpNotation_;
    int temperamentIndex_;
    bool tempered_;  // a row other than equal temperament, or given offsets
    float temperamentOffset_[12];
};

}  // namespace merlop
