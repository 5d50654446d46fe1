#pragma once

// Where the main window opens: where it was last closed, unless that place is no longer on any
// screen (a monitor unplugged, a smaller display).

#include <optional>
#include <vector>

namespace merlop {

struct PlaceRect {
    int x = 0, y = 0, width = 0, height = 0;
    friend bool operator==(const PlaceRect&, const PlaceRect&) = default;
};

// Enough of a window on a screen to take hold of it again: a strip along its top.
inline constexpr int kMinVisibleWidth = 120;
inline constexpr int kMinVisibleHeight = 40;
// No window smaller than this is taken as saved.
inline constexpr int kMinSavedWidth = 160;
inline constexpr int kMinSavedHeight = 120;

// The saved place when its top strip lies on one of the screens' available areas; none (the
// default place) otherwise, and for a place never saved (width 0).
std::optional<PlaceRect> restoredPlace(const PlaceRect& saved,
                                       const std::vector<PlaceRect>& screens);

}  // namespace merlop
