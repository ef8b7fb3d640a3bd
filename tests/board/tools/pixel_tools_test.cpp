// The fill, eyedropper and eraser tools and the magnifier on their own: tool
// objects from the tool table driven with a local state, local canvases and
// local settings, without a window.

#include "board/tools/pixel_tools.h"

#include <windows.h>

#include <memory>
#include <span>
#include <vector>

#include <gtest/gtest.h>

#include "board/board_events.h"
#include "board/commands.h"
#include "board/palette_picture.h"
#include "board/pixel_rules.h"
#include "board/tools/tool_table.h"
#include "support/local_board.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kRed = 0x0000FF;
constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kYellow = 0x00FFFF;

// Pixels of `c` in `r` that have `color`.
int CountColor(const Canvas& c, RECT r, COLORREF color) {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (c.GetPixel(x, y) == color) ++n;
    return n;
}

void Paint(Canvas& c, RECT r, COLORREF color) {
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x) c.SetPixel(x, y, color);
}

// ---- magnifier (through the fill tool's hover) ----

TEST(Magnifier, LeftOfThePointerNearTheRightEdgeFourTimesAsLarge) {
    LocalBoard b{400, 300};
    const POINT p{300, 100};  // 100 from the right edge
    Paint(b.back, {290, 95, 292, 97}, kRed);  // 2 x 2, left of and above the pointer
    b.context.DrewEverything();  // written past the tools: the next restore takes all of it
    auto fill = MakeTool(ToolFill);
    b.MoveTo(*fill, p);

    const int x = p.x - 140, y = p.y + 20;  // left of the pointer, below it
    // Frame in the pen colour setting.
    EXPECT_EQ(b.board.GetPixel(x, y), b.Pen());
    EXPECT_EQ(b.board.GetPixel(x + 119, y + 119), b.Pen());
    // The red block at (290, 95) is 10 left of and 5 above the square's
    // source corner (285, 85): 8 x 8 red pixels at (x + 20, y + 40).
    EXPECT_EQ(CountColor(b.board, {x + 20, y + 40, x + 28, y + 48}, kRed), 64);
    EXPECT_EQ(b.board.GetPixel(x + 19, y + 40), kWhite);
    EXPECT_EQ(b.board.GetPixel(x + 28, y + 40), kWhite);
    // The crosshair through the pointer is enlarged too (in the middle).
    EXPECT_EQ(b.board.GetPixel(x + 60, y + 10), b.Pen());
    // Nothing on the right of the pointer, and nothing committed.
    EXPECT_EQ(CountColor(b.board, {p.x + 20, p.y + 20, 400, p.y + 140}, b.Pen()), 0);
    EXPECT_EQ(CountColor(b.back, {0, 0, 400, 300}, b.Pen()), 0);
}

TEST(Magnifier, NoneOnABoardUnder300By300) {
    LocalBoard b{299, 299};
    auto fill = MakeTool(ToolFill);
    const POINT p{100, 100};
    b.MoveTo(*fill, p);
    // Only the crosshair: every changed pixel is on its row or column.
    int changed = 0;
    for (int y = 0; y < 299; ++y)
        for (int x = 0; x < 299; ++x)
            if (b.board.GetPixel(x, y) != kWhite) {
                ++changed;
                EXPECT_TRUE(x == p.x || y == p.y) << x << "," << y;
            }
    EXPECT_EQ(changed, 2 * (2 * 15 + 1) - 1);
}

TEST(Magnifier, NearTheCornerShowsOnlyBoardPixels) {
    LocalBoard b{400, 300};
    b.back.SetPixel(0, 0, kGreen);
    b.context.DrewEverything();  // written past the tools: the next restore takes all of it
    auto fill = MakeTool(ToolFill);
    b.MoveTo(*fill, {3, 5});
    // Square at (23, 25); board pixel (0, 0) is 12 right of and 10 below the
    // source corner (-12, -10).
    EXPECT_EQ(CountColor(b.board, {71, 65, 75, 69}, kGreen), 16);
    // Left of and above the board's edge: no pixels to show, black.
    EXPECT_EQ(b.board.GetPixel(70, 66), kBlack);
    EXPECT_EQ(b.board.GetPixel(72, 64), kBlack);
    EXPECT_EQ(b.board.GetPixel(24, 26), kBlack);
}

// ---- fill ----

class FillToolTest : public ::testing::Test {
protected:
    LocalBoard b{200, 150};
    std::unique_ptr<BoardTool> fill = MakeTool(ToolFill);

