#include "settings/settings.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <memory>
#include <system_error>

#include "common/atomic_file.h"
#include "common/byte_order.h"
#include "common/file_ptr.h"

namespace merlop {

namespace {

struct FileItem {
    const char* name;
    std::size_t offset;
    int32_t Settings::*member;  // null for the 40-byte reserved4 block
};

constexpr std::size_t kReserved4Offset = 112;

constexpr std::array<FileItem, 57> kFileOrder{{
    {"analysisWindowMs", 0, &Settings::analysisWindowMs},
    {"frequencyOfA", 4, &Settings::frequencyOfA},
    {"calibrationTenths", 8, &Settings::calibrationTenths},
    {"freqLowHz", 12, &Settings::freqLowHz},
    {"freqHighHz", 16, &Settings::freqHighHz},
    {"sensitivityDb", 20, &Settings::sensitivityDb},
    {"spectrumDbLow", 24, &Settings::spectrumDbLow},
    {"spectrumDbHigh", 28, &Settings::spectrumDbHigh},
    {"fineTuning", 32, &Settings::fineTuning},
    {"spectrum3D", 36, &Settings::spectrum3D},
    {"viewAngleA", 40, &Settings::viewAngleA},
    {"viewAngleB", 44, &Settings::viewAngleB},
    {"spectrumSustain", 48, &Settings::spectrumSustain},
    {"hammingWindow", 52, &Settings::hammingWindow},
    {"curveSmoothing", 56, &Settings::curveSmoothing},
    {"weighting", 60, &Settings::weighting},
    {"toneVolume", 64, &Settings::toneVolume},
    {"toneOctave", 68, &Settings::toneOctave},
    {"toneUseMidi", 72, &Settings::toneUseMidi},
    {"midiChannel", 76, &Settings::midiChannel},
    {"midiPatch", 80, &Settings::midiPatch},
    {"pitchBendSpan", 84, &Settings::pitchBendSpan},
    {"toneRepeatRate", 88, &Settings::toneRepeatRate},
    {"sampleRate", 92, &Settings::sampleRate},
    {"bitsPerSample", 96, &Settings::bitsPerSample},
    {"reserved1", 100, &Settings::reserved1},
    {"reserved2", 104, &Settings::reserved2},
    {"reserved3", 108, &Settings::reserved3},
    {"reserved4", kReserved4Offset, nullptr},
    {"customTuningOn", 152, &Settings::customTuningOn},
    {"currentTuning", 156, &Settings::currentTuning},
    {"tuningNoteAutomatic", 160, &Settings::tuningNoteAutomatic},
    {"instrumentKey", 164, &Settings::instrumentKey},
    {"earTrainingOn", 168, &Settings::earTrainingOn},
    {"earRangeLow", 172, &Settings::earRangeLow},
    {"earRangeHigh", 176, &Settings::earRangeHigh},
    {"earNoteCount", 180, &Settings::earNoteCount},
    {"earMaxInterval", 184, &Settings::earMaxInterval},
    {"earTempo", 188, &Settings::earTempo},
    {"earScale", 192, &Settings::earScale},
    {"earKey", 196, &Settings::earKey},
    {"earShowFirstNote", 200, &Settings::earShowFirstNote},
    {"midiCalibrationCents", 204, &Settings::midiCalibrationCents},
    {"reserved5", 208, &Settings::reserved5},
    {"temperamentIndex", 212, &Settings::temperamentIndex},
    {"sharpNotation", 216, &Settings::sharpNotation},
    {"temperamentKey", 220, &Settings::temperamentKey},
    {"temperamentRefNote", 224, &Settings::temperamentRefNote},
    {"humFilter", 228, &Settings::humFilter},
    {"humFrequency", 232, &Settings::humFrequency},
    {"reserved6", 236, &Settings::reserved6},
    {"showTuner", 240, &Settings::showTuner},
    {"showSpectrum", 244, &Settings::showSpectrum},
    {"showWaveForm", 248, &Settings::showWaveForm},
    {"showPiano", 252, &Settings::showPiano},
    {"pianoFirstOctave", 256, &Settings::pianoFirstOctave},
    {"pianoOctaveCount", 260, &Settings::pianoOctaveCount},
}};

// The items must tile the image without gaps or overlaps.
constexpr bool fileOrderIsContiguous() {
    std::size_t next = 0;
    for (const FileItem& f : kFileOrder) {
        if (f.offset != next) return false;
        next += f.member ? 4 : Settings::kReservedTextSize;
    }
    return next == Settings::kFileSize;
}
static_assert(fileOrderIsContiguous());

void clampTo(int32_t& v, int32_t lo, int32_t hi) {
    v = std::clamp(v, lo, hi);
}

}  // namespace

int usablePitchBendSpan(int span) {
    // A span of 0 is a file that never set it; 1 would pin the bend for half of each semitone.
    if (span < 2) return Settings{}.pitchBendSpan;
    return std::min(span, 96);
}

int32_t usableCalibrationTenths(int32_t tenths) {
    return std::clamp(tenths, -kMaxCalibrationTenths, kMaxCalibrationTenths);
}

int32_t usableMidiCalibrationCents(int32_t cents) {
    return std::clamp(cents, -kMaxMidiCalibrationCents, kMaxMidiCalibrationCents);
}

std::filesystem::path Settings::configPath(const std::filesystem::path& directoryOrFile) {
    std::error_code ec;
    if (directoryOrFile.empty()) return kDefaultFileName;
    if (std::filesystem::is_directory(directoryOrFile, ec)) {
        return directoryOrFile / kDefaultFileName;
    }
    return directoryOrFile;
}

void Settings::setLocation(const std::filesystem::path& directoryOrFile) {
    fileName = configPath(directoryOrFile).string();
}

Settings::Image Settings::toImage() const {
    Image image{};
    for (const FileItem& f : kFileOrder) {
        if (f.member) {
            le::put32(image.data() + f.offset, static_cast<uint32_t>(this->*f.member));
        } else {
            std::copy(reserved4.begin(), reserved4.end(), image.begin() + f.offset);
        }
    }
    return image;
}

Settings Settings::fromImage(const Image& image) {
    Settings s;
    for (const FileItem& f : kFileOrder) {
        if (f.member) {
            s.*f.member = static_cast<int32_t>(le::get32(image.data() + f.offset));
        } else {
            std::copy_n(image.begin() + f.offset, kReservedTextSize, s.reserved4.begin());
        }
    }
    return s;
}

bool Settings::readImage(std::FILE* file, Image* image) {
    return std::fread(image->data(), 1, image->size(), file) == image->size();
}

Settings::Image Settings::defaultImage() {
    return Settings{}.toImage();
}

void Settings::normalise() {
    for (const KeptRange& k : kKeptRanges) clampTo(this->*k.member, k.range.lo, k.range.hi);
    // Clamped after the fields they depend on.
    clampTo(freqHighHz, freqLowHz + 100, keptRange(&Settings::freqHighHz).hi);
    clampTo(spectrumDbHigh, spectrumDbLow + 1, kMaxSpectrumDbHigh);
    clampTo(earRangeHigh, earRangeLow, keptRange(&Settings::earRangeHigh).hi);
    pitchBendSpan = usablePitchBendSpan(pitchBendSpan);
    bitsPerSample = bitsPerSample > 8 ? 16 : 8;
    humFrequency = humFrequency < 55 ? 50 : 60;
}

Settings::LoadProblem Settings::readFile(const std::filesystem::path& path, Image* image,
                                         std::string* rest) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (!std::filesystem::exists(status)) return LoadProblem::missing;
    if (!std::filesystem::is_regular_file(status)) return LoadProblem::notAFile;
    FilePtr file(std::fopen(path.c_str(), "rb"));
    if (!file) return errno == ENOENT ? LoadProblem::missing : LoadProblem::unreadable;
    if (!readImage(file.get(), image)) {
        return std::ferror(file.get()) ? LoadProblem::unreadable : LoadProblem::tooShort;
    }
    if (rest != nullptr) {
        rest->clear();
        char buf[4096];
        std::size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof buf, file.get())) > 0) rest->append(buf, n);
        if (std::ferror(file.get())) return LoadProblem::unreadable;
    }
    return LoadProblem::none;
}

