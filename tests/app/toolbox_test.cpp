#include "app/toolbox.h"

#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "app/color_picker.h"
#include "app/docking.h"
#include "app/globals.h"
#include "app/hotkey.h"
#include "app/hotkey_notice.h"
#include "app/palette.h"
#include "app/toolbox_layout.h"
#include "board/board.h"
#include "board/board_state.h"
#include "board/commands.h"
#include "capture/region_select.h"
#include "settings/settings.h"
#include "support/board_fixture.h"
#include "support/temp_folder.h"
#include "window/raw_window.h"
#include "window/screen.h"

namespace {

POINT g_postedPoint{};

// What the tests' stand-ins for the dialogs and the end of the process saw.
int g_endCalls = 0;
UINT g_endCode = 12345;
int g_colorDialogCalls = 0;
bool g_colorDialogAnswer = true;
COLORREF g_colorDialogColor = 0;
int g_fontDialogCalls = 0;
bool g_fontDialogAnswer = true;
FontSpec g_fontDialogFont;
COLORREF g_fontDialogSawColor = 0;

int g_notices = 0;
std::string g_noticeText;
void RecordNotice(const char*, const char* text) {
    ++g_notices;
    g_noticeText = text;
}

// Another program holding F9: the tests' helper program, started for the
// lifetime of this object (at most a minute).
class HeldF9 {
public:
    HeldF9() {
        ready_ = folder_.File("hold_f9.txt");
        if (!process_.Start("\"" + TestFolder() + "drawboard_hold_f9.exe\" 60 \"" + ready_ + "\""))
            return;
        const ULONGLONG end = GetTickCount64() + 10000;
        while (GetTickCount64() < end && !Holding() && !process_.WaitForExit(50)) {
        }
    }
    ~HeldF9() {
        DeleteFileA(ready_.c_str());  // the helper lets go when its file is gone
    }
    HeldF9(const HeldF9&) = delete;
    HeldF9& operator=(const HeldF9&) = delete;
    bool Holding() const { return GetFileAttributesA(ready_.c_str()) != INVALID_FILE_ATTRIBUTES; }

private:
    TempFolder folder_{"hold_f9"};
    std::string ready_;
    HelperProcess process_;  // ended after the file is gone
};

void RecordEnd(UINT code) {
    ++g_endCalls;
    g_endCode = code;
}
bool FakeColorDialog(HWND, COLORREF& color) {
    ++g_colorDialogCalls;
    if (!g_colorDialogAnswer) return false;
    color = g_colorDialogColor;
    return true;
}
bool FakeFontDialog(HWND, FontSpec& font, COLORREF color) {
    ++g_fontDialogCalls;
    g_fontDialogSawColor = color;
    if (!g_fontDialogAnswer) return false;
    font = g_fontDialogFont;
    return true;
}

RECT RectInParent(HWND child) {
    RECT r{};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

LPARAM At(int x, int y) { return MAKELPARAM(x, y); }

class ToolboxTest : public ::testing::Test {
protected:
    void SetUp() override {
        ini_ = folder_.File("Config.ini");
        SetConfigPath(ini_);

        g_endCalls = 0;
        g_endCode = 12345;
        g_colorDialogCalls = 0;
        g_colorDialogAnswer = true;
        g_fontDialogCalls = 0;
        g_fontDialogAnswer = true;
        oldEnd_ = SetToolboxEndProcessRoutine(&RecordEnd);
        oldColor_ = SetColorDialogRoutine(&FakeColorDialog);
        oldFont_ = SetFontDialogRoutine(&FakeFontDialog);
        g_notices = 0;
        oldNotice_ = SetNoticeRoutine(&RecordNotice);
        ResetF9TakenNotice();

        ScreenSize = SIZE{GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        BoardWindow.store(nullptr);
        StoreSettingsValues(SettingsValues{});
        SetTextFont(FontSpec{});
        ResetPaletteState();
        ChosenTool.store(ToolPen);
        FillStyleSubstituted.store(false);
        ToolboxDocked.store(false);
        ToolboxBeingMoved.store(false);
    }

    // Settings a test wants to see shown are set before this.
    void Load() {
        ASSERT_TRUE(LoadToolbox());
        c_ = GetToolboxControls();
        ASSERT_NE(c_.toolbox, nullptr);
        Pump();
    }

    void TearDown() override {
        if (HelpWindowLoaded()) DestroyWindow(HelpWindowHandle());
        if (c_.toolbox != nullptr && IsWindow(c_.toolbox)) {
            BoardWindow.store(nullptr);
            DestroyWindow(c_.toolbox);
        }
        RemoveFakeBoard();
        Pump();
        SetToolboxEndProcessRoutine(oldEnd_);
        SetColorDialogRoutine(oldColor_);
        SetFontDialogRoutine(oldFont_);
        SetNoticeRoutine(oldNotice_);
        SetConfigPath("");
        DeleteFileA(ini_.c_str());
        ResetPaletteState();
    }

    // A window that stands for an open board: it exists, and posted settings
    // arrive in its queue.
    void MakeFakeBoard() {
        fakeBoard_ = CreateWindowExA(0, "STATIC", "画板", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                     GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(fakeBoard_, nullptr);
        BoardWindow.store(fakeBoard_);
    }
    void RemoveFakeBoard() {
        if (BoardWindow.load() == fakeBoard_) BoardWindow.store(nullptr);
        if (fakeBoard_ != nullptr) DestroyWindow(fakeBoard_);
        fakeBoard_ = nullptr;
    }

    // Dispatches pending messages; settings posted to the fake board are kept.
    void Pump() {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (fakeBoard_ != nullptr && msg.hwnd == fakeBoard_ &&
                msg.message == BoardSettingMessage) {
                posted_.emplace_back(static_cast<int>(msg.wParam), static_cast<int>(msg.lParam));
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    // Runs `routine` on a thread of its own while this thread keeps its windows
    // answering (the routine talks to them); at most five seconds.
    bool RunOnOtherThread(void (*routine)()) {
        HANDLE thread = CreateThread(
            nullptr, 0,
            [](LPVOID p) -> DWORD {
                reinterpret_cast<void (*)()>(p)();
                return 0;
            },
            reinterpret_cast<LPVOID>(routine), 0, nullptr);
        if (thread == nullptr) return false;
        const ULONGLONG end = GetTickCount64() + 5000;
        bool done = false;
        while (!done && GetTickCount64() < end) {
            done = MsgWaitForMultipleObjects(1, &thread, FALSE, 50, QS_ALLINPUT) == WAIT_OBJECT_0;
            Pump();
        }
        CloseHandle(thread);
        return done;
    }
    std::vector<std::pair<int, int>> TakePosted() {
        Pump();
        return std::exchange(posted_, {});
    }

    void Click(HWND w, int x, int y) {
        SendMessageA(w, WM_LBUTTONDOWN, MK_LBUTTON, At(x, y));
        SendMessageA(w, WM_LBUTTONUP, 0, At(x, y));
        Pump();
    }
    void RightClick(HWND w, int x, int y) {
        SendMessageA(w, WM_RBUTTONDOWN, MK_RBUTTON, At(x, y));
        SendMessageA(w, WM_RBUTTONUP, 0, At(x, y));
        Pump();
    }
    void ClickCell(int n) {
        const RECT r = PaletteCellRect(n, PaletteCurrentCellSize(), PaletteCurrentDpi());
        Click(c_.palette, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void RightClickCell(int n) {
        const RECT r = PaletteCellRect(n, PaletteCurrentCellSize());
        RightClick(c_.palette, (r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    void ClickRadio(int page) {
        SendMessageA(c_.radio[page], BM_CLICK, 0, 0);
        Pump();
    }
    int ToolboxHeight() const {
        RECT r{};
        GetWindowRect(c_.toolbox, &r);
        return r.bottom - r.top;
    }
    bool Visible(HWND w) const { return (GetWindowLongPtrA(w, GWL_STYLE) & WS_VISIBLE) != 0; }
    int TopOf(HWND w) const { return RectInParent(w).top; }
    COLORREF PickerColor(HWND picker) const {
        return static_cast<COLORREF>(SendMessageA(picker, kColorPickerGetColor, 0, 0));
    }
    std::string Text(HWND w) const {
        char buffer[256] = {};
        GetWindowTextA(w, buffer, sizeof(buffer));
        return buffer;
    }
    void Key(HWND w, WPARAM key) {
        SendMessageA(w, WM_KEYDOWN, key, 1);
        SendMessageA(w, WM_KEYUP, key, 0xC0000001);
        Pump();
    }
    void Wheel(HWND w, int delta) {
        RECT r{};
        GetWindowRect(c_.penEdit, &r);
        SendMessageA(w, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(delta))),
                     At(r.left + 3, r.top + 3));
        Pump();
    }
    static bool Topmost(HWND w) { return (GetWindowLongPtrA(w, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

    TempFolder folder_{"toolbox_test"};
    std::string ini_;
    ToolboxControls c_;
    HWND fakeBoard_ = nullptr;
    std::vector<std::pair<int, int>> posted_;
    EndProcessRoutine oldEnd_ = nullptr;
    ColorDialogRoutine oldColor_ = nullptr;
    FontDialogRoutine oldFont_ = nullptr;
    NoticeRoutine oldNotice_ = nullptr;
};

// ---- layout ----

TEST_F(ToolboxTest, PenPageMakesTheToolbox473HighAtTheLeftEdgeCentred) {
    Load();
    char title[64] = {};
    GetWindowTextA(c_.toolbox, title, sizeof(title));
    EXPECT_STREQ(title, "画板工具箱");
    RECT box{};
    GetWindowRect(c_.toolbox, &box);
    EXPECT_EQ(box.right - box.left, 64);
    EXPECT_EQ(box.bottom - box.top, 473);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, (ScreenSize.cy - 473) / 2);
    EXPECT_TRUE(IsWindowVisible(c_.toolbox));
    // ToolboxRect follows the window.
    EXPECT_TRUE(EqualRect(&ToolboxRect, &box));
}

TEST_F(ToolboxTest, PaletteIs361HighAndRadioButtonsSitAt383) {
    Load();
    const RECT p = RectInParent(c_.palette);
    EXPECT_EQ(p.left, 0);
    EXPECT_EQ(p.top, 20);
    EXPECT_EQ(p.right - p.left, 64);
    EXPECT_EQ(p.bottom - p.top, 361);
    EXPECT_EQ(PaletteCurrentCellSize(), 26);
    const int lefts[3] = {2, 22, 42};
    for (int i = 0; i < 3; ++i) {
        const RECT r = RectInParent(c_.radio[i]);
        EXPECT_EQ(r.top, 383) << i;
        EXPECT_EQ(r.left, lefts[i]) << i;
        EXPECT_EQ(r.right - r.left, 20);
        EXPECT_EQ(r.bottom - r.top, 36);
    }
    EXPECT_EQ(Text(c_.radio[0]), "画笔");
    EXPECT_EQ(Text(c_.radio[1]), "填充");
    EXPECT_EQ(Text(c_.radio[2]), "文字");
    const RECT strip = RectInParent(c_.titleStrip);
    EXPECT_EQ(strip.top, 0);
    EXPECT_EQ(strip.right - strip.left, 64);
    EXPECT_EQ(strip.bottom - strip.top, 20);
}

TEST_F(ToolboxTest, PenPageShowsWidthAndPenColourBelowTheRadioButtons) {
    Settings.penWidth = 7;
    Settings.penColor = 0x112233;
    Load();
    EXPECT_EQ(ToolboxPage.load(), 0);
    EXPECT_EQ(SendMessageA(c_.radio[0], BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_TRUE(Visible(c_.penEdit));
    EXPECT_TRUE(Visible(c_.penSpin));
    EXPECT_FALSE(Visible(c_.brushList));
    EXPECT_FALSE(Visible(c_.picker2));
    EXPECT_EQ(TopOf(c_.penEdit), 383 + 36 + 4);
    EXPECT_EQ(RectInParent(c_.penEdit).left, 4);
    EXPECT_EQ(RectInParent(c_.penSpin).right, 44);  // box and spinner: 40 wide together
    EXPECT_EQ(TopOf(c_.picker1), 423 + 20 + 4);
    EXPECT_EQ(Text(c_.penEdit), "7");
    EXPECT_EQ(PickerColor(c_.picker1), 0x112233u);
    int low = -1, high = -1;
    SendMessageA(c_.penSpin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
    EXPECT_EQ(low, 0);
    EXPECT_EQ(high, 50);
}

TEST_F(ToolboxTest, FillPageShowsPicker2OnlyForHatchStyles) {
    Settings.brushColor = 0x445566;
    Settings.backColor = 0x00FFFF;
    Load();
    ClickRadio(1);
    EXPECT_EQ(ToolboxPage.load(), 1);
    EXPECT_FALSE(Visible(c_.penEdit));
    EXPECT_TRUE(Visible(c_.brushList));
    EXPECT_EQ(TopOf(c_.brushList), 423);
    const RECT list = RectInParent(c_.brushList);
    EXPECT_EQ(list.bottom - list.top, 20);  // closed, as high as the template says
    EXPECT_EQ(TopOf(c_.picker1), 447);
    EXPECT_EQ(PickerColor(c_.picker1), 0x445566u);
    EXPECT_FALSE(Visible(c_.picker2));  // "空"
    EXPECT_EQ(ToolboxHeight(), 473);

    Key(c_.brushList, VK_DOWN);  // "横线"
    EXPECT_EQ(Settings.brushType.load(), 1);
    EXPECT_TRUE(Visible(c_.picker2));
    EXPECT_EQ(TopOf(c_.picker2), 471);
    EXPECT_EQ(PickerColor(c_.picker2), 0x00FFFFu);
    EXPECT_EQ(ToolboxHeight(), 497);

    Key(c_.brushList, VK_END);  // "颜色"
    EXPECT_EQ(Settings.brushType.load(), 7);
    EXPECT_FALSE(Visible(c_.picker2));
    EXPECT_EQ(ToolboxHeight(), 497 - (20 + 4));

    Key(c_.brushList, VK_UP);  // "斜交叉线", the last hatch
    EXPECT_EQ(Settings.brushType.load(), 6);
    EXPECT_TRUE(Visible(c_.picker2));
    Key(c_.brushList, VK_HOME);  // "空"
    EXPECT_EQ(Settings.brushType.load(), 0);
    EXPECT_FALSE(Visible(c_.picker2));
    EXPECT_EQ(ToolboxHeight(), 473);
}

TEST_F(ToolboxTest, BrushListHasTheEightStylesInOrder) {
    Settings.brushType = 4;
    Load();
    ASSERT_EQ(SendMessageA(c_.brushList, CB_GETCOUNT, 0, 0), 8);
    const char* names[8] = {"空", "横线", "竖线", "左斜线", "右斜线", "直交叉线", "斜交叉线", "颜色"};
    for (int i = 0; i < 8; ++i) {
        char item[64] = {};
        SendMessageA(c_.brushList, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        EXPECT_STREQ(item, names[i]);
    }
    EXPECT_EQ(SendMessageA(c_.brushList, CB_GETCURSEL, 0, 0), 4);
    // A hatch style already chosen shows picker 2 as soon as the fill page opens.
    ClickRadio(1);
    EXPECT_TRUE(Visible(c_.picker2));
    EXPECT_EQ(ToolboxHeight(), 497);
}

TEST_F(ToolboxTest, TextPageShowsTextAndBackgroundColours) {
    Settings.textColor = 0x0000AA;
    Settings.backColor = static_cast<int>(kNoColor);
    Load();
    ClickRadio(2);
    EXPECT_EQ(ToolboxPage.load(), 2);
    EXPECT_EQ(ToolboxColorTarget(), 2);
    EXPECT_FALSE(Visible(c_.penEdit));
    EXPECT_FALSE(Visible(c_.brushList));
    EXPECT_EQ(TopOf(c_.picker1), 423);
    EXPECT_EQ(TopOf(c_.picker2), 447);
    EXPECT_EQ(PickerColor(c_.picker1), 0x0000AAu);
    EXPECT_EQ(PickerColor(c_.picker2), kNoColor);
    EXPECT_EQ(ToolboxHeight(), 473);
    ClickRadio(0);
    EXPECT_EQ(ToolboxColorTarget(), 0);
    EXPECT_TRUE(Visible(c_.penEdit));
    EXPECT_FALSE(Visible(c_.picker2));
}

// ---- palette ----

TEST_F(ToolboxTest, PaletteHasFramesIconsAndThePenCellSelected) {
    Load();
    ASSERT_TRUE(PaletteCanvas.IsCreated());
    EXPECT_EQ(PaletteCanvas.Width(), 64);
    EXPECT_EQ(PaletteCanvas.Height(), 361);
    EXPECT_EQ(PaletteCanvas.GetPixel(0, 0), kPaletteOuterFrameColor);
    EXPECT_EQ(PaletteCanvas.GetPixel(63, 200), kPaletteOuterFrameColor);
    EXPECT_EQ(PaletteCanvas.GetPixel(1, 1), kPaletteInnerFrameColor);
    EXPECT_EQ(PaletteCanvas.GetPixel(62, 359), kPaletteInnerFrameColor);
    EXPECT_EQ(SelectedCell(), 3);
    const RECT c3 = PaletteCellRect(3, 26);
    EXPECT_EQ(PaletteCanvas.GetPixel(c3.left, c3.top + 13), kSelectionFrameColor);
    // Every cell shows its icon: a good part of the 20 x 20 square is drawn.
    for (int n = 1; n <= 25; ++n) {
        const RECT r = PaletteCellRect(n, 26);
        int drawn = 0;
        for (int y = r.top + 3; y < r.top + 23; ++y)
            for (int x = r.left + 3; x < r.left + 23; ++x)
                if (PaletteCanvas.GetPixel(x, y) != kToolboxBackgroundColor) ++drawn;
        EXPECT_GT(drawn, 40) << "cell " << n;
        // Nothing of the icon spills into the frame's ring.
        EXPECT_EQ(PaletteCanvas.GetPixel(r.left + 2, r.top + 2), kToolboxBackgroundColor) << n;
    }
}

TEST_F(ToolboxTest, PaletteWindowShowsThePaletteCanvasOnScreen) {
    Load();
    RedrawWindow(c_.toolbox, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Pump();
    RECT p{};
    GetWindowRect(c_.palette, &p);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 361);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, 64, 361, screen, p.left, p.top, SRCCOPY);
    int differing = 0;
    for (int y = 0; y < 361; y += 3)
        for (int x = 0; x < 64; x += 3)
            if (GetPixel(memory, x, y) != PaletteCanvas.GetPixel(x, y)) ++differing;
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    EXPECT_EQ(differing, 0);
}

TEST_F(ToolboxTest, MovedToA144DpiMonitorTheToolboxLaysItselfOutAgain) {
    SettingsValues values;
    values.brushType = 3;  // the fill page then shows picker 2 as well
    StoreSettingsValues(values);
    Load();
    ClickRadio(kPageFill);
    // In view (the real pointer may have sent it to the edge meanwhile); no
    // message is pumped between this and the change, so it stays there.
    ToolboxDocked.store(false);
    SetWindowPos(c_.toolbox, nullptr, 0, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT suggested{200, 100, 296, 810};
    SendMessageA(c_.toolbox, WM_DPICHANGED, MAKEWPARAM(144, 144),
                 reinterpret_cast<LPARAM>(&suggested));
    // One and a half times the 96-DPI toolbox, where the system put it.
    RECT box{};
    GetWindowRect(c_.toolbox, &box);
    EXPECT_EQ(box.left, 200);
    EXPECT_EQ(box.top, 100);
    Pump();
    const ToolboxLayout l = ComputeToolboxLayout(kPageFill, 3, 20, 361, 144);
    GetWindowRect(c_.toolbox, &box);
    EXPECT_EQ(box.right - box.left, 96);
    EXPECT_EQ(box.bottom - box.top, l.toolboxHeight);
    EXPECT_EQ(l.toolboxHeight, 746);  // 497 * 1.5, rounded
    const std::pair<HWND, RECT> placed[] = {
        {c_.titleStrip, l.titleStrip}, {c_.palette, l.palette},    {c_.radio[1], l.radios[1]},
        {c_.picker1, l.picker1.rect},  {c_.picker2, l.picker2.rect},
    };
    for (const auto& [w, want] : placed) {
        const RECT got = RectInParent(w);
        EXPECT_TRUE(EqualRect(&got, &want)) << GetDlgCtrlID(w) << ": " << got.left << ","
                                            << got.top << "," << got.right << "," << got.bottom;
    }
    EXPECT_EQ(RectInParent(c_.brushList).top, l.brushList.rect.top);

    // The palette picture is drawn again at the new scale: cells, frames, icons.
    EXPECT_EQ(PaletteCanvas.Width(), 96);
    EXPECT_EQ(PaletteCanvas.Height(), 542);
    const RECT pen = PaletteCellRect(3, 26, 144);
    EXPECT_EQ(PaletteCanvas.GetPixel(pen.left, (pen.top + pen.bottom) / 2), kSelectionFrameColor);
    const RECT line = PaletteCellRect(5, 26, 144);
    EXPECT_NE(PaletteCanvas.GetPixel((line.left + line.right) / 2, (line.top + line.bottom) / 2),
              kToolboxBackgroundColor);  // its icon, in the middle of the scaled cell
    // Tooltips and clicks follow the scaled cells.
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.hwnd = c_.palette;
    info.uId = static_cast<UINT_PTR>(PaletteCellCommand(5));
    ASSERT_TRUE(SendMessageA(PaletteTips.Handle(), TTM_GETTOOLINFOA, 0,
                             reinterpret_cast<LPARAM>(&info)));
    EXPECT_TRUE(EqualRect(&info.rect, &line));
    Click(c_.palette, (line.left + line.right) / 2, (line.top + line.bottom) / 2);
    EXPECT_EQ(SelectedCell(), 5);
    EXPECT_EQ(ChosenTool.load(), ToolLine);
    // The title strip's close zone is scaled too: its rightmost 24 pixels.
    SendMessageA(c_.titleStrip, WM_MOUSEMOVE, 0, At(70, 10));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEALL)));
    SendMessageA(c_.titleStrip, WM_MOUSEMOVE, 0, At(75, 10));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));

    // Back on a 96-DPI monitor it is exactly the designed toolbox again; one
    // hidden at the left edge stays hidden by its whole (new) width.
    ToolboxDocked.store(true);
    SetWindowPos(c_.toolbox, nullptr, -96, 100, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT back{0, 100, 64, 597};
    SendMessageA(c_.toolbox, WM_DPICHANGED, MAKEWPARAM(96, 96), reinterpret_cast<LPARAM>(&back));
    GetWindowRect(c_.toolbox, &box);
    EXPECT_EQ(box.left, -64);
    ToolboxDocked.store(false);
    Pump();
    GetWindowRect(c_.toolbox, &box);
    EXPECT_EQ(box.right - box.left, 64);
    EXPECT_EQ(box.bottom - box.top, 497);
    EXPECT_EQ(RectInParent(c_.picker2).top, 471);
    EXPECT_EQ(PaletteCanvas.Height(), 361);
    const RECT fill = RectInParent(c_.brushList);
    EXPECT_EQ(fill.bottom - fill.top, kBrushListHeight);
}

TEST_F(ToolboxTest, EveryCellButHelpHasItsTooltip) {
    Load();
    HWND tips = PaletteTips.Handle();
    ASSERT_NE(tips, nullptr);
    EXPECT_EQ(PaletteTips.Owner(), c_.palette);
    EXPECT_TRUE(Topmost(tips));
    EXPECT_EQ(SendMessageA(tips, TTM_GETDELAYTIME, TTDT_INITIAL, 0), 200);
    EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 24);
    for (int n = 1; n <= 25; ++n) {
        char text[256] = {};
        TOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V1_SIZE;
        info.hwnd = c_.palette;
        info.uId = static_cast<UINT_PTR>(PaletteCellCommand(n));
        info.lpszText = text;
        const bool has = SendMessageA(tips, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info));
        if (n == 25) {
            EXPECT_FALSE(has) << "the help cell has no tooltip";
            continue;
        }
        ASSERT_TRUE(has) << n;
        const RECT cell = PaletteCellRect(n, 26);
        EXPECT_TRUE(EqualRect(&info.rect, &cell)) << n;
        text[0] = '\0';
        info.lpszText = text;
        SendMessageA(tips, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
        EXPECT_STREQ(text, PaletteCellTip(n)) << n;
    }
}

TEST_F(ToolboxTest, LeftClickSelectsTheCellAndRunsItsCommand) {
    Load();
    ClickCell(6);  // "线段"
    EXPECT_EQ(SelectedCell(), 6);
    EXPECT_EQ(PreviousSelectedCell(), 3);
    EXPECT_EQ(ChosenTool.load(), ToolPolyline);
    const RECT c6 = PaletteCellRect(6, 26);
    EXPECT_EQ(PaletteCanvas.GetPixel(c6.left, c6.top + 13), kSelectionFrameColor);
    const RECT c3 = PaletteCellRect(3, 26);
    EXPECT_EQ(PaletteCanvas.GetPixel(c3.left, c3.top + 13), kToolboxBackgroundColor);
    // A click beside the cells selects nothing and runs nothing.
    Click(c_.palette, 2, 2);
    EXPECT_EQ(SelectedCell(), 6);
    EXPECT_EQ(ChosenTool.load(), ToolPolyline);
}

TEST_F(ToolboxTest, RightClickRunsTheSecondaryAction) {
    Load();
    RightClickCell(11);  // polygon cell: the star
    EXPECT_EQ(ChosenTool.load(), ToolStar);
    EXPECT_EQ(SelectedCell(), 11);
    RightClickCell(8);  // ellipse: no second action
    EXPECT_EQ(ChosenTool.load(), ToolStar);
    EXPECT_EQ(SelectedCell(), 11);
}

TEST_F(ToolboxTest, HoverFramesANeighbourOfTheSelectionAtTheSecondMove) {
    Load();
    const RECT c3 = PaletteCellRect(3, 26);
    const RECT c4 = PaletteCellRect(4, 26);
    SendMessageA(c_.palette, WM_MOUSEMOVE, 0, At(c3.left + 10, c3.top + 10));
    SendMessageA(c_.palette, WM_MOUSEMOVE, 0, At(c4.left + 10, c4.top + 10));
    EXPECT_EQ(HoverCell(), 4);
    EXPECT_EQ(PaletteCanvas.GetPixel(c4.left, c4.top + 13), kToolboxBackgroundColor);
    SendMessageA(c_.palette, WM_MOUSEMOVE, 0, At(c4.left + 11, c4.top + 10));
    EXPECT_EQ(PaletteCanvas.GetPixel(c4.left, c4.top + 13), kHoverFrameColor);
    // Leaving the palette takes the hover frame away.
    SendMessageA(c_.palette, WM_MOUSELEAVE, 0, 0);
    EXPECT_EQ(HoverCell(), 0);
    EXPECT_EQ(PaletteCanvas.GetPixel(c4.left, c4.top + 13), kToolboxBackgroundColor);
}

TEST_F(ToolboxTest, AnotherThreadSelectsCellsThroughThePaletteWindow) {
    Load();
    ASSERT_TRUE(RunOnOtherThread([] { SelectCell(9); }));
    EXPECT_EQ(SelectedCell(), 9);
    const RECT c9 = PaletteCellRect(9, 26);
    EXPECT_EQ(PaletteCanvas.GetPixel(c9.left, c9.top + 13), kSelectionFrameColor);
}

// ---- settings changes ----

TEST_F(ToolboxTest, TypedPenWidthReachesTheSettingsAndAnOpenBoard) {
    Load();
    MakeFakeBoard();
    SendMessageA(c_.penEdit, EM_SETSEL, 0, -1);
    SendMessageA(c_.penEdit, WM_CHAR, '1', 1);
    SendMessageA(c_.penEdit, WM_CHAR, '2', 1);
    EXPECT_EQ(Settings.penWidth.load(), 12);
    auto posted = TakePosted();
    ASSERT_FALSE(posted.empty());
    EXPECT_EQ(posted.back(), std::make_pair(51, 12));
    // Letters are refused by the box; text that is no number reads as 0.
    SendMessageA(c_.penEdit, WM_CHAR, 'x', 1);
    EXPECT_EQ(Text(c_.penEdit), "12");
    SetWindowTextA(c_.penEdit, "");
    EXPECT_EQ(Settings.penWidth.load(), 0);
    // Bounded to the spinner's range as typed (what is used is what is saved).
    for (char digit : std::string("4294967295")) SendMessageA(c_.penEdit, WM_CHAR, digit, 1);
    EXPECT_EQ(Text(c_.penEdit), "50");
    EXPECT_EQ(Settings.penWidth.load(), 50);
}

TEST_F(ToolboxTest, WithoutABoardSettingsAreKeptButNothingIsPosted) {
    Load();
    MakeFakeBoard();
    BoardWindow.store(nullptr);  // the board has gone
    SetWindowTextA(c_.penEdit, "9");
    EXPECT_EQ(Settings.penWidth.load(), 9);
    EXPECT_TRUE(TakePosted().empty());
}

TEST_F(ToolboxTest, WheelStepsThePenWidthWithinTheSpinnerLimits) {
    Settings.penWidth = 48;
    Load();
    for (int i = 0; i < 3; ++i) Wheel(c_.penEdit, WHEEL_DELTA);
    EXPECT_EQ(Text(c_.penEdit), "50");
    EXPECT_EQ(Settings.penWidth.load(), 50);
    Wheel(c_.penEdit, -2 * WHEEL_DELTA);
    EXPECT_EQ(Settings.penWidth.load(), 48);
    SetWindowTextA(c_.penEdit, "0");
    Wheel(c_.penEdit, -WHEEL_DELTA);
    EXPECT_EQ(Text(c_.penEdit), "0");
    // The wheel turned over the box reaches it while another control has the focus.
    Wheel(c_.toolbox, WHEEL_DELTA);
    EXPECT_EQ(Settings.penWidth.load(), 1);
}

TEST_F(ToolboxTest, Picker1StoresTheColourOfThePageShown) {
    Load();
    MakeFakeBoard();
    g_colorDialogColor = 0x00AA00;
    Click(c_.picker1, 10, 10);
    EXPECT_EQ(g_colorDialogCalls, 1);
    EXPECT_EQ(Settings.penColor.load(), 0x00AA00);
    EXPECT_EQ(PickerColor(c_.picker1), 0x00AA00u);

    ClickRadio(1);
    g_colorDialogColor = 0x0000BB;
    Click(c_.picker1, 10, 10);
    EXPECT_EQ(Settings.brushColor.load(), 0x0000BB);
    EXPECT_EQ(Settings.penColor.load(), 0x00AA00);

    ClickRadio(2);
    g_colorDialogColor = 0xCC0000;
    Click(c_.picker1, 10, 10);
    EXPECT_EQ(Settings.textColor.load(), 0xCC0000);

    const auto posted = TakePosted();
    const std::vector<std::pair<int, int>> expected = {{52, 0x00AA00}, {53, 0x0000BB}, {55, 0xCC0000}};
    EXPECT_EQ(posted, expected);
}

TEST_F(ToolboxTest, Picker2StoresTheBackgroundAndCanGoBackToNone) {
    Load();
    MakeFakeBoard();
    ClickRadio(2);
    g_colorDialogColor = 0x808000;
    Click(c_.picker2, 5, 5);
    EXPECT_EQ(Settings.backColor.load(), 0x808000);
    RightClick(c_.picker2, 5, 5);
    EXPECT_EQ(Settings.backColor.load(), static_cast<int>(kNoColor));
    const auto posted = TakePosted();
    ASSERT_EQ(posted.size(), 2u);
    EXPECT_EQ(posted[0], std::make_pair(56, 0x808000));
    EXPECT_EQ(posted[1].first, 56);
}

TEST_F(ToolboxTest, CancelledColourDialogChangesNothing) {
    Settings.penColor = 0x123456;
    Load();
    MakeFakeBoard();
    g_colorDialogAnswer = false;
    Click(c_.picker1, 10, 10);
    EXPECT_EQ(g_colorDialogCalls, 1);
    EXPECT_EQ(Settings.penColor.load(), 0x123456);
    EXPECT_TRUE(TakePosted().empty());
    // A press that ends outside the swatch is no click at all.
    SendMessageA(c_.picker1, WM_LBUTTONDOWN, MK_LBUTTON, At(10, 10));
    SendMessageA(c_.picker1, WM_LBUTTONUP, 0, At(200, 10));
    EXPECT_EQ(g_colorDialogCalls, 1);
}

TEST_F(ToolboxTest, BoardThreadSetsTheBrushTypeThroughTheList) {
    Load();
    MakeFakeBoard();
    ClickRadio(1);
    ASSERT_TRUE(RunOnOtherThread([] { SetToolboxBrushType(5); }));
    EXPECT_EQ(SendMessageA(c_.brushList, CB_GETCURSEL, 0, 0), 5);
    EXPECT_EQ(Settings.brushType.load(), 5);
    EXPECT_TRUE(Visible(c_.picker2));
    EXPECT_EQ(ToolboxHeight(), 497);
    // The board's own way in (digit keys, fill substitution).
    ASSERT_TRUE(RunOnOtherThread([] { ChooseBrushType(7); }));
    EXPECT_EQ(Settings.brushType.load(), 7);
    EXPECT_EQ(ToolboxHeight(), 473);
    ASSERT_TRUE(RunOnOtherThread([] { SetToolboxBrushType(8); }));  // no such style
    EXPECT_EQ(Settings.brushType.load(), 7);
    const auto posted = TakePosted();
    const std::vector<std::pair<int, int>> expected = {{54, 5}, {54, 7}};
    EXPECT_EQ(posted, expected);
}

TEST_F(ToolboxTest, EyedropperColourShowsInPicker1WithoutAnyMessage) {
    Settings.penColor = 0x010101;
    Load();
    MakeFakeBoard();
    ASSERT_TRUE(RunOnOtherThread([] { SetToolboxColor1(0x345678); }));
    EXPECT_EQ(PickerColor(c_.picker1), 0x345678u);
    EXPECT_EQ(Settings.penColor.load(), 0x010101);  // the board stores the setting itself
    EXPECT_TRUE(TakePosted().empty());
}

// ---- font and help ----

TEST_F(ToolboxTest, FontCellTakesTheDialogsFontAndGoesBackToThePreviousCell) {
    FontSpec start;
    start.angle = 450;
    SetTextFont(start);
    Settings.textColor = 0x0000FF;
    Load();
    ClickCell(8);  // ellipse selected before the font cell
    g_fontDialogFont = FontSpec{0, true, true, false, true, 20, "黑体"};
    ClickCell(16);
    EXPECT_EQ(g_fontDialogCalls, 1);
    EXPECT_EQ(g_fontDialogSawColor, 0x0000FFu);
    const FontSpec now = GetTextFont();
    EXPECT_EQ(now.faceName, "黑体");
    EXPECT_EQ(now.size, 20);
    EXPECT_TRUE(now.bold);
    EXPECT_TRUE(now.italic);
    EXPECT_TRUE(now.underline);
    EXPECT_FALSE(now.strikeout);
    EXPECT_EQ(now.angle, 450);  // the dialog does not offer the angle
    EXPECT_EQ(SelectedCell(), 8);
    EXPECT_EQ(ChosenTool.load(), ToolEllipse);
}

TEST_F(ToolboxTest, CancelledFontDialogKeepsTheFontAndStillGoesBack) {
    Load();
    g_fontDialogAnswer = false;
    ClickCell(16);
    EXPECT_EQ(g_fontDialogCalls, 1);
    EXPECT_EQ(GetTextFont(), FontSpec{});
    EXPECT_EQ(SelectedCell(), 3);
}

TEST_F(ToolboxTest, HelpCellOpensTheHelpWindowOnce) {
    Load();
    ClickCell(25);
    ASSERT_TRUE(HelpWindowLoaded());
    HWND help = HelpWindowHandle();
    EXPECT_EQ(Text(help), "说明");
    RECT r{};
    GetWindowRect(help, &r);
    EXPECT_EQ(r.left, 50);
    EXPECT_EQ(r.top, 50);
    EXPECT_EQ(r.right - r.left, 361);
    EXPECT_EQ(GetParent(help), nullptr);
    EXPECT_FALSE(Topmost(help));  // no board open
    HWND label = GetWindow(help, GW_CHILD);
    ASSERT_NE(label, nullptr);
    char text[2048] = {};
    GetWindowTextA(label, text, sizeof(text));
    EXPECT_EQ(std::string(text), HelpText());
    // Every line shows in the font it is given: the label holds the text and
    // the window the label.
    HDC dc = GetDC(label);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)));
    RECT need{0, 0, 344, 0}, box = RectInParent(label), client{};
    DrawTextA(dc, text, -1, &need, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    ReleaseDC(label, dc);
    GetClientRect(help, &client);
    EXPECT_GE(box.bottom - box.top, need.bottom);
    EXPECT_GE(client.bottom, box.bottom + 8);
    ClickCell(25);
    EXPECT_EQ(HelpWindowHandle(), help);
    // The board keeps it on top while it is open, from its own thread.
    ASSERT_TRUE(RunOnOtherThread([] { SetHelpWindowTopmost(true); }));
    Pump();
    EXPECT_TRUE(Topmost(help));
    ASSERT_TRUE(RunOnOtherThread([] { SetHelpWindowTopmost(false); }));
    Pump();
    EXPECT_FALSE(Topmost(help));
}

TEST_F(ToolboxTest, HelpMovedToA144DpiMonitorScalesItsTextBox) {
    Load();
    ClickCell(25);
    ASSERT_TRUE(HelpWindowLoaded());
    HWND help = HelpWindowHandle();
    HWND label = GetWindow(help, GW_CHILD);
    ASSERT_NE(label, nullptr);
    const HFONT font96 = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    LOGFONTA lf{};
    ASSERT_EQ(GetObjectA(font96, sizeof(lf), &lf), static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, -12);

    RECT suggested{100, 60, 100 + 542, 60 + 530};
    SendMessageA(help, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    RECT r{};
    GetWindowRect(help, &r);
    EXPECT_EQ(r.left, suggested.left);
    EXPECT_EQ(r.right, suggested.right);  // the height follows the text
    const RECT box = RectInParent(label);
    EXPECT_EQ(box.left, 12);  // 8, 8, 352 at 1.5
    EXPECT_EQ(box.top, 12);
    EXPECT_EQ(box.right, 528);
    ASSERT_EQ(GetObjectA(reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0)),
                         sizeof(lf), &lf),
              static_cast<int>(sizeof(lf)));
    EXPECT_EQ(lf.lfHeight, -18);
}

TEST_F(ToolboxTest, HelpAskedForByAnotherThreadLivesOnTheToolboxThread) {
    Load();
    ASSERT_TRUE(RunOnOtherThread([] { ShowHelpWindow(); }));
    ASSERT_TRUE(HelpWindowLoaded());
    // Made on the toolbox's thread, it does not vanish with the thread that asked.
    EXPECT_EQ(GetWindowThreadProcessId(HelpWindowHandle(), nullptr), GetCurrentThreadId());
}

TEST(ToolboxHelp, EighteenLinesEachFollowedByAnEmptyLine) {
    const std::string text = HelpText();
    EXPECT_EQ(text.rfind("功能说明：\r\n\r\n", 0), 0u);
    int breaks = 0;
    for (size_t at = text.find("\r\n\r\n"); at != std::string::npos;
         at = text.find("\r\n\r\n", at + 4))
        ++breaks;
    EXPECT_EQ(breaks, 18);
    EXPECT_NE(text.find("12：数字快捷键(1—8)选择画刷类型；\r\n\r\n"), std::string::npos);
    EXPECT_EQ(text.size() - text.rfind("。\r\n\r\n"), std::string("。\r\n\r\n").size());
}

// ---- title strip, closing, docking ----

TEST_F(ToolboxTest, StripCursorIsTheArrowOnlyOverTheCloseZone) {
    Load();
    SendMessageA(c_.titleStrip, WM_MOUSEMOVE, 0, At(10, 10));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEALL)));
    SendMessageA(c_.titleStrip, WM_MOUSEMOVE, 0, At(48, 10));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)));
    SendMessageA(c_.titleStrip, WM_MOUSEMOVE, 0, At(47, 10));
    EXPECT_EQ(GetCursor(), LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_SIZEALL)));
}

