// Canvas drawing, text, copying and export operations. The surface and the
// pen/brush/font state live in canvas.cpp; everything here draws with the
// objects that are currently selected into the canvas's memory DC.
//
// Every operation checks that the canvas is created first: a canvas whose
// Create failed (or that was destroyed) quietly draws nothing.

#include "graphics/canvas.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <utility>

#include "shapes/text.h"

namespace {

// Degrees to radians with pi taken as 3.1415926535, so that arcs and pies
// land on exactly the pixels the shape tools compute with the same constant.
constexpr double kRadiansPerDegree = 0.017453292519444445;

// Computed coordinates are truncated toward zero. Values beyond int's range
// (or NaN from degenerate geometry) are clamped instead of being undefined.
int Trunc(double v) {
    if (std::isnan(v)) return 0;
    if (v >= static_cast<double>(INT_MAX)) return INT_MAX;
    if (v <= static_cast<double>(INT_MIN)) return INT_MIN;
    return static_cast<int>(v);
}

// The number of points an operation uses: the array length when no count is
// given or the count exceeds it; a negative count uses nothing.
int UsedCount(std::size_t length, std::optional<int> count) {
    const int len = static_cast<int>(std::min<std::size_t>(length, INT_MAX));
    if (!count || *count > len) return len;
    return std::max(*count, 0);
}

// DrawTextA and friends want a pointer even for an empty text.
const char* TextPtr(std::string_view text) { return text.empty() ? "" : text.data(); }
int TextLen(std::string_view text) {
    return static_cast<int>(std::min<std::size_t>(text.size(), INT_MAX));
}

BITMAPINFO Describe32(int width, int height) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;  // positive: rows stored bottom-up
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    return bi;
}

// A temporary memory DC holding a 32-bit DIB section of its own.
class MemorySurface {
public:
    MemorySurface(int width, int height)
        : dc_(width > 0 && height > 0 ? MemoryDc::Compatible() : MemoryDc()),
          bitmap_(MakeBitmap(dc_.Get(), width, height)),
          selection_(dc_.Get(), bitmap_.Get()) {}

    bool Ok() const { return selection_.Ok(); }
    HDC Dc() const { return dc_.Get(); }
    HBITMAP Bitmap() const { return bitmap_.Get(); }
    // GetDIBits wants the bitmap out of every DC.
    void Deselect() { selection_.Restore(); }

private:
    static HBITMAP MakeBitmap(HDC dc, int width, int height) {
        if (dc == nullptr) return nullptr;
        BITMAPINFO bi = Describe32(width, height);
        void* bits = nullptr;
        return CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    }

    MemoryDc dc_;
    OwnedBitmap bitmap_;
    SelectedObject selection_;
};

// HALFTONE for shrinking copies, for the duration of one copy. The DC's own
// mode comes back afterwards so that a later enlargement on the same DC (the
// magnifiers repeat pixels) is not smoothed by a mode left behind.
class ScopedHalftone {
public:
    ScopedHalftone(HDC dc, bool shrinking) {
        if (!dc || !shrinking) return;
        const int old = SetStretchBltMode(dc, HALFTONE);
        if (old == 0) return;
        dc_ = dc;
        oldMode_ = old;
        // HALFTONE needs the brush origin reset after the mode is set.
        SetBrushOrgEx(dc_, 0, 0, &oldOrigin_);
    }
    ~ScopedHalftone() {
        if (!dc_) return;
        SetStretchBltMode(dc_, oldMode_);
        SetBrushOrgEx(dc_, oldOrigin_.x, oldOrigin_.y, nullptr);
    }
    ScopedHalftone(const ScopedHalftone&) = delete;
    ScopedHalftone& operator=(const ScopedHalftone&) = delete;

private:
    HDC dc_ = nullptr;
    int oldMode_ = 0;
    POINT oldOrigin_{};
};

void FillSolid(HDC dc, RECT rect, COLORREF color) {
    OwnedBrush brush(CreateSolidBrush(color));
    if (!brush) return;
    ::FillRect(dc, &rect, brush.Get());
}

TRIVERTEX Vertex(int x, int y, COLORREF color) {
    TRIVERTEX v{};
    v.x = x;
    v.y = y;
    v.Red = static_cast<COLOR16>(GetRValue(color) << 8);
    v.Green = static_cast<COLOR16>(GetGValue(color) << 8);
    v.Blue = static_cast<COLOR16>(GetBValue(color) << 8);
    v.Alpha = 0;
    return v;
}

