#pragma once
// What each drawing tool does with the left button, the pointer and the wheel.
// The pointer handlers (board/pointer.h) only decode the message and hand it to
// the current tool's object; every tool's behaviour lives in its own type.
//
// Drawing model: BackCanvas holds the committed drawing, BoardCanvas is what the
// window shows. A preview restores BoardCanvas from BackCanvas, draws on top and
// shows the canvas; a release commits BoardCanvas onto BackCanvas. A tool says
// where it drew (PointerContext::Drew), so the restore, the show and the commit
// copy only that rectangle, and the undo step keeps only its pixels.
//
// A tool keeps its own gesture state (the polyline's vertex, ...) in its
// object; BoardState holds only what every tool shares
// (current tool, modifier keys, the drag and its points). Settings reach a tool
// through its context, so a tool can be driven with a local state, local
// canvases and local settings, without a window.

#include <windows.h>

#include <atomic>
#include <optional>

#include "board/board_state.h"
#include "board/tools/modifier_step.h"
#include "graphics/canvas.h"
#include "settings/settings.h"

// Where a tool's context restores, shows and commits: the board
// (board/board.h), or a local board without a window in the tests. The one
// commit path: whatever a tool commits goes through CommitArea, so the board's
// undo history sees every commit. Areas are client pixels; the context
// (below) works out which.
class ToolSurface {
public:
    // BoardCanvas <- BackCanvas inside `area`: wipes a preview there.
    virtual void RestoreArea(const RECT& area) = 0;
    // BoardCanvas -> window inside `area`.
    virtual void ShowArea(const RECT& area) = 0;
    // BackCanvas <- BoardCanvas inside `area`; the undo history keeps what
    // was there first.
    virtual void CommitArea(const RECT& area) = 0;
    // A tool is about to write BackCanvas itself inside `area` (the eraser):
    // the undo history keeps what is there first.
    virtual void WritingCommitted(const RECT& area) = 0;

protected:
    ~ToolSurface() = default;
};

// How previews reach the screen. Off (the default): a restore copies back
// only what the last preview drew, a show copies only what changed since the
// last show, a commit writes only what was drawn. On: the whole canvas each
// time. Both give the same pixels; the switch lets tests and benchmarks
// compare them.
extern std::atomic<bool> RedrawWholeBoard;

// The layer a tool draws over (PointerContext::layer), prepared when the tool
// is chosen: none, the drawing so far (the curve previews over it) or the
// untouched starting picture (the eraser brings it back).
enum class LayerKind { None, DrawingSoFar, StartPicture };

// What the board does with a tool's work when another tool (or the same one
// again) is chosen: nothing, commit what it drew (the curve), or wipe its
// marks from the board canvas (the eraser's square).
enum class Leaving { Keep, Commit, Wipe };

// A mark a tool keeps over the drawing on the board canvas only, never
// committed, and what wipes it: a setting change (the eraser's square), or
// also a command from a cell or the menu (the eyedropper's spectrum, the
// fill's crosshair).
enum class BoardMark { None, WipedBySettings, WipedByCommands };

class UndoHistory;

// The board a tool acts on: its window, its state, its two canvases and the
// settings the tool reads (and, for the keys and the wheel, changes).
struct PointerContext {
    HWND window;  // null: no window (Show and the mouse capture do nothing)
    BoardState& state;
    Canvas& board;  // shown in the window; previews are drawn here
    Canvas& back;   // the committed drawing
    SettingsRecord& settings;
    // The picture canvas. For the curve: the drawing plus the smoothed curve
    // so far (the curve tool previews over it; the curve reaches `back` when
    // another tool is chosen). For the eraser: the untouched starting picture.
    Canvas& layer;
    ToolSurface& surface;
    // Where a wheel message found the pointer, in client pixels (the message
    // itself carries screen coordinates).
    std::optional<POINT> wheelPoint = std::nullopt;
    // The board's undo history (null: none), for tools that number what they
    // put down and give a number back when it is undone.
    const UndoHistory* history = nullptr;

