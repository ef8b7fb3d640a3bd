#include "window/raw_window.h"

#include <atomic>
#include <mutex>

#include "graphics/gdi_owners.h"

namespace {

constexpr const char* kDefaultTitle = "白手起家，凭空创建窗口";
constexpr const char* kDefaultClassName = "MyWindowClass";
constexpr SIZE kDefaultSize{400, 300};
constexpr DWORD kDefaultStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME |
                                WS_MINIMIZEBOX | WS_MAXIMIZEBOX;  // 0x00CF0000
constexpr int kClassIconId = 129;

// One guard for both lists: windows on different threads are created and
// destroyed independently. It is never held while a message is sent or a
// routine runs, since those may come back here.
std::mutex g_listGuard;
std::vector<RawWindowEntry> g_rawWindowList;
std::vector<std::pair<HWND, COLORREF>> g_coloredWindowList;

int DefaultMessageBox(HWND owner, const char* text, const char* caption, UINT flags) {
    return MessageBoxA(owner, text, caption, flags);
}

std::atomic<MessageBoxRoutine> g_messageBox{&DefaultMessageBox};
std::atomic<HandlerRoutine> g_escCloseRoutine{nullptr};

// Lets a press anywhere in the client area drag the window, as a caption would.
void DragByClientArea(HWND window, WPARAM, LPARAM) {
    PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
}

// Outermost window reached from `parent` through the list. Called with the
// guard held. The step limit stops a walk through stale entries that loop.
HWND TopAncestorOf(HWND parent) {
    HWND top = parent;
    for (std::size_t steps = 0; steps <= g_rawWindowList.size(); ++steps) {
        const RawWindowEntry* entry = nullptr;
        for (const RawWindowEntry& e : g_rawWindowList) {
            if (e.hwnd == top) {
                entry = &e;
                break;
            }
        }
        if (entry == nullptr || entry->parent == nullptr) break;
        top = entry->parent;
    }
    return top;
}

void RegisterWindowClass(const std::string& className, HINSTANCE module) {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_VREDRAW | CS_HREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = &RawWindowProc;
    wc.hInstance = module;
    wc.hIcon = LoadIconA(module, MAKEINTRESOURCEA(kClassIconId));
    wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    wc.lpszClassName = className.c_str();
    // Registered on every call; "already exists" is the normal case after the first.
    RegisterClassExA(&wc);
}

void FillWithColor(HDC dc, const RECT& rect, COLORREF color) {
    OwnedBrush brush(CreateSolidBrush(color));
    if (brush) FillRect(dc, &rect, brush.Get());
}

// Colored windows paint their own background. Returns true when the message
// was handled here (the window is in ColoredWindowList).
bool PaintColoredBackground(HWND window, UINT message, WPARAM wParam) {
    COLORREF color = 0;
    if (!IsColoredWindow(window, &color)) return false;
    switch (message) {
        case WM_ERASEBKGND: {
            RECT client{};
            GetClientRect(window, &client);
            FillWithColor(reinterpret_cast<HDC>(wParam), client, color);
            break;
        }
        case WM_PAINT: {
            PAINTSTRUCT ps{};
            HDC dc = BeginPaint(window, &ps);
            if (dc != nullptr) {
                FillWithColor(dc, ps.rcPaint, color);
                EndPaint(window, &ps);
            }
            break;
        }
        case WM_SIZE:
            // The new area is painted by the WM_PAINT this brings.
            InvalidateRect(window, nullptr, TRUE);
            break;
        default:
            return false;
    }
    return true;
}

void ForgetWindow(HWND window) {
    std::lock_guard<std::mutex> lock(g_listGuard);
    std::erase_if(g_rawWindowList, [window](const RawWindowEntry& e) { return e.hwnd == window; });
    std::erase_if(g_coloredWindowList, [window](const auto& e) { return e.first == window; });
}

}  // namespace

// ---- pure placement ----

