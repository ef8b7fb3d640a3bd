// The board's right-button menu: its rows, the command routine driving the
// palette and the board, a real right-button menu dismissed again, and
// "结束程序" in a child process.

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/hotkey.h"
#include "app/palette.h"
#include "board/board.h"
#include "board/board_menu.h"
#include "board/board_state.h"
#include "settings/settings.h"
#include "support/board_fixture.h"
#include "support/menu_rows.h"
#include "window/menus.h"

using namespace board_test;
using menu_test::MenuRowSeen;
using menu_test::RowsOf;

namespace {

const MenuRowSeen kBoardMenuRows[] = {
    {"画笔(&P)", 101, false},      {"箭头(&J)", 102, false},     {"直线(&L)", 103, false},
    {"线段(&M)", 104, false},      {"", 0, true},                {"矩形(&R)", 105, false},
    {"圆角矩形(&Y)", 106, false},  {"椭圆(&E)", 107, false},     {"正圆(&C)", 108, false},
    {"饼(&D)", 109, false},        {"多边形(&N)", 110, false},   {"星形(&V)", 111, false},
    {"", 0, true},                 {"三点画圆弧(&A)", 112, false}, {"半径画圆弧(&S)", 113, false},
    {"贝塞尔(&B)", 114, false},    {"曲线(&Q)", 115, false},     {"连续圆弧(&H)", 116, false},
    {"", 0, true},                 {"文字(&T)", 117, false},     {"", 0, true},
    {"吸管(&I)", 118, false},      {"填充(&F)", 119, false},     {"橡皮擦(&X)", 120, false},
    {"荧光笔(&G)", 126, false},    {"马赛克(&K)", 127, false},   {"序号(&O)", 128, false},
    {"清除(Esc)", 121, false},     {"", 0, true},                {"保存到文件", 122, false},
    {"复制到剪贴板", 123, false},  {"", 0, true},                {"关闭画板(F9)", 124, false},
    {"结束程序", 125, false},
};

class BoardMenuTest : public BoardTest {};

HWND FindOpenMenu() {
    HWND menu = FindWindowA("#32768", nullptr);
    return (menu != nullptr && IsWindowVisible(menu)) ? menu : nullptr;
}

constexpr const char* kExitChildVariable = "DRAWBOARD_EXIT_CHILD_INI";

}  // namespace

// The caption list is 25 commands (ids 101-125) and 6 separators: 31 rows.
TEST_F(BoardMenuTest, BoardMenuHasItsThirtyOneRowsWithSixSeparators) {
    HMENU menu = BuildBoardMenu();
    ASSERT_NE(menu, nullptr);
    const std::vector<MenuRowSeen> rows = RowsOf(menu);
    ASSERT_EQ(rows.size(), 34u);
    int separators = 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const MenuRowSeen& want = kBoardMenuRows[i];
        EXPECT_EQ(rows[i].separator, want.separator) << i;
        if (want.separator) {
            ++separators;
            continue;
        }
        EXPECT_EQ(rows[i].caption, want.caption) << i;
        EXPECT_EQ(rows[i].id, want.id) << i;
    }
    EXPECT_EQ(separators, 6);
    DestroyBoardMenu();
    EXPECT_EQ(BoardMenu(), nullptr);
    EXPECT_FALSE(IsMenu(menu));
}

// The commands that are not tools: the menu items that click a cell, and the
// two that act directly.
TEST_F(BoardMenuTest, CommandItemsRunTheirCellsOrActDirectly) {
    auto target = [](int id) { return BoardMenuTargetOf(static_cast<BoardMenuId>(id)); };
    EXPECT_EQ(target(121).command, PaletteCommand::Clear);
    EXPECT_EQ(target(122).command, PaletteCommand::Save);
    EXPECT_EQ(target(124).command, PaletteCommand::Close);
    for (int id : {121, 122, 124}) {
        EXPECT_FALSE(target(id).right) << id;
        EXPECT_EQ(target(id).direct, nullptr) << id;
    }
    EXPECT_EQ(target(123).direct, &CopyBoardToClipboard);
    EXPECT_EQ(target(125).direct, &ExitProgram);
    for (int id : {0, 100, 129, 15001}) EXPECT_FALSE(target(id).Valid()) << id;
}

