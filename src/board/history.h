#pragma once
// Undo and redo of the committed drawing.
//
// Whoever writes the committed drawing says first which rectangle it writes
// (BeforeWrite); the history keeps the pixels that rectangle holds just before
// the write. The writes between two steps are one step: its pieces are the
// rectangles with their before-pixels. Undoing a step swaps its pieces with
// the drawing's pixels, newest piece first, so the step then holds the
// after-pixels and redoing swaps them back, oldest first: a step costs the
// same whichever way it was last applied. Nothing is compared with a copy of
// the whole drawing and no such copy is kept; a write whose rectangle is not
// known passes the whole picture. The capacity bounds what the steps hold;
// beyond it the oldest steps are dropped.
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
// The same inside `within` (clipped to the pixels), band by band: for each
// run of `bandRows` rows from its top, the box around the pixels that differ
// there; bands without a difference give none. Thin changes across a large
// area (a line from corner to corner) give small boxes instead of one the
// size of the area.
std::vector<PixelRect> DifferingBands(std::span<const std::uint32_t> before,
                                      std::span<const std::uint32_t> after, int width, int height,
                                      const PixelRect& within, int bandRows);

class UndoHistory {
public:
    // What the steps may hold together, in bytes.
    static constexpr std::size_t kDefaultCapacity = std::size_t{256} << 20;

    explicit UndoHistory(std::size_t capacityBytes = kDefaultCapacity);

    // A new drawing of width * height pixels: no steps.
    void Start(int width, int height);
    // No drawing: no steps.
    void Drop();
    bool Started() const { return width_ > 0; }

    // `committed` is about to be written inside `area` (clipped to the
    // drawing): its pixels there are kept for the step being gathered.
    void BeforeWrite(const PixelRect& area, std::span<const std::uint32_t> committed);
    // The writes since the last step become one step (dropping any steps
    // that were undone). True when a step was taken; false when nothing was
    // written (or the writes changed no pixel), the size does not fit, or
    // the history is off.
    bool Seal(std::span<const std::uint32_t> committed);

    // Takes back the newest step on `committed` (which must be the drawing
    // the history follows; writes not yet sealed are sealed first). Answers
    // the rectangle that changed, or nullopt when there is nothing to undo.
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
    // Every rectangle written since Start, together: outside it the drawing
    // is still what it was at Start.
    PixelRect WrittenArea() const { return written_; }

private:
    struct Piece {
        PixelRect area;
        std::vector<std::uint32_t> pixels;  // area's pixels, row after row
    };
    struct Step {
        std::vector<Piece> pieces;  // in the order they were written
    };

    static std::size_t BytesOf(const Step& step);
    static PixelRect AreaOf(const Step& step);
    bool Fits(std::span<const std::uint32_t> pixels) const;
    // Reads `area` of `from` into `piece` (pixels row after row).
    void ReadArea(Piece& piece, std::span<const std::uint32_t> from) const;
    // Swaps the step's pieces with the drawing's pixels.
    void Exchange(Step& step, std::span<std::uint32_t> committed, bool undo);
    // A lone piece shrinks to the pixels its write changed.
    void Shrink(Piece& piece, std::span<const std::uint32_t> committed) const;
    void DropSteps();

    std::size_t capacity_;
    int width_ = 0;
    int height_ = 0;
    std::deque<Step> steps_;
    std::size_t done_ = 0;  // steps_[0, done_) can be undone, the rest redone
    std::size_t forgotten_ = 0;  // changes in force that can no longer be undone
    std::size_t stepBytes_ = 0;
    Step pending_;          // the writes since the last step
    PixelRect written_;     // every write since Start
    bool pendingLost_ = false;  // a write could not be kept (no memory)
};
