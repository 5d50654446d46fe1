#include "app/tuning_note_choice.h"

#include <algorithm>

#include "common/translation.h"
#include "settings/tuning_store.h"

namespace merlop {

int TuningNoteChoice::noteCount(const TuningStore& store) {
    return std::clamp(store.noteCount(), 0, Tuning::kMaxNotes);
}

void TuningNoteChoice::begin(const TuningStore& store) {
    current_ = automatic_ ? noteCount(store) : store.currentNote();
}

bool TuningNoteChoice::next(TuningStore& store) {
    if (automatic_) return false;
    current_ = current_ + 1 >= noteCount(store) ? 0 : current_ + 1;
    store.setCurrentNote(current_);
    return true;
}

void TuningNoteChoice::select(int index, TuningStore& store) {
    current_ = std::min(index, noteCount(store));
    store.setCurrentNote(current_);
}

void TuningNoteChoice::tuningChanged(const TuningStore& store) {
    current_ = noteCount(store);
}

std::vector<std::string> TuningNoteChoice::comboItems(const TuningStore& store) {
    const int count = noteCount(store);
    std::vector<std::string> items;
    items.reserve(static_cast<std::size_t>(count) + 1);
    for (int i = 0; i < count; ++i) items.push_back(store.description(i));
    items.push_back(translate("TuningNoteChoice", "Automatic"));
    current_ = std::clamp(current_, 0, count);
    automatic_ = current_ == count;
    toneArmed_ = true;
    return items;
}

}  // namespace merlop
