#include "app/settings_file_keeper.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "settings/config_file.h"

namespace merlop {

SettingsFileKeeper::SettingsFileKeeper(Settings& settings, MessageBox& messages,
                                       QuestionBox& questions)
    : settings_(settings),
      messages_(messages),
      questions_(questions),
      state_(settings.loadFailed != 0 ? State::unreported : State::usable) {}

bool SettingsFileKeeper::settle() {
    // Before the box: a resize while it is up must not ask again.
    state_ = State::refused;
    if (!settleProblem()) return false;
    state_ = State::usable;
    return true;
}

bool SettingsFileKeeper::settleProblem() {
    const std::string text = "Make sure that file merlo301.cfg has been installed";
    const std::string caption = "Configuration file missing or corrupt";
    const std::filesystem::path path = settings_.fileName;
    switch (settings_.loadProblem) {
        case Settings::LoadProblem::notAFile:
            messages_.show(path.string() +
                               " is not a file, so Merlop cannot keep its settings "
                               "there. Nothing was written.",
                           caption);
            return false;
        case Settings::LoadProblem::tooShort: {
            // Quitting stays the default; the other answer keeps the damaged file for later.
            if (questions_.ask(text, caption, QuestionBox::Buttons::okOrStartAfresh)) return false;
            std::filesystem::path aside;
            const int error = moveDamagedConfigAside(path, &aside);
            if (error != 0 || settings_.loadSettings() != 0) {
                messages_.show(writeFailure(path, error), caption);
                return false;
            }
            messages_.show("The damaged settings file was kept as " + aside.filename().string() +
                               ". Merlop starts with the default settings.",
                           "Merlop");
            return true;
        }
        default:
            messages_.show(text, caption);
            return false;
    }
}

bool SettingsFileKeeper::save(bool userPresent) {
    if (state_ != State::usable) return true;
    int error = 0;
    if (settings_.saveSettings(&error) == 0) return true;
    // Otherwise the next start silently comes up with what was saved before.
    const std::string text = "The settings could not be saved. " +
                             writeFailure(settings_.fileName, error) +
                             ". The next start uses the settings saved before.";
    if (userPresent) {
        questions_.ask(text, "Merlop", QuestionBox::Buttons::ok);
    } else {
        std::fprintf(stderr, "merlop: %s\n", text.c_str());
    }
    return false;
}

void SettingsFileKeeper::markWritten() {
    if (state_ == State::usable) state_ = State::written;
}

}  // namespace merlop
