#pragma once

#include <QFont>

namespace merlop {

// DejaVu Sans at a requested height and average character width, as the tuner displays size
// their texts. cellHeight true: the height is the whole line (ascent + descent), otherwise the
// character (em) height. width 0 keeps the face's own proportions. Heights below 1 are held at 1;
// callers skip text that has no room.
QFont tunerFont(int height, int width, bool cellHeight);

}  // namespace merlop
