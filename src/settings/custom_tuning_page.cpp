#include "settings/custom_tuning_page.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>

#include "common/message_box.h"
#include "common/question_box.h"
#include "common/translation.h"
#include "pitch/pitch_model.h"
#include "settings/cp1252.h"
#include "settings/settings_sheet.h"
#include "settings/tuning_store.h"

namespace merlop {

namespace {

std::string formatted(const char* format, double v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, format, v);
    return buf;
}

// A frequency no tuner could sound is kept as "no frequency", as the store does when it reads.
float typedFrequency(const std::string& text) {
    const float f = static_cast<float>(std::strtod(text.c_str(), nullptr));
    return usableTuningFrequency(f) ? f : 0.0f;
}

// Characters as the tunings file counts them.
std::size_t storedLength(const std::string& text) {
    return toCp1252(text).bytes.size();
}

}  // namespace

CustomTuningPage::CustomTuningPage(TuningStore& store, CustomPageControls& controls,
                                   QuestionBox& questions, MessageBox& messages,
                                   int32_t recordReadings)
    : store_(store), controls_(controls), questions_(questions), messages_(messages) {
    fields_.recordReadings = recordReadings;
}

// A name goes into the file as single bytes: one that will not fit is refused rather than stored
// as something else, and the cut to the field's length falls between characters.
bool CustomTuningPage::fitName(std::string& text, int id) {
    const Cp1252Text stored = toCp1252(text);
    if (!stored.firstUnmappable.empty()) {
        messages_.show(fill(translate("SettingsSheet",
                                      "The name can only hold letters of Western European "
                                      "languages: \"%1\" has no place in it."),
                            {stored.firstUnmappable}),
                       "Merlop");
        controls_.focus(id);
        return false;
    }
    if (stored.bytes.size() > kTuningTextChars) {
        text = cp1252ToUtf8(std::string_view(stored.bytes).substr(0, kTuningTextChars));
    }
    return true;
}

bool CustomTuningPage::saveControls() {
    CustomFields f = controls_.read();
    if (!fitName(f.name, 1015) || !fitName(f.description, 1017)) return false;
    const std::optional<int32_t> octave = parseInteger(f.octave);
    if (!octave || *octave < 1 || *octave > 8) {
        messages_.show(octave ? integerRangeMessage(1, 8) : integerMessage(), "Merlop");
        controls_.focus(1021);
        return false;
    }
    if (f.frequency.size() > kFrequencyChars) f.frequency.resize(kFrequencyChars);
    fields_ = f;
    octave_ = *octave;
    return true;
}

void CustomTuningPage::loadControls() {
    fields_.octave = std::to_string(octave_);
    controls_.write(fields_);
}

void CustomTuningPage::init() {
    selectedNote_ = 0;
    modified_ = false;
    creatingNew_ = false;
    store_.readTuning(store_.currentTuning());
    showTuning();
    showFirstNote();
    loadControls();
}

bool CustomTuningPage::leave() {
    return saveControls();
}

void CustomTuningPage::showTuning() {
    if (creatingNew_) {
        controls_.setTuningList({}, -1);
    } else {
        controls_.setTuningList(store_.names(), store_.currentTuning());
    }
    const Tuning& t = store_.current();
    fields_.name = t.nameText();
    fields_.instrument = t.instrument;
    fields_.autoReferenceTone = t.autoReferenceTone;
}

void CustomTuningPage::showNote(int i) {
    const Tuning& t = store_.current();
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(std::max(t.noteCount, 0)));
    for (int k = 0; k < t.noteCount; ++k) lines.push_back(t.description(k));
    if (i < 0 || i >= t.noteCount) {
        controls_.setNoteList(lines, -1);
        // Moved-in strings: GCC 12 warns falsely on assigning a literal here at -O3.
        fields_.description = std::string(1, 'A');
        fields_.noteIndex = 9;
        octave_ = 4;
        fields_.frequency = std::string("440.0");
        return;
    }
    controls_.setNoteList(lines, i);
    fields_.description = t.description(i);
    if (t.notes[i] <= 0) {
        fields_.noteIndex = 12;
        octave_ = 1;
    } else {
        fields_.noteIndex = t.notes[i] % 12;
        octave_ = t.notes[i] / 12 - 1;
    }
    fields_.frequency = formatted("%7.3f", t.frequencies[i]);
}

// A tuning without notes has no selected note.
void CustomTuningPage::showFirstNote() {
    selectedNote_ = store_.noteCount() > 0 ? 0 : -1;
    showNote(selectedNote_);
}

bool CustomTuningPage::commitNote() {
    if (selectedNote_ < 0) return true;
    if (!saveControls()) return false;
    Tuning& t = store_.current();
    const int i = selectedNote_;
    if (fields_.description != t.description(i)) {
        t.setDescription(i, fields_.description);
        modified_ = true;
    }
    const int32_t note = fields_.noteIndex > 11 ? 0 : (octave_ + 1) * 12 + fields_.noteIndex;
    if (note != t.notes[i]) {
        t.notes[i] = note;
        modified_ = true;
    }
    const float f = typedFrequency(fields_.frequency);
    if (std::fabs(static_cast<double>(f) - t.frequencies[i]) > 0.01) {
        t.frequencies[i] = f;
        modified_ = true;
    }
    return true;
}

