// The board from the screen and from picture files: size, position, what it
// shows, clearing, closing, and bad files that must change nothing.

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/board_listener.h"
#include "app/palette.h"
#include "board/board.h"
#include "board/board_menu.h"
#include "board/board_state.h"
#include "board/board_text.h"
#include "board/commands.h"
#include "board/pointer.h"
#include "board/tools/text_tool.h"
#include "graphics/canvas.h"
#include "settings/settings.h"
#include "support/board_fixture.h"
#include "window/menus.h"
#include "window/screen.h"

using namespace board_test;

namespace {

constexpr COLORREF kPatchRed = RGB(230, 20, 30);
constexpr COLORREF kPatchBlue = RGB(20, 40, 220);
constexpr RECT kPatchRect{300, 200, 500, 320};

RECT BoardRect() {
    RECT r{};
    GetWindowRect(BoardWindow.load(), &r);
    return r;
}

// A PNG that states 30000 x 30000 pixels in its header (only the header is
// there: it must be refused before anything tries to decode it).
std::vector<std::uint8_t> HugePngHeader() {
    std::vector<std::uint8_t> b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A,
                                   0, 0, 0, 13, 'I', 'H', 'D', 'R'};
    auto be32 = [&b](std::uint32_t v) {
        for (int i = 3; i >= 0; --i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
    };
    be32(30000);
    be32(30000);
    b.insert(b.end(), {8, 6, 0, 0, 0});
    be32(0);  // CRC (not checked before the size is refused)
    return b;
}

class BoardCreation : public BoardTest {};

}  // namespace

