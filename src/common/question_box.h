#pragma once

#include <string>
#include <vector>

namespace merlop {

// A modal question. Unlike MessageBox it waits for the answer, so it must not be asked from
// inside a device or timer callback that cannot wait; tests answer from a script.
class QuestionBox {
  public:
    // ok: a notice that waits for its OK; okOrStartAfresh: OK, or "Start with Defaults".
    enum class Buttons { okCancel, yesNo, ok, okOrStartAfresh };
    virtual ~QuestionBox() = default;
    // True for OK or Yes.
    virtual bool ask(const std::string& text, const std::string& caption, Buttons buttons) = 0;
    // The index of the item picked, -1 when cancelled; a box that cannot offer a list picks none.
    // The list opens on item `current`.
    virtual int choose(const std::string& /*caption*/, const std::string& /*label*/,
                       const std::vector<std::string>& /*items*/, int /*current*/) {
        return -1;
    }
    // A line of text, starting at *value; false when cancelled, as by a box that cannot ask.
    virtual bool askText(const std::string& /*caption*/, const std::string& /*label*/,
                         std::string* /*value*/) {
        return false;
    }
    // A number from lo to hi with that many decimals, starting at value; false when cancelled,
    // as by a box that cannot ask.
    virtual bool askNumber(const std::string& /*caption*/, const std::string& /*label*/,
                           double /*lo*/, double /*hi*/, int /*decimals*/, double* /*value*/) {
        return false;
    }
};

}  // namespace merlop