// One gradient segment between two vertices.
void GradientRect(HDC dc, int x1, int y1, COLORREF c1, int x2, int y2, COLORREF c2, ULONG mode) {
    TRIVERTEX v[2] = {Vertex(x1, y1, c1), Vertex(x2, y2, c2)};
    GRADIENT_RECT r{0, 1};
    ::GradientFill(dc, v, 2, &r, 1, mode);
}

}  // namespace

// ---------------------------------------------------------------- text ----

void Canvas::WriteTurned(std::string_view text, bool toNextLine, int gap) {
    const int angle = fontSpec_.angle;
    const int lineHeight = TextHeight(text);
    const POINT start{textX_, textY_};
    POINT end = start;
    int line = 0;
    for (std::size_t from = 0;; ++line) {
        const std::size_t at = text.find("\r\n", from);
        const std::string_view piece = text.substr(from, at == std::string_view::npos ? at : at - from);
        const POINT origin = TurnTextPoint(start, 0, line * lineHeight, angle);
        TextOutA(dc_.Get(), origin.x, origin.y, TextPtr(piece), TextLen(piece));
        end = TurnTextPoint(origin, TextWidth(piece), 0, angle);
        if (at == std::string_view::npos) break;
        from = at + 2;
    }
    if (toNextLine) end = TurnTextPoint(start, 0, (line + 1) * lineHeight + gap, angle);
    textX_ = end.x;
    textY_ = end.y;
}

void Canvas::WriteText(std::string_view text) {
    if (!dc_.Get() || text.empty()) return;
    if (fontSpec_.angle % 3600 != 0) {
        WriteTurned(text, false, 0);
        return;
    }
    RECT rect{textX_, textY_, width_, height_};
    const int drawn = DrawTextA(dc_.Get(), TextPtr(text), TextLen(text), &rect, DT_NOPREFIX);
    // Every line starts at the old cursor x; the cursor follows the last one.
    std::string_view last = text;
    const auto breakAt = text.rfind("\r\n");
    if (breakAt != std::string_view::npos) last = text.substr(breakAt + 2);
    textX_ += TextWidth(last);
    const int lineHeight = TextHeight(text);
    if (drawn != lineHeight) textY_ += drawn - lineHeight;
}

void Canvas::WriteLine(std::string_view text, int gap) {
    if (!dc_.Get()) return;
    if (fontSpec_.angle % 3600 != 0) {
        WriteTurned(text, true, gap);
        return;
    }
    RECT rect{textX_, textY_, width_, height_};
    const int drawn = DrawTextA(dc_.Get(), TextPtr(text), TextLen(text), &rect, DT_NOPREFIX);
    textY_ += drawn + gap;
}

int Canvas::DrawTextInRect(std::string_view text, std::optional<int> count, RECT rect,
                           UINT format) {
    if (!dc_.Get()) return 0;
    // A count beyond the text (or -1) means the whole text; the text is
    // read-only here, so DrawText may not write an ellipsis back into it.
    const int used = (!count || *count < 0) ? TextLen(text) : std::min(*count, TextLen(text));
    return DrawTextA(dc_.Get(), TextPtr(text), used, &rect, format & ~static_cast<UINT>(DT_MODIFYSTRING));
}

BOOL Canvas::OutputText(std::optional<int> x, std::optional<int> y, std::string_view text) {
    if (!dc_.Get()) return FALSE;
    return TextOutA(dc_.Get(), x.value_or(textX_), y.value_or(textY_), TextPtr(text), TextLen(text));
}

int Canvas::TextWidth(std::string_view text) const {
    if (!dc_.Get()) return 0;
    SIZE size{};
    if (!GetTextExtentPoint32A(dc_.Get(), TextPtr(text), TextLen(text), &size)) return 0;
    return size.cx;
}

int Canvas::TextHeight(std::string_view text) const {
    if (!dc_.Get()) return 0;
    SIZE size{};
    if (!GetTextExtentPoint32A(dc_.Get(), TextPtr(text), TextLen(text), &size)) return 0;
    return size.cy;
}

// ------------------------------------------------------ copy and export ----

