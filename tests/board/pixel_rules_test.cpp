// The rules of the fill, eyedropper and eraser tools and of the magnifier,
// checked as plain values.

#include "board/pixel_rules.h"

#include <climits>
#include <cstdio>
#include <string>

#include <gtest/gtest.h>

#include "graphics/canvas.h"
#include "graphics/monitors.h"

namespace {

// A 1280 x 1024 monitor left of the primary; a 1600 x 900 one above it.
const std::vector<RECT> kLeft{{0, 0, 1920, 1080}, {-1280, 56, 0, 1080}};
const std::vector<RECT> kAbove{{0, 0, 1920, 1080}, {200, -900, 1800, 0}};

// The part of a board over these monitors (none: the board alone) on the monitor under p.
RECT Area(const std::vector<RECT>& monitors, SIZE board, POINT p) {
    return AreaOnBoard(monitors, monitors.empty() ? RECT{0, 0, board.cx, board.cy} : DesktopRect(monitors), p);
}

std::string Str(const RECT& r) {
    char text[64];
    std::snprintf(text, sizeof text, "(%ld,%ld)-(%ld,%ld)", r.left, r.top, r.right, r.bottom);
    return text;
}

bool Empty(const RECT& r) { return r.left >= r.right || r.top >= r.bottom; }

struct MagnifierCase {
    const char* what;
    SIZE board;
    POINT p;
    RECT square;
    RECT source;  // empty: no board pixels to show
    RECT target;
    std::vector<RECT> monitors = {};  // a board over the whole desktop
};

TEST(MagnifierPlacement, SitsBesideThePointerAndReadsOnlyBoardPixels) {
    const MagnifierCase cases[] = {
        {"open board: right of and below the pointer", {1920, 1080}, {500, 500},
         {520, 520, 640, 640}, {485, 485, 515, 515}, {520, 520, 640, 640}},
        {"100 from the right edge: to the left", {1920, 1080}, {1820, 500},
         {1680, 520, 1800, 640}, {1805, 485, 1835, 515}, {1680, 520, 1800, 640}},
        {"145 from the right edge still fits on the right", {1920, 1080}, {1775, 500},
         {1795, 520, 1915, 640}, {1760, 485, 1790, 515}, {1795, 520, 1915, 640}},
        {"144 from the right edge: to the left", {1920, 1080}, {1776, 500},
         {1636, 520, 1756, 640}, {1761, 485, 1791, 515}, {1636, 520, 1756, 640}},
        {"near the bottom: above", {1920, 1080}, {500, 1000},
         {520, 860, 640, 980}, {485, 985, 515, 1015}, {520, 860, 640, 980}},
        {"smallest board", {300, 300}, {150, 150},
         {170, 170, 290, 290}, {135, 135, 165, 165}, {170, 170, 290, 290}},
        {"smallest board, 5 further on: to the left and above", {300, 300}, {156, 156},
         {16, 16, 136, 136}, {141, 141, 171, 171}, {16, 16, 136, 136}},
        {"top-left corner: only the pixels on the board", {1920, 1080}, {3, 5},
         {23, 25, 143, 145}, {0, 0, 18, 20}, {71, 65, 143, 145}},
        {"bottom-right corner", {1920, 1080}, {1919, 1079},
         {1779, 939, 1899, 1059}, {1904, 1064, 1920, 1080}, {1779, 939, 1843, 1003}},
        {"captured pointer left of the board", {1920, 1080}, {-40, 500},
         {-20, 520, 100, 640}, {0, 0, 0, 0}, {0, 0, 0, 0}},
        {"10 from the left monitor's right edge: to the left, not onto the primary",
         {3200, 1080}, {1270, 500}, {1130, 520, 1250, 640}, {1255, 485, 1285, 515},
         {1130, 520, 1250, 640}, kLeft},
        {"near the bottom of a monitor above the primary: above, not onto the primary",
         {1920, 1980}, {1000, 880}, {1020, 740, 1140, 860}, {985, 865, 1015, 895},
         {1020, 740, 1140, 860}, kAbove},
    };
    for (const MagnifierCase& c : cases) {
        SCOPED_TRACE(c.what);
        const auto m = PlaceMagnifier(c.board, c.p, Area(c.monitors, c.board, c.p));
        ASSERT_TRUE(m.has_value());
        EXPECT_EQ(Str(m->square), Str(c.square));
        if (Empty(c.source)) {
            EXPECT_TRUE(Empty(m->source)) << Str(m->source);
            continue;
        }
        EXPECT_EQ(Str(m->source), Str(c.source));
        EXPECT_EQ(Str(m->target), Str(c.target));
        // Four times as large, and never a pixel from beyond the board.
        EXPECT_EQ(m->target.right - m->target.left, (m->source.right - m->source.left) * 4);
        EXPECT_EQ(m->target.bottom - m->target.top, (m->source.bottom - m->source.top) * 4);
    }
}

TEST(MagnifierPlacement, NoneOnBoardsUnder300By300) {
    for (const SIZE board : {SIZE{299, 1080}, SIZE{1920, 299}, SIZE{200, 200}, SIZE{0, 0}}) {
        EXPECT_FALSE(PlaceMagnifier(board, POINT{100, 100}).has_value())
            << board.cx << " x " << board.cy;
    }
}

TEST(SpectrumPlacement, MiddleOfTheBoardTruncatedTowardZero) {
    struct Case {
        SIZE board;
        RECT rect;
        std::vector<RECT> monitors = {};  // a board over the whole desktop
        POINT pointer = {};
    };
    const Case cases[] = {
        // In the middle of the monitor under the pointer.
        {{3200, 1080}, {540, 468, 740, 668}, kLeft, {100, 100}},
        {{3200, 1080}, {2140, 440, 2340, 640}, kLeft, {1300, 100}},
        {{1920, 1980}, {900, 350, 1100, 550}, kAbove, {1000, 10}},
        {{1920, 1080}, {860, 440, 1060, 640}},
        {{1365, 767}, {582, 283, 782, 483}},
        {{150, 100}, {-25, -50, 175, 150}},
        {{101, 101}, {-49, -49, 151, 151}},  // -99 / 2 is -49, not -50
    };
    for (const Case& c : cases)
        EXPECT_EQ(Str(SpectrumRectIn(Area(c.monitors, c.board, c.pointer))), Str(c.rect))
            << c.board.cx << " x " << c.board.cy;
}

TEST(SpectrumPlacement, EachSpectrumPixelCoversTwoByTwoBoardPixels) {
    const SIZE board{1920, 1080};
    struct Case {
        POINT p;
        bool inside;
        POINT cell;
    };
    const Case cases[] = {
        {{960, 540}, true, {50, 50}},   // the centre: the middle row's hue
        {{860, 440}, true, {0, 0}},
        {{861, 441}, true, {0, 0}},
        {{862, 441}, true, {1, 0}},
        {{1059, 639}, true, {99, 99}},
        {{1060, 540}, false, {}},
        {{859, 540}, false, {}},
        {{960, 640}, false, {}},
    };
    for (const Case& c : cases) {
        const auto cell = SpectrumCellAt(board, c.p);
        ASSERT_EQ(cell.has_value(), c.inside) << c.p.x << "," << c.p.y;
        if (c.inside) {
            EXPECT_EQ(cell->x, c.cell.x);
            EXPECT_EQ(cell->y, c.cell.y);
        }
    }
}

TEST(ColorPick, PageChoosesTheSettingAndAReadOffTheBoardIsNoColor) {
    EXPECT_EQ(ColorTargetOfPage(0), ColorTarget::Pen);
    EXPECT_EQ(ColorTargetOfPage(1), ColorTarget::Brush);
    EXPECT_EQ(ColorTargetOfPage(2), ColorTarget::Text);
    EXPECT_EQ(ColorTargetOfPage(3), ColorTarget::Pen);
    EXPECT_EQ(ColorTargetOfPage(-1), ColorTarget::Pen);

    EXPECT_FALSE(PickedColor(CLR_INVALID).has_value());
    EXPECT_FALSE(PickedColor(0x01000000).has_value());
    EXPECT_EQ(PickedColor(0x000000), COLORREF{0x000000});
    EXPECT_EQ(PickedColor(0xFFFFFF), COLORREF{0xFFFFFF});
}

TEST(EraserSize, StaysWithinOneAndTheLargest) {
    struct Case {
        int size;
        int largest;
        int bounded;
    };
    const Case cases[] = {
        {15, 50, 15}, {0, 50, 1}, {-7, 50, 1}, {80, 50, 50},
        {15, 0, 1},   {15, -3, 1}, {INT_MIN, INT_MIN, 1}, {INT_MAX, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases)
        EXPECT_EQ(BoundEraserHalfSize(c.size, c.largest), c.bounded) << c.size << " / " << c.largest;
}

TEST(EraserSize, WheelStepsWithinTheLimits) {
    struct Case {
        int size;
        int step;
        int largest;
        int after;
    };
    const Case cases[] = {
        {15, +1, 50, 16}, {15, -1, 50, 14},
        {1, -1, 50, 1},                 // the smallest stays
        {50, +1, 50, 50},               // the largest stays
        {80, -1, 50, 49},               // a size beyond the largest steps down from the largest
        {5, +1, 0, 1}, {5, -1, -4, 1},  // a largest of 0 or less: a 1-pixel eraser
        {INT_MAX, +1, INT_MAX, INT_MAX},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EraserHalfSizeAfterWheel(c.size, c.step, c.largest), c.after)
            << c.size << " " << c.step << " / " << c.largest;
    }
}

TEST(EraserSize, SquareIsTwiceTheHalfSizeAndSaturates) {
    EXPECT_EQ(Str(EraserSquare({100, 100}, 15)), Str(RECT{85, 85, 115, 115}));
    EXPECT_EQ(Str(EraserSquare({0, 0}, 1)), Str(RECT{-1, -1, 1, 1}));
    EXPECT_EQ(Str(EraserSquare({INT_MAX - 1, INT_MIN + 1}, 5)),
              Str(RECT{INT_MAX - 6, INT_MIN, INT_MAX, INT_MIN + 6}));
}

TEST(FillBrushSubstitution, OnlyHollowIsSwappedForSolid) {
    EXPECT_EQ(FillSubstituteFor(kBrushHollow), std::optional<int>(kBrushSolid));
    for (int type = kBrushHorizontal; type <= kBrushSolid; ++type)
        EXPECT_FALSE(FillSubstituteFor(type).has_value()) << type;
}

TEST(FillBrushSubstitution, UndoneOnlyWhileTheListStillShowsTheSubstitute) {
    struct Case {
        const char* what;
        bool substituted;
        int shown;
        std::optional<int> restore;
    };
    const Case cases[] = {
        {"substituted, list unchanged", true, kBrushSolid, kBrushHollow},
        {"user chose a hatch meanwhile", true, kBrushCross, std::nullopt},
        {"list not showing the swap yet", true, kBrushHollow, kBrushHollow},
        {"nothing substituted", false, kBrushSolid, std::nullopt},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillBrushToRestore(c.substituted, c.shown), c.restore) << c.what;
}

}  // namespace
