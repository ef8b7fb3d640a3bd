#include "board/tools/pixel_tools.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <span>
#include <vector>

#include "board/board_events.h"
#include "board/commands.h"
#include "board/palette_picture.h"
#include "board/pixel_rules.h"
#include "board/shape_drawing.h"
#include "graphics/gdi_owners.h"
#include "graphics/monitors.h"

namespace {

constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kRed = 0x0000FF;

SIZE CanvasSize(const Canvas& canvas) { return SIZE{canvas.Width(), canvas.Height()}; }

void FrameSquare(Canvas& canvas, const RECT& r, COLORREF color) {
    HDC dc = canvas.DeviceContext();
    if (dc == nullptr) return;
    OwnedBrush brush(CreateSolidBrush(color));
    if (brush) ::FrameRect(dc, &r, brush.Get());
}

// Copies the part of `r` that lies on both canvases from `source` onto `dest`.
void CopySquare(Canvas& dest, const Canvas& source, const RECT& r) {
    if (!dest.IsCreated() || !source.IsCreated()) return;
    const LONG left = std::max<LONG>(r.left, 0);
    const LONG top = std::max<LONG>(r.top, 0);
    const LONG right = std::min<LONG>(r.right, std::min(dest.Width(), source.Width()));
    const LONG bottom = std::min<LONG>(r.bottom, std::min(dest.Height(), source.Height()));
    if (left >= right || top >= bottom) return;
    BitBlt(dest.DeviceContext(), left, top, right - left, bottom - top, source.DeviceContext(), left,
           top, SRCCOPY);
}

// The colour at p of the board canvas, or nothing off the board.
std::optional<COLORREF> ColorAt(const Canvas& canvas, POINT p) {
    return PickedColor(canvas.GetPixel(p.x, p.y));
}

// The part of the board on the monitor under board point `p`, in board
// pixels; the whole board when there is no window.
RECT PointerArea(const PointerContext& c, POINT p) {
    RECT placed{};
    if (c.window == nullptr || !GetWindowRect(c.window, &placed))
        return RECT{0, 0, c.board.Width(), c.board.Height()};
    placed.right = placed.left + c.board.Width();
    placed.bottom = placed.top + c.board.Height();
    return AreaOnBoard(MonitorRects(), placed, p);
}

// The pointer in board pixels, wherever it is.
POINT PointerOnBoard(const PointerContext& c) {
    POINT p{};
    if (c.window != nullptr && GetCursorPos(&p)) ScreenToClient(c.window, &p);
    return p;
}

ColorTarget CurrentColorTarget() {
    return ColorTargetOfPage(Events().ColorPage());
}

std::atomic<int>& TargetSetting(SettingsRecord& s, ColorTarget target) {
    switch (target) {
    case ColorTarget::Brush: return s.brushColor;
    case ColorTarget::Text: return s.textColor;
    case ColorTarget::Pen: break;
    }
    return s.penColor;
}

int EraserHalfSize(const SettingsRecord& s) {
    return BoundEraserHalfSize(s.eraserSize.load(), s.eraserMax.load());
}

}  // namespace

// ---- crosshair and magnifier ----

RECT DrawMagnifier(Canvas& canvas, POINT p, COLORREF frame, std::optional<RECT> area) {
    const SIZE size = CanvasSize(canvas);
    const std::optional<MagnifierLayout> m =
        PlaceMagnifier(size, p, area.value_or(RECT{0, 0, size.cx, size.cy}));
    HDC dc = canvas.DeviceContext();
    if (!m || dc == nullptr) return RECT{};
    const RECT& t = m->target;
    const bool whole = t.left == m->square.left && t.top == m->square.top &&
                       t.right == m->square.right && t.bottom == m->square.bottom;
    if (!whole) {
        // Beyond the board's edge there are no pixels to enlarge.
        OwnedBrush black(CreateSolidBrush(kBlack));
        if (black) ::FillRect(dc, &m->square, black.Get());
    }
    const RECT& s = m->source;
    if (s.left < s.right && s.top < s.bottom) {
        // Enlarging: every pixel is repeated 4 x 4 (no smoothing).
        StretchBlt(dc, t.left, t.top, t.right - t.left, t.bottom - t.top, dc, s.left, s.top,
                   s.right - s.left, s.bottom - s.top, SRCCOPY);
    }
    FrameSquare(canvas, m->square, frame);
    return m->square;
}

