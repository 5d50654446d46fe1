#pragma once

#include <string>

namespace merlop {

// A modal message with an OK button. Devices report their failures through this so that the
// desktop shows a real box while tests only record what would have been shown.
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    virtual void show(const std::string& text, const std::string& caption) = 0;
};

}  // namespace merlop
