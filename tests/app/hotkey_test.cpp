// F9 as a real hotkey, the low-level mouse hook's coordinate rule and client,
// and Esc closing the window it is released in.

#include <windows.h>

#include <atomic>

#include <gtest/gtest.h>

#include "app/hotkey.h"
#include "app/palette.h"
#include "board/board.h"
#include "board/board_state.h"
#include "support/board_fixture.h"
#include "window/raw_window.h"
#include "window/screen.h"

using namespace board_test;

namespace {

constexpr const char* kOwnerClass = "HotkeyTestOwner";

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HOTKEY) HandleHotkeyMessage(window, wParam, lParam);
    return DefWindowProcA(window, message, wParam, lParam);
}

// A window of the test thread that owns F9, as the palette window does.
class HotkeyOwner {
public:
    HotkeyOwner() {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &OwnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kOwnerClass;
        RegisterClassExA(&wc);
        window = CreateWindowExA(0, kOwnerClass, "owner", WS_POPUP | WS_VISIBLE, 10, 10, 60, 60,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    }
    ~HotkeyOwner() {
        UnregisterF9();
        DestroyWindow(window);
    }
    HWND window = nullptr;
};

class Hotkey : public BoardTest {};

struct HookSeen {
    std::atomic<int> calls{0};
    std::atomic<UINT> message{0};
    std::atomic<int> x{-1};
    std::atomic<int> y{-1};
};
HookSeen g_seen;

void RecordHook(UINT message, int x, int y) {
    g_seen.message = message;
    g_seen.x = x;
    g_seen.y = y;
    ++g_seen.calls;
}

}  // namespace

TEST_F(Hotkey, F9OpensABoardAndClosesItAgain) {
    HotkeyOwner owner;
    ASSERT_NE(owner.window, nullptr);
    const int id = HotkeyIdOf(owner.window);
    ASSERT_TRUE(RegisterF9(owner.window, id));
    SelectCell(9);
    SetCurrentToolDirectly(ToolCircle);

    PostMessageA(owner.window, WM_HOTKEY, static_cast<WPARAM>(id), MAKELPARAM(0, VK_F9));
    ASSERT_TRUE(WaitUntil([] { return BoardExists(); }));
    EXPECT_TRUE(WaitForBoardReady(10000));
    EXPECT_EQ(SelectedCell(), 9);  // the selection does not change
    EXPECT_EQ(LiveBoardSize().cx, ScreenSize.cx);

    PostMessageA(owner.window, WM_HOTKEY, static_cast<WPARAM>(id), MAKELPARAM(0, VK_F9));
    EXPECT_TRUE(WaitUntil([] { return !BoardExists(); }));
    EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(PaletteCommand::Pen));  // the pen cell
    EXPECT_EQ(CurrentTool(), ToolPen);
}

TEST_F(Hotkey, OtherHotkeyIdsAreNotF9) {
    HotkeyOwner owner;
    const int id = HotkeyIdOf(owner.window);
    ASSERT_TRUE(RegisterF9(owner.window, id));
    EXPECT_FALSE(HandleHotkeyMessage(owner.window, static_cast<WPARAM>(id + 1), 0));
    EXPECT_FALSE(BoardExists());
    UnregisterF9();
    EXPECT_FALSE(HandleHotkeyMessage(owner.window, static_cast<WPARAM>(id), 0));
    EXPECT_FALSE(BoardExists());
}

TEST_F(Hotkey, PressingF9OpensTheBoard) {
    HotkeyOwner owner;
    ASSERT_TRUE(RegisterF9(owner.window, HotkeyIdOf(owner.window)));
    INPUT keys[2] = {};
    keys[0].type = INPUT_KEYBOARD;
    keys[0].ki.wVk = VK_F9;
    keys[1] = keys[0];
    keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SetForegroundWindow(owner.window);
    ASSERT_EQ(SendInput(2, keys, sizeof(INPUT)), 2u);
    EXPECT_TRUE(WaitUntil([] { return BoardExists(); }));
    EXPECT_TRUE(WaitForBoardReady(10000));
}

TEST(HotkeyMouse, CoordinatesLeftOfOrAboveThePrimaryStayNegative) {
    EXPECT_EQ(HookCoordinate(-5), -5);
    EXPECT_EQ(HookCoordinate(-1280), -1280);
    EXPECT_EQ(HookCoordinate(0), 0);
    EXPECT_EQ(HookCoordinate(1919), 1919);
    EXPECT_EQ(HookCoordinate(0x10064), 100);  // only the low 16 bits count
}

