// Typing on a real board window: character messages as the platform sends
// them (a double-byte character as two WM_CHAR bytes), Enter, Esc, Ctrl+V and
// a colour change from the toolbox, checked on the board's canvases and on
// the caret of the board's thread.

#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/board_state.h"
#include "board/board_text.h"
#include "board/command_ids.h"
#include "board/tools/text_tool.h"
#include "settings/settings.h"
#include "support/board_fixture.h"

using namespace board_test;

namespace {

constexpr COLORREF kGreen = 0x00FF00;
constexpr COLORREF kRed = 0x0000FF;

class TextBoardTest : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        // Large pure-coloured glyphs, which the captured screen does not hold.
        FontSpec font = GetTextFont();
        font.size = 24;
        SetTextFont(font);
        Settings.textColor = static_cast<int>(kGreen);
        board_ = CaptureBoard();
        ASSERT_NE(board_, nullptr);
        PressKey('T');
    }
    static LPARAM At(int x, int y) { return MAKELPARAM(x, y); }
    void Click(int x, int y) {
        SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
        SendToBoard(WM_LBUTTONUP, 0, At(x, y));
    }
    void Chars(const std::string& bytes) {
        for (char ch : bytes) SendToBoard(WM_CHAR, static_cast<unsigned char>(ch), 1);
    }
    // The caret of the board's thread: its window (null: none) and place.
    GUITHREADINFO Caret() const {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        GetGUIThreadInfo(GetWindowThreadProcessId(board_, nullptr), &info);
        return info;
    }
    TypedText Typed() {
        TypedText text;
        OnBoard([&text](DrawingBoard& b) { text = BoardTextTool(b).Text(); });
        return text;
    }
    // Pixels of one colour in r, on the board (or back) canvas.
    int CountColor(RECT r, COLORREF color, bool back = false) {
        int n = 0;
        OnBoard([&](DrawingBoard& b) {
            Canvas& canvas = back ? b.Committed() : b.Shown();
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) n += canvas.GetPixel(x, y) == color ? 1 : 0;
        });
        return n;
    }
    HWND board_ = nullptr;
};

}  // namespace

TEST_F(TextBoardTest, ADoubleByteCharacterArrivesAsTwoMessagesAndEnterKeepsIt) {
    Click(100, 100);
    ASSERT_EQ(Caret().hwndCaret, board_);
    Chars("\xD6");  // the lead byte of 中 draws nothing
    EXPECT_TRUE(BoardMatchesBack());
    Chars("\xD0");  // its trail byte, in the lead-byte range too, completes it
    const TypedText typed = Typed();
    ASSERT_EQ(typed.glyphs.size(), 1u);
    EXPECT_EQ(typed.characters[0], "\xD6\xD0");
    EXPECT_EQ(Caret().rcCaret.left, 100 + typed.glyphs[0].width);
    const RECT cell{100, 100, 100 + typed.glyphs[0].width, 100 + typed.glyphs[0].height};
    EXPECT_GT(CountColor(cell, kGreen), 20);

    Chars("\r");
    EXPECT_EQ(Caret().hwndCaret, nullptr);
    EXPECT_FALSE(BoardStateNow().typing);
    EXPECT_GT(CountColor(cell, kGreen, true), 20);  // committed
}

TEST_F(TextBoardTest, TurnedTextShowsAndItsCaretAndBackspaceFollowTheTurn) {
    FontSpec font = GetTextFont();
    font.angle = 900;  // up the screen from the click
    SetTextFont(font);
    PressKey('L');
    PressKey('T');  // armed again, with the turned font
    Click(400, 400);
    Chars("WWWW");
    const GlyphBox last = Typed().glyphs.at(3);
    const RECT ink{400, last.y, 400 + last.height, 400};
    EXPECT_GT(CountColor(ink, kGreen), 300);
    EXPECT_EQ(Caret().rcCaret.top, last.y - last.width - 2);  // a flat bar at the end
    Chars("\b\b\b\b");
    EXPECT_EQ(CountColor(ink, kGreen), 0);
    EXPECT_EQ(Caret().rcCaret.top, 400 - 2);
}

TEST_F(TextBoardTest, EscThrowsAwayOnlyTheCurrentBox) {
    Click(40, 40);
    Chars("x\r");  // kept
    Click(100, 100);
    Chars("ab");
    ASSERT_GT(CountColor(RECT{100, 100, 160, 140}, kGreen), 0);
    KeyDown(VK_ESCAPE);  // while typing the key clears nothing ...
    Chars("\x1b");       // ... its character ends the box
    KeyUp(VK_ESCAPE);
    EXPECT_EQ(CountColor(RECT{100, 100, 160, 140}, kGreen), 0);
    EXPECT_GT(CountColor(RECT{40, 40, 70, 80}, kGreen), 0);
    EXPECT_TRUE(BoardMatchesBack());
    EXPECT_EQ(Caret().hwndCaret, nullptr);
}

TEST_F(TextBoardTest, CtrlVPastesTwoLinesAtTheClickWithTheCaretBelow) {
    const char text[] = "ab\r\ncd";
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, sizeof(text));
    std::memcpy(GlobalLock(block), text, sizeof(text));
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();

    Click(10, 20);
    KeyDown(VK_CONTROL);
    PressKey('V');
    KeyUp(VK_CONTROL);
    const TypedText typed = Typed();
    ASSERT_EQ(typed.glyphs.size(), 4u);
    const int h = typed.glyphs[0].height;
    EXPECT_EQ(typed.glyphs[2].x, 10);
    EXPECT_EQ(typed.glyphs[2].y, 20 + h);
    EXPECT_EQ(typed.glyphs[3].y, 20 + h);
    EXPECT_EQ(Caret().rcCaret.left, 10);
    EXPECT_EQ(Caret().rcCaret.top, 20 + 2 * h);
    EXPECT_GT(CountColor(RECT{10, 20 + h, 60, 20 + 2 * h}, kGreen), 0);
    EXPECT_EQ(CurrentTool(), ToolText);  // Ctrl+V selected no star
}

TEST_F(TextBoardTest, ATextColourChangeWhileTypingRedrawsTheTextInIt) {
    Click(100, 100);
    Chars("abc");
    const RECT text{100, 100, 200, 140};
    ASSERT_GT(CountColor(text, kGreen), 0);
    SetSetting(SettingCode::TextColor, static_cast<int>(kRed));
    EXPECT_EQ(CountColor(text, kGreen), 0);
    EXPECT_GT(CountColor(text, kRed), 0);
    EXPECT_GT(CountColor(text, kRed, true), 0);  // kept
    EXPECT_FALSE(BoardStateNow().typing);
}
