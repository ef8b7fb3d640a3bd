#include "board/history.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Equal stretches are skipped a block at a time (a block compare is many
// times faster than a pixel loop, and each call has a cost of its own), large
// blocks first, then small ones inside the large block that differs.
constexpr int kLargeBlock = 1024;
constexpr int kSmallBlock = 16;

bool BlockEqual(const std::uint32_t* b, const std::uint32_t* a, int x, int n) {
    return std::memcmp(b + x, a + x, static_cast<std::size_t>(n) * sizeof(std::uint32_t)) == 0;
}

// The first x in [from, to) where the rows differ, or `to`.
int FirstDifference(const std::uint32_t* b, const std::uint32_t* a, int from, int to) {
    int x = from;
    for (int block : {kLargeBlock, kSmallBlock})
        while (to - x >= block && BlockEqual(b, a, x, block)) x += block;
    while (x < to && b[x] == a[x]) ++x;
    return x;
}

// One past the last x in [from, to) where the rows differ, or `from`.
int EndOfDifference(const std::uint32_t* b, const std::uint32_t* a, int from, int to) {
    int end = to;
    for (int block : {kLargeBlock, kSmallBlock})
        while (end - from >= block && BlockEqual(b, a, end - block, block)) end -= block;
    while (end > from && b[end - 1] == a[end - 1]) --end;
    return end;
}

// The box around the differing pixels of two w x h windows of pixels, each
// with its own row stride; coordinates relative to the windows.
PixelRect DifferingBox(const std::uint32_t* before, std::size_t beforeStride,
                       const std::uint32_t* after, std::size_t afterStride, int width,
                       int height) {
    const std::size_t w = static_cast<std::size_t>(width);
    auto b = [&](int y) { return before + static_cast<std::size_t>(y) * beforeStride; };
    auto a = [&](int y) { return after + static_cast<std::size_t>(y) * afterStride; };
    auto rowsEqual = [&](int y) { return std::memcmp(b(y), a(y), w * sizeof(std::uint32_t)) == 0; };

    int top = 0;
    while (top < height && rowsEqual(top)) ++top;
    if (top == height) return {};
    int bottom = height;
    while (bottom - 1 > top && rowsEqual(bottom - 1)) --bottom;

    // Each row only has to be searched outside the columns already known to
    // differ, so the column search costs little once the box has grown (and
    // nothing more when the row is equal there).
    int left = width;
    int right = 0;
    for (int y = top; y < bottom; ++y) {
        const std::uint32_t* rb = b(y);
        const std::uint32_t* ra = a(y);
        left = std::min(left, FirstDifference(rb, ra, 0, left));
        right = std::max(right, EndOfDifference(rb, ra, right, width));
    }
    return PixelRect{left, top, right, bottom};
}

PixelRect Union(const PixelRect& a, const PixelRect& b) {
    if (a.Empty()) return b;
    if (b.Empty()) return a;
    return PixelRect{std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
                     std::max(a.bottom, b.bottom)};
}

bool Inside(const PixelRect& outer, const PixelRect& inner) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

std::size_t PixelCount(const PixelRect& r) {
    return r.Empty() ? 0 : static_cast<std::size_t>(r.Width()) * static_cast<std::size_t>(r.Height());
}

// Two writes close together are kept as one piece: when their union is not
// much larger than the two, one piece costs less than two (each has a fixed
// cost, and the eraser writes a small square at every move). A merge reads
// the whole union again, so a piece stops growing at a bounded size: a
// stroke across the whole board (whose box would grow with every move and be
// read again each time) becomes a chain of pieces along it instead.
bool WorthMerging(const PixelRect& a, const PixelRect& b) {
    constexpr std::size_t kSmall = 64 * 64;
    constexpr std::size_t kLargest = 256 * 256;
    const std::size_t together = PixelCount(Union(a, b));
    return together <= kSmall ||
           (together <= kLargest && together <= 2 * (PixelCount(a) + PixelCount(b)));
}

}  // namespace

PixelRect DifferingArea(std::span<const std::uint32_t> before,
                        std::span<const std::uint32_t> after, int width, int height) {
    // The whole picture as one band.
    const std::vector<PixelRect> box =
        DifferingBands(before, after, width, height, PixelRect{0, 0, width, height}, height);
    return box.empty() ? PixelRect{} : box.front();
}

