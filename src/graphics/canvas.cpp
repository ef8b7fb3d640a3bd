// Canvas surface: lifetime, surface creation and resizing, pen/brush/font and
// text state, background, and the picture operations. The drawing operations
// live in canvas_draw.cpp.
#include "graphics/canvas.h"

#include <algorithm>
#include <utility>

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

// A temporary memory DC holding its own DIB section.
class ScratchSurface {
public:
    ScratchSurface(const BITMAPINFO& description, int width, int height)
        : dc_(MemoryDc::Compatible()),
          bitmap_(dc_ ? MakeDib(dc_.Get(), description, width, height) : nullptr),
          selection_(dc_.Get(), bitmap_.Get()) {}

    bool Ok() const { return selection_.Ok(); }
    HDC Dc() const { return dc_.Get(); }
    // Takes the bitmap out of the DC and hands it over.
    OwnedBitmap DetachBitmap() {
        selection_.Restore();
        return std::move(bitmap_);
    }

private:
    MemoryDc dc_;
    OwnedBitmap bitmap_;
    SelectedObject selection_;
};

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

Canvas::Canvas() {
    info_.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info_.bmiHeader.biPlanes = 1;
    info_.bmiHeader.biBitCount = 32;
    info_.bmiHeader.biCompression = BI_RGB;
}

Canvas::~Canvas() { Destroy(); }

void Canvas::DeleteGraphics() {
    // After the GDI+ session has ended, GDI+ has freed the graphics itself.
    if (graphics_ != nullptr && GdiplusSession::Running()) {
        Gdiplus::DllExports::GdipDeleteGraphics(graphics_);
    }
    graphics_ = nullptr;
}

void Canvas::CreateGraphics() {
    DeleteGraphics();
    if (Gdiplus::DllExports::GdipCreateFromHDC(dc_.Get(), &graphics_) != Gdiplus::Ok) {
        graphics_ = nullptr;
    }
}

int Canvas::FillWithBackground(HDC dc, int width, int height) {
    backBrush_.Reset(CreateSolidBrush(background_));  // never selected anywhere
    if (dc == nullptr || !backBrush_) return 0;
    RECT r{0, 0, width, height};
    return ::FillRect(dc, &r, backBrush_.Get());
}

bool Canvas::Create(int width, int height, COLORREF background) {
    return CreateSurface(width, height, background, true);
}

bool Canvas::CreateToOverwrite(int width, int height, COLORREF background) {
    return CreateSurface(width, height, background, false);
}

bool Canvas::CreateSurface(int width, int height, COLORREF background, bool fill) {
    if (IsCreated()) return false;
    if (!SurfaceSizeOk(width, height)) return false;
    MemoryDc dc = MemoryDc::Compatible();
    if (!dc) return false;
    // No surface, no canvas: keeping the DC would make it look created.
    OwnedBitmap dib(MakeDib(dc.Get(), info_, width, height));
    if (!dib) return false;
    dc_ = std::move(dc);
    dib_ = std::move(dib);
    defaultPen_ = GetCurrentObject(dc_.Get(), OBJ_PEN);
    defaultBrush_ = GetCurrentObject(dc_.Get(), OBJ_BRUSH);
    defaultFont_ = GetCurrentObject(dc_.Get(), OBJ_FONT);
    defaultBitmap_ = SelectObject(dc_.Get(), dib_.Get());
    width_ = width;
    height_ = height;
    info_.bmiHeader.biWidth = width;
    info_.bmiHeader.biHeight = height;
    CreateGraphics();

    background_ = background;
    if (fill) FillWithBackground(dc_.Get(), width_, height_);

    // A fresh surface draws with a solid black hairline; the fields say so too.
    penStyle_ = PS_SOLID;
    penWidth_ = 0;
    penColor_ = 0;
    RecreatePen();

    brushStyle_ = kBrushSolid;
    brushColor_ = 0xFFFFFF;
    RecreateBrush();

    drawMode_ = R2_COPYPEN;
    FontSpec spec = fontSpec_;
    spec.faceName = "宋体";
    spec.size = 9;
    Font(spec);
    return true;
}

bool Canvas::Destroy() {
    picture_.Dispose();
    if (!dc_) {
        backBrush_.Reset();
        return false;
    }

    DeleteGraphics();
    // Put the DC's own objects back so that ours are free to delete.
    for (HGDIOBJ original : {defaultBitmap_, defaultPen_, defaultBrush_, defaultFont_}) {
        if (original != nullptr) SelectObject(dc_.Get(), original);
    }
    const bool deleted = dc_.Reset();
    dib_.Reset();
    pen_.Reset();
    brush_.Reset();
    font_.Reset();
    backBrush_.Reset();

    defaultBitmap_ = nullptr;
    defaultPen_ = nullptr;
    defaultBrush_ = nullptr;
    defaultFont_ = nullptr;
    background_ = 0;
    penWidth_ = 0;
    width_ = 0;
    height_ = 0;
    textX_ = 0;
    textY_ = 0;
    return deleted;
}

