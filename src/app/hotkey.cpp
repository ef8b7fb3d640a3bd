#include "app/hotkey.h"

#include <cstdint>

#include "app/palette.h"
#include "board/board.h"
#include "board/commands.h"

std::atomic<HHOOK> MouseHook{nullptr};

namespace {

std::atomic<HWND> g_hotkeyOwner{nullptr};
std::atomic<int> g_hotkeyId{0};
std::atomic<bool> g_hotkeyRegistered{false};
std::atomic<MouseHookClient> g_hookClient{nullptr};

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
    const int value = static_cast<std::int16_t>(static_cast<std::uint32_t>(raw) & 0xFFFFu);
    return value < 0 ? 0 : value;
}

LRESULT CALLBACK MouseHookProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION && lParam != 0) {
        const auto* data = reinterpret_cast<const MSLLHOOKSTRUCT*>(lParam);
        if (MouseHookClient client = g_hookClient.load()) {
            client(static_cast<UINT>(wParam), HookCoordinate(data->pt.x),
                   HookCoordinate(data->pt.y));
        }
    }
    return CallNextHookEx(MouseHook.load(), code, wParam, lParam);
}

HHOOK InstallMouseHook(MouseHookClient client) {
    g_hookClient.store(client);
    HHOOK hook = SetWindowsHookExA(WH_MOUSE_LL, &MouseHookProc, GetModuleHandleA(nullptr), 0);
    MouseHook.store(hook);
    return hook;
}

void RemoveMouseHook(HHOOK hook) {
    if (hook == nullptr) return;
    UnhookWindowsHookEx(hook);
    HHOOK expected = hook;
    if (MouseHook.compare_exchange_strong(expected, nullptr)) g_hookClient.store(nullptr);
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
