#include "app/window_place.h"

#include <gtest/gtest.h>

namespace merlop {
namespace {

// Two monitors side by side, the left one's origin negative as desktops place it.
const std::vector<PlaceRect> kScreens = {{-1280, 0, 1280, 1024}, {0, 0, 1920, 1080}};

TEST(WindowPlace, ASavedPlaceIsKeptWhileItsTopIsOnAScreenAndDroppedOtherwise) {
    const PlaceRect onRight{200, 100, 820, 640};
    EXPECT_EQ(restoredPlace(onRight, kScreens), onRight);
    const PlaceRect onLeft{-1000, 300, 820, 640};
    EXPECT_EQ(restoredPlace(onLeft, kScreens), onLeft);
    // Hanging off the bottom right, but its title bar is still to be had.
    const PlaceRect hanging{1920 - 150, 1080 - 60, 820, 640};
    EXPECT_EQ(restoredPlace(hanging, kScreens), hanging);

    // The monitor it was on is gone, or the top is out of reach above or beside the screens.
    EXPECT_EQ(restoredPlace({2600, 100, 820, 640}, kScreens), std::nullopt);
    EXPECT_EQ(restoredPlace({200, -600, 820, 640}, kScreens), std::nullopt);
    EXPECT_EQ(restoredPlace({1920 - 100, 100, 820, 640}, kScreens), std::nullopt);
    EXPECT_EQ(restoredPlace({200, 100, 820, 640}, {}), std::nullopt);

    // Never saved, or saved at a size no one closes a tuner at.
    EXPECT_EQ(restoredPlace({}, kScreens), std::nullopt);
    EXPECT_EQ(restoredPlace({10, 10, 100, 640}, kScreens), std::nullopt);
    // Extreme values from a hand-edited file do not overflow.
    EXPECT_EQ(restoredPlace({100000, 100000, 100000, 100000}, kScreens), std::nullopt);
}

}  // namespace
}  // namespace merlop
