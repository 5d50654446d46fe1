#pragma once

// A language for the tests: the texts a test gives it are translated, every other text stays
// its English source, and the English comes back when the test ends.

#include <map>
#include <string>
#include <utility>

#include "common/translation.h"

namespace merlop::test {

class ScopedTranslator {
  public:
    using Key = std::pair<std::string, std::string>;  // context, source

    explicit ScopedTranslator(std::map<Key, std::string> texts) {
        table() = std::move(texts);
        installTranslator(&lookUp);
    }
    ~ScopedTranslator() {
        installTranslator(nullptr);
        table().clear();
    }
    ScopedTranslator(const ScopedTranslator&) = delete;
    ScopedTranslator& operator=(const ScopedTranslator&) = delete;

  private:
    static std::map<Key, std::string>& table() {
        static std::map<Key, std::string> texts;
        return texts;
    }
    static std::string lookUp(const char* context, const char* source) {
        const auto found = table().find({context, source});
        return found != table().end() ? found->second : std::string(source);
    }
};

}  // namespace merlop::test
