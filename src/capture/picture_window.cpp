#include "capture/picture_window.h"

#include <windowsx.h>

#include <algorithm>
#include <mutex>
#include <utility>

#include "capture/clipboard.h"
#include "capture/picture_zoom.h"
#include "capture/region_geometry.h"
#include "capture/region_select.h"
#include "capture/save.h"
#include "graphics/monitors.h"
#include "window/handler_table.h"
#include "window/menus.h"
#include "window/raw_window.h"

namespace {

std::mutex g_listGuard;
std::vector<std::shared_ptr<PictureWindowEntry>> g_list;  // creation order, newest last

// The entry of the window this thread runs, handed over when the thread starts.
thread_local std::shared_ptr<PictureWindowEntry> t_entry;

constexpr COLORREF kPictureBackground = 0;

void OnPicturePaint(HWND window, WPARAM, LPARAM) {
    PAINTSTRUCT ps{};
    BeginPaint(window, &ps);
    // Zoomed, the canvas is stretched over the window: enlarged, each pixel
    // stays a sharp block; shrunk, it is smoothed.
    if (std::shared_ptr<PictureWindowEntry> entry = FindPictureWindow(window))
        entry->canvas.ShowInWindow(window, std::nullopt, entry->scale != 1.0);
    EndPaint(window, &ps);
}

// Shows the picture at `scale`, keeping the picture's point under `pointer`
// (a screen point) where it is.
void ZoomPicture(HWND window, PictureWindowEntry& entry, double scale, POINT pointer) {
    RECT now{};
    if (!GetWindowRect(window, &now)) return;
    const RECT next = ZoomAbout(now, SIZE{entry.width, entry.height}, scale, pointer);
    entry.scale = scale;
    SetWindowPos(window, nullptr, next.left, next.top, next.right - next.left,
                 next.bottom - next.top, SWP_NOZORDER | SWP_NOACTIVATE);
    InvalidateRect(window, nullptr, FALSE);
}

// Below 100 % the window is layered with that alpha; at 100 % it is an
// ordinary window again, with nothing composited.
void SetPictureOpacity(HWND window, PictureWindowEntry& entry, int percent) {
    entry.opacity = percent;
    const LONG_PTR exStyle = GetWindowLongPtrA(window, GWL_EXSTYLE);
    if (percent >= 100) {
        if ((exStyle & WS_EX_LAYERED) == 0) return;
        SetWindowLongPtrA(window, GWL_EXSTYLE, exStyle & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        return;
    }
    if ((exStyle & WS_EX_LAYERED) == 0) SetWindowLongPtrA(window, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
    SetLayeredWindowAttributes(window, 0, OpacityAlpha(percent), LWA_ALPHA);
}

void OnPictureWheel(HWND window, WPARAM wParam, LPARAM lParam) {
    // The wheel goes to the window with the focus; the one under the pointer
    // is meant (each runs on its own thread: it is handed over).
    const POINT at{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    if (HWND under = WindowFromPoint(at); under != window && FindPictureWindow(under)) {
        PostMessageA(under, WM_MOUSEWHEEL, wParam, lParam);
        return;
    }
    std::shared_ptr<PictureWindowEntry> entry = FindPictureWindow(window);
    if (!entry) return;
    const int notches = TakeWheelNotches(entry->wheelRest, GET_WHEEL_DELTA_WPARAM(wParam));
    if (notches == 0) return;
    if ((GET_KEYSTATE_WPARAM(wParam) & MK_CONTROL) != 0) {
        SetPictureOpacity(window, *entry, StepOpacity(entry->opacity, notches));
    } else {
        ZoomPicture(window, *entry, ZoomScale(entry->scale, notches), at);
    }
}

void OnPictureClose(HWND window, WPARAM, LPARAM) {
    std::vector<std::shared_ptr<PictureWindowEntry>> removed;
    {
        std::lock_guard<std::mutex> lock(g_listGuard);
        removed = SweepClosedPictureWindows(g_list, window);
    }
    // Our own canvas goes now, on its own thread; a dead window's entry is
    // freed by whoever holds it last.
    for (const std::shared_ptr<PictureWindowEntry>& e : removed) {
        if (e->window == window) {
            e->canvas.Destroy();
            e->picture.clear();
            e->picture.shrink_to_fit();
        }
    }
}

void OnPictureRightButton(HWND window, WPARAM, LPARAM) {
    ShowMenuAtCursor(window, PictureWindowMenu());
}

void PictureSetUp(HWND window) {
    std::shared_ptr<PictureWindowEntry> entry = t_entry;
    if (!entry) return;
    {
        std::lock_guard<std::mutex> lock(g_listGuard);
        entry->window = window;
    }
    const int width = Canvas::PictureWidth(entry->picture);
    const int height = Canvas::PictureHeight(entry->picture);
    entry->width = width;
    entry->height = height;
    if (entry->canvas.Create(width, height, kPictureBackground)) {
        if (GpImage* image = entry->canvas.LoadPicture(entry->picture, 0))
            entry->canvas.DrawPicture(image, 0, 0);
        entry->canvas.UnloadPicture();
    }
    // Centred on the pointer, on the pointer's monitor.
    const POINT at = WindowPositionOnMonitor(MonitorRects(), entry->centre, SIZE{width, height});
    MoveWindow(window, at.x, at.y, width, height, TRUE);

    PictureWindowMenu();
    RegisterHandler(window, WM_PAINT, &OnPicturePaint);
    RegisterHandler(window, WM_CLOSE, &OnPictureClose);
    RegisterHandler(window, WM_RBUTTONDOWN, &OnPictureRightButton);
    RegisterHandler(window, WM_MOUSEWHEEL, &OnPictureWheel);

    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetActiveWindow(window);
    SetFocus(window);
    {
        std::lock_guard<std::mutex> lock(g_listGuard);
        entry->creating = false;
    }
    SendMessageA(window, WM_PAINT, 0, 0);
}

DWORD WINAPI PictureThread(LPVOID param) {
    auto* handed = static_cast<std::shared_ptr<PictureWindowEntry>*>(param);
    t_entry = std::move(*handed);
    delete handed;

    RawWindowParams p;
    p.title = "image";
    p.positionMode = WindowPosition::SystemDefault;
    p.size = SIZE{400, 300};
    p.show = false;
    p.dragByClientArea = true;
    p.escCloses = 1;
    p.showInTaskbar = true;
    p.style = WS_POPUP;
    p.onCreate = &PictureSetUp;
    p.onCommand = &PictureWindowCommand;
    RawWindow(p);

    // However the window ended (or if it was never made), its entry goes.
    {
        std::lock_guard<std::mutex> lock(g_listGuard);
        std::erase(g_list, t_entry);
    }
    t_entry.reset();
    return 0;
}

}  // namespace

std::vector<std::shared_ptr<PictureWindowEntry>> SweepClosedPictureWindows(
    std::vector<std::shared_ptr<PictureWindowEntry>>& list, HWND closing) {
    std::vector<std::shared_ptr<PictureWindowEntry>> removed;
    for (auto it = list.end(); it != list.begin();) {
        --it;
        const PictureWindowEntry& e = **it;
        // A window still being made has no handle yet: it is not dead.
        const bool mine = closing != nullptr && e.window == closing;
        const bool dead = !e.creating && !IsWindow(e.window);
        if (mine || dead) {
            removed.push_back(*it);
            it = list.erase(it);
        }
    }
    return removed;
}

bool OpenPictureWindow(std::vector<std::uint8_t> picture, POINT centre) {
    if (Canvas::PictureWidth(picture) <= 0 || Canvas::PictureHeight(picture) <= 0) return false;
    auto entry = std::make_shared<PictureWindowEntry>();
    entry->picture = std::move(picture);
    entry->centre = centre;
    {
        std::lock_guard<std::mutex> lock(g_listGuard);
        g_list.push_back(entry);
    }
    auto* handed = new std::shared_ptr<PictureWindowEntry>(entry);
    HANDLE thread = CreateThread(nullptr, 0, &PictureThread, handed, 0, nullptr);
    if (thread == nullptr) {
        delete handed;
        std::lock_guard<std::mutex> lock(g_listGuard);
        std::erase(g_list, entry);
        return false;
    }
    CloseHandle(thread);  // nobody joins it: it ends with its window
    return true;
}

bool TakeRegionScreenshot(bool rememberRegion, POINT (*mousePoint)(), DWORD timeLimitMs) {
    RegionSelectOptions options;
    options.includeCursor = false;
    options.frameColor = 0xFF0090;
    options.textColor = 255;
    options.rememberRegion = rememberRegion;
    options.timeLimitMs = timeLimitMs;
    RegionCapture chosen = CaptureScreenRegion(options);
    // The window shows the chosen pixels themselves: what is on the clipboard
    // now may already be another program's (or nothing, when it was held).
    // Only pixels that could not be kept are taken back from the clipboard.
    if (chosen.picture.empty() && chosen.onClipboard) chosen.picture = ReadClipboardPicture();
    if (chosen.picture.empty()) return false;
    POINT centre{};
    if (mousePoint != nullptr) {
        centre = mousePoint();
    } else {
        GetCursorPos(&centre);
    }
    return OpenPictureWindow(std::move(chosen.picture), centre);
}

std::size_t PictureWindowCount() {
    std::lock_guard<std::mutex> lock(g_listGuard);
    return g_list.size();
}

std::vector<HWND> PictureWindows() {
    std::lock_guard<std::mutex> lock(g_listGuard);
    std::vector<HWND> windows;
    for (const auto& e : g_list)
        if (!e->creating && e->window != nullptr) windows.push_back(e->window);
    return windows;
}

std::shared_ptr<PictureWindowEntry> FindPictureWindow(HWND window) {
    if (window == nullptr) return nullptr;
    std::lock_guard<std::mutex> lock(g_listGuard);
    for (const auto& e : g_list)
        if (e->window == window) return e;
    return nullptr;
}

void PictureWindowCommand(HWND window, WPARAM id, LPARAM) {
    switch (static_cast<int>(LOWORD(id))) {
    case kPictureTopmostId:
        SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        break;
    case kPictureNotTopmostId:
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        break;
    case kPictureCopyId:
        if (std::shared_ptr<PictureWindowEntry> e = FindPictureWindow(window))
            CopyCanvasToClipboard(window, e->canvas);
        break;
    case kPictureSaveId:
        if (std::shared_ptr<PictureWindowEntry> e = FindPictureWindow(window))
            SavePicture(e->canvas, window);
        break;
    case kPictureActualSizeId:
        if (std::shared_ptr<PictureWindowEntry> e = FindPictureWindow(window)) {
            // Back to the picture's own size about the window's middle.
            RECT r{};
            GetWindowRect(window, &r);
            ZoomPicture(window, *e, 1.0, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        }
        break;
    case kPictureCloseId:
        SendMessageA(window, WM_CLOSE, 0, 0);
        break;
    default:
        break;
    }
}
