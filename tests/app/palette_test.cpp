#include "app/palette.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "app/globals.h"
#include "graphics/canvas.h"

namespace {

constexpr int kS = 26;  // cell size of the 64-pixel palette
constexpr COLORREF kBack = 0xECECEC;

TEST(PaletteGeometry, CellSizeFollowsThePaletteWidth) {
    EXPECT_EQ(PaletteCellSize(64), 26);
    EXPECT_EQ(PaletteCellSize(65), 27);
    EXPECT_EQ(PaletteCellSize(66), 27);  // truncated
    EXPECT_EQ(PaletteCellSize(11), 0);
}

TEST(PaletteGeometry, At144DpiEveryEdgeIsScaledByOneAndAHalf) {
    struct Case {
        int n;
        RECT r;
    } const cases[] = {
        {1, {8, 8, 47, 47}},      // 5, 5, 31, 31
        {2, {48, 8, 87, 47}},     // 32, 5, 58, 31
        {3, {8, 48, 47, 87}},     // 5, 32, 31, 58
        {25, {8, 494, 47, 533}},  // 5, 329, 31, 355
    };
    for (const Case& c : cases) {
        const RECT r = PaletteCellRect(c.n, kS, 144);
        EXPECT_TRUE(EqualRect(&r, &c.r)) << c.n << ": " << r.left << "," << r.top << ","
                                         << r.right << "," << r.bottom;
    }
    EXPECT_EQ(PaletteHeight(kS, 144), 542);  // 361 * 1.5, rounded
    EXPECT_EQ(PaletteHeight(kS, 96), 361);
}

TEST(PaletteGeometry, AtEveryScaleEachCellIsFoundOverItsWholeRectangle) {
    for (int dpi : {96, 120, 144, 168, 192}) {
        for (int n = 1; n <= 25; ++n) {
            const RECT r = PaletteCellRect(n, kS, dpi);
            EXPECT_EQ(PaletteCellAt(r.left, r.top, kS, dpi), n) << n << "@" << dpi;
            EXPECT_EQ(PaletteCellAt(r.right - 1, r.bottom - 1, kS, dpi), n) << n << "@" << dpi;
        }
        const RECT first = PaletteCellRect(1, kS, dpi), second = PaletteCellRect(2, kS, dpi);
        EXPECT_EQ(PaletteCellAt(first.left - 1, first.top, kS, dpi), 0) << dpi;
        EXPECT_EQ(PaletteCellAt(first.left, first.top - 1, kS, dpi), 0) << dpi;
        // The gap right of the second column is still its; then nothing.
        const int beyond = ScaleForDpi(5 + 2 * 27, dpi);
        EXPECT_EQ(PaletteCellAt(beyond - 1, second.top, kS, dpi), 2) << dpi;
        EXPECT_EQ(PaletteCellAt(beyond, second.top, kS, dpi), 0) << dpi;
        EXPECT_EQ(PaletteCellAt(first.left, PaletteHeight(kS, dpi) - 1, kS, dpi), 0) << dpi;
    }
    // The middle of the scaled line cell (5) is another cell in the 96-DPI grid.
    const RECT line = PaletteCellRect(5, kS, 144);
    const int x = (line.left + line.right) / 2, y = (line.top + line.bottom) / 2;
    EXPECT_EQ(PaletteCellAt(x, y, kS, 144), 5);
    EXPECT_NE(PaletteCellAt(x, y, kS), 5);
}

TEST(PaletteGeometry, TwoColumnsWithOnePixelGaps) {
    const RECT c1 = PaletteCellRect(1, kS);
    EXPECT_EQ(c1.left, 5);
    EXPECT_EQ(c1.top, 5);
    EXPECT_EQ(c1.right, 31);
    EXPECT_EQ(c1.bottom, 31);
    const RECT c2 = PaletteCellRect(2, kS);
    EXPECT_EQ(c2.left, 32);
    EXPECT_EQ(c2.top, 5);
    EXPECT_EQ(c2.right, 58);
    const RECT c3 = PaletteCellRect(3, kS);
    EXPECT_EQ(c3.left, 5);
    EXPECT_EQ(c3.top, 32);
    const RECT c25 = PaletteCellRect(25, kS);
    EXPECT_EQ(c25.left, 5);
    EXPECT_EQ(c25.top, 5 + 12 * 27);
    EXPECT_EQ(c25.bottom, 5 + 12 * 27 + 26);
}

TEST(PaletteGeometry, CellsOutsideTheListHaveNoRectangle) {
    for (int n : {0, -1, 26, 100}) {
        const RECT r = PaletteCellRect(n, kS);
        EXPECT_TRUE(IsRectEmpty(&r)) << n;
    }
}

TEST(PaletteGeometry, PaletteIs361PixelsHigh) {
    EXPECT_EQ(PaletteHeight(kS), 361);
    EXPECT_EQ(PaletteHeight(kS), PaletteCellRect(25, kS).bottom + 6);
}

TEST(PaletteGeometry, CellUnderAPoint) {
    EXPECT_EQ(PaletteCellAt(5, 5, kS), 1);
    EXPECT_EQ(PaletteCellAt(30, 30, kS), 1);
    EXPECT_EQ(PaletteCellAt(31, 10, kS), 1);   // the gap pixel belongs to the cell before it
    EXPECT_EQ(PaletteCellAt(32, 10, kS), 2);
    EXPECT_EQ(PaletteCellAt(58, 10, kS), 2);   // x - 5 = 53 = 2P - 1: still inside
    EXPECT_EQ(PaletteCellAt(59, 10, kS), 0);   // beyond the second column
    EXPECT_EQ(PaletteCellAt(10, 32, kS), 3);
    EXPECT_EQ(PaletteCellAt(40, 40, kS), 4);
    EXPECT_EQ(PaletteCellAt(40, 60, kS), 6);
    EXPECT_EQ(PaletteCellAt(10, 5 + 12 * 27 + 3, kS), 25);
}

TEST(PaletteGeometry, NoCellInTheMarginOrBelowTheLast) {
    EXPECT_EQ(PaletteCellAt(4, 10, kS), 0);
    EXPECT_EQ(PaletteCellAt(10, 4, kS), 0);
    EXPECT_EQ(PaletteCellAt(-3, -3, kS), 0);
    // Beside cell 25 would be cell 26: nothing.
    EXPECT_EQ(PaletteCellAt(40, 5 + 12 * 27 + 3, kS), 0);
    // Below the last row.
    EXPECT_EQ(PaletteCellAt(10, 5 + 13 * 27 + 1, kS), 0);
    EXPECT_EQ(PaletteCellAt(10, 10000, kS), 0);
}

TEST(PaletteGeometry, EveryCellCentreMapsBackToItsCell) {
    for (int n = 1; n <= kPaletteCellCount; ++n) {
        const RECT r = PaletteCellRect(n, kS);
        EXPECT_EQ(PaletteCellAt((r.left + r.right) / 2, (r.top + r.bottom) / 2, kS), n);
        EXPECT_EQ(PaletteCellAt(r.left, r.top, kS), n);
    }
}

TEST(PaletteCommands, CellsCarryTheirCommandsAndTips) {
    auto number = [](int n) { return static_cast<int>(PaletteCellCommand(n)); };
    EXPECT_EQ(number(1), 99);
    EXPECT_EQ(number(2), 98);
    EXPECT_EQ(number(0), 0);
    EXPECT_EQ(number(26), 0);
    for (int n = 3; n <= 25; ++n) EXPECT_EQ(number(n), n - 2);
    EXPECT_EQ(PaletteCellOfCommand(PaletteCommand::Capture), 1);
    EXPECT_EQ(PaletteCellOfCommand(PaletteCommand::Region), 2);
    EXPECT_EQ(PaletteCellOfCommand(PaletteCommand::MoveBoard), 23);
    EXPECT_EQ(PaletteCellOfCommand(PaletteCommand::None), 0);
    EXPECT_EQ(PaletteCellOfCommand(static_cast<PaletteCommand>(24)), 0);

    // Single-tool cells show the tool's name; a cell whose right button
    // selects a second tool names both.
    struct TipCase {
        int cell;
        const char* tip;
    };
    const TipCase tips[] = {
        {1, "截屏到画板窗口"},
        {3, "左键：画笔\r\n右键：荧光笔"},
        {7, "左键：常规矩形\r\n右键：圆角矩形"},
        {11, "左键：多边形\r\n右键：星形"},
        {12, "左键：三点画圆弧\r\n右键：圆心加两点画圆弧"},
        {9, "左键：正圆\r\n右键：序号"},
        {13, "贝塞尔曲线"},
        {14, "左键：由点生成曲线\r\n右键：连续圆弧组成曲线"},
        {18, "左键：填充\r\n右键：马赛克"},
        {21, "左键：打开图片文件\r\n右键：打开剪辑板中的图片"},
        {23, "移动图片窗口"},
        {25, ""},  // the help cell has no tooltip
        {26, ""},
    };
    for (const TipCase& c : tips) EXPECT_STREQ(PaletteCellTip(c.cell), c.tip) << c.cell;
    // Every cell has its own picture.
    for (int n = 1; n <= kPaletteCellCount; ++n) {
        EXPECT_NE(PaletteCellIcon(n), 0) << n;
        for (int m = 1; m < n; ++m) EXPECT_NE(PaletteCellIcon(n), PaletteCellIcon(m)) << n;
    }
}

// A palette canvas as the toolbox makes it, without any window.
class PaletteSelection : public ::testing::Test {
protected:
    void SetUp() override {
        ResetPaletteState();
        SetPaletteCellSize(kS);
        PaletteWindow.store(nullptr);
        if (PaletteCanvas.IsCreated()) PaletteCanvas.Destroy();
        ASSERT_TRUE(PaletteCanvas.Create(64, PaletteHeight(kS), kBack));
        PaletteCanvas.BrushStyle(kBrushHollow);
        PaletteCanvas.PenWidth(kPaletteFramePenWidth);
    }
    void TearDown() override {
        PaletteCanvas.Destroy();
        ResetPaletteState();
    }
    // The colour of the frame of cell n: a pixel on its left edge, halfway down.
    static COLORREF Frame(int n) {
        const RECT r = PaletteCellRect(n, kS);
        return PaletteCanvas.GetPixel(r.left, (r.top + r.bottom) / 2);
    }
};

TEST_F(PaletteSelection, StartsAtThePenCell) {
    EXPECT_EQ(SelectedCell(), 3);
    EXPECT_EQ(PreviousSelectedCell(), 0);
    EXPECT_EQ(HoverCell(), 0);
    // Nothing framed until the frame is drawn on the canvas.
    EXPECT_EQ(Frame(3), kBack);
    DrawSelectionFrame();
    EXPECT_EQ(Frame(3), kSelectionFrameColor);
}

TEST_F(PaletteSelection, SelectingMovesTheFrameAndRemembersThePrevious) {
    DrawSelectionFrame();
    EXPECT_TRUE(SelectCell(7));
    EXPECT_EQ(SelectedCell(), 7);
    EXPECT_EQ(PreviousSelectedCell(), 3);
    EXPECT_EQ(Frame(7), kSelectionFrameColor);
    EXPECT_EQ(Frame(3), kBack);  // erased in the background colour
    // The whole frame is there: all four sides.
    const RECT r = PaletteCellRect(7, kS);
    const int midX = (r.left + r.right) / 2;
    const int midY = (r.top + r.bottom) / 2;
    EXPECT_EQ(PaletteCanvas.GetPixel(midX, r.top), kSelectionFrameColor);
    EXPECT_EQ(PaletteCanvas.GetPixel(midX, r.bottom - 1), kSelectionFrameColor);
    EXPECT_EQ(PaletteCanvas.GetPixel(r.right - 1, midY), kSelectionFrameColor);
    // The inside (where the icon sits) is untouched.
    EXPECT_EQ(PaletteCanvas.GetPixel(midX, midY), kBack);
}

TEST_F(PaletteSelection, SelectingTheSelectedCellChangesNothing) {
    ASSERT_TRUE(SelectCell(5));
    ASSERT_TRUE(SelectCell(9));
    EXPECT_TRUE(SelectCell(9));
    EXPECT_EQ(SelectedCell(), 9);
    EXPECT_EQ(PreviousSelectedCell(), 5);  // not overwritten with 9
}

TEST_F(PaletteSelection, CellsOutsideTheListAreRefused) {
    DrawSelectionFrame();
    EXPECT_FALSE(SelectCell(0));
    EXPECT_FALSE(SelectCell(26));
    EXPECT_FALSE(SelectCell(-4));
    EXPECT_EQ(SelectedCell(), 3);
    EXPECT_EQ(PreviousSelectedCell(), 0);
    EXPECT_EQ(Frame(3), kSelectionFrameColor);
}

TEST_F(PaletteSelection, WithoutACanvasOnlyTheStateChanges) {
    PaletteCanvas.Destroy();
    EXPECT_TRUE(SelectCell(12));
    TrackHover(14);
    TrackHover(14);
    EXPECT_EQ(SelectedCell(), 12);
    EXPECT_EQ(PreviousSelectedCell(), 3);
    EXPECT_EQ(HoverCell(), 14);
    EXPECT_FALSE(PaletteCanvas.IsCreated());
}

TEST_F(PaletteSelection, NeighbourOfTheSelectionIsFramedOnlyAtTheNextMoveInsideIt) {
    DrawSelectionFrame();
    TrackHover(3);  // on the selected cell: nothing to frame
    EXPECT_EQ(HoverCell(), 3);
    TrackHover(4);  // first move into the neighbour
    EXPECT_EQ(HoverCell(), 4);
    EXPECT_EQ(Frame(4), kBack);
    TrackHover(4);  // next move inside it
    EXPECT_EQ(Frame(4), kHoverFrameColor);
    EXPECT_EQ(Frame(3), kSelectionFrameColor);
}

TEST_F(PaletteSelection, HoverFrameFollowsThePointerBetweenOtherCells) {
    DrawSelectionFrame();
    TrackHover(10);
    EXPECT_EQ(Frame(10), kHoverFrameColor);  // came from no cell: framed at once
    TrackHover(12);
    EXPECT_EQ(Frame(10), kBack);
    EXPECT_EQ(Frame(12), kHoverFrameColor);
    TrackHover(0);  // off the cells
    EXPECT_EQ(Frame(12), kBack);
    EXPECT_EQ(HoverCell(), 0);
}

TEST_F(PaletteSelection, HoverNeverErasesTheSelectionFrame) {
    DrawSelectionFrame();
    TrackHover(5);
    TrackHover(3);  // onto the selected cell
    EXPECT_EQ(Frame(5), kBack);
    EXPECT_EQ(Frame(3), kSelectionFrameColor);
    TrackHover(0);  // and away again
    EXPECT_EQ(Frame(3), kSelectionFrameColor);
}

TEST_F(PaletteSelection, ClickedHoverCellTurnsIntoTheSelection) {
    DrawSelectionFrame();
    TrackHover(8);
    ASSERT_EQ(Frame(8), kHoverFrameColor);
    ASSERT_TRUE(SelectCell(8));
    EXPECT_EQ(Frame(8), kSelectionFrameColor);
    TrackHover(9);  // hover was the selection: the neighbour waits for the next move
    EXPECT_EQ(Frame(8), kSelectionFrameColor);
    EXPECT_EQ(Frame(9), kBack);
}

}  // namespace
