// The canvas surface: creation, resizing, destruction, pen/brush/font/text
// state and the background colour, checked on real pixels and on the
// objects actually selected into the canvas's device context.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/canvas.h"

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 200, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kTeal = RGB(10, 200, 30);

// Every pixel of a canvas, read once through a top-down DIB section copy.
class Snapshot {
public:
    explicit Snapshot(const Canvas& c) : width_(c.Width()), height_(c.Height()) {
        if (!c.IsCreated() || width_ <= 0 || height_ <= 0) return;
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        info.bmiHeader.biWidth = width_;
        info.bmiHeader.biHeight = -height_;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bmp = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        HGDIOBJ old = SelectObject(dc, bmp);
        BitBlt(dc, 0, 0, width_, height_, c.DeviceContext(), 0, 0, SRCCOPY);
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits);
        pixels_.resize(static_cast<std::size_t>(width_) * height_);
        for (std::size_t i = 0; i < pixels_.size(); ++i) {
            const std::uint32_t v = p[i];
            pixels_[i] = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        }
        SelectObject(dc, old);
        DeleteObject(bmp);
        DeleteDC(dc);
    }
    COLORREF At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    int Width() const { return width_; }
    int Height() const { return height_; }
    // Number of pixels of the rectangle (right/bottom excluded) for which pred holds.
    int Count(RECT r, const std::function<bool(int, int, COLORREF)>& pred) const {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if (pred(x, y, At(x, y))) ++n;
        return n;
    }
    bool All(COLORREF color) const {
        for (COLORREF c : pixels_)
            if (c != color) return false;
        return !pixels_.empty();
    }

private:
    int width_;
    int height_;
    std::vector<COLORREF> pixels_;
};

COLORREF Pixel(const Canvas& c, int x, int y) { return ::GetPixel(c.DeviceContext(), x, y); }

void Dot(Canvas& c, int x, int y, COLORREF color) { ::SetPixel(c.DeviceContext(), x, y, color); }

void Block(Canvas& c, RECT r, COLORREF color) {
    HBRUSH b = CreateSolidBrush(color);
    ::FillRect(c.DeviceContext(), &r, b);
    DeleteObject(b);
}

LOGFONTA CurrentFont(const Canvas& c) {
    LOGFONTA lf{};
    GetObjectA(GetCurrentObject(c.DeviceContext(), OBJ_FONT), sizeof lf, &lf);
    return lf;
}

LOGPEN CurrentPen(const Canvas& c) {
    LOGPEN lp{};
    GetObjectA(GetCurrentObject(c.DeviceContext(), OBJ_PEN), sizeof lp, &lp);
    return lp;
}

LOGBRUSH CurrentBrush(const Canvas& c) {
    LOGBRUSH lb{};
    GetObjectA(GetCurrentObject(c.DeviceContext(), OBJ_BRUSH), sizeof lb, &lb);
    return lb;
}

// Paints (0, 0)-(32, 32) with the canvas's current brush only (no outline).
void PaintWithBrush(Canvas& c) {
    const int style = c.PenStyle(PS_NULL);
    ::Rectangle(c.DeviceContext(), 0, 0, 33, 33);
    c.PenStyle(style);
}

}  // namespace

// ---------------------------------------------------------------------------
// Create / Destroy
// ---------------------------------------------------------------------------

