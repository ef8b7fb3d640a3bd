// Canvas surface: lifetime, surface creation and resizing, pen/brush/font and
// text state, background, and the picture operations. The drawing operations
// live in canvas_draw.cpp.
#include "graphics/canvas.h"

#include <algorithm>

namespace {

// Largest surface we ask GDI for: its size in bytes must fit an int, which
// the platform uses for image sizes and strides (a larger request can wrap
// around and yield a bitmap far smaller than its stated size). Any picture
// the loader accepts fits well within it.
constexpr long long kMaxSurfaceBytes = 0x7FFFFFFFLL;
constexpr int kMaxSurfaceSide = 65535;

bool SurfaceSizeOk(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxSurfaceSide && height <= kMaxSurfaceSide &&
           static_cast<long long>(width) * height * 4 <= kMaxSurfaceBytes;
}

// A 32-bit DIB section of the given size with the canvas's description.
HBITMAP MakeDib(HDC dc, const BITMAPINFO& description, int width, int height) {
    if (!SurfaceSizeOk(width, height)) return nullptr;
    BITMAPINFO info = description;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // positive: rows stored bottom-up
    info.bmiHeader.biSizeImage = 0;
    void* bits = nullptr;
    return CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
}

// A temporary memory DC holding its own DIB section; releases both.
class ScratchSurface {
public:
    ScratchSurface(const BITMAPINFO& description, int width, int height) {
        dc_ = CreateCompatibleDC(nullptr);
        if (dc_ == nullptr) return;
        bitmap_ = MakeDib(dc_, description, width, height);
        if (bitmap_ == nullptr) return;
        old_ = SelectObject(dc_, bitmap_);
    }
    ~ScratchSurface() { Release(); }
    ScratchSurface(const ScratchSurface&) = delete;
    ScratchSurface& operator=(const ScratchSurface&) = delete;

    bool Ok() const { return dc_ != nullptr && bitmap_ != nullptr; }
    HDC Dc() const { return dc_; }
    // Takes the bitmap out of the DC and hands it over; the DC is deleted.
    HBITMAP DetachBitmap(BOOL* deleted) {
        HBITMAP bitmap = bitmap_;
        if (old_ != nullptr) SelectObject(dc_, old_);
        old_ = nullptr;
        bitmap_ = nullptr;
        *deleted = DeleteDC(dc_);
        dc_ = nullptr;
        return bitmap;
    }

private:
    void Release() {
        if (dc_ != nullptr && old_ != nullptr) SelectObject(dc_, old_);
        if (bitmap_ != nullptr) DeleteObject(bitmap_);
        if (dc_ != nullptr) DeleteDC(dc_);
        dc_ = nullptr;
        bitmap_ = nullptr;
        old_ = nullptr;
    }

    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
};

bool IsStockNullBrush(HBRUSH brush) { return brush == GetStockObject(NULL_BRUSH); }

// Style 0 is the stock hollow brush, 1-6 the six hatches (GDI index style - 1),
// anything else solid. A solid brush is made directly rather than through a
// hatch index beyond the documented range.
HBRUSH MakeBrush(int style, COLORREF color) {
    if (style == kBrushHollow) return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    if (style >= kBrushHorizontal && style <= kBrushDiagonalCross) {
        return CreateHatchBrush(style - 1, color);
    }
    return CreateSolidBrush(color);
}

int PictureSide(GpImage* image, bool width) {
    UINT v = 0;
    const Gdiplus::GpStatus st = width ? Gdiplus::DllExports::GdipGetImageWidth(image, &v)
                                       : Gdiplus::DllExports::GdipGetImageHeight(image, &v);
    return st == Gdiplus::Ok ? static_cast<int>(v) : 0;
}

}  // namespace

Canvas::Canvas() : gdipToken_(EnsureGdiplus()) {
    info_.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info_.bmiHeader.biPlanes = 1;
    info_.bmiHeader.biBitCount = 32;
    info_.bmiHeader.biCompression = BI_RGB;
}

Canvas::~Canvas() {
    Destroy();
    if (backBrush_ != nullptr) {
        DeleteObject(backBrush_);
        backBrush_ = nullptr;
    }
}

int Canvas::FillWithBackground(HDC dc, int width, int height) {
    if (backBrush_ != nullptr) DeleteObject(backBrush_);  // never selected anywhere
    backBrush_ = CreateSolidBrush(background_);
    if (dc == nullptr || backBrush_ == nullptr) return 0;
    RECT r{0, 0, width, height};
    return ::FillRect(dc, &r, backBrush_);
}

