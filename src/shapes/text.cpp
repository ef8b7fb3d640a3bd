#include "shapes/text.h"

#include <algorithm>
#include <cmath>

#include "shapes/geometry.h"

bool IsGbkLeadByte(unsigned char byte) { return byte >= 0x81 && byte <= 0xFE; }

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t from = 0;
    for (;;) {
        const std::size_t at = text.find("\r\n", from);
        if (at == std::string_view::npos) {
            lines.push_back(text.substr(from));
            return lines;
        }
        lines.push_back(text.substr(from, at - from));
        from = at + 2;
    }
}

std::vector<std::string> SplitCharacters(std::string_view line, LeadByteTest isLead) {
    std::string bytes;
    bytes.reserve(line.size());
    for (char c : line) {
        if (c != '\r' && c != '\n') bytes.push_back(c);
    }
    std::vector<std::string> characters;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        if (isLead(byte)) {
            if (i + 1 >= bytes.size()) break;  // a lone lead byte at the end
            characters.push_back(bytes.substr(i, 2));
            i += 2;
        } else {
            characters.push_back(bytes.substr(i, 1));
            i += 1;
        }
    }
    return characters;
}

std::string CharacterAssembler::Feed(unsigned char byte, LeadByteTest isLead) {
    if (pending_) {
        pending_ = false;
        if (byte >= kLowestTrailByte) return std::string{static_cast<char>(lead_), static_cast<char>(byte)};
        // The lead byte was stray; this byte stands on its own.
    }
    if (isLead(byte)) {
        pending_ = true;
        lead_ = byte;
        return {};
    }
    if (byte < 32 || byte == 127) return {};
    return std::string(1, static_cast<char>(byte));
}

namespace {

// cos and sin of a turn; snapped to a millionth so that cos 90 (1e-10 with
// this pi) counts as 0.
struct Turn {
    double c;
    double s;
};
Turn TurnOf(int angleTenths) {
    const double a = angleTenths / 10.0 * kPi / 180.0;
    const auto snap = [](double v) { return std::round(v * 1e6) / 1e6; };
    return Turn{snap(std::cos(a)), snap(std::sin(a))};
}

}  // namespace

POINT TurnTextPoint(POINT origin, int along, int across, int angleTenths) {
    if (angleTenths % 3600 == 0) return POINT{origin.x + along, origin.y + across};
    const Turn t = TurnOf(angleTenths);
    return POINT{origin.x + static_cast<LONG>(std::lround(along * t.c + across * t.s)),
                 origin.y + static_cast<LONG>(std::lround(-along * t.s + across * t.c))};
}

RECT TurnedBounds(POINT at, int width, int height, int angleTenths) {
    if (angleTenths % 3600 == 0) return RECT{at.x, at.y, at.x + width, at.y + height};
    const Turn t = TurnOf(angleTenths);
    double minX = 0.0, maxX = 0.0, minY = 0.0, maxY = 0.0;
    const double corners[3][2] = {{static_cast<double>(width), 0.0},
                                  {0.0, static_cast<double>(height)},
                                  {static_cast<double>(width), static_cast<double>(height)}};
    for (const auto& corner : corners) {
        const double x = corner[0] * t.c + corner[1] * t.s;
        const double y = -corner[0] * t.s + corner[1] * t.c;
        minX = std::min(minX, x);
        maxX = std::max(maxX, x);
        minY = std::min(minY, y);
        maxY = std::max(maxY, y);
    }
    return RECT{at.x + static_cast<int>(std::floor(minX)), at.y + static_cast<int>(std::floor(minY)),
                at.x + static_cast<int>(std::ceil(maxX)), at.y + static_cast<int>(std::ceil(maxY))};
}

RECT GlyphEraseRect(const GlyphBox& box, int angleTenths) {
    const int width = box.width + kGlyphOverhang;
    const RECT r = TurnedBounds(POINT{box.x, box.y}, width, box.height, angleTenths);
    if (angleTenths % 3600 == 0) return r;
    // A pixel of margin for antialiased edges.
    return RECT{r.left - 1, r.top - 1, r.right + 1, r.bottom + 1};
}

std::string BoundPastedText(std::string_view text, LeadByteTest isLead) {
    const std::size_t end = text.find('\0');
    if (end != std::string_view::npos) text = text.substr(0, end);

    std::string out;
    int lines = 1;
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte == '\r' || byte == '\n') {
            // "\r\n" is one break; a lone "\r" or "\n" is one too.
            i += (byte == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
            if (lines == kMaxPasteLines || out.size() + 2 > kMaxPasteBytes) break;
            out += "\r\n";
            ++lines;
            continue;
        }
        std::size_t length = 1;
        if (isLead(byte)) {
            // Half a character at the end, or a lead byte before a line break
            // or control byte, is dropped rather than glued to what follows.
            if (i + 1 >= text.size() || static_cast<unsigned char>(text[i + 1]) < kLowestTrailByte) {
                i += 1;
                continue;
            }
            length = 2;
        }
        if (out.size() + length > kMaxPasteBytes) break;
        out.append(text.substr(i, length));
        i += length;
    }
    return out;
}

void TypedText::Start(POINT point) {
    origin = point;
    characters.clear();
    glyphs.clear();
}

int TypedText::Record(std::string_view text, POINT start, int lineHeight, const TextWidthOf& widthOf,
                      LeadByteTest isLead, bool noRecord) {
    if (text.empty()) return 0;
    const std::vector<std::string_view> lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::vector<std::string> chars = SplitCharacters(lines[i], isLead);
        if (!noRecord) characters.insert(characters.end(), chars.begin(), chars.end());
        const int across = static_cast<int>(i) * lineHeight;
        int along = 0;
        for (const std::string& character : chars) {
            const int width = widthOf(character);
            const POINT at = TurnTextPoint(start, along, across, angleTenths);
            glyphs.push_back(GlyphBox{at.x, at.y, width, lineHeight});
            along += width;
        }
    }
    return static_cast<int>(lines.size());
}

bool TypedText::PopLast(GlyphBox& removed) {
    if (glyphs.empty()) return false;
    const std::size_t n = glyphs.size();
    removed = glyphs.back();
    glyphs.pop_back();
    if (characters.size() >= n) characters.resize(n - 1);
    return true;
}

int TypedText::Below(const GlyphBox& a, const GlyphBox& b) const {
    if (angleTenths % 3600 == 0) return b.y - a.y;
    // How far b lies across the turned lines from a (within a line, rounding
    // leaves at most a pixel or two).
    const Turn t = TurnOf(angleTenths);
    const double across = (b.x - a.x) * t.s + (b.y - a.y) * t.c;
    return across > a.height / 2.0 ? static_cast<int>(std::lround(across)) : 0;
}

std::string TypedText::Rebuild() const {
    std::string text;
    for (std::size_t i = 0; i < characters.size(); ++i) {
        const int dy = i > 0 && i < glyphs.size() ? Below(glyphs[i - 1], glyphs[i]) : 0;
        if (dy > 0) {
            const int step = glyphs[i - 1].height;
            const int breaks = (step > 0 && dy > 0) ? std::max(1, (dy + step / 2) / step) : 1;
            for (int b = 0; b < breaks; ++b) text += "\r\n";
        }
        text += characters[i];
    }
    return text;
}
