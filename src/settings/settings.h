#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace merlop {

// A closed range of a setting's values.
struct IntRange {
    int32_t lo = 0;
    int32_t hi = 0;
};

// Every user choice of the program, one 32-bit item each, and the configuration file that keeps
// them between runs. The file holds 264 bytes, little-endian, in its own order (see kFileOrder in
// settings.cpp); bytes after offset 264 are never touched.
//
// Loading brings a field into range only where a later part would otherwise misbehave (a division
// by zero, an index out of bounds, a byte that cannot hold the value); everything else stays as
// stored and is written back so at exit:
//
//   field                         range after load
//   ----------------------------  ------------------------------------------------------------
//   analysisWindowMs              20..1000
//   frequencyOfA                  400..500
//   freqLowHz                     20..4000
//   freqHighHz                    100..20000, and at least freqLowHz + 100
//   sensitivityDb                 -42..-6
//   spectrumDbLow                 -50..0
//   spectrumDbHigh                spectrumDbLow + 1..700 (the wave window's full scale stays a
//                                 finite float)
//   viewAngleA, viewAngleB        0..100
//   spectrumSustain               1..20
//   curveSmoothing, weighting     0..3
//   toneVolume, midiPatch         0..127
//   toneOctave                    1..10
//   midiChannel                   0..16
//   pitchBendSpan                 2..96, and 0 or 1 becomes the default 4
//   toneRepeatRate                0..200
//   sampleRate                    4000..192000
//   bitsPerSample                 16 when above 8, otherwise 8
//   currentTuning                 0..31 (the tunings store bounds it further)
//   instrumentKey                 -5..6
//   earRangeLow                   0..127
//   earRangeHigh                  earRangeLow..127
//   earNoteCount                  1..12
//   earMaxInterval                1..48
//   earTempo                      30..200
//   earScale                      0..6
//   earKey                        0..12 (12 = random)
//   temperamentIndex              0..74
//   temperamentKey                0..11
//   temperamentRefNote            0..11
//   humFrequency                  50 below 55, otherwise 60
//   pianoFirstOctave              0..9
//   pianoOctaveCount              1..10
//   on/off flags                  kept as stored: every reader takes non-zero as on
//   calibrationTenths,            kept as stored: every reader applies usableCalibrationTenths /
//   midiCalibrationCents          usableMidiCalibrationCents
//   reserved1..reserved6          carried through unchanged
class Settings {
  public:
    static constexpr int32_t kMaxSpectrumDbHigh = 700;
    static constexpr const char* kDefaultFileName = "merlo301.cfg";
    static constexpr std::size_t kFileSize = 264;
    static constexpr std::size_t kReservedTextSize = 40;
    using Image = std::array<unsigned char, kFileSize>;

    // Declared order; the file order differs (see kFileOrder).
    int32_t analysisWindowMs = 200;
    int32_t frequencyOfA = 440;
    int32_t calibrationTenths = 0;
    int32_t freqLowHz = 20;
    int32_t freqHighHz = 1200;
    int32_t sensitivityDb = -36;
    int32_t spectrumDbLow = -36;
    int32_t spectrumDbHigh = 30;
    int32_t fineTuning = 0;
    int32_t spectrum3D = 1;
    int32_t viewAngleA = 0;
    int32_t viewAngleB = 30;
    int32_t spectrumSustain = 5;
    int32_t hammingWindow = 1;
    int32_t curveSmoothing = 0;
    int32_t weighting = 0;
    int32_t toneVolume = 60;
    int32_t toneOctave = 3;
    int32_t toneUseMidi = 1;
    int32_t midiCalibrationCents = 0;
    int32_t midiChannel = 0;
    int32_t midiPatch = 0;
    int32_t pitchBendSpan = 4;
    int32_t toneRepeatRate = 60;
    int32_t sampleRate = 11025;
    int32_t bitsPerSample = 8;
    int32_t reserved1 = 0;
    int32_t reserved2 = 0;
    int32_t reserved3 = 0;
    std::array<unsigned char, kReservedTextSize> reserved4{};
    int32_t customTuningOn = 0;
    int32_t currentTuning = 0;
    int32_t tuningNoteAutomatic = 1;
    int32_t instrumentKey = 0;
    int32_t earTrainingOn = 0;
    int32_t earRangeLow = 40;
    int32_t earRangeHigh = 76;
    int32_t earNoteCount = 2;
    int32_t earMaxInterval = 12;
    int32_t earTempo = 90;
    int32_t earScale = 0;
    int32_t earKey = 12;
    int32_t earShowFirstNote = 1;
    int32_t reserved5 = 0;
    int32_t temperamentIndex = 0;
    int32_t sharpNotation = 0;
    int32_t temperamentKey = 0;
    int32_t temperamentRefNote = 9;
    int32_t showTuner = 1;
    int32_t showSpectrum = 0;
    int32_t showWaveForm = 0;
    int32_t showPiano = 1;
    int32_t humFilter = 0;
    int32_t humFrequency = 60;
    int32_t reserved6 = 20;
    int32_t pianoFirstOctave = 2;
    int32_t pianoOctaveCount = 4;

    // Path of the configuration file; a bare name lives in the working directory.
    std::string fileName = kDefaultFileName;
    // 1 while no complete file has been read; then nothing is ever written back.
    int loadFailed = 1;

