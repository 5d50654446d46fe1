#pragma once

#include <array>
#include <cstdint>

#include "settings/test_files.h"

namespace merlop::testing {

struct ConfigItem {
    const char* name;
    int offset;
    int32_t defaultValue;
};

// The configuration file layout, item by item, with each item's default (reserved4 excluded: its
// 40 bytes at offset 112 default to zeros).
inline constexpr std::array<ConfigItem, 56> kConfigItems{{
    {"analysisWindowMs", 0, 200},
    {"frequencyOfA", 4, 440},
    {"calibrationTenths", 8, 0},
    {"freqLowHz", 12, 20},
    {"freqHighHz", 16, 1200},
    {"sensitivityDb", 20, -36},
    {"spectrumDbLow", 24, -36},
    {"spectrumDbHigh", 28, 30},
    {"fineTuning", 32, 0},
    {"spectrum3D", 36, 1},
    {"viewAngleA", 40, 0},
    {"viewAngleB", 44, 30},
    {"spectrumSustain", 48, 5},
    {"hammingWindow", 52, 1},
    {"curveSmoothing", 56, 0},
    {"weighting", 60, 0},
    {"toneVolume", 64, 60},
    {"toneOctave", 68, 3},
    {"toneUseMidi", 72, 1},
    {"midiChannel", 76, 0},
    {"midiPatch", 80, 0},
    {"pitchBendSpan", 84, 4},
    {"toneRepeatRate", 88, 60},
    {"sampleRate", 92, 11025},
    {"bitsPerSample", 96, 8},
    {"reserved1", 100, 0},
    {"reserved2", 104, 0},
    {"reserved3", 108, 0},
    {"customTuningOn", 152, 0},
    {"currentTuning", 156, 0},
    {"tuningNoteAutomatic", 160, 1},
    {"instrumentKey", 164, 0},
    {"earTrainingOn", 168, 0},
    {"earRangeLow", 172, 40},
    {"earRangeHigh", 176, 76},
    {"earNoteCount", 180, 2},
    {"earMaxInterval", 184, 12},
    {"earTempo", 188, 90},
    {"earScale", 192, 0},
    {"earKey", 196, 12},
    {"earShowFirstNote", 200, 1},
    {"midiCalibrationCents", 204, 0},
    {"reserved5", 208, 0},
    {"temperamentIndex", 212, 0},
    {"sharpNotation", 216, 0},
    {"temperamentKey", 220, 0},
    {"temperamentRefNote", 224, 9},
    {"humFilter", 228, 0},
    {"humFrequency", 232, 60},
    {"reserved6", 236, 20},
    {"showTuner", 240, 1},
    {"showSpectrum", 244, 0},
    {"showWaveForm", 248, 0},
    {"showPiano", 252, 1},
    {"pianoFirstOctave", 256, 2},
    {"pianoOctaveCount", 260, 4},
}};

inline Bytes expectedDefaultConfig() {
    Bytes b(264, 0);
    for (const ConfigItem& item : kConfigItems) putInt32At(b, item.offset, item.defaultValue);
    return b;
}

}  // namespace merlop::testing
