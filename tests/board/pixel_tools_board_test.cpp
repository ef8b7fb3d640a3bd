// The fill, eyedropper and eraser on a real board window (and, where the
// toolbox takes part, a real toolbox): real messages, the board's own
// canvases on its own thread.

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "app/color_picker.h"
#include "app/palette.h"
#include "app/toolbox.h"
#include "board/board.h"
#include "board/pixel_rules.h"
#include "settings/settings.h"
#include "support/board_fixture.h"

namespace {

using namespace board_test;

constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kGreen = 0x00FF00;

LPARAM At(int x, int y) {
    return MAKELPARAM(static_cast<WORD>(static_cast<SHORT>(x)),
                      static_cast<WORD>(static_cast<SHORT>(y)));
}

void Click(POINT p) {
    SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, At(p.x, p.y));
    SendToBoard(WM_LBUTTONUP, 0, At(p.x, p.y));
}

void IgnoreEnd(UINT) {}

class PixelToolsOnABoard : public BoardTest {
protected:
    void TearDown() override {
        if (toolbox_ != nullptr && IsWindow(toolbox_)) DestroyWindow(toolbox_);
        if (oldEnd_ != nullptr) SetToolboxEndProcessRoutine(oldEnd_);
        BoardTest::TearDown();
    }
    void LoadTheToolbox() {
        oldEnd_ = SetToolboxEndProcessRoutine(&IgnoreEnd);
        ASSERT_TRUE(LoadToolbox());
        toolbox_ = ToolboxWindow.load();
        controls_ = GetToolboxControls();
    }
    // A board made from a picture of one colour (centred on the screen).
    void PictureBoard(int width, int height, COLORREF color) {
        const std::string path = TempPath("pixel_tools_start.bmp");
        ASSERT_TRUE(WriteBytes(path, SolidBmp(width, height, color)));
        ASSERT_TRUE(OpenPictureBoardFile(path));
        ASSERT_TRUE(WaitForBoardReady(10000));
    }
    int ListShows() const {
        return static_cast<int>(SendMessageA(controls_.brushList, CB_GETCURSEL, 0, 0));
    }
    COLORREF Swatch() const {
        return static_cast<COLORREF>(SendMessageA(controls_.picker1, kColorPickerGetColor, 0, 0));
    }

    HWND toolbox_ = nullptr;
    ToolboxControls controls_;
    EndProcessRoutine oldEnd_ = nullptr;
};

}  // namespace

TEST_F(PixelToolsOnABoard, EyedropperOnTheSpectrumCentreSetsOnlyThePagesColour) {
    LoadTheToolbox();
    // The real pointer stays in a corner: its crosshair would cover the centre.
    SetCursorPos(1, 1);
    ASSERT_NE(CaptureBoard(), nullptr);
    SendMessageA(controls_.radio[1], BM_CLICK, 0, 0);  // the fill page
    ASSERT_EQ(ToolboxPage.load(), 1);
    const int pen = Settings.penColor.load();
    const int text = Settings.textColor.load();

    PressKey('I');
    const RECT r = SpectrumRect(LiveBoardSize());
    const POINT centre{r.left + 100, r.top + 100};
    const COLORREF shown = BoardPixel(centre.x, centre.y);  // shown at once
    ASSERT_NE(shown, BackPixel(centre.x, centre.y));
    Click(centre);

    EXPECT_EQ(static_cast<COLORREF>(Settings.brushColor.load()), shown);
    EXPECT_EQ(Settings.penColor.load(), pen);
    EXPECT_EQ(Settings.textColor.load(), text);
    EXPECT_TRUE(BothCanvases([shown](Canvas& c) { return c.BrushColor() == shown; }));
    // The toolbox's swatch shows it (handed to the toolbox's own queue).
    EXPECT_TRUE(WaitUntil([&] { return Swatch() == shown; }));
    // The spectrum went with the release; the next move shows it again.
    EXPECT_TRUE(BoardMatchesBack());
    SendToBoard(WM_MOUSEMOVE, 0, At(10, 10));
    EXPECT_EQ(BoardPixel(centre.x, centre.y), shown);
}

