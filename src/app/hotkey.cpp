#include "app/hotkey.h"

#include <cstdint>
#include <memory>

#include "app/palette.h"
#include "board/board.h"
#include "board/commands.h"
#include "capture/region_select.h"

std::atomic<HHOOK> MouseHook{nullptr};

namespace {

std::atomic<HWND> g_hotkeyOwner{nullptr};
std::atomic<int> g_hotkeyId{0};
std::atomic<bool> g_hotkeyRegistered{false};
std::atomic<MouseHookClient> g_hookClient{nullptr};
// The hook's last point, x in the low and y in the high 32 bits; valid once seen.
std::atomic<std::uint64_t> g_hookPoint{0};
std::atomic<bool> g_hookSawPointer{false};

}  // namespace

// ---- F9 ----

int HotkeyIdOf(HWND toolbox) {
    return static_cast<int>(reinterpret_cast<std::intptr_t>(toolbox));
}

bool RegisterF9(HWND owner, int id) {
    UnregisterF9();
    const bool ok = RegisterHotKey(owner, id, 0, VK_F9) != FALSE;
    if (ok) {
        g_hotkeyOwner.store(owner);
        g_hotkeyId.store(id);
        g_hotkeyRegistered.store(true);
    }
    return ok;
}

void UnregisterF9() {
    if (!g_hotkeyRegistered.exchange(false)) return;
    UnregisterHotKey(g_hotkeyOwner.load(), g_hotkeyId.load());
    g_hotkeyOwner.store(nullptr);
}

bool HandleHotkeyMessage(HWND, WPARAM id, LPARAM) {
    if (!g_hotkeyRegistered.load() || static_cast<int>(id) != g_hotkeyId.load()) return false;
    OnF9();
    return true;
}

void OnF9() {
    // A region screenshot under way (its delay or its selection) has the
    // screen: F9 neither closes a board beneath it nor starts one.
    if (RegionScreenshotUnderWay()) return;
    if (BoardExists()) {
        CloseBoard();  // the board closes; the pen cell and tool are selected again
        RepaintPalette();
    } else {
        // The capture cell's command; the selected cell does not change.
        RunCellCommand(PaletteCommand::Capture, false);
    }
}

// ---- mouse hook ----

int HookCoordinate(LONG raw) {
    return static_cast<std::int16_t>(static_cast<std::uint32_t>(raw) & 0xFFFFu);
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && lParam != 0) {
        const auto* data = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        g_hookPoint.store(static_cast<std::uint32_t>(data->pt.x) |
                          (static_cast<std::uint64_t>(static_cast<std::uint32_t>(data->pt.y)) << 32));
        g_hookSawPointer.store(true);
        if (MouseHookClient client = g_hookClient.load()) {
            client(static_cast<UINT>(wParam), HookCoordinate(data->pt.x),
                   HookCoordinate(data->pt.y));
        }
    }
    return CallNextHookEx(MouseHook.load(), code, wParam, lParam);
}

POINT LastMousePoint() {
    if (g_hookSawPointer.load()) {
        const std::uint64_t packed = g_hookPoint.load();
        return POINT{static_cast<LONG>(static_cast<std::int32_t>(packed & 0xFFFFFFFFu)),
                     static_cast<LONG>(static_cast<std::int32_t>(packed >> 32))};
    }
    POINT p{};
    GetCursorPos(&p);
    return p;
}

HHOOK InstallMouseHook(MouseHookClient client) {
    g_hookClient.store(client);
    HHOOK hook = SetWindowsHookExA(WH_MOUSE_LL, &MouseHookProc, GetModuleHandleA(nullptr), 0);
    MouseHook.store(hook);
    return hook;
}

MouseHookClient SetMouseHookClient(MouseHookClient client) {
    return g_hookClient.exchange(client);
}

void RemoveMouseHook(HHOOK hook) {
    if (hook == nullptr) return;
    UnhookWindowsHookEx(hook);
    HHOOK expected = hook;
    if (MouseHook.compare_exchange_strong(expected, nullptr)) g_hookClient.store(nullptr);
}

namespace {

// What the starter and the hook thread share; either may be the last to let go.
struct HookThreadStart {
    MouseHookClient client = nullptr;
    KernelHandle ready{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<bool> installed{false};
};

DWORD WINAPI MouseHookThreadMain(LPVOID parameter) {
    const std::unique_ptr<std::shared_ptr<HookThreadStart>> owned(
        static_cast<std::shared_ptr<HookThreadStart>*>(parameter));
    const std::shared_ptr<HookThreadStart> start = *owned;
    MSG msg{};
    // The queue must exist before the starter may post the quit message.
    PeekMessageA(&msg, nullptr, WM_USER, WM_USER, PM_NOREMOVE);
    HHOOK hook = InstallMouseHook(start->client);
    start->installed.store(hook != nullptr);
    SetEvent(start->ready.Get());
    if (hook == nullptr) return 1;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    RemoveMouseHook(hook);
    return 0;
}

// How long the starter and the stopper wait for the hook thread.
constexpr DWORD kHookThreadWaitMs = 5000;

}  // namespace

bool MouseHookThread::Start(MouseHookClient client) {
    Stop();
    auto start = std::make_shared<HookThreadStart>();
    start->client = client;
    if (!start->ready) return false;
    auto* parameter = new std::shared_ptr<HookThreadStart>(start);
    DWORD id = 0;
    KernelHandle thread(CreateThread(nullptr, 0, &MouseHookThreadMain, parameter, 0, &id));
    if (!thread) {
        delete parameter;
        return false;
    }
    const DWORD woke = WaitForSingleObject(start->ready.Get(), kHookThreadWaitMs);
    if (woke != WAIT_OBJECT_0 || !start->installed.load()) {
        PostThreadMessageA(id, WM_QUIT, 0, 0);
        WaitForSingleObject(thread.Get(), kHookThreadWaitMs);
        return false;
    }
    thread_ = std::move(thread);
    threadId_ = id;
    return true;
}

void MouseHookThread::Stop() {
    if (!thread_) return;
    PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
    WaitForSingleObject(thread_.Get(), kHookThreadWaitMs);
    thread_.Reset();
    threadId_ = 0;
}

// ---- Esc ----

void EscKeyHandler(HWND window, WPARAM key, LPARAM) {
    if (key != VK_ESCAPE) return;
    HWND active = GetActiveWindow();
    if (window == active) {
        SendMessageA(window, WM_CLOSE, 0, 0);
        return;  // closed: its ancestors are not asked a second time
    }
    HWND outermost = window;
    for (HWND parent = GetParent(window); parent != nullptr; parent = GetParent(parent)) {
        outermost = parent;
    }
    if (active != nullptr && active == outermost) SendMessageA(active, WM_CLOSE, 0, 0);
}
