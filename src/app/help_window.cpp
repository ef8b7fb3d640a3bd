// The help window "说明": a fixed text, loaded on demand, without a parent.
#include <windows.h>

#include <atomic>

#include "app/palette.h"
#include "app/toolbox.h"
#include "board/board.h"
#include "graphics/dpi.h"
#include "graphics/gdi_owners.h"
#include "window/owner_thread.h"
#include "window/raw_window.h"

namespace {

constexpr const char* kHelpClass = "DrawBoardHelp";
constexpr const char* kHelpLines[] = {
    "功能说明：",
    "1：可抓取屏幕或打开一个图片，F9抓取屏幕；",
    "2：绘制工具有快捷键，和右键菜单中字母一致；",
    "3：按住Shift键可画正方形，画线时可捕捉45度角和90度角；",
    "4：按住Ctrl键可从中心位置开始画；",
    "5：按住空格键的同时拖动鼠标可移动正在绘制的图形；",
    "6：滚动鼠标滚轮可放大或缩小橡皮擦；",
    "7：键盘上加减键和鼠标滚轮可改变圆角矩形的圆角半径；",
    "8：键盘上加减键可增加或减少多边形和星形的定点数；",
    "9：按Esc键清除画板，当前正在输入文字时会取消当前的输入；",
    "10：上下左右方向键配合矩形工具可绘制表格；",
    "11：Ctrl+C可以复制到剪贴板；",
    "12：数字快捷键(1—8)选择画刷类型；",
    "13：框选截屏时方向键逐像素移动选区，Shift+方向键改变宽度和高度，C键复制鼠标处的颜色；",
    "14：贴图窗口中滚动鼠标滚轮可缩放，Ctrl+滚轮改变透明度；",
    "15：Ctrl+Z撤销，Ctrl+Y或Ctrl+Shift+Z重做；",
    "16：右键点击画笔、填充、正圆格子可选荧光笔(G)、马赛克(K)、序号(O)；",
    "17：Ctrl+S快速保存为PNG，保存到Config.ini中的快速保存目录(默认为图片文件夹下的画板)。",
};

// The window's design at 96 DPI; on a scaled monitor every size is scaled.
constexpr POINT kHelpPosition{50, 50};
constexpr SIZE kHelpSize{361, 453};
constexpr RECT kLabelRect{8, 8, 8 + 344, 8 + 420};
constexpr int kHelpFontHeight = 12;

// Read by the board thread (topmost changes), written on the main thread.
std::atomic<HWND> g_help{nullptr};
HWND g_label = nullptr;
HFONT g_helpFont = nullptr;  // for the DPI of the window's monitor
int g_helpFontDpi = 0;

// The height the label's text takes at `width` in the label's font, wrapped
// as a left-aligned static control wraps it; 0 when it cannot be measured.
int HelpTextHeight(HWND label, int width) {
    WindowDc dc(label);
    if (!dc) return 0;
    HFONT font = reinterpret_cast<HFONT>(SendMessageA(label, WM_GETFONT, 0, 0));
    SelectedObject selected(dc.Get(), font);
    const std::string text = HelpText();
    RECT r{0, 0, width, 0};
    DrawTextA(dc.Get(), text.c_str(), static_cast<int>(text.size()), &r,
              DT_CALCRECT | DT_WORDBREAK | DT_EXPANDTABS | DT_NOPREFIX);
    return r.bottom - r.top;
}

// The label's size and font for `dpi`, and the window's height to hold it.
void LayOutLabel(int dpi) {
    if (g_label == nullptr) return;
    dpi = NormalizeDpi(dpi);
    if (g_helpFont == nullptr || g_helpFontDpi != dpi) {
        HFONT font = CreateFontA(-ScaleForDpi(kHelpFontHeight, dpi), 0, 0, 0, FW_NORMAL, FALSE,
                                 FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                                 CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                                 "宋体");
        if (font != nullptr) {
            SendMessageA(g_label, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
            if (g_helpFont != nullptr) DeleteObject(g_helpFont);  // no longer in use
            g_helpFont = font;
            g_helpFontDpi = dpi;
        }
    }
    if (g_helpFont != nullptr)
        SendMessageA(g_label, WM_SETFONT, reinterpret_cast<WPARAM>(g_helpFont), TRUE);
    RECT r = ScaleRectForDpi(kLabelRect, dpi);
    // The face asked for may map to a taller one: the label, and the window
    // under it, grow to hold every line in the font actually given.
    const int textHeight = HelpTextHeight(g_label, r.right - r.left);
    if (textHeight > 0) r.bottom = r.top + textHeight;
    SetWindowPos(g_label, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    HWND window = GetParent(g_label);
    RECT frame{0, 0, ScaleForDpi(kHelpSize.cx, dpi), 0};
    RECT client{0, 0, 0, r.bottom + r.top};  // the same margin below as above
    const DWORD style = static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE));
    if (window != nullptr && AdjustWindowRectEx(&client, style, FALSE, exStyle)) {
        frame.bottom = client.bottom - client.top;
        SetWindowPos(window, nullptr, 0, 0, frame.right, frame.bottom,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

LRESULT CALLBACK HelpProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_CTLCOLORSTATIC:
            SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
            return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: the system suggests the
            // window's new rectangle; the label follows.
            if (const auto* r = reinterpret_cast<const RECT*>(lParam))
                SetWindowPos(window, nullptr, r->left, r->top, r->right - r->left,
                             r->bottom - r->top, SWP_NOZORDER | SWP_NOACTIVATE);
            LayOutLabel(LOWORD(wParam));
            return 0;
        }
        case WM_DESTROY:
            if (g_help.load() == window) {
                g_help.store(nullptr);
                g_label = nullptr;
            }
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterHelpClass() {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &HelpProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        wc.lpszClassName = kHelpClass;
        return RegisterClassExA(&wc) != 0;
    }();
    return registered;
}

}  // namespace

std::string HelpText() {
    std::string text;
    for (const char* line : kHelpLines) {
        text += line;
        text += "\r\n\r\n";
    }
    return text;
}

void ShowHelpWindow() {
    HWND toolbox = ToolboxWindow.load();
    if (toolbox != nullptr && IsWindow(toolbox) &&
        GetWindowThreadProcessId(toolbox, nullptr) != GetCurrentThreadId()) {
        // The help window belongs to the toolbox's thread, so it outlives a board.
        RunOnOwner(toolbox, [] { ShowHelpWindow(); });
        return;
    }
    HWND existing = g_help.load();
    if (existing != nullptr && IsWindow(existing)) {
        // Loaded already: bring it forward rather than opening a second one.
        ShowWindow(existing, SW_SHOWNORMAL);
        SetForegroundWindow(existing);
    } else {
        if (!RegisterHelpClass()) return;
        // Sized for the monitor it opens on.
        const int dpi = DpiAtPoint(kHelpPosition);
        HWND window = CreateWindowExA(
            0, kHelpClass, "说明", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
            kHelpPosition.x, kHelpPosition.y, ScaleForDpi(kHelpSize.cx, dpi),
            ScaleForDpi(kHelpSize.cy, dpi), nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        if (window == nullptr) return;
        g_label = CreateWindowExA(0, "STATIC", HelpText().c_str(),
                                  WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, kLabelRect.left,
                                  kLabelRect.top, kLabelRect.right - kLabelRect.left,
                                  kLabelRect.bottom - kLabelRect.top, window, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
        LayOutLabel(DpiOfWindow(window));
        g_help.store(window);
        ShowWindow(window, SW_SHOWNORMAL);
        UpdateWindow(window);
    }
    // While a board (or a picture window) is open, the help stays above it.
    if (BoardExists() || !RawWindowListSnapshot().empty()) SetHelpWindowTopmost(true);
}

bool HelpWindowLoaded() {
    HWND help = g_help.load();
    return help != nullptr && IsWindow(help);
}

HWND HelpWindowHandle() { return HelpWindowLoaded() ? g_help.load() : nullptr; }

void SetHelpWindowTopmost(bool topmost) {
    HWND help = g_help.load();
    if (help == nullptr || !IsWindow(help)) return;
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (GetWindowThreadProcessId(help, nullptr) != GetCurrentThreadId()) flags |= SWP_ASYNCWINDOWPOS;
    SetWindowPos(help, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}
