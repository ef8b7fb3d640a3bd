#include "capture/region_select.h"

#include <windowsx.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "../../res/icon_ids.h"
#include "capture/clipboard.h"
#include "capture/clipboard_text.h"
#include "capture/region_geometry.h"
#include "graphics/monitors.h"

namespace {

constexpr const char* kSelectionClass = "DrawBoardRegionSelect";
constexpr const char* kSelectionTitle = "框选区域截屏";
constexpr int kZoom = kMagnifierZoom;
// The label font and the text's place in its box, at 96 DPI.
constexpr int kLabelFontHeight = 12, kLabelFontWidth = 6;
constexpr int kTextInset = 4;
constexpr int kInfoLine1 = 2, kInfoLine2 = 16;

// ---- the remembered region: survives from one screenshot to the next ----

std::mutex g_rememberedGuard;
std::optional<RECT> g_remembered;

void Remember(const RECT& region) {
    std::lock_guard<std::mutex> lock(g_rememberedGuard);
    g_remembered = region;
}

// ---- the running selection (one at a time, on its own thread) ----

struct Selection {
    RegionSelectOptions options;
    SIZE screen{};
    RegionSurface surface;
    HWND window = nullptr;
    HCURSOR ownCursor = nullptr;
    HCURSOR pointer = nullptr;  // what the window shows now
    POINT start{-1, -1};
    POINT end{-1, -1};
    bool regionSelected = false;
    bool buttonDown = false;
    bool dragging = false;
    int activeHandle = kHandleNone;
    int pressHandle = kHandleNone;  // what the press landed on
    POINT lastPoint{};
    bool drawnRegion = false;
    bool result = false;                // the clipboard took the region
    std::vector<std::uint8_t> picture;  // the chosen pixels, as a BMP file
};

Selection* g_selection = nullptr;  // owned by CaptureScreenRegion's frame
std::atomic<HWND> g_selectionWindow{nullptr};
std::atomic<bool> g_selectionRunning{false};
std::atomic<bool> g_screenshotClaimed{false};

RECT CurrentRegion(const Selection& s) { return NormalizeRegion(s.start, s.end); }

void SetPointer(Selection& s, HCURSOR cursor) {
    if (cursor == nullptr) cursor = s.ownCursor != nullptr ? s.ownCursor : LoadCursor(nullptr, IDC_ARROW);
    s.pointer = cursor;
    SetCursor(cursor);
}

bool ShowsOwnCursor(const Selection& s) {
    return s.pointer == s.ownCursor || s.pointer == nullptr;
}

void Present(Selection& s) {
    WindowDc dc(s.window);
    if (dc) s.surface.Present(dc.Get());
}

void Redraw(Selection& s, POINT p) {
    RegionSurface::View view;
    view.start = s.start;
    view.end = s.end;
    view.regionSelected = s.regionSelected;
    view.dragging = s.dragging;
    view.activeHandle = s.activeHandle;
    if (s.surface.Compose(view, p)) {
        if (s.options.rememberRegion) Remember(CurrentRegion(s));
        s.drawnRegion = true;
    }
    Present(s);
}

POINT PointerInWindow(const Selection& s) {
    POINT p{};
    GetCursorPos(&p);
    ScreenToClient(s.window, &p);
    return p;
}

void Close(Selection& s) {
    if (s.window != nullptr && IsWindow(s.window)) DestroyWindow(s.window);
}

void DropRegion(Selection& s) {
    s.regionSelected = false;
    s.drawnRegion = false;
    s.start = s.end = POINT{-1, -1};
    SetPointer(s, s.ownCursor);
    s.surface.Restore();
    Present(s);
}

void Cancel(Selection& s) {
    if (!s.regionSelected) {
        Close(s);
        return;
    }
    DropRegion(s);
}

void Finish(Selection& s, POINT p) {
    if (!s.regionSelected) return;
    const RECT region = CurrentRegion(s);
    if (p.x < region.left || p.x > region.right || p.y < region.top || p.y > region.bottom) return;
    const std::optional<RECT> onScreen = ClipRegionToScreen(region, s.screen);
    if (!onScreen) return;
    HBITMAP bitmap = s.surface.CopyRegion(*onScreen);
    // The pixels are kept before the clipboard is tried: a clipboard that
    // another program holds open must not lose the user their screenshot.
    s.picture = BitmapToBmpFile(bitmap);
    s.result = HandBitmapToClipboard(s.window, bitmap);
    Close(s);
}

void OnLeftDown(Selection& s, POINT p) {
    if (!s.regionSelected && !s.buttonDown) {
        SetCapture(s.window);
        s.start = s.end = p;
        s.pressHandle = kHandleNone;
    } else {
        const int hit = s.regionSelected ? HitTestRegion(CurrentRegion(s), p) : kHandleNone;
        // Neither on a handle nor inside the region: the press does nothing.
        if (hit == kHandleNone) {
            s.buttonDown = false;
            return;
        }
        SetCapture(s.window);
        s.pressHandle = hit;
    }
    s.buttonDown = true;
    s.lastPoint = p;
    s.drawnRegion = false;
}

void OnMouseMove(Selection& s, POINT p) {
    if (s.regionSelected) {
        if (s.dragging && s.buttonDown) {
            const DragCorners moved = DragHandle(s.activeHandle, {s.start, s.end}, p, s.lastPoint);
            s.start = moved.start;
            s.end = moved.end;
            if (s.activeHandle == kHandleMove) s.lastPoint = p;
        } else {
            const int hit = HitTestRegion(CurrentRegion(s), p);
            LPCSTR shape = HandleCursorName(hit);
            SetPointer(s, shape != nullptr ? LoadCursor(nullptr, shape) : s.ownCursor);
            if (s.buttonDown) {
                // The press decides what is dragged: a fast first move may
                // already have left the 5 x 5 handle it landed on.
                s.activeHandle = s.pressHandle != kHandleNone ? s.pressHandle : hit;
                s.dragging = s.activeHandle != kHandleNone;
            }
        }
    } else if (s.buttonDown) {
        s.end = p;
    }
    Redraw(s, p);
}

void OnLeftUp(Selection& s) {
    ReleaseCapture();
    s.buttonDown = false;
    s.dragging = false;
    s.pressHandle = kHandleNone;
    if (s.drawnRegion) {
        s.drawnRegion = false;
        // Committed normalised but whole: a region moved past an edge and back
        // is the region it was. Only the label and the finish clip it to the
        // screen; one with nothing left on the screen selects nothing.
        const RECT region = CurrentRegion(s);
        if (ClipRegionToScreen(region, s.screen)) {
            s.regionSelected = true;
            s.start = POINT{region.left, region.top};
            s.end = POINT{region.right, region.bottom};
        } else {
            s.regionSelected = false;
            s.start = s.end = POINT{-1, -1};
            SetPointer(s, s.ownCursor);
        }
    }
    Redraw(s, PointerInWindow(s));
}

void OnDragReset(Selection& s) {
    ReleaseCapture();
    s.buttonDown = false;
    s.dragging = false;
    s.activeHandle = kHandleNone;
    s.pressHandle = kHandleNone;
}

bool NoShiftState() {
    return GetKeyState(VK_SHIFT) >= 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0;
}

void OnKeyUp(Selection& s, WPARAM key) {
    if (!NoShiftState()) return;
    if (key == VK_ESCAPE) {
        Cancel(s);
    } else if (key == VK_RETURN) {
        const RECT r = CurrentRegion(s);
        Finish(s, POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
    }
}

// The arrow keys: with a region chosen they move or resize it by a pixel;
// before one is chosen they move the pointer by a pixel (which also drags
// out a rectangle while the button is down). Everything follows at once.
void OnArrowKey(Selection& s, UINT key, bool shift) {
    if (s.regionSelected) {
        if (s.buttonDown) return;  // the drag under way decides
        const RECT moved = NudgeRegion(CurrentRegion(s), key, shift, s.screen);
        s.start = POINT{moved.left, moved.top};
        s.end = POINT{moved.right, moved.bottom};
        Redraw(s, PointerInWindow(s));
        return;
    }
    const POINT p = NudgePointer(PointerInWindow(s), key, s.screen);
    POINT onScreen = p;
    ClientToScreen(s.window, &onScreen);
    SetCursorPos(onScreen.x, onScreen.y);
    OnMouseMove(s, p);
}

void OnKeyDown(Selection& s, WPARAM key, LPARAM lParam) {
    if (GetKeyState(VK_CONTROL) < 0 || GetKeyState(VK_MENU) < 0) return;
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    switch (key) {
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        OnArrowKey(s, static_cast<UINT>(key), shift);
        break;
    case 'C':
        // The colour the information box shows; the selection stays open.
        // A held key copies once.
        if (!shift && (lParam & (1 << 30)) == 0)
            WriteClipboardText(s.window, ColorHexText(s.surface.ShownColor()));
        break;
    default:
        break;
    }
}

POINT PointOf(LPARAM lParam) { return POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}; }

LRESULT CALLBACK SelectionProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Selection* s = g_selection;
    if (s == nullptr || s->window != window) return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT ps{};
        HDC dc = BeginPaint(window, &ps);
        s->surface.Present(dc);
        EndPaint(window, &ps);
        return 0;
    }
    case WM_ERASEBKGND:
        return 1;
    case WM_SETCURSOR:
        if (LOWORD(lParam) == HTCLIENT) {
            SetCursor(s->pointer != nullptr ? s->pointer : LoadCursor(nullptr, IDC_ARROW));
            return TRUE;
        }
        break;
    case WM_LBUTTONDOWN:
        OnLeftDown(*s, PointOf(lParam));
        return 0;
    case WM_MOUSEMOVE:
        OnMouseMove(*s, PointOf(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnLeftUp(*s);
        return 0;
    case WM_LBUTTONDBLCLK:
        Finish(*s, PointOf(lParam));
        return 0;
    case WM_RBUTTONDOWN:
        OnDragReset(*s);
        return 0;
    case WM_RBUTTONUP:
        Cancel(*s);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(*s, wParam, lParam);
        return 0;
    case WM_KEYUP:
        OnKeyUp(*s, wParam);
        return 0;
    case kRegionQueryMessage:
        if (auto* out = reinterpret_cast<RegionSelectionState*>(lParam)) {
            out->regionSelected = s->regionSelected;
            out->region = CurrentRegion(*s);
            out->buttonDown = s->buttonDown;
            out->dragging = s->dragging;
            out->activeHandle = s->activeHandle;
            out->ownCursor = ShowsOwnCursor(*s);
        }
        return 1;
    case WM_DESTROY:
        s->drawnRegion = false;
        ReleaseCapture();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool RegisterSelectionClass() {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof(wc);
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &SelectionProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = nullptr;  // the window sets its own pointer
    wc.lpszClassName = kSelectionClass;
    if (RegisterClassExA(&wc) != 0) return true;
    return GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The cursor and where its image goes, read before the screen is frozen.
std::optional<std::pair<HCURSOR, POINT>> ReadCursor() {
    CURSORINFO info{};
    info.cbSize = sizeof(info);  // the 64-bit structure, not the 32-bit one's 20 bytes
    if (!GetCursorInfo(&info) || info.hCursor == nullptr || !(info.flags & CURSOR_SHOWING))
        return std::nullopt;
    ICONINFO icon{};
    if (!GetIconInfo(info.hCursor, &icon)) return std::nullopt;
    // GetIconInfo hands us copies of the cursor's bitmaps.
    const OwnedBitmap mask(icon.hbmMask);
    const OwnedBitmap color(icon.hbmColor);
    const POINT at{info.ptScreenPos.x - static_cast<LONG>(icon.xHotspot),
                   info.ptScreenPos.y - static_cast<LONG>(icon.yHotspot)};
    return std::make_pair(info.hCursor, at);
}

// Runs the window's messages until it is gone, the time is up or the thread
// is asked to quit (the quit message is put back for the thread's own loop).
void RunModal(Selection& s) {
    const ULONGLONG deadline =
        s.options.timeLimitMs != 0 ? GetTickCount64() + s.options.timeLimitMs : 0;
    while (IsWindow(s.window)) {
        DWORD wait = INFINITE;
        if (deadline != 0) {
            const ULONGLONG now = GetTickCount64();
            if (now >= deadline) {
                Close(s);
                break;
            }
            wait = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 50));
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == WM_QUIT) {
                Close(s);
                PostQuitMessage(static_cast<int>(msg.wParam));
                return;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

}  // namespace

// ---- RegionSurface ----

RegionSurface::~RegionSurface() { Release(); }

void RegionSurface::Release() {
    fontSelection_.reset();
    workSelection_.reset();
    captureSelection_.reset();
    workDc_.Reset();
    captureDc_.Reset();
    frameBrush_.Reset();
    selectionBrush_.Reset();
    labelFont_.Reset();
    workBitmap_.Reset();
    captureBitmap_.Reset();
    size_ = SIZE{};
}

bool RegionSurface::Create(SIZE size, COLORREF selectionColor, COLORREF frameColor,
                           COLORREF textColor, int dpi) {
    Release();
    dpi_ = NormalizeDpi(dpi);
    if (size.cx <= 0 || size.cy <= 0) return false;
    {
        ScreenDc screen;
        if (!screen) return false;
        captureDc_ = MemoryDc::Compatible(screen.Get());
        workDc_ = MemoryDc::Compatible(screen.Get());
        captureBitmap_.Reset(CreateCompatibleBitmap(screen.Get(), size.cx, size.cy));
        workBitmap_.Reset(CreateCompatibleBitmap(screen.Get(), size.cx, size.cy));
    }
    if (!captureDc_ || !workDc_ || !captureBitmap_ || !workBitmap_) {
        Release();
        return false;
    }
    captureSelection_.emplace(captureDc_.Get(), captureBitmap_.Get());
    workSelection_.emplace(workDc_.Get(), workBitmap_.Get());
    if (!captureSelection_->Ok() || !workSelection_->Ok()) {
        Release();
        return false;
    }
    labelFont_.Reset(CreateFontA(Px(kLabelFontHeight), Px(kLabelFontWidth), 0, 0, 0, FALSE, FALSE,
                                 FALSE, 0, 0, 0, 0, 32, "宋体"));
    if (labelFont_) fontSelection_.emplace(workDc_.Get(), labelFont_.Get());
    selectionBrush_.Reset(CreateSolidBrush(selectionColor & 0xFFFFFF));
    frameBrush_.Reset(CreateSolidBrush(frameColor & 0xFFFFFF));
    size_ = size;
    SetTextColor(workDc_.Get(), textColor & 0xFFFFFF);
    SetBkMode(workDc_.Get(), OPAQUE);
    SetStretchBltMode(workDc_.Get(), COLORONCOLOR);
    return true;
}

bool RegionSurface::CaptureScreen(std::optional<std::pair<HCURSOR, POINT>> cursor) {
    if (!IsCreated()) return false;
    BOOL copied = FALSE;
    {
        ScreenDc screen;
        if (!screen) return false;
        copied = BitBlt(CaptureDc(), 0, 0, size_.cx, size_.cy, screen.Get(), origin_.x, origin_.y,
                        SRCCOPY);
    }
    if (cursor)
        DrawIcon(CaptureDc(), cursor->second.x - origin_.x, cursor->second.y - origin_.y,
                 cursor->first);
    Restore();
    return copied != FALSE;
}

void RegionSurface::SetDesktop(POINT origin, std::vector<RECT> monitors) {
    origin_ = origin;
    monitors_ = std::move(monitors);
}

RECT RegionSurface::MonitorOf(POINT p) const {
    if (monitors_.empty()) return RECT{0, 0, size_.cx, size_.cy};
    return MonitorAt(monitors_, p);
}

void RegionSurface::Restore() {
    if (!IsCreated()) return;
    BitBlt(WorkDc(), 0, 0, size_.cx, size_.cy, CaptureDc(), 0, 0, SRCCOPY);
}

void RegionSurface::Present(HDC dc) const {
    if (!IsCreated() || dc == nullptr) return;
    BitBlt(dc, 0, 0, size_.cx, size_.cy, WorkDc(), 0, 0, SRCCOPY);
}

void RegionSurface::DrawOverlay(const RECT& region) {
    HDC work = WorkDc();
    HBRUSH selection = selectionBrush_.Get();
    for (const RECT& box : HandleBoxes(region)) ::FillRect(work, &box, selection);
    const RECT frame{region.left, region.top, region.right + 1, region.bottom + 1};
    FrameRect(work, &frame, selection);
    const RECT label = LabelRectIn(region, MonitorOf(POINT{region.left, region.top}), dpi_);
    const std::string text = LabelText(region, size_);
    TextOutA(work, label.left + Px(kTextInset), label.top + Px(kTextInset), text.c_str(),
             static_cast<int>(text.size()));
    FrameRect(work, &label, frameBrush_.Get());
}

void RegionSurface::DrawMagnifier(POINT p, const RECT& box) {
    HDC work = WorkDc();
    // Only the part of the source square that lies on the surface is
    // enlarged; the rest of the magnifier stays black.
    const int side = MagnifierSourceSize(dpi_);
    const RECT source{p.x - side / 2, p.y - side / 2, p.x - side / 2 + side, p.y - side / 2 + side};
    const RECT on{std::max<LONG>(source.left, 0), std::max<LONG>(source.top, 0),
                  std::min<LONG>(source.right, size_.cx), std::min<LONG>(source.bottom, size_.cy)};
    if (on.left > source.left || on.top > source.top || on.right < source.right ||
        on.bottom < source.bottom) {
        ::FillRect(work, &box, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
    if (on.left < on.right && on.top < on.bottom) {
        StretchBlt(work, box.left + (on.left - source.left) * kZoom,
                   box.top + (on.top - source.top) * kZoom, (on.right - on.left) * kZoom,
                   (on.bottom - on.top) * kZoom, work, on.left, on.top, on.right - on.left,
                   on.bottom - on.top, SRCCOPY);
    }
    FrameRect(work, &box, frameBrush_.Get());
    // A frame around the pointer's own pixel, enlarged.
    const int at = side / 2 * kZoom;
    const RECT middle{box.left + at - 1, box.top + at - 1, box.left + at + kZoom + 1,
                      box.top + at + kZoom + 1};
    FrameRect(work, &middle, frameBrush_.Get());
}

void RegionSurface::DrawInfoBox(POINT p, const RECT& box) {
    HDC work = WorkDc();
    COLORREF color = GetPixel(work, p.x, p.y);
    if (color == CLR_INVALID) color = 0;
    shownColor_ = color;
    const std::string line1 = InfoColorLine(color);
    const std::string line2 = InfoPointLine(p);
    TextOutA(work, box.left + Px(kTextInset), box.top + Px(kInfoLine1), line1.c_str(),
             static_cast<int>(line1.size()));
    TextOutA(work, box.left + Px(kTextInset), box.top + Px(kInfoLine2), line2.c_str(),
             static_cast<int>(line2.size()));
    FrameRect(work, &box, frameBrush_.Get());
}

bool RegionSurface::Compose(const View& view, POINT p) {
    if (!IsCreated()) return false;
    Restore();
    bool drawn = false;
    const RECT region = NormalizeRegion(view.start, view.end);
    if (!IsPointRegion(region)) {
        DrawOverlay(region);
        drawn = true;
    }
    const bool magnifier = MagnifierShown(view.regionSelected, view.dragging, view.activeHandle);
    const RECT monitor = MonitorOf(p);
    if (magnifier) DrawMagnifier(p, MagnifierRectIn(p, monitor, dpi_));
    DrawInfoBox(p, InfoBoxRectIn(p, monitor, magnifier, dpi_));
    return drawn;
}

HBITMAP RegionSurface::CopyRegion(const RECT& region) const {
    if (!IsCreated()) return nullptr;
    const int width = region.right - region.left + 1;
    const int height = region.bottom - region.top + 1;
    if (width <= 0 || height <= 0) return nullptr;
    ScreenDc screen;
    if (!screen) return nullptr;
    OwnedBitmap bitmap(CreateCompatibleBitmap(screen.Get(), width, height));
    const MemoryDc dc = MemoryDc::Compatible(screen.Get());
    if (!bitmap || !dc) return nullptr;
    {
        SelectedObject selection(dc.Get(), bitmap.Get());
        if (!selection.Ok()) return nullptr;
        BitBlt(dc.Get(), 0, 0, width, height, CaptureDc(), region.left, region.top, SRCCOPY);
    }
    return bitmap.Release();
}

// ---- the cursor ----

std::optional<CursorFileImage> ParseCursorFile(std::span<const std::uint8_t> bytes) {
    auto u16 = [&](std::size_t at) { return static_cast<unsigned>(bytes[at] | (bytes[at + 1] << 8)); };
    auto u32 = [&](std::size_t at) {
        return static_cast<std::uint32_t>(u16(at)) | (static_cast<std::uint32_t>(u16(at + 2)) << 16);
    };
    constexpr std::size_t kDirectory = 6;
    constexpr std::size_t kEntry = 16;
    if (bytes.size() < kDirectory + kEntry) return std::nullopt;
    if (u16(0) != 0 || u16(2) != 2 || u16(4) < 1) return std::nullopt;  // a cursor file
    CursorFileImage out;
    out.width = bytes[6] == 0 ? 256 : bytes[6];
    out.height = bytes[7] == 0 ? 256 : bytes[7];
    out.hotspot = POINT{static_cast<LONG>(u16(10)), static_cast<LONG>(u16(12))};
    const std::uint32_t size = u32(14);
    const std::uint32_t offset = u32(18);
    if (offset < kDirectory + kEntry || size < sizeof(BITMAPINFOHEADER) || offset > bytes.size() ||
        size > bytes.size() - offset) {
        return std::nullopt;
    }
    if (out.hotspot.x >= out.width || out.hotspot.y >= out.height) return std::nullopt;
    out.image = bytes.subspan(offset, size);
    return out;
}

std::span<const std::uint8_t> SelectionCursorFile() {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(IDR_SELECTION_CURSOR), MAKEINTRESOURCEA(10));
    if (info == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, info);
    const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
    const DWORD size = SizeofResource(module, info);
    if (data == nullptr || size == 0) return {};
    return {static_cast<const std::uint8_t*>(data), size};
}

HCURSOR CreateSelectionCursor(int dpi) {
    const std::optional<CursorFileImage> file = ParseCursorFile(SelectionCursorFile());
    if (!file) return nullptr;
    // A cursor resource is its hot spot (two 16-bit values) before the image.
    std::vector<std::uint8_t> resource(4 + file->image.size());
    resource[0] = static_cast<std::uint8_t>(file->hotspot.x & 0xFF);
    resource[1] = static_cast<std::uint8_t>(file->hotspot.x >> 8);
    resource[2] = static_cast<std::uint8_t>(file->hotspot.y & 0xFF);
    resource[3] = static_cast<std::uint8_t>(file->hotspot.y >> 8);
    std::memcpy(resource.data() + 4, file->image.data(), file->image.size());
    return reinterpret_cast<HCURSOR>(
        CreateIconFromResourceEx(resource.data(), static_cast<DWORD>(resource.size()), FALSE,
                                 0x00030000, ScaleForDpi(file->width, dpi),
                                 ScaleForDpi(file->height, dpi), LR_DEFAULTCOLOR));
}

// ---- the selection ----

std::optional<RECT> RememberedRegion() {
    std::lock_guard<std::mutex> lock(g_rememberedGuard);
    return g_remembered;
}

void ForgetRememberedRegion() {
    std::lock_guard<std::mutex> lock(g_rememberedGuard);
    g_remembered.reset();
}

HWND RegionSelectionWindow() { return g_selectionWindow.load(); }

std::optional<RegionSelectionState> QueryRegionSelection(DWORD timeoutMs) {
    HWND window = g_selectionWindow.load();
    if (window == nullptr) return std::nullopt;
    RegionSelectionState state;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, kRegionQueryMessage, 0, reinterpret_cast<LPARAM>(&state),
                             SMTO_ABORTIFHUNG, timeoutMs, &answer) ||
        answer != 1) {
        return std::nullopt;
    }
    return state;
}

bool ClaimRegionScreenshot() { return !g_screenshotClaimed.exchange(true); }

void ReleaseRegionScreenshot() { g_screenshotClaimed.store(false); }

bool RegionScreenshotUnderWay() { return g_screenshotClaimed.load() || g_selectionRunning.load(); }

bool SelectScreenRegion(const RegionSelectOptions& options) {
    return CaptureScreenRegion(options).onClipboard;
}

RegionCapture CaptureScreenRegion(const RegionSelectOptions& options) {
    // One screenshot at a time.
    if (g_selectionRunning.exchange(true)) return {};
    struct Done {
        ~Done() { g_selectionRunning.store(false); }
    } done;

    std::optional<std::pair<HCURSOR, POINT>> cursor;
    if (options.includeCursor) cursor = ReadCursor();

    Selection s;
    s.options = options;
    // The window covers the whole desktop, every monitor; the rectangle is
    // kept in the desktop picture's own pixels, (0,0) at its top-left corner.
    const RECT desktop = VirtualScreenRect();
    s.screen = SIZE{desktop.right - desktop.left, desktop.bottom - desktop.top};
    // The primary monitor's scale sizes the magnifier, the texts and the
    // cursor; the frozen screen stays in its own pixels.
    const int dpi = DpiAtPoint(POINT{0, 0});
    if (!s.surface.Create(s.screen, options.selectionColor, options.frameColor, options.textColor,
                          dpi))
        return {};
    s.surface.SetDesktop(POINT{desktop.left, desktop.top},
                         ShiftedMonitors(MonitorRects(), -desktop.left, -desktop.top));
    s.surface.CaptureScreen(cursor);
    if (!RegisterSelectionClass()) return {};
    s.ownCursor = CreateSelectionCursor(dpi);
    s.pointer = s.ownCursor;

    g_selection = &s;
    s.window = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kSelectionClass, kSelectionTitle,
                               WS_POPUP, desktop.left, desktop.top, s.screen.cx, s.screen.cy,
                               nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    if (s.window != nullptr) {
        g_selectionWindow.store(s.window);
        if (options.rememberRegion) {
            const std::optional<RECT> kept = RememberedRegion();
            // Kept whole as well, as long as some of it is on the screen.
            if (kept && !IsPointRegion(*kept) && ClipRegionToScreen(*kept, s.screen)) {
                s.start = POINT{kept->left, kept->top};
                s.end = POINT{kept->right, kept->bottom};
                s.regionSelected = true;
            }
        }
        ShowWindow(s.window, SW_SHOW);
        SetForegroundWindow(s.window);
        SetActiveWindow(s.window);
        SetFocus(s.window);
        SetPointer(s, s.ownCursor);
        Redraw(s, PointerInWindow(s));
        RunModal(s);
    }
    g_selectionWindow.store(nullptr);
    g_selection = nullptr;
    if (s.ownCursor != nullptr) {
        SetCursor(LoadCursor(nullptr, IDC_ARROW));
        DestroyCursor(s.ownCursor);
    }
    return RegionCapture{std::move(s.picture), s.result};
}