TEST_F(ToolboxTest, CloseZoneDoesNothingWhileABoardIsOpen) {
    Load();
    MakeFakeBoard();
    Click(c_.titleStrip, 60, 10);
    EXPECT_TRUE(IsWindow(c_.toolbox));
    SendMessageA(c_.toolbox, WM_CLOSE, 0, 0);  // nor any other way of closing
    EXPECT_TRUE(IsWindow(c_.toolbox));
    EXPECT_EQ(g_endCalls, 0);
}

TEST_F(ToolboxTest, CloseZoneEndsTheProgramWithoutABoard) {
    Settings.penWidth = 17;
    Load();
    SendMessageA(c_.titleStrip, WM_LBUTTONUP, 0, At(47, 10));  // just left of the zone
    EXPECT_TRUE(IsWindow(c_.toolbox));
    Click(c_.titleStrip, 48, 10);
    EXPECT_FALSE(IsWindow(c_.toolbox));
    EXPECT_EQ(g_endCalls, 1);
    EXPECT_EQ(g_endCode, 0u);
    // The settings were saved on the way out.
    EXPECT_EQ(GetPrivateProfileIntA("属性", "画笔粗细", -1, ini_.c_str()), 17);
    // Hook and hotkey are given back: F9 is free again.
    EXPECT_EQ(MouseHook.load(), nullptr);
    EXPECT_EQ(ToolboxWindow.load(), nullptr);
    EXPECT_FALSE(ToolboxLoaded);
    ASSERT_TRUE(RegisterHotKey(nullptr, 77, 0, VK_F9));
    UnregisterHotKey(nullptr, 77);
}

