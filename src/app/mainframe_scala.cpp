// The main frame's Scala commands: user temperaments in and out, and the one in use.
#include <algorithm>

#include "app/mainframe.h"
#include "common/translation.h"
#include "pitch/temperament_table.h"
#include "settings/settings.h"
#include "settings/tuning_presets.h"

namespace merlop {

void MainFrameCore::useUserTemperament() {
    if (extensions_.userTemperament.empty()) return;
    const auto found = scala_.find(extensions_.userTemperament);
    // A file taken out of the folder leaves the built-in row merlo301.cfg names.
    if (!found) return;
    pitch_.setTemperamentOffsets(found->second.offsets, settings_.temperamentKey,
                                 settings_.temperamentRefNote,
                                 TemperamentTable::kRows + found->first);
}

int MainFrameCore::temperamentShown() const {
    const int index = pitch_.temperamentIndex();
    return index >= 0 ? index : settings_.temperamentIndex;
}

UserTemperamentChoice MainFrameCore::userTemperamentChoice() const {
    UserTemperamentChoice choice;
    const std::vector<UserTemperament> all = scala_.temperaments();
    for (std::size_t i = 0; i < all.size(); ++i) {
        choice.names.push_back(all[i].name);
        if (all[i].file.filename() == extensions_.userTemperament) {
            choice.chosen = static_cast<int>(i);
        }
    }
    return choice;
}

void MainFrameCore::chooseUserTemperament(int chosen) {
    const std::vector<UserTemperament> all = scala_.temperaments();
    const std::string file = chosen >= 0 && chosen < static_cast<int>(all.size())
                                 ? all[static_cast<std::size_t>(chosen)].file.filename().string()
                                 : std::string();
    if (file == extensions_.userTemperament) return;
    extensions_.userTemperament = file;
    if (!extensionStore_.save(extensions_))
        messages_.show(translate("MainFrame", kExtensionsNotSavedText), "Merlop");
}

void MainFrameCore::importScalaScale() {
    if (calibrating()) return;
    const std::optional<ScalaFiles::Imported> imported = scala_.import(settings_.temperamentKey);
    if (!imported) return;
    if (!imported->temperamentFile.empty()) {
        if (customTuningOn()) setCustomTuning(false);
        extensions_.userTemperament = imported->temperamentFile;
        if (!extensionStore_.save(extensions_))
            messages_.show(translate("MainFrame", kExtensionsNotSavedText), "Merlop");
        view_.setStatusText(
            fill(translate("MainFrame", "Temperament added: %1"), {imported->name}));
        applyMode();
        return;
    }
    if (!custom_) {
        messages_.show(
            translate("MainFrame", "The tunings file cannot be used; the scale was not added."),
            translate("MainFrame", kImportScalaCaption));
        return;
    }
    stopCapture(StopReason::plain);
    const std::string problem = custom_->addPreset(TuningPreset{"scala", *imported->tuning});
    if (!problem.empty()) {
        messages_.show(problem, translate("MainFrame", kImportScalaCaption));
    } else {
        view_.setStatusText(fill(translate("MainFrame", "Tuning added: %1"), {imported->name}));
        if (!imported->leftOut.empty())
            messages_.show(imported->leftOut, translate("MainFrame", kImportScalaCaption));
    }
    applyMode();
}

void MainFrameCore::exportScalaScale() {
    const int index = temperamentShown();
    if (index >= TemperamentTable::kRows) {
        if (const auto found = scala_.find(extensions_.userTemperament)) {
            scala_.exportTemperament(found->second.offsets, found->second.name,
                                     settings_.temperamentKey);
        }
        return;
    }
    const int row = std::clamp(index, 0, TemperamentTable::kRows - 1);
    scala_.exportTemperament(TemperamentTable::row(row), TemperamentTable::name(row),
                             settings_.temperamentKey);
}

}  // namespace merlop