bool Canvas::Create(int width, int height, COLORREF background) {
    if (IsCreated()) return false;
    if (!SurfaceSizeOk(width, height)) return false;
    HDC dc = CreateCompatibleDC(nullptr);
    if (dc == nullptr) return false;
    HBITMAP dib = MakeDib(dc, info_, width, height);
    if (dib == nullptr) {
        // No surface, no canvas: leaving the DC would make it look created.
        DeleteDC(dc);
        return false;
    }
    dc_ = dc;
    dib_ = dib;
    oldBitmap_ = SelectObject(dc_, dib_);
    width_ = width;
    height_ = height;
    info_.bmiHeader.biWidth = width;
    info_.bmiHeader.biHeight = height;
    if (Gdiplus::DllExports::GdipCreateFromHDC(dc_, &graphics_) != Gdiplus::Ok) graphics_ = nullptr;

    background_ = background;
    FillWithBackground(dc_, width_, height_);

    // A fresh surface draws with a solid black hairline; the fields say so too.
    penStyle_ = PS_SOLID;
    penWidth_ = 0;
    penColor_ = 0;
    pen_ = CreatePen(penStyle_, penWidth_, penColor_);
    oldPen_ = pen_ != nullptr ? SelectObject(dc_, pen_) : nullptr;

    brushStyle_ = kBrushSolid;
    brushColor_ = 0xFFFFFF;
    brush_ = MakeBrush(brushStyle_, brushColor_);
    oldBrush_ = brush_ != nullptr ? SelectObject(dc_, brush_) : nullptr;

    drawMode_ = R2_COPYPEN;
    FontSpec spec = fontSpec_;
    spec.faceName = "宋体";
    spec.size = 9;
    Font(spec);
    return true;
}

bool Canvas::Destroy() {
    picture_.Dispose();
    if (dc_ == nullptr) return false;

    if (graphics_ != nullptr) {
        Gdiplus::DllExports::GdipDeleteGraphics(graphics_);
        graphics_ = nullptr;
    }
    // Put the DC's own objects back so that ours are free to delete.
    if (oldBitmap_ != nullptr) SelectObject(dc_, oldBitmap_);
    if (oldPen_ != nullptr) SelectObject(dc_, oldPen_);
    if (oldBrush_ != nullptr) SelectObject(dc_, oldBrush_);
    if (oldFont_ != nullptr) SelectObject(dc_, oldFont_);

    if (!DeleteDC(dc_)) {
        // Still created: select ours again so that the canvas stays usable.
        if (dib_ != nullptr) SelectObject(dc_, dib_);
        if (pen_ != nullptr) SelectObject(dc_, pen_);
        if (brush_ != nullptr) SelectObject(dc_, brush_);
        if (font_ != nullptr) SelectObject(dc_, font_);
        if (Gdiplus::DllExports::GdipCreateFromHDC(dc_, &graphics_) != Gdiplus::Ok) {
            graphics_ = nullptr;
        }
        return false;
    }

    if (dib_ != nullptr) DeleteObject(dib_);
    if (pen_ != nullptr) DeleteObject(pen_);
    if (brush_ != nullptr && !IsStockNullBrush(brush_)) DeleteObject(brush_);
    if (font_ != nullptr) DeleteObject(font_);
    if (backBrush_ != nullptr) DeleteObject(backBrush_);

    dc_ = nullptr;
    dib_ = nullptr;
    oldBitmap_ = nullptr;
    pen_ = nullptr;
    oldPen_ = nullptr;
    brush_ = nullptr;
    oldBrush_ = nullptr;
    font_ = nullptr;
    oldFont_ = nullptr;
    backBrush_ = nullptr;
    background_ = 0;
    penWidth_ = 0;
    width_ = 0;
    height_ = 0;
    textX_ = 0;
    textY_ = 0;
    return true;
}

std::optional<bool> Canvas::Resize(std::optional<int> width, std::optional<int> height) {
    if (!width && !height) return std::nullopt;
    if (!IsCreated()) return false;
    const int newWidth = width.value_or(width_);
    const int newHeight = height.value_or(height_);

    // The new surface is made and filled completely before the old one is
    // touched: when it cannot be made, the canvas keeps its old surface.
    ScratchSurface next(info_, newWidth, newHeight);
    if (!next.Ok()) return false;
    FillWithBackground(next.Dc(), newWidth, newHeight);
    BitBlt(next.Dc(), 0, 0, std::min(width_, newWidth), std::min(height_, newHeight), dc_, 0, 0,
           SRCCOPY);
    BOOL deleted = FALSE;
    HBITMAP dib = next.DetachBitmap(&deleted);

    if (graphics_ != nullptr) {
        Gdiplus::DllExports::GdipDeleteGraphics(graphics_);
        graphics_ = nullptr;
    }
    SelectObject(dc_, dib);  // displaces the old DIB section, which is ours
    DeleteObject(dib_);
    dib_ = dib;
    width_ = newWidth;
    height_ = newHeight;
    info_.bmiHeader.biWidth = newWidth;
    info_.bmiHeader.biHeight = newHeight;
    if (Gdiplus::DllExports::GdipCreateFromHDC(dc_, &graphics_) != Gdiplus::Ok) graphics_ = nullptr;
    return deleted != FALSE;
}

