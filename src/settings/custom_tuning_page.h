#pragma once

// The editor of the custom tunings, without its window. It works on the store's current tuning
// in place: every commit copies the fields into that record, and saving writes it to the file.
//
//   idle --New tuning--> creating (list empty; select, delete and New ignored) --save--> idle
//
// A save that fails leaves the tuning marked modified (and a new one still new), and a change of
// tuning after it does not go ahead, so the edits are offered again rather than dropped.

#include <cstdint>
#include <string>
#include <vector>

namespace merlop {

class TuningStore;
class QuestionBox;
class MessageBox;

// What the page's controls hold.
struct CustomFields {
    std::string name;                 // edit 1015
    int32_t instrument = 0;           // list 1016
    int32_t autoReferenceTone = 0;    // check 1029
    int32_t recordReadings = 0;       // check 1042
    std::string description = "A";    // edit 1017
    int32_t noteIndex = 9;            // list 1018: 0..11 C..B, 12 blank
    std::string octave = "4";         // edit 1021
    std::string frequency = "440.0";  // edit 1024
};

class CustomPageControls {
  public:
    virtual ~CustomPageControls() = default;
    virtual CustomFields read() const = 0;
    // Writing the controls is not a user edit: it must not come back as noteChosen or
    // octaveChanged.
    virtual void write(const CustomFields& f) = 0;
    virtual void setTuningList(const std::vector<std::string>& names, int selected) = 0;
    virtual int tuningSelection() const = 0;
    virtual void setNoteList(const std::vector<std::string>& lines, int selected) = 0;
    virtual int noteSelection() const = 0;
    virtual void focus(int id) = 0;
};

// Text limits of the edits; the names count Windows-1252 characters, as the file stores them.
inline constexpr int kTuningTextChars = 15;
inline constexpr int kFrequencyChars = 10;

class CustomTuningPage {
  public:
    CustomTuningPage(TuningStore& store, CustomPageControls& controls, QuestionBox& questions,
                     MessageBox& messages, int32_t recordReadings);

    // First showing of the page.
    void init();
    // Leaving the page: the fields must be valid. False keeps the page (message shown).
    bool leave();
    // The sheet's OK: commits the tuning with the save question. False when a field is invalid.
    bool ok();

    void newTuning();
    void deleteTuning();
    void selectTuning();
    void save();
    void insertNote();
    void deleteNote();
    void selectNote();
    // The user's own edits of the note list or the octave.
    void noteChosen();
    void octaveChanged();

    int selectedNote() const { return selectedNote_; }
    bool modified() const { return modified_; }
    bool creatingNew() const { return creatingNew_; }
    int32_t recordReadings() const { return fields_.recordReadings; }
    const CustomFields& fields() const { return fields_; }

  private:
    enum class Commit { unchanged, saved, declined, failed, invalid };
    bool saveControls();
    // False (message shown, edit `id` focused) when the text has a character the file cannot hold;
    // otherwise cuts it to the file's length.
    bool fitName(std::string& text, int id);
    void loadControls();
    void showTuning();
    void showNote(int i);
    void showFirstNote();
    bool commitNote();
    Commit commitTuning(bool ask);
    // Fills description and frequency from the chosen note and octave.
    void fillFromNote();

    TuningStore& store_;
    CustomPageControls& controls_;
    QuestionBox& questions_;
    MessageBox& messages_;
    CustomFields fields_;
    int32_t octave_ = 4;
    int selectedNote_ = 0;
    bool modified_ = false;
    bool creatingNew_ = false;
};

}  // namespace merlop
