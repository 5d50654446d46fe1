#include "app/readings.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "common/atomic_file.h"
#include "common/message_box.h"
#include "common/question_box.h"
#include "common/translation.h"
#include "pitch/pitch_model.h"
#include "settings/tuning_store.h"

namespace merlop {

void CustomReadings::prepare() {
    values_.fill(kNoReading);
    prepared_ = true;
}

void CustomReadings::release() {
    prepared_ = false;
}

void CustomReadings::assign(const Values& values) {
    values_ = values;
    prepared_ = true;
}

bool CustomReadings::anyReading() const {
    return prepared_ && std::any_of(values_.begin(), values_.end(), isReading);
}

bool sameReadingTargets(const Tuning& a, const PitchModel& pa, const Tuning& b,
                        const PitchModel& pb) {
    if (a.noteCount != b.noteCount || pa.tuningCount() != pb.tuningCount()) return false;
    const int n = std::min<int>(a.noteCount, pa.tuningCount());
    for (int i = 0; i < n; ++i) {
        if (a.descriptions[i] != b.descriptions[i] ||
            pa.tuningFrequency(i) != pb.tuningFrequency(i)) {
            return false;
        }
    }
    return true;
}

std::string customReadingLine(const std::string& label, float target, bool hasReading,
                              float measured, float deviation) {
    char buf[96];
    if (!hasReading) {
        std::snprintf(buf, sizeof buf, "%7.1f,", static_cast<double>(target));
    } else {
        std::snprintf(buf, sizeof buf, "%7.1f,%7.1f,%4.1f", static_cast<double>(target),
                      static_cast<double>(measured), deviation * 100.0);
    }
    return label + "," + buf;
}

std::vector<std::string> customReadingsLines(const Tuning& tuning, const PitchModel& pitch,
                                             const CustomReadings::Values& deviations) {
    std::vector<std::string> lines;
    const int n = std::min<int>(tuning.noteCount, pitch.tuningCount());
    for (int i = 0; i < n; ++i) {
        const float d = deviations[i];
        const bool has = isReading(d);
        const float measured = has ? pitch.frequencyOfNoteValue(static_cast<float>(
                                         static_cast<double>(pitch.tuningNoteValue(i)) + d))
                                   : 0.0f;
        lines.push_back(
            customReadingLine(tuning.description(i), pitch.tuningFrequency(i), has, measured, d));
    }
    return lines;
}

std::vector<std::string> spectrumFileLines(const std::vector<SpectrumExtremum>& extrema) {
    std::vector<std::string> lines{kSpectrumFileHeader};
    for (const SpectrumExtremum& e : extrema) lines.push_back(formatExtremum(e));
    return lines;
}

std::string writeCsvFile(const std::filesystem::path& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    const int error = replaceFile(path, text);
    return error == 0 ? std::string() : writeFailure(path, error);
}

bool saveCustomReadings(CustomReadings& readings, const Tuning& tuning, const PitchModel& pitch,
                        QuestionBox& questions, CsvFileDialog& dialog, MessageBox& messages) {
    bool written = false;
    if (readings.prepared() && questions.ask(translate("Readings", "save custom readings ?"), "",
                                             QuestionBox::Buttons::okCancel)) {
        const std::string path = dialog.saveCsv("readings");
        if (!path.empty()) {
            const std::string error =
                writeCsvFile(path, customReadingsLines(tuning, pitch, readings.values()));
            if (error.empty()) {
                written = true;
            } else {
                messages.show(error, translate("Readings", "Save readings"));
            }
        }
    }
    readings.release();
    return written;
}

bool saveSpectrumReadings(const std::vector<SpectrumExtremum>& extrema, CsvFileDialog& dialog,
                          MessageBox& messages) {
    const std::string path = dialog.saveCsv("spectrum");
    if (path.empty()) return false;
    const std::string error = writeCsvFile(path, spectrumFileLines(extrema));
    if (!error.empty()) {
        messages.show(error, translate("Readings", kSaveSpectrumCaption));
        return false;
    }
    return true;
}

}  // namespace merlop
