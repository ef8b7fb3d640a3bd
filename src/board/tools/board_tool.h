#pragma once
// What each drawing tool does with the left button, the pointer and the wheel.
// The pointer handlers (board/pointer.h) only decode the message and hand it to
// the current tool's object; every tool's behaviour lives in its own type.
//
// Drawing model: BackCanvas holds the committed drawing, BoardCanvas is what the
// window shows. A preview restores BoardCanvas from BackCanvas, draws on top and
// shows the canvas; a release commits BoardCanvas onto BackCanvas.
//
// Tools keep no gesture state of their own (it lives in BoardState, which the
// keyboard and tool switching also read and write); a tool object may keep
// scratch storage that it reuses so that previews do not allocate.

#include <windows.h>

#include "board/board_state.h"
#include "board/tools/modifier_step.h"
#include "graphics/canvas.h"

// The board a tool acts on: its window, its state and its two canvases.
struct PointerContext {
    HWND window;
    BoardState& state;
    Canvas& board;  // shown in the window; previews are drawn here
    Canvas& back;   // the committed drawing

    // BoardCanvas <- BackCanvas: wipes any preview (one block copy).
    void Restore();
    // BoardCanvas -> window (one block copy).
    void Show();
    // BackCanvas <- BoardCanvas: what is shown becomes the drawing.
    void Commit();
    // The button went down on the board: capture the mouse so the gesture is
    // followed outside the window too, and mark the drag.
    void BeginDrag();
};

class BoardTool {
public:
    virtual ~BoardTool() = default;

    // Left button down at p (client pixels).
    virtual void Press(PointerContext& c, POINT p);
    // Pointer at p. The default follows the drag: previousPoint and
    // currentPoint advance and Drag runs; without the button Hover runs.
    virtual void Move(PointerContext& c, POINT p);
    // Left button up at p; `dragging` is already cleared and the capture is
    // released by the caller afterwards. The default commits what is shown.
    virtual void Release(PointerContext& c, POINT p);
    // One wheel message: step is +1 or -1. The default ignores it.
    virtual void Wheel(PointerContext& c, int step);

protected:
    // Where the press is remembered. The default starts a new shape at p.
    virtual void RecordPress(BoardState& s, POINT p);
    // Pointer moved with the button down, after currentPoint was updated.
    virtual void Drag(PointerContext& c);
    // Pointer moved without the button. The default leaves no trace.
    virtual void Hover(PointerContext& c, POINT p);
};

// Drag shapes (line, rectangle, ...): every move restores the board, runs the
// modifier step, draws the shape for the current points and shows it; the
// release keeps the last preview as the shape. With Space held the whole shape
// follows the pointer instead of being resized.
class DragShapeTool : public BoardTool {
protected:
    void Drag(PointerContext& c) override;
    // The Shift/Ctrl rules this shape takes (default: none).
    virtual ModifierRules Rules() const;
    // Draws the shape for the current anchor, corner and cursor on c.board.
    virtual void DrawPreview(PointerContext& c) = 0;
};

// The tool object of a ToolKind, or nullptr for a kind whose pointer behaviour
// is not built (the pointer handlers then only track the button).
BoardTool* ToolFor(ToolKind kind);