void DrawCrosshairWithMagnifier(PointerContext& c, POINT p) {
    c.Drew(DrawCrosshair(c.board, p, c.settings.crossSize.load(), c.settings.penWidth.load()));
    c.Drew(DrawMagnifier(c.board, p, static_cast<COLORREF>(c.settings.penColor.load()),
                         PointerArea(c, p)));
}

bool DrawBmpStretched(Canvas& canvas, std::span<const std::uint8_t> bmp, RECT rect) {
    HDC dc = canvas.DeviceContext();
    constexpr std::size_t kFileHeader = sizeof(BITMAPFILEHEADER);
    if (dc == nullptr || bmp.size() < kFileHeader + sizeof(BITMAPINFOHEADER)) return false;
    if (bmp[0] != 'B' || bmp[1] != 'M') return false;
    BITMAPFILEHEADER file{};
    std::memcpy(&file, bmp.data(), kFileHeader);
    BITMAPINFO info{};
    std::memcpy(&info.bmiHeader, bmp.data() + kFileHeader, sizeof(BITMAPINFOHEADER));
    const BITMAPINFOHEADER& h = info.bmiHeader;
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biCompression != BI_RGB ||
        (h.biBitCount != 32 && h.biBitCount != 24) || h.biWidth <= 0 || h.biHeight == 0 ||
        h.biWidth > 4096 || h.biHeight > 4096 || h.biHeight < -4096) {
        return false;
    }
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    const std::size_t rows = static_cast<std::size_t>(h.biHeight < 0 ? -h.biHeight : h.biHeight);
    const std::size_t stride = ((static_cast<std::size_t>(h.biWidth) * h.biBitCount + 31) / 32) * 4;
    if (file.bfOffBits > bmp.size() || bmp.size() - file.bfOffBits < stride * rows) return false;
    const int drawn = StretchDIBits(dc, rect.left, rect.top, rect.right - rect.left,
                                    rect.bottom - rect.top, 0, 0, h.biWidth,
                                    static_cast<int>(rows), bmp.data() + file.bfOffBits, &info,
                                    DIB_RGB_COLORS, SRCCOPY);
    return drawn > 0;
}

// ---- fill ----

namespace {

// The surface fill from `p` with the canvas's brush, as ExtFloodFill with
// FLOODFILLSURFACE paints it. On an area of many small runs (a hatch filled
// over another hatch) Wine's own fill took from ten seconds to over half a
// minute on a 1920 x 1080 board, with the board frozen meanwhile. Here the
// area is found in one pass over the pixels, the brush paints its bounding
// rectangle, and what lies outside the area is put back.
RECT FillSurface(Canvas& canvas, POINT p) {
    const int width = canvas.Width(), height = canvas.Height();
    std::span<std::uint32_t> pixels = canvas.Pixels();
    HDC dc = canvas.DeviceContext();
    if (pixels.empty() || dc == nullptr) {
        canvas.FloodFillSurface(p.x, p.y);
        return RECT{0, 0, width, height};  // the platform does not say where it filled
    }
    // The surface lies bottom row first.
    const FloodArea area = SurfaceFloodArea(pixels, width, height, POINT{p.x, height - 1 - p.y});
    const RECT rows = area.bounds;
    if (rows.right <= rows.left || rows.bottom <= rows.top) return RECT{};
    const int runWidth = rows.right - rows.left;
    std::vector<std::uint32_t> kept;
    kept.reserve(static_cast<std::size_t>(runWidth) * (rows.bottom - rows.top));
    for (int row = rows.top; row < rows.bottom; ++row) {
        const auto from = pixels.begin() + static_cast<std::ptrdiff_t>(row) * width + rows.left;
        kept.insert(kept.end(), from, from + runWidth);
    }
    const RECT painted{rows.left, height - rows.bottom, rows.right, height - rows.top};
    FillRect(dc, &painted, static_cast<HBRUSH>(GetCurrentObject(dc, OBJ_BRUSH)));
    pixels = canvas.Pixels();  // after the brush has finished
    std::size_t k = 0;
    for (int row = rows.top; row < rows.bottom; ++row) {
        const std::size_t line = static_cast<std::size_t>(row) * width;
        for (int x = rows.left; x < rows.right; ++x, ++k)
            if (area.inside[line + x] == 0) pixels[line + x] = kept[k];
    }
    return painted;
}

}  // namespace

