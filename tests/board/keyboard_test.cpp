// The board's keyboard: tool letters, modifiers, plus and minus, arrows,
// digits, Esc and Ctrl+C, all as real key messages to a real board window;
// and the setting-change message from the toolbox.

#include <windows.h>

#include <gtest/gtest.h>

#include "app/palette.h"
#include "board/board.h"
#include "board/board_state.h"
#include "board/commands.h"
#include "board/tools/drawing_tools.h"
#include "board/tools/tool_table.h"
#include "graphics/canvas.h"
#include "settings/settings.h"
#include "support/board_fixture.h"

using namespace board_test;

namespace {

class KeyboardTest : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        ASSERT_NE(CaptureBoard(), nullptr);
    }
};

// The rectangle tool's table line counts: the program's, in the settings.
struct TableLines {
    int Rows() const { return Settings.tableRows; }
    int Columns() const { return Settings.tableColumns; }
};
TableLines Rectangle() { return {}; }

}  // namespace

TEST_F(KeyboardTest, EveryLetterKeySelectsItsToolAndHighlightsItsCell) {
    int letters = 0;
    for (const ToolDescription& row : ToolDescriptions()) {
        if (row.letter == 0) continue;
        ++letters;
        PressKey(static_cast<WPARAM>(row.letter));
        EXPECT_EQ(CurrentTool(), row.kind) << "key " << row.letter;
        EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(row.cell)) << "key " << row.letter;
    }
    EXPECT_EQ(letters, 23);
}

TEST_F(KeyboardTest, OtherLettersAndKeysDoNothing) {
    PressKey('E');
    for (WPARAM key : {WPARAM('U'), WPARAM('W'), WPARAM('Z'),
                       WPARAM(VK_RETURN), WPARAM(VK_TAB), WPARAM(VK_BACK), WPARAM(VK_DELETE),
                       WPARAM(VK_F5)}) {
        PressKey(key);
        EXPECT_EQ(CurrentTool(), ToolEllipse) << key;
    }
}

TEST_F(KeyboardTest, ShiftOrCtrlHeldKeepsLettersFromSelectingTools) {
    PressKey('L');
    KeyDown(VK_SHIFT);
    EXPECT_TRUE(BoardStateNow().shiftHeld);
    PressKey('R');
    EXPECT_EQ(CurrentTool(), ToolLine);
    KeyUp(VK_SHIFT);
    EXPECT_FALSE(BoardStateNow().shiftHeld);
    PressKey('R');
    EXPECT_EQ(CurrentTool(), ToolRectangle);

    KeyDown(VK_CONTROL);
    PressKey('E');
    EXPECT_EQ(CurrentTool(), ToolRectangle);
    KeyUp(VK_CONTROL);
    EXPECT_FALSE(BoardStateNow().ctrlHeld);
}

TEST_F(KeyboardTest, ArmedTextToolKeepsModifiedLettersFromSwitchingTools) {
    PressKey('T');
    ASSERT_TRUE(BoardStateNow().textToolActive);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    for (WPARAM modifier : {VK_SHIFT, VK_CONTROL}) {
        KeyDown(modifier);
        PressKey('R');
        PressKey('C');  // with Ctrl: copies, and selects no circle
        KeyUp(modifier);
        EXPECT_EQ(CurrentTool(), ToolText) << modifier;
        EXPECT_TRUE(BoardStateNow().textToolActive) << modifier;
    }
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_BITMAP));
    PressKey('R');  // alone, a letter still switches
    EXPECT_EQ(CurrentTool(), ToolRectangle);
    EXPECT_FALSE(BoardStateNow().textToolActive);  // switching away disarms it
}

TEST_F(KeyboardTest, TypingTextKeepsLettersForTheText) {
    PressKey('T');
    OnBoard([](DrawingBoard& b) { b.state.typing = true; });  // a caret has been placed
    PressKey('R');
    EXPECT_EQ(CurrentTool(), ToolText);
    OnBoard([](DrawingBoard& b) { b.state.typing = false; });
}

TEST_F(KeyboardTest, PlusSevenTimesOnRadius498EndsAt500) {
    PressKey('Y');
    Settings.cornerRadius = 498;
    for (int i = 0; i < 7; ++i) PressKey(VK_OEM_PLUS);
    EXPECT_EQ(Settings.cornerRadius.load(), 500);
    PressKey(VK_SUBTRACT);
    EXPECT_EQ(Settings.cornerRadius.load(), 499);
    Settings.cornerRadius = 0;
    PressKey(VK_OEM_MINUS);
    EXPECT_EQ(Settings.cornerRadius.load(), 0);
}

