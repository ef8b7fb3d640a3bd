#pragma once
// The text tool: a click places a caret, typed characters are drawn at once on
// the board canvas with the text font and colours, Backspace takes the last
// character back, Enter keeps the text and Esc throws it away. Clipboard text
// can be pasted while typing; a colour or font change redraws what was typed.
//
// The flags the keyboard needs (armed: textToolActive, a box open: typing)
// live in the board state; the box itself lives here.
//
// The caret is the system caret, which belongs to the thread that made it: the
// tool makes, moves and destroys it only on the thread of the context's window
// (never for a context without one). The tool keeps the caret's place itself,
// so that place is known anywhere.

#include <windows.h>

#include <string_view>

#include "board/tools/board_tool.h"
#include "shapes/text.h"

class TextTool : public BoardTool {
public:
    using BoardTool::BoardTool;

    // Armed: the text font and colours go onto the board canvas and the line
    // height (also the caret's height) is worked out for that font.
    void Selected(PointerContext& c) override;
    // A press first keeps what was typed (committed at once), so that the
    // restore of a press that moves before its release cannot wipe it.
    void Press(PointerContext& c, POINT p) override;
    // The release commits and opens a new text box at p.
    void Release(PointerContext& c, POINT p) override;

    // One byte of a character message (WM_CHAR): Enter (13) keeps the box,
    // Esc (27) discards it, Backspace (8) takes the last character back, other
    // control codes (Tab, ...) are ignored, the rest is typed.
    void Char(PointerContext& c, unsigned char code);
    // Ctrl+V while typing: clipboard text, typed as a block of lines (cut to
    // the paste bounds).
    void Paste(PointerContext& c, std::string_view clipboardText);
    // The text colour, background or font changed: the box is drawn again in
    // the new style and kept (typing ends). An empty box stays open.
    void Retype(PointerContext& c);
    // The board canvas has a new font: a new line height, and caret height.
    void FontApplied(PointerContext& c);
    // The tool is switched away or the board closes: the box's text is
    // committed, typing ends and the caret goes.
    void Disarm(PointerContext& c);
    // The window got the focus (WM_SETFOCUS): with the tool not armed, no box
    // stays open.
    void FocusGained(PointerContext& c);

    POINT CaretPos() const { return caret_; }
    int LineHeight() const { return lineHeight_; }
    const TypedText& Text() const { return text_; }

private:
    // Draws `text` at the text cursor, moves the caret, records the glyphs
    // (and the characters unless `noRecord`). Returns the number of lines.
    int TypeText(PointerContext& c, std::string_view text, bool noRecord);
    void Backspace(PointerContext& c);
    // Closes the box: no caret, no pending byte, nothing recorded.
    void EndTyping(PointerContext& c);

    RECT CaretRect(PointerContext& c, POINT p) const;
    void PlaceCaret(PointerContext& c, POINT p);
    void MoveCaret(PointerContext& c, POINT p);
    void RemoveCaret(PointerContext& c);

    bool caretMade_ = false;
    POINT caret_{};
    int lineHeight_ = 0;
    CharacterAssembler assembler_;
    TypedText text_;
};
