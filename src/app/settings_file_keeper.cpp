#include "app/settings_file_keeper.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "common/atomic_file.h"
#include "common/translation.h"
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
    const std::string text =
        translate("SettingsFile", "Make sure that file merlo301.cfg has been installed");
    const std::string caption = translate("SettingsFile", "Configuration file missing or corrupt");
    const std::filesystem::path path = settings_.fileName;
    switch (settings_.loadProblem) {
        case Settings::LoadProblem::notAFile:
            messages_.show(fill(translate("SettingsFile",
                                          "%1 is not a file, so Merlop cannot keep its settings "
                                          "there. Nothing was written."),
                                {path.string()}),
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
            messages_.show(fill(translate("SettingsFile",
                                          "The damaged settings file was kept as %1. Merlop "
                                          "starts with the default settings."),
                                {aside.filename().string()}),
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
    static constexpr char kNotSaved[] = MERLOP_TR_NOOP(
        "SettingsFile",
        "The settings could not be saved. %1. The next start uses the settings saved before.");
    if (userPresent) {
        const std::string reason = writeFailure(settings_.fileName, error);
        questions_.ask(fill(translate("SettingsFile", kNotSaved), {reason}), "Merlop",
                       QuestionBox::Buttons::ok);
    } else {
        const std::string text = fill(kNotSaved, {writeFailure(settings_.fileName, error, false)});
        std::fprintf(stderr, "merlop: %s\n", text.c_str());
    }
    return false;
}

void SettingsFileKeeper::markWritten() {
    if (state_ == State::usable) state_ = State::written;
}

}  // namespace merlop
