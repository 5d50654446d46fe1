#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "pitch/pitch_model.h"

namespace merlop {

// Highest frequency a tuning note may have, Hz.
constexpr float kMaxTuningFrequency = 20000.0f;
// Finite and normal, above 0 and at most kMaxTuningFrequency.
bool usableTuningFrequency(float f);

// One entry of a tuning, as the editor and the CLI handle it.
struct TuningNote {
    std::string description;  // UTF-8; at most 15 characters of Windows-1252
    int32_t note = 0;         // MIDI key number, 0 = no note chosen
    float frequency = 0.0f;   // Hz for a reference A of 440 Hz
};

// A custom tuning, held column-wise exactly as its 2340-byte record in the tunings file.
struct Tuning {
    static constexpr int kMaxNotes = PitchModel::kMaxTuningNotes;
    static constexpr std::size_t kTextSize = 16;  // 15 characters and the terminating zero
    static constexpr std::size_t kRecordSize = 2340;
    using Text = std::array<char, kTextSize>;
    using Record = std::array<unsigned char, kRecordSize>;

    Text name{};
    int32_t valid = 1;  // anything but 1 ends the list in the file
    int32_t instrument = 0;
    int32_t autoReferenceTone = 0;
    int32_t recordReadings = 0;
    int32_t noteCount = 0;
    std::array<Text, kMaxNotes> descriptions{};
    std::array<int32_t, kMaxNotes> notes{};
    std::array<float, kMaxNotes> frequencies{};

    // The texts are Windows-1252 in the record and UTF-8 here: every byte reads as a character,
    // and a character with no byte is stored as '?' (see cp1252.h).
    std::string nameText() const;
    // Longer texts are cut to 15 characters; the rest of the field is zeroed.
    void setName(std::string_view text);
    // Index 0..95; an index outside gives an empty text / is ignored.
    std::string description(int i) const;
    void setDescription(int i, std::string_view text);

    // Entry i (0..95); a default TuningNote for an index outside.
    TuningNote entry(int i) const;
    void setEntry(int i, const TuningNote& n);
    // Inserts at index 0..noteCount, moving the following notes up; false when full or misplaced.
    bool insertEntry(int at, const TuningNote& n);
    // Removes entry 0..noteCount-1, moving the following notes down; false for a bad index.
    bool removeEntry(int i);

    Record toRecord() const;
    // Reads as much of a record as there is (missing bytes count as zero). Whatever the bytes
    // hold, the result is usable: texts terminated, noteCount 0..96, instrument 0..127, notes
    // 0..127, frequencies that no tuner can sound (see usableTuningFrequency) 0, i.e. "no
    // frequency". The options stay as stored: any non-zero value is on.
    static Tuning fromRecord(const unsigned char* data, std::size_t size);
};

// The custom tunings and their file "merlo230.tng": records of 2340 bytes from offset 0, the list
// being the run of valid records from record 0 (at most 32). One tuning, the current one, is held
// in memory; the settings page edits it in place and saveCurrent writes it.
//
// Choices where the file alone cannot decide:
// - A missing or empty file is created with the three built-in tunings (Guitar, Violin, Bagpipe).
//   An existing file is never truncated or recreated, even when it cannot be written.
// - A file that exists but is read-only is listed; every save and delete then returns -1.
// - A file that can neither be read nor created, a folder in its place, or a read-only one that
//   lists nothing: the three built-in tunings are offered from memory and every save and delete
//   returns -1 (hasFile() is false).
// - Saving a 33rd tuning is refused: nothing is written, -1, the current index is unchanged.
// - Deleting the last remaining tuning is refused (-1), so a list that has tunings never becomes
//   empty and the current tuning always names one.
// - Appending a record makes sure the record after it is not a stale valid one, so a tuning
//   deleted earlier (or left behind an end marker) cannot reappear in the list.
// - readTuning only reads listed tunings (0..tuningsInFile-1); the settings' currentTuning may
//   name any index, and an unlisted one simply leaves tuning 0 current.
// - The file is not kept open. Every save writes the whole file anew beside it and renames it into
//   place (common/atomic_file.h), keeping every byte it does not change: a crash or a full disk
//   leaves the old file or the new one, and a failed save changes nothing, in the file or here.
// - Several tuners (or stores) may share the file. Each save takes a lock, re-reads the file and
//   applies itself to what the file holds then: an edit goes to the record that holds its tuning
//   now (the one it was read from if that is unchanged, else the listed one of that name) and is
//   appended when its tuning is gone; a new tuning goes after the tunings listed now; a delete
//   removes the chosen tuning wherever it is now. The list and the current index follow the file
//   after every save, and names(), name() and readTuning() re-read a file that has changed. An
//   index given to the store names the tuning this store last listed there.
class TuningStore {
  public:
    static constexpr const char* kFileName = "merlo230.tng";
    static constexpr int kMaxTunings = 32;