WindowPlacement ComputeWindowPlacement(std::optional<WindowPosition> mode,
                                       std::optional<POINT> position, SIZE size,
                                       const RECT& reference) {
    WindowPosition m = mode.value_or(WindowPosition::SystemDefault);
    if (m == WindowPosition::AtPosition && !position) m = WindowPosition::Centred;

    WindowPlacement placement{m, CW_USEDEFAULT, CW_USEDEFAULT};
    if (m == WindowPosition::Centred) {
        // Centred over the reference rectangle, in screen coordinates, so that a
        // parent away from the screen's corner still gets the window over it.
        double dx = (static_cast<double>(reference.right) - reference.left - size.cx) / 2.0;
        double dy = (static_cast<double>(reference.bottom) - reference.top - size.cy) / 2.0;
        placement.x = reference.left + static_cast<int>(dx);
        placement.y = reference.top + static_cast<int>(dy);
    } else if (m == WindowPosition::AtPosition) {
        placement.x = position->x;
        placement.y = position->y;
    }
    return placement;
}

// ---- lists ----

std::vector<RawWindowEntry> RawWindowListSnapshot() {
    std::lock_guard<std::mutex> lock(g_listGuard);
    return g_rawWindowList;
}

std::optional<RawWindowEntry> FindRawWindow(HWND window) {
    std::lock_guard<std::mutex> lock(g_listGuard);
    for (const RawWindowEntry& e : g_rawWindowList) {
        if (e.hwnd == window) return e;
    }
    return std::nullopt;
}

bool IsColoredWindow(HWND window, COLORREF* color) {
    std::lock_guard<std::mutex> lock(g_listGuard);
    for (const auto& [hwnd, c] : g_coloredWindowList) {
        if (hwnd == window) {
            if (color != nullptr) *color = c;
            return true;
        }
    }
    return false;
}

std::vector<std::pair<HWND, COLORREF>> ColoredWindowListSnapshot() {
    std::lock_guard<std::mutex> lock(g_listGuard);
    return g_coloredWindowList;
}

MessageBoxRoutine SetMessageBoxRoutine(MessageBoxRoutine routine) {
    return g_messageBox.exchange(routine != nullptr ? routine : &DefaultMessageBox);
}

HandlerRoutine SetEscCloseRoutine(HandlerRoutine routine) {
    return g_escCloseRoutine.exchange(routine);
}

// ---- window procedure ----

LRESULT CALLBACK RawWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    bool answered = false;  // answered here: no default processing
    LRESULT answer = 0;

    switch (message) {
        case WM_PAINT: {
            std::vector<HFONT> fonts;
            {
                std::lock_guard<std::mutex> lock(g_listGuard);
                for (const RawWindowEntry& e : g_rawWindowList) {
                    if (e.hwnd == window && e.font != nullptr) fonts.push_back(e.font);
                }
            }
            for (HFONT font : fonts) SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
            break;
        }
        case WM_DESTROY:
            // Ends the loop of this window's thread only.
            PostQuitMessage(0);
            ForgetWindow(window);
            RemoveHandlers(window);
            answered = true;
            break;
        case WM_CLOSE: {
            std::vector<HWND> dependants;
            {
                std::lock_guard<std::mutex> lock(g_listGuard);
                for (const RawWindowEntry& e : g_rawWindowList) {
                    if (e.topAncestor == window && e.hwnd != window) dependants.push_back(e.hwnd);
                }
            }
            for (HWND dependant : dependants) SendMessageA(dependant, WM_CLOSE, 0, 0);
            break;
        }
        default:
            break;
    }

    if (message == WM_SIZE || message == WM_PAINT || message == WM_ERASEBKGND) {
        if (PaintColoredBackground(window, message, wParam)) {
            answered = true;
            answer = message == WM_ERASEBKGND ? 1 : 0;  // 1: the background is erased
        }
    }

    bool directReturn = DispatchHandlers(window, message, wParam, lParam);
    if (answered) return answer;
    if (directReturn) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

// ---- RawWindow ----

