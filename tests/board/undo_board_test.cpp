// Undo and redo on a real board window, driven by real messages: what the
// user gets back is read from the committed drawing's pixels.

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/board_state.h"
#include "settings/settings.h"
#include "support/board_fixture.h"

namespace {

using namespace board_test;

using Pixels = std::vector<std::uint32_t>;

LPARAM At(POINT p) { return MAKELPARAM(p.x, p.y); }

void Click(POINT p) {
    SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, At(p));
    SendToBoard(WM_LBUTTONUP, 0, At(p));
}

void CtrlKey(WPARAM key, bool shift = false) {
    KeyDown(VK_CONTROL);
    if (shift) KeyDown(VK_SHIFT);
    PressKey(key);
    if (shift) KeyUp(VK_SHIFT);
    KeyUp(VK_CONTROL);
}
void UndoKey() { CtrlKey('Z'); }

// The committed drawing's pixels, read on the board thread.
Pixels Committed() {
    Pixels pixels;
    OnBoard([&](DrawingBoard& b) {
        auto p = b.Committed().Pixels();
        pixels.assign(p.begin(), p.end());
    });
    return pixels;
}

bool CanUndo() {
    bool can = true;
    OnBoard([&](DrawingBoard& b) { can = b.History().CanUndo(); });
    return can;
}

class BoardUndo : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        CaptureBoard();
        // Wide red lines, so every shape changes plenty of pixels.
        SetSetting(SettingCode::PenWidth, 5);
        SetSetting(SettingCode::PenColor, 0x0000FF);
    }
};

TEST_F(BoardUndo, ThreeShapesUndoTwoRedoOneGivesTheFirstTwo) {
    PressKey('R');
    Drag({100, 100}, {300, 200});
    Drag({150, 150}, {400, 350});  // overlaps the first
    const Pixels afterTwo = Committed();
    Drag({50, 300}, {600, 320});   // crosses the second
    ASSERT_NE(Committed(), afterTwo);

    UndoKey();
    UndoKey();
    CtrlKey('Y');
    EXPECT_EQ(Committed(), afterTwo);
    EXPECT_TRUE(BoardMatchesBack()) << "the window shows what was undone";
    EXPECT_EQ(CurrentTool(), ToolRectangle) << "Ctrl+Y is no tool letter";

    UndoKey();
    CtrlKey('Z', true);  // Ctrl+Shift+Z redoes too
    EXPECT_EQ(Committed(), afterTwo);
}

TEST_F(BoardUndo, BringsBackTheDrawingAClearTookAway) {
    PressKey('P');
    Drag({320, 260}, {480, 260});
    const Pixels drawn = Committed();
    PressKey(VK_ESCAPE);
    ASSERT_NE(Committed(), drawn);
    UndoKey();
    EXPECT_EQ(Committed(), drawn);
}

TEST_F(BoardUndo, AShapeOfSeveralClicksIsOneStepEndedByTheUndo) {
    struct Case {
        const char* what;
        WPARAM letter;
        std::vector<POINT> clicks;
    };
    const Case cases[] = {
        {"polyline", 'M', {{100, 100}, {200, 120}, {260, 220}, {120, 260}}},
        {"Bézier", 'B', {{100, 100}, {150, 40}, {250, 160}, {300, 100}, {350, 40}, {400, 160},
                         {450, 100}}},
        {"chained arcs", 'H', {{100, 300}, {160, 300}, {220, 260}, {300, 330}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PressKey(c.letter);
        const Pixels before = Committed();
        for (POINT p : c.clicks) Click(p);
        ASSERT_NE(Committed(), before);
        UndoKey();
        EXPECT_EQ(Committed(), before) << "the whole shape goes at once";
        // The shape was ended: the next click starts a new one, joined to
        // nothing of the old.
        const POINT last = c.clicks.back(), next{700, 600};
        const POINT between{(last.x + next.x) / 2, (last.y + next.y) / 2};
        const COLORREF there = BackPixel(between.x, between.y);
        Click(next);
        EXPECT_EQ(BackPixel(between.x, between.y), there);
        PressKey('P');  // the next case starts its tool afresh
    }
}

TEST_F(BoardUndo, TakesBackAFillOrAWholeEraserDrag) {
    struct Case {
        const char* what;
        WPARAM letter;
        std::vector<POINT> drag;  // press, moves, release
    };
    const Case cases[] = {
        {"fill", 'F', {{200, 200}, {200, 200}}},
        {"eraser drag across the strokes", 'X', {{150, 150}, {300, 250}, {450, 350}, {500, 400}}},
    };
    SetSetting(SettingCode::BrushColor, 0x00FF00);  // a fill that shows on the black test screen
    SetSetting(SettingCode::BrushStyle, kBrushSolid);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PressKey('P');
        Drag({100, 100}, {600, 450});
        Drag({100, 450}, {600, 100});
        const Pixels before = Committed();
        PressKey(c.letter);
        SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, At(c.drag.front()));
        for (size_t i = 1; i + 1 < c.drag.size(); ++i)
            SendToBoard(WM_MOUSEMOVE, MK_LBUTTON, At(c.drag[i]));
        SendToBoard(WM_LBUTTONUP, 0, At(c.drag.back()));
        const Pixels after = Committed();
        ASSERT_NE(after, before);
        UndoKey();
        EXPECT_EQ(Committed(), before) << "one undo takes back all of it";
        CtrlKey('Y');
        EXPECT_EQ(Committed(), after);
    }
}

