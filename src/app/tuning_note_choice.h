#pragma once

// Which note of a custom tuning the tuner holds to: one chosen note, or "Automatic", the note
// nearest to what is played. Its index is the note's, and the note count for "Automatic".

#include <string>
#include <vector>

namespace merlop {

class TuningStore;

class TuningNoteChoice {
  public:
    explicit TuningNoteChoice(bool automatic) : automatic_(automatic) {}

    // The current tuning's notes, never more than a tuning holds.
    static int noteCount(const TuningStore& store);

    // Custom tuning begins: on the store's current note, or on "Automatic".
    void begin(const TuningStore& store);
    // The next note, round the tuning; false in "Automatic", which stays.
    bool next(TuningStore& store);
    // A note from the combo; the note count or more is "Automatic".
    void select(int index, TuningStore& store);
    // Another tuning was loaded: it starts on "Automatic".
    void tuningChanged(const TuningStore& store);
    // The note combo's entries, "Automatic" last; the choice settles within them, and the
    // automatic reference tone may play once for it.
    std::vector<std::string> comboItems(const TuningStore& store);

    int current() const { return current_; }
    bool automatic() const { return automatic_; }
    // The note held to, -1 for "Automatic".
    int fixedNote() const { return automatic_ ? -1 : current_; }
    bool toneArmed() const { return toneArmed_; }
    void disarmTone() { toneArmed_ = false; }

  private:
    int current_ = 0;
    bool automatic_;
    bool toneArmed_ = false;
};

}  // namespace merlop
