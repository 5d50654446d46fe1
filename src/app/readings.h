#pragma once

// The two comma-delimited exports: the deviations recorded for the notes of a custom tuning, and
// the peaks and valleys of the paused spectrum history. Files are written whole or not at all:
// the lines go to a temporary file beside the target, which then replaces it.

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "common/translation.h"
#include "display/spectrum_scan.h"

namespace merlop {

class PitchModel;
struct Tuning;
class QuestionBox;
class MessageBox;

// The custom-tuning readings: one deviation in semitones per tuning note, kNoReading where the
// note was not measured. Absent until prepared; released once offered for saving.
class CustomReadings {
  public:
    static constexpr int kNotes = 96;
    static constexpr float kNoReading = -999.0f;
    using Values = std::array<float, kNotes>;

    // A fresh set: every note unmeasured.
    void prepare();
    void release();
    bool prepared() const { return prepared_; }
    // Takes over a set recorded elsewhere (the analysis keeps one of its own).
    void assign(const Values& values);
    const Values& values() const { return values_; }
    // At least one note was measured.
    bool anyReading() const;

  private:
    Values values_{};
    bool prepared_ = false;
};

// Whether a stored deviation is a reading (the marker is not).
inline bool isReading(float deviation) {
    return !(deviation < -998.0f);
}

// Whether readings taken against tuning a (with pitch model pa) still name the same notes at the
// same targets in tuning b: same count, labels and target frequencies.
bool sameReadingTargets(const Tuning& a, const PitchModel& pa, const Tuning& b,
                        const PitchModel& pb);

// One line of the readings file, without its line end: "label,target," or
// "label,target,measured,cents".
std::string customReadingLine(const std::string& label, float target, bool hasReading,
                              float measured, float deviation);
// The lines for the tuning's notes, the pitch model holding the tuning's notes (reference A
// applied).
std::vector<std::string> customReadingsLines(const Tuning& tuning, const PitchModel& pitch,
                                             const CustomReadings::Values& deviations);
// The header and one line per extremum.
std::vector<std::string> spectrumFileLines(const std::vector<SpectrumExtremum>& extrema);

// Writes every line followed by a line end. On failure the target is left as it was and the
// returned text says why; empty on success.
std::string writeCsvFile(const std::filesystem::path& path, const std::vector<std::string>& lines);

// The save-file dialog of the exports: extension "csv", filter "Comma delimited files (*.csv) |
// *.csv", overwrite prompt. Returns the chosen path, empty when cancelled.
class CsvFileDialog {
  public:
    virtual ~CsvFileDialog() = default;
    virtual std::string saveCsv(const std::string& initialName) = 0;
};

inline constexpr const char* kCsvFilter = "Comma delimited files (*.csv) | *.csv";

// Offers the readings for saving ("save custom readings ?", then the dialog with "readings") and
// releases them in every case. True when a file was written.
bool saveCustomReadings(CustomReadings& readings, const Tuning& tuning, const PitchModel& pitch,
                        QuestionBox& questions, CsvFileDialog& dialog, MessageBox& messages);

// Save Spectrum once the window's history has been scanned: the dialog with "spectrum", then the
// file. The flat view keeps no history: its scan is empty and the file holds the header alone.
// True when a file was written.
bool saveSpectrumReadings(const std::vector<SpectrumExtremum>& extrema, CsvFileDialog& dialog,
                          MessageBox& messages);

// What Save Spectrum shows when the spectrum is not paused or not shown.
inline constexpr const char* kSpectrumNotPausedText =
    MERLOP_TR_NOOP("Readings", "Function only available whilst spectrum paused");
inline constexpr const char* kSaveSpectrumCaption = MERLOP_TR_NOOP("Readings", "Save Spectrum");

}  // namespace merlop
