#include "app/color_picker.h"

#include <commdlg.h>

#include "graphics/gdi_owners.h"

namespace {

constexpr const char* kColorPickerClass = "DrawBoardColorPicker";
constexpr int kColorSlot = 0;      // window extra: the colour
constexpr int kAllowNoneSlot = 8;  // window extra: right click clears

// Remembered between dialogs, like the platform's own custom colours.
COLORREF g_customColors[16] = {0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                               0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF,
                               0xFFFFFF, 0xFFFFFF, 0xFFFFFF, 0xFFFFFF};

bool PlatformColorDialog(HWND owner, COLORREF& color) {
    CHOOSECOLORA cc{};
    cc.lStructSize = sizeof(cc);
    cc.hwndOwner = owner;
    cc.rgbResult = color & 0xFFFFFF;
    cc.lpCustColors = g_customColors;
    cc.Flags = CC_RGBINIT | CC_FULLOPEN | CC_ANYCOLOR;
    if (!ChooseColorA(&cc)) return false;
    color = cc.rgbResult & 0xFFFFFF;
    return true;
}

ColorDialogRoutine g_dialog = &PlatformColorDialog;

COLORREF ColorOf(HWND w) { return static_cast<COLORREF>(GetWindowLongPtrA(w, kColorSlot)); }

void Notify(HWND w) {
    HWND parent = GetParent(w);
    if (parent == nullptr) return;
    const int id = GetDlgCtrlID(w);
    SendMessageA(parent, WM_COMMAND, MAKEWPARAM(id, kColorPickerChanged),
                 reinterpret_cast<LPARAM>(w));
}

void Paint(HWND w) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(w, &ps);
    RECT r;
    GetClientRect(w, &r);
    DrawEdge(dc, &r, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
    const COLORREF color = ColorOf(w);
    const bool none = color == kNoColor;
    OwnedBrush brush(CreateSolidBrush(none ? 0xFFFFFF : (color & 0xFFFFFF)));
    if (brush) FillRect(dc, &r, brush.Get());
    if (none) {
        SelectedOwned<HPEN> pen(dc, CreatePen(PS_SOLID, 1, 0x0000FF));
        MoveToEx(dc, r.left, r.bottom - 1, nullptr);
        LineTo(dc, r.right, r.top - 1);
    }
    EndPaint(w, &ps);
}

LRESULT CALLBACK ColorPickerProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_PAINT:
            Paint(w);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case kColorPickerSetColor: {
            const COLORREF old = ColorOf(w);
            SetWindowLongPtrA(w, kColorSlot, static_cast<LONG_PTR>(static_cast<COLORREF>(wParam)));
            InvalidateRect(w, nullptr, FALSE);
            return old;
        }
        case kColorPickerGetColor:
            return ColorOf(w);
        case WM_LBUTTONDOWN:
            SetCapture(w);
            return 0;
        case WM_LBUTTONUP: {
            if (GetCapture() != w) return 0;
            ReleaseCapture();
            RECT r;
            GetClientRect(w, &r);
            const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            if (!PtInRect(&r, p)) return 0;  // released outside: no click
            COLORREF color = ColorOf(w);
            if (g_dialog != nullptr && g_dialog(GetAncestor(w, GA_ROOT), color) &&
                color != ColorOf(w)) {
                SendMessageA(w, kColorPickerSetColor, color, 0);
                Notify(w);
            }
            return 0;
        }
        case WM_RBUTTONUP:
            if (GetWindowLongPtrA(w, kAllowNoneSlot) != 0 && ColorOf(w) != kNoColor) {
                SendMessageA(w, kColorPickerSetColor, kNoColor, 0);
                Notify(w);
            }
            return 0;
        default:
            return DefWindowProcA(w, message, wParam, lParam);
    }
}

void RegisterPickerClass() {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &ColorPickerProc;
        wc.cbWndExtra = 16;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_HAND));
        wc.lpszClassName = kColorPickerClass;
        return RegisterClassExA(&wc) != 0;
    }();
    (void)registered;
}

}  // namespace

HWND CreateColorPicker(HWND parent, int id, int x, int y, int width, int height, COLORREF color,
                       bool allowNone) {
    RegisterPickerClass();
    HWND w = CreateWindowExA(0, kColorPickerClass, "", WS_CHILD | WS_VISIBLE, x, y, width, height,
                             parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             GetModuleHandleA(nullptr), nullptr);
    if (w == nullptr) return nullptr;
    SetWindowLongPtrA(w, kColorSlot, static_cast<LONG_PTR>(color));
    SetWindowLongPtrA(w, kAllowNoneSlot, allowNone ? 1 : 0);
    return w;
}

ColorDialogRoutine SetColorDialogRoutine(ColorDialogRoutine routine) {
    ColorDialogRoutine old = g_dialog;
    g_dialog = routine;
    return old;
}