std::vector<PixelRect> DifferingBands(std::span<const std::uint32_t> before,
                                      std::span<const std::uint32_t> after, int width, int height,
                                      const PixelRect& within, int bandRows) {
    std::vector<PixelRect> boxes;
    if (width <= 0 || height <= 0 || bandRows <= 0) return boxes;
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t count = w * static_cast<std::size_t>(height);
    if (before.size() < count || after.size() < count) return boxes;
    const PixelRect area{std::max(within.left, 0), std::max(within.top, 0),
                         std::min(within.right, width), std::min(within.bottom, height)};
    if (area.Empty()) return boxes;
    for (int top = area.top; top < area.bottom; top += bandRows) {
        const int rows = std::min(bandRows, area.bottom - top);
        const std::size_t at = static_cast<std::size_t>(top) * w + static_cast<std::size_t>(area.left);
        const PixelRect box =
            DifferingBox(before.data() + at, w, after.data() + at, w, area.Width(), rows);
        if (!box.Empty())
            boxes.push_back(PixelRect{area.left + box.left, top + box.top, area.left + box.right,
                                      top + box.bottom});
    }
    return boxes;
}

UndoHistory::UndoHistory(std::size_t capacityBytes) : capacity_(capacityBytes) {}

void UndoHistory::Start(int width, int height) {
    Drop();
    if (width <= 0 || height <= 0) return;
    width_ = width;
    height_ = height;
}

void UndoHistory::Drop() {
    DropSteps();
    forgotten_ = 0;
    written_ = PixelRect{};
    width_ = 0;
    height_ = 0;
}

void UndoHistory::DropSteps() {
    steps_.clear();
    done_ = 0;
    stepBytes_ = 0;
    pending_ = Step{};
    pendingLost_ = false;
}

std::size_t UndoHistory::BytesOf(const Step& step) {
    std::size_t bytes = sizeof(Step);
    for (const Piece& piece : step.pieces)
        bytes += sizeof(Piece) + piece.pixels.size() * sizeof(std::uint32_t);
    return bytes;
}

PixelRect UndoHistory::AreaOf(const Step& step) {
    PixelRect area;
    for (const Piece& piece : step.pieces) area = Union(area, piece.area);
    return area;
}

bool UndoHistory::Fits(std::span<const std::uint32_t> pixels) const {
    return Started() &&
           pixels.size() == static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
}

void UndoHistory::ReadArea(Piece& piece, std::span<const std::uint32_t> from) const {
    const PixelRect& area = piece.area;
    // Filled row by row as it grows: a whole picture is not cleared first.
    piece.pixels.clear();
    piece.pixels.reserve(PixelCount(area));
    const std::size_t w = static_cast<std::size_t>(width_);
    for (int row = 0; row < area.Height(); ++row) {
        const auto at = from.begin() + static_cast<std::ptrdiff_t>(
                                           static_cast<std::size_t>(area.top + row) * w +
                                           static_cast<std::size_t>(area.left));
        piece.pixels.insert(piece.pixels.end(), at, at + area.Width());
    }
}

void UndoHistory::BeforeWrite(const PixelRect& wanted, std::span<const std::uint32_t> committed) {
    if (!Fits(committed)) return;
    const PixelRect area{std::max(wanted.left, 0), std::max(wanted.top, 0),
                         std::min(wanted.right, width_), std::min(wanted.bottom, height_)};
    if (area.Empty()) return;
    written_ = Union(written_, area);
    if (pendingLost_) return;
    try {
        if (!pending_.pieces.empty()) {
            Piece& last = pending_.pieces.back();
            // Written again where the newest piece already holds what was
            // there before it: undoing that piece takes both writes back.
            if (Inside(last.area, area)) return;
            if (WorthMerging(last.area, area)) {
                // Outside the newest piece nothing was written since it was
                // taken, so the drawing still holds the before-pixels there.
                Piece merged{Union(last.area, area), {}};
                ReadArea(merged, committed);
                const int mw = merged.area.Width();
                for (int row = 0; row < last.area.Height(); ++row) {
                    std::copy_n(last.pixels.data() + static_cast<std::size_t>(row) * last.area.Width(),
                                last.area.Width(),
                                merged.pixels.data() +
                                    static_cast<std::size_t>(last.area.top - merged.area.top + row) * mw +
                                    static_cast<std::size_t>(last.area.left - merged.area.left));
                }
                last = std::move(merged);
                return;
            }
        }
        Piece piece{area, {}};
        ReadArea(piece, committed);
        pending_.pieces.push_back(std::move(piece));
    } catch (const std::bad_alloc&) {
        // Without these pixels the step cannot be taken back; the older steps
        // cannot either (they would bring back pixels around a change they
        // never saw). Sealing drops them all.
        pending_ = Step{};
        pendingLost_ = true;
    }
}

