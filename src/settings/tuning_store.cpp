#include "settings/tuning_store.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "pitch/pitch_model.h"
#include "settings/byte_order.h"

namespace merlop {

namespace {

constexpr std::size_t kValidOffset = 16;
constexpr std::size_t kInstrumentOffset = 20;
constexpr std::size_t kAutoToneOffset = 24;
constexpr std::size_t kRecordReadingsOffset = 28;
constexpr std::size_t kNoteCountOffset = 32;
constexpr std::size_t kDescriptionsOffset = 36;
constexpr std::size_t kNotesOffset = 1572;
constexpr std::size_t kFrequenciesOffset = 1956;
static_assert(kFrequenciesOffset + 4 * Tuning::kMaxNotes == Tuning::kRecordSize);

int32_t getInt(const unsigned char* p) {
    return static_cast<int32_t>(le::get32(p));
}

void setText(Tuning::Text& field, std::string_view text) {
    field.fill('\0');
    std::copy_n(text.begin(), std::min(text.size(), Tuning::kTextSize - 1), field.begin());
}

std::string textOf(const Tuning::Text& field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    return std::string(field.begin(), end);
}

void readText(Tuning::Text& field, const unsigned char* p) {
    std::copy_n(p, Tuning::kTextSize, reinterpret_cast<unsigned char*>(field.data()));
    field.back() = '\0';
}

bool validIndex(int i) {
    return i >= 0 && i < Tuning::kMaxNotes;
}

long recordOffset(int i) {
    return static_cast<long>(i) * static_cast<long>(Tuning::kRecordSize);
}

// True when the stream's first byte can be read, or the stream is empty.
bool readable(std::FILE* f) {
    unsigned char first = 0;
    const bool ok =
        std::fseek(f, 0, SEEK_SET) == 0 && (std::fread(&first, 1, 1, f) == 1 || !std::ferror(f));
    std::clearerr(f);
    return ok;
}

bool putRecord(std::FILE* f, int i, const Tuning& t) {
    if (!f || std::fseek(f, recordOffset(i), SEEK_SET) != 0) return false;
    const Tuning::Record record = t.toRecord();
    if (std::fwrite(record.data(), 1, record.size(), f) != record.size()) return false;
    return std::fflush(f) == 0;
}

}  // namespace

bool usableTuningFrequency(float f) {
    // Denormals are no pitch either, and their periods would leave every range.
    return std::isnormal(f) && f > 0.0f && f <= kMaxTuningFrequency;
}

std::string Tuning::nameText() const {
    return textOf(name);
}

void Tuning::setName(std::string_view text) {
    setText(name, text);
}

std::string Tuning::description(int i) const {
    return validIndex(i) ? textOf(descriptions[i]) : std::string();
}

void Tuning::setDescription(int i, std::string_view text) {
    if (validIndex(i)) setText(descriptions[i], text);
}

TuningNote Tuning::entry(int i) const {
    if (!validIndex(i)) return {};
    return {description(i), notes[i], frequencies[i]};
}

void Tuning::setEntry(int i, const TuningNote& n) {
    if (!validIndex(i)) return;
    setDescription(i, n.description);
    notes[i] = n.note;
    frequencies[i] = n.frequency;
}

bool Tuning::insertEntry(int at, const TuningNote& n) {
    if (noteCount >= kMaxNotes || at < 0 || at > noteCount) return false;
    std::copy_backward(descriptions.begin() + at, descriptions.begin() + noteCount,
                       descriptions.begin() + noteCount + 1);
    std::copy_backward(notes.begin() + at, notes.begin() + noteCount,
                       notes.begin() + noteCount + 1);
    std::copy_backward(frequencies.begin() + at, frequencies.begin() + noteCount,
                       frequencies.begin() + noteCount + 1);
    ++noteCount;
    setEntry(at, n);
    return true;
}

bool Tuning::removeEntry(int i) {
    if (i < 0 || i >= noteCount) return false;
    std::copy(descriptions.begin() + i + 1, descriptions.begin() + noteCount,
              descriptions.begin() + i);
    std::copy(notes.begin() + i + 1, notes.begin() + noteCount, notes.begin() + i);
    std::copy(frequencies.begin() + i + 1, frequencies.begin() + noteCount,
              frequencies.begin() + i);
    --noteCount;
    return true;
}

Tuning::Record Tuning::toRecord() const {
    Record r{};
    std::copy(name.begin(), name.end(), r.begin());
    le::put32(&r[kValidOffset], static_cast<uint32_t>(valid));
    le::put32(&r[kInstrumentOffset], static_cast<uint32_t>(instrument));
    le::put32(&r[kAutoToneOffset], static_cast<uint32_t>(autoReferenceTone));
    le::put32(&r[kRecordReadingsOffset], static_cast<uint32_t>(recordReadings));
    le::put32(&r[kNoteCountOffset], static_cast<uint32_t>(noteCount));
    for (int k = 0; k < kMaxNotes; ++k) {
        std::copy(descriptions[k].begin(), descriptions[k].end(),
                  r.begin() + kDescriptionsOffset + k * kTextSize);
        le::put32(&r[kNotesOffset + 4 * k], static_cast<uint32_t>(notes[k]));
        le::put32(&r[kFrequenciesOffset + 4 * k], std::bit_cast<uint32_t>(frequencies[k]));
    }
    return r;
}

Tuning Tuning::fromRecord(const unsigned char* data, std::size_t size) {
    Record r{};
    if (data) std::copy_n(data, std::min(size, kRecordSize), r.begin());
    Tuning t;
    readText(t.name, &r[0]);
    t.valid = getInt(&r[kValidOffset]);
    t.instrument = std::clamp(getInt(&r[kInstrumentOffset]), 0, 127);
    t.autoReferenceTone = getInt(&r[kAutoToneOffset]);
    t.recordReadings = getInt(&r[kRecordReadingsOffset]);
    t.noteCount = std::clamp(getInt(&r[kNoteCountOffset]), 0, kMaxNotes);
    for (int k = 0; k < kMaxNotes; ++k) {
        readText(t.descriptions[k], &r[kDescriptionsOffset + k * kTextSize]);
        t.notes[k] = std::clamp(getInt(&r[kNotesOffset + 4 * k]), 0, 127);
        const float f = std::bit_cast<float>(le::get32(&r[kFrequenciesOffset + 4 * k]));
        t.frequencies[k] = usableTuningFrequency(f) ? f : 0.0f;
    }
    return t;
}

std::vector<Tuning> TuningStore::builtInTunings() {
    struct Entry {
        const char* description;
        int32_t note;
        float frequency;
    };
    // Each tuning is filled over the previous one without clearing, so the unused entries of a
    // record keep what the one before left there; only entries below noteCount mean anything.
    auto fill = [](Tuning& t, const char* name, int32_t instrument, const auto& entries) {
        t.setName(name);
        t.instrument = instrument;
        t.noteCount = static_cast<int32_t>(std::size(entries));
        int k = 0;
        for (const Entry& e : entries) t.setEntry(k++, {e.description, e.note, e.frequency});
    };

    const PitchModel model;
    auto equal = [&model](int32_t midi) { return model.frequencyOfNote(midi - 9, 0.0f); };
    const Entry guitar[] = {
        {"E  6th string", 40, equal(40)}, {"A  5th string", 45, equal(45)},
        {"D  4th string", 50, equal(50)}, {"G  3rd string", 55, equal(55)},
        {"B  2nd string", 59, equal(59)}, {"E  1st string", 64, equal(64)},
    };
    const Entry violin[] = {
        {"G string", 55, 195.998f},
        {"D string", 62, 293.664f},
        {"A string", 69, 440.0f},
        {"E string", 76, 659.256f},
    };
    const Entry bagpipe[] = {
        {"G low chanter ", 67, 419.55f}, {"A low chanter ", 69, 472.0f},
        {"B chanter     ", 71, 531.0f},  {"C chanter", 72, 590.0f},
        {"D chanter", 74, 637.2f},       {"E chanter", 76, 708.0f},
        {"F chanter", 77, 786.66f},      {"G high chanter", 79, 849.6f},
        {"A high chanter", 81, 944.0f},
    };

    std::vector<Tuning> out;
    Tuning t;
    fill(t, "Guitar ", 25, guitar);
    out.push_back(t);
    fill(t, "Violin", 40, violin);
    out.push_back(t);
    fill(t, "Bagpipe", 109, bagpipe);
    out.push_back(t);
    return out;
}

TuningStore::TuningStore(const std::filesystem::path& directory)
    : path_((directory.empty() ? std::filesystem::path(".") : directory) / kFileName) {
    clearCurrent();
    if (!openOrCreate()) memoryOnly_ = builtInTunings();
    scan();
    if (readOnly_ && tuningsInFile_ == 0) {
        // Nothing to list and no way to seed the file: the built-in tunings from memory.
        file_.reset();
        memoryOnly_ = builtInTunings();
        scan();
    }
    if (readTuning(0) != 0) {
        clearCurrent();
        currentTuning_ = 0;
    }
}

TuningStore::~TuningStore() = default;

bool TuningStore::createWithBuiltIns() {
    const std::vector<Tuning> tunings = builtInTunings();
    for (int i = 0; i < static_cast<int>(tunings.size()); ++i) {
        if (!putRecord(file_.get(), i, tunings[i])) return false;
    }
    return true;
}

bool TuningStore::openOrCreate() {
    const std::string name = path_.string();
    readOnly_ = false;
    std::error_code ec;
    const auto status = std::filesystem::status(path_, ec);
    // A folder (or a device) in the file's place is nothing to read or write.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return false;
    }
    file_.reset(std::fopen(name.c_str(), "r+b"));
    if (file_) {
        // An empty file holds nothing to lose; give it the built-in tunings as a new one gets.
        if (std::fseek(file_.get(), 0, SEEK_END) == 0 && std::ftell(file_.get()) == 0 &&
            !createWithBuiltIns()) {
            file_.reset();
            return false;
        }
        if (!readable(file_.get())) file_.reset();
        return file_ != nullptr;
    }
    // "x": only ever create; an existing file that merely refused "r+b" must not be truncated.
    file_.reset(std::fopen(name.c_str(), "wbx"));
    if (file_) {
        createWithBuiltIns();
        file_.reset(std::fopen(name.c_str(), "r+b"));
        if (file_) return true;
    }
    file_.reset(std::fopen(name.c_str(), "rb"));
    if (file_ && !readable(file_.get())) file_.reset();
    readOnly_ = file_ != nullptr;
    return file_ != nullptr;
}

