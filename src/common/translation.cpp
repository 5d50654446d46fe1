#include "common/translation.h"

#include <atomic>
#include <vector>

namespace merlop {

namespace {
std::atomic<TranslateFunction> installed{nullptr};
}

void installTranslator(TranslateFunction translator) {
    installed.store(translator);
}

std::string translate(const char* context, const char* source) {
    const TranslateFunction translator = installed.load();
    if (translator == nullptr) return source;
    return translator(context, source);
}

std::string fill(std::string_view pattern, std::initializer_list<std::string_view> args) {
    const std::vector<std::string_view> parts(args);
    std::string out;
    out.reserve(pattern.size() + 16 * parts.size());
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c == '%' && i + 1 < pattern.size()) {
            const char next = pattern[i + 1];
            const auto index = static_cast<std::size_t>(next - '1');
            if (next >= '1' && next <= '9' && index < parts.size()) {
                out += parts[index];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

}  // namespace merlop
