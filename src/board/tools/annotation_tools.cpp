#include "board/tools/annotation_tools.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "board/areas.h"
#include "board/history.h"
#include "graphics/gdi_owners.h"

namespace {

// The box of `a`-`b` (right and bottom excluded, as GDI's Rectangle has it).
RECT BoxOf(POINT a, POINT b) {
    return RECT{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
}

// Index of (x, y) in a surface that lies bottom row first.
std::size_t At(int x, int y, int width, int height) {
    return static_cast<std::size_t>(height - 1 - y) * static_cast<std::size_t>(width) +
           static_cast<std::size_t>(x);
}

}  // namespace

// ---- highlighter ----

void HighlighterTool::Press(PointerContext& c, POINT p) {
    BoardTool::Press(c, p);
    c.Restore();
    const int width = c.board.Width(), height = c.board.Height();
    if (!mask_.IsCreated() || mask_.Width() != width || mask_.Height() != height) {
        if (mask_.IsCreated()) mask_.Destroy();
        mask_.Create(width, height, 0x000000);
    } else if (!AreaEmpty(touched_)) {
        OwnedBrush black(CreateSolidBrush(0x000000));
        if (black) FillRect(mask_.DeviceContext(), &touched_, black.Get());
    }
    touched_ = RECT{};
    last_ = p;
    AddSegment(c, p, p);
    c.Show();
}

void HighlighterTool::Drag(PointerContext& c) {
    Extend(c, c.state.currentPoint);
    c.Show();
}

void HighlighterTool::Release(PointerContext& c, POINT p) {
    c.state.currentPoint = p;
    Extend(c, p);
    c.Show();
    c.Commit();
}

void HighlighterTool::Extend(PointerContext& c, POINT to) {
    if (c.state.shiftHeld) {
        const POINT end = SnapToAxis(c.state.anchorPoint, to);
        Wipe(c);
        AddSegment(c, c.state.anchorPoint, end);
        last_ = end;
        return;
    }
    AddSegment(c, last_, to);
    last_ = to;
}

void HighlighterTool::Wipe(PointerContext& c) {
    if (AreaEmpty(touched_)) return;
    BitBlt(c.board.DeviceContext(), touched_.left, touched_.top, touched_.right - touched_.left,
           touched_.bottom - touched_.top, c.back.DeviceContext(), touched_.left, touched_.top,
           SRCCOPY);
    c.Drew(touched_);  // shown again without the blend
    OwnedBrush black(CreateSolidBrush(0x000000));
    if (black) FillRect(mask_.DeviceContext(), &touched_, black.Get());
    touched_ = RECT{};
}

void HighlighterTool::AddSegment(PointerContext& c, POINT from, POINT to) {
    const int width = c.board.Width(), height = c.board.Height();
    HDC dc = mask_.DeviceContext();
    if (dc == nullptr || c.back.Width() != width || c.back.Height() != height) return;
    const int stroke = HighlighterWidth(c.settings.penWidth.load());
    {
        // A wide GDI pen has round ends and joins, so a stroke of many short
        // segments is one smooth band.
        SelectedOwned<HPEN> pen(dc, CreatePen(PS_SOLID, stroke, 0xFFFFFF));
        if (!pen.Ok()) return;
        MoveToEx(dc, from.x, from.y, nullptr);
        LineTo(dc, to.x, to.y);
        if (from.x == to.x && from.y == to.y) LineTo(dc, to.x + 1, to.y);  // a dot
    }
    // The segment's pixels (a dot's one included), grown by the band's reach.
    const RECT ends = BoxOf(from, to);
    const RECT box = AreaClip(AreaGrow(RECT{ends.left, ends.top, ends.right + 1, ends.bottom + 1},
                                       stroke / 2 + 2),
                              SIZE{width, height});
    if (AreaEmpty(box)) return;
    touched_ = AreaUnion(touched_, box);

    const std::uint32_t pen = PixelOfColor(c.board.PenColor());
    std::span<const std::uint32_t> mask = mask_.Pixels();
    std::span<const std::uint32_t> below = c.back.Pixels();
    std::span<std::uint32_t> shown = c.board.Pixels();
    if (mask.empty() || below.empty() || shown.empty()) return;
    for (int y = box.top; y < box.bottom; ++y) {
        for (int x = box.left; x < box.right; ++x) {
            const std::size_t i = At(x, y, width, height);
            // From the committed pixel each time: a pixel the stroke covers
            // again is blended once, not twice.
            if ((mask[i] & 0xFFFFFF) != 0) shown[i] = BlendHalf(below[i], pen);
        }
    }
    c.Drew(box);
}

// ---- mosaic ----

RECT MosaicTool::DrawPreview(PointerContext& c) {
    HDC dc = c.board.DeviceContext();
    if (dc == nullptr) return RECT{};
    const RECT r = BoxOf(c.state.cornerPoint, c.state.currentPoint);
    const int saved = SaveDC(dc);
    {
        // Black dashes on white, seen on any picture.
        SelectedOwned<HPEN> pen(dc, CreatePen(PS_DASH, 1, 0x000000));
        SelectedObject hollow(dc, GetStockObject(NULL_BRUSH));
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, 0xFFFFFF);
        SetROP2(dc, R2_COPYPEN);
        Rectangle(dc, r.left, r.top, r.right + 1, r.bottom + 1);
    }
    RestoreDC(dc, saved);
    return RECT{r.left, r.top, r.right + 1, r.bottom + 1};
}