TEST_F(BoardUndo, ATextBoxIsOneStepWhenItEnds) {
    Settings.textColor = 0x00FF00;  // shows on the black test screen
    PressKey('T');
    struct Case {
        const char* what;
        bool enter;  // ended by Enter; otherwise the undo ends it while typing
    };
    for (const Case& c : {Case{"ended by Enter", true}, Case{"undone while typing", false}}) {
        SCOPED_TRACE(c.what);
        const Pixels before = Committed();
        Click({300, 300});
        for (char ch : std::string("Undo me")) SendToBoard(WM_CHAR, static_cast<unsigned char>(ch), 1);
        if (c.enter) {
            SendToBoard(WM_CHAR, '\r', 1);
            ASSERT_NE(Committed(), before);
        }
        UndoKey();
        EXPECT_FALSE(BoardStateNow().typing);
        EXPECT_EQ(Committed(), before) << "every character at once";
        CtrlKey('Y');
        EXPECT_NE(Committed(), before) << "the text comes back";
        UndoKey();
    }
}

TEST_F(BoardUndo, DuringADragEndsTheDragAndTakesBackTheShapeBefore) {
    PressKey('E');
    const Pixels start = Committed();
    Drag({100, 100}, {300, 200});
    SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, At({400, 400}));
    SendToBoard(WM_MOUSEMOVE, MK_LBUTTON, At({600, 500}));
    UndoKey();
    EXPECT_FALSE(BoardStateNow().dragging);
    EXPECT_EQ(Committed(), start);
    EXPECT_TRUE(BoardMatchesBack()) << "no preview left on show";
    SendToBoard(WM_MOUSEMOVE, MK_LBUTTON, At({650, 550}));
    SendToBoard(WM_LBUTTONUP, 0, At({650, 550}));
    EXPECT_EQ(Committed(), start) << "the ended drag adds nothing";
}

TEST_F(BoardUndo, ANewBoardStartsWithNothingToUndo) {
    PressKey('R');
    Drag({100, 100}, {300, 200});
    ASSERT_TRUE(CanUndo());

    // A picture opened into the live board.
    const std::string path = TempPath("undo_picture.bmp");
    ASSERT_TRUE(WriteBytes(path, SolidBmp(300, 200, RGB(0, 128, 255))));
    ASSERT_TRUE(OpenPictureBoardFile(path));
    EXPECT_FALSE(CanUndo());
    const Pixels opened = Committed();
    UndoKey();
    EXPECT_EQ(Committed(), opened);

    // A board made anew after closing.
    PressKey('R');
    Drag({10, 10}, {100, 100});
    ASSERT_TRUE(CloseBoardAndWait(5000));
    CaptureBoard();
    EXPECT_FALSE(CanUndo());
}

TEST_F(BoardUndo, SettingsAndToolSwitchesAreNoSteps) {
    PressKey('R');
    Drag({100, 100}, {300, 200});
    const Pixels drawn = Committed();
    PressKey('E');
    SetSetting(SettingCode::PenColor, 0x00FF00);
    PressKey('I');  // the eyedropper's palette is on show, not committed
    Click({960, 540});  // a colour picked from it: a setting, no change
    PressKey('R');
    UndoKey();
    EXPECT_NE(Committed(), drawn) << "the rectangle itself was undone";
    EXPECT_FALSE(CanUndo());
}

}  // namespace