int TuningStore::readRecord(int i, Tuning& into) {
    if (i < 0 || i >= kMaxTunings) return -1;
    if (!file_) {
        if (i >= static_cast<int>(memoryOnly_.size())) return -1;
        into = memoryOnly_[i];
        return 0;
    }
    Tuning::Record record{};
    if (std::fseek(file_.get(), recordOffset(i), SEEK_SET) != 0) return -1;
    const std::size_t got = std::fread(record.data(), 1, record.size(), file_.get());
    if (got < Tuning::kTextSize) return -1;
    into = Tuning::fromRecord(record.data(), got);
    return 0;
}

int TuningStore::writeRecord(int i, const Tuning& t) {
    return putRecord(file_.get(), i, t) ? 0 : -1;
}

void TuningStore::scan() {
    tuningsInFile_ = 0;
    names_ = {};
    Tuning t;
    while (tuningsInFile_ < kMaxTunings && readRecord(tuningsInFile_, t) == 0 && t.valid == 1) {
        names_[tuningsInFile_] = t.name;
        ++tuningsInFile_;
    }
}

void TuningStore::endListAfter(int i) {
    const int next = i + 1;
    if (next >= kMaxTunings) return;
    Tuning t;
    if (!file_ || readRecord(next, t) != 0 || t.valid != 1) return;
    // A record left behind the old end marker would otherwise join the list.
    unsigned char zero[4] = {0, 0, 0, 0};
    std::FILE* f = file_.get();
    if (std::fseek(f, recordOffset(next) + static_cast<long>(kValidOffset), SEEK_SET) == 0) {
        std::fwrite(zero, 1, sizeof zero, f);
        std::fflush(f);
    }
}

