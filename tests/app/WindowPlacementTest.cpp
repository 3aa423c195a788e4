#include "app/WindowPlacement.h"

#include <gtest/gtest.h>

TEST(WindowPlacement, FrameSizeFitsIntoTheWorkAreaWithoutAnOptionsFile)
{
    const WindowPosition4 stored{100, 100, 660, 540};
    EXPECT_EQ(PlaceMainWindow(720, 480, stored, false, {0, 0, 800, 600}), (WindowPosition4{56, 53, 744, 547}));
    // Too wide for the work area: the width shrinks and x stays.
    EXPECT_EQ(PlaceMainWindow(720, 480, stored, false, {0, 0, 700, 600}), (WindowPosition4{100, 53, 700, 547}));
}

TEST(WindowPlacement, StoredPlaceIsUsedAsItStands)
{
    const WindowPosition4 offScreen{3000, -400, 660, 540};
    // Options from the file: no fitting, even off the screen.
    EXPECT_EQ(PlaceMainWindow(720, 480, offScreen, true, {0, 0, 800, 600}), (WindowPosition4{3000, -400, 744, 547}));
    // No frame size: the stored size.
    EXPECT_EQ(PlaceMainWindow(0, 0, offScreen, true, {0, 0, 800, 600}), offScreen);
    // Unknown work area: no fitting either.
    EXPECT_EQ(PlaceMainWindow(0, 0, offScreen, false, {0, 0, 0, 0}), offScreen);
}

TEST(WindowPlacement, FitsAgainstAWorkAreaThatDoesNotStartAtZero)
{
    // A panel on the left and at the top: 1280 x 1024 screen, work area (64, 32)-(1280, 1024).
    const WindowPosition4 stored{900, 800, 660, 540};
    EXPECT_EQ(PlaceMainWindow(0, 0, stored, false, {64, 32, 1280, 1024}), (WindowPosition4{620, 484, 660, 540}));
    EXPECT_EQ(PlaceMainWindow(1920, 1080, stored, false, {64, 32, 1280, 1024}), (WindowPosition4{900, 800, 1216, 992}));
}