void FillTool::Press(PointerContext& c, POINT p) {
    BoardTool::Press(c, p);
    c.Restore();  // the crosshair is no part of the picture
    // Off the board (a captured pointer) there is nothing to flood.
    if (ColorAt(c.board, p)) c.Drew(FillSurface(c.board, p));
    c.Show();
}

void FillTool::Hover(PointerContext& c, POINT p) {
    c.state.currentPoint = p;
    c.Restore();
    DrawCrosshairWithMagnifier(c, p);
    c.Show();
}

// ---- eyedropper ----

void EyedropperTool::ShowSpectrum(PointerContext& c) {
    // (A board refilled with a smaller picture chooses again.)
    if (!spectrumArea_ || spectrumArea_->right > c.board.Width() ||
        spectrumArea_->bottom > c.board.Height())
        spectrumArea_ = PointerArea(c, PointerOnBoard(c));
    const RECT spectrum = SpectrumRectIn(*spectrumArea_);
    if (DrawBmpStretched(c.board, PalettePicture, spectrum)) c.Drew(spectrum);
}

void EyedropperTool::Selected(PointerContext& c) {
    spectrumArea_.reset();  // opens again on the pointer's monitor
    c.Restore();
    ShowSpectrum(c);
    c.Show();
}

void EyedropperTool::Move(PointerContext& c, POINT p) {
    c.state.previousPoint = c.state.currentPoint;
    c.state.currentPoint = p;
    c.Restore();
    ShowSpectrum(c);
    if (c.state.dragging) {
        if (const std::optional<COLORREF> color = ColorAt(c.board, p)) {
            TargetSetting(c.settings, CurrentColorTarget()).store(static_cast<int>(*color));
            Events().ColorPicked(*color);
        }
    }
    DrawCrosshairWithMagnifier(c, p);
    c.Show();
}

void EyedropperTool::Release(PointerContext& c, POINT p) {
    c.Restore();
    ShowSpectrum(c);
    c.state.currentPoint = p;
    const std::optional<COLORREF> color = ColorAt(c.board, p);
    const int brushType = c.settings.brushType.load();
    if (color) {
        const ColorTarget target = CurrentColorTarget();
        TargetSetting(c.settings, target).store(static_cast<int>(*color));
        for (Canvas* canvas : {&c.board, &c.back}) {
            switch (target) {
            case ColorTarget::Brush: canvas->BrushColor(*color); break;
            case ColorTarget::Text: canvas->TextColor(*color); break;
            case ColorTarget::Pen: canvas->PenColor(*color); break;
            }
            canvas->BrushStyle(brushType);
        }
    }
    c.Restore();  // the spectrum goes until the next move
    if (color) Events().ColorPicked(*color);
    ChooseBrushType(brushType);
    c.Show();
    c.Commit();
}

// ---- eraser ----

void EraserTool::Preview(PointerContext& c, POINT p, COLORREF frame) {
    const RECT square = EraserSquare(p, EraserHalfSize(c.settings));
    c.Restore();
    CopySquare(c.board, c.layer, square);
    FrameSquare(c.board, square, frame);
    c.Drew(square);
}

void EraserTool::Press(PointerContext& c, POINT p) {
    BoardTool::Press(c, p);
    Preview(c, p, kRed);  // the back canvas is erased from the first move on
    c.Show();
}

void EraserTool::Move(PointerContext& c, POINT p) {
    c.state.previousPoint = c.state.currentPoint;
    c.state.currentPoint = p;
    if (c.state.dragging) {
        const RECT square = EraserSquare(p, EraserHalfSize(c.settings));
        c.WritingBack(square);
        CopySquare(c.back, c.layer, square);
    }
    Preview(c, p, c.state.dragging ? kRed : kBlack);
    c.Show();
}

void EraserTool::Release(PointerContext& c, POINT) {
    // The square at the last point covers its frame; the window keeps showing
    // the frame until the next move.
    const RECT square = EraserSquare(c.state.currentPoint, EraserHalfSize(c.settings));
    CopySquare(c.board, c.layer, square);
    c.Drew(square);
    c.Commit();
}

void EraserTool::Wheel(PointerContext& c, int step) {
    SettingsRecord& s = c.settings;
    s.eraserSize.store(EraserHalfSizeAfterWheel(s.eraserSize.load(), step, s.eraserMax.load()));
    if (c.wheelPoint) c.state.currentPoint = *c.wheelPoint;
    Preview(c, c.state.currentPoint, kBlack);
    c.Show();
}
