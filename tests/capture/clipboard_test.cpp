// Pictures through the real clipboard: the board out as a bitmap, bitmaps
// back as BMP file bytes, low colour depths, text-only clipboards, and a
// board made from the clipboard's picture.

#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "app/palette.h"
#include "board/board.h"
#include "board/board_state.h"
#include "capture/clipboard.h"
#include "graphics/canvas.h"
#include "support/board_fixture.h"
#include "window/screen.h"

using namespace board_test;

namespace {

void PutTextOnClipboard(const char* text) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    const std::size_t n = std::strlen(text) + 1;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, n);
    std::memcpy(GlobalLock(block), text, n);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

void PutBitmapOnClipboard(HBITMAP bitmap) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    SetClipboardData(CF_BITMAP, bitmap);
    CloseClipboard();
}

// A device-compatible bitmap of `canvas`'s pixels.
HBITMAP BitmapOf(Canvas& canvas) {
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, canvas.Width(), canvas.Height());
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, canvas.Width(), canvas.Height(), canvas.DeviceContext(), 0, 0, SRCCOPY);
    SelectObject(dc, old);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return bitmap;
}

class Clipboard : public BoardTest {};

}  // namespace

TEST_F(Clipboard, CopyingTheBoardPutsABitmapOfBoardSizeThatReadsBackTheSame) {
    const std::string path = TempPath("clip_source_70x40.bmp");
    ASSERT_TRUE(WriteBytes(path, SolidBmp(70, 40, RGB(200, 100, 50), RGB(0, 0, 255))));
    ASSERT_TRUE(OpenPictureBoardFile(path));
    ASSERT_TRUE(WaitForBoardReady(10000));
    OnBoard([](DrawingBoard& b) { b.Shown().SetPixel(69, 39, RGB(0, 255, 0)); });

    SendToBoard(WM_COMMAND, 123, 0);  // "复制到剪贴板"

    ASSERT_TRUE(OpenClipboard(nullptr));
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP bm{};
    const bool got = bitmap != nullptr && GetObjectA(bitmap, sizeof(bm), &bm) == sizeof(bm);
    CloseClipboard();
    ASSERT_TRUE(got);
    EXPECT_EQ(bm.bmWidth, 70);
    EXPECT_EQ(bm.bmHeight, 40);

    const std::vector<std::uint8_t> bytes = ReadClipboardPicture();
    const BmpInfo info = ReadBmpInfo(bytes);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.width, 70);
    EXPECT_EQ(info.height, 40);
    EXPECT_EQ(info.pixelOffset, 54u);
    EXPECT_EQ(info.fileSize, 54u + info.imageSize);
    EXPECT_EQ(bytes.size(), info.fileSize);
    EXPECT_GE(info.bitCount, 16);
    std::vector<std::uint8_t> shown;
    OnBoard([&shown](DrawingBoard& b) { shown = b.Shown().ToBmpBytes(); });
    for (int y = 0; y < 40; y += 3)
        for (int x = 0; x < 70; x += 3)
            ASSERT_EQ(BmpPixel(bytes, x, y), BmpPixel(shown, x, y)) << x << "," << y;
    EXPECT_EQ(BmpPixel(bytes, 0, 0), RGB(0, 0, 255));
    EXPECT_EQ(BmpPixel(bytes, 69, 39), RGB(0, 255, 0));
}

TEST_F(Clipboard, CopyingAGivenCanvasUsesItsSizeAndOwner) {
    Canvas canvas;
    ASSERT_TRUE(canvas.Create(33, 21, RGB(9, 8, 7)));
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    EXPECT_TRUE(CopyCanvasToClipboard(owner, canvas));
    EXPECT_EQ(GetClipboardOwner(), owner);
    const std::vector<std::uint8_t> bytes = ReadClipboardPicture();
    const BmpInfo info = ReadBmpInfo(bytes);
    EXPECT_EQ(info.width, 33);
    EXPECT_EQ(info.height, 21);
    EXPECT_EQ(BmpPixel(bytes, 16, 10), RGB(9, 8, 7));
    DestroyWindow(owner);
}

