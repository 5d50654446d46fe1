#pragma once

#include <string>

namespace merlop {

// A modal message with an OK button. Every part that reports to the user (devices, the analysis,
// the settings) does so through this, so that the desktop shows a real box while tests only
// record what would have been shown. show() may be called from inside a device or timer callback
// and returns at once; the desktop shows the box after that callback has returned.
class MessageBox {
  public:
    virtual ~MessageBox() = default;
    virtual void show(const std::string& text, const std::string& caption) = 0;
};

}  // namespace merlop