TEST_F(PixelToolsOnABoard, FillWithAHollowBrushFillsSolidUntilTheNextPrimaryAction) {
    LoadTheToolbox();
    PictureBoard(400, 300, kBlack);
    ASSERT_EQ(Settings.brushType.load(), kBrushHollow);
    PressKey('R');
    Drag({50, 50}, {250, 200});
    PressKey('F');
    EXPECT_TRUE(WaitUntil([&] { return ListShows() == kBrushSolid; }));
    Click({120, 120});
    for (POINT p : {POINT{51, 51}, POINT{150, 125}, POINT{248, 198}})
        EXPECT_EQ(BackPixel(p.x, p.y), kWhite) << p.x << "," << p.y;  // the brush colour, solid
    const COLORREF pen = static_cast<COLORREF>(Settings.penColor.load());
    for (POINT p : {POINT{50, 120}, POINT{249, 120}, POINT{150, 50}, POINT{150, 199}})
        EXPECT_EQ(BackPixel(p.x, p.y), pen) << p.x << "," << p.y;  // the outline stays
    EXPECT_EQ(BackPixel(30, 30), kBlack);  // outside: untouched
    PixelRect step;  // of the undo history: the filled area, not the whole opened picture
    OnBoard([&step](DrawingBoard& b) { step = b.History().NewestArea().value_or(PixelRect{}); });
    EXPECT_EQ(step, (PixelRect{51, 300 - 199, 249, 300 - 51}));  // rows from the bottom
    // The list shows "颜色" until another cell's primary action.
    EXPECT_EQ(ListShows(), kBrushSolid);
    PressKey('L');
    EXPECT_TRUE(WaitUntil([&] { return ListShows() == kBrushHollow; }));
    EXPECT_EQ(Settings.brushType.load(), kBrushHollow);
}

TEST_F(PixelToolsOnABoard, EraserBringsBackTheStartingPictureAndTheWheelSizesIt) {
    PictureBoard(400, 300, kGreen);
    Settings.eraserSize = 10;
    // Two layers of drawing over the picture, with a solid brush (no toolbox
    // here to take a digit key: the setting arrives as the toolbox sends it).
    SetSetting(SettingCode::BrushStyle, kBrushSolid);
    PressKey('R');
    Drag({20, 20}, {380, 280});
    Drag({60, 60}, {340, 240});
    ASSERT_NE(BackPixel(150, 150), kGreen);

    PressKey('X');
    SendToBoard(WM_MOUSEMOVE, 0, At(100, 150));  // hover: black frame, nothing erased
    EXPECT_EQ(BoardPixel(90, 150), kBlack);
    EXPECT_EQ(BoardPixel(100, 150), kGreen);
    EXPECT_NE(BackPixel(100, 150), kGreen);
    SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, At(100, 150));
    for (int x = 110; x <= 200; x += 10) SendToBoard(WM_MOUSEMOVE, MK_LBUTTON, At(x, 150));
    SendToBoard(WM_LBUTTONUP, 0, At(200, 150));
    for (int x = 100; x < 210; x += 7)
        EXPECT_EQ(BackPixel(x, 150), kGreen) << x;  // both layers gone at once
    EXPECT_NE(BackPixel(150, 161), kGreen);

    // The wheel: screen coordinates; the square follows it, one size larger.
    RECT frame{};
    ASSERT_TRUE(GetWindowRect(BoardWindow.load(), &frame));
    SendToBoard(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), At(frame.left + 300, frame.top + 100));
    EXPECT_EQ(Settings.eraserSize.load(), 11);
    EXPECT_EQ(BoardPixel(289, 89), kBlack);
    EXPECT_EQ(BoardPixel(300, 100), kGreen);
}