TEST_F(Clipboard, AnUncreatedCanvasLeavesTheClipboardAlone) {
    PutTextOnClipboard("keep me");
    Canvas nothing;
    EXPECT_FALSE(CopyCanvasToClipboard(nullptr, nothing));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_TEXT));
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_BITMAP));
}

TEST_F(Clipboard, AskedSizeIsCutToTheCanvasAndAGoneOwnerIsNone) {
    Canvas canvas;
    ASSERT_TRUE(canvas.Create(30, 20, RGB(1, 2, 3)));
    HWND gone = CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleA(nullptr), nullptr);
    DestroyWindow(gone);
    EXPECT_TRUE(CopyCanvasToClipboard(gone, canvas, SIZE{500, 12}));
    EXPECT_EQ(GetClipboardOwner(), nullptr);
    const BmpInfo info = ReadBmpInfo(ReadClipboardPicture());
    EXPECT_EQ(info.width, 30);
    EXPECT_EQ(info.height, 12);
}

TEST_F(Clipboard, TextOnlyReadsEmptyAndPasteChangesNothing) {
    PutTextOnClipboard("just text");
    EXPECT_TRUE(ReadClipboardPicture().empty());
    SetCurrentToolDirectly(ToolEllipse);
    EXPECT_FALSE(PasteClipboardBoard());
    EXPECT_FALSE(BoardExists());
    EXPECT_EQ(CurrentTool(), ToolEllipse);

    // Nor does it touch a board that is open.
    HWND board = CaptureBoard();
    const std::vector<std::uint8_t> base = StartPictureBytes();
    PutTextOnClipboard("still text");
    EXPECT_FALSE(PasteClipboardBoard());
    EXPECT_EQ(BoardWindow.load(), board);
    EXPECT_EQ(StartPictureBytes(), base);
    EXPECT_EQ(LiveBoardSize().cx, ScreenSize.cx);
}

TEST_F(Clipboard, PasteMakesACentredBoardOfTheClipboardPicture) {
    Canvas source;
    ASSERT_TRUE(source.Create(40, 20, RGB(10, 160, 90)));
    source.SetPixel(0, 0, RGB(255, 0, 0));
    PutBitmapOnClipboard(BitmapOf(source));

    ASSERT_TRUE(PasteClipboardBoard());
    ASSERT_TRUE(WaitForBoardReady(10000));
    RECT r{};
    GetWindowRect(BoardWindow.load(), &r);
    EXPECT_EQ(r.left, (ScreenSize.cx - 40) / 2);
    EXPECT_EQ(r.top, (ScreenSize.cy - 20) / 2);
    EXPECT_EQ(r.right - r.left, 40);
    EXPECT_EQ(r.bottom - r.top, 20);
    EXPECT_EQ(BoardPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(BackPixel(20, 10), RGB(10, 160, 90));
    EXPECT_EQ(ReadBmpInfo(StartPictureBytes()).width, 40);
    EXPECT_EQ(CurrentTool(), ToolMoveBoard);

    // Pasting again refills the same window with the new picture.
    HWND board = BoardWindow.load();
    Canvas second;
    ASSERT_TRUE(second.Create(60, 30, RGB(1, 1, 200)));
    PutBitmapOnClipboard(BitmapOf(second));
    ASSERT_TRUE(PasteClipboardBoard());
    EXPECT_EQ(BoardWindow.load(), board);
    GetWindowRect(board, &r);
    EXPECT_EQ(r.left, (ScreenSize.cx - 60) / 2);
    EXPECT_EQ(r.right - r.left, 60);
    EXPECT_EQ(BoardPixel(30, 15), RGB(1, 1, 200));
}

TEST_F(Clipboard, MonochromeBitmapReadsAs32BitColour) {
    // 16 x 2 pixels, one bit each: the top row alternates, the bottom is set.
    const WORD rows[2] = {0x55AA, 0xFFFF};
    HBITMAP bitmap = CreateBitmap(16, 2, 1, 1, rows);
    ASSERT_NE(bitmap, nullptr);
    const std::vector<std::uint8_t> bytes = BitmapToBmpFile(bitmap);
    DeleteObject(bitmap);
    const BmpInfo info = ReadBmpInfo(bytes);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.bitCount, 32);
    EXPECT_EQ(info.width, 16);
    EXPECT_EQ(info.height, 2);
    EXPECT_EQ(info.imageSize, 16u * 2u * 4u);
    EXPECT_EQ(info.fileSize, 54u + info.imageSize);
    EXPECT_EQ(bytes.size(), info.fileSize);
    // 0xAA then 0x55 (bytes of the word in memory order), most significant bit first.
    EXPECT_EQ(BmpPixel(bytes, 0, 0), RGB(255, 255, 255));
    EXPECT_EQ(BmpPixel(bytes, 1, 0), RGB(0, 0, 0));
    EXPECT_EQ(BmpPixel(bytes, 8, 0), RGB(0, 0, 0));
    EXPECT_EQ(BmpPixel(bytes, 9, 0), RGB(255, 255, 255));
    EXPECT_EQ(BmpPixel(bytes, 5, 1), RGB(255, 255, 255));
    // And the picture loader takes it as it is.
    EXPECT_EQ(Canvas::PictureWidth(bytes), 16);
}