TEST_F(BoardCreation, CaptureMakesScreenSizedBoardOfWhatTheScreenShowed) {
    ColorPatch patch(kPatchRect, kPatchRed);
    ASSERT_TRUE(patch.Shown());
    HWND board = CaptureBoard();
    ASSERT_NE(board, nullptr);

    // A borderless, screen-sized window at the screen's corner.
    const RECT r = BoardRect();
    EXPECT_EQ(r.left, 0);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(r.right - r.left, ScreenSize.cx);
    EXPECT_EQ(r.bottom - r.top, ScreenSize.cy);
    EXPECT_EQ(LiveBoardSize().cx, ScreenSize.cx);
    EXPECT_EQ(LiveBoardSize().cy, ScreenSize.cy);
    char title[64] = {};
    GetWindowTextA(board, title, sizeof(title));
    EXPECT_STREQ(title, "画板");
    EXPECT_EQ(GetWindowLongA(board, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
    EXPECT_NE(GetWindowLongA(board, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_TRUE(IsWindowVisible(board));

    // The starting picture is the screen, the patch in its place; as a BMP
    // file image it is a 32-bit one of the screen's size.
    const std::vector<std::uint8_t> start = StartPictureBytes();
    const BmpInfo info = ReadBmpInfo(start);
    ASSERT_TRUE(info.ok);
    EXPECT_EQ(info.bitCount, 32);
    EXPECT_EQ(info.width, ScreenSize.cx);
    EXPECT_EQ(info.height, ScreenSize.cy);
    EXPECT_EQ(info.fileSize, start.size());
    EXPECT_EQ(BmpPixel(start, 400, 260), kPatchRed);
    EXPECT_EQ(BmpPixel(start, kPatchRect.left, kPatchRect.top), kPatchRed);
    EXPECT_NE(BmpPixel(start, kPatchRect.left - 1, kPatchRect.top), kPatchRed);

    // What the board shows is that picture, committed as the drawing.
    EXPECT_EQ(BoardPixel(400, 260), kPatchRed);
    EXPECT_TRUE(BoardMatchesBack());
    EXPECT_EQ(BoardMenu() != nullptr, true);
}

TEST_F(BoardCreation, CaptureAppliesTheSettingsToBothCanvases) {
    Settings.penWidth = 3;
    Settings.penColor = 0x00AA00;
    Settings.brushColor = 0x123456;
    Settings.brushType = kBrushCross;
    Settings.textColor = 0x0000AA;
    Settings.backColor = 0x00FFFF;
    CaptureBoard();
    OnBoard([](DrawingBoard& b) {
        for (Canvas* c : {&b.Shown(), &b.Committed()}) {
            EXPECT_EQ(c->PenWidth(), 3);
            EXPECT_EQ(c->PenColor(), 0x00AA00u);
            EXPECT_EQ(c->BrushColor(), 0x123456u);
            EXPECT_EQ(c->BrushStyle(), kBrushCross);
            EXPECT_EQ(c->TextColor(), 0x0000AAu);
            EXPECT_FALSE(c->TextTransparent());
            EXPECT_EQ(c->TextBackColor(), 0x00FFFFu);
        }
    });
}

TEST_F(BoardCreation, InputBeforeTheDrawingIsMadeIsDrawnKeptAndUndone) {
    // A board is shown from its starting picture and makes its drawing just
    // after; a stroke sent while it is still being opened must find the
    // drawing made, survive that later step and be one undo step.
    struct EarlyStroke : ProgramBoardEvents {
        bool Opened(HWND board) override {
            Drag(POINT{100, 100}, POINT{300, 100});
            return ProgramBoardEvents::Opened(board);
        }
    };
    static EarlyStroke early;
    Settings.penColor = kPatchBlue;
    Settings.penWidth = 5;
    InstallBoardEvents(&early);
    CaptureBoard();
    InstallProgramBoardEvents();
    const COLORREF before = BmpPixel(StartPictureBytes(), 200, 100);
    ASSERT_NE(before, kPatchBlue);
    EXPECT_EQ(BoardPixel(200, 100), kPatchBlue);
    EXPECT_TRUE(BoardMatchesBack());
    EXPECT_EQ(ScreenPixel(200, 100), kPatchBlue);
    OnBoard([](DrawingBoard& b) { EXPECT_TRUE(UndoOnBoard(b, false)); });
    EXPECT_EQ(BackPixel(200, 100), before);
}

TEST_F(BoardCreation, CaptureWhileABoardExistsOnlyRehighlightsThePreviousCell) {
    HWND first = CaptureBoard();
    ASSERT_NE(first, nullptr);
    SelectCell(7);
    SelectCell(1);  // the capture cell, as a click on it selects it
    const std::vector<std::uint8_t> base = StartPictureBytes();
    CaptureToBoard();
    EXPECT_EQ(BoardWindow.load(), first);
    EXPECT_EQ(SelectedCell(), 7);
    EXPECT_EQ(StartPictureBytes(), base);
}

TEST_F(BoardCreation, CaptureWaitsTheCaptureDelay) {
    Settings.captureDelay = 400;
    const ULONGLONG start = GetTickCount64();
    CaptureToBoard();
    EXPECT_TRUE(WaitForBoardReady(10000));
    EXPECT_GE(GetTickCount64() - start, 400u);
}

TEST_F(BoardCreation, ClosingAndCapturingAgainCapturesTheCurrentScreen) {
    ColorPatch patch(kPatchRect, kPatchRed);
    CaptureBoard();
    EXPECT_EQ(BoardPixel(400, 260), kPatchRed);
    CloseBoard();
    ASSERT_TRUE(WaitForBoardGone(5000));

    ASSERT_TRUE(patch.Recolor(kPatchBlue));
    CaptureBoard();
    EXPECT_EQ(BoardPixel(400, 260), kPatchBlue);
    EXPECT_EQ(BmpPixel(StartPictureBytes(), 400, 260), kPatchBlue);
}

TEST_F(BoardCreation, CloseSavesSettingsAndLeavesNothingBehind) {
    CaptureBoard();
    PressKey('X');  // the eraser keeps a picture canvas while it is current
    EXPECT_TRUE(PictureCanvasCreated());
    Settings.penWidth = 9;
    CloseBoard();
    ASSERT_TRUE(WaitForBoardGone(5000));
    EXPECT_EQ(BoardWindow.load(), nullptr);
    EXPECT_EQ(BoardMenu(), nullptr);
    EXPECT_EQ(CurrentTool(), ToolPen);
    EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(PaletteCommand::Pen));
    EXPECT_EQ(GetPrivateProfileIntA("属性", "画笔粗细", -1, configPath_.c_str()), 9);
}

TEST_F(BoardCreation, ClearAfterDrawingShowsTheStartingPictureAgain) {
    ColorPatch patch(kPatchRect, kPatchRed);
    CaptureBoard();
    SetSetting(SettingCode::PenWidth, 5);
    SetSetting(SettingCode::PenColor, 0x00FF00);
    PressKey('P');
    Drag({320, 260}, {480, 260});
    ASSERT_EQ(BackPixel(400, 260), 0x00FF00u);  // the stroke is committed

    PressKey(VK_ESCAPE);
    EXPECT_EQ(BoardPixel(400, 260), kPatchRed);
    EXPECT_EQ(BackPixel(400, 260), kPatchRed);
    EXPECT_TRUE(BoardMatchesBack());
    // The clear is transient: the pen is current again, its cell highlighted.
    EXPECT_EQ(CurrentTool(), ToolPen);
    EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(PaletteCommand::Pen));
}

TEST_F(BoardCreation, ClearBringsBackTheToolEvenWhenTheSelectedCellWasNoTool) {
    CaptureBoard();
    PressKey('Y');  // rounded rectangle, a right-button tool of cell 7
    SelectCell(PaletteCellOfCommand(PaletteCommand::Capture));  // e.g. the capture cell was clicked since
    PressKey(VK_ESCAPE);
    EXPECT_EQ(CurrentTool(), ToolRoundRect);
    EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(PaletteCommand::Rectangle));
}

TEST_F(BoardCreation, ClearWithoutABoardOnlySelectsTheClearingTool) {
    const ULONGLONG start = GetTickCount64();
    ClearBoard();
    EXPECT_LT(GetTickCount64() - start, 2000u);  // no wait for a board that is not there
    EXPECT_EQ(CurrentTool(), ToolClearing);
    EXPECT_FALSE(BoardExists());
}

TEST_F(BoardCreation, PictureFileGivesACentredBoardOfItsSizeNewOrReused) {
    const std::string path = TempPath("picture_50x30.bmp");
    ASSERT_TRUE(WriteBytes(path, SolidBmp(50, 30, RGB(0, 128, 255), RGB(255, 0, 0))));
    ASSERT_TRUE(OpenPictureBoardFile(path));
    ASSERT_TRUE(WaitForBoardReady(10000));
    HWND board = BoardWindow.load();
    RECT r = BoardRect();
    EXPECT_EQ(r.left, (ScreenSize.cx - 50) / 2);
    EXPECT_EQ(r.top, (ScreenSize.cy - 30) / 2);
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(r.bottom - r.top, 30);
    OnBoard([](DrawingBoard& b) {
        EXPECT_EQ(b.Shown().Width(), 50);
        EXPECT_EQ(b.Committed().Height(), 30);
    });
    EXPECT_EQ(BoardPixel(0, 0), RGB(255, 0, 0));  // not upside down
    EXPECT_EQ(BoardPixel(25, 15), RGB(0, 128, 255));
    EXPECT_EQ(CurrentTool(), ToolMoveBoard);
    EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(PaletteCommand::MoveBoard));

    // A second picture while the board is open refills the same window.
    SetCurrentToolDirectly(ToolPen);
    const std::string second = TempPath("picture_50x30_green.bmp");
    ASSERT_TRUE(WriteBytes(second, SolidBmp(50, 30, RGB(0, 200, 0))));
    ASSERT_TRUE(OpenPictureBoardFile(second));
    EXPECT_EQ(BoardWindow.load(), board);
    r = BoardRect();
    EXPECT_EQ(r.left, (ScreenSize.cx - 50) / 2);
    EXPECT_EQ(r.top, (ScreenSize.cy - 30) / 2);
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(BoardPixel(0, 0), RGB(0, 200, 0));
    EXPECT_EQ(BackPixel(49, 29), RGB(0, 200, 0));
    EXPECT_EQ(CurrentTool(), ToolMoveBoard);
}

