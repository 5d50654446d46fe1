#pragma once

#include <memory>
#include <string>

#include "settings/settings.h"
#include "settings/tuning_store.h"

// The tuner's two files as the reading commands see them: read only, never created.
namespace merlop::cli {

// Reads a whole configuration image; empty on success, else why not.
std::string readConfigImage(const std::string& path, Settings::Image* image);

// Opens DIR/merlo230.tng, which must exist and hold data; empty on success, else a message
// naming the file.
std::string openTunings(const std::string& dir, std::unique_ptr<TuningStore>* store);

}  // namespace merlop::cli
