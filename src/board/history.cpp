#include "board/history.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

PixelRect DifferingArea(std::span<const std::uint32_t> before,
                        std::span<const std::uint32_t> after, int width, int height) {
    if (width <= 0 || height <= 0) return {};
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t count = w * static_cast<std::size_t>(height);
    if (before.size() < count || after.size() < count) return {};

    auto rowOf = [w](std::span<const std::uint32_t> pixels, int y) {
        return pixels.data() + static_cast<std::size_t>(y) * w;
    };
    auto rowsEqual = [&](int y) {
        return std::memcmp(rowOf(before, y), rowOf(after, y), w * sizeof(std::uint32_t)) == 0;
    };

    int top = 0;
    while (top < height && rowsEqual(top)) ++top;
    if (top == height) return {};
    int bottom = height;
    while (bottom - 1 > top && rowsEqual(bottom - 1)) --bottom;

    // Each row only has to be searched outside the columns already known to
    // differ, so the column search costs little once the box has grown.
    int left = width;
    int right = 0;
    for (int y = top; y < bottom; ++y) {
        if (y != top && y != bottom - 1 && rowsEqual(y)) continue;
        const std::uint32_t* b = rowOf(before, y);
        const std::uint32_t* a = rowOf(after, y);
        int x = 0;
        while (x < left && b[x] == a[x]) ++x;
        left = std::min(left, x);
        int end = width;
        while (end > right && b[end - 1] == a[end - 1]) --end;
        right = std::max(right, end);
    }
    return PixelRect{left, top, right, bottom};
}

UndoHistory::UndoHistory(std::size_t capacityBytes) : capacity_(capacityBytes) {}

void UndoHistory::Start(std::span<const std::uint32_t> committed, int width, int height) {
    Drop();
    if (width <= 0 || height <= 0) return;
    if (committed.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
        return;
    try {
        copy_.assign(committed.begin(), committed.end());
    } catch (const std::bad_alloc&) {
        Drop();  // no copy, no history: the board works on without undo
        return;
    }
    width_ = width;
    height_ = height;
}

void UndoHistory::Drop() {
    DropSteps();
    forgotten_ = 0;
    copy_.clear();
    copy_.shrink_to_fit();
    width_ = 0;
    height_ = 0;
}

void UndoHistory::DropSteps() {
    steps_.clear();
    done_ = 0;
    stepBytes_ = 0;
}

std::size_t UndoHistory::BytesOf(const Step& step) {
    return sizeof(Step) + step.pixels.size() * sizeof(std::uint32_t);
}

bool UndoHistory::Fits(std::span<const std::uint32_t> pixels) const {
    return Started() &&
           pixels.size() == static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
}

void UndoHistory::CopyArea(const PixelRect& area, std::span<const std::uint32_t> from) {
    const std::size_t w = static_cast<std::size_t>(width_);
    for (int y = area.top; y < area.bottom; ++y) {
        const std::size_t at = static_cast<std::size_t>(y) * w + static_cast<std::size_t>(area.left);
        std::copy_n(from.data() + at, area.Width(), copy_.data() + at);
    }
}

bool UndoHistory::Record(std::span<const std::uint32_t> committed) {
    if (!Fits(committed)) return false;
    const PixelRect area = DifferingArea(copy_, committed, width_, height_);
    if (area.Empty()) return false;

    Step step{area, {}};
    try {
        step.pixels.resize(static_cast<std::size_t>(area.Width()) *
                           static_cast<std::size_t>(area.Height()));
    } catch (const std::bad_alloc&) {
        // Without room for the step the older ones cannot be undone either
        // (they would bring back pixels around a change they never saw).
        forgotten_ += done_ + 1;  // what is in force stays, and this change with it
        DropSteps();
        CopyArea(area, committed);
        return false;
    }
    const std::size_t w = static_cast<std::size_t>(width_);
    for (int row = 0; row < area.Height(); ++row) {
        const std::size_t at =
            static_cast<std::size_t>(area.top + row) * w + static_cast<std::size_t>(area.left);
        std::copy_n(copy_.data() + at, area.Width(),
                    step.pixels.data() + static_cast<std::size_t>(row) * area.Width());
    }
    CopyArea(area, committed);

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

void UndoHistory::Exchange(Step& step, std::span<std::uint32_t> committed) {
    const PixelRect& area = step.area;
    const std::size_t w = static_cast<std::size_t>(width_);
    for (int row = 0; row < area.Height(); ++row) {
        std::uint32_t* line = committed.data() + static_cast<std::size_t>(area.top + row) * w +
                              static_cast<std::size_t>(area.left);
        std::swap_ranges(line, line + area.Width(),
                         step.pixels.data() + static_cast<std::size_t>(row) * area.Width());
    }
    CopyArea(area, committed);
}

std::optional<PixelRect> UndoHistory::Undo(std::span<std::uint32_t> committed) {
    if (!Fits(committed)) return std::nullopt;
    Record(committed);
    if (done_ == 0) return std::nullopt;
    Step& step = steps_[--done_];
    Exchange(step, committed);
    return step.area;
}

std::optional<PixelRect> UndoHistory::Redo(std::span<std::uint32_t> committed) {
    if (!Fits(committed)) return std::nullopt;
    Record(committed);  // a change not yet recorded drops what could be redone
    if (done_ == steps_.size()) return std::nullopt;
    Step& step = steps_[done_++];
    Exchange(step, committed);
    return step.area;
}

std::optional<PixelRect> UndoHistory::NewestArea() const {
    if (done_ == 0) return std::nullopt;
    return steps_[done_ - 1].area;
}
