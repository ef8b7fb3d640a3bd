#pragma once
// The region screenshot: the screen is frozen into a full-screen window on
// which the user drags out a rectangle, adjusts it with eight handles or
// moves it (or sets it to the pixel with the arrow keys), and confirms it
// (double click inside it, or Enter); C copies the colour under the pointer
// as text. The confirmed
// part of the frozen screen goes to the clipboard as a bitmap. A magnifier
// with the colour and position under the pointer follows the mouse, and a
// label at the rectangle's corner tells its position and size.
//
// The selection runs its window modally on the calling thread and returns
// when it closes: the caller is a thread of its own that does nothing else
// meanwhile (never a window's handler). One screenshot runs at a time; its
// state belongs to that thread.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "graphics/dpi.h"
#include "graphics/gdi_owners.h"

struct RegionSelectOptions {
    bool includeCursor = false;               // draw the mouse cursor into the frozen screen
    COLORREF selectionColor = RGB(10, 100, 200);  // frame and handles of the rectangle
    COLORREF frameColor = 0xFF0090;           // frames of the magnifier, box and label
    COLORREF textColor = 255;                 // texts of the information box and label
    bool rememberRegion = false;              // keep the rectangle for the next screenshot
    // When not 0, the selection is cancelled after this many milliseconds
    // (scripted runs must never wait for a user who is not there).
    DWORD timeLimitMs = 0;
};

// What a selection chose: the frozen screen's pixels of the region (the
// overlay not included) as BMP file bytes, empty when it was cancelled or
// another screenshot was running; and whether the clipboard took them too.
// A clipboard held by another program loses only the copy, not the pixels.
struct RegionCapture {
    std::vector<std::uint8_t> picture;
    bool onClipboard = false;
};
RegionCapture CaptureScreenRegion(const RegionSelectOptions& options = {});

// True when a region was put on the clipboard. False when cancelled, when
// another screenshot is running, or when the clipboard refused the bitmap.
bool SelectScreenRegion(const RegionSelectOptions& options = {});

// A region screenshot is under way from the moment a command claims it
// (before its capture delay passes) until the claim is handed back, and
// while a selection runs. Meanwhile the screen belongs to it: F9 and a
// second region command do nothing. Any thread.
bool ClaimRegionScreenshot();  // false when one is claimed already
void ReleaseRegionScreenshot();
bool RegionScreenshotUnderWay();

// The selection window while a screenshot runs, else null (any thread).
HWND RegionSelectionWindow();

// The rectangle kept for the next remembering screenshot, if any.
std::optional<RECT> RememberedRegion();
void ForgetRememberedRegion();

// The state of the running selection, copied on its own thread. Sent to the
// selection window as kRegionQueryMessage with lParam pointing at one.
struct RegionSelectionState {
    bool regionSelected = false;
    RECT region{};             // normalised, inclusive
    bool buttonDown = false;
    bool dragging = false;
    int activeHandle = 0;
    bool ownCursor = true;     // the pointer shows the program's own arrow
};
constexpr UINT kRegionQueryMessage = WM_APP + 0x421;
// Asks the running selection for its state; nothing when none runs or it does
// not answer within `timeoutMs`.
std::optional<RegionSelectionState> QueryRegionSelection(DWORD timeoutMs = 2000);

// The frozen screen and the picture the selection window shows: a capture
// surface never drawn on after the capture, and a work surface recomposed
// from it at every pointer move (overlay, magnifier, information box, label).
// One clear owner of its DCs, bitmaps, brushes and font.
class RegionSurface {
public:
    RegionSurface() = default;
    ~RegionSurface();
    RegionSurface(const RegionSurface&) = delete;
    RegionSurface& operator=(const RegionSurface&) = delete;

    // Both surfaces in `size`, compatible with the screen, and the drawing
    // objects in the given colours; the magnifier, the boxes and their texts
    // sized for a monitor of `dpi`. False (and nothing held) on failure.
    bool Create(SIZE size, COLORREF selectionColor, COLORREF frameColor, COLORREF textColor,
                int dpi = kBaseDpi);
    bool IsCreated() const { return static_cast<bool>(captureDc_); }
    SIZE Size() const { return size_; }
    HDC CaptureDc() const { return captureDc_.Get(); }
    HDC WorkDc() const { return workDc_.Get(); }

    // The surface shows the desktop from `origin` (screen coordinates of its
    // top-left pixel) with these monitors on it (in surface pixels): the
    // magnifier, the box and the label keep to the monitor they are on.
    // Without it: the primary screen, one monitor over the whole surface.
    void SetDesktop(POINT origin, std::vector<RECT> monitors);

    // Copies the desktop into the capture surface (and the cursor on top
    // when `cursor` is given: its image and where its image goes on the screen).
    bool CaptureScreen(std::optional<std::pair<HCURSOR, POINT>> cursor = std::nullopt);

    // What one recomposition shows.
    struct View {
        POINT start{-1, -1};        // the two dragged corners
        POINT end{-1, -1};
        bool regionSelected = false;
        bool dragging = false;
        int activeHandle = 0;
    };
    // Recomposes the work surface for the pointer at `pointer`. Returns true
    // when a rectangle (not a single point) was drawn.
    bool Compose(const View& view, POINT pointer);
    // The colour the information box showed at the last recomposition.
    COLORREF ShownColor() const { return shownColor_; }
    // Restores the work surface to the frozen screen alone.
    void Restore();
    // Copies the work surface to a DC (the window's) in one block copy.
    void Present(HDC dc) const;

    // A screen-compatible bitmap of `region` (inclusive, on the surface) of
    // the frozen screen, the overlay not included; null when it cannot be made.
    HBITMAP CopyRegion(const RECT& region) const;

private:
    void Release();
    void DrawOverlay(const RECT& region);
    void DrawMagnifier(POINT pointer, const RECT& box);
    void DrawInfoBox(POINT pointer, const RECT& box);

    int Px(int value) const { return ScaleForDpi(value, dpi_); }
    RECT MonitorOf(POINT p) const;

    SIZE size_{};
    POINT origin_{};
    std::vector<RECT> monitors_;
    int dpi_ = kBaseDpi;
    COLORREF shownColor_ = 0;
    // Declared so that they go in the right order: the selections are undone
    // first, then the DCs deleted, then the objects they held.
    OwnedBitmap captureBitmap_;
    OwnedBitmap workBitmap_;
    OwnedFont labelFont_;
    OwnedBrush selectionBrush_;
    OwnedBrush frameBrush_;
    MemoryDc captureDc_;
    MemoryDc workDc_;
    std::optional<SelectedObject> captureSelection_;
    std::optional<SelectedObject> workSelection_;
    std::optional<SelectedObject> fontSelection_;
};

// The region screenshot's arrow cursor, made from the bytes of its cursor
// file (embedded in the program); null when they are missing or malformed.
// The caller owns it (DestroyCursor). Its 32 x 32 pixels are scaled for a
// monitor of `dpi` (48 x 48 at 144 DPI); the hot spot stays at the tip.
HCURSOR CreateSelectionCursor(int dpi = kBaseDpi);

// A cursor file of one image: where its hot spot is and its image bytes
// (BITMAPINFOHEADER onwards). Nothing when the bytes are not such a file.
struct CursorFileImage {
    POINT hotspot{};
    int width = 0;
    int height = 0;
    std::span<const std::uint8_t> image;
};
std::optional<CursorFileImage> ParseCursorFile(std::span<const std::uint8_t> bytes);
// The embedded cursor file's bytes (empty when missing).
std::span<const std::uint8_t> SelectionCursorFile();
