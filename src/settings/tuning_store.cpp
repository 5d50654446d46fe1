#include "settings/tuning_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "common/atomic_file.h"
#include "common/byte_order.h"
#include "pitch/pitch_model.h"
#include "settings/cp1252.h"

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
static_assert(kFrequenciesOffset + 4 * std::size_t{Tuning::kMaxNotes} == Tuning::kRecordSize);

// Offset of the k-th of a record's fields of `size` bytes each.
constexpr std::size_t field(int k, std::size_t size) {
    return static_cast<std::size_t>(k) * size;
}

int32_t getInt(const unsigned char* p) {
    return static_cast<int32_t>(le::get32(p));
}

// The fields hold Windows-1252 bytes; the program's texts are UTF-8. A character without a byte
// becomes '?': the editor refuses those before they get here.
void setText(Tuning::Text& field, std::string_view utf8) {
    const std::string bytes = toCp1252(utf8).bytes;
    field.fill('\0');
    std::copy_n(bytes.begin(), std::min(bytes.size(), Tuning::kTextSize - 1), field.begin());
}

std::string textOf(const Tuning::Text& field) {
    const auto end = std::find(field.begin(), field.end(), '\0');
    return cp1252ToUtf8(
        std::string_view(field.data(), static_cast<std::size_t>(end - field.begin())));
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
                  r.begin() + kDescriptionsOffset + field(k, kTextSize));
        le::put32(&r[kNotesOffset + field(k, 4)], static_cast<uint32_t>(notes[k]));
        le::put32(&r[kFrequenciesOffset + field(k, 4)], std::bit_cast<uint32_t>(frequencies[k]));
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
        readText(t.descriptions[k], &r[kDescriptionsOffset + field(k, kTextSize)]);
        t.notes[k] = std::clamp(getInt(&r[kNotesOffset + field(k, 4)]), 0, 127);
        const float f = std::bit_cast<float>(le::get32(&r[kFrequenciesOffset + field(k, 4)]));
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

std::string TuningStore::newFileImage() {
    std::string image;
    for (const Tuning& t : builtInTunings()) {
        const Tuning::Record r = t.toRecord();
        image.append(reinterpret_cast<const char*>(r.data()), r.size());
    }
    return image;
}

namespace {

// Record i of a file image: 2340 bytes, fewer at the end of the file, none past it.
std::string_view recordAt(const std::string& image, int i) {
    const auto at = static_cast<std::size_t>(recordOffset(i));
    if (i < 0 || at >= image.size()) return {};
    return std::string_view(image).substr(at, Tuning::kRecordSize);
}

Tuning tuningOf(std::string_view record) {
    return Tuning::fromRecord(reinterpret_cast<const unsigned char*>(record.data()), record.size());
}

// A record that can be read at all and is marked valid (missing bytes count as zero).
bool listedRecord(std::string_view record) {
    if (record.size() < Tuning::kTextSize) return false;
    unsigned char valid[4] = {0, 0, 0, 0};
    for (std::size_t k = 0; k < 4 && kValidOffset + k < record.size(); ++k) {
        valid[k] = static_cast<unsigned char>(record[kValidOffset + k]);
    }
    return getInt(valid) == 1;
}

int listedCount(const std::string& image) {
    int n = 0;
    while (n < TuningStore::kMaxTunings && listedRecord(recordAt(image, n))) ++n;
    return n;
}

std::string nameOf(std::string_view record) {
    const std::string_view field = record.substr(0, Tuning::kTextSize - 1);
    return std::string(field.substr(0, field.find('\0')));
}

// Where the listed tuning that was `record` at index `wasAt` is now among the n listed in
// `image`: the same index if it still holds the same bytes, else the nearest listed record with
// those bytes, else the nearest one with that name; -1 when it is gone.
int locate(const std::string& image, int n, std::string_view record, int wasAt) {
    if (record.empty()) return -1;
    if (wasAt >= 0 && wasAt < n && recordAt(image, wasAt) == record) return wasAt;
    int best = -1;
    const auto consider = [&](int j) {
        if (best < 0 || std::abs(j - wasAt) < std::abs(best - wasAt)) best = j;
    };
    for (int j = 0; j < n; ++j) {
        if (recordAt(image, j) == record) consider(j);
    }
    if (best >= 0) return best;
    const std::string name = nameOf(record);
    for (int j = 0; j < n; ++j) {
        if (nameOf(recordAt(image, j)) == name) consider(j);
    }
    return best;
}

// Puts a whole record at index i; a file that ends before it grows, zero-filled.
void placeRecord(std::string& image, int i, const Tuning::Record& r) {
    const auto at = static_cast<std::size_t>(recordOffset(i));
    if (image.size() < at + r.size()) image.resize(at + r.size(), '\0');
    std::copy(r.begin(), r.end(), image.begin() + static_cast<std::ptrdiff_t>(at));
}

Tuning::Record wholeRecord(const std::string& image, int i) {
    Tuning::Record r{};
    const std::string_view bytes = recordAt(image, i);
    std::copy(bytes.begin(), bytes.end(), r.begin());
    return r;
}

// After appending record i: a record left behind the old end marker would otherwise join the
// list.
void endListAfter(std::string& image, int i) {
    const int next = i + 1;
    if (next >= TuningStore::kMaxTunings || !listedRecord(recordAt(image, next))) return;
    const auto at = static_cast<std::size_t>(recordOffset(next)) + kValidOffset;
    for (std::size_t k = at; k < at + 4 && k < image.size(); ++k) image[k] = '\0';
}

using Stamp = std::array<std::int64_t, 7>;

Stamp stampOf(const struct stat& st) {
    return {static_cast<std::int64_t>(st.st_dev),
            static_cast<std::int64_t>(st.st_ino),
            static_cast<std::int64_t>(st.st_size),
            st.st_mtim.tv_sec,
            st.st_mtim.tv_nsec,
            st.st_ctim.tv_sec,
            st.st_ctim.tv_nsec};
}

// All zero (matching no file) when the file cannot be looked at.
Stamp stampOf(const std::filesystem::path& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? stampOf(st) : Stamp{};
}

bool writable(const std::filesystem::path& path) {
    return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0;
}

// Saves are serialised by a lock on a file beside the tunings file (beside the file a link
// names). Not the tunings file itself: each save renames a new file into its place, and a lock on
// the old one would guard nothing. Not the folder: flock on a folder fails on NFS, where it needs
// a file open for writing.
class SaveLock {
  public:
    explicit SaveLock(const std::filesystem::path& file) {
        const std::filesystem::path target = linkTarget(file);
        std::filesystem::path dir = target.parent_path();
        if (dir.empty()) dir = ".";
        const std::filesystem::path lock = dir / ("." + target.filename().string() + ".lock");
        fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
        if (fd_ < 0) fd_ = ::open(lock.c_str(), O_RDONLY | O_CLOEXEC);
        while (fd_ >= 0 && ::flock(fd_, LOCK_EX) != 0) {
            if (errno == EINTR) continue;
            ::close(fd_);
            fd_ = -1;
        }
    }
    ~SaveLock() {
        if (fd_ >= 0) ::close(fd_);  // and with it the lock
    }
    SaveLock(const SaveLock&) = delete;
    SaveLock& operator=(const SaveLock&) = delete;
    bool held() const { return fd_ >= 0; }