void Canvas::RecreatePen() {
    if (!IsCreated()) return;
    HPEN pen = CreatePen(penStyle_, penWidth_, penColor_);
    if (pen == nullptr) return;  // keep drawing with the pen we have
    HGDIOBJ displaced = SelectObject(dc_, pen);
    if (oldPen_ == nullptr) oldPen_ = displaced;
    if (pen_ != nullptr) DeleteObject(pen_);
    pen_ = pen;
}

void Canvas::RecreateBrush() {
    if (!IsCreated()) return;
    HBRUSH brush = MakeBrush(brushStyle_, brushColor_);
    if (brush == nullptr) return;
    HGDIOBJ displaced = SelectObject(dc_, brush);
    if (oldBrush_ == nullptr) oldBrush_ = displaced;
    if (brush_ != nullptr && !IsStockNullBrush(brush_)) DeleteObject(brush_);
    brush_ = brush;
}

int Canvas::PenStyle(std::optional<int> style) {
    const int previous = penStyle_;
    if (style) {
        penStyle_ = *style;
        RecreatePen();
    }
    return previous;
}

int Canvas::DrawMode(std::optional<int> rop2) {
    if (!IsCreated()) return 0;
    if (rop2) {
        drawMode_ = *rop2;
        return SetROP2(dc_, *rop2);
    }
    return GetROP2(dc_);
}

int Canvas::PenWidth(std::optional<int> width) {
    const int previous = penWidth_;
    if (width) {
        penWidth_ = *width;
        RecreatePen();
    }
    return previous;
}

COLORREF Canvas::PenColor(std::optional<COLORREF> color) {
    const COLORREF previous = penColor_;
    if (color) {
        penColor_ = *color;
        RecreatePen();
    }
    return previous;
}

int Canvas::BrushStyle(std::optional<int> style) {
    const int previous = brushStyle_;
    if (style) {
        brushStyle_ = *style;
        RecreateBrush();
    }
    return previous;
}

COLORREF Canvas::BrushColor(std::optional<COLORREF> color) {
    const COLORREF previous = brushColor_;
    if (color) {
        brushColor_ = *color;
        RecreateBrush();
    }
    return previous;
}

COLORREF Canvas::TextColor(std::optional<COLORREF> color) {
    if (!IsCreated()) return 0;
    return color ? SetTextColor(dc_, *color) : GetTextColor(dc_);
}

COLORREF Canvas::TextBackColor(std::optional<COLORREF> color) {
    if (!IsCreated()) return 0;
    return color ? SetBkColor(dc_, *color) : GetBkColor(dc_);
}

bool Canvas::TextTransparent(std::optional<bool> transparent) {
    if (!IsCreated()) return false;
    if (transparent) {
        SetBkMode(dc_, *transparent ? TRANSPARENT : OPAQUE);
        return *transparent;
    }
    return GetBkMode(dc_) == TRANSPARENT;
}

FontSpec Canvas::Font(const std::optional<FontSpec>& spec) {
    if (!spec) return fontSpec_;
    fontSpec_ = *spec;
    if (!IsCreated()) return fontSpec_;

    const int height = -MulDiv(fontSpec_.size, GetDeviceCaps(dc_, LOGPIXELSX), 72);
    HFONT font = CreateFontA(height, 0, fontSpec_.angle, 0, fontSpec_.bold ? FW_BOLD : FW_NORMAL,
                             fontSpec_.italic, fontSpec_.underline, fontSpec_.strikeout,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             fontSpec_.faceName.empty() ? nullptr : fontSpec_.faceName.c_str());
    if (font != nullptr) {
        HGDIOBJ displaced = SelectObject(dc_, font);
        if (oldFont_ == nullptr) oldFont_ = displaced;
        if (font_ != nullptr) DeleteObject(font_);
        font_ = font;
    }
    return fontSpec_;
}

void Canvas::SetTextPos(std::optional<int> x, std::optional<int> y) {
    if (x) textX_ = *x;
    if (y) textY_ = *y;
}

