#include "graphics/dpi.h"

#include <cstdint>

namespace {

constexpr int kMinDpi = 24;
constexpr int kMaxDpi = 960;

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
// shcore's GetDpiForMonitor(monitor, MDT_EFFECTIVE_DPI = 0, &x, &y).
using GetDpiForMonitorFn = HRESULT(WINAPI*)(HMONITOR, int, UINT*, UINT*);

GetDpiForWindowFn DpiForWindowFunction() {
    static const GetDpiForWindowFn fn = [] {
        HMODULE user32 = GetModuleHandleA("user32.dll");
        return user32 != nullptr ? reinterpret_cast<GetDpiForWindowFn>(reinterpret_cast<void*>(
                                       GetProcAddress(user32, "GetDpiForWindow")))
                                 : nullptr;
    }();
    return fn;
}

GetDpiForMonitorFn DpiForMonitorFunction() {
    // shcore exists from Windows 8.1 on; it stays loaded for the whole run.
    static const GetDpiForMonitorFn fn = [] {
        HMODULE shcore = LoadLibraryA("shcore.dll");
        return shcore != nullptr ? reinterpret_cast<GetDpiForMonitorFn>(reinterpret_cast<void*>(
                                       GetProcAddress(shcore, "GetDpiForMonitor")))
                                 : nullptr;
    }();
    return fn;
}

int MonitorDpi(HMONITOR monitor) {
    GetDpiForMonitorFn fn = DpiForMonitorFunction();
    if (fn == nullptr || monitor == nullptr) return 0;
    UINT x = 0, y = 0;
    if (fn(monitor, 0, &x, &y) != S_OK) return 0;
    return static_cast<int>(x);
}

int DcDpi(HWND window) {
    HDC dc = GetDC(window);
    if (dc == nullptr) return 0;
    const int dpi = GetDeviceCaps(dc, LOGPIXELSX);
    ReleaseDC(window, dc);
    return dpi;
}

}  // namespace

int NormalizeDpi(int dpi) {
    if (dpi <= 0) return kBaseDpi;
    if (dpi < kMinDpi) return kMinDpi;
    if (dpi > kMaxDpi) return kMaxDpi;
    return dpi;
}

int ScaleForDpi(int value, int dpi) {
    const std::int64_t product = static_cast<std::int64_t>(value) * NormalizeDpi(dpi);
    const std::int64_t half = kBaseDpi / 2;
    const std::int64_t scaled =
        product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi);
    if (scaled > INT32_MAX) return INT32_MAX;
    if (scaled < INT32_MIN) return INT32_MIN;
    return static_cast<int>(scaled);
}

RECT ScaleRectForDpi(const RECT& rect, int dpi) {
    return RECT{ScaleForDpi(rect.left, dpi), ScaleForDpi(rect.top, dpi),
                ScaleForDpi(rect.right, dpi), ScaleForDpi(rect.bottom, dpi)};
}

int DpiOfWindow(HWND window) {
    if (window == nullptr || !IsWindow(window)) return SystemDpi();
    if (GetDpiForWindowFn fn = DpiForWindowFunction()) {
        const int dpi = static_cast<int>(fn(window));
        if (dpi > 0) return NormalizeDpi(dpi);
    }
    if (const int dpi = MonitorDpi(MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST)); dpi > 0)
        return NormalizeDpi(dpi);
    return NormalizeDpi(DcDpi(window));
}

int DpiAtPoint(POINT p) {
    if (const int dpi = MonitorDpi(MonitorFromPoint(p, MONITOR_DEFAULTTONEAREST)); dpi > 0)
        return NormalizeDpi(dpi);
    return SystemDpi();
}

int SystemDpi() { return NormalizeDpi(DcDpi(nullptr)); }
