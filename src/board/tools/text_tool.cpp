#include "board/tools/text_tool.h"

#include <string>

#include "settings/settings.h"
#include "board/areas.h"

namespace {

constexpr int kCaretWidth = 2;

bool SystemLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

// The caret belongs to the window's thread: no other thread touches it.
bool OnCaretThread(HWND window) {
    return window != nullptr && GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

}  // namespace

// ---- caret ----

// The caret's pixels at p: an upright bar, turned with the font.
RECT TextTool::CaretRect(PointerContext& c, POINT p) const {
    return TurnedBounds(p, kCaretWidth, lineHeight_, c.board.Font().angle);
}

void TextTool::PlaceCaret(PointerContext& c, POINT p) {
    RemoveCaret(c);
    caret_ = p;
    if (!OnCaretThread(c.window)) return;
    const RECT r = CaretRect(c, p);
    caretMade_ = CreateCaret(c.window, nullptr, r.right - r.left, r.bottom - r.top) != FALSE;
    if (!caretMade_) return;
    SetCaretPos(r.left, r.top);
    ShowCaret(c.window);
}

void TextTool::MoveCaret(PointerContext& c, POINT p) {
    caret_ = p;
    const RECT r = CaretRect(c, p);
    if (caretMade_ && OnCaretThread(c.window)) SetCaretPos(r.left, r.top);
}

void TextTool::RemoveCaret(PointerContext& c) {
    if (caretMade_ && OnCaretThread(c.window)) DestroyCaret();
    caretMade_ = false;
}

// ---- arming and the pointer ----

void TextTool::Selected(PointerContext& c) {
    c.state.textToolActive = true;
    c.board.Font(GetTextFont());
    c.board.TextColor(static_cast<COLORREF>(c.settings.textColor.load()));
    const int background = c.settings.backColor.load();
    c.board.TextTransparent(background == kNoTextBackground);
    if (background != kNoTextBackground) c.board.TextBackColor(static_cast<COLORREF>(background));
    FontApplied(c);
}

void TextTool::FontApplied(PointerContext& c) { lineHeight_ = c.board.TextHeight("A"); }

void TextTool::Press(PointerContext& c, POINT p) {
    if (c.state.typing) {
        c.Commit();
        EndTyping(c);
    }
    RemoveCaret(c);  // placed again on the release
    BoardTool::Press(c, p);
}

void TextTool::Release(PointerContext& c, POINT p) {
    c.Commit();
    PlaceCaret(c, p);
    c.board.SetTextPos(p.x, p.y);
    text_.Start(p);
    assembler_.Clear();
    c.state.typing = true;
}

// ---- typing ----

void TextTool::Char(PointerContext& c, unsigned char code) {
    if (!c.state.textToolActive) {
        c.state.typing = false;
        return;
    }
    if (!c.state.typing) return;
    switch (code) {
    case '\r':  // keeps the text; Enter never starts a new line
        c.Commit();
        EndTyping(c);
        return;
    case 27:  // the box's text goes: back to the committed drawing
        c.Restore();
        EndTyping(c);
        c.Show();
        return;
    case '\b':
        Backspace(c);
        return;
    default:
        break;
    }
    const std::string character = assembler_.Feed(code, &SystemLeadByte);
    if (character.empty()) return;  // half a character, or a control code
    TypeText(c, character, false);
    c.Show();
}

void TextTool::Paste(PointerContext& c, std::string_view clipboardText) {
    if (!c.state.typing) return;
    assembler_.Clear();
    TypeText(c, BoundPastedText(clipboardText, &SystemLeadByte), false);
    c.Show();
}

int TextTool::TypeText(PointerContext& c, std::string_view text, bool noRecord) {
    if (text.empty()) return 0;
    POINT caret = caret_;
    const POINT start = c.board.GetTextPos();
    const bool hide = caretMade_ && OnCaretThread(c.window);
    if (hide) HideCaret(c.window);
    text_.angleTenths = c.board.Font().angle;
    const bool oneLine = SplitLines(text).size() == 1;
    if (oneLine) {
        c.board.WriteText(text);
        // Turned text moves the cursor along its turned line.
        if (text_.angleTenths % 3600 == 0) caret.x += c.board.TextWidth(text);
        else caret = c.board.GetTextPos();
    } else {
        c.board.WriteLine(text, 0);  // every line from the cursor's x; the cursor goes below
        caret = c.board.GetTextPos();
    }
    MoveCaret(c, caret);
    if (hide) ShowCaret(c.window);
    const TextWidthOf widthOf = [&c](const std::string& character) { return c.board.TextWidth(character); };
    const std::size_t known = text_.glyphs.size();
    const int lines = text_.Record(text, start, lineHeight_, widthOf, &SystemLeadByte, noRecord);
    // Where the text went: the cells of a line of upright text, with a line's
    // height around them for italic overhang and underline; turned or
    // several lines of text are shown whole.
    if (!oneLine || c.board.Font().angle % 3600 != 0) {
        c.DrewEverything();
    } else {
        RECT cells{};
        for (std::size_t i = known; i < text_.glyphs.size(); ++i)
            cells = AreaUnion(cells, GlyphEraseRect(text_.glyphs[i], 0));
        c.Drew(AreaGrow(cells, lineHeight_ + 2));
    }
    return lines;
}

void TextTool::Backspace(PointerContext& c) {
    GlyphBox box;
    if (!text_.PopLast(box)) return;
    // The glyph's cell (turned with the font), from the committed drawing.
    const RECT r = GlyphEraseRect(box, c.board.Font().angle);
    BitBlt(c.board.DeviceContext(), r.left, r.top, r.right - r.left, r.bottom - r.top,
           c.back.DeviceContext(), r.left, r.top, SRCCOPY);
    c.Drew(r);
    MoveCaret(c, POINT{box.x, box.y});
    c.board.SetTextPos(box.x, box.y);
    c.Show();
}

void TextTool::Retype(PointerContext& c) {
    if (!c.state.typing) return;
    assembler_.Clear();
    c.Restore();  // the box's text goes, to come back in the new style
    const POINT origin = text_.origin;
    PlaceCaret(c, origin);  // at the (new) line height
    c.board.SetTextPos(origin.x, origin.y);
    if (text_.characters.empty()) {
        c.Show();  // an empty box stays open where it was
        return;
    }
    const std::string typed = text_.Rebuild();
    text_.glyphs.clear();
    TypeText(c, typed, true);  // the characters are recorded already
    c.Show();
    c.Commit();
    EndTyping(c);
}

void TextTool::EndTyping(PointerContext& c) {
    assembler_.Clear();
    RemoveCaret(c);
    text_.Start(text_.origin);
    c.state.typing = false;
}

void TextTool::Disarm(PointerContext& c) {
    c.state.textToolActive = false;
    if (c.state.typing) c.Commit();  // a switch keeps the box's text
    EndTyping(c);
}

void TextTool::FocusGained(PointerContext& c) {
    if (!c.state.textToolActive) EndTyping(c);
}