void RawWindow(const RawWindowParams& p) {
    const std::string title = p.title.value_or(kDefaultTitle);
    const std::string className =
        p.className && !p.className->empty() ? *p.className : std::string(kDefaultClassName);
    const SIZE size = p.size.value_or(kDefaultSize);
    const HWND parent = p.parent.value_or(nullptr);
    // The region is handed to us: ours until the window takes it.
    OwnedRegion region(p.region.value_or(nullptr));

    RECT reference{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    if (parent != nullptr) GetWindowRect(parent, &reference);
    const WindowPlacement placement =
        ComputeWindowPlacement(p.positionMode, p.position, size, reference);

    HINSTANCE module = GetModuleHandleA(nullptr);
    RegisterWindowClass(className, module);

    const DWORD style = p.style.value_or(kDefaultStyle);
    const DWORD exStyle =
        p.exStyle.value_or(0) | (p.showInTaskbar.value_or(true) ? WS_EX_APPWINDOW : WS_EX_TOOLWINDOW);

    HWND window = CreateWindowExA(exStyle, className.c_str(), title.c_str(), style, placement.x,
                                  placement.y, size.cx, size.cy, parent, nullptr, module, nullptr);
    if (window == nullptr) {
        g_messageBox.load()(nullptr, "创建窗口失败！", "错误", MB_ICONHAND);
        return;
    }

    // A handle can be reused after a window dies; whatever was left under it
    // belongs to the dead window.
    RemoveHandlers(window);

    {
        std::lock_guard<std::mutex> lock(g_listGuard);
        RawWindowEntry* entry = nullptr;
        for (RawWindowEntry& e : g_rawWindowList) {
            if (e.hwnd == window) {
                entry = &e;
                break;
            }
        }
        if (entry == nullptr) entry = &g_rawWindowList.emplace_back();
        *entry = RawWindowEntry{};
        entry->hwnd = window;
        entry->name = p.entryName.value_or(std::string());
        entry->font = p.font.value_or(nullptr);
        if (parent != nullptr) {
            entry->parent = parent;
            entry->topAncestor = TopAncestorOf(parent);
        }
        if (p.background) {
            entry->background = *p.background;
            bool listed = false;
            for (auto& colored : g_coloredWindowList) {
                if (colored.first == window) {
                    colored.second = *p.background;
                    listed = true;
                }
            }
            if (!listed) g_coloredWindowList.emplace_back(window, *p.background);
        } else {
            entry->background = GetSysColor(COLOR_BTNFACE);
            std::erase_if(g_coloredWindowList, [window](const auto& e) { return e.first == window; });
        }
        if (p.escCloses == 1) entry->escCloses = 1;
    }

    if (p.escCloses == 1) {
        if (HandlerRoutine esc = g_escCloseRoutine.load()) RegisterHandler(window, WM_KEYUP, esc);
    }

    if (p.menuCaption) {
        HMENU bar = CreateMenu();
        HMENU popup = CreatePopupMenu();
        bool attached = false;
        if (bar != nullptr && popup != nullptr &&
            AppendMenuA(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(popup), p.menuCaption->c_str())) {
            popup = nullptr;  // now part of the bar
            attached = SetMenu(window, bar) != FALSE;
        }
        // A menu set on the window is destroyed with it; anything else is ours.
        if (popup != nullptr) DestroyMenu(popup);
        if (!attached && bar != nullptr) DestroyMenu(bar);
    }

    // After a successful SetWindowRgn the system owns the region and it must
    // not be deleted; a refused region is still ours and goes with its owner.
    if (region && SetWindowRgn(window, region.Get(), TRUE)) region.Release();

    if (p.onCommand != nullptr) RegisterHandler(window, WM_COMMAND, p.onCommand);
    if (p.dragByClientArea) RegisterHandler(window, WM_LBUTTONDOWN, &DragByClientArea);

    if (p.opacity) {
        LONG ex = GetWindowLongA(window, GWL_EXSTYLE);
        SetWindowLongA(window, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        SetLayeredWindowAttributes(window, 0, static_cast<BYTE>(*p.opacity & 0xFF), LWA_ALPHA);
    }

    if (p.show.value_or(true)) ShowWindow(window, SW_SHOW);
    UpdateWindow(window);

    if (p.onCreate != nullptr) p.onCreate(window);

    MSG msg{};
    BOOL got = 0;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }

    // The loop normally ends through this window's WM_DESTROY. If a quit meant
    // for someone else (or an error) ended it first, the window would outlive
    // its thread and leave stale list entries: destroy it here, drop the quit
    // its WM_DESTROY posts, and hand the foreign quit on to any outer loop.
    if (IsWindow(window) && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
        DestroyWindow(window);
        MSG quit{};
        PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        if (got == 0) PostQuitMessage(static_cast<int>(msg.wParam));
    }
}
