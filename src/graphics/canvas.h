#pragma once
// Canvas: an in-memory drawing surface (memory DC + 32-bit top-down-addressed,
// bottom-up-stored DIB section + GDI+ graphics on the same DC) with the drawing
// state GDI keeps per DC. Every picture the user sees or draws on lives in one.
//
// Property operations return the value in force before the call and set a new
// one only when a value is given. Optional arguments are std::optional (or
// fields of an argument struct) so that a call shows which ones it gives.
// Every drawing operation is a no-op returning 0/false/empty when the canvas
// is not created.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/font_desc.h"
#include "graphics/gdi_owners.h"
#include "graphics/gdip_image.h"

// Brush style numbering shared by the toolbox list, the digit keys and BrushStyle.
enum BrushStyleCode : int {
    kBrushHollow = 0,
    kBrushHorizontal = 1,
    kBrushVertical = 2,
    kBrushForwardDiagonal = 3,
    kBrushBackwardDiagonal = 4,
    kBrushCross = 5,
    kBrushDiagonalCross = 6,
    kBrushSolid = 7,
};

// The arguments of CopyArea. Left-out fields take these defaults:
// destDC/srcDC this canvas's DC; destWidth/destHeight the final source size;
// srcWidth = canvas width - srcX; srcHeight = canvas height - srcY; rop SRCCOPY.
// Example: canvas.CopyArea({.destDC = windowDc});
struct CopyAreaArgs {
    std::optional<HDC> destDC = std::nullopt;
    int destX = 0;
    int destY = 0;
    std::optional<int> destWidth = std::nullopt;
    std::optional<int> destHeight = std::nullopt;
    std::optional<HDC> srcDC = std::nullopt;
    int srcX = 0;
    int srcY = 0;
    std::optional<int> srcWidth = std::nullopt;
    std::optional<int> srcHeight = std::nullopt;
    DWORD rop = SRCCOPY;
    std::optional<COLORREF> transparent = std::nullopt;
};

class Canvas {
public:
    Canvas();
    ~Canvas();
    Canvas(const Canvas&) = delete;             // never share platform handles
    Canvas& operator=(const Canvas&) = delete;

    // ---- surface and state ----
    int FillWithBackground(HDC dc, int width, int height);
    bool Create(int width, int height, COLORREF background);
    // As Create, but the surface is left as the system hands it over (black),
    // for a caller that writes every pixel of it next: filling a whole 4K
    // surface first is a pass over 33 MB that the next copy undoes.
    bool CreateToOverwrite(int width, int height, COLORREF background);
    bool Destroy();
    bool IsCreated() const { return static_cast<bool>(dc_); }
    // Nothing happens (and nullopt is returned) when neither size is given.
    std::optional<bool> Resize(std::optional<int> width, std::optional<int> height);
    // As Resize, but the new surface is left as the system hands it over,
    // for a caller that writes every pixel of it next.
    bool ResizeToOverwrite(int width, int height);
    int PenStyle(std::optional<int> style = std::nullopt);
    int DrawMode(std::optional<int> rop2 = std::nullopt);
    int PenWidth(std::optional<int> width = std::nullopt);
    COLORREF PenColor(std::optional<COLORREF> color = std::nullopt);
    int BrushStyle(std::optional<int> style = std::nullopt);
    COLORREF BrushColor(std::optional<COLORREF> color = std::nullopt);
    COLORREF TextColor(std::optional<COLORREF> color = std::nullopt);
    COLORREF TextBackColor(std::optional<COLORREF> color = std::nullopt);
    bool TextTransparent(std::optional<bool> transparent = std::nullopt);
    FontSpec Font(const std::optional<FontSpec>& spec = std::nullopt);

    // ---- text ----
    void WriteText(std::string_view text);
    void SetTextPos(std::optional<int> x, std::optional<int> y);
    POINT GetTextPos() const { return POINT{textX_, textY_}; }
    void WriteLine(std::string_view text, int gap);
    int DrawTextInRect(std::string_view text, std::optional<int> count, RECT rect, UINT format);
    BOOL OutputText(std::optional<int> x, std::optional<int> y, std::string_view text);
    int Width() const { return width_; }
    int Height() const { return height_; }
    int TextWidth(std::string_view text) const;
    int TextHeight(std::string_view text) const;

    // ---- copying and export ----
    BOOL CopyArea(const CopyAreaArgs& args);
    void ShowInWindow(HWND window, std::optional<COLORREF> transparent, bool stretch);
    HDC DeviceContext() const { return dc_.Get(); }
    // The surface's pixels as they lie in memory (0x00RRGGBB, bottom row
    // first, Width() pixels a row), after GDI has finished drawing on them;
    // empty without a surface. Valid until the surface is resized or destroyed.
    std::span<std::uint32_t> Pixels();
    static int PictureWidth(std::span<const std::uint8_t> bytes);
    static int PictureHeight(std::span<const std::uint8_t> bytes);
    void Clear(std::optional<int> left = std::nullopt, std::optional<int> top = std::nullopt,
               std::optional<int> right = std::nullopt, std::optional<int> bottom = std::nullopt);
    COLORREF BackgroundColor(std::optional<COLORREF> color = std::nullopt, bool recolour = false);
    std::vector<std::uint8_t> ToBmpBytes(std::optional<int> width = std::nullopt,
                                         std::optional<int> height = std::nullopt,
                                         std::optional<COLORREF> substitute = std::nullopt);