CustomTuningPage::Commit CustomTuningPage::commitTuning(bool ask) {
    if (!saveControls()) return Commit::invalid;
    Tuning& t = store_.current();
    if (fields_.name != t.nameText()) {
        t.setName(fields_.name);
        modified_ = true;
    }
    const auto store = [this](int32_t& into, int32_t v) {
        if (into != v) {
            into = v;
            modified_ = true;
        }
    };
    store(t.instrument, fields_.instrument);
    store(t.autoReferenceTone, fields_.autoReferenceTone);
    store(t.recordReadings, fields_.recordReadings);
    if (!commitNote()) return Commit::invalid;
    if (!modified_) return Commit::unchanged;
    if (ask &&
        !questions_.ask(fill(translate("SettingsSheet", "Save changes to %1 ?"), {fields_.name}),
                        " ", QuestionBox::Buttons::okCancel)) {
        return Commit::declined;
    }
    if (store_.saveCurrent(creatingNew_) != 0) {
        messages_.show(translate("SettingsSheet", "savetng failed"), "");
        return Commit::failed;
    }
    creatingNew_ = false;
    modified_ = false;
    return Commit::saved;
}

bool CustomTuningPage::ok() {
    return commitTuning(true) != Commit::invalid;
}

void CustomTuningPage::newTuning() {
    if (creatingNew_) return;
    const Commit c = commitTuning(true);
    if (c == Commit::invalid || c == Commit::failed) return;
    if (store_.tuningsInFile() >= TuningStore::kMaxTunings) {
        messages_.show(translate("SettingsSheet", "Cannot add more than 32 tunings"), " ");
        return;
    }
    creatingNew_ = true;
    if (questions_.ask(fill(translate("SettingsSheet", "Base new tuning on %1 ?"), {fields_.name}),
                       " ", QuestionBox::Buttons::yesNo)) {
        showFirstNote();
    } else {
        store_.clearCurrent();
        selectedNote_ = -1;
        showNote(-1);
    }
    store_.current().setName("");
    showTuning();
    loadControls();
    modified_ = true;
    controls_.focus(1015);
}

void CustomTuningPage::deleteTuning() {
    if (creatingNew_) return;
    if (!saveControls()) return;
    if (!questions_.ask(fill(translate("SettingsSheet", "Delete %1 ?"), {fields_.name}), " ",
                        QuestionBox::Buttons::okCancel)) {
        return;
    }
    if (store_.deleteTuning(controls_.tuningSelection()) != 0) {
        messages_.show(fill(translate("SettingsSheet", "Cannot delete %1"), {fields_.name}), " ");
        return;
    }
    // Tuning 0 is current now, as the file holds it.
    modified_ = false;
    showTuning();
    showFirstNote();
    loadControls();
}

void CustomTuningPage::selectTuning() {
    const int sel = controls_.tuningSelection();
    if (creatingNew_ || sel < 0) return;
    const Commit c = commitTuning(true);
    if (c == Commit::invalid || c == Commit::failed) {
        controls_.setTuningList(store_.names(), store_.currentTuning());
        return;
    }
    store_.readTuning(sel);
    modified_ = false;
    showTuning();
    showFirstNote();
    loadControls();
}

void CustomTuningPage::save() {
    if (commitTuning(false) == Commit::invalid) return;
    showTuning();
    showNote(selectedNote_);
    loadControls();
}

void CustomTuningPage::insertNote() {
    Tuning& t = store_.current();
    if (t.noteCount >= Tuning::kMaxNotes) {
        messages_.show(translate("SettingsSheet", "Cannot insert more notes"), " ");
        return;
    }
    if (!saveControls()) return;
    const int line = controls_.noteSelection();
    const int at = t.noteCount == 0 || line < 0 ? 0 : std::min(line + 1, int{t.noteCount});
    t.insertEntry(at, TuningNote{});
    selectedNote_ = at;
    commitNote();  // the new note is a copy of what the fields show
    showNote(selectedNote_);
    loadControls();
    modified_ = true;
}

void CustomTuningPage::deleteNote() {
    const int line = controls_.noteSelection();
    Tuning& t = store_.current();
    if (line < 0 || line >= t.noteCount) return;
    t.removeEntry(line);
    selectedNote_ = std::min(line, t.noteCount - 1);
    showNote(selectedNote_);
    loadControls();
    modified_ = true;
}

void CustomTuningPage::selectNote() {
    const int line = controls_.noteSelection();
    if (line == selectedNote_) return;
    if (!commitNote()) {
        showNote(selectedNote_);
        loadControls();
        return;
    }
    selectedNote_ = line;
    showNote(line);
    loadControls();
}

void CustomTuningPage::fillFromNote() {
    if (fields_.noteIndex < 0 || fields_.noteIndex > 11) return;
    const PitchModel pm;
    if (storedLength(fields_.description) <= 4)
        fields_.description = pm.noteName(fields_.noteIndex + 3);
    fields_.frequency =
        formatted("%7.1f", pm.frequencyOfNote(fields_.noteIndex + 12 * octave_ + 3, 0.0f));
    loadControls();
}

void CustomTuningPage::noteChosen() {
    const CustomFields f = controls_.read();
    const std::optional<int32_t> octave = parseInteger(f.octave);
    fields_ = f;
    // While the octave is being typed its text may not be one yet; the check comes on leaving.
    if (octave && *octave >= 1 && *octave <= 8) octave_ = *octave;
    fillFromNote();
}

void CustomTuningPage::octaveChanged() {
    const CustomFields f = controls_.read();
    const std::optional<int32_t> octave = parseInteger(f.octave);
    if (!octave || *octave == 0 || *octave < 1 || *octave > 8) return;
    fields_ = f;
    octave_ = *octave;
    fillFromNote();
}

}  // namespace merlop
