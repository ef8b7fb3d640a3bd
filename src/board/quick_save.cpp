#include "board/quick_save.h"

#include <shlobj.h>

#include <vector>

#include "settings/settings.h"
#include "board/annotation_rules.h"
#include "board/board.h"
#include "capture/save.h"
#include "graphics/gdi_owners.h"

namespace {

constexpr const char* kNoticeClass = "DrawBoardSavedNotice";
constexpr UINT_PTR kNoticeTimer = 1;
constexpr UINT kNoticeMs = 1500;
constexpr int kNoticePadding = 10;
// Saves within one second beyond this many are refused rather than looked for.
constexpr int kMaxSavesPerSecond = 1000;

// The notice window belongs to the board thread (it is owned by the board).
HWND g_notice = nullptr;

bool Exists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string NoticeText(HWND notice) {
    char text[MAX_PATH * 2] = {};
    GetWindowTextA(notice, text, sizeof text);
    return text;
}

LRESULT CALLBACK NoticeProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(window, &ps);
        RECT r{};
        GetClientRect(window, &r);
        OwnedBrush back(CreateSolidBrush(0x303030));
        OwnedBrush frame(CreateSolidBrush(0xC0C0C0));  // seen on a dark picture too
        if (back) FillRect(dc, &r, back.Get());
        if (frame) FrameRect(dc, &r, frame.Get());
        SelectedObject font(dc, GetStockObject(DEFAULT_GUI_FONT));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, 0xFFFFFF);
        const std::string text = NoticeText(window);
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &r,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kNoticeTimer) DestroyWindow(window);
        return 0;
    case WM_MOUSEACTIVATE:
        return MA_NOACTIVATE;
    case WM_NCDESTROY:
        if (g_notice == window) g_notice = nullptr;
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// Shows `text` centred near the bottom of the board for a moment, without
// taking the keyboard from it.
void ShowNotice(HWND board, const std::string& text) {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &NoticeProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = kNoticeClass;
        return RegisterClassExA(&wc) != 0;
    }();
    if (!registered || board == nullptr) return;
    if (g_notice == nullptr || !IsWindow(g_notice)) {
        g_notice = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE,
                                   kNoticeClass, "", WS_POPUP, 0, 0, 0, 0, board, nullptr,
                                   GetModuleHandleA(nullptr), nullptr);
        if (g_notice == nullptr) return;
    }
    SetWindowTextA(g_notice, text.c_str());
    SIZE extent{};
    {
        WindowDc dc(g_notice);
        SelectedObject font(dc.Get(), GetStockObject(DEFAULT_GUI_FONT));
        GetTextExtentPoint32A(dc.Get(), text.c_str(), static_cast<int>(text.size()), &extent);
    }
    RECT frame{};
    GetWindowRect(board, &frame);
    const int w = extent.cx + 2 * kNoticePadding, h = extent.cy + kNoticePadding;
    SetWindowPos(g_notice, HWND_TOPMOST, frame.left + (frame.right - frame.left - w) / 2,
                 frame.bottom - h - 40, w, h, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    InvalidateRect(g_notice, nullptr, TRUE);
    SetTimer(g_notice, kNoticeTimer, kNoticeMs, nullptr);  // a second save starts it anew
}

}  // namespace

std::string QuickSaveFolder() {
    std::string folder = GetQuickSaveFolder();
    if (folder.empty()) {
        char pictures[MAX_PATH] = {};
        if (SHGetFolderPathA(nullptr, CSIDL_MYPICTURES | CSIDL_FLAG_CREATE, nullptr,
                             SHGFP_TYPE_CURRENT, pictures) != S_OK) {
            return std::string();
        }
        folder = std::string(pictures) + "\\画板";
    }
    while (folder.size() > 3 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
    return folder;
}

std::string FreeQuickSavePath(const std::string& folder, const SYSTEMTIME& time) {
    for (int n = 1; n <= kMaxSavesPerSecond; ++n) {
        std::string path = folder + "\\" + QuickSaveFileName(time, n);
        if (!Exists(path)) return path;
    }
    return std::string();
}

std::string QuickSaveBoard(DrawingBoard& b) {
    HWND owner = b.Window();
    const std::string folder = QuickSaveFolder();
    // Made when needed, with any folders above it; one that exists is fine.
    if (!folder.empty()) SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const std::string path = folder.empty() ? std::string() : FreeQuickSavePath(folder, now);
    if (path.empty()) {
        // No Pictures folder, or a thousand saves in one second: told once,
        // as a failed write is.
        const std::string message =
            SaveFailureMessage(folder + "\\" + QuickSaveFileName(now, 1), "没有可用的保存目录");
        if (SavePictureUi.tellFailure != nullptr) {
            SavePictureUi.tellFailure(owner, message);
        } else {
            MessageBoxA(owner, message.c_str(), kSaveDialogTitle, MB_OK | MB_ICONERROR);
        }
        return std::string();
    }
    const std::vector<std::uint8_t> bmp = b.Shown().ToBmpBytes();
    if (SavePictureToFile(path, bmp, owner) != SaveOutcome::Saved) return std::string();
    ShowNotice(owner, "已保存：" + SplitPath(path).fileName);
    return path;
}

HWND QuickSaveNotice() { return g_notice != nullptr && IsWindow(g_notice) ? g_notice : nullptr; }
