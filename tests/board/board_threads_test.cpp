// The hand-overs between the toolbox's thread and the board's: a board that
// closes while work is on its way, a font change during a close, F9 again
// during the capture delay and the toolbox going away with a board open.
// Each must end without a crash, without a hang and with every GDI object
// given back.

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/hotkey.h"
#include "app/palette.h"
#include "app/toolbox.h"
#include "board/board.h"
#include "board/board_state.h"
#include "board/board_text.h"
#include "board/commands.h"
#include "board/tools/text_tool.h"
#include "settings/settings.h"
#include "support/board_fixture.h"

using namespace board_test;

namespace {

DWORD GdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

// Board windows of this process (a second board would be a fault).
int BoardWindowCount() {
    struct Count {
        int n = 0;
    } count;
    EnumWindows(
        [](HWND window, LPARAM p) -> BOOL {
            DWORD pid = 0;
            GetWindowThreadProcessId(window, &pid);
            if (pid == GetCurrentProcessId() && BoardOf(window) != nullptr)
                ++reinterpret_cast<Count*>(p)->n;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.n;
}

class BoardThreads : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        // The first board of the process makes what lives as long as the
        // process does (classes, GDI+'s caches): counted from after it.
        ASSERT_NE(CaptureBoard(), nullptr);
        CloseBoard();
        ASSERT_TRUE(WaitForBoardGone(10000));
        gdiBefore_ = GdiObjects();
    }
    void TearDown() override {
        BoardTest::TearDown();
        EXPECT_EQ(GdiObjects(), gdiBefore_) << "GDI objects left behind";
    }
    DWORD gdiBefore_ = 0;
};

constexpr ToolKind kSwitchTools[] = {ToolLine,  ToolEraser, ToolCurve,      ToolText,
                                ToolPen,   ToolFill,   ToolEyedropper, ToolClearing,
                                ToolStar,  ToolMoveBoard};

}  // namespace

TEST_F(BoardThreads, BoardClosingWhileTheToolboxHandsItWork) {
    for (int round = 0; round < 3; ++round) {
        HWND board = CaptureBoard();
        ASSERT_NE(board, nullptr);
        // The board closes itself (its menu's close item) while this thread,
        // standing for the toolbox, keeps handing it work.
        PostMessageA(board, WM_COMMAND, 124, 0);
        const ULONGLONG start = GetTickCount64();
        for (int i = 0; BoardExists() || i < 40; ++i) {
            SelectTool(kSwitchTools[i % std::size(kSwitchTools)]);
            ChangeSetting(SettingCode::PenWidth, 1 + i % 5);
            PostBoardFontChanged();
            WithBoard([](DrawingBoard& b) { b.Shown().GetPixel(1, 1); }, 2000);
            ASSERT_LT(GetTickCount64() - start, 15000u) << "the board never went away";
        }
        ASSERT_TRUE(WaitForBoardGone(10000));
    }
    EXPECT_EQ(BoardWindowCount(), 0);
}

TEST_F(BoardThreads, FontChangedWhileTheBoardClosesIsAppliedOnlyOnTheBoardThread) {
    FontDialogRoutine oldDialog = SetFontDialogRoutine([](HWND, FontSpec& font, COLORREF) {
        font.size = font.size == 9 ? 12 : 9;
        return true;
    });
    for (int round = 0; round < 3; ++round) {
        HWND board = CaptureBoard();
        ASSERT_NE(board, nullptr);
        PressKey('T');  // the text tool is armed: a font change redraws it
        CloseBoard();
        for (int i = 0; i < 30; ++i) ToolboxFontCommand();
        ASSERT_TRUE(WaitForBoardGone(10000));
        for (int i = 0; i < 5; ++i) ToolboxFontCommand();  // no board: nothing to apply
    }
    // A live board takes the last font: the canvas's, and the line height.
    ASSERT_NE(CaptureBoard(), nullptr);
    PressKey('T');
    ToolboxFontCommand();
    const int size = GetTextFont().size;
    OnBoard([size](DrawingBoard& b) {
        EXPECT_EQ(b.Shown().Font().size, size);
        EXPECT_EQ(BoardTextTool(b).LineHeight(), b.Shown().TextHeight("A"));
    });
    SetFontDialogRoutine(oldDialog);
}

TEST_F(BoardThreads, F9AgainDuringTheCaptureDelayMakesOneBoard) {
    Settings.captureDelay = 600;
    const ULONGLONG start = GetTickCount64();
    OnF9();
    EXPECT_LT(GetTickCount64() - start, 300u);  // the delay passes on the board's thread
    WaitUntil([] { return false; }, 150);
    OnF9();  // still waiting for the screen: no second board, no wait here
    EXPECT_LT(GetTickCount64() - start, 500u);
    ASSERT_TRUE(WaitForBoardReady(10000));
    EXPECT_GE(GetTickCount64() - start, 600u);
    WaitUntil([] { return false; }, 200);
    EXPECT_EQ(BoardWindowCount(), 1);
    OnF9();  // now it closes the board
    ASSERT_TRUE(WaitForBoardGone(10000));
    EXPECT_EQ(BoardWindowCount(), 0);
}

namespace {

int g_ends = 0;
void CountEnd(UINT) { ++g_ends; }

}  // namespace

TEST_F(BoardThreads, ToolboxTornDownWhileABoardExistsClosesTheBoardFirst) {
    EndProcessRoutine oldEnd = SetToolboxEndProcessRoutine(&CountEnd);
    g_ends = 0;
    for (int round = 0; round < 3; ++round) {
        // The first toolbox of the process registers its classes and their
        // brushes for good: counted from after it.
        if (round == 1) gdiBefore_ = GdiObjects();
        ASSERT_TRUE(LoadToolbox());
        HWND toolbox = ToolboxWindow.load();
        ASSERT_NE(CaptureBoard(), nullptr);
        PressKey('X');  // a picture canvas as well
        SelectTool(ToolCurve);
        // Gone before the teardown goes on to what the board uses.
        DestroyWindow(toolbox);
        EXPECT_FALSE(BoardExists());
        EXPECT_EQ(BoardWindowCount(), 0);
        EXPECT_TRUE(WaitForBoardGone(1000));
    }
    EXPECT_EQ(g_ends, 3);
    SetToolboxEndProcessRoutine(oldEnd);
}