TEST_F(BoardMenuTest, ChoosingRoundedRectangleSelectsItAndHighlightsTheRectangleCell) {
    CaptureBoard();
    SendToBoard(WM_COMMAND, 106, 0);
    EXPECT_EQ(CurrentTool(), ToolRoundRect);
    EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(PaletteCommand::Rectangle));
    SendToBoard(WM_COMMAND, 102, 0);
    EXPECT_EQ(CurrentTool(), ToolArrow);
    EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(PaletteCommand::Arrow));
    // Ids outside the board's range do nothing.
    SendToBoard(WM_COMMAND, 99, 0);
    SendToBoard(WM_COMMAND, 15001, 0);
    EXPECT_EQ(CurrentTool(), ToolArrow);
    EXPECT_TRUE(BoardExists());
}

TEST_F(BoardMenuTest, CloseBoardItemClosesTheBoard) {
    CaptureBoard();
    SendToBoard(WM_COMMAND, 107, 0);
    EXPECT_EQ(CurrentTool(), ToolEllipse);
    PostMessageA(BoardWindow.load(), WM_COMMAND, 124, 0);
    EXPECT_TRUE(WaitForBoardGone(5000));
    EXPECT_EQ(CurrentTool(), ToolPen);
    EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(PaletteCommand::Pen));
}

TEST_F(BoardMenuTest, RightButtonOpensTheBoardMenuAtTheCursorAndAChoiceArrives) {
    CaptureBoard();
    HWND board = BoardWindow.load();
    SetCursorPos(400, 300);
    // The platform moves the pointer asynchronously: the board must see it there.
    WaitUntil([] {
        POINT c{};
        GetCursorPos(&c);
        return c.x == 400 && c.y == 300;
    });
    PostMessageA(board, WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(400, 300));
    HWND open = nullptr;
    const bool opened = WaitUntil([&open] { return (open = FindOpenMenu()) != nullptr; }, 5000);
    if (opened) {
        RECT r{};
        GetWindowRect(open, &r);
        EXPECT_NEAR(r.left, 400, 2);
        EXPECT_NEAR(r.top, 300, 2);
        // The mnemonic of "圆角矩形(&Y)" chooses it.
        // (Only the character: a key-down reaching the board would select the
        // tool by itself.)
        PostMessageA(board, WM_CHAR, 'y', 1);
        const bool chose = WaitUntil([] { return FindOpenMenu() == nullptr; }, 3000);
        if (!chose) PostMessageA(board, WM_CANCELMODE, 0, 0);
        EXPECT_TRUE(chose);
    }
    EXPECT_TRUE(opened);
    // Whatever happened, the board thread answers again (no menu left open).
    EXPECT_TRUE(WaitUntil([] { return FindOpenMenu() == nullptr; }, 5000));
    DWORD_PTR answer = 0;
    EXPECT_NE(SendMessageTimeoutA(board, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answer), 0);
    EXPECT_TRUE(WaitUntil([] { return CurrentTool() == ToolRoundRect; }, 3000));
}

// Runs only in the child process started by the test below.
TEST(BoardMenuExitChild, ExitItemEndsTheProcess) {
    char ini[MAX_PATH] = {};
    if (GetEnvironmentVariableA(kExitChildVariable, ini, sizeof(ini)) == 0) {
        GTEST_SKIP() << "runs as a child process of BoardMenuTest.ExitItemWritesConfigBeforeTheProcessEnds";
    }
    SetConfigPath(ini);
    Settings.penWidth = 17;
    Settings.cornerRadius = 33;
    BuildBoardMenu();
    PictureWindowMenu();
    InstallMouseHook([](UINT, int, int) {});
    BoardMenuCommand(nullptr, 125, 0);
    ExitProcess(3);  // only reached when the item did not end the process
}

TEST_F(BoardMenuTest, ExitItemWritesConfigBeforeTheProcessEnds) {
    const std::string ini = TempPath("exit_child_config.ini");
    DeleteFileA(ini.c_str());
    SetEnvironmentVariableA(kExitChildVariable, ini.c_str());
    HelperProcess child;
    const bool started =
        child.Start("\"" + TestExecutable() + "\" --gtest_filter=BoardMenuExitChild.*", CREATE_NO_WINDOW);
    SetEnvironmentVariableA(kExitChildVariable, nullptr);
    ASSERT_TRUE(started);
    const DWORD waited = child.WaitForExit(60000) ? WAIT_OBJECT_0 : WAIT_TIMEOUT;
    const DWORD code = child.ExitCode();
    ASSERT_EQ(waited, WAIT_OBJECT_0);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(GetPrivateProfileIntA("属性", "画笔粗细", -1, ini.c_str()), 17);
    EXPECT_EQ(GetPrivateProfileIntA("工具", "圆角半径", -1, ini.c_str()), 33);
}