TEST_F(KeyboardTest, VertexCountsStayWithinThreeAndHundred) {
    PressKey('V');
    Settings.starVertices = 3;
    PressKey(VK_OEM_MINUS);
    EXPECT_EQ(Settings.starVertices.load(), 3);
    PressKey(VK_ADD);
    EXPECT_EQ(Settings.starVertices.load(), 4);
    Settings.starVertices = 100;
    PressKey(VK_OEM_PLUS);
    EXPECT_EQ(Settings.starVertices.load(), 100);

    PressKey('N');
    Settings.polygonVertices = 100;
    PressKey(VK_OEM_PLUS);
    EXPECT_EQ(Settings.polygonVertices.load(), 100);
    PressKey(VK_OEM_MINUS);
    EXPECT_EQ(Settings.polygonVertices.load(), 99);
    EXPECT_EQ(Settings.starVertices.load(), 100);  // only the current tool's count
}

TEST_F(KeyboardTest, PlusAndMinusLeaveOtherToolsAlone) {
    PressKey('E');
    const int radius = Settings.cornerRadius.load();
    PressKey(VK_OEM_PLUS);
    PressKey(VK_OEM_MINUS);
    EXPECT_EQ(Settings.cornerRadius.load(), radius);
    EXPECT_EQ(Settings.polygonVertices.load(), 6);
    EXPECT_EQ(Settings.starVertices.load(), 5);
}

TEST_F(KeyboardTest, ArrowKeysCountTableLinesOnlyForTheRectangle) {
    PressKey('E');
    PressKey(VK_UP);
    PressKey(VK_RIGHT);
    EXPECT_EQ(Rectangle().Rows(), 0);
    EXPECT_EQ(Rectangle().Columns(), 0);

    PressKey('R');
    PressKey(VK_DOWN);
    PressKey(VK_LEFT);
    EXPECT_EQ(Rectangle().Rows(), 0);
    EXPECT_EQ(Rectangle().Columns(), 0);
    PressKey(VK_UP);
    PressKey(VK_UP);
    PressKey(VK_RIGHT);
    EXPECT_EQ(Rectangle().Rows(), 2);
    EXPECT_EQ(Rectangle().Columns(), 1);
    PressKey(VK_DOWN);
    EXPECT_EQ(Rectangle().Rows(), 1);
    // They are the program's: a new board's rectangle has its middle line.
    SendToBoard(WM_CLOSE);
    ASSERT_TRUE(WaitForBoardGone(10000));
    ASSERT_NE(CaptureBoard(), nullptr);
    PressKey('R');
    Drag({100, 100}, {200, 160});
    EXPECT_EQ(BackPixel(150, 130), static_cast<COLORREF>(Settings.penColor.load()));
}

TEST_F(KeyboardTest, ArrowKeyWhileDraggingRedrawsThePreviewAtOnce) {
    SetSetting(SettingCode::PenColor, 0x0000FF);
    PressKey('R');
    SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(100, 100));
    SendToBoard(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(190, 160));
    // No inner line yet at y = 130.
    EXPECT_NE(BoardPixel(150, 130), 0x0000FFu);
    PressKey(VK_UP);  // one inner row, halfway down: the preview shows it now
    EXPECT_EQ(BoardPixel(150, 130), 0x0000FFu);
    SendToBoard(WM_LBUTTONUP, 0, MAKELPARAM(190, 160));
    EXPECT_EQ(BackPixel(150, 130), 0x0000FFu);
}

TEST_F(KeyboardTest, ModifierKeysFollowDownAndUp) {
    KeyDown(VK_SPACE);
    EXPECT_TRUE(BoardStateNow().spaceHeld);
    KeyUp(VK_SPACE);
    EXPECT_FALSE(BoardStateNow().spaceHeld);
}

TEST_F(KeyboardTest, EscClearsTheBoard) {
    const COLORREF before = BackPixel(600, 500);
    SetSetting(SettingCode::PenColor, 0x00FF00);
    SetSetting(SettingCode::PenWidth, 4);
    PressKey('L');
    Drag({550, 500}, {650, 500});
    ASSERT_EQ(BackPixel(600, 500), 0x00FF00u);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(BackPixel(600, 500), before);
    EXPECT_EQ(BoardPixel(600, 500), before);
    EXPECT_EQ(CurrentTool(), ToolLine);
}