TEST_F(ToolboxTest, ClosingTheToolboxClosesThePictureWindowsToo) {
    Load();
    // A picture window: a RawWindow with a loop of its own on another thread.
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID) -> DWORD {
            RawWindowParams params;
            params.title = "截图";
            params.size = SIZE{120, 90};
            RawWindow(params);
            return 0;
        },
        nullptr, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    HWND picture = nullptr;
    const ULONGLONG end = GetTickCount64() + 5000;
    while (picture == nullptr && GetTickCount64() < end) {
        for (const RawWindowEntry& e : RawWindowListSnapshot())
            if (IsWindow(e.hwnd)) picture = e.hwnd;
        Pump();
        Sleep(10);
    }
    ASSERT_NE(picture, nullptr);
    // While it is open the help window stays above it.
    ClickCell(25);
    ASSERT_TRUE(HelpWindowLoaded());
    EXPECT_TRUE(Topmost(HelpWindowHandle()));

    Click(c_.titleStrip, 60, 10);
    EXPECT_FALSE(IsWindow(c_.toolbox));
    EXPECT_FALSE(IsWindow(picture));
    EXPECT_EQ(WaitForSingleObject(thread, 5000), WAIT_OBJECT_0);  // its loop ended
    CloseHandle(thread);
    EXPECT_EQ(g_endCalls, 1);
}