std::span<std::uint32_t> Canvas::Pixels() {
    if (!dib_) return {};
    GdiFlush();  // drawing may still be queued: the bits must hold all of it
    DIBSECTION section{};
    if (GetObject(dib_.Get(), sizeof section, &section) != sizeof section ||
        section.dsBm.bmBits == nullptr || section.dsBm.bmBitsPixel != 32)
        return {};
    return {static_cast<std::uint32_t*>(section.dsBm.bmBits),
            static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_)};
}

std::optional<bool> Canvas::Resize(std::optional<int> width, std::optional<int> height) {
    if (!width && !height) return std::nullopt;
    if (!IsCreated()) return false;
    return ReplaceSurface(width.value_or(width_), height.value_or(height_), true);
}

bool Canvas::ResizeToOverwrite(int width, int height) {
    if (!IsCreated()) return false;
    return ReplaceSurface(width, height, false);
}

bool Canvas::ReplaceSurface(int newWidth, int newHeight, bool keep) {
    // The new surface is made (and, to keep the picture, filled completely)
    // before the old one is touched: when it cannot be made, the canvas keeps
    // its old surface.
    OwnedBitmap dib;
    {
        ScratchSurface next(info_, newWidth, newHeight);
        if (!next.Ok()) return false;
        if (keep) {
            FillWithBackground(next.Dc(), newWidth, newHeight);
            BitBlt(next.Dc(), 0, 0, std::min(width_, newWidth), std::min(height_, newHeight),
                   dc_.Get(), 0, 0, SRCCOPY);
        }
        dib = next.DetachBitmap();
    }

    DeleteGraphics();
    SelectObject(dc_.Get(), dib.Get());  // displaces the old DIB section, which is ours
    dib_ = std::move(dib);               // deletes the old one, no longer selected
    width_ = newWidth;
    height_ = newHeight;
    info_.bmiHeader.biWidth = newWidth;
    info_.bmiHeader.biHeight = newHeight;
    CreateGraphics();
    return true;
}

void Canvas::RecreatePen() {
    if (!IsCreated()) return;
    OwnedPen pen(CreatePen(penStyle_, penWidth_, penColor_));
    if (!pen) return;  // keep drawing with the pen we have
    SelectObject(dc_.Get(), pen.Get());
    pen_ = std::move(pen);  // the displaced pen is deleted
}

void Canvas::RecreateBrush() {
    if (!IsCreated()) return;
    OwnedBrush brush(MakeBrush(brushStyle_, brushColor_));
    if (!brush) return;
    SelectObject(dc_.Get(), brush.Get());
    brush_ = std::move(brush);
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
        return SetROP2(dc_.Get(), *rop2);
    }
    return GetROP2(dc_.Get());
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
    return color ? SetTextColor(dc_.Get(), *color) : GetTextColor(dc_.Get());
}

COLORREF Canvas::TextBackColor(std::optional<COLORREF> color) {
    if (!IsCreated()) return 0;
    return color ? SetBkColor(dc_.Get(), *color) : GetBkColor(dc_.Get());
}

bool Canvas::TextTransparent(std::optional<bool> transparent) {
    if (!IsCreated()) return false;
    if (transparent) {
        SetBkMode(dc_.Get(), *transparent ? TRANSPARENT : OPAQUE);
        return *transparent;
    }
    return GetBkMode(dc_.Get()) == TRANSPARENT;
}

FontSpec Canvas::Font(const std::optional<FontSpec>& spec) {
    if (!spec) return fontSpec_;
    fontSpec_ = *spec;
    if (!IsCreated()) return fontSpec_;

    const int height = -MulDiv(fontSpec_.size, GetDeviceCaps(dc_.Get(), LOGPIXELSX), 72);
    HFONT font = CreateFontA(height, 0, fontSpec_.angle, 0, fontSpec_.bold ? FW_BOLD : FW_NORMAL,
                             fontSpec_.italic, fontSpec_.underline, fontSpec_.strikeout,
                             DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             PROOF_QUALITY, DEFAULT_PITCH | FF_DONTCARE,
                             fontSpec_.faceName.empty() ? nullptr : fontSpec_.faceName.c_str());
    if (font != nullptr) {
        SelectObject(dc_.Get(), font);
        font_.Reset(font);  // the displaced font is deleted
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
    backBrush_.Reset(CreateSolidBrush(background_));
    if (!backBrush_) return;
    RECT r{left.value_or(0), top.value_or(0), right.value_or(width_), bottom.value_or(height_)};
    ::FillRect(dc_.Get(), &r, backBrush_.Get());
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
    if (GetObjectA(dib_.Get(), sizeof section, &section) != sizeof section ||
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