BOOL Canvas::CopyArea(const CopyAreaArgs& args) {
    if (!dc_.Get()) return FALSE;
    HDC dest = args.destDC.value_or(dc_.Get());
    HDC src = args.srcDC.value_or(dc_.Get());
    if (!dest || !src) return FALSE;
    const int srcWidth = args.srcWidth.value_or(width_ - args.srcX);
    const int srcHeight = args.srcHeight.value_or(height_ - args.srcY);
    const int destWidth = args.destWidth.value_or(srcWidth);
    const int destHeight = args.destHeight.value_or(srcHeight);

    ScopedHalftone halftone(dest, destWidth < srcWidth || destHeight < srcHeight);
    if (args.transparent) {
        return TransparentBlt(dest, args.destX, args.destY, destWidth, destHeight, src, args.srcX,
                              args.srcY, srcWidth, srcHeight, *args.transparent);
    }
    if (!args.srcWidth && !args.srcHeight) {
        return BitBlt(dest, args.destX, args.destY, destWidth, destHeight, src, args.srcX,
                      args.srcY, args.rop);
    }
    return StretchBlt(dest, args.destX, args.destY, destWidth, destHeight, src, args.srcX,
                      args.srcY, srcWidth, srcHeight, args.rop);
}

void Canvas::ShowInWindow(HWND window, std::optional<COLORREF> transparent, bool stretch) {
    if (!dc_.Get() || !window) return;
    WindowDc windowDcOwner(window);
    HDC windowDc = windowDcOwner.Get();
    if (!windowDc) return;
    RECT client{};
    GetClientRect(window, &client);
    const int clientWidth = client.right - client.left;
    const int clientHeight = client.bottom - client.top;
    ScopedHalftone halftone(windowDc, clientWidth < width_ || clientHeight < height_);
    if (transparent) {
        TransparentBlt(windowDc, 0, 0, stretch ? clientWidth : width_,
                       stretch ? clientHeight : height_, dc_.Get(), 0, 0, width_, height_,
                       *transparent);
    } else if (!stretch) {
        BitBlt(windowDc, 0, 0, width_, height_, dc_.Get(), 0, 0, SRCCOPY);
    } else {
        StretchBlt(windowDc, 0, 0, clientWidth, clientHeight, dc_.Get(), 0, 0, width_, height_,
                   SRCCOPY);
    }
}

std::vector<std::uint8_t> Canvas::ToBmpBytes(std::optional<int> width, std::optional<int> height,
                                             std::optional<COLORREF> substitute) {
    if (!dc_.Get()) return {};
    const int outWidth = width.value_or(width_);
    const int outHeight = height.value_or(height_);
    if (outWidth <= 0 || outHeight <= 0) return {};
    // The whole file must fit the 32-bit size fields of the BMP header.
    const unsigned long long stride = static_cast<unsigned long long>(outWidth) * 4ULL;
    const unsigned long long expected = stride * static_cast<unsigned long long>(outHeight);
    if (expected > 0xFFFFFFFFULL - 54ULL) return {};

    MemorySurface out(outWidth, outHeight);
    if (!out.Ok()) return {};
    const RECT whole{0, 0, outWidth, outHeight};
    if (substitute) {
        // Background pixels come out in the substitute colour, the rest as they are.
        FillSolid(out.Dc(), whole, *substitute);
        TransparentBlt(out.Dc(), 0, 0, outWidth, outHeight, dc_.Get(), 0, 0, width_, height_,
                       background_);
    } else {
        FillSolid(out.Dc(), whole, background_);
        ScopedHalftone halftone(out.Dc(), outWidth < width_ || outHeight < height_);
        StretchBlt(out.Dc(), 0, 0, outWidth, outHeight, dc_.Get(), 0, 0, width_, height_, SRCCOPY);
    }
    out.Deselect();

    BITMAP bm{};
    if (GetObjectA(out.Bitmap(), sizeof(bm), &bm) != sizeof(bm)) return {};
    // Room for the header plus three masks, in case the platform answers with
    // bit fields instead of BI_RGB.
    struct {
        BITMAPINFOHEADER header;
        RGBQUAD colors[3];
    } info{};
    info.header = Describe32(outWidth, outHeight).bmiHeader;
    auto* bi = reinterpret_cast<BITMAPINFO*>(&info);
    if (!GetDIBits(out.Dc(), out.Bitmap(), 0, static_cast<UINT>(bm.bmHeight), nullptr, bi,
                   DIB_RGB_COLORS)) {
        return {};
    }
    if (info.header.biSizeImage == 0) info.header.biSizeImage = static_cast<DWORD>(expected);
    // Never let GetDIBits write past the buffer, whatever size it states.
    const std::size_t imageSize =
        std::max<std::size_t>(info.header.biSizeImage, static_cast<std::size_t>(expected));
    if (imageSize > 0xFFFFFFFFULL - 54ULL) return {};

    std::vector<std::uint8_t> bytes(54 + imageSize);
    const int rows = GetDIBits(out.Dc(), out.Bitmap(), 0, static_cast<UINT>(bm.bmHeight),
                               bytes.data() + 54, bi, DIB_RGB_COLORS);
    if (rows != bm.bmHeight) return {};
    bytes.resize(54 + info.header.biSizeImage);

    const DWORD fileSize = static_cast<DWORD>(bytes.size());
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfSize = fileSize;
    file.bfOffBits = 54;
    static_assert(sizeof(BITMAPFILEHEADER) == 14 && sizeof(BITMAPINFOHEADER) == 40);
    std::memcpy(bytes.data(), &file, 14);
    std::memcpy(bytes.data() + 14, &info.header, 40);
    return bytes;
}

