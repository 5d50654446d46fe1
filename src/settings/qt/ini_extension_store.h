#pragma once

#include <filesystem>

#include "settings/extension_settings.h"

namespace merlop {

// merlop.conf through QSettings' INI format. Keys this version does not know are kept as they
// are, so a newer program's settings survive a session of this one.
class IniExtensionStore final : public ExtensionSettingsStore {
  public:
    explicit IniExtensionStore(std::filesystem::path file) : file_(std::move(file)) {}

    ExtensionSettings load() override;
    bool save(const ExtensionSettings& settings) override;

  private:
    std::filesystem::path file_;
};

}  // namespace merlop