TEST_F(Clipboard, EightBitPaletteBitmapReadsAs32BitColour) {
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[256];
    } info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = 4;
    info.header.biHeight = 3;
    info.header.biPlanes = 1;
    info.header.biBitCount = 8;
    info.header.biCompression = BI_RGB;
    info.colors[1] = RGBQUAD{0x10, 0xC0, 0x20, 0};  // blue, green, red
    info.colors[2] = RGBQUAD{0xF0, 0x00, 0x80, 0};
    void* bits = nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    DeleteDC(dc);
    ASSERT_NE(bitmap, nullptr);
    auto* px = static_cast<std::uint8_t*>(bits);
    std::memset(px, 1, 4 * 3);  // rows are 4 bytes: no padding
    px[0] = 2;                   // bottom-left pixel (rows stored bottom-up)
    GdiFlush();
    const std::vector<std::uint8_t> bytes = BitmapToBmpFile(bitmap);
    DeleteObject(bitmap);
    const BmpInfo read = ReadBmpInfo(bytes);
    ASSERT_TRUE(read.ok);
    EXPECT_EQ(read.bitCount, 32);
    EXPECT_EQ(read.fileSize, 54u + read.imageSize);
    EXPECT_EQ(BmpPixel(bytes, 1, 1), RGB(0x20, 0xC0, 0x10));
    EXPECT_EQ(BmpPixel(bytes, 0, 2), RGB(0x80, 0x00, 0xF0));
}

TEST(ClipboardBmp, AssembledFileHasTheFixedHeaderLayout) {
    BITMAPINFOHEADER h{};
    h.biWidth = 2;
    h.biHeight = 1;
    h.biPlanes = 1;
    h.biBitCount = 24;
    h.biSizeImage = 8;
    const std::vector<std::uint8_t> pixels(8, 0x7F);
    const std::vector<std::uint8_t> file = AssembleBmpFile(h, pixels);
    ASSERT_EQ(file.size(), 62u);
    EXPECT_EQ(file[0], 'B');
    EXPECT_EQ(file[1], 'M');
    EXPECT_EQ(file[2], 62);
    EXPECT_EQ(file[10], 54);
    EXPECT_EQ(file[14], 40);  // header size filled in
    EXPECT_EQ(file[54], 0x7F);
    EXPECT_EQ(DibImageSize(2, 1, 24), 8u);   // rows padded to 4 bytes
    EXPECT_EQ(DibImageSize(16, 2, 1), 8u);
    EXPECT_EQ(DibImageSize(0, 5, 32), 0u);
    EXPECT_EQ(DibImageSize(70000, 70000, 32), 0u);  // beyond a BMP's size field
}
