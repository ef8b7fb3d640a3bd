// BMP export, copying between device contexts and showing a canvas in a window.

#include <windows.h>

#include <array>
#include <cstring>

#include <gtest/gtest.h>

#include "graphics/canvas.h"
#include "graphics/gdip_image.h"
#include "graphics/canvas_draw_test_support.h"

using namespace canvas_test;

namespace {

// A 3 x 2 canvas whose six pixels all differ.
void PaintSixPixels(Canvas& c) {
    c.SetPixel(0, 0, 0x0000FF);
    c.SetPixel(1, 0, 0x00FF00);
    c.SetPixel(2, 0, 0xFF0000);
    c.SetPixel(0, 1, 0x123456);
    c.SetPixel(1, 1, 0xABCDEF);
    c.SetPixel(2, 1, 0x000000);
}

// Counts calls that the drawing code makes through the program's import
// table, by pointing the table entry at a counting stand-in for a while.
class ImportHook {
public:
    ImportHook(const char* dll, const char* function, void* replacement) {
        slot_ = FindSlot(dll, function);
        if (!slot_) return;
        original_ = *slot_;
        Write(replacement);
    }
    ~ImportHook() {
        if (slot_) Write(original_);
    }
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;
    bool Ok() const { return slot_ != nullptr; }
    void* Original() const { return original_; }

private:
    static void** FindSlot(const char* dll, const char* function) {
        auto* base = reinterpret_cast<BYTE*>(GetModuleHandleA(nullptr));
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (dir.VirtualAddress == 0) return nullptr;
        auto* imp = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
        for (; imp->Name; ++imp) {
            if (_stricmp(reinterpret_cast<char*>(base + imp->Name), dll) != 0) continue;
            if (imp->OriginalFirstThunk == 0) continue;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->OriginalFirstThunk);
            auto* addrs = reinterpret_cast<IMAGE_THUNK_DATA*>(base + imp->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++addrs) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
                auto* byName =
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0)
                    return reinterpret_cast<void**>(&addrs->u1.Function);
            }
        }
        return nullptr;
    }
    void Write(void* value) {
        DWORD old = 0;
        VirtualProtect(slot_, sizeof(void*), PAGE_READWRITE, &old);
        *slot_ = value;
        VirtualProtect(slot_, sizeof(void*), old, &old);
        FlushInstructionCache(GetCurrentProcess(), slot_, sizeof(void*));
    }
    void** slot_ = nullptr;
    void* original_ = nullptr;
};

struct BlitCounts {
    int getDIBits = 0;
    int copies = 0;  // BitBlt, StretchBlt and TransparentBlt together
    int largestCopyWidth = 0;
    void* getDIBitsOriginal = nullptr;
    void* bitBltOriginal = nullptr;
    void* stretchBltOriginal = nullptr;
    void* transparentBltOriginal = nullptr;
};
BlitCounts g_counts;

int WINAPI CountingGetDIBits(HDC dc, HBITMAP bm, UINT start, UINT lines, LPVOID bits,
                             LPBITMAPINFO info, UINT usage) {
    ++g_counts.getDIBits;
    return reinterpret_cast<decltype(&GetDIBits)>(g_counts.getDIBitsOriginal)(dc, bm, start, lines,
                                                                             bits, info, usage);
}
BOOL WINAPI CountingBitBlt(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, DWORD rop) {
    ++g_counts.copies;
    return reinterpret_cast<decltype(&BitBlt)>(g_counts.bitBltOriginal)(d, x, y, w, h, s, sx, sy,
                                                                       rop);
}
BOOL WINAPI CountingStretchBlt(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, int sw,
                               int sh, DWORD rop) {
    ++g_counts.copies;
    if (w > g_counts.largestCopyWidth) g_counts.largestCopyWidth = w;
    return reinterpret_cast<decltype(&StretchBlt)>(g_counts.stretchBltOriginal)(
        d, x, y, w, h, s, sx, sy, sw, sh, rop);
}
BOOL WINAPI CountingTransparentBlt(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy,
                                   int sw, int sh, UINT color) {
    ++g_counts.copies;
    return reinterpret_cast<decltype(&TransparentBlt)>(g_counts.transparentBltOriginal)(
        d, x, y, w, h, s, sx, sy, sw, sh, color);
}

}  // namespace

// ------------------------------------------------------------- ToBmpBytes --