int TuningStore::readTuning(int i) {
    if (i < 0 || i >= tuningsInFile_) return -1;
    Tuning t;
    if (readRecord(i, t) != 0) return -1;
    tuning_ = t;
    currentNote_ = 0;
    currentTuning_ = i;
    return 0;
}

int TuningStore::writeTuning(int i) {
    if (i < 0 || i > tuningsInFile_ || i >= kMaxTunings) return -1;
    if (writeRecord(i, tuning_) != 0) return -1;
    names_[i] = tuning_.name;
    if (i == tuningsInFile_ && tuning_.valid == 1) {
        ++tuningsInFile_;
        endListAfter(i);
    }
    return 0;
}

int TuningStore::saveCurrent(bool asNew) {
    tuning_.valid = 1;
    if (!asNew) return writeTuning(std::min(currentTuning_, tuningsInFile_));
    if (tuningsInFile_ >= kMaxTunings) return -1;
    const int i = tuningsInFile_;
    if (writeTuning(i) != 0) return -1;
    currentTuning_ = i;
    return 0;
}

int TuningStore::deleteTuning(int i) {
    const int n = tuningsInFile_;
    if (!file_ || i < 0 || i >= n || n <= 1) return -1;
    Tuning moving;
    bool ok = true;
    for (int b = i + 1; ok && b < n; ++b) {
        ok = readRecord(b, moving) == 0 && writeRecord(b - 1, moving) == 0;
        if (ok) names_[b - 1] = moving.name;
    }
    // With nothing moved, the marker holds the current tuning, as it always did.
    if (i == n - 1) moving = tuning_;
    if (ok) {
        moving.valid = 0;
        ok = writeRecord(n - 1, moving) == 0;
    }
    if (ok) {
        tuningsInFile_ = n - 1;
        names_[n - 1] = {};
    } else {
        scan();
    }
    readTuning(0);
    return ok ? 0 : -1;
}

void TuningStore::clearCurrent() {
    tuning_ = Tuning{};
    currentNote_ = -1;
}

std::vector<std::string> TuningStore::names() const {
    std::vector<std::string> out;
    for (int i = 0; i < tuningsInFile_; ++i) out.push_back(textOf(names_[i]));
    return out;
}

std::string TuningStore::name(int i) const {
    return i >= 0 && i < tuningsInFile_ ? textOf(names_[i]) : std::string();
}

}  // namespace merlop