TEST_F(ToolboxTest, F9IsTakenWhileTheToolboxLives) {
    Load();
    EXPECT_NE(MouseHook.load(), nullptr);
    EXPECT_FALSE(RegisterHotKey(nullptr, 78, 0, VK_F9));
    UnregisterHotKey(nullptr, 78);
    EXPECT_EQ(g_notices, 0);  // F9 was free: nothing to tell
}

TEST_F(ToolboxTest, F9HeldByAnotherProgramIsToldOnceAndTheToolboxStillRuns) {
    HeldF9 other;
    ASSERT_TRUE(other.Holding());
    Load();
    EXPECT_TRUE(IsWindowVisible(c_.toolbox));
    EXPECT_EQ(g_notices, 1);
    EXPECT_NE(g_noticeText.find("F9"), std::string::npos);
    EXPECT_NE(g_noticeText.find("截屏到画板窗口"), std::string::npos);  // the cell that still works
    EXPECT_FALSE(NotifyF9Taken());  // once is enough
    EXPECT_EQ(g_notices, 1);
}

TEST_F(ToolboxTest, DockingRoutineSlidesTheToolboxOutAndBack) {
    Load();
    RECT r{};
    GetWindowRect(c_.toolbox, &r);
    ToolboxDockingRoutine(WM_MOUSEMOVE, r.right + 300, r.top + 50);
    GetWindowRect(c_.toolbox, &r);
    EXPECT_EQ(r.left, -64);
    EXPECT_TRUE(Topmost(c_.toolbox));
    EXPECT_TRUE(ToolboxDocked.load());
    EXPECT_TRUE(EqualRect(&ToolboxRect, &r));
    ToolboxDockingRoutine(WM_MOUSEMOVE, 4, r.top + 50);  // not at the edge yet
    GetWindowRect(c_.toolbox, &r);
    EXPECT_EQ(r.left, -64);
    ToolboxDockingRoutine(WM_MOUSEMOVE, 2, r.top + 50);
    GetWindowRect(c_.toolbox, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_FALSE(Topmost(c_.toolbox));
    EXPECT_FALSE(ToolboxDocked.load());
    EXPECT_EQ(r.bottom - r.top, 473);
}

TEST_F(ToolboxTest, NoDockingWhileTheUserDragsTheToolbox) {
    Load();
    RECT r{};
    GetWindowRect(c_.toolbox, &r);
    // The drag's pointer runs ahead of the window it moves.
    SendMessageA(c_.toolbox, WM_ENTERSIZEMOVE, 0, 0);
    ToolboxDockingRoutine(WM_MOUSEMOVE, r.right + 100, r.top + 10);
    GetWindowRect(c_.toolbox, &r);
    EXPECT_EQ(r.left, 0);
    EXPECT_FALSE(ToolboxDocked.load());
    SendMessageA(c_.toolbox, WM_EXITSIZEMOVE, 0, 0);
    // Dropped at the edge, it docks as soon as the pointer leaves it.
    ToolboxDockingRoutine(WM_MOUSEMOVE, r.right + 100, r.top + 10);
    GetWindowRect(c_.toolbox, &r);
    EXPECT_EQ(r.left, -64);
}

// A quick drag of the title strip: the hook's first moves, already outside
// the toolbox, can be read before the press has started the move loop.
TEST_F(ToolboxTest, RealPointerPressHeldOnTheToolboxKeepsItInViewUntilReleased) {
    Load();
    const MouseHookClient previous = SetMouseHookClient(nullptr);  // only this test's pointer
    RECT r{};
    GetWindowRect(c_.toolbox, &r);
    ASSERT_EQ(r.left, 0);
    auto button = [](DWORD flags) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flags;
        return SendInput(1, &in, sizeof(in)) == 1;
    };
    SetCursorPos(ScreenSize.cx / 2, ScreenSize.cy / 2);  // the real press lands on no window of ours
    ASSERT_TRUE(button(MOUSEEVENTF_LEFTDOWN));
    ToolboxDockingRoutine(WM_LBUTTONDOWN, r.left + 20, r.top + 10);
    ToolboxDockingRoutine(WM_MOUSEMOVE, r.right + 200, r.top + 30);
    RECT held{};
    GetWindowRect(c_.toolbox, &held);
    ASSERT_TRUE(button(MOUSEEVENTF_LEFTUP));
    // The release never reached the hook: the next move outside docks it all the same.
    ToolboxDockingRoutine(WM_MOUSEMOVE, r.right + 200, r.top + 30);
    RECT released{};
    GetWindowRect(c_.toolbox, &released);
    SetMouseHookClient(previous);
    Pump();
    EXPECT_EQ(held.left, 0);
    EXPECT_EQ(released.left, -64);
}