TEST(ToBmpBytes, ThreeByTwoCanvasIsACompleteBottomUpFile) {
    Canvas c;
    ASSERT_TRUE(c.Create(3, 2, kWhite));
    PaintSixPixels(c);
    const auto bmp = c.ToBmpBytes();
    ASSERT_EQ(bmp.size(), 78u);
    EXPECT_EQ(bmp[0], 'B');
    EXPECT_EQ(bmp[1], 'M');
    EXPECT_EQ(ReadU32(bmp, 2), 78u);   // file size
    EXPECT_EQ(ReadU32(bmp, 6), 0u);    // reserved
    EXPECT_EQ(ReadU32(bmp, 10), 54u);  // pixel offset
    EXPECT_EQ(ReadU32(bmp, 14), 40u);  // info header size
    EXPECT_EQ(ReadU32(bmp, 18), 3u);
    EXPECT_EQ(ReadU32(bmp, 22), 2u);   // positive: bottom-up
    EXPECT_EQ(ReadU16(bmp, 26), 1u);
    EXPECT_EQ(ReadU16(bmp, 28), 32u);
    EXPECT_EQ(ReadU32(bmp, 30), 0u);   // BI_RGB
    // The first stored row is the canvas's bottom row, blue-green-red-reserved.
    const std::array<std::uint8_t, 12> bottom = {0x12, 0x34, 0x56, 0, 0xAB, 0xCD, 0xEF, 0,
                                                 0x00, 0x00, 0x00, 0};
    const std::array<std::uint8_t, 12> top = {0x00, 0x00, 0xFF, 0, 0x00, 0xFF, 0x00, 0,
                                              0xFF, 0x00, 0x00, 0};
    for (std::size_t i = 0; i < 12; ++i) {
        EXPECT_EQ(bmp[54 + i] & 0xFF, bottom[i]) << "bottom row byte " << i;
        EXPECT_EQ(bmp[66 + i] & 0xFF, top[i]) << "top row byte " << i;
    }
}

TEST(ToBmpBytes, DecodesBackToTheSamePixels) {
    Canvas c;
    ASSERT_TRUE(c.Create(3, 2, kWhite));
    PaintSixPixels(c);
    const auto bmp = c.ToBmpBytes();
    GdipImage image;
    ASSERT_TRUE(image.LoadFromData(bmp));
    ASSERT_EQ(image.Width(), 3);
    ASSERT_EQ(image.Height(), 2);
    auto* bitmap = reinterpret_cast<Gdiplus::GpBitmap*>(image.Handle());
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x) {
            Gdiplus::ARGB argb = 0;
            ASSERT_EQ(Gdiplus::DllExports::GdipBitmapGetPixel(bitmap, x, y, &argb), Gdiplus::Ok);
            const COLORREF decoded = RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
            EXPECT_EQ(decoded, c.GetPixel(x, y)) << "pixel " << x << "," << y;
        }
    }
}

TEST(ToBmpBytes, ScaledExportHasTheRequestedSize) {
    Canvas c;
    ASSERT_TRUE(c.Create(40, 30, kWhite));
    c.BrushColor(kRed);
    c.PenColor(kRed);
    c.Rectangle(0, 0, 20, 30);  // left half red, right half white

    const auto shrunk = c.ToBmpBytes(20, 10);
    ASSERT_EQ(shrunk.size(), 54u + 20u * 10u * 4u);
    EXPECT_EQ(ReadU32(shrunk, 2), shrunk.size());
    EXPECT_EQ(ReadU32(shrunk, 18), 20u);
    EXPECT_EQ(ReadU32(shrunk, 22), 10u);
    // Away from the edge the halves keep their colours (smoothing only blends
    // across the edge).
    EXPECT_TRUE(Near(BmpPixel(shrunk, 2, 5), kRed, 8));
    EXPECT_TRUE(Near(BmpPixel(shrunk, 17, 5), kWhite, 8));

    const auto enlarged = c.ToBmpBytes(80, 60);
    ASSERT_EQ(enlarged.size(), 54u + 80u * 60u * 4u);
    EXPECT_EQ(BmpPixel(enlarged, 10, 30), kRed);
    EXPECT_EQ(BmpPixel(enlarged, 70, 30), kWhite);
    EXPECT_EQ(BmpPixel(enlarged, 39, 59), kRed);  // pixel repetition: column 19 -> 38, 39
    EXPECT_EQ(BmpPixel(enlarged, 40, 59), kWhite);

    // Only one size given: the other stays the canvas's.
    const auto wide = c.ToBmpBytes(60, std::nullopt);
    EXPECT_EQ(ReadU32(wide, 18), 60u);
    EXPECT_EQ(ReadU32(wide, 22), 30u);
}