TEST(HotkeyMouse, HookProcedureHandsTheClientSignedCoordinates) {
    g_seen.calls = 0;
    HHOOK hook = InstallMouseHook(&RecordHook);
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(MouseHook.load(), hook);
    MSLLHOOKSTRUCT data{};
    data.pt = POINT{-5, 40};
    MouseHookProc(HC_ACTION, WM_MOUSEMOVE, reinterpret_cast<LPARAM>(&data));
    EXPECT_EQ(g_seen.calls.load(), 1);
    EXPECT_EQ(g_seen.message.load(), static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(g_seen.x.load(), -5);
    EXPECT_EQ(g_seen.y.load(), 40);
    // Only actions reach the client.
    MouseHookProc(HC_ACTION + 1, WM_LBUTTONDOWN, reinterpret_cast<LPARAM>(&data));
    EXPECT_EQ(g_seen.calls.load(), 1);
    RemoveMouseHook(hook);
    EXPECT_EQ(MouseHook.load(), nullptr);
}

TEST(HotkeyMouse, RealPointerMovesReachTheClient) {
    // Wine reports low-level mouse events over its own windows.
    HotkeyOwner cover;
    SetWindowPos(cover.window, HWND_TOPMOST, 100, 100, 400, 300, SWP_SHOWWINDOW);
    g_seen.calls = 0;
    HHOOK hook = InstallMouseHook(&RecordHook);
    ASSERT_NE(hook, nullptr);
    INPUT move{};
    move.type = INPUT_MOUSE;
    move.mi.dx = (250 * 65535) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = (180 * 65535) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &move, sizeof(INPUT));
    const bool seen = WaitUntil(
        [] { return g_seen.calls.load() > 0 && g_seen.message.load() == WM_MOUSEMOVE; }, 3000);
    RemoveMouseHook(hook);
    ASSERT_TRUE(seen);
    EXPECT_NEAR(g_seen.x.load(), 250, 1);
    EXPECT_NEAR(g_seen.y.load(), 180, 1);
}

TEST(HotkeyMouse, HookThreadRunsTheHookOffTheCallersThreadUntilStopped) {
    g_seen.calls = 0;
    {
        MouseHookThread thread;
        ASSERT_TRUE(thread.Start(&RecordHook));
        EXPECT_NE(MouseHook.load(), nullptr);
        EXPECT_NE(thread.ThreadId(), GetCurrentThreadId());
        thread.Stop();
        EXPECT_FALSE(thread.Running());
        EXPECT_EQ(MouseHook.load(), nullptr);
        ASSERT_TRUE(thread.Start(&RecordHook));  // and again
    }
    EXPECT_EQ(MouseHook.load(), nullptr);  // gone with its owner
}

// ---- Esc ----

namespace {

struct EscWindows {
    std::atomic<HWND> outer{nullptr};
    std::atomic<HWND> owned{nullptr};
    bool makeOwned = false;
};
EscWindows g_esc;

void EscWindowCreated(HWND window) {
    if (g_esc.makeOwned) {
        // A second window owned by the first, on the same thread.
        HWND owned = CreateWindowExA(0, "MyWindowClass", "owned", WS_POPUP | WS_VISIBLE, 40, 40,
                                     80, 60, window, nullptr, GetModuleHandleA(nullptr), nullptr);
        RegisterHandler(owned, WM_KEYUP, &EscKeyHandler);
        g_esc.owned = owned;
    }
    SetActiveWindow(window);
    g_esc.outer = window;
}

DWORD WINAPI EscWindowThread(LPVOID) {
    RawWindowParams p;
    p.title = "esc";
    p.style = WS_POPUP;
    p.size = SIZE{120, 90};
    p.escCloses = 1;
    p.onCreate = &EscWindowCreated;
    RawWindow(p);
    return 0;
}

class HotkeyEsc : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = SetEscCloseRoutine(&EscKeyHandler);
        g_esc.outer = nullptr;
        g_esc.owned = nullptr;
    }
    void TearDown() override {
        if (thread_ != nullptr) {
            if (WaitForSingleObject(thread_, 0) != WAIT_OBJECT_0 && g_esc.outer.load() != nullptr)
                PostMessageA(g_esc.outer.load(), WM_CLOSE, 0, 0);
            WaitForSingleObject(thread_, 5000);
            CloseHandle(thread_);
        }
        SetEscCloseRoutine(previous_);
    }
    void Start(bool owned) {
        g_esc.makeOwned = owned;
        thread_ = CreateThread(nullptr, 0, &EscWindowThread, nullptr, 0, nullptr);
        ASSERT_NE(thread_, nullptr);
        ASSERT_TRUE(WaitUntil([] { return g_esc.outer.load() != nullptr; }));
    }
    bool ThreadEnded(DWORD ms) { return WaitForSingleObject(thread_, ms) == WAIT_OBJECT_0; }
    HANDLE thread_ = nullptr;
    HandlerRoutine previous_ = nullptr;
};

}  // namespace

TEST_F(HotkeyEsc, ReleasingEscClosesTheActiveWindow) {
    Start(false);
    HWND window = g_esc.outer.load();
    PostMessageA(window, WM_KEYUP, 'A', 0xC0000001);
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, 3000, &answer);
    EXPECT_TRUE(IsWindow(window));  // other keys leave it open
    PostMessageA(window, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    EXPECT_TRUE(ThreadEnded(5000));
    EXPECT_FALSE(IsWindow(window));
}

TEST_F(HotkeyEsc, EscInAnOwnedWindowClosesTheActiveOutermostOne) {
    Start(true);
    HWND outer = g_esc.outer.load();
    HWND owned = g_esc.owned.load();
    ASSERT_NE(owned, nullptr);
    PostMessageA(owned, WM_KEYUP, VK_ESCAPE, 0xC0000001);
    EXPECT_TRUE(ThreadEnded(5000));
    EXPECT_FALSE(IsWindow(outer));
}