    // BoardCanvas <- BackCanvas: wipes any preview (one block copy of what
    // was drawn since the last restore).
    void Restore();
    // BoardCanvas -> window (one block copy of what changed since the last show).
    void Show();
    // BackCanvas <- BoardCanvas: what is shown becomes the drawing.
    void Commit();
    // The tool drew on the board canvas inside `area` (client pixels): the
    // next restore takes it away, the next show and commit take it along.
    // Every drawing on the board canvas is reported so.
    void Drew(const RECT& area);
    // The tool drew anywhere on the board canvas (or cannot say where).
    void DrewEverything();
    // The tool itself is about to write the committed drawing inside `area`.
    void WritingBack(const RECT& area);
    // The button went down on the board: capture the mouse so the gesture is
    // followed outside the window too, and mark the drag.
    void BeginDrag();
};

class BoardTool {
public:
    // `rules`: the Shift/Ctrl rules of the tool's row in the tool table.
    explicit BoardTool(ModifierRules rules = {}) : rules_(rules) {}
    virtual ~BoardTool() = default;
    BoardTool(const BoardTool&) = delete;
    BoardTool& operator=(const BoardTool&) = delete;

    // Left button down at p (client pixels).
    virtual void Press(PointerContext& c, POINT p);
    // Pointer at p. The default follows the drag (Follow) and runs Drag;
    // without the button Hover runs.
    virtual void Move(PointerContext& c, POINT p);
    // Left button up at p; `dragging` is already cleared and the capture is
    // released by the caller afterwards. The default commits what is shown.
    virtual void Release(PointerContext& c, POINT p);
    // One wheel message: step is +1 or -1. The default ignores it.
    virtual void Wheel(PointerContext& c, int step);
    // The + (step +1) or - (step -1) key. The default ignores it.
    virtual void Adjust(PointerContext& c, int step);
    // An arrow key (VK_LEFT .. VK_DOWN). The default ignores it.
    virtual void ArrowKey(PointerContext& c, WPARAM key);

    // The tool was made current: it starts afresh. The default does nothing.
    virtual void Selected(PointerContext& c);
    // What the tool needs and leaves behind (see the enums above). The
    // defaults: no layer, nothing to settle when left, no mark; the
    // selection's own picture does not stay; a setting change restores the
    // board.
    virtual LayerKind LayerNeeded() const;
    virtual Leaving WhenLeft(bool sameToolAgain) const;
    virtual BoardMark Mark() const;
    virtual bool ShowsOnSelection() const;
    virtual bool KeepsBoardOnSettingChange() const;
    // Forgets any gesture in progress (a click chain's points, ...); what the
    // user set with keys, such as the table lines, stays.
    virtual void ResetGesture();

    // While the button is down (or while the tool previews without it),
    // re-runs the pointer move at the last pointer position so the preview
    // shows at once what a key or the wheel has just changed.
    void Refresh(PointerContext& c);
    // True while the tool shows a preview that follows the pointer with the
    // button up (an arc being swept). The default: never.
    virtual bool PreviewsWithoutButton() const;
    // True while a shape of several gestures is being built (a polyline with
    // its first vertex, a Bézier, curve or arc chain begun, an arc being
    // swept): it is one change to the drawing once it ends. The default: while
    // the tool previews without the button.
    virtual bool ShapeOpen() const;

    ModifierRules Rules() const { return rules_; }

protected:
    // Where the press is remembered. The default starts a new shape at p.
    virtual void RecordPress(BoardState& s, POINT p);
    // The pointer is at p: the last raw pointer becomes previousPoint, p the
    // raw pointer and (until the modifier step snaps it) the cursor.
    static void Follow(BoardState& s, POINT p);
    // Pointer moved with the button down, after Follow.
    virtual void Drag(PointerContext& c);
    // Pointer moved without the button. The default leaves no trace.
    virtual void Hover(PointerContext& c, POINT p);

private:
    ModifierRules rules_;
};

// Drag shapes (line, rectangle, ...): every move restores the board, runs the
// modifier step, draws the shape for the current points and shows it; the
// release keeps the last preview as the shape. With Space held the whole shape
// follows the pointer instead of being resized.
class DragShapeTool : public BoardTool {
public:
    using BoardTool::BoardTool;

protected:
    void Drag(PointerContext& c) override;
    // Draws the shape for the current anchor, corner and cursor on c.board
    // and answers where it drew.
    virtual RECT DrawPreview(PointerContext& c) = 0;
};