TEST(ToBmpBytes, SubstituteColourReplacesOnlyTheBackground) {
    Canvas c;
    ASSERT_TRUE(c.Create(10, 10, kWhite));
    c.BrushColor(kBlack);
    c.FillRect(2, 2, 5, 5);
    const auto bmp = c.ToBmpBytes(std::nullopt, std::nullopt, kGreen);
    ASSERT_EQ(bmp.size(), 54u + 400u);
    EXPECT_EQ(BmpPixel(bmp, 0, 0), kGreen);
    EXPECT_EQ(BmpPixel(bmp, 9, 9), kGreen);
    EXPECT_EQ(BmpPixel(bmp, 3, 3), kBlack);
    // The canvas itself is not touched.
    EXPECT_EQ(c.GetPixel(0, 0), kWhite);
}

TEST(ToBmpBytes, NothingForAMissingSurfaceOrAnEmptySize) {
    Canvas notCreated;
    EXPECT_TRUE(notCreated.ToBmpBytes().empty());
    Canvas c;
    ASSERT_TRUE(c.Create(4, 4, kWhite));
    EXPECT_TRUE(c.ToBmpBytes(0, 4).empty());
    EXPECT_TRUE(c.ToBmpBytes(4, -1).empty());
    EXPECT_TRUE(c.ToBmpBytes(-5, -5).empty());
    // A size no DIB section can hold gives nothing rather than garbage.
    EXPECT_TRUE(c.ToBmpBytes(100000, 100000).empty());
    EXPECT_EQ(c.ToBmpBytes().size(), 54u + 64u);
}

TEST(ToBmpBytes, LargeExportMakesOneCopyAndTwoPixelReads) {
    Canvas c;
    ASSERT_TRUE(c.Create(3840, 2160, kWhite));
    c.SetPixel(3839, 0, kRed);
    g_counts = BlitCounts{};
    std::vector<std::uint8_t> bmp;
    {
        ImportHook dib("gdi32.dll", "GetDIBits", reinterpret_cast<void*>(&CountingGetDIBits));
        ImportHook bit("gdi32.dll", "BitBlt", reinterpret_cast<void*>(&CountingBitBlt));
        ImportHook stretch("gdi32.dll", "StretchBlt", reinterpret_cast<void*>(&CountingStretchBlt));
        ImportHook transparent("msimg32.dll", "TransparentBlt",
                               reinterpret_cast<void*>(&CountingTransparentBlt));
        ASSERT_TRUE(dib.Ok() && bit.Ok() && stretch.Ok() && transparent.Ok());
        g_counts.getDIBitsOriginal = dib.Original();
        g_counts.bitBltOriginal = bit.Original();
        g_counts.stretchBltOriginal = stretch.Original();
        g_counts.transparentBltOriginal = transparent.Original();
        bmp = c.ToBmpBytes();
    }
    EXPECT_EQ(g_counts.getDIBits, 2);
    EXPECT_EQ(g_counts.copies, 1);
    ASSERT_EQ(bmp.size(), 54u + 3840u * 2160u * 4u);
    EXPECT_EQ(BmpPixel(bmp, 3839, 0), kRed);
    EXPECT_EQ(BmpPixel(bmp, 0, 2159), kWhite);
}

// --------------------------------------------------------------- CopyArea --

namespace {
// Columns 0-9 red, 10-19 blue, with a green marker at (19, 9).
void FillHalves(Canvas& c) {
    c.PenColor(kRed);
    c.BrushColor(kRed);
    c.Rectangle(0, 0, 10, 10);
    c.PenColor(kBlue);
    c.BrushColor(kBlue);
    c.Rectangle(10, 0, 20, 10);
    c.SetPixel(19, 9, kGreen);
}
void PaintHalves(Canvas& c) {
    ASSERT_TRUE(c.Create(20, 10, kWhite));
    FillHalves(c);
}
}  // namespace

