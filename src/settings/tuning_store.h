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

namespace merlop {

// Highest frequency a tuning note may have, Hz.
constexpr float kMaxTuningFrequency = 20000.0f;
// Finite and normal, above 0 and at most kMaxTuningFrequency.
bool usableTuningFrequency(float f);

// One entry of a tuning, as the editor and the CLI handle it.
struct TuningNote {
    std::string description;  // at most 15 characters
    int32_t note = 0;         // MIDI key number, 0 = no note chosen
    float frequency = 0.0f;   // Hz for a reference A of 440 Hz
};

// A custom tuning, held column-wise exactly as its 2340-byte record in the tunings file.
struct Tuning {
    static constexpr int kMaxNotes = 96;
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
//   An existing file is never truncated or recreated, even when it cannot be opened for writing.
// - A file that exists but is read-only is listed; every save and delete then returns -1.
// - A file that can neither be opened nor created, a folder in its place, a file that cannot be
//   read, or a read-only one that lists nothing: the three built-in tunings are offered from
//   memory and every save and delete returns -1 (hasFile() is false).
// - Saving a 33rd tuning is refused: nothing is written, -1, the current index is unchanged.
// - Deleting the last remaining tuning is refused (-1), so a list that has tunings never becomes
//   empty and the current tuning always names one.
// - Appending a record makes sure the record after it is not a stale valid one, so a tuning
//   deleted earlier (or left behind an end marker) cannot reappear in the list.
// - readTuning only reads listed tunings (0..tuningsInFile-1); the settings' currentTuning may
//   name any index, and an unlisted one simply leaves tuning 0 current.
// - Every write is flushed at once, so a crash after a save loses nothing.
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

    std::vector<std::string> names() const;
    std::string name(int i) const;
    int tuningsInFile() const { return tuningsInFile_; }
    int currentTuning() const { return currentTuning_; }
    int currentNote() const { return currentNote_; }
    void setCurrentNote(int note) { currentNote_ = note; }
    bool hasFile() const { return file_ != nullptr; }
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

  private:
    struct FileCloser {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

    bool openOrCreate();
    bool createWithBuiltIns();
    void scan();
    int readRecord(int i, Tuning& into);
    int writeRecord(int i, const Tuning& t);
    void endListAfter(int i);

    std::filesystem::path path_;
    FilePtr file_;
    std::vector<Tuning> memoryOnly_;  // the built-in tunings when there is no file at all
    Tuning tuning_;
    int currentNote_ = -1;
    int currentTuning_ = 0;
    int tuningsInFile_ = 0;
    bool readOnly_ = false;
    std::array<Tuning::Text, kMaxTunings> names_{};
};

}  // namespace merlop