void UndoHistory::Shrink(Piece& piece, std::span<const std::uint32_t> committed) const {
    const PixelRect& area = piece.area;
    const std::size_t w = static_cast<std::size_t>(width_);
    const std::uint32_t* now =
        committed.data() + static_cast<std::size_t>(area.top) * w + static_cast<std::size_t>(area.left);
    const PixelRect box = DifferingBox(piece.pixels.data(), static_cast<std::size_t>(area.Width()),
                                       now, w, area.Width(), area.Height());
    if (box.Empty()) {
        piece = Piece{};
        return;
    }
    if (box.Width() == area.Width() && box.Height() == area.Height()) return;
    Piece smaller{PixelRect{area.left + box.left, area.top + box.top, area.left + box.right,
                            area.top + box.bottom},
                  {}};
    smaller.pixels.resize(PixelCount(smaller.area));
    for (int row = 0; row < box.Height(); ++row) {
        std::copy_n(piece.pixels.data() + static_cast<std::size_t>(box.top + row) * area.Width() +
                        static_cast<std::size_t>(box.left),
                    box.Width(), smaller.pixels.data() + static_cast<std::size_t>(row) * box.Width());
    }
    piece = std::move(smaller);
}

bool UndoHistory::Seal(std::span<const std::uint32_t> committed) {
    Step step = std::exchange(pending_, Step{});
    if (std::exchange(pendingLost_, false)) {
        forgotten_ += done_ + 1;  // what is in force stays, and this change with it
        DropSteps();
        return false;
    }
    if (!Fits(committed) || step.pieces.empty()) return false;
    // A lone piece (the usual commit) keeps only what its write changed; with
    // several, a later piece may depend on an earlier one's pixels.
    if (step.pieces.size() == 1) {
        Shrink(step.pieces.front(), committed);
        if (step.pieces.front().area.Empty()) return false;
    }

    // A new change after an undo: what was undone cannot come back.
    while (steps_.size() > done_) {
        stepBytes_ -= BytesOf(steps_.back());
        steps_.pop_back();
    }
    stepBytes_ += BytesOf(step);
    steps_.push_back(std::move(step));
    done_ = steps_.size();
    // Oldest first: undo goes from the newest back, so what is left stays whole.
    while (stepBytes_ > capacity_ && !steps_.empty()) {
        stepBytes_ -= BytesOf(steps_.front());
        steps_.pop_front();
        --done_;
        ++forgotten_;
    }
    return !steps_.empty();
}

void UndoHistory::Exchange(Step& step, std::span<std::uint32_t> committed, bool undo) {
    const std::size_t w = static_cast<std::size_t>(width_);
    auto swapPiece = [&](Piece& piece) {
        const PixelRect& area = piece.area;
        for (int row = 0; row < area.Height(); ++row) {
            std::uint32_t* line = committed.data() + static_cast<std::size_t>(area.top + row) * w +
                                  static_cast<std::size_t>(area.left);
            std::swap_ranges(line, line + area.Width(),
                             piece.pixels.data() + static_cast<std::size_t>(row) * area.Width());
        }
    };
    if (undo) {
        for (auto it = step.pieces.rbegin(); it != step.pieces.rend(); ++it) swapPiece(*it);
    } else {
        for (Piece& piece : step.pieces) swapPiece(piece);
    }
}

std::optional<PixelRect> UndoHistory::Undo(std::span<std::uint32_t> committed) {
    if (!Fits(committed)) return std::nullopt;
    Seal(committed);
    if (done_ == 0) return std::nullopt;
    Step& step = steps_[--done_];
    Exchange(step, committed, true);
    return AreaOf(step);
}

std::optional<PixelRect> UndoHistory::Redo(std::span<std::uint32_t> committed) {
    if (!Fits(committed)) return std::nullopt;
    Seal(committed);  // a change not yet taken as a step drops what could be redone
    if (done_ == steps_.size()) return std::nullopt;
    Step& step = steps_[done_++];
    Exchange(step, committed, false);
    return AreaOf(step);
}

std::optional<PixelRect> UndoHistory::NewestArea() const {
    if (done_ == 0) return std::nullopt;
    return AreaOf(steps_[done_ - 1]);
}