  private:
    int fd_ = -1;
};

}  // namespace

TuningStore::TuningStore(const std::filesystem::path& directory)
    : path_((directory.empty() ? std::filesystem::path(".") : directory) / kFileName) {
    clearCurrent();
    hasFile_ = openOrCreate();
    if (!hasFile_) {
        image_.clear();
        memoryOnly_ = builtInTunings();
        names_ = {};
        tuningsInFile_ = static_cast<int>(memoryOnly_.size());
        for (int i = 0; i < tuningsInFile_; ++i) names_[i] = memoryOnly_[i].name;
    }
    if (readTuning(0) != 0) {
        clearCurrent();
        currentTuning_ = 0;
    }
}

TuningStore::~TuningStore() = default;

bool TuningStore::openOrCreate() {
    std::error_code ec;
    const auto status = std::filesystem::status(path_, ec);
    // A folder (or a device) in the file's place is nothing to read or write.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        return false;
    }
    if (!std::filesystem::exists(status)) {
        // Only ever create: a file that appeared meanwhile is read as it is.
        const int error = createFile(path_, newFileImage());
        if (error != 0 && error != EEXIST) return false;
    }
    std::string image;
    Stamp stamp{};
    if (!readFile(&image, &stamp)) return false;
    const bool canWrite = writable(path_);
    if (image.empty()) {
        // An empty file holds nothing to lose; give it the built-in tunings as a new one gets.
        if (!canWrite) return false;
        const SaveLock lock(path_);
        if (!lock.held() || !readFile(&image, &stamp)) return false;
        if (image.empty()) {
            image = newFileImage();
            if (replaceFile(path_, image) != 0) return false;
            stamp = stampOf(path_);
        }
    }
    if (!canWrite && listedCount(image) == 0) return false;
    adopt(std::move(image), stamp, -1);
    return true;
}

bool TuningStore::readFile(std::string* image, Stamp* stamp) const {
    // Non-blocking: whatever took the file's place, opening it must not wait.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    std::string bytes;
    char buffer[8192];
    while (ok) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            ok = n == 0;
            break;
        }
        bytes.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(fd);
    if (!ok) return false;
    *image = std::move(bytes);
    *stamp = stampOf(st);
    return true;
}

// Takes the file as it is now; the current index follows the current tuning, or is
// `currentAt` when that is given.
void TuningStore::adopt(std::string image, const Stamp& stamp, int currentAt) {
    const int n = listedCount(image);
    const int current = currentAt >= 0 ? currentAt : locate(image, n, loaded_, currentTuning_);
    image_ = std::move(image);
    stamp_ = stamp;
    names_ = {};
    tuningsInFile_ = n;
    for (int i = 0; i < tuningsInFile_; ++i) names_[i] = tuningOf(recordAt(image_, i)).name;
    if (current >= 0) {
        currentTuning_ = current;
        loaded_ = std::string(recordAt(image_, current));
    }
}

