#include "app/input_watch.h"

#include <string>

namespace merlop {

bool InputWatch::query() {
    int rates[3] = {0, 0, 0};
    int depths[2] = {0, 0};
    int count = 0;
    std::string name;
    available_ = false;
    if (device_.queryFormats(rates, depths, &count, &name) != 0 || count <= 0) return false;
    bool anyRate = false;
    for (int i = 0; i < 3; ++i) {
        candidates_.rates[i] = static_cast<std::uint32_t>(rates[i]);
        anyRate = anyRate || rates[i] != 0;
    }
    bool anyDepth = false;
    for (int i = 0; i < 2; ++i) {
        candidates_.bits[i] = static_cast<std::uint32_t>(depths[i]);
        anyDepth = anyDepth || depths[i] != 0;
    }
    available_ = anyRate && anyDepth;
    return available_;
}

void InputWatch::await() {
    awaiting_ = true;
    device_.setQuiet(true);
}

void InputWatch::found() {
    awaiting_ = false;
    device_.setQuiet(false);
}

}  // namespace merlop