    // Why the last load failed, so the user can be told what to do about it.
    enum class LoadProblem {
        none,
        missing,
        notAFile,    // a folder, FIFO or device: never opened, never written
        unreadable,  // no permission, or a read error
        tooShort,    // fewer than 264 bytes: damaged
    };
    LoadProblem loadProblem = LoadProblem::missing;

    // A directory gets the default file name inside it; anything else is taken as the file's path.
    void setLocation(const std::filesystem::path& directoryOrFile);

    // Reads fileName, which must exist (the program never creates it). Returns loadFailed: 0 when
    // 264 bytes were read; otherwise 1 and every setting is back at its default. A file that
    // cannot be written is still read: the failure shows when the settings are saved.
    int loadSettings();
    // Writes the 264 bytes back, whole or not at all; bytes after them in the file stay as they
    // are. Does nothing and returns -1 when the load failed or the file cannot be written (then
    // *error, when given, holds the errno); 0 on success.
    int saveSettings(int* error = nullptr) const;
    // Reads the first 264 bytes of a file without ever opening anything but a regular file (a
    // FIFO would block); *rest, when given, receives what follows them.
    static LoadProblem readFile(const std::filesystem::path& path, Image* image,
                                std::string* rest = nullptr);

    // The file image of these values, byte for byte.
    Image toImage() const;
    // Values exactly as the image holds them, out-of-range ones included; see normalise().
    static Settings fromImage(const Image& image);
    // Reads an image from the start of an open file; false when the file is shorter.
    static bool readImage(std::FILE* file, Image* image);
    static Image defaultImage();
    // Brings every field into the ranges of the table above; reserved fields are left alone.
    void normalise();

    // Every field in file order as (name, value text); reserved4 is shown as its text in double
    // quotes, with quotes, backslashes and unprintable bytes escaped.
    std::vector<std::pair<std::string, std::string>> fieldsInFileOrder() const;

    // Where setLocation would put the file.
    static std::filesystem::path configPath(const std::filesystem::path& directoryOrFile);
};

// The fields load brings into a plain range, each range written once: normalise() clamps by this
// table (then applies the rules that tie one field to another), and the settings sheet checks
// its edits and offers its up-downs from the same entries.
struct KeptRange {
    int32_t Settings::*member;
    IntRange range;
};
inline constexpr std::array<KeptRange, 31> kKeptRanges{{
    {&Settings::analysisWindowMs, {20, 1000}},
    {&Settings::frequencyOfA, {400, 500}},
    {&Settings::freqLowHz, {20, 4000}},
    {&Settings::freqHighHz, {100, 20000}},
    {&Settings::sensitivityDb, {-42, -6}},
    {&Settings::spectrumDbLow, {-50, 0}},
    {&Settings::viewAngleA, {0, 100}},
    {&Settings::viewAngleB, {0, 100}},
    {&Settings::spectrumSustain, {1, 20}},
    {&Settings::curveSmoothing, {0, 3}},
    {&Settings::weighting, {0, 3}},
    {&Settings::toneVolume, {0, 127}},
    {&Settings::toneOctave, {1, 10}},
    {&Settings::midiChannel, {0, 16}},
    {&Settings::midiPatch, {0, 127}},
    {&Settings::toneRepeatRate, {0, 200}},
    {&Settings::sampleRate, {4000, 192000}},
    {&Settings::currentTuning, {0, 31}},
    {&Settings::instrumentKey, {-5, 6}},
    {&Settings::earRangeLow, {0, 127}},
    {&Settings::earRangeHigh, {0, 127}},
    {&Settings::earNoteCount, {1, 12}},
    {&Settings::earMaxInterval, {1, 48}},
    {&Settings::earTempo, {30, 200}},
    {&Settings::earScale, {0, 6}},
    {&Settings::earKey, {0, 12}},
    {&Settings::temperamentIndex, {0, 74}},
    {&Settings::temperamentKey, {0, 11}},
    {&Settings::temperamentRefNote, {0, 11}},
    {&Settings::pianoFirstOctave, {0, 9}},
    {&Settings::pianoOctaveCount, {1, 10}},
}};

// The range load keeps a field in; only fields of kKeptRanges compile.
consteval IntRange keptRange(int32_t Settings::*member) {
    for (const KeptRange& k : kKeptRanges) {
        if (k.member == member) return k.range;
    }
    throw "not a field with a kept range";
}

// The pitch-bend span (semitones of the whole bend range) every user of the setting applies.
int usablePitchBendSpan(int span);

// The calibrations as every user of them applies them: the record keeps what was typed or
// measured, and beyond an octave either way a correction counts as the octave. No real card or
// synthesiser is that far off, and the factors computed from them stay finite and non-zero.
inline constexpr int32_t kMaxCalibrationTenths = 12000;
inline constexpr int32_t kMaxMidiCalibrationCents = 1200;
int32_t usableCalibrationTenths(int32_t tenths);
int32_t usableMidiCalibrationCents(int32_t cents);

// Text in double quotes, with quotes, backslashes and unprintable bytes escaped, so that trailing
// blanks and odd bytes of names stay visible.
std::string quotedText(std::string_view text);

}  // namespace merlop