TEST(CanvasSurface, CreateFillsEveryPixelWithTheBackground) {
    Canvas c;
    EXPECT_FALSE(c.IsCreated());
    ASSERT_TRUE(c.Create(37, 23, kTeal));
    EXPECT_TRUE(c.IsCreated());
    EXPECT_EQ(c.Width(), 37);
    EXPECT_EQ(c.Height(), 23);
    EXPECT_EQ(c.BackgroundColor(), kTeal);
    Snapshot s(c);
    EXPECT_TRUE(s.All(kTeal));
    BITMAP bm{};
    ASSERT_TRUE(GetObjectA(GetCurrentObject(c.DeviceContext(), OBJ_BITMAP), sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 37);
    EXPECT_EQ(bm.bmHeight, 23);
    EXPECT_EQ(bm.bmBitsPixel, 32);
}

TEST(CanvasSurface, CreateSetsBlackHairlineWhiteSolidBrushAndDefaultFont) {
    Canvas c;
    ASSERT_TRUE(c.Create(20, 20, kTeal));
    const LOGPEN pen = CurrentPen(c);
    EXPECT_EQ(pen.lopnStyle, static_cast<UINT>(PS_SOLID));
    EXPECT_EQ(pen.lopnWidth.x, 0);
    EXPECT_EQ(pen.lopnColor, kBlack);
    EXPECT_EQ(c.BrushStyle(), kBrushSolid);
    EXPECT_EQ(c.BrushColor(), kWhite);
    // Drawn: a black one-pixel outline around a white inside.
    ::Rectangle(c.DeviceContext(), 2, 2, 12, 12);
    EXPECT_EQ(Pixel(c, 2, 5), kBlack);
    EXPECT_EQ(Pixel(c, 11, 5), kBlack);
    EXPECT_EQ(Pixel(c, 3, 5), kWhite);
    EXPECT_EQ(Pixel(c, 10, 10), kWhite);
    EXPECT_EQ(Pixel(c, 12, 5), kTeal);
    const FontSpec font = c.Font();
    EXPECT_EQ(font.faceName, "宋体");
    EXPECT_EQ(font.size, 9);
    EXPECT_STREQ(CurrentFont(c).lfFaceName, "宋体");
    // Default text state of a fresh DC.
    EXPECT_EQ(c.TextColor(), kBlack);
    EXPECT_EQ(c.TextBackColor(), kWhite);
    EXPECT_FALSE(c.TextTransparent());
    EXPECT_EQ(c.DrawMode(), R2_COPYPEN);
}

TEST(CanvasSurface, SecondCreateFailsWithoutChange) {
    Canvas c;
    ASSERT_TRUE(c.Create(30, 20, kRed));
    Dot(c, 5, 5, kBlue);
    HDC dc = c.DeviceContext();
    EXPECT_FALSE(c.Create(50, 60, kGreen));
    EXPECT_EQ(c.DeviceContext(), dc);
    EXPECT_EQ(c.Width(), 30);
    EXPECT_EQ(c.Height(), 20);
    EXPECT_EQ(c.BackgroundColor(), kRed);
    EXPECT_EQ(Pixel(c, 5, 5), kBlue);
    EXPECT_EQ(Pixel(c, 29, 19), kRed);
}

TEST(CanvasSurface, UnholdableSizeLeavesCanvasNotCreatedAndEverythingHarmless) {
    Canvas c;
    EXPECT_FALSE(c.Create(100000, 100000, kWhite));  // 40 GB
    EXPECT_FALSE(c.Create(0, 10, kWhite));
    EXPECT_FALSE(c.Create(10, -1, kWhite));
    EXPECT_FALSE(c.IsCreated());
    EXPECT_EQ(c.DeviceContext(), nullptr);
    EXPECT_EQ(c.Width(), 0);
    EXPECT_EQ(c.Height(), 0);

    // Every state operation is a quiet no-op on a canvas without a surface.
    EXPECT_EQ(c.Resize(10, 10), std::optional<bool>(false));
    EXPECT_FALSE(c.IsCreated());
    c.PenColor(kRed);
    c.PenWidth(3);
    c.PenStyle(PS_DASH);
    c.BrushStyle(3);
    c.BrushColor(kBlue);
    EXPECT_EQ(c.DrawMode(R2_XORPEN), 0);
    c.TextColor(kRed);
    c.TextBackColor(kRed);
    EXPECT_FALSE(c.TextTransparent());
    FontSpec bold;
    bold.bold = true;
    c.Font(bold);
    c.Clear();
    c.BackgroundColor(kRed, true);
    EXPECT_EQ(c.FillWithBackground(nullptr, 10, 10), 0);
    // ... and so are the drawing operations.
    c.FillRect(0, 0, 10, 10);
    c.Rectangle(0, 0, 10, 10);
    c.Line(0, 0, 10, 10);
    c.Ellipse(0, 0, 10, 10);
    c.WriteText("文字");
    EXPECT_TRUE(c.ToBmpBytes().empty());
    EXPECT_FALSE(c.Destroy());

    // The canvas is still usable afterwards.
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    EXPECT_TRUE(Snapshot(c).All(kWhite));
    EXPECT_EQ(CurrentFont(c).lfWeight, FW_BOLD);  // the stored spec applies now
}

TEST(CanvasSurface, DestroyReleasesEveryObjectAndAllowsCreateAgain) {
    Canvas c;
    ASSERT_TRUE(c.Create(40, 30, kWhite));
    c.PenColor(kRed);
    c.BrushStyle(kBrushCross);
    FontSpec f;
    f.italic = true;
    c.Font(f);
    HDC dc = c.DeviceContext();
    HGDIOBJ bitmap = GetCurrentObject(dc, OBJ_BITMAP);
    HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(dc, OBJ_BRUSH);
    HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);

    EXPECT_TRUE(c.Destroy());
    EXPECT_FALSE(c.IsCreated());
    EXPECT_EQ(c.DeviceContext(), nullptr);
    EXPECT_EQ(c.Width(), 0);
    EXPECT_EQ(c.GetTextPos().x, 0);
    // Deleted, not merely forgotten (an object still selected could not be).
    EXPECT_EQ(GetObjectType(dc), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_FALSE(c.Destroy());

    ASSERT_TRUE(c.Create(8, 8, kBlue));
    EXPECT_TRUE(Snapshot(c).All(kBlue));
    ASSERT_TRUE(DeleteDC(c.DeviceContext()));  // its DC can no longer be deleted:
    EXPECT_FALSE(c.Destroy());
    EXPECT_FALSE(c.IsCreated());  // false, and let go all the same
}

TEST(CanvasSurface, HollowBrushSurvivesDestroy) {
    // The hollow brush is the system's; it must not be deleted with the canvas.
    Canvas c;
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    c.BrushStyle(kBrushHollow);
    ASSERT_TRUE(c.Destroy());
    EXPECT_EQ(GetObjectType(GetStockObject(NULL_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    c.BrushStyle(kBrushHollow);
    c.BrushStyle(kBrushSolid);
    EXPECT_EQ(GetObjectType(GetStockObject(NULL_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
}

TEST(CanvasSurface, ReplacedObjectsAreDeleted) {
    Canvas c;
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    HGDIOBJ pen = GetCurrentObject(c.DeviceContext(), OBJ_PEN);
    HGDIOBJ brush = GetCurrentObject(c.DeviceContext(), OBJ_BRUSH);
    HGDIOBJ font = GetCurrentObject(c.DeviceContext(), OBJ_FONT);
    HGDIOBJ bitmap = GetCurrentObject(c.DeviceContext(), OBJ_BITMAP);
    c.PenWidth(2);
    c.BrushColor(kRed);
    c.Font(FontSpec{});
    ASSERT_TRUE(c.Resize(20, 20).value_or(false));
    EXPECT_EQ(GetObjectType(pen), 0u);
    EXPECT_EQ(GetObjectType(brush), 0u);
    EXPECT_EQ(GetObjectType(font), 0u);
    EXPECT_EQ(GetObjectType(bitmap), 0u);
}

// ---------------------------------------------------------------------------
// Resize
// ---------------------------------------------------------------------------

namespace {
// A 20 x 10 canvas on teal with a marked top-left corner and bottom-right pixel.
void MarkedCanvas(Canvas& c) {
    ASSERT_TRUE(c.Create(20, 10, kTeal));
    Block(c, {0, 0, 4, 3}, kRed);
    Dot(c, 19, 9, kBlue);
    Dot(c, 7, 6, kGreen);
}
}  // namespace

TEST(CanvasResize, LargerKeepsTopLeftAndFillsNewAreaWithBackground) {
    Canvas c;
    MarkedCanvas(c);
    ASSERT_EQ(c.Resize(30, 25), std::optional<bool>(true));
    EXPECT_EQ(c.Width(), 30);
    EXPECT_EQ(c.Height(), 25);
    Snapshot s(c);
    for (int y = 0; y < 25; ++y) {
        for (int x = 0; x < 30; ++x) {
            COLORREF want = kTeal;
            if (x < 4 && y < 3) want = kRed;
            if (x == 19 && y == 9) want = kBlue;
            if (x == 7 && y == 6) want = kGreen;
            ASSERT_EQ(s.At(x, y), want) << "at " << x << "," << y;
        }
    }
}

TEST(CanvasResize, SmallerKeepsOnlyTheTopLeftPart) {
    Canvas c;
    MarkedCanvas(c);
    ASSERT_EQ(c.Resize(8, 7), std::optional<bool>(true));
    EXPECT_EQ(c.Width(), 8);
    EXPECT_EQ(c.Height(), 7);
    Snapshot s(c);
    EXPECT_EQ(s.Count({0, 0, 8, 7}, [](int, int, COLORREF p) { return p == kRed; }), 12);
    EXPECT_EQ(s.At(7, 6), kGreen);
    EXPECT_EQ(s.At(5, 5), kTeal);
    // Growing back does not bring the cut pixels back: the new area is background.
    ASSERT_EQ(c.Resize(20, 10), std::optional<bool>(true));
    EXPECT_EQ(Pixel(c, 19, 9), kTeal);
}

TEST(CanvasResize, OneSizeGivenKeepsTheOther) {
    Canvas c;
    MarkedCanvas(c);
    ASSERT_EQ(c.Resize(std::nullopt, 15), std::optional<bool>(true));
    EXPECT_EQ(c.Width(), 20);
    EXPECT_EQ(c.Height(), 15);
    EXPECT_EQ(Pixel(c, 19, 9), kBlue);
    EXPECT_EQ(Pixel(c, 19, 14), kTeal);
    ASSERT_EQ(c.Resize(25, std::nullopt), std::optional<bool>(true));
    EXPECT_EQ(c.Width(), 25);
    EXPECT_EQ(c.Height(), 15);
}

TEST(CanvasResize, NeitherSizeGivenDoesNothing) {
    Canvas c;
    MarkedCanvas(c);
    HGDIOBJ bitmap = GetCurrentObject(c.DeviceContext(), OBJ_BITMAP);
    EXPECT_EQ(c.Resize(std::nullopt, std::nullopt), std::nullopt);
    EXPECT_EQ(GetCurrentObject(c.DeviceContext(), OBJ_BITMAP), bitmap);
    EXPECT_EQ(c.Width(), 20);
    EXPECT_EQ(Pixel(c, 19, 9), kBlue);
}

TEST(CanvasResize, UnholdableSizeKeepsTheOldSurfaceIntact) {
    Canvas c;
    MarkedCanvas(c);
    EXPECT_EQ(c.Resize(100000, 100000), std::optional<bool>(false));
    EXPECT_EQ(c.Resize(0, 5), std::optional<bool>(false));
    EXPECT_TRUE(c.IsCreated());
    EXPECT_EQ(c.Width(), 20);
    EXPECT_EQ(c.Height(), 10);
    EXPECT_EQ(Pixel(c, 0, 0), kRed);
    EXPECT_EQ(Pixel(c, 19, 9), kBlue);
    // Still drawable with its pen and brush.
    c.BrushColor(kGreen);
    ::Rectangle(c.DeviceContext(), 10, 0, 15, 5);
    EXPECT_EQ(Pixel(c, 12, 2), kGreen);
    EXPECT_EQ(Pixel(c, 10, 2), kBlack);
}

TEST(CanvasResize, PicturesDrawOnTheResizedSurface) {
    // The GDI+ drawing object follows the new surface: drawing past the old
    // size must land there.
    Canvas c;
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    ASSERT_EQ(c.Resize(40, 40), std::optional<bool>(true));
    Canvas source;
    ASSERT_TRUE(source.Create(6, 6, kRed));
    const std::vector<std::uint8_t> bmp = source.ToBmpBytes();
    GpImage* image = c.LoadPicture(bmp);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(c.DrawPicture(image, 30, 30), Gdiplus::Ok);
    EXPECT_EQ(Pixel(c, 32, 32), kRed);
    EXPECT_EQ(Pixel(c, 29, 32), kWhite);
}

// ---------------------------------------------------------------------------
// Pen, brush, draw mode
// ---------------------------------------------------------------------------

TEST(CanvasPen, PropertiesReturnPreviousValueAndReachTheDc) {
    Canvas c;
    ASSERT_TRUE(c.Create(40, 30, kWhite));
    EXPECT_EQ(c.PenColor(kRed), kBlack);
    EXPECT_EQ(c.PenWidth(5), 0);
    EXPECT_EQ(c.PenStyle(PS_SOLID), PS_SOLID);
    EXPECT_EQ(c.PenColor(), kRed);
    EXPECT_EQ(c.PenWidth(), 5);
    const LOGPEN pen = CurrentPen(c);
    EXPECT_EQ(pen.lopnColor, kRed);
    EXPECT_EQ(pen.lopnWidth.x, 5);
    // A 5-pixel-wide red line along y = 15.
    MoveToEx(c.DeviceContext(), 5, 15, nullptr);
    LineTo(c.DeviceContext(), 35, 15);
    Snapshot s(c);
    EXPECT_EQ(s.Count({20, 0, 21, 30}, [](int, int, COLORREF p) { return p == kRed; }), 5);
    EXPECT_EQ(s.At(20, 13), kRed);
    EXPECT_EQ(s.At(20, 17), kRed);
    EXPECT_EQ(s.At(20, 11), kWhite);
}

TEST(CanvasPen, NullPenStyleDrawsNothing) {
    Canvas c;
    ASSERT_TRUE(c.Create(20, 20, kWhite));
    c.PenStyle(PS_NULL);
    MoveToEx(c.DeviceContext(), 0, 10, nullptr);
    LineTo(c.DeviceContext(), 20, 10);
    EXPECT_TRUE(Snapshot(c).All(kWhite));
    EXPECT_EQ(c.PenStyle(PS_DOT), PS_NULL);
    EXPECT_EQ(CurrentPen(c).lopnStyle, static_cast<UINT>(PS_DOT));
}

TEST(CanvasPen, DrawModeReturnsTheDcsPreviousMode) {
    Canvas c;
    ASSERT_TRUE(c.Create(20, 20, kWhite));
    c.PenColor(kWhite);
    EXPECT_EQ(c.DrawMode(R2_XORPEN), R2_COPYPEN);
    EXPECT_EQ(c.DrawMode(), R2_XORPEN);
    EXPECT_EQ(GetROP2(c.DeviceContext()), R2_XORPEN);
    // White XOR white is black; drawing again restores the picture.
    MoveToEx(c.DeviceContext(), 0, 5, nullptr);
    LineTo(c.DeviceContext(), 20, 5);
    EXPECT_EQ(Pixel(c, 10, 5), kBlack);
    MoveToEx(c.DeviceContext(), 0, 5, nullptr);
    LineTo(c.DeviceContext(), 20, 5);
    EXPECT_EQ(Pixel(c, 10, 5), kWhite);
}

namespace {
// Where the 8 x 8 hatch of `style` has its lines, for the pattern alignment
// (p, q): true on a hatch line.
bool HatchLine(int style, int x, int y, int p, int q) {
    const auto mod8 = [](int v) { return ((v % 8) + 8) % 8; };
    switch (style) {
        case kBrushHorizontal: return mod8(y) == p;
        case kBrushVertical: return mod8(x) == p;
        case kBrushForwardDiagonal: return mod8(x - y) == p;   // falling lines
        case kBrushBackwardDiagonal: return mod8(x + y) == p;  // rising lines
        case kBrushCross: return mod8(x) == p || mod8(y) == q;
        case kBrushDiagonalCross: return mod8(x - y) == p || mod8(x + y) == q;
    }
    return false;
}

// Whether the painted area shows exactly the hatch of `style` in `ink` on
// `paper`, for some alignment of the 8 x 8 pattern.
bool ShowsHatch(const Snapshot& s, int style, COLORREF ink, COLORREF paper) {
    for (int q = 0; q < 8; ++q) {
        for (int p = 0; p < 8; ++p) {
            bool match = true;
            for (int y = 2; y < 26 && match; ++y)
                for (int x = 2; x < 26 && match; ++x)
                    match = s.At(x, y) == (HatchLine(style, x, y, p, q) ? ink : paper);
            if (match) return true;
        }
    }
    return false;
}
}  // namespace

TEST(CanvasBrush, StyleZeroIsHollow) {
    Canvas c;
    ASSERT_TRUE(c.Create(40, 40, kTeal));
    EXPECT_EQ(c.BrushStyle(kBrushHollow), kBrushSolid);
    EXPECT_EQ(CurrentBrush(c).lbStyle, static_cast<UINT>(BS_NULL));
    PaintWithBrush(c);
    EXPECT_TRUE(Snapshot(c).All(kTeal));
}

TEST(CanvasBrush, StyleSevenIsSolidInTheBrushColour) {
    Canvas c;
    ASSERT_TRUE(c.Create(40, 40, kTeal));
    c.BrushColor(kBlue);
    EXPECT_EQ(c.BrushStyle(kBrushSolid), kBrushSolid);
    PaintWithBrush(c);
    Snapshot s(c);
    EXPECT_EQ(s.Count({0, 0, 32, 32}, [](int, int, COLORREF p) { return p == kBlue; }), 32 * 32);
    EXPECT_EQ(s.At(35, 35), kTeal);
}

TEST(CanvasBrush, StylesOneToSixAreTheSixHatches) {
    for (int style = kBrushHorizontal; style <= kBrushDiagonalCross; ++style) {
        SCOPED_TRACE(style);
        Canvas c;
        ASSERT_TRUE(c.Create(40, 40, kTeal));
        c.BrushColor(kRed);
        c.BrushStyle(style);
        c.TextBackColor(kWhite);  // the gaps of an opaque hatch
        PaintWithBrush(c);
        Snapshot s(c);
        EXPECT_TRUE(ShowsHatch(s, style, kRed, kWhite));
        // And none of the other hatches.
        for (int other = kBrushHorizontal; other <= kBrushDiagonalCross; ++other) {
            if (other != style) {
                EXPECT_FALSE(ShowsHatch(s, other, kRed, kWhite)) << other;
            }
        }
    }
}

TEST(CanvasBrush, HatchGapsAreLeftAloneWhenTextIsTransparent) {
    Canvas c;
    ASSERT_TRUE(c.Create(40, 40, kTeal));
    c.BrushColor(kBlue);
    c.BrushStyle(kBrushCross);
    c.TextTransparent(true);
    PaintWithBrush(c);
    EXPECT_TRUE(ShowsHatch(Snapshot(c), kBrushCross, kBlue, kTeal));
}

TEST(CanvasBrush, ColourWhileHollowStaysHollow) {
    Canvas c;
    ASSERT_TRUE(c.Create(40, 40, kTeal));
    c.BrushStyle(kBrushHollow);
    EXPECT_EQ(c.BrushColor(kRed), kWhite);
    EXPECT_EQ(c.BrushColor(), kRed);
    EXPECT_EQ(c.BrushStyle(), kBrushHollow);
    PaintWithBrush(c);
    EXPECT_TRUE(Snapshot(c).All(kTeal));
    // The colour is kept for when a visible style comes back.
    c.BrushStyle(kBrushSolid);
    PaintWithBrush(c);
    EXPECT_EQ(Pixel(c, 16, 16), kRed);
}

TEST(CanvasBrush, StyleOutsideTheListPaintsSolid) {
    // A brush style read from a hand-edited settings file must not reach GDI
    // as an undefined hatch.
    Canvas c;
    ASSERT_TRUE(c.Create(40, 40, kTeal));
    c.BrushColor(kGreen);
    c.BrushStyle(42);
    PaintWithBrush(c);
    EXPECT_EQ(Snapshot(c).Count({0, 0, 32, 32}, [](int, int, COLORREF p) { return p == kGreen; }),
              32 * 32);
}

// ---------------------------------------------------------------------------
// Text state and font
// ---------------------------------------------------------------------------

TEST(CanvasText, TextTransparentReadsBack) {
    Canvas c;
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    EXPECT_FALSE(c.TextTransparent());
    EXPECT_TRUE(c.TextTransparent(true));
    EXPECT_TRUE(c.TextTransparent());
    EXPECT_EQ(GetBkMode(c.DeviceContext()), TRANSPARENT);
    EXPECT_FALSE(c.TextTransparent(false));
    EXPECT_FALSE(c.TextTransparent());
    EXPECT_EQ(GetBkMode(c.DeviceContext()), OPAQUE);
}

TEST(CanvasText, TextColoursReturnTheDcsPreviousValues) {
    Canvas c;
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    EXPECT_EQ(c.TextColor(kRed), kBlack);
    EXPECT_EQ(c.TextColor(), kRed);
    EXPECT_EQ(GetTextColor(c.DeviceContext()), kRed);
    EXPECT_EQ(c.TextBackColor(kBlue), kWhite);
    EXPECT_EQ(c.TextBackColor(), kBlue);
    EXPECT_EQ(GetBkColor(c.DeviceContext()), kBlue);
}

TEST(CanvasText, BoldFontHasWeight700AndHeightFollowsTheDpi) {
    Canvas c;
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    const int dpi = GetDeviceCaps(c.DeviceContext(), LOGPIXELSX);
    ASSERT_GT(dpi, 0);
    FontSpec spec;
    spec.bold = true;
    spec.size = 20;
    const FontSpec result = c.Font(spec);
    EXPECT_EQ(result, spec);
    LOGFONTA lf = CurrentFont(c);
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfHeight, -MulDiv(20, dpi, 72));  // character height, not cell height
    EXPECT_LT(lf.lfHeight, 0);

    spec.bold = false;
    spec.size = 9;
    c.Font(spec);
    lf = CurrentFont(c);
    EXPECT_EQ(lf.lfWeight, 400);
    EXPECT_EQ(lf.lfHeight, -MulDiv(9, dpi, 72));
}

TEST(CanvasText, FontSpecFieldsReachTheFont) {
    Canvas c;
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    FontSpec spec;
    spec.angle = 450;
    spec.italic = true;
    spec.underline = true;
    spec.strikeout = true;
    spec.faceName = "黑体";
    c.Font(spec);
    const LOGFONTA lf = CurrentFont(c);
    EXPECT_EQ(lf.lfEscapement, 450);
    EXPECT_TRUE(lf.lfItalic);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_TRUE(lf.lfStrikeOut);
    EXPECT_STREQ(lf.lfFaceName, "黑体");
    EXPECT_EQ(lf.lfQuality, PROOF_QUALITY);
    // Reading the font description back does not replace the font.
    HGDIOBJ font = GetCurrentObject(c.DeviceContext(), OBJ_FONT);
    EXPECT_EQ(c.Font(), spec);
    EXPECT_EQ(GetCurrentObject(c.DeviceContext(), OBJ_FONT), font);
}

TEST(CanvasText, CreateResetsFaceAndSizeButKeepsStyle) {
    Canvas c;
    FontSpec spec;
    spec.size = 30;
    spec.faceName = "黑体";
    spec.italic = true;
    c.Font(spec);
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    const FontSpec now = c.Font();
    EXPECT_EQ(now.size, 9);
    EXPECT_EQ(now.faceName, "宋体");
    EXPECT_TRUE(now.italic);
    EXPECT_TRUE(CurrentFont(c).lfItalic);
}

TEST(CanvasText, SetTextPosSetsOnlyTheGivenCoordinates) {
    Canvas c;
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    c.SetTextPos(12, 34);
    EXPECT_EQ(c.GetTextPos().x, 12);
    EXPECT_EQ(c.GetTextPos().y, 34);
    c.SetTextPos(std::nullopt, 50);
    EXPECT_EQ(c.GetTextPos().x, 12);
    EXPECT_EQ(c.GetTextPos().y, 50);
    c.SetTextPos(7, std::nullopt);
    EXPECT_EQ(c.GetTextPos().x, 7);
    EXPECT_EQ(c.GetTextPos().y, 50);
}

// ---------------------------------------------------------------------------
// Background
// ---------------------------------------------------------------------------

TEST(CanvasBackground, ClearFillsTheRectangleWithTheBackground) {
    Canvas c;
    ASSERT_TRUE(c.Create(20, 20, kWhite));
    Block(c, {0, 0, 20, 20}, kRed);
    c.Clear(5, 5, 10, 8);
    Snapshot s(c);
    EXPECT_EQ(s.Count({0, 0, 20, 20}, [](int, int, COLORREF p) { return p == kWhite; }), 15);
    EXPECT_EQ(s.At(5, 5), kWhite);
    EXPECT_EQ(s.At(9, 7), kWhite);
    EXPECT_EQ(s.At(10, 7), kRed);
    c.Clear(std::nullopt, 15);  // from (0, 15) to the bottom-right corner
    Snapshot t(c);
    EXPECT_EQ(t.Count({0, 15, 20, 20}, [](int, int, COLORREF p) { return p == kWhite; }), 100);
    EXPECT_EQ(t.At(0, 14), kRed);
    c.Clear();
    EXPECT_TRUE(Snapshot(c).All(kWhite));
}

TEST(CanvasBackground, RecolourChangesExactlyTheOldBackgroundPixels) {
    Canvas c;
    ASSERT_TRUE(c.Create(30, 20, kWhite));
    Block(c, {2, 2, 10, 10}, kRed);
    Dot(c, 15, 15, RGB(254, 255, 255));  // almost, but not, the background
    Dot(c, 16, 15, kBlack);
    const Snapshot before(c);

    EXPECT_EQ(c.BackgroundColor(kBlue, true), kWhite);
    EXPECT_EQ(c.BackgroundColor(), kBlue);
    const Snapshot after(c);
    for (int y = 0; y < 20; ++y) {
        for (int x = 0; x < 30; ++x) {
            const COLORREF want = before.At(x, y) == kWhite ? kBlue : before.At(x, y);
            ASSERT_EQ(after.At(x, y), want) << "at " << x << "," << y;
        }
    }
    // Clear now uses the new colour.
    c.Clear(0, 0, 1, 1);
    EXPECT_EQ(Pixel(c, 0, 0), kBlue);
}

TEST(CanvasBackground, RecolourReachesPixelsDrawnFromPictures) {
    // The board's picture comes in through GDI+, which writes the fourth
    // byte of each pixel; a pixel of the background colour still counts.
    Canvas source;
    ASSERT_TRUE(source.Create(4, 4, kWhite));
    Block(source, {0, 0, 2, 4}, kRed);
    const std::vector<std::uint8_t> bmp = source.ToBmpBytes();
    Canvas c;
    ASSERT_TRUE(c.Create(4, 4, kWhite));
    ASSERT_NE(c.LoadPicture(bmp), nullptr);
    ASSERT_EQ(c.DrawPicture(c.Picture().Handle(), 0, 0), Gdiplus::Ok);
    c.BackgroundColor(kGreen, true);
    EXPECT_EQ(Pixel(c, 0, 0), kRed);
    EXPECT_EQ(Pixel(c, 3, 3), kGreen);
}

TEST(CanvasBackground, WithoutRecolourOnlyTheColourChanges) {
    Canvas c;
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    EXPECT_EQ(c.BackgroundColor(kRed), kWhite);
    EXPECT_TRUE(Snapshot(c).All(kWhite));
    c.Clear();
    EXPECT_TRUE(Snapshot(c).All(kRed));
}

TEST(CanvasBackground, FillWithBackgroundPaintsAnyDc) {
    Canvas c, other;
    ASSERT_TRUE(c.Create(10, 10, kRed));
    ASSERT_TRUE(other.Create(10, 10, kWhite));
    EXPECT_NE(c.FillWithBackground(other.DeviceContext(), 5, 4), 0);
    Snapshot s(other);
    EXPECT_EQ(s.Count({0, 0, 10, 10}, [](int, int, COLORREF p) { return p == kRed; }), 20);
    EXPECT_EQ(s.At(4, 3), kRed);
    EXPECT_EQ(s.At(5, 3), kWhite);
}

TEST(CanvasPixels, AreTheSurfaceBottomRowFirstAndFollowResizing) {
    Canvas c;
    EXPECT_TRUE(c.Pixels().empty());
    ASSERT_TRUE(c.Create(5, 4, kWhite));
    ::Rectangle(c.DeviceContext(), 1, 0, 3, 1);  // GDI draws; the bits must show it at once
    std::span<std::uint32_t> p = c.Pixels();
    ASSERT_EQ(p.size(), 20u);
    EXPECT_EQ(p[3 * 5 + 1], 0x000000u) << "top row, x = 1, lies last in memory";
    EXPECT_EQ(p[0], 0xFFFFFFu);
    p[0] = 0x0000FF;  // blue in memory order
    EXPECT_EQ(Pixel(c, 0, 3), RGB(0, 0, 255));
    ASSERT_EQ(c.Resize(8, 2), std::optional<bool>(true));
    EXPECT_EQ(c.Pixels().size(), 16u);
}