void TuningStore::refresh() {
    if (!hasFile_ || stampOf(path_) == stamp_) return;
    std::string image;
    Stamp stamp{};
    // A file that cannot be read for now leaves the list as it was.
    if (readFile(&image, &stamp)) adopt(std::move(image), stamp, -1);
}

void TuningStore::select(int i) {
    const std::string_view record = recordAt(image_, i);
    tuning_ = tuningOf(record);
    loaded_ = std::string(record);
    currentNote_ = 0;
    currentTuning_ = i;
}

int TuningStore::readTuning(int i) {
    if (!hasFile_) {
        if (i < 0 || i >= tuningsInFile_) return -1;
        tuning_ = memoryOnly_[static_cast<std::size_t>(i)];
        currentNote_ = 0;
        currentTuning_ = i;
        return 0;
    }
    const std::string chosen =
        i >= 0 && i < tuningsInFile_ ? std::string(recordAt(image_, i)) : std::string();
    refresh();
    const int at = chosen.empty() ? i : locate(image_, tuningsInFile_, chosen, i);
    if (at < 0 || at >= tuningsInFile_) return -1;
    select(at);
    return 0;
}

// Writes the current tuning over the listed record that held `chosen` at `wasAt`, or appends it
// when `chosen` is empty or gone from the file.
int TuningStore::put(const std::string& chosen, int wasAt, bool makeCurrent) {
    if (!hasFile_ || !writable(path_)) return -1;
    const SaveLock lock(path_);
    std::string image;
    Stamp stamp{};
    if (!lock.held() || !readFile(&image, &stamp)) return -1;
    const int n = listedCount(image);
    const int current = locate(image, n, loaded_, currentTuning_);
    int at = locate(image, n, chosen, wasAt);
    if (at < 0) at = n;  // so that an edit of a tuning deleted meanwhile is not lost
    if (at >= kMaxTunings) {
        adopt(std::move(image), stamp, -1);
        return -1;
    }
    std::string next = image;
    placeRecord(next, at, tuning_.toRecord());
    if (at == n && tuning_.valid == 1) endListAfter(next, at);
    if (replaceFile(path_, next) != 0) {
        adopt(std::move(image), stamp, -1);
        return -1;
    }
    adopt(std::move(next), stampOf(path_), makeCurrent || at == current ? at : -1);
    return 0;
}

int TuningStore::writeTuning(int i) {
    if (i < 0 || i > tuningsInFile_ || i >= kMaxTunings) return -1;
    const std::string chosen =
        i < tuningsInFile_ ? std::string(recordAt(image_, i)) : std::string();
    return put(chosen, i, false);
}

int TuningStore::saveCurrent(bool asNew) {
    tuning_.valid = 1;
    return put(asNew ? std::string() : loaded_, currentTuning_, true);
}

int TuningStore::deleteTuning(int i) {
    if (!hasFile_ || i < 0 || i >= tuningsInFile_ || !writable(path_)) return -1;
    const std::string chosen(recordAt(image_, i));
    const SaveLock lock(path_);
    std::string image;
    Stamp stamp{};
    if (!lock.held() || !readFile(&image, &stamp)) return -1;
    const int n = listedCount(image);
    const int at = locate(image, n, chosen, i);
    if (at < 0) {
        // Deleted meanwhile: the file already is as asked.
        adopt(std::move(image), stamp, -1);
        if (tuningsInFile_ > 0) select(0);
        return 0;
    }
    if (n <= 1) {
        adopt(std::move(image), stamp, -1);
        return -1;
    }
    std::string next = image;
    for (int b = at + 1; b < n; ++b) placeRecord(next, b - 1, wholeRecord(image, b));
    // With nothing moved, the marker holds the current tuning, as it always did.
    Tuning::Record marker = at == n - 1 ? tuning_.toRecord() : wholeRecord(image, n - 1);
    le::put32(&marker[kValidOffset], 0);
    placeRecord(next, n - 1, marker);
    if (replaceFile(path_, next) != 0) {
        adopt(std::move(image), stamp, -1);
        return -1;
    }
    adopt(std::move(next), stampOf(path_), -1);
    select(0);
    return 0;
}

void TuningStore::clearCurrent() {
    tuning_ = Tuning{};
    currentNote_ = -1;
}

std::vector<std::string> TuningStore::names() {
    refresh();
    std::vector<std::string> out;
    out.reserve(static_cast<std::size_t>(std::max(tuningsInFile_, 0)));
    for (int i = 0; i < tuningsInFile_; ++i) out.push_back(textOf(names_[i]));
    return out;
}

std::string TuningStore::name(int i) {
    refresh();
    return i >= 0 && i < tuningsInFile_ ? textOf(names_[i]) : std::string();
}

}  // namespace merlop