// --------------------------------------------------------------- shapes ----

void Canvas::FillRect(int left, int top, int right, int bottom) {
    if (!dc_.Get()) return;
    const RECT rect{left, top, right, bottom};
    ::FillRect(dc_.Get(), &rect, brush_.Get());
}

BOOL Canvas::Rectangle(int left, int top, int right, int bottom) {
    if (!dc_.Get()) return FALSE;
    return ::Rectangle(dc_.Get(), left, top, right, bottom);
}

BOOL Canvas::Line(int x1, int y1, int x2, int y2) {
    if (!dc_.Get()) return FALSE;
    MoveTo(x1, y1);
    return LineTo(dc_.Get(), x2, y2);
}

BOOL Canvas::PolylineTo(std::span<const POINT> points, std::optional<int> count) {
    if (!dc_.Get()) return FALSE;
    const int n = UsedCount(points.size(), count);
    if (n == 0) return FALSE;
    return ::PolylineTo(dc_.Get(), points.data(), static_cast<DWORD>(n));
}

COLORREF Canvas::GetPixel(int x, int y) const {
    if (!dc_.Get()) return CLR_INVALID;
    return ::GetPixel(dc_.Get(), x, y);
}

COLORREF Canvas::SetPixel(int x, int y, std::optional<COLORREF> color) {
    if (!dc_.Get()) return CLR_INVALID;
    // Outside the surface nothing is set; do not report a colour as set.
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    return ::SetPixel(dc_.Get(), x, y, color.value_or(penColor_));
}

BOOL Canvas::Chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    if (!dc_.Get()) return FALSE;
    return ::Chord(dc_.Get(), left, top, right, bottom, x1, y1, x2, y2);
}

BOOL Canvas::Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    if (!dc_.Get()) return FALSE;
    return ::Pie(dc_.Get(), left, top, right, bottom, x1, y1, x2, y2);
}

namespace {
// Start and end points on the ellipse inscribed in a box, angles in degrees
// counter-clockwise from the positive x axis (screen y points down).
struct ArcEnds {
    int x1, y1, x2, y2;
};
ArcEnds EndsOnBox(int left, int top, int right, int bottom, double startDeg, double endDeg) {
    const double cx = (static_cast<double>(right) + left) / 2.0;
    const double rx = (static_cast<double>(right) - left) / 2.0;
    const double cy = (static_cast<double>(bottom) + top) / 2.0;
    const double ry = (static_cast<double>(bottom) - top) / 2.0;
    const double s = startDeg * kRadiansPerDegree;
    const double e = endDeg * kRadiansPerDegree;
    return ArcEnds{Trunc(cx + rx * std::cos(s)), Trunc(cy - ry * std::sin(s)),
                   Trunc(cx + rx * std::cos(e)), Trunc(cy - ry * std::sin(e))};
}
}  // namespace

