#include "app/input_choice.h"

#include <algorithm>

namespace merlop {

void InputChoice::load(const ExtensionSettings& settings) {
    chosen_ = settings.inputSource;
    chosenName_ = settings.inputSourceName.empty() ? chosen_ : settings.inputSourceName;
    capture_.chooseSource(chosen_);
}

InputChoice::Offer InputChoice::offer() const {
    Offer offer;
    offer.items.push_back(translate("MainFrame", kSystemDefaultSource));
    offer.sources = capture_.inputSources();
    for (const InputSource& source : offer.sources) {
        std::string item = source.name.empty() ? source.id : source.name;
        const auto same = std::count(offer.items.begin(), offer.items.end(), item);
        if (same > 0) item += " (" + std::to_string(same + 1) + ")";
        offer.items.push_back(item);
        if (!chosen_.empty() && source.id == chosen_) {
            offer.current = static_cast<int>(offer.items.size()) - 1;
        }
    }
    return offer;
}

bool InputChoice::take(const Offer& offer, int index, ExtensionSettings* settings) {
    if (index < 0 || index >= static_cast<int>(offer.items.size())) return false;
    std::string id;
    std::string name;
    if (index > 0) {
        id = offer.sources[static_cast<std::size_t>(index - 1)].id;
        name = offer.sources[static_cast<std::size_t>(index - 1)].name;
    }
    if (id == chosen_) return false;
    settings->inputSource = id;
    settings->inputSourceName = name;
    load(*settings);
    return true;
}

bool InputChoice::chosenPresent() const {
    const std::vector<InputSource> sources = capture_.inputSources();
    return std::any_of(sources.begin(), sources.end(),
                       [this](const InputSource& s) { return s.id == chosen_; });
}

std::string InputChoice::statusText() const {
    if (chosen_.empty()) return {};
    if (!chosenPresent()) {
        return fill(translate("MainFrame", "\"%1\" is not there: listening to the system default"),
                    {chosenName_});
    }
    return fill(translate("MainFrame", "Listening to \"%1\""), {chosenName_});
}

}  // namespace merlop
