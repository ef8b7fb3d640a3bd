#include "support/board_fixture.h"

#include "support/temp_folder.h"

#include <cstring>
#include <fstream>

#include "app/board_listener.h"
#include "app/palette.h"
#include "app/startup.h"
#include "board/board.h"
#include "board/board_state.h"
#include "board/commands.h"
#include "board/palette_picture.h"
#include "board/tools/tool_table.h"
#include "graphics/canvas.h"
#include "settings/settings.h"

namespace board_test {

namespace {

constexpr const char* kPatchClass = "BoardTestColorPatch";

LRESULT CALLBACK PatchProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ERASEBKGND) return 1;
    if (message == WM_PAINT) {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(window, &ps);
        RECT r{};
        GetClientRect(window, &r);
        HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(GetWindowLongPtrA(window, GWLP_USERDATA)));
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) | (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

void PrepareProcessOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    ReadScreenSize();
    if (PalettePicture.empty()) BuildEyedropperSpectrum();
}

}  // namespace

std::string TempPath(const std::string& name) {
    static const TempFolder folder("drawboard_board_tests");
    return folder.File(name);
}

std::vector<std::uint8_t> SolidBmp(int width, int height, COLORREF color, COLORREF marker) {
    const std::uint32_t image = static_cast<std::uint32_t>(width) * height * 4;
    std::vector<std::uint8_t> b(54 + image, 0);
    auto put32 = [&b](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i) b[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 54 + image);
    put32(10, 54);
    put32(14, 40);
    put32(18, static_cast<std::uint32_t>(width));
    put32(22, static_cast<std::uint32_t>(height));
    b[26] = 1;
    b[28] = 32;
    put32(34, image);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            COLORREF c = (x == 0 && y == 0 && marker != 0xFFFFFFFF) ? marker : color;
            // Rows are stored bottom-up.
            std::size_t at = 54 + (static_cast<std::size_t>(height - 1 - y) * width + x) * 4;
            b[at] = GetBValue(c);
            b[at + 1] = GetGValue(c);
            b[at + 2] = GetRValue(c);
            b[at + 3] = 0xFF;
        }
    }
    return b;
}

BmpInfo ReadBmpInfo(const std::vector<std::uint8_t>& bytes) {
    BmpInfo info;
    if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return info;
    info.fileSize = U32(bytes, 2);
    info.pixelOffset = U32(bytes, 10);
    info.width = static_cast<int>(U32(bytes, 18));
    info.height = static_cast<int>(U32(bytes, 22));
    info.bitCount = bytes[28] | (bytes[29] << 8);
    info.imageSize = U32(bytes, 34);
    info.ok = U32(bytes, 14) == 40;
    return info;
}

COLORREF BmpPixel(const std::vector<std::uint8_t>& bytes, int x, int y) {
    const BmpInfo info = ReadBmpInfo(bytes);
    if (!info.ok || x < 0 || y < 0 || x >= info.width || y >= std::abs(info.height)) return 0xFFFFFFFF;
    const int bpp = info.bitCount / 8;
    const std::size_t stride = ((static_cast<std::size_t>(info.width) * info.bitCount + 31) / 32) * 4;
    const int row = info.height > 0 ? info.height - 1 - y : y;
    const std::size_t at = info.pixelOffset + static_cast<std::size_t>(row) * stride + static_cast<std::size_t>(x) * bpp;
    if (at + 3 > bytes.size()) return 0xFFFFFFFF;
    return RGB(bytes[at + 2], bytes[at + 1], bytes[at]);
}

ColorPatch::ColorPatch(RECT rect, COLORREF color) : rect_(rect), color_(color) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = &PatchProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kPatchClass;
    RegisterClassExA(&wc);
    window_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kPatchClass, "patch", WS_POPUP,
                              rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                              nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (window_ == nullptr) return;
    SetWindowLongPtrA(window_, GWLP_USERDATA, static_cast<LONG_PTR>(color));
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
    WaitUntil([this] { return Shown(); }, 5000);
}

ColorPatch::~ColorPatch() {
    if (window_ != nullptr) DestroyWindow(window_);
    ProcessPendingMessages();
}

bool ColorPatch::Recolor(COLORREF color) {
    color_ = color;
    SetWindowLongPtrA(window_, GWLP_USERDATA, static_cast<LONG_PTR>(color));
    InvalidateRect(window_, nullptr, TRUE);
    UpdateWindow(window_);
    return WaitUntil([this] { return Shown(); }, 5000);
}

bool ColorPatch::Shown() const {
    const int cx = (rect_.left + rect_.right) / 2;
    const int cy = (rect_.top + rect_.bottom) / 2;
    return ScreenPixel(cx, cy) == color_ && ScreenPixel(rect_.left + 2, rect_.top + 2) == color_;
}

