#pragma once

// Which sound source the tuner listens to (Tools / "Input Device..."), and what the status bar
// says while a chosen source is away.

#include <string>
#include <vector>

#include "audio/wave_input.h"
#include "common/translation.h"
#include "settings/extension_settings.h"

namespace merlop {

inline constexpr char kInputDeviceCaption[] = MERLOP_TR_NOOP("MainFrame", "Input Device");
inline constexpr char kSystemDefaultSource[] = MERLOP_TR_NOOP("MainFrame", "System default");

class InputChoice {
  public:
    explicit InputChoice(WaveCaptureService& capture) : capture_(capture) {}

    // The source kept in merlop.conf goes to the capture service.
    void load(const ExtensionSettings& settings);

    // What the dialog lists: "System default", then the sources there are now by the names the
    // desktop shows (a name twice is told apart by a number); `current` is the source in use.
    struct Offer {
        std::vector<std::string> items;
        std::vector<InputSource> sources;  // item i + 1
        int current = 0;
    };
    Offer offer() const;
    // Item `index` of the offer becomes the choice, kept in settings; false when nothing changed.
    bool take(const Offer& offer, int index, ExtensionSettings* settings);

    // The status bar's word on the choice: empty while the chosen source (or the default) is
    // what records.
    std::string statusText() const;

  private:
    bool chosenPresent() const;

    WaveCaptureService& capture_;
    std::string chosen_;
    std::string chosenName_;
};

}  // namespace merlop
