#pragma once
// Undo and redo of the committed drawing.
//
// A step keeps only the rectangle that changed: the bounding box of the pixels
// that differ between the committed drawing before and after a commit, with
// the pixels it held before. Undoing a step swaps those pixels with the
// drawing's, so the step then holds the after-pixels and redoing swaps them
// back: a step costs the same whichever way it was last applied.
//
// The history keeps its own copy of the committed drawing as it last saw it,
// so a commit is compared with what was committed before it without copying
// the whole drawing at every commit: after a step is taken only its rectangle
// of the copy is brought up to date. The copy is not counted in the capacity,
// which bounds the steps alone; beyond it the oldest steps are dropped.
//
// Pixels are 32-bit values in rows of `width`, one row after the other (a
// canvas's surface as it lies in memory); the rectangles are in those rows.
// Pure: no window, no canvas.

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>
#include <vector>

// A rectangle of pixel rows: columns [left, right), rows [top, bottom).
struct PixelRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    bool Empty() const { return right <= left || bottom <= top; }
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

// The smallest rectangle holding every pixel in which `before` and `after`
// differ (both width * height pixels); empty when they are equal or their
// sizes do not fit. Rows are compared whole first, so equal rows cost one
// block compare each.
PixelRect DifferingArea(std::span<const std::uint32_t> before,
                        std::span<const std::uint32_t> after, int width, int height);

class UndoHistory {
public:
    // What the steps may hold together, in bytes.
    static constexpr std::size_t kDefaultCapacity = std::size_t{256} << 20;

    explicit UndoHistory(std::size_t capacityBytes = kDefaultCapacity);

    // A new drawing: no steps; the copy becomes `committed` (width * height
    // pixels). When the copy cannot be made the history stays off (nothing is
    // recorded, nothing to undo) until the next Start.
    void Start(std::span<const std::uint32_t> committed, int width, int height);
    // No drawing: no steps and no copy.
    void Drop();
    bool Started() const { return width_ > 0; }

    // The committed drawing may have changed since the history last saw it:
    // what differs becomes one step (dropping any steps that were undone).
    // True when a step was taken; false when nothing changed, the size does
    // not fit, or the history is off.
    bool Record(std::span<const std::uint32_t> committed);

    // Takes back the newest step on `committed` (which must be the drawing
    // the history follows; any change not yet recorded is recorded first).
    // Answers the rectangle that changed, or nullopt when there is nothing to
    // undo.
    std::optional<PixelRect> Undo(std::span<std::uint32_t> committed);
    // Applies again the step undone last; nullopt when there is none.
    std::optional<PixelRect> Redo(std::span<std::uint32_t> committed);

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    std::size_t StepCount() const { return steps_.size(); }
    // How many changes of this drawing are in force: every recorded change
    // counts one up, every undo one down, every redo one up again, counted
    // from the start of the drawing (steps forgotten beyond the capacity
    // still count). Tools that number their marks follow the undo by it.
    std::size_t Position() const { return forgotten_ + done_; }
    // Bytes held by the steps (what the capacity bounds).
    std::size_t StepBytes() const { return stepBytes_; }
    std::size_t Capacity() const { return capacity_; }
    // The rectangle of the step that the next Undo would take back.
    std::optional<PixelRect> NewestArea() const;

private:
    struct Step {
        PixelRect area;
        std::vector<std::uint32_t> pixels;  // area's pixels, row after row
    };

    static std::size_t BytesOf(const Step& step);
    bool Fits(std::span<const std::uint32_t> pixels) const;
    // Swaps the step's pixels with the drawing's and brings the copy up to date.
    void Exchange(Step& step, std::span<std::uint32_t> committed);
    void CopyArea(const PixelRect& area, std::span<const std::uint32_t> from);
    void DropSteps();

    std::size_t capacity_;
    std::vector<std::uint32_t> copy_;
    int width_ = 0;
    int height_ = 0;
    std::deque<Step> steps_;
    std::size_t done_ = 0;  // steps_[0, done_) can be undone, the rest redone
    std::size_t forgotten_ = 0;  // changes in force that can no longer be undone
    std::size_t stepBytes_ = 0;
};