TEST_F(KeyboardTest, DigitKeysChooseTheBrushStyleThroughTheToolbox) {
    static int chosen = -1;
    chosen = -1;
    // Without a toolbox nothing happens.
    PressKey('3');
    EXPECT_EQ(Settings.brushType.load(), 0);

    CatchBrushTypes([](int index) { chosen = index; });
    PressKey('1');
    EXPECT_EQ(chosen, 0);
    PressKey('8');
    EXPECT_EQ(chosen, 7);
    PressKey(VK_NUMPAD5);
    EXPECT_EQ(chosen, 4);
    chosen = -1;
    PressKey('9');
    PressKey('0');
    EXPECT_EQ(chosen, -1);
}

TEST_F(KeyboardTest, FillSwapsAHollowBrushForSolidUntilTheNextPrimaryAction) {
    static int chosen = -1;
    chosen = -1;
    CatchBrushTypes([](int index) {
        chosen = index;
        Settings.brushType = index;
    });
    PressKey('F');
    EXPECT_EQ(chosen, kBrushSolid);
    EXPECT_TRUE(FillStyleSubstituted.load());
    CatchBrushTypes([](int index) { chosen = index; });  // the toolbox is slow to apply
    PressKey('F');  // again: hollow is never asked for
    EXPECT_TRUE(chosen == kBrushSolid && FillStyleSubstituted.load());
    CatchBrushTypes([](int index) { chosen = index, Settings.brushType = index; });
    PressKey('V');  // a right-button tool: the substitution stays
    EXPECT_TRUE(FillStyleSubstituted.load());
    EXPECT_EQ(chosen, kBrushSolid);
    PressKey('L');  // a primary action: back to hollow
    EXPECT_EQ(chosen, kBrushHollow);
    EXPECT_FALSE(FillStyleSubstituted.load());
}

TEST_F(KeyboardTest, CtrlCCopiesTheBoardToTheClipboard) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    KeyDown(VK_CONTROL);
    PressKey('C');
    KeyUp(VK_CONTROL);
    EXPECT_EQ(CurrentTool(), ToolPen);  // not the circle
    ASSERT_TRUE(OpenClipboard(nullptr));
    HBITMAP bitmap = static_cast<HBITMAP>(GetClipboardData(CF_BITMAP));
    BITMAP bm{};
    const bool got = bitmap != nullptr && GetObjectA(bitmap, sizeof(bm), &bm) == sizeof(bm);
    CloseClipboard();
    ASSERT_TRUE(got);
    EXPECT_EQ(bm.bmWidth, LiveBoardSize().cx);
    EXPECT_EQ(bm.bmHeight, LiveBoardSize().cy);
}

TEST_F(KeyboardTest, SettingMessagesChangeBothCanvases) {
    ChangeSetting(SettingCode::PenColor, 0x00FF00);
    EXPECT_TRUE(BothCanvases([](Canvas& c) { return c.PenColor() == 0x00FF00u; }));
    // Drawn with the new colour.
    ChangeSetting(SettingCode::PenWidth, 3);
    EXPECT_TRUE(BothCanvases([](Canvas& c) { return c.PenWidth() == 3; }));
    PressKey('L');
    Drag({700, 300}, {800, 300});
    EXPECT_EQ(BackPixel(750, 300), 0x00FF00u);

    ChangeSetting(SettingCode::TextBack, 0x0000FF);
    EXPECT_TRUE(BothCanvases(
        [](Canvas& c) { return !c.TextTransparent() && c.TextBackColor() == 0x0000FFu; }));
    ChangeSetting(SettingCode::TextBack, kNoTextBackground);
    EXPECT_TRUE(BothCanvases([](Canvas& c) { return c.TextTransparent(); }));

    ChangeSetting(SettingCode::BrushStyle, kBrushDiagonalCross);
    ChangeSetting(SettingCode::BrushColor, 0x445566);
    ChangeSetting(SettingCode::TextColor, 0x778899);
    EXPECT_TRUE(BothCanvases([](Canvas& c) {
        return c.BrushStyle() == kBrushDiagonalCross && c.BrushColor() == 0x445566u &&
               c.TextColor() == 0x778899u;
    }));
}

TEST_F(KeyboardTest, SettingMessageWithAToolCodeChangesNothing) {
    PressKey('L');
    SendToBoard(BoardSettingMessage, ToolMoveBoard, 0);
    SendToBoard(BoardSettingMessage, ToolEraser, 0);
    EXPECT_EQ(CurrentTool(), ToolLine);
    EXPECT_FALSE(PictureCanvasCreated());
}