TEST_F(BoardCreation, ReusedBoardTakesANewSizeAndPosition) {
    CaptureBoard();
    HWND board = BoardWindow.load();
    const std::string path = TempPath("picture_200x100.bmp");
    ASSERT_TRUE(WriteBytes(path, SolidBmp(200, 100, RGB(10, 20, 30))));
    ASSERT_TRUE(OpenPictureBoardFile(path));
    EXPECT_EQ(BoardWindow.load(), board);
    const RECT r = BoardRect();
    EXPECT_EQ(r.left, (ScreenSize.cx - 200) / 2);
    EXPECT_EQ(r.top, (ScreenSize.cy - 100) / 2);
    EXPECT_EQ(r.right - r.left, 200);
    EXPECT_EQ(r.bottom - r.top, 100);
    EXPECT_EQ(LiveBoardSize().cx, 200);
    EXPECT_EQ(LiveBoardSize().cy, 100);
    EXPECT_TRUE(BoardMatchesBack());
}

TEST_F(BoardCreation, PictureLargerThanTheScreenGetsANegativePosition) {
    const int w = ScreenSize.cx + 80;
    const int h = ScreenSize.cy + 121;
    const std::string path = TempPath("picture_large.bmp");
    ASSERT_TRUE(WriteBytes(path, SolidBmp(w, h, RGB(90, 90, 90))));
    ASSERT_TRUE(OpenPictureBoardFile(path));
    ASSERT_TRUE(WaitForBoardReady(10000));
    const RECT r = BoardRect();
    EXPECT_EQ(r.left, -40);
    EXPECT_EQ(r.top, (ScreenSize.cy - h) / 2);  // -60: halves truncate toward zero
    EXPECT_EQ(r.top, -60);
    EXPECT_EQ(r.right - r.left, w);
    EXPECT_EQ(r.bottom - r.top, h);
}