    void SetUp() override {
        // A closed outline in the pen colour, committed.
        for (Canvas* c : {&b.board, &b.back}) {
            c->BrushStyle(kBrushHollow);
            c->Rectangle(20, 20, 120, 100);
        }
    }
    void Brush(int style, COLORREF color) {
        for (Canvas* c : {&b.board, &b.back}) {
            c->BrushStyle(style);
            c->BrushColor(color);
        }
    }
};

TEST_F(FillToolTest, PressFloodsTheInsideAndTheOutlineStays) {
    Brush(kBrushSolid, kRed);
    b.MoveTo(*fill, {60, 60});  // hover: crosshair and no fill yet
    b.Press(*fill, {60, 60});
    // The press filled what the board showed without the crosshair.
    EXPECT_EQ(CountColor(b.board, {21, 21, 119, 99}, kRed), 98 * 78);
    b.Release(*fill, {60, 60});
    EXPECT_EQ(CountColor(b.back, {21, 21, 119, 99}, kRed), 98 * 78);
    for (POINT o : {POINT{20, 50}, POINT{119, 50}, POINT{60, 20}, POINT{60, 99}})
        EXPECT_EQ(b.back.GetPixel(o.x, o.y), b.Pen()) << o.x << "," << o.y;
    EXPECT_EQ(b.back.GetPixel(10, 10), kWhite);
}

TEST_F(FillToolTest, AHatchedBrushFillsWithItsHatch) {
    Brush(kBrushCross, kRed);
    b.Press(*fill, {60, 60});
    b.Release(*fill, {60, 60});
    const int red = CountColor(b.back, {21, 21, 119, 99}, kRed);
    EXPECT_GT(red, 98 * 78 / 8);
    EXPECT_LT(red, 98 * 78 / 2);
    EXPECT_EQ(b.back.GetPixel(10, 10), kWhite);  // outside the outline untouched
}

TEST_F(FillToolTest, AnAreaFromADecodedPictureFloodsLikeAnyOther) {
    // An opened picture is drawn by the picture decoder, the outline by GDI.
    Canvas picture;
    ASSERT_TRUE(picture.Create(60, 40, kBlack));
    const std::vector<std::uint8_t> bmp = picture.ToBmpBytes();
    for (Canvas* c : {&b.board, &b.back}) {
        ASSERT_EQ(c->DrawPicture(c->LoadPicture(bmp), 40, 40), 0);
        c->Rectangle(30, 30, 110, 90);
    }
    Brush(kBrushSolid, kRed);
    b.Press(*fill, {60, 60});
    b.Release(*fill, {60, 60});
    EXPECT_EQ(CountColor(b.back, {40, 40, 100, 80}, kRed), 60 * 40);
    EXPECT_EQ(b.back.GetPixel(35, 35), kWhite);  // another colour: not flooded
}

TEST_F(FillToolTest, APressOffTheBoardFloodsNothing) {
    Brush(kBrushSolid, kRed);
    b.Press(*fill, {-5, 60});
    b.Release(*fill, {-5, 60});
    EXPECT_EQ(CountColor(b.back, {0, 0, 200, 150}, kRed), 0);
}

TEST_F(FillToolTest, FloodsExactlyAsThePlatformsSurfaceFill) {
    // Shapes that split the white into areas, filled with each kind of brush:
    // the same pixels as ExtFloodFill from the same point.
    auto draw = [](Canvas& c) {
        c.PenWidth(1);
        c.PenColor(kBlack);
        c.BrushStyle(kBrushHollow);
        c.Ellipse(40, 30, 160, 130);
        c.Line(0, 75, 200, 75);
        c.Rectangle(90, 10, 110, 140);
    };
    const struct {
        int style;
        POINT at;
    } cases[] = {{kBrushSolid, {60, 60}}, {kBrushCross, {60, 60}}, {kBrushForwardDiagonal, {5, 5}},
                 {kBrushHollow, {60, 60}}, {kBrushDiagonalCross, {100, 20}}};
    for (const auto& c : cases) {
        LocalBoard local{200, 150};
        Canvas platform;
        ASSERT_TRUE(platform.Create(200, 150, kWhite));
        for (Canvas* canvas : {&local.board, &local.back, &platform}) {
            draw(*canvas);
            canvas->BrushStyle(c.style);
            canvas->BrushColor(kRed);
        }
        auto tool = MakeTool(ToolFill);
        local.Press(*tool, c.at);
        platform.FloodFillSurface(c.at.x, c.at.y);
        EXPECT_EQ(local.board.ToBmpBytes(), platform.ToBmpBytes()) << "brush " << c.style;
    }
}