int Settings::loadSettings() {
    Image image{};
    const LoadProblem problem = readFile(fileName, &image);
    const std::string name = std::move(fileName);
    *this = problem != LoadProblem::none ? Settings{} : fromImage(image);
    fileName = name;
    loadProblem = problem;
    loadFailed = problem != LoadProblem::none ? 1 : 0;
    normalise();
    return loadFailed;
}

int Settings::saveSettings(int* error) const {
    const auto fail = [error](int code) {
        if (error != nullptr) *error = code;
        return -1;
    };
    if (loadFailed) return fail(0);
    // Whatever another program keeps after our 264 bytes stays where it is.
    Image old{};
    std::string rest;
    const LoadProblem problem = readFile(fileName, &old, &rest);
    if (problem == LoadProblem::notAFile) return fail(EINVAL);
    if (problem != LoadProblem::none) rest.clear();
    const Image image = toImage();
    std::string bytes(reinterpret_cast<const char*>(image.data()), image.size());
    bytes += rest;
    const int code = replaceFile(fileName, bytes);
    return code == 0 ? 0 : fail(code);
}

std::vector<std::pair<std::string, std::string>> Settings::fieldsInFileOrder() const {
    std::vector<std::pair<std::string, std::string>> out;
    out.reserve(kFileOrder.size());
    for (const FileItem& f : kFileOrder) {
        out.emplace_back(f.name, f.member ? std::to_string(this->*f.member)
                                          : quotedText(std::string_view(
                                                reinterpret_cast<const char*>(reserved4.data()),
                                                std::find(reserved4.begin(), reserved4.end(), 0) -
                                                    reserved4.begin())));
    }
    return out;
}

std::string quotedText(std::string_view text) {
    static const char* const kHex = "0123456789abcdef";
    std::string out = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += ch;
        } else if (c < 0x20 || c >= 0x7f) {
            out += "\\x";
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += ch;
        }
    }
    return out + '"';
}

}  // namespace merlop
