#pragma once
// Typed text: the bookkeeping of a text box, free of windows and canvases.
// Texts are multibyte in the system code page: a character is one byte, or
// a lead byte and a trail byte. Which bytes lead is the code page's business,
// so every routine that walks characters takes the lead-byte test as an
// argument (the board passes IsDBCSLeadByte; GBK's rule is here for tests and
// for code that must not depend on the running system).

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

// Whether `byte` starts a double-byte character.
using LeadByteTest = bool (*)(unsigned char byte);

// The lead bytes of GBK (code page 936): 0x81..0xFE.
bool IsGbkLeadByte(unsigned char byte);

// No byte below 0x40 ends a double-byte character in any double-byte code
// page: such a byte after a lead byte means the lead byte was stray.
inline constexpr unsigned char kLowestTrailByte = 0x40;

// The pieces of `text` between "\r\n" pairs (one piece when there is none;
// "ab\r\n" gives "ab" and "").
std::vector<std::string_view> SplitLines(std::string_view text);

// The characters of one line, each a one- or two-byte string, after removing
// every line-break byte. A lead byte at the very end (its trail byte never
// came) is dropped: it is half a character, and nothing past the end is read.
std::vector<std::string> SplitCharacters(std::string_view line, LeadByteTest isLead);

// Builds characters from the bytes of successive character messages, where
// a double-byte character arrives as two messages, lead byte first. While a
// lead byte is pending the next byte is its trail byte, even when that byte
// is itself in the lead-byte range (GBK's trail bytes 0x81..0xFE are).
class CharacterAssembler {
public:
    // The character completed by `byte` (one or two bytes), or "" when the
    // byte was kept as a lead byte or is a control code (below 32, or 127),
    // which types nothing.
    std::string Feed(unsigned char byte, LeadByteTest isLead);
    bool Pending() const { return pending_; }
    void Clear() { pending_ = false; }

private:
    bool pending_ = false;
    unsigned char lead_ = 0;
};

// The cell of one drawn character on the canvas, in pixels.
struct GlyphBox {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Text turned by `angleTenths` (tenths of a degree, counter-clockwise on the
// screen, as a font's escapement turns it) runs along (cos a, -sin a) and its
// lines follow each other along (sin a, cos a). The point `along` pixels
// along the line and `across` pixels across it (down the lines) from
// `origin`, rounded to the nearest pixel.
POINT TurnTextPoint(POINT origin, int along, int across, int angleTenths);
// The pixels covered by a `width` x `height` box (in the text's own upright
// frame) turned by `angleTenths` about its top-left corner `at`: the box
// itself at angle 0. The caret and Backspace's erase box are such boxes.
RECT TurnedBounds(POINT at, int width, int height, int angleTenths);

// Pixels to the right of a glyph's cell that Backspace also restores:
// italic and antialiased glyphs overhang their advance width.
inline constexpr int kGlyphOverhang = 3;

// The canvas rectangle Backspace restores for `box` drawn with a font turned
// by `angleTenths` (tenths of a degree, counter-clockwise, about the cell's
// top-left corner, as the font's escapement turns it): the cell widened by
// kGlyphOverhang, and, at an angle, the bounding box of that turned cell with
// a pixel of margin for antialiased edges.
RECT GlyphEraseRect(const GlyphBox& box, int angleTenths);

// Clipboard text accepted by one paste.
inline constexpr std::size_t kMaxPasteBytes = 8192;
inline constexpr int kMaxPasteLines = 100;

// Clipboard text made ready to type: it ends at the first NUL, every line
// break ("\r\n", or a lone "\r" or "\n") becomes "\r\n", and it is cut (never
// refused) after kMaxPasteLines lines or kMaxPasteBytes bytes, at a whole
// character, so no half character or stray lead byte is ever typed.
std::string BoundPastedText(std::string_view text, LeadByteTest isLead);

// Width in pixels of one character drawn with the current font.
using TextWidthOf = std::function<int(const std::string& character)>;

// The text of one text box: the characters typed so far, in typing order, and
// the cell of every character drawn, in drawing order.
struct TypedText {
    POINT origin{};
    int angleTenths = 0;  // the font's turn: glyphs and lines follow it
    std::vector<std::string> characters;
    std::vector<GlyphBox> glyphs;

    // A new, empty box at `point`.
    void Start(POINT point);

    // Records `text` drawn with its first line starting at `start`, lines
    // `lineHeight` apart: one glyph box per character, each line's boxes
    // starting at start.x (turned text: each box at its turned place, see
    // TurnTextPoint). The characters are appended too unless
    // `noRecord`. Returns the number of lines (0 for an empty text).
    int Record(std::string_view text, POINT start, int lineHeight, const TextWidthOf& widthOf,
               LeadByteTest isLead, bool noRecord);

    // Backspace: removes and returns the last glyph box, and the last
    // character when there is one for it; false when no glyph is left.
    bool PopLast(GlyphBox& removed);

    // The typed characters joined again, with a line break wherever the
    // next glyph sits on a lower (turned) line (as many breaks as lines were skipped,
    // so empty pasted lines survive).
    std::string Rebuild() const;

private:
    // How many pixels glyph b lies below glyph a, across the (turned) lines;
    // 0 within one line.
    int Below(const GlyphBox& a, const GlyphBox& b) const;
};