BOOL Canvas::PieAngles(int left, int top, int right, int bottom, double startDeg, double endDeg) {
    if (!dc_.Get()) return FALSE;
    const ArcEnds p = EndsOnBox(left, top, right, bottom, startDeg, endDeg);
    return ::Pie(dc_.Get(), left, top, right, bottom, p.x1, p.y1, p.x2, p.y2);
}

BOOL Canvas::Circle(double cx, double cy, double radius) {
    if (!dc_.Get()) return FALSE;
    return ::Ellipse(dc_.Get(), Trunc(cx - radius), Trunc(cy - radius), Trunc(cx + radius),
                     Trunc(cy + radius));
}

BOOL Canvas::Ellipse(int left, int top, int right, int bottom) {
    if (!dc_.Get()) return FALSE;
    return ::Ellipse(dc_.Get(), left, top, right, bottom);
}

BOOL Canvas::CircleArc(double cx, double cy, double radius, double startDeg, double endDeg) {
    if (!dc_.Get()) return FALSE;
    const double s = startDeg * kRadiansPerDegree;
    const double e = endDeg * kRadiansPerDegree;
    return ::Arc(dc_.Get(), Trunc(cx - radius), Trunc(cy - radius), Trunc(cx + radius),
                 Trunc(cy + radius), Trunc(cx + radius * std::cos(s)),
                 Trunc(cy - radius * std::sin(s)), Trunc(cx + radius * std::cos(e)),
                 Trunc(cy - radius * std::sin(e)));
}

BOOL Canvas::CenterArc(double cx, double cy, double x1, double y1, double x2, double y2) {
    if (!dc_.Get()) return FALSE;
    const double r = std::sqrt((x1 - cx) * (x1 - cx) + (y1 - cy) * (y1 - cy));
    return ::Arc(dc_.Get(), Trunc(cx - r), Trunc(cy - r), Trunc(cx + r), Trunc(cy + r), Trunc(x1),
                 Trunc(y1), Trunc(x2), Trunc(y2));
}

BOOL Canvas::Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2) {
    if (!dc_.Get()) return FALSE;
    return ::Arc(dc_.Get(), left, top, right, bottom, x1, y1, x2, y2);
}

BOOL Canvas::ArcAngles(int left, int top, int right, int bottom, double startDeg, double endDeg) {
    if (!dc_.Get()) return FALSE;
    const ArcEnds p = EndsOnBox(left, top, right, bottom, startDeg, endDeg);
    return ::Arc(dc_.Get(), left, top, right, bottom, p.x1, p.y1, p.x2, p.y2);
}

void Canvas::Polygon(std::span<const POINT> points, std::optional<int> count) {
    if (!dc_.Get()) return;
    const int n = UsedCount(points.size(), count);
    if (n == 0) return;
    ::Polygon(dc_.Get(), points.data(), n);
}

BOOL Canvas::RoundRect(int left, int top, int right, int bottom, int cornerWidth,
                       int cornerHeight) {
    if (!dc_.Get()) return FALSE;
    return ::RoundRect(dc_.Get(), left, top, right, bottom, cornerWidth, cornerHeight);
}

int Canvas::PolyBezierTo(std::span<const POINT> points, std::optional<int> count) {
    if (!dc_.Get()) return 0;
    const int n = static_cast<int>(std::min<std::size_t>(points.size(), INT_MAX));
    // Fewer than one whole segment: nothing to draw.
    if (n < 3) return n;
    int segments = n / 3;
    if (count) segments = std::max(0, std::min(*count / 3, segments));
    if (segments == 0) return FALSE;
    return ::PolyBezierTo(dc_.Get(), points.data(), static_cast<DWORD>(segments * 3));
}

void Canvas::InvertRect(int left, int top, int right, int bottom) {
    if (!dc_.Get()) return;
    const RECT rect{left, top, right, bottom};
    ::InvertRect(dc_.Get(), &rect);
}

bool Canvas::MoveTo(int x, int y) {
    if (!dc_.Get()) return false;
    return MoveToEx(dc_.Get(), x, y, nullptr) != FALSE;
}

POINT Canvas::CurrentPosition() const {
    POINT p{0, 0};
    if (dc_.Get()) GetCurrentPositionEx(dc_.Get(), &p);
    return p;
}

