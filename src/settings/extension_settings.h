#pragma once

// Settings of the features the classic files have no room for. They live in merlop.conf, an INI
// file beside merlo301.cfg, whose layout other programs read and which therefore never grows.
// A missing or unreadable merlop.conf, or a value that does not read as its kind, gives the
// defaults: with them every feature here is off and the tuner is what it always was.

#include <cstddef>
#include <functional>
#include <optional>
#include <string>

namespace merlop {

inline constexpr char kExtensionFileName[] = "merlop.conf";

struct ExtensionSettings {
    // The level threshold follows the input's noise floor (Tools / "Automatic Sensitivity").
    bool autoSensitivity = false;
    // Capture goes on while another window has the focus (Tools / "Keep Listening in
    // Background").
    bool keepListening = false;
    // The tuner's reading turns green within the tolerance (View / "In-Tune Colour"), in
    // tenths of a cent: one for whole cents, one for Fine tuning.
    bool inTuneColour = false;
    int inTuneTenths = 20;
    int inTuneFineTenths = 5;
    // The status bar shows the input's peak level and whether the tuner hears a note (View /
    // "Input Level").
    bool inputLevel = false;
    // A strobe under the tuner's meter (View / "Strobe").
    bool strobe = false;
    // The sound source chosen in Tools / "Input Device...", as the sound server names it; empty
    // for the system default. The name is for the messages while the source is not there.
    std::string inputSource;
    std::string inputSourceName;
    // The user temperament in use (File / "Import Scala Scale..."): its file in the "scales"
    // folder; empty for the built-in one merlo301.cfg names.
    std::string userTemperament;
    // The piano keys measured in Tools / "Measure Inharmonicity..." (see pitch/piano_keys.h).
    std::string pianoMeasurements;
    // Where the window was when last closed; width 0 for never.
    int windowX = 0, windowY = 0, windowWidth = 0, windowHeight = 0;
    bool windowMaximized = false;

    friend bool operator==(const ExtensionSettings&, const ExtensionSettings&) = default;
};

// The file's keys as group/name, with their kinds; a setting is one row here.
struct ExtensionFlag {
    const char* key;
    bool ExtensionSettings::*member;
};
inline constexpr ExtensionFlag kExtensionFlags[] = {
    {"analysis/autoSensitivity", &ExtensionSettings::autoSensitivity},
    {"capture/keepListeningInBackground", &ExtensionSettings::keepListening},
    {"display/inTuneColour", &ExtensionSettings::inTuneColour},
    {"display/inputLevel", &ExtensionSettings::inputLevel},
    {"display/strobe", &ExtensionSettings::strobe},
    {"window/maximized", &ExtensionSettings::windowMaximized},
};

struct ExtensionNumber {
    const char* key;
    int ExtensionSettings::*member;
    int lo, hi;  // a value outside keeps the default
};
inline constexpr ExtensionNumber kExtensionNumbers[] = {
    {"display/inTuneTenthsOfACent", &ExtensionSettings::inTuneTenths, 1, 250},
    {"display/inTuneTenthsOfACentFine", &ExtensionSettings::inTuneFineTenths, 1, 250},
    {"window/x", &ExtensionSettings::windowX, -100000, 100000},
    {"window/y", &ExtensionSettings::windowY, -100000, 100000},
    {"window/width", &ExtensionSettings::windowWidth, 0, 100000},
    {"window/height", &ExtensionSettings::windowHeight, 0, 100000},
};

// Texts are taken as they are; one longer than kMaxExtensionText keeps the default.
inline constexpr std::size_t kMaxExtensionText = 8192;
struct ExtensionText {
    const char* key;
    std::string ExtensionSettings::*member;
};
inline constexpr ExtensionText kExtensionTexts[] = {
    {"capture/inputSource", &ExtensionSettings::inputSource},
    {"capture/inputSourceName", &ExtensionSettings::inputSourceName},
    {"tuning/userTemperament", &ExtensionSettings::userTemperament},
    {"piano/measurements", &ExtensionSettings::pianoMeasurements},
};

// A value as written in the file; nullopt when the key is missing.
using ExtensionLookup = std::function<std::optional<std::string>(const char* key)>;
ExtensionSettings readExtensionSettings(const ExtensionLookup& lookup);
// Each key with the text it is written as.
void writeExtensionSettings(
    const ExtensionSettings& settings,
    const std::function<void(const char* key, const std::string& value)>& put);

// Where the program keeps them: the INI file, or a script in tests.
class ExtensionSettingsStore {
  public:
    virtual ~ExtensionSettingsStore() = default;
    virtual ExtensionSettings load() = 0;
    // False when the file could not be written; what was there before stays.
    virtual bool save(const ExtensionSettings& settings) = 0;
};

}  // namespace merlop