TEST_F(BoardCreation, FilesThatCannotBecomeABoardChangeNothing) {
    const std::string garbage = TempPath("not_a_picture.png");
    ASSERT_TRUE(WriteBytes(garbage, {'n', 'o', 't', ' ', 'a', ' ', 'p', 'n', 'g'}));
    const std::string huge = TempPath("huge.png");
    ASSERT_TRUE(WriteBytes(huge, HugePngHeader()));
    const std::string empty = TempPath("empty.bmp");
    ASSERT_TRUE(WriteBytes(empty, {}));
    const std::string missing = TempPath("no_such_file.bmp");
    DeleteFileA(missing.c_str());

    // Without a board: no board appears, the tool stays.
    SetCurrentToolDirectly(ToolLine);
    for (const std::string& path : {garbage, huge, empty, missing}) {
        EXPECT_FALSE(OpenPictureBoardFile(path)) << path;
        EXPECT_FALSE(BoardExists());
        EXPECT_EQ(CurrentTool(), ToolLine);
    }

    // With a board: the board stays exactly as it was.
    const std::string path = TempPath("picture_64x48.bmp");
    ASSERT_TRUE(WriteBytes(path, SolidBmp(64, 48, RGB(1, 2, 3))));
    ASSERT_TRUE(OpenPictureBoardFile(path));
    ASSERT_TRUE(WaitForBoardReady(10000));
    const std::vector<std::uint8_t> base = StartPictureBytes();
    const RECT before = BoardRect();
    for (const std::string& bad : {garbage, huge, empty, missing}) {
        EXPECT_FALSE(OpenPictureBoardFile(bad)) << bad;
        EXPECT_EQ(StartPictureBytes(), base);
        EXPECT_EQ(LiveBoardSize().cx, 64);
        OnBoard([](DrawingBoard& b) {
            EXPECT_EQ(b.Shown().Width(), 64);
            EXPECT_EQ(b.Committed().Height(), 48);
        });
        const RECT now = BoardRect();
        EXPECT_EQ(now.left, before.left);
        EXPECT_EQ(now.right, before.right);
        EXPECT_EQ(BoardPixel(10, 10), RGB(1, 2, 3));
    }
}