BOOL Canvas::FloodFillToBorder(int x, int y, COLORREF border) {
    if (!dc_.Get()) return FALSE;
    return ExtFloodFill(dc_.Get(), x, y, border, FLOODFILLBORDER);
}

BOOL Canvas::FloodFillSurface(int x, int y) {
    if (!dc_.Get()) return FALSE;
    const COLORREF surface = GetPixel(x, y);
    if (surface == CLR_INVALID) return FALSE;  // outside the surface
    return ExtFloodFill(dc_.Get(), x, y, surface, FLOODFILLSURFACE);
}

bool Canvas::PolyDraw(std::span<const POINT> points, std::span<const BYTE> types,
                      std::optional<int> count) {
    if (!dc_.Get()) return false;
    const int n = UsedCount(std::min(points.size(), types.size()), count);
    if (n == 0) return false;
    return ::PolyDraw(dc_.Get(), points.data(), types.data(), n) != FALSE;
}

// ------------------------------------------------------------ gradients ----

void Canvas::GradientFill(int x, int y, int width, int height, std::optional<int> direction,
                          std::span<const COLORREF> colors) {
    if (!dc_.Get() || colors.empty() || width <= 0 || height <= 0) return;
    if (colors.size() == 1) {
        FillSolid(dc_.Get(), RECT{x, y, x + width, y + height}, colors[0]);
        return;
    }
    std::vector<COLORREF> c(colors.begin(), colors.end());
    int dir = direction.value_or(2);
    if (dir < 1 || dir > 8) dir = 2;
    if (dir > 4) {
        std::reverse(c.begin(), c.end());
        dir -= 4;
    }
    const int segments = static_cast<int>(c.size()) - 1;
    const double w = width;
    const double h = height;

    if (dir == 1 || dir == 2) {
        for (int k = 1; k <= segments; ++k) {
            if (dir == 1) {
                GradientRect(dc_.Get(), x, Trunc(y + h / segments * (k - 1)), c[k - 1], x + width,
                             Trunc(y + h / segments * k), c[k], GRADIENT_FILL_RECT_V);
            } else {
                GradientRect(dc_.Get(), Trunc(x + w / segments * (k - 1)), y, c[k - 1],
                             Trunc(x + w / segments * k), y + height, c[k], GRADIENT_FILL_RECT_H);
            }
        }
        return;
    }

    // Diagonals: the gradient is drawn once as a strip of length L = w + h,
    // then the strip is laid down again shifted by one pixel per row (3) or per
    // column (4), so every pixel shows the strip at its distance along the
    // diagonal. Each copy doubles the finished part, so the work is log2 many
    // blits rather than one per row.
    if (static_cast<long long>(width) + height > INT_MAX) return;
    const int length = width + height;
    const double span = static_cast<double>(length - 1) / segments;
    if (dir == 3) {
        MemorySurface strip(length, height);
        if (!strip.Ok()) return;
        FillSolid(strip.Dc(), RECT{0, 0, length, height}, c.back());
        for (int k = 1; k <= segments; ++k) {
            GradientRect(strip.Dc(), Trunc(span * (k - 1)), 0, c[k - 1], Trunc(span * k), 1, c[k],
                         GRADIENT_FILL_RECT_H);
        }
        // Row v shows row 0 moved v pixels to the left.
        for (int done = 1; done < height;) {
            const int rows = std::min(done, height - done);
            BitBlt(strip.Dc(), -done, done, length, rows, strip.Dc(), 0, 0, SRCCOPY);
            done += rows;
        }
        BitBlt(dc_.Get(), x, y, width, height, strip.Dc(), 0, 0, SRCCOPY);
        return;
    }

    // dir == 4: column u shows the strip moved up by (width - u) pixels.
    MemorySurface strip(width, length);
    if (!strip.Ok()) return;
    FillSolid(strip.Dc(), RECT{0, 0, width, length}, c.back());
    for (int k = 1; k <= segments; ++k) {
        GradientRect(strip.Dc(), 0, Trunc(span * (k - 1)), c[k - 1], 1, Trunc(span * k), c[k],
                     GRADIENT_FILL_RECT_V);
    }
    // The last column is the strip moved up by one; each column to its left
    // is the one to its right moved up by one more.
    if (width == 1) {
        BitBlt(strip.Dc(), 0, -1, 1, length, strip.Dc(), 0, 0, SRCCOPY);
    } else {
        BitBlt(strip.Dc(), width - 1, -1, 1, length, strip.Dc(), 0, 0, SRCCOPY);
        for (int done = 1; done < width;) {
            const int cols = std::min(done, width - done);
            BitBlt(strip.Dc(), width - done - cols, -done, cols, length, strip.Dc(),
                   width - cols, 0, SRCCOPY);
            done += cols;
        }
    }
    BitBlt(dc_.Get(), x, y, width, height, strip.Dc(), 0, 0, SRCCOPY);
}