void MosaicTool::Release(PointerContext& c, POINT) {
    c.Restore();  // the outline is no part of the picture
    const int width = c.board.Width(), height = c.board.Height();
    const RECT r = AreaClip(BoxOf(c.state.cornerPoint, c.state.currentPoint), SIZE{width, height});
    std::span<std::uint32_t> pixels = c.board.Pixels();
    if (!AreaEmpty(r) && !pixels.empty()) {
        const int w = r.right - r.left, h = r.bottom - r.top;
        // The area top row first, as the blocks are counted from its top-left.
        std::vector<std::uint32_t> area(static_cast<std::size_t>(w) * static_cast<std::size_t>(h));
        for (int y = 0; y < h; ++y)
            std::copy_n(pixels.begin() + static_cast<std::ptrdiff_t>(At(r.left, r.top + y, width, height)),
                        w, area.begin() + static_cast<std::ptrdiff_t>(y) * w);
        Pixelate(area, w, h, MosaicBlockSize(c.settings.penWidth.load()));
        for (int y = 0; y < h; ++y)
            std::copy_n(area.begin() + static_cast<std::ptrdiff_t>(y) * w, w,
                        pixels.begin() + static_cast<std::ptrdiff_t>(At(r.left, r.top + y, width, height)));
        c.Drew(r);
    }
    c.Show();
    c.Commit();
}

// ---- numbered markers ----

std::size_t MarkerTool::Position(const PointerContext& c) const {
    // Without a history nothing is undone: every marker takes the next number.
    return c.history != nullptr ? c.history->Position() : numbers_.Newest();
}

int MarkerTool::NextNumber(const PointerContext& c) const { return numbers_.Next(Position(c)); }

void MarkerTool::Place(PointerContext& c, POINT p) {
    HDC dc = c.board.DeviceContext();
    if (dc == nullptr) return;
    const COLORREF color = c.board.PenColor();
    const int d = MarkerDiameter(c.settings.penWidth.load());
    const RECT disc{p.x - d / 2, p.y - d / 2, p.x - d / 2 + d, p.y - d / 2 + d};
    const std::string text = std::to_string(number_);
    const int saved = SaveDC(dc);
    {
        SelectedOwned<HPEN> pen(dc, CreatePen(PS_SOLID, 1, color));
        SelectedOwned<HBRUSH> brush(dc, CreateSolidBrush(color));
        SetROP2(dc, R2_COPYPEN);
        Ellipse(dc, disc.left, disc.top, disc.right, disc.bottom);
        // Three digits and more get a smaller face to stay inside the disc.
        const int height = text.size() <= 2 ? d * 3 / 5 : d * 2 / 5;
        SelectedOwned<HFONT> font(
            dc, CreateFontA(-height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_SWISS, "Arial"));
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, MarkerTextColor(color));
        RECT box = disc;
        DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box,
                  DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
    }
    RestoreDC(dc, saved);
    // The disc, with room for antialiased digits that reach past it.
    c.Drew(RECT{disc.left - 2, disc.top - 2, disc.right + 2, disc.bottom + 2});
}

void MarkerTool::Press(PointerContext& c, POINT p) {
    BoardTool::Press(c, p);
    number_ = numbers_.Take(Position(c));
    c.Restore();
    Place(c, p);
    c.Show();
}

void MarkerTool::Drag(PointerContext& c) {
    c.Restore();
    Place(c, c.state.currentPoint);
    c.Show();
}

void MarkerTool::Release(PointerContext& c, POINT p) {
    c.state.currentPoint = p;
    c.Restore();
    Place(c, p);
    c.Show();
    c.Commit();
}