TEST(FillTool, ABoardOfThinRunsFillsAtOnce) {
    // Every other column dark below the top row: the white is one comb of a
    // million runs (Wine's own surface fill takes over ten seconds on it).
    LocalBoard b{1920, 1080};
    const std::span<std::uint32_t> pixels = b.back.Pixels();  // what the press starts from
    for (int row = 0; row < 1079; ++row)  // bottom row first: all but the top row
        for (int x = 1; x < 1920; x += 2) pixels[static_cast<std::size_t>(row) * 1920 + x] = 0;
    b.context.DrewEverything();  // written past the tools: the next restore takes all of it
    b.board.BrushStyle(kBrushSolid);
    b.board.BrushColor(kRed);
    auto fill = MakeTool(ToolFill);
    const ULONGLONG start = GetTickCount64();
    b.Press(*fill, {0, 500});
    EXPECT_LT(GetTickCount64() - start, 3000u);
    EXPECT_EQ(CountColor(b.board, {0, 0, 1920, 1}, kRed), 1920);
    EXPECT_EQ(b.board.GetPixel(1918, 1079), kRed);
    EXPECT_EQ(b.board.GetPixel(1919, 1079), kBlack);
    EXPECT_EQ(CountColor(b.board, {0, 540, 1920, 541}, kRed), 960);
}

// ---- eyedropper ----

class EyedropperToolTest : public ::testing::Test {
protected:
    LocalBoard b{400, 300};
    std::unique_ptr<BoardTool> dropper = MakeTool(ToolEyedropper);
    Canvas spectrum;
    std::vector<std::uint8_t> savedSpectrum_;
    static inline int page = 0;
    static inline std::vector<COLORREF> shown;
    struct Listener : BoardEvents {
        int ColorPage() override { return page; }
        void ColorPicked(COLORREF c) override { shown.push_back(c); }
    } listener_;
    BoardEvents* savedListener_ = nullptr;

    void SetUp() override {
        savedSpectrum_ = PalettePicture;
        PalettePicture = BuildPalettePicture(spectrum);
        page = 0;
        shown.clear();
        savedListener_ = InstallBoardEvents(&listener_);
    }
    void TearDown() override {
        PalettePicture = savedSpectrum_;
        InstallBoardEvents(savedListener_);
    }
    COLORREF SpectrumAt(POINT p) const {
        const auto cell = SpectrumCellAt({400, 300}, p);
        return cell ? spectrum.GetPixel(cell->x, cell->y) : CLR_INVALID;
    }
};

TEST_F(EyedropperToolTest, SelectionShowsTheSpectrumInTheMiddleCellByCell) {
    dropper->Selected(b.context);
    const RECT r = SpectrumRect({400, 300});
    for (POINT p : {POINT{r.left, r.top}, POINT{200, 150}, POINT{r.right - 1, r.bottom - 1},
                    POINT{r.left + 37, r.top + 151}})
        EXPECT_EQ(b.board.GetPixel(p.x, p.y), SpectrumAt(p)) << p.x << "," << p.y;
    EXPECT_EQ(b.board.GetPixel(r.left - 1, 150), kWhite);
    EXPECT_EQ(b.back.GetPixel(200, 150), kWhite);  // never part of the drawing
}

TEST_F(EyedropperToolTest, ReleaseOnTheCentreSetsOnlyThePagesColour) {
    page = 2;  // the text page
    const COLORREF pen = b.Pen();
    const COLORREF centre = SpectrumAt({200, 150});
    dropper->Selected(b.context);
    b.Press(*dropper, {100, 100});
    b.MoveTo(*dropper, {200, 150});
    // While dragging: the setting follows, the canvases keep theirs.
    EXPECT_EQ(static_cast<COLORREF>(b.settings.textColor.load()), centre);
    EXPECT_NE(b.back.TextColor(), centre);
    b.Release(*dropper, {200, 150});
    EXPECT_EQ(static_cast<COLORREF>(b.settings.textColor.load()), centre);
    EXPECT_EQ(b.back.TextColor(), centre);
    EXPECT_EQ(b.board.TextColor(), centre);
    EXPECT_EQ(static_cast<COLORREF>(b.settings.penColor.load()), pen);
    EXPECT_EQ(b.back.PenColor(), pen);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.back(), centre);
    // The spectrum went with the release and never reached the drawing.
    EXPECT_EQ(b.board.GetPixel(200, 150), kWhite);
    EXPECT_EQ(b.back.GetPixel(200, 150), kWhite);
}

