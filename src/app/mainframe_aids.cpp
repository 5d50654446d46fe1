// The main frame's commands for the player at the instrument: the input source, the level,
// Hold and full screen.
#include "app/mainframe.h"

namespace merlop {

void MainFrameCore::chooseInputDevice() {
    const InputChoice::Offer offer = input_.offer();
    const int picked =
        questions_.choose(kInputDeviceCaption, "Listen to:", offer.items, offer.current);
    if (!input_.take(offer, picked, &extensions_)) return;
    if (!extensionStore_.save(extensions_)) messages_.show(kExtensionsNotSavedText, "Merlop");
    inputSourceChanged();
    if (input_.statusText().empty()) view_.setStatusText("Listening to the system default");
    if (recording()) {
        stopCapture(StopReason::reapplyMode);
    } else {
        applyMode();
    }
}

void MainFrameCore::inputSourceChanged() {
    // Another source may record other rates.
    run_.input().query();
    const std::string text = input_.statusText();
    displays_.setListeningText(text);
    if (!text.empty()) view_.setStatusText(text);
}

void MainFrameCore::toggleInputLevel() {
    flipExtension(&ExtensionSettings::inputLevel);
    displays_.setLevelsShown(extensions_.inputLevel);
    applyMode();
}

void MainFrameCore::toggleHold() {
    if (!uiState().holdEnabled) return;
    displays_.setHeld(!displays_.held());
    view_.setTunerHeld(displays_.held());
    view_.uiChanged();
}

void MainFrameCore::setFullScreen(bool on) {
    if (on == fullScreen_) return;
    fullScreen_ = on;
    applyMode();
}

}  // namespace merlop