TEST_F(ToolboxTest, ToolboxDraggedToTheMiddleNeverDocks) {
    Load();
    SetWindowPos(c_.toolbox, nullptr, 700, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ToolboxDockingRoutine(WM_MOUSEMOVE, 0, 0);
    ToolboxDockingRoutine(WM_MOUSEMOVE, 1919, 300);
    RECT r{};
    GetWindowRect(c_.toolbox, &r);
    EXPECT_EQ(r.left, 700);
    EXPECT_FALSE(ToolboxDocked.load());
}

// The hook's thread only posts; the toolbox docks on its own thread.
TEST_F(ToolboxTest, PointerPostedFromTheHookThreadDocksTheToolbox) {
    Load();
    RECT r{};
    GetWindowRect(c_.toolbox, &r);
    const MouseHookClient previous = SetMouseHookClient(nullptr);  // only this test's pointer
    g_postedPoint = POINT{r.right + 200, r.top + 10};
    ASSERT_TRUE(RunOnOtherThread(
        [] { PostPointerToToolbox(WM_MOUSEMOVE, g_postedPoint.x, g_postedPoint.y); }));
    Pump();
    SetMouseHookClient(previous);
    GetWindowRect(c_.toolbox, &r);
    EXPECT_TRUE(ToolboxDocked.load());
    EXPECT_EQ(r.left, -64);
}

TEST_F(ToolboxTest, RealPointerAtTheEdgeBringsTheHiddenToolboxBackWithTheHookSilent) {
    Load();
    const MouseHookClient previous = SetMouseHookClient(nullptr);  // the hook sees nothing
    RECT shown{};
    GetWindowRect(c_.toolbox, &shown);
    ASSERT_EQ(shown.left, 0);
    const POINT middle{ScreenSize.cx / 2, ScreenSize.cy / 2};
    SetCursorPos(middle.x, middle.y);
    ToolboxDockingRoutine(WM_MOUSEMOVE, middle.x, middle.y);
    ASSERT_TRUE(ToolboxDocked.load());

    // Polled while hidden: away from the edge it stays hidden ...
    auto leftNow = [this] {
        RECT r{};
        GetWindowRect(c_.toolbox, &r);
        return r.left;
    };
    auto pumpFor = [this](DWORD ms, const std::function<bool()>& done) {
        const ULONGLONG end = GetTickCount64() + ms;
        while (GetTickCount64() < end) {
            Pump();
            if (done && done()) return true;
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
        }
        return false;
    };
    pumpFor(400, nullptr);
    EXPECT_EQ(leftNow(), -64);
    // ... and the cursor in its edge band brings it back.
    for (int attempt = 0; attempt < 3 && leftNow() != 0; ++attempt) {
        SetCursorPos(1, shown.top + 40);  // a warp can be lost on a busy machine: again
        pumpFor(1500, [&] { return leftNow() == 0; });
    }
    SetMouseHookClient(previous);
    SetCursorPos(middle.x, middle.y);  // out of the edge band for the tests after this one
    EXPECT_EQ(leftNow(), 0);
    EXPECT_FALSE(ToolboxDocked.load());
}

// ---- the region cell ----

// The region screenshot under way from the region cell; the test thread is
// the toolbox's and keeps it running while it waits.
class ToolboxRegionTest : public ToolboxTest {
protected:
    void TearDown() override {
        CancelSelection();
        board_test::WaitUntil([] { return !RegionScreenshotUnderWay(); }, 10000);
        if (BoardExists()) CloseBoardAndWait(5000);
        ToolboxTest::TearDown();
    }
    // A click on the region cell, queued as the user's would be.
    void PostRegionClick() {
        const RECT r = PaletteCellRect(PaletteCellOfCommand(PaletteCommand::Region),
                                       PaletteCurrentCellSize(), PaletteCurrentDpi());
        const LPARAM at = At((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        PostMessageA(c_.palette, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(c_.palette, WM_LBUTTONUP, 0, at);
    }
    static bool SelectionOpen() { return RegionSelectionWindow() != nullptr; }
    static void CancelSelection() {
        DWORD_PTR answer = 0;
        if (HWND selection = RegionSelectionWindow())
            SendMessageTimeoutA(selection, WM_KEYUP, VK_ESCAPE, 0xC0000001, SMTO_NORMAL, 5000,
                                &answer);
    }
    // Keeps the toolbox running for `ms`; false as soon as `bad` holds.
    static bool NeverDuring(DWORD ms, const std::function<bool()>& bad) {
        return !board_test::WaitUntil(bad, ms);
    }
};

TEST_F(ToolboxRegionTest, TheCellReturnsAtOnceAndTheToolboxAnswersThroughTheDelay) {
    Load();
    Settings.captureDelay.store(1500);
    const int region = PaletteCellOfCommand(PaletteCommand::Region);
    const RECT r = PaletteCellRect(region, PaletteCurrentCellSize(), PaletteCurrentDpi());
    const LPARAM at = At((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    const HWND palette = c_.palette;
    const HWND toolbox = c_.toolbox;
    // Another thread clicks and asks, as the user and the system would.
    std::atomic<bool> clickReturned{false}, answered{false}, hiddenMeanwhile{false}, done{false};
    std::atomic<ULONGLONG> selectionAfter{0};
    std::thread user([&] {
        DWORD_PTR out = 0;
        const ULONGLONG start = GetTickCount64();
        clickReturned = SendMessageTimeoutA(palette, WM_LBUTTONDOWN, MK_LBUTTON, at, SMTO_NORMAL,
                                            1000, &out) != 0;
        SendMessageTimeoutA(palette, WM_LBUTTONUP, 0, at, SMTO_NORMAL, 1000, &out);
        Sleep(300);
        answered = SendMessageTimeoutA(toolbox, WM_NULL, 0, 0, SMTO_NORMAL, 300, &out) != 0 &&
                   !SelectionOpen();
        hiddenMeanwhile = !IsWindowVisible(toolbox);
        const ULONGLONG end = GetTickCount64() + 10000;
        while (!SelectionOpen() && GetTickCount64() < end) Sleep(10);
        selectionAfter = GetTickCount64() - start;
        CancelSelection();
        done = true;
    });
    EXPECT_TRUE(board_test::WaitUntil([&] { return done.load() && IsWindowVisible(toolbox); },
                                      15000));
    user.join();
    EXPECT_TRUE(clickReturned.load()) << "the click handler waited for the screenshot";
    EXPECT_TRUE(answered.load());
    EXPECT_TRUE(hiddenMeanwhile.load());
    EXPECT_GE(selectionAfter.load(), 1400u);  // the delay still passes before the screen freezes
    EXPECT_EQ(SelectedCell(), 3);             // back to the cell selected before
}

TEST_F(ToolboxRegionTest, F9DuringASelectionMakesNoBoard) {
    Load();
    ASSERT_FALSE(RegisterHotKey(nullptr, 79, 0, VK_F9)) << "the toolbox does not hold F9";
    Settings.captureDelay.store(0);
    PostRegionClick();
    ASSERT_TRUE(board_test::WaitUntil(&SelectionOpen, 10000));
    PostMessageA(c_.palette, WM_HOTKEY, static_cast<WPARAM>(HotkeyIdOf(c_.toolbox)),
                 MAKELPARAM(0, VK_F9));
    EXPECT_TRUE(NeverDuring(1500, [] { return BoardExists(); }));
    EXPECT_TRUE(SelectionOpen());
}

TEST_F(ToolboxRegionTest, ASecondRegionCommandDuringOneOpensNoSecondSelection) {
    Load();
    Settings.captureDelay.store(1000);
    PostRegionClick();
    Pump();
    board_test::WaitUntil([] { return false; }, 400);  // well inside the first one's delay
    PostRegionClick();
    ASSERT_TRUE(board_test::WaitUntil(&SelectionOpen, 10000));
    CancelSelection();
    ASSERT_TRUE(board_test::WaitUntil([] { return !SelectionOpen(); }, 5000));
    // A second one would open once its own delay had passed.
    EXPECT_TRUE(NeverDuring(2000, &SelectionOpen));
    EXPECT_TRUE(IsWindowVisible(c_.toolbox));
    EXPECT_EQ(SelectedCell(), 3);
}

}  // namespace
