// The main frame's commands for the player at the instrument: the input source, the level, the
// strobe, Hold, full screen and the window's place.
#include <cstdio>

#include "app/mainframe.h"
#include "common/translation.h"

namespace merlop {

void MainFrameCore::chooseInputDevice() {
    const InputChoice::Offer offer = input_.offer();
    const int picked =
        questions_.choose(translate("MainFrame", kInputDeviceCaption),
                          translate("MainFrame", "Listen to:"), offer.items, offer.current);
    if (!input_.take(offer, picked, &extensions_)) return;
    if (!extensionStore_.save(extensions_))
        messages_.show(translate("MainFrame", kExtensionsNotSavedText), "Merlop");
    inputSourceChanged();
    if (input_.statusText().empty())
        view_.setStatusText(translate("MainFrame", "Listening to the system default"));
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

void MainFrameCore::keepWindowPlace(int x, int y, int width, int height, bool maximized) {
    ExtensionSettings e = extensions_;
    e.windowX = x;
    e.windowY = y;
    e.windowWidth = width;
    e.windowHeight = height;
    e.windowMaximized = maximized;
    if (e == extensions_) return;
    extensions_ = e;
    // Only noted: the window is closing, and a box now would be in the way of the session.
    if (!extensionStore_.save(extensions_)) std::fputs("merlop: merlop.conf not written\n", stderr);
}

void MainFrameCore::toggleStrobe() {
    flipExtension(&ExtensionSettings::strobe);
    applyMode();
}

void MainFrameCore::toggleHold() {
    if (!uiState().holdEnabled) return;
    displays_.setHeld(!displays_.held());
    view_.setTunerHeld(displays_.held());
    view_.uiChanged();
}

void MainFrameCore::setFullScreen(bool on) {
    // The window has shown or hidden its bars, so its next onSize lays out the new room.
    fullScreen_ = on;
}

}  // namespace merlop
