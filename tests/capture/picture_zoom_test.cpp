#include "capture/picture_zoom.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(PictureZoom, NotchesStepByATenthWithinTenToAThousandPercent) {
    EXPECT_DOUBLE_EQ(ZoomScale(1.0, 5), std::pow(1.1, 5));
    EXPECT_EQ(ZoomScale(ZoomScale(1.0, 5), -5), 1.0);  // exactly back
    EXPECT_EQ(ZoomScale(9.5, 1), kMaxZoom);
    EXPECT_EQ(ZoomScale(0.105, -3), kMinZoom);
    EXPECT_EQ(ZoomScale(1.0, 1000), kMaxZoom);
    EXPECT_EQ(ZoomedSize(SIZE{120, 80}, std::pow(1.1, 5)).cx, 193);  // 193.26
    EXPECT_EQ(ZoomedSize(SIZE{120, 80}, std::pow(1.1, 5)).cy, 129);  // 128.84
    EXPECT_EQ(ZoomedSize(SIZE{5, 3}, kMinZoom).cy, 1);               // never empty
    int rest = 0;
    EXPECT_EQ(TakeWheelNotches(rest, 60), 0);
    EXPECT_EQ(TakeWheelNotches(rest, 300), 3);  // 360: three, nothing left over
    EXPECT_EQ(TakeWheelNotches(rest, -240), -2);
    EXPECT_EQ(StepOpacity(100, -3), 70);
    EXPECT_EQ(StepOpacity(30, -2), kMinOpacity);
    EXPECT_EQ(StepOpacity(90, 5), 100);
    EXPECT_EQ(OpacityAlpha(70), 179);
    EXPECT_EQ(OpacityAlpha(100), 255);
}

TEST(PictureZoom, ThePointOfThePictureUnderThePointerStaysUnderIt) {
    const SIZE picture{120, 80};
    const RECT start{700, 400, 820, 480};
    for (const int notches : {5, -5, 24, -20}) {
        const double scale = ZoomScale(1.0, notches);
        for (const POINT p : {POINT{700, 400}, POINT{730, 420}, POINT{819, 479}, POINT{760, 401}}) {
            const RECT next = ZoomAbout(start, picture, scale, p);
            const SIZE size = ZoomedSize(picture, scale);
            EXPECT_EQ(next.right - next.left, size.cx);
            EXPECT_EQ(next.bottom - next.top, size.cy);
            // Picture coordinates of the pointer's pixel middle, before and after.
            const double x = (p.x + 0.5 - next.left) * picture.cx / size.cx;
            const double y = (p.y + 0.5 - next.top) * picture.cy / size.cy;
            // Within half a screen pixel (rounding to whole pixels), and when
            // enlarged, the same picture pixel as at 100 %.
            EXPECT_NEAR(x, p.x + 0.5 - start.left, 0.5 * picture.cx / size.cx + 1e-9) << notches;
            EXPECT_NEAR(y, p.y + 0.5 - start.top, 0.5 * picture.cy / size.cy + 1e-9) << notches;
            if (scale > 1.0) {
                EXPECT_EQ(static_cast<int>(x), p.x - start.left) << notches << " " << p.x;
                EXPECT_EQ(static_cast<int>(y), p.y - start.top) << notches << " " << p.y;
            }
        }
    }
}