LRESULT SendToBoard(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND board = BoardWindow.load();
    if (board == nullptr) return 0;
    // What was posted to the board before (a tool switch, a setting) is
    // handled first, as it would be before the next input arrives: a sent
    // message would otherwise overtake it.
    WithBoard([](DrawingBoard&) {}, 10000);
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(board, message, wParam, lParam, SMTO_NORMAL, 10000, &result)) return 0;
    return static_cast<LRESULT>(result);
}

void KeyDown(WPARAM key) { SendToBoard(WM_KEYDOWN, key, 1); }
void KeyUp(WPARAM key) { SendToBoard(WM_KEYUP, key, 0xC0000001); }
void PressKey(WPARAM key) {
    KeyDown(key);
    KeyUp(key);
}

void Drag(POINT from, POINT to) {
    SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(from.x, from.y));
    const POINT mid{(from.x + to.x) / 2, (from.y + to.y) / 2};
    SendToBoard(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(mid.x, mid.y));
    SendToBoard(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(to.x, to.y));
    SendToBoard(WM_LBUTTONUP, 0, MAKELPARAM(to.x, to.y));
}

bool SameCanvasPixels(Canvas& a, Canvas& b) {
    if (a.Width() != b.Width() || a.Height() != b.Height()) return false;
    return a.ToBmpBytes() == b.ToBmpBytes();
}

void OnBoard(const std::function<void(DrawingBoard&)>& work) {
    if (!WithBoard(work, 10000)) ADD_FAILURE() << "no board answered";
}

int CurrentTool() {
    int tool = ChosenTool.load();
    if (BoardExists()) OnBoard([&tool](DrawingBoard& b) { tool = b.state.currentTool; });
    return tool;
}

BoardState BoardStateNow() {
    BoardState state;
    OnBoard([&state](DrawingBoard& b) { state = b.state; });
    return state;
}

bool BothCanvases(const std::function<bool(Canvas&)>& holds) {
    bool both = false;
    OnBoard([&](DrawingBoard& b) { both = holds(b.Shown()) && holds(b.Committed()); });
    return both;
}

void SetCurrentToolDirectly(int tool) {
    ChosenTool.store(tool);
    if (BoardExists())
        OnBoard([tool](DrawingBoard& b) { b.state.currentTool = static_cast<ToolKind>(tool); });
}

COLORREF BoardPixel(int x, int y) {
    COLORREF c = CLR_INVALID;
    OnBoard([&](DrawingBoard& b) { c = b.Shown().GetPixel(x, y); });
    return c;
}

COLORREF BackPixel(int x, int y) {
    COLORREF c = CLR_INVALID;
    OnBoard([&](DrawingBoard& b) { c = b.Committed().GetPixel(x, y); });
    return c;
}

SIZE LiveBoardSize() {
    SIZE size{};
    OnBoard([&](DrawingBoard& b) { size = b.size; });
    return size;
}

bool BoardMatchesBack() {
    bool same = false;
    OnBoard([&](DrawingBoard& b) { same = SameCanvasPixels(b.Shown(), b.Committed()); });
    return same;
}

bool PictureCanvasCreated() {
    bool created = false;
    OnBoard([&](DrawingBoard& b) { created = b.Layer().IsCreated(); });
    return created;
}

std::vector<std::uint8_t> StartPictureBytes() {
    std::vector<std::uint8_t> bytes;
    OnBoard([&](DrawingBoard& b) {
        if (Canvas* start = b.StartPicture()) bytes = start->ToBmpBytes();
    });
    return bytes;
}

void SetSetting(SettingCode code, int value) {
    ChangeSetting(code, value);
    SendToBoard(WM_NULL);  // behind the change
}

void CatchBrushTypes(void (*chosen)(int index)) {
    struct Catcher : ProgramBoardEvents {
        void (*chosen)(int) = nullptr;
        bool BrushTypeChosen(int index) override {
            chosen(index);
            return true;
        }
    };
    static Catcher catcher;
    catcher.chosen = chosen;
    InstallBoardEvents(&catcher);
}

void BoardTest::SetUp() {
    PrepareProcessOnce();
    configPath_ = TempPath("board_config.ini");
    DeleteFileA(configPath_.c_str());
    SetConfigPath(configPath_);
    StoreSettingsValues(SettingsValues{});
    Settings.captureDelay = 0;
    SetUnsavedSettings();
    FillMenuItemList();
    ChosenTool = ToolPen;
    FillStyleSubstituted = false;
    ResetPaletteState();
    InstallProgramBoardEvents();
}

void BoardTest::TearDown() {
    if (BoardExists()) SendToBoard(WM_CLOSE);
    EXPECT_TRUE(WaitForBoardGone(10000));
    InstallProgramBoardEvents();
    SetConfigPath("");
    // Leave the process-wide objects as start-up made them for whoever runs next.
    ChosenTool = ToolPen;
    FillStyleSubstituted = false;
    StoreSettingsValues(SettingsValues{});
    SetUnsavedSettings();
    ResetPaletteState();
}

HWND BoardTest::CaptureBoard() {
    CaptureToBoard();
    EXPECT_TRUE(WaitForBoardReady(10000));
    return BoardWindow.load();
}

}  // namespace board_test
