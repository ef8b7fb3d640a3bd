#include "board/board_text.h"

#include "board/board.h"
#include "board/pointer.h"
#include "board/tools/text_tool.h"
#include "capture/clipboard_text.h"
#include "window/focus.h"

TextTool& BoardTextTool(DrawingBoard& b) {
    // The tool table's text row always makes its object.
    return static_cast<TextTool&>(*b.tools.For(ToolText));
}

void BoardTextChar(DrawingBoard& b, WPARAM code) {
    PointerContext c = BoardPointerContext(b);
    BoardTextTool(b).Char(c, static_cast<unsigned char>(code & 0xFF));
}

void BoardTextFocus(DrawingBoard& b) {
    PointerContext c = BoardPointerContext(b);
    BoardTextTool(b).FocusGained(c);
}

void BoardTextPaste(DrawingBoard& b) {
    if (!b.state.typing) return;
    // Read a little past the paste bound, so a line break at the cut is seen whole.
    const std::string text = ReadClipboardText(kMaxPasteBytes + 2);
    PointerContext c = BoardPointerContext(b);
    BoardTextTool(b).Paste(c, text);
}

void BoardTextRetype(DrawingBoard& b) {
    PointerContext c = BoardPointerContext(b);
    BoardTextTool(b).Retype(c);
    ForceFocus(b.Window());  // typing goes on in the board, not the toolbox
}

void BoardTextFontChanged(DrawingBoard& b) {
    b.Shown().Font(GetTextFont());
    PointerContext c = BoardPointerContext(b);
    BoardTextTool(b).FontApplied(c);
    if (b.state.textToolActive) BoardTextRetype(b);
}

void BoardTextEnd(DrawingBoard& b) {
    PointerContext c = BoardPointerContext(b);
    BoardTextTool(b).Disarm(c);
}

bool KeyCommandsAllowed(const BoardState& s) {
    return !s.shiftHeld && !s.ctrlHeld && !(s.textToolActive && s.typing);
}