void Canvas::Clear(std::optional<int> left, std::optional<int> top, std::optional<int> right,
                   std::optional<int> bottom) {
    if (!IsCreated()) return;
    if (backBrush_ != nullptr) DeleteObject(backBrush_);
    backBrush_ = CreateSolidBrush(background_);
    if (backBrush_ == nullptr) return;
    RECT r{left.value_or(0), top.value_or(0), right.value_or(width_), bottom.value_or(height_)};
    ::FillRect(dc_, &r, backBrush_);
}

COLORREF Canvas::BackgroundColor(std::optional<COLORREF> color, bool recolour) {
    const COLORREF previous = background_;
    if (!color) return previous;
    background_ = *color;
    if (!recolour || !IsCreated() || (*color & 0xFFFFFF) == (previous & 0xFFFFFF)) {
        return previous;
    }
    // Every pixel of exactly the old colour takes the new one; all others stay.
    // The pixels are compared by colour alone: pictures drawn through GDI+
    // also write the fourth byte of a pixel, which a colour-keyed copy would
    // count as a different colour.
    DIBSECTION section{};
    if (GetObjectA(dib_, sizeof section, &section) != sizeof section ||
        section.dsBm.bmBits == nullptr || section.dsBm.bmBitsPixel != 32) {
        return previous;
    }
    GdiFlush();  // pending GDI drawing must reach the pixels first
    const auto toPixel = [](COLORREF c) -> std::uint32_t {
        return (std::uint32_t(GetRValue(c)) << 16) | (std::uint32_t(GetGValue(c)) << 8) |
               GetBValue(c);
    };
    const std::uint32_t from = toPixel(previous);
    const std::uint32_t to = toPixel(*color);
    auto* row = static_cast<std::uint8_t*>(section.dsBm.bmBits);
    for (int y = 0; y < section.dsBm.bmHeight; ++y, row += section.dsBm.bmWidthBytes) {
        auto* px = reinterpret_cast<std::uint32_t*>(row);
        for (int x = 0; x < section.dsBm.bmWidth; ++x) {
            if ((px[x] & 0xFFFFFF) == from) px[x] = to;
        }
    }
    return previous;
}

// ---- pictures ----

int Canvas::PictureWidth(std::span<const std::uint8_t> bytes) {
    GdipImage image;
    return image.LoadFromData(bytes) ? image.Width() : 0;
}

int Canvas::PictureHeight(std::span<const std::uint8_t> bytes) {
    GdipImage image;
    return image.LoadFromData(bytes) ? image.Height() : 0;
}

// Left-out sizes are the drawn image's own, which is the picture member's
// whenever the image is the one it holds.
int Canvas::DrawPicture(GpImage* image, int x, int y, std::optional<int> width,
                        std::optional<int> height) {
    if (image == nullptr) return Gdiplus::InvalidParameter;
    if (!IsCreated() || graphics_ == nullptr) return Gdiplus::WrongState;
    const int w = width ? *width : PictureSide(image, true);
    const int h = height ? *height : PictureSide(image, false);
    return Gdiplus::DllExports::GdipDrawImageRectI(graphics_, image, x, y, w, h);
}

int Canvas::DrawPicturePart(GpImage* image, int x, int y, std::optional<int> width,
                            std::optional<int> height, int srcX, int srcY,
                            std::optional<int> srcWidth, std::optional<int> srcHeight) {
    if (image == nullptr) return Gdiplus::InvalidParameter;
    if (!IsCreated() || graphics_ == nullptr) return Gdiplus::WrongState;
    const int pw = PictureSide(image, true);
    const int ph = PictureSide(image, false);
    return Gdiplus::DllExports::GdipDrawImageRectRectI(
        graphics_, image, x, y, width.value_or(pw), height.value_or(ph), srcX, srcY,
        srcWidth.value_or(pw), srcHeight.value_or(ph), Gdiplus::UnitPixel, nullptr, nullptr,
        nullptr);
}

GpImage* Canvas::LoadPicture(std::span<const std::uint8_t> bytes, int rotateFlip) {
    if (bytes.empty()) return nullptr;
    if (!picture_.LoadFromData(bytes)) return nullptr;
    picture_.RotateFlip(rotateFlip);
    return picture_.Handle();
}

GpImage* Canvas::LoadPictureFile(const std::string& path, int rotateFlip) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES ||
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        return nullptr;
    }
    if (!picture_.LoadFromFile(path)) return nullptr;
    picture_.RotateFlip(rotateFlip);
    return picture_.Handle();
}

void Canvas::UnloadPicture() { picture_.Dispose(); }