    // ---- shapes ----
    void FillRect(int left, int top, int right, int bottom);
    BOOL Rectangle(int left, int top, int right, int bottom);
    BOOL Line(int x1, int y1, int x2, int y2);
    BOOL PolylineTo(std::span<const POINT> points, std::optional<int> count = std::nullopt);

    // ---- pictures ----
    // DrawPicture/DrawPicturePart return a GDI+ status: Ok (0) only when drawn;
    // InvalidParameter for a null image, WrongState when the canvas is not
    // created. Left-out sizes are the drawn image's own. The load operations
    // work on the picture member and need no surface.
    int DrawPicture(GpImage* image, int x, int y, std::optional<int> width = std::nullopt,
                    std::optional<int> height = std::nullopt);
    int DrawPicturePart(GpImage* image, int x, int y, std::optional<int> width,
                        std::optional<int> height, int srcX, int srcY,
                        std::optional<int> srcWidth, std::optional<int> srcHeight);
    GpImage* LoadPicture(std::span<const std::uint8_t> bytes, int rotateFlip = 0);
    GpImage* LoadPictureFile(const std::string& path, int rotateFlip = 0);
    void UnloadPicture();
    GdipImage& Picture() { return picture_; }

    // ---- pixels and GDI shapes ----
    // Both answer CLR_INVALID (not a colour) outside the surface or without one.
    COLORREF GetPixel(int x, int y) const;
    COLORREF SetPixel(int x, int y, std::optional<COLORREF> color = std::nullopt);
    BOOL Chord(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    BOOL Pie(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    BOOL PieAngles(int left, int top, int right, int bottom, double startDeg, double endDeg);
    BOOL Circle(double cx, double cy, double radius);
    BOOL Ellipse(int left, int top, int right, int bottom);
    BOOL CircleArc(double cx, double cy, double radius, double startDeg, double endDeg);
    BOOL CenterArc(double cx, double cy, double x1, double y1, double x2, double y2);
    BOOL Arc(int left, int top, int right, int bottom, int x1, int y1, int x2, int y2);
    BOOL ArcAngles(int left, int top, int right, int bottom, double startDeg, double endDeg);
    void Polygon(std::span<const POINT> points, std::optional<int> count = std::nullopt);
    BOOL RoundRect(int left, int top, int right, int bottom, int cornerWidth, int cornerHeight);
    int PolyBezierTo(std::span<const POINT> points, std::optional<int> count = std::nullopt);
    void InvertRect(int left, int top, int right, int bottom);
    bool MoveTo(int x, int y);
    POINT CurrentPosition() const;
    BOOL FloodFillToBorder(int x, int y, COLORREF border);
    BOOL FloodFillSurface(int x, int y);
    bool PolyDraw(std::span<const POINT> points, std::span<const BYTE> types,
                  std::optional<int> count = std::nullopt);
    void GradientFill(int x, int y, int width, int height, std::optional<int> direction,
                      std::span<const COLORREF> colors);
    void RadialGradient(int x, int y, int width, int height, std::optional<int> order,
                        COLORREF first, COLORREF second);
    void StarPolygon(std::span<const POINT> points, std::optional<int> count = std::nullopt);
    int PolyFillMode(std::optional<int> mode = std::nullopt);

private:
    // A surface of the new size in place of the old one; `keep`: filled with
    // the background and the old picture copied into its corner.
    bool ReplaceSurface(int newWidth, int newHeight, bool keep);
    // Text in a turned font (an angle other than 0): DrawText takes only
    // upright fonts, and its rectangle from the cursor to the bottom-right
    // corner would clip glyphs that run up or left. Each line is drawn
    // unclipped from its turned start; the cursor follows the turned line
    // (or, with `toNextLine`, goes to the start of the line after the text,
    // `gap` further).
    void WriteTurned(std::string_view text, bool toNextLine, int gap);
    void RecreatePen();
    void RecreateBrush();
    void DeleteGraphics();
    void CreateGraphics();
    bool CreateSurface(int width, int height, COLORREF background, bool fill);

    BITMAPINFO info_{};
    GdipImage picture_;
    // The GDI objects come before the DC: should the DC outlive Destroy, it
    // is deleted first, which lets go of every object selected into it.
    OwnedBitmap dib_;
    OwnedPen pen_;
    OwnedBrush brush_;  // may be the stock hollow brush (deleting it does nothing)
    OwnedFont font_;
    OwnedBrush backBrush_;
    MemoryDc dc_;
    // What the DC held before ours was selected; goes back before ours are deleted.
    HGDIOBJ defaultBitmap_ = nullptr;
    HGDIOBJ defaultPen_ = nullptr;
    HGDIOBJ defaultBrush_ = nullptr;
    HGDIOBJ defaultFont_ = nullptr;
    Gdiplus::GpGraphics* graphics_ = nullptr;
    int width_ = 0;
    int height_ = 0;
    COLORREF background_ = 0;
    int penStyle_ = 0;
    int drawMode_ = R2_COPYPEN;
    int penWidth_ = 0;
    COLORREF penColor_ = 0;
    int brushStyle_ = kBrushSolid;
    COLORREF brushColor_ = 0xFFFFFF;
    FontSpec fontSpec_;
    int textX_ = 0;
    int textY_ = 0;
};

// The star walk: the order in which StarPolygon joins n polygon vertices (0-based
// indices), split into the closed polygons it forms. Pure, for testing and reuse.
std::vector<std::vector<int>> StarWalk(int n);