TEST(CopyArea, OnlyADestinationCopiesTheWholeCanvasUnscaledAtTheOrigin) {
    Canvas src, dst;
    PaintHalves(src);
    ASSERT_TRUE(dst.Create(40, 30, kWhite));
    EXPECT_TRUE(src.CopyArea({.destDC = dst.DeviceContext()}));
    EXPECT_EQ(dst.GetPixel(0, 0), kRed);
    EXPECT_EQ(dst.GetPixel(9, 9), kRed);
    EXPECT_EQ(dst.GetPixel(10, 0), kBlue);
    EXPECT_EQ(dst.GetPixel(19, 9), kGreen);
    EXPECT_EQ(dst.GetPixel(20, 0), kWhite);
    EXPECT_EQ(dst.GetPixel(0, 10), kWhite);
    EXPECT_EQ(CountColor(dst, {0, 0, 40, 30}, kWhite), 40 * 30 - 200);
}

TEST(CopyArea, ADestinationSizeAloneDoesNotStretch) {
    Canvas src, dst;
    PaintHalves(src);
    ASSERT_TRUE(dst.Create(40, 30, kWhite));
    src.CopyArea({.destDC = dst.DeviceContext(), .destX = 3, .destY = 4, .destWidth = 10});
    // Ten columns of the red half, unscaled; a shrink would have pulled blue in.
    EXPECT_EQ(CountColor(dst, {3, 4, 13, 14}, kRed), 100);
    EXPECT_EQ(dst.GetPixel(13, 4), kWhite);
}

TEST(CopyArea, SourceYWithoutHeightCopiesTheRemainingRows) {
    Canvas src, dst;
    ASSERT_TRUE(src.Create(10, 20, kWhite));
    src.BrushColor(kGreen);
    src.FillRect(0, 5, 10, 19);
    src.BrushColor(kBlue);
    src.FillRect(0, 19, 10, 20);  // the last row
    ASSERT_TRUE(dst.Create(10, 30, kRed));
    src.CopyArea({.destDC = dst.DeviceContext(), .srcY = 5});
    EXPECT_EQ(dst.GetPixel(0, 0), kGreen);
    EXPECT_EQ(dst.GetPixel(9, 13), kGreen);
    EXPECT_EQ(dst.GetPixel(0, 14), kBlue);  // source row 19
    EXPECT_EQ(dst.GetPixel(0, 15), kRed);   // 20 - 5 = 15 rows only

    // The same rule when the copy stretches because a source width is given.
    Canvas dst2;
    ASSERT_TRUE(dst2.Create(10, 30, kRed));
    src.CopyArea({.destDC = dst2.DeviceContext(), .srcY = 5, .srcWidth = 10});
    EXPECT_EQ(dst2.GetPixel(0, 14), kBlue);
    EXPECT_EQ(dst2.GetPixel(0, 15), kRed);
}

TEST(CopyArea, ATransparentColourNeverUsesTheRasterOperation) {
    Canvas src, dst;
    ASSERT_TRUE(src.Create(20, 20, kWhite));
    src.BrushColor(kRed);
    src.FillRect(5, 5, 10, 10);
    ASSERT_TRUE(dst.Create(20, 20, kGreen));
    src.CopyArea({.destDC = dst.DeviceContext(), .rop = BLACKNESS, .transparent = kWhite});
    EXPECT_EQ(dst.GetPixel(7, 7), kRed);
    EXPECT_EQ(dst.GetPixel(0, 0), kGreen);  // white was see-through, not blackened
    EXPECT_EQ(CountColor(dst, {0, 0, 20, 20}, kBlack), 0);

    // Without one, the raster operation applies.
    src.CopyArea({.destDC = dst.DeviceContext(), .rop = BLACKNESS});
    EXPECT_EQ(CountColor(dst, {0, 0, 20, 20}, kBlack), 400);
}

TEST(CopyArea, SmallerDestinationWithASourceSizeShrinks) {
    Canvas src, dst;
    PaintHalves(src);
    ASSERT_TRUE(dst.Create(40, 30, kWhite));
    src.CopyArea({.destDC = dst.DeviceContext(), .destWidth = 10, .destHeight = 5,
                  .srcWidth = 20, .srcHeight = 10});
    EXPECT_TRUE(Near(dst.GetPixel(1, 2), kRed, 8));
    EXPECT_TRUE(Near(dst.GetPixel(8, 2), kBlue, 8));
    EXPECT_EQ(dst.GetPixel(10, 2), kWhite);
    EXPECT_EQ(dst.GetPixel(1, 5), kWhite);
}