    explicit TuningStore(const std::filesystem::path& directory = ".");
    ~TuningStore();
    TuningStore(const TuningStore&) = delete;
    TuningStore& operator=(const TuningStore&) = delete;

    // Loads listed tuning i as the current one; currentNote becomes 0. 0 or -1.
    int readTuning(int i);
    // Stores the current tuning, as it stands, as record i (0..tuningsInFile, at most 31); when
    // i == tuningsInFile the list grows by one. 0 or -1.
    int writeTuning(int i);
    // Writes the current tuning (marked valid) over record currentTuning, or with asNew appends
    // it and makes it current. 0 or -1.
    int saveCurrent(bool asNew);
    // Removes tuning i, moving the later ones down; the old last record becomes the end marker and
    // tuning 0 becomes current. 0 or -1.
    int deleteTuning(int i);
    // Empties the current tuning (valid 1, no notes) and sets currentNote to -1.
    void clearCurrent();

    // Both pick up another store's saves first.
    std::vector<std::string> names();
    std::string name(int i);
    int tuningsInFile() const { return tuningsInFile_; }
    int currentTuning() const { return currentTuning_; }
    int currentNote() const { return currentNote_; }
    void setCurrentNote(int note) { currentNote_ = note; }
    bool hasFile() const { return hasFile_; }
    const std::filesystem::path& path() const { return path_; }

    // The current tuning; the settings page edits it in place.
    Tuning& current() { return tuning_; }
    const Tuning& current() const { return tuning_; }
    std::string currentName() const { return tuning_.nameText(); }
    int instrument() const { return tuning_.instrument; }
    int autoReferenceTone() const { return tuning_.autoReferenceTone; }
    int recordReadings() const { return tuning_.recordReadings; }
    int noteCount() const { return tuning_.noteCount; }
    std::string description(int i) const { return tuning_.description(i); }
    int note(int i) const { return i >= 0 && i < Tuning::kMaxNotes ? tuning_.notes[i] : 0; }
    float frequency(int i) const {
        return i >= 0 && i < Tuning::kMaxNotes ? tuning_.frequencies[i] : 0.0f;
    }
    // noteCount() values, for PitchModel::setTuningNotes.
    const float* frequencies() const { return tuning_.frequencies.data(); }

    // The three tunings a new file starts with, in file order.
    static std::vector<Tuning> builtInTunings();
    // The bytes of a new file: builtInTunings() as records 0, 1 and 2.
    static std::string newFileImage();

  private:
    // Device, inode, size, modification and change time: what tells that the file changed.
    using Stamp = std::array<std::int64_t, 7>;

    bool openOrCreate();
    bool readFile(std::string* image, Stamp* stamp) const;
    void adopt(std::string image, const Stamp& stamp, int currentAt);
    void refresh();
    void select(int i);
    int put(const std::string& chosen, int wasAt, bool makeCurrent);

    std::filesystem::path path_;
    bool hasFile_ = false;
    std::string image_;  // the file's bytes as last read or written
    Stamp stamp_{};
    std::string
        loaded_;  // record currentTuning as it was read or saved: the current one's identity
    std::vector<Tuning> memoryOnly_;  // the built-in tunings when there is no file at all
    Tuning tuning_;
    int currentNote_ = -1;
    int currentTuning_ = 0;
    int tuningsInFile_ = 0;
    std::array<Tuning::Text, kMaxTunings> names_{};
};

}  // namespace merlop