TEST_F(BoardCreation, ToolSwitchFromAnotherThreadRunsOnTheBoardThread) {
    CaptureBoard();
    HWND board = BoardWindow.load();
    SelectTool(ToolText);  // from the test (toolbox) thread
    int lineHeight = 0;
    OnBoard([&lineHeight](DrawingBoard& b) {
        EXPECT_TRUE(b.state.textToolActive);
        lineHeight = BoardTextTool(b).LineHeight();
        EXPECT_EQ(lineHeight, b.Shown().TextHeight("A"));
    });
    // A click opens a text box: its caret, as tall as a line, is the board
    // thread's, never this one's.
    SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(50, 60));
    SendToBoard(WM_LBUTTONUP, 0, MAKELPARAM(50, 60));
    GUITHREADINFO boardInfo{};
    boardInfo.cbSize = sizeof(boardInfo);
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(board, nullptr), &boardInfo));
    EXPECT_EQ(boardInfo.hwndCaret, board);
    EXPECT_EQ(boardInfo.rcCaret.bottom - boardInfo.rcCaret.top, lineHeight);
    EXPECT_EQ(boardInfo.rcCaret.left, 50);
    GUITHREADINFO mine{};
    mine.cbSize = sizeof(mine);
    ASSERT_TRUE(GetGUIThreadInfo(GetCurrentThreadId(), &mine));
    EXPECT_EQ(mine.hwndCaret, nullptr);
}

TEST_F(BoardCreation, EyedropperShowsThePaletteInTheMiddleAtOnce) {
    CaptureBoard();
    PressKey('I');
    // The spectrum's middle row is the hue circle; its top-left corner white.
    const int left = (LiveBoardSize().cx - 200) / 2;
    const int top = (LiveBoardSize().cy - 200) / 2;
    const COLORREF corner = BoardPixel(left + 1, top + 1);
    EXPECT_GT(GetRValue(corner), 220);
    EXPECT_GT(GetGValue(corner), 220);
    EXPECT_GT(GetBValue(corner), 220);
    EXPECT_NE(BoardPixel(left + 100, top + 100), BackPixel(left + 100, top + 100));
    // Choosing another tool takes the palette away again.
    PressKey('L');
    EXPECT_TRUE(BoardMatchesBack());
}

TEST_F(BoardCreation, LeavingTheCurveCommitsItAndLeavingTheEraserCommitsNoPreview) {
    CaptureBoard();
    PressKey('Q');
    ASSERT_TRUE(PictureCanvasCreated());
    // Something drawn on the board canvas only, as the curve leaves its pieces.
    OnBoard([](DrawingBoard& b) {
        b.Shown().PenColor(0x0000FF);
        b.Shown().PenWidth(3);
        b.Shown().Line(100, 100, 200, 100);
        BoardPointerContext(b).Drew(RECT{97, 97, 204, 104});  // as a tool reports it
    });
    PressKey('L');
    EXPECT_EQ(BackPixel(150, 100), 0x0000FFu);
    EXPECT_FALSE(PictureCanvasCreated());

    PressKey('X');
    ASSERT_TRUE(PictureCanvasCreated());
    // An eraser hover square lives on the board canvas only; it must not stay.
    const COLORREF under = BackPixel(300, 400);
    OnBoard([](DrawingBoard& b) {
        b.Shown().PenColor(0x000000);
        b.Shown().Line(290, 400, 310, 400);
    });
    PressKey('L');
    EXPECT_EQ(BackPixel(300, 400), under);
    EXPECT_FALSE(PictureCanvasCreated());
}

TEST(BoardGeometry, CentredPositionTruncatesTowardZero) {
    EXPECT_EQ(CenteredBoardPosition({1920, 1080}, {50, 30}).x, 935);
    EXPECT_EQ(CenteredBoardPosition({1920, 1080}, {50, 30}).y, 525);
    EXPECT_EQ(CenteredBoardPosition({1920, 1080}, {1921, 1083}).x, 0);   // -0.5 -> 0
    EXPECT_EQ(CenteredBoardPosition({1920, 1080}, {1921, 1083}).y, -1);  // -1.5 -> -1
    EXPECT_EQ(CenteredBoardPosition({1920, 1080}, {1920, 1080}).x, 0);
}

// ---- the open dialog, driven from a helper thread ----

