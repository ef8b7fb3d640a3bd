#include "capture/region_geometry.h"
#include "capture/picture_zoom.h"

#include <gtest/gtest.h>
#include <cmath>

#include "graphics/monitors.h"

namespace {

constexpr SIZE kScreen{1920, 1080};
// The screen alone; a 1280 x 1024 monitor left of it; a 1600 x 900 one above it.
const std::vector<RECT> kOne{{0, 0, 1920, 1080}};
const std::vector<RECT> kLeft{{0, 0, 1920, 1080}, {-1280, 56, 0, 1080}};
const std::vector<RECT> kAbove{{0, 0, 1920, 1080}, {200, -900, 1800, 0}};

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

::testing::AssertionResult RectIs(const RECT& got, RECT want) {
    if (Same(got, want)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "(" << got.left << "," << got.top << "," << got.right << "," << got.bottom
           << ") instead of (" << want.left << "," << want.top << "," << want.right << ","
           << want.bottom << ")";
}

}  // namespace

TEST(RegionGeometry, EitherDragDirectionGivesTheSameRegion) {
    const RECT down = NormalizeRegion({100, 50}, {300, 200});
    EXPECT_TRUE(RectIs(NormalizeRegion({300, 200}, {100, 50}), down));
    EXPECT_TRUE(RectIs(NormalizeRegion({100, 200}, {300, 50}), down));
    EXPECT_TRUE(IsPointRegion(NormalizeRegion({7, 7}, {7, 7})));
    EXPECT_FALSE(IsPointRegion(NormalizeRegion({7, 7}, {8, 7})));
}

TEST(RegionGeometry, HitTestFindsEachHandleTheBodyAndNothing) {
    const RECT r{100, 100, 300, 200};
    struct Case {
        POINT p;
        int handle;
    } cases[] = {
        {{100, 100}, kHandleTopLeft},  {{98, 98}, kHandleTopLeft},     {{102, 102}, kHandleTopLeft},
        {{97, 100}, kHandleNone},      {{103, 103}, kHandleMove},      {{200, 100}, kHandleTop},
        {{300, 99}, kHandleTopRight},  {{100, 150}, kHandleLeft},      {{302, 150}, kHandleRight},
        {{100, 200}, kHandleBottomLeft}, {{200, 201}, kHandleBottom},  {{300, 200}, kHandleBottomRight},
        {{250, 100}, kHandleMove},     {{300, 170}, kHandleMove},      {{250, 150}, kHandleMove},
        {{301, 170}, kHandleNone},     {{250, 99}, kHandleNone},       {{50, 50}, kHandleNone},
    };
    for (const Case& c : cases)
        EXPECT_EQ(HitTestRegion(r, c.p), c.handle) << c.p.x << "," << c.p.y;
}

TEST(RegionGeometry, HandlesOfATinyRegionGoToTheFirstInOrder) {
    // On a 3 x 3 region every box overlaps: the top-left one answers first.
    EXPECT_EQ(HitTestRegion(RECT{10, 10, 12, 12}, POINT{11, 11}), kHandleTopLeft);
}

TEST(RegionGeometry, DraggingTheLeftHandlePastTheRightEdgeSwapsTheSides) {
    const DragCorners committed{{100, 100}, {300, 200}};
    const DragCorners dragged = DragHandle(kHandleLeft, committed, {400, 150}, {100, 150});
    EXPECT_TRUE(RectIs(NormalizeRegion(dragged.start, dragged.end), RECT{300, 100, 400, 200}));
    // A second drag starts from the stored, normalised corners again.
    const RECT stored = NormalizeRegion(dragged.start, dragged.end);
    EXPECT_EQ(HitTestRegion(stored, {400, 150}), kHandleRight);
}

TEST(RegionGeometry, EachHandleMovesOnlyItsOwnSides) {
    const DragCorners c{{100, 100}, {300, 200}};
    const POINT p{150, 120};
    struct Case {
        int handle;
        RECT want;
    } cases[] = {
        {kHandleTopLeft, {150, 120, 300, 200}},    {kHandleTop, {100, 120, 300, 200}},
        {kHandleTopRight, {100, 120, 150, 200}},   {kHandleLeft, {150, 100, 300, 200}},
        {kHandleRight, {100, 100, 150, 200}},      {kHandleBottomLeft, {150, 100, 300, 120}},
        {kHandleBottom, {100, 100, 300, 120}},     {kHandleBottomRight, {100, 100, 150, 120}},
        {kHandleMove, {110, 110, 310, 210}},       {kHandleNone, {100, 100, 300, 200}},
    };
    for (const Case& k : cases) {
        const DragCorners d = DragHandle(k.handle, c, p, POINT{140, 110});
        EXPECT_TRUE(RectIs(NormalizeRegion(d.start, d.end), k.want)) << "handle " << k.handle;
    }
}

TEST(RegionGeometry, ClippingKeepsOnlyPixelsOnTheScreen) {
    struct Case {
        RECT region;
        bool any;
        RECT want;
    } cases[] = {
        {{10, 20, 110, 120}, true, {10, 20, 110, 120}},
        // Touching the right and bottom edges: the last pixel is 1919 / 1079.
        {{1800, 1000, 1919, 1079}, true, {1800, 1000, 1919, 1079}},
        {{1800, 1000, 1920, 1080}, true, {1800, 1000, 1919, 1079}},
        {{1800, 1000, 2100, 1300}, true, {1800, 1000, 1919, 1079}},
        {{-50, -20, 30, 40}, true, {0, 0, 30, 40}},
        // Moved wholly off the screen: nothing, never a negative size.
        {{-300, 10, -1, 50}, false, {}},
        {{1920, 10, 2000, 50}, false, {}},
        {{10, 1080, 50, 1200}, false, {}},
    };
    for (const Case& c : cases) {
        const std::optional<RECT> got = ClipRegionToScreen(c.region, kScreen);
        ASSERT_EQ(got.has_value(), c.any) << c.region.left << "," << c.region.top;
        if (c.any) {
            EXPECT_TRUE(RectIs(*got, c.want));
        }
    }
}

TEST(RegionGeometry, MagnifierAndInfoBoxFollowThePointerAndStayOnTheScreen) {
    struct Case {
        POINT p;
        RECT magnifier;
        RECT infoWithMagnifier;
        RECT infoAlone;
        std::vector<RECT> monitors = kOne;
    } cases[] = {
        // The pointer's monitor, not the desktop, decides where they flip.
        {{-10, 400}, {-135, 420, -15, 540}, {-135, 539, -15, 569}, {-135, 420, -15, 450}, kLeft},
        {{1000, -50}, {1005, -210, 1125, -90}, {1005, -91, 1125, -61}, {1005, -90, 1125, -60},
         kAbove},
        {{500, 400}, {505, 420, 625, 540}, {505, 539, 625, 569}, {505, 420, 625, 450}},
        // 10 pixels from the right edge: to the left of the pointer (x - 125).
        {{1910, 400}, {1785, 420, 1905, 540}, {1785, 539, 1905, 569}, {1785, 420, 1905, 450}},
        // 1790 + 5 + 125 = 1920 does not exceed the width: still to the right.
        {{1790, 400}, {1795, 420, 1915, 540}, {1795, 539, 1915, 569}, {1795, 420, 1915, 450}},
        {{1791, 400}, {1666, 420, 1786, 540}, {1666, 539, 1786, 569}, {1666, 420, 1786, 450}},
        // Near the bottom: above the pointer; the lone box has its own rule.
        {{500, 1000}, {505, 840, 625, 960}, {505, 959, 625, 989}, {505, 1020, 625, 1050}},
        {{500, 1025}, {505, 865, 625, 985}, {505, 984, 625, 1014}, {505, 1045, 625, 1075}},
        {{500, 1026}, {505, 866, 625, 986}, {505, 985, 625, 1015}, {505, 986, 625, 1016}},
    };
    for (const Case& c : cases) {
        const RECT m = MonitorAt(c.monitors, c.p);
        EXPECT_TRUE(RectIs(MagnifierRectIn(c.p, m), c.magnifier)) << c.p.x << "," << c.p.y;
        EXPECT_TRUE(RectIs(InfoBoxRectIn(c.p, m, true), c.infoWithMagnifier))
            << c.p.x << "," << c.p.y;
        EXPECT_TRUE(RectIs(InfoBoxRectIn(c.p, m, false), c.infoAlone))
            << c.p.x << "," << c.p.y;
    }
}

TEST(RegionGeometry, OnA144DpiMonitorTheBoxesAreOneAndAHalfTimesAsLarge) {
    struct Case {
        POINT p;
        RECT magnifier;
        RECT infoWithMagnifier;
        RECT infoAlone;
    } const cases[] = {
        // 30 source pixels become 45, shown four times as large: 180.
        {{500, 400}, {508, 430, 688, 610}, {508, 609, 688, 654}, {508, 430, 688, 475}},
        {{1910, 400}, {1722, 430, 1902, 610}, {1722, 609, 1902, 654}, {1722, 430, 1902, 475}},
        {{500, 1000}, {508, 760, 688, 940}, {508, 939, 688, 984}, {508, 940, 688, 985}},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(RectIs(MagnifierRect(c.p, kScreen, 144), c.magnifier)) << c.p.x << "," << c.p.y;
        EXPECT_TRUE(RectIs(InfoBoxRect(c.p, kScreen, true, 144), c.infoWithMagnifier))
            << c.p.x << "," << c.p.y;
        EXPECT_TRUE(RectIs(InfoBoxRect(c.p, kScreen, false, 144), c.infoAlone))
            << c.p.x << "," << c.p.y;
    }
    EXPECT_EQ(MagnifierSourceSize(144), 45);
    // The label: above a region with room for it, else inside its top.
    EXPECT_TRUE(RectIs(LabelRect(RECT{100, 100, 300, 200}, kScreen, 144), RECT{100, 64, 400, 94}));
    EXPECT_TRUE(RectIs(LabelRect(RECT{100, 20, 300, 200}, kScreen, 144), RECT{103, 23, 403, 53}));
}

TEST(RegionGeometry, MagnifierShowsWhileChoosingOrResizingNotWhileMoving) {
    EXPECT_TRUE(MagnifierShown(false, false, kHandleNone));
    EXPECT_FALSE(MagnifierShown(true, false, kHandleNone));
    EXPECT_TRUE(MagnifierShown(true, true, kHandleLeft));
    EXPECT_FALSE(MagnifierShown(true, true, kHandleMove));
    // A region dropped with Esc after a move: choosing a new one shows it again.
    EXPECT_TRUE(MagnifierShown(false, false, kHandleMove));
}

TEST(RegionGeometry, LabelSitsAboveOrInsideAndStaysOnTheScreen) {
    struct Case {
        RECT region;
        POINT at;
        std::vector<RECT> monitors = kOne;
    } cases[] = {
        {{-100, 500, 300, 700}, {-200, 476}, kLeft},
        {{1700, -800, 1900, -700}, {1600, -824}, kAbove},
        {{300, 100, 500, 300}, {300, 76}},
        {{300, 20, 500, 300}, {302, 22}},     // no room above: inside, clear of the edge
        {{300, 29, 500, 300}, {302, 31}},
        {{300, 30, 500, 300}, {300, 6}},
        {{-40, -30, 500, 300}, {0, 0}},
        {{-40, 100, 500, 300}, {0, 76}},
        {{1800, 100, 1900, 300}, {1720, 76}},
        {{1800, 10, 1900, 300}, {1720, 12}},
    };
    for (const Case& c : cases) {
        const RECT r = LabelRectIn(c.region, MonitorAt(c.monitors, {c.region.left, c.region.top}));
        EXPECT_EQ(r.left, c.at.x) << c.region.left << "," << c.region.top;
        EXPECT_EQ(r.top, c.at.y) << c.region.left << "," << c.region.top;
        EXPECT_EQ(r.right - r.left, 200);
        EXPECT_EQ(r.bottom - r.top, 20);
    }
}

TEST(RegionGeometry, LabelTellsTheCornerAndTheSizeOnTheScreen) {
    EXPECT_EQ(LabelText({0, 0, 100, 50}, kScreen), "顶点：(0,0)  尺寸：101x51");
    EXPECT_EQ(LabelText({1900, 1070, 1920, 1080}, kScreen), "顶点：(1900,1070)  尺寸：20x10");
    EXPECT_EQ(LabelText({-10, -5, 9, 4}, kScreen), "顶点：(0,0)  尺寸：10x5");
    EXPECT_EQ(LabelText({-300, 10, -100, 50}, kScreen), "顶点：(0,10)  尺寸：0x0");
}

TEST(RegionGeometry, InfoLinesSplitTheColourIntoRedGreenBlue) {
    EXPECT_EQ(InfoColorLine(RGB(10, 200, 255)), "RGB：(10,200,255)");
    EXPECT_EQ(InfoPointLine(POINT{1919, 0}), "鼠标点：(1919,0)");
    EXPECT_EQ(ColorHexText(RGB(10, 200, 255)), "#0AC8FF");
}

TEST(RegionGeometry, CaptureDelayIsBounded) {
    EXPECT_EQ(BoundedCaptureDelay(50), 50);
    EXPECT_EQ(BoundedCaptureDelay(-1), 0);
    EXPECT_EQ(BoundedCaptureDelay(2000000000), kMaxCaptureDelayMs);
}

TEST(RegionGeometry, PictureWindowIsCentredOnTheMouseAndKeptOnTheScreen) {
    struct Case {
        POINT mouse;
        SIZE size;
        POINT at;
        std::vector<RECT> monitors = kOne;
    } cases[] = {
        {{-5, 500}, {300, 300}, {-300, 350}, kLeft},
        {{1000, -10}, {200, 100}, {900, -100}, kAbove},
        {{500, 400}, {101, 51}, {450, 375}},
        {{0, 0}, {200, 100}, {0, 0}},
        {{1919, 1079}, {200, 100}, {1720, 980}},
        {{1900, 20}, {300, 300}, {1620, 0}},
        // Larger than the screen: its top-left corner stays visible.
        {{500, 500}, {2500, 1200}, {0, 0}},
    };
    for (const Case& c : cases) {
        const POINT p = WindowPositionOnMonitor(c.monitors, c.mouse, c.size);
        EXPECT_EQ(p.x, c.at.x) << c.mouse.x << "," << c.mouse.y;
        EXPECT_EQ(p.y, c.at.y) << c.mouse.x << "," << c.mouse.y;
    }
}

TEST(RegionGeometry, ArrowKeysMoveOrResizeByAPixelButNeverPastAScreenEdge) {
    struct Case {
        RECT region;
        UINT key;
        bool shift;
        RECT want;
    } const cases[] = {
        {{10, 20, 110, 70}, VK_RIGHT, false, {11, 20, 111, 70}}, {{0, 0, 9, 9}, VK_LEFT, false, {0, 0, 9, 9}},
        {{10, 20, 110, 70}, VK_UP, false, {10, 19, 110, 69}},    {{0, 0, 9, 9}, VK_UP, false, {0, 0, 9, 9}},
        {{9, 9, 1919, 1079}, VK_RIGHT, false, {9, 9, 1919, 1079}}, {{9, 9, 99, 1079}, VK_DOWN, false, {9, 9, 99, 1079}},
        {{10, 20, 110, 70}, VK_RIGHT, true, {10, 20, 111, 70}},  {{10, 20, 110, 70}, VK_UP, true, {10, 20, 110, 69}},
        {{9, 9, 1919, 70}, VK_RIGHT, true, {9, 9, 1919, 70}},    {{9, 9, 99, 1079}, VK_DOWN, true, {9, 9, 99, 1079}},
        {{10, 20, 10, 70}, VK_LEFT, true, {10, 20, 10, 70}},     {{10, 20, 11, 20}, VK_LEFT, true, {10, 20, 11, 20}},
    };
    for (const Case& c : cases)
        EXPECT_TRUE(RectIs(NudgeRegion(c.region, c.key, c.shift, kScreen), c.want)) << c.key << " " << c.shift;
}

TEST(RegionGeometry, PictureZoomStepsBoundsAndThePointUnderThePointer) {
    EXPECT_DOUBLE_EQ(ZoomScale(1.0, 5), std::pow(1.1, 5));
    EXPECT_EQ(ZoomScale(ZoomScale(1.0, 5), -5), 1.0);  // exactly back
    EXPECT_EQ(ZoomScale(9.5, 1), kMaxZoom);
    EXPECT_EQ(ZoomScale(0.105, -3), kMinZoom);
    EXPECT_EQ(StepOpacity(100, -3), 70);
    EXPECT_EQ(StepOpacity(30, -2), kMinOpacity);
    EXPECT_EQ(OpacityAlpha(70), 179);
    const RECT start{700, 400, 820, 480};  // a 120 x 80 picture at 100 %
    EXPECT_TRUE(RectIs(ZoomAbout(start, {120, 80}, std::pow(1.1, 5), {730, 420}), {681, 387, 874, 516}));
    for (const int notches : {5, 24, -20})
        for (const POINT p : {POINT{700, 400}, POINT{819, 479}, POINT{760, 401}}) {
            const RECT r = ZoomAbout(start, {120, 80}, ZoomScale(1.0, notches), p);
            const double w = r.right - r.left, h = r.bottom - r.top;
            // The middle of the pointer's pixel: the same picture point, to half a screen pixel.
            EXPECT_NEAR((p.x + 0.5 - r.left) * 120 / w, p.x + 0.5 - start.left, 60 / w + 1e-9);
            EXPECT_NEAR((p.y + 0.5 - r.top) * 80 / h, p.y + 0.5 - start.top, 40 / h + 1e-9);
        }
}