void Canvas::RadialGradient(int x, int y, int width, int height, std::optional<int> order,
                            COLORREF first, COLORREF second) {
    if (!dc_.Get() || width <= 0 || height <= 0) return;
    // Order 2 keeps the colours as given (first outside); anything else swaps them.
    const bool keep = order && *order == 2;
    const COLORREF outer = keep ? first : second;
    const COLORREF inner = keep ? second : first;
    const int big = std::max(width, height);
    const int small = std::min(width, height);
    // At least one ellipse, also for a one-pixel-wide area.
    const int steps = outer == inner ? 1 : std::max(1, big / 2);
    const double ratio = static_cast<double>(small) / big;

    auto channel = [steps](int from, int to, int i) { return from + MulDiv(to - from, i, steps); };
    for (int i = 1; i <= steps; ++i) {
        const COLORREF color =
            RGB(channel(GetRValue(outer), GetRValue(inner), i),
                channel(GetGValue(outer), GetGValue(inner), i),
                channel(GetBValue(outer), GetBValue(inner), i));
        const double shrink = ratio * (i - 1);
        RECT box{};
        if (width > height) {
            box = RECT{x + i - 1, Trunc(y + shrink), x + width - i + 1, Trunc(y + height - shrink)};
        } else {
            box = RECT{Trunc(x + shrink), y + i - 1, Trunc(x + width - shrink), y + height - i + 1};
        }
        // The step's own pen and brush; the canvas's come back when they go.
        SelectedOwned<HPEN> pen(dc_.Get(), CreatePen(PS_SOLID, 0, color));
        SelectedOwned<HBRUSH> brush(dc_.Get(), CreateSolidBrush(color));
        if (!pen.Ok() || !brush.Ok()) continue;
        ::Ellipse(dc_.Get(), box.left, box.top, box.right, box.bottom);
    }
}

// -------------------------------------------------------------- stars -----

std::vector<std::vector<int>> StarWalk(int n) {
    std::vector<std::vector<int>> polygons;
    if (n <= 0) return polygons;
    // A step of 0 (one or two vertices) would repeat the first vertex forever.
    const int step = std::max(1, n % 2 == 1 ? (n - 1) / 2 : n / 2 - 1);
    polygons.emplace_back();
    int p = 1;  // 1-based, as the walk is usually described
    for (int emitted = 0; emitted < n; ++emitted) {
        polygons.back().push_back(p - 1);
        if (emitted == n - 1) break;
        p += step;
        if (p > n) {
            p -= n;
            if (p == 1) {  // closed a polygon: the next one starts at vertex 2
                p = 2;
                polygons.emplace_back();
            }
        }
    }
    return polygons;
}

void Canvas::StarPolygon(std::span<const POINT> points, std::optional<int> count) {
    if (!dc_.Get()) return;
    const int n = UsedCount(points.size(), count);
    if (n == 0) return;
    const auto polygons = StarWalk(n);
    std::vector<POINT> walk;
    std::vector<INT> counts;
    walk.reserve(static_cast<std::size_t>(n));
    for (const auto& polygon : polygons) {
        for (int index : polygon) walk.push_back(points[static_cast<std::size_t>(index)]);
        counts.push_back(static_cast<INT>(polygon.size()));
    }
    if (polygons.size() == 1) {
        ::Polygon(dc_.Get(), walk.data(), static_cast<int>(walk.size()));
    } else {
        ::PolyPolygon(dc_.Get(), walk.data(), counts.data(), static_cast<int>(counts.size()));
    }
}

int Canvas::PolyFillMode(std::optional<int> mode) {
    if (!dc_.Get()) return 0;
    if (mode) return SetPolyFillMode(dc_.Get(), *mode);
    return GetPolyFillMode(dc_.Get());
}