namespace {

struct DialogDriver {
    std::string path;             // typed into the file name box; empty: cancel
    std::vector<std::string> filterItems;
    std::atomic<bool> found{false};
};

BOOL CALLBACK FindDialog(HWND window, LPARAM result) {
    char cls[32] = {};
    GetClassNameA(window, cls, sizeof(cls));
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (std::string(cls) == "#32770" && pid == GetCurrentProcessId() && IsWindowVisible(window)) {
        *reinterpret_cast<HWND*>(result) = window;
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI DriveOpenDialog(LPVOID param) {
    auto* d = static_cast<DialogDriver*>(param);
    const ULONGLONG deadline = GetTickCount64() + 15000;
    HWND dialog = nullptr;
    while (dialog == nullptr && GetTickCount64() < deadline) {
        EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&dialog));
        if (dialog == nullptr) Sleep(50);
    }
    if (dialog == nullptr) return 1;
    d->found = true;
    Sleep(200);  // let the dialog finish filling its controls
    HWND types = GetDlgItem(dialog, 0x470);  // cmb1: the file type list
    const int count = static_cast<int>(SendMessageA(types, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[256] = {};
        SendMessageA(types, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        d->filterItems.emplace_back(text);
    }
    if (!d->path.empty()) {
        SetDlgItemTextA(dialog, 0x47C, d->path.c_str());  // cmb13: the file name box
        PostMessageA(dialog, WM_COMMAND, IDOK, 0);
    } else {
        PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    // Never leave it open: keep asking until it is gone.
    while (IsWindow(dialog) && GetTickCount64() < deadline) {
        Sleep(200);
        if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    }
    return 0;
}

// The open command with `d` answering its dialog; true when the dialog was
// found (and so answered).
bool OpenThroughDialog(DialogDriver& d) {
    HANDLE thread = CreateThread(nullptr, 0, &DriveOpenDialog, &d, 0, nullptr);
    OpenPictureBoard();
    WaitForSingleObject(thread, 20000);
    CloseHandle(thread);
    return d.found;
}

}  // namespace

TEST_F(BoardCreation, CancelledOpenDialogRehighlightsThePreviousCellAndChangesNothing) {
    SelectCell(PaletteCellOfCommand(PaletteCommand::Pie));
    SelectCell(PaletteCellOfCommand(PaletteCommand::Open));  // the open cell, clicked
    SetCurrentToolDirectly(ToolPie);
    DialogDriver driver;
    ASSERT_TRUE(OpenThroughDialog(driver));
    EXPECT_FALSE(BoardExists());
    EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(PaletteCommand::Pie));
    EXPECT_EQ(CurrentTool(), ToolPie);
    // The dialog offers the picture types, all of them first.
    ASSERT_EQ(driver.filterItems.size(), 6u);
    EXPECT_EQ(driver.filterItems[0], "所有图片文件");
    EXPECT_EQ(driver.filterItems[1], "JPG图片");
    EXPECT_EQ(driver.filterItems[4], "GIF图片");
    EXPECT_EQ(driver.filterItems[5], "所有文件");
}

TEST_F(BoardCreation, FileChosenInTheOpenDialogBecomesTheBoard) {
    const std::string path = TempPath("dialog_pick_40x24.bmp");
    ASSERT_TRUE(WriteBytes(path, SolidBmp(40, 24, RGB(250, 200, 0))));
    DialogDriver driver;
    driver.path = path;
    ASSERT_TRUE(OpenThroughDialog(driver));
    ASSERT_TRUE(WaitForBoardReady(10000));
    EXPECT_EQ(LiveBoardSize().cx, 40);
    EXPECT_EQ(LiveBoardSize().cy, 24);
    EXPECT_EQ(BoardPixel(20, 12), RGB(250, 200, 0));
    EXPECT_EQ(CurrentTool(), ToolMoveBoard);
}

TEST_F(BoardCreation, UndecodableFileChosenInTheDialogActsAsACancel) {
    const std::string path = TempPath("dialog_garbage.jpg");
    ASSERT_TRUE(WriteBytes(path, {0xFF, 0xD8, 0xFF, 0x00, 0x01, 0x02}));
    SelectCell(PaletteCellOfCommand(PaletteCommand::Ellipse));
    SelectCell(PaletteCellOfCommand(PaletteCommand::Open));
    DialogDriver driver;
    driver.path = path;
    ASSERT_TRUE(OpenThroughDialog(driver));
    EXPECT_FALSE(BoardExists());
    EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(PaletteCommand::Ellipse));
}