TEST_F(EyedropperToolTest, AColourOffTheBoardIsIgnored) {
    page = 1;  // the fill page
    const int brush = b.settings.brushColor.load();
    b.Press(*dropper, {100, 100});
    b.MoveTo(*dropper, {-20, -30});   // the captured pointer left the board
    b.Release(*dropper, {-20, 500});
    EXPECT_EQ(b.settings.brushColor.load(), brush);
    EXPECT_EQ(b.back.BrushColor(), static_cast<COLORREF>(brush));
    EXPECT_TRUE(shown.empty());
}

// ---- eraser ----

class EraserToolTest : public ::testing::Test {
protected:
    LocalBoard b{200, 150};
    std::unique_ptr<BoardTool> eraser = MakeTool(ToolEraser);

    void SetUp() override {
        // The picture canvas holds the starting picture while the eraser is
        // current: here all green.
        b.layer.BackgroundColor(kGreen);
        b.layer.Clear();
        b.settings.eraserSize.store(10);
    }
    void DrawOnBoth(RECT r, COLORREF color) {
        Paint(b.back, r, color);
        Paint(b.board, r, color);
    }
};

TEST_F(EraserToolTest, HoverPreviewsInABlackFrameAndErasesNothing) {
    DrawOnBoth({0, 0, 200, 150}, kRed);
    b.MoveTo(*eraser, {50, 50});
    EXPECT_EQ(CountColor(b.board, {41, 41, 59, 59}, kGreen), 18 * 18);
    EXPECT_EQ(b.board.GetPixel(40, 40), kBlack);
    EXPECT_EQ(b.board.GetPixel(59, 50), kBlack);
    EXPECT_EQ(b.board.GetPixel(60, 50), kRed);
    EXPECT_EQ(CountColor(b.back, {0, 0, 200, 150}, kRed), 200 * 150);
    // The press frames it in red and still leaves the drawing alone.
    b.Press(*eraser, {50, 50});
    EXPECT_EQ(b.board.GetPixel(40, 40), kRed);
    EXPECT_EQ(b.board.GetPixel(45, 45), kGreen);
    EXPECT_EQ(CountColor(b.back, {0, 0, 200, 150}, kRed), 200 * 150);
}

TEST_F(EraserToolTest, ADragThroughTwoLayersBringsBackTheStartAtOnce) {
    DrawOnBoth({0, 0, 200, 150}, kRed);
    DrawOnBoth({30, 30, 170, 120}, kYellow);  // drawn over the first
    b.Drag(*eraser, {60, 75}, {{80, 75}, {100, 75}, {120, 75}});
    // Everything the squares passed is the starting picture, on both canvases
    // (the press only shows its square; the moves erase).
    EXPECT_EQ(CountColor(b.back, {70, 65, 130, 85}, kGreen), 60 * 20);
    EXPECT_EQ(CountColor(b.board, {70, 65, 130, 85}, kGreen), 60 * 20);
    EXPECT_EQ(b.back.GetPixel(69, 75), kYellow);
    EXPECT_EQ(b.back.GetPixel(75, 64), kYellow);
}

TEST_F(EraserToolTest, AClickErasesOneSquare) {
    DrawOnBoth({0, 0, 200, 150}, kRed);
    b.Press(*eraser, {100, 100});
    b.Release(*eraser, {100, 100});
    EXPECT_EQ(CountColor(b.back, {90, 90, 110, 110}, kGreen), 20 * 20);
    EXPECT_EQ(CountColor(b.back, {0, 0, 200, 150}, kGreen), 20 * 20);
}

TEST_F(EraserToolTest, ASizeOfZeroInTheSettingsIsAOnePixelEraser) {
    DrawOnBoth({0, 0, 200, 150}, kRed);
    b.settings.eraserSize.store(0);
    b.Press(*eraser, {100, 100});
    b.MoveTo(*eraser, {100, 100});
    b.Release(*eraser, {100, 100});
    // The 2 x 2 square (99, 99)-(101, 101).
    EXPECT_EQ(CountColor(b.back, {0, 0, 200, 150}, kGreen), 4);
}

}  // namespace
