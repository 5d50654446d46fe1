#include "app/window_place.h"

#include <algorithm>

namespace merlop {

std::optional<PlaceRect> restoredPlace(const PlaceRect& saved,
                                       const std::vector<PlaceRect>& screens) {
    if (saved.width < kMinSavedWidth || saved.height < kMinSavedHeight) return std::nullopt;
    for (const PlaceRect& s : screens) {
        // The top strip, where the title bar is: long long, so no sum of ints overflows.
        const long long left = std::max<long long>(saved.x, s.x);
        const long long right = std::min<long long>(static_cast<long long>(saved.x) + saved.width,
                                                    static_cast<long long>(s.x) + s.width);
        const long long top = std::max<long long>(saved.y, s.y);
        const long long bottom =
            std::min<long long>(static_cast<long long>(saved.y) + kMinVisibleHeight,
                                static_cast<long long>(s.y) + s.height);
        if (right - left >= kMinVisibleWidth && bottom - top >= kMinVisibleHeight) return saved;
    }
    return std::nullopt;
}

}  // namespace merlop