TEST(CopyArea, EnlargingRepeatsPixelsEvenAfterAShrinkOnTheSameCanvas) {
    // The magnifiers enlarge a canvas onto itself; smoothing left over from an
    // earlier shrink on that DC would blur them.
    Canvas c;
    PaintHalves(c);
    c.CopyArea({.destWidth = 4, .destHeight = 2, .srcWidth = 20, .srcHeight = 10});
    FillHalves(c);
    // Row 0, columns 9 (red) and 10 (blue), enlarged 4x into the top-left corner.
    c.CopyArea({.destWidth = 8, .destHeight = 4, .srcX = 9, .srcWidth = 2, .srcHeight = 1});
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            EXPECT_EQ(c.GetPixel(x, y), kRed) << x << "," << y;
            EXPECT_EQ(c.GetPixel(x + 4, y), kBlue) << x + 4 << "," << y;
        }
    }
}

TEST(CopyArea, NothingHappensWithoutASurface) {
    Canvas notCreated, dst;
    ASSERT_TRUE(dst.Create(5, 5, kGreen));
    EXPECT_FALSE(notCreated.CopyArea({.destDC = dst.DeviceContext()}));
    EXPECT_EQ(CountColor(dst, {0, 0, 5, 5}, kGreen), 25);
}

// ---------------------------------------------------------- ShowInWindow --

namespace {
class TestWindow {
public:
    TestWindow(int clientWidth, int clientHeight) {
        WNDCLASSA wc{};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "CanvasDrawTestWindow";
        RegisterClassA(&wc);  // a second registration fails harmlessly
        hwnd_ = CreateWindowExA(0, wc.lpszClassName, "canvas", WS_POPUP, 100, 100, clientWidth,
                                clientHeight, nullptr, nullptr, wc.hInstance, nullptr);
        if (!hwnd_) return;
        ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
        UpdateWindow(hwnd_);
        HDC dc = GetDC(hwnd_);
        RECT r{0, 0, clientWidth, clientHeight};
        HBRUSH grey = CreateSolidBrush(0x808080);
        ::FillRect(dc, &r, grey);
        DeleteObject(grey);
        ReleaseDC(hwnd_, dc);
    }
    ~TestWindow() {
        if (hwnd_) DestroyWindow(hwnd_);
    }
    HWND Handle() const { return hwnd_; }
    COLORREF Pixel(int x, int y) const {
        HDC dc = GetDC(hwnd_);
        const COLORREF c = ::GetPixel(dc, x, y);
        ReleaseDC(hwnd_, dc);
        return c;
    }

private:
    HWND hwnd_ = nullptr;
};
}  // namespace

TEST(CanvasDrawWindow, ShowInWindowCopiesUnscaledOrStretched) {
    TestWindow w(60, 40);
    ASSERT_NE(w.Handle(), nullptr);
    Canvas c;
    ASSERT_TRUE(c.Create(30, 20, kRed));
    c.SetPixel(29, 19, kBlue);

    c.ShowInWindow(w.Handle(), std::nullopt, false);
    EXPECT_EQ(w.Pixel(0, 0), kRed);
    EXPECT_EQ(w.Pixel(29, 19), kBlue);
    EXPECT_EQ(w.Pixel(30, 20), 0x808080u);  // outside the canvas: untouched

    c.ShowInWindow(w.Handle(), std::nullopt, true);  // whole client area, 2x
    EXPECT_EQ(w.Pixel(58, 38), kBlue);
    EXPECT_EQ(w.Pixel(59, 39), kBlue);
    EXPECT_EQ(w.Pixel(57, 37), kRed);
}

TEST(CanvasDrawWindow, ShowInWindowWithATransparentColourKeepsTheWindowThere) {
    TestWindow w(60, 40);
    ASSERT_NE(w.Handle(), nullptr);
    Canvas c;
    ASSERT_TRUE(c.Create(30, 20, kWhite));
    c.BrushColor(kRed);
    c.FillRect(0, 0, 10, 10);
    c.ShowInWindow(w.Handle(), kWhite, false);
    EXPECT_EQ(w.Pixel(5, 5), kRed);
    EXPECT_EQ(w.Pixel(20, 15), 0x808080u);
    c.ShowInWindow(w.Handle(), kWhite, true);
    EXPECT_EQ(w.Pixel(19, 19), kRed);  // 10 x 10 red became 20 x 20
    EXPECT_EQ(w.Pixel(21, 5), 0x808080u);
}
