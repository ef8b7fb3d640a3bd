#include "shapes/text.h"

#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace {

using Chars = std::vector<std::string>;

// GBK bytes of the characters the tests type (sources are UTF-8, so spell
// them out).
const std::string kZhong = "\xD6\xD0";  // 中: its trail byte is a lead byte too
const std::string kWen = "\xCE\xC4";    // 文: likewise
const std::string kHan = "\xBA\xBA";    // 汉

// 7 pixels per single-byte character, 14 per double-byte one.
int FixedWidth(const std::string& character) { return character.size() == 1 ? 7 : 14; }

}  // namespace

// ---- SplitCharacters ----

struct SplitCase {
    const char* name;
    std::string line;
    Chars expected;
};

TEST(TextSplitCharacters, OneEntryPerCharacter) {
    const SplitCase cases[] = {
        {"empty", "", {}},
        {"ascii", "ab", {"a", "b"}},
        {"double-byte", kZhong + kWen, {kZhong, kWen}},
        {"mixed", "a" + kZhong + "b", {"a", kZhong, "b"}},
        {"line breaks removed", "a\r\nb\rc\nd", {"a", "b", "c", "d"}},
        {"trail byte in lead range is not a new lead", kZhong + kZhong, {kZhong, kZhong}},
        {"lone lead byte at the end dropped", "ab\xD6", {"a", "b"}},
        {"only a lead byte", "\xD6", {}},
    };
    for (const SplitCase& c : cases) {
        EXPECT_EQ(SplitCharacters(c.line, IsGbkLeadByte), c.expected) << c.name;
    }
}

TEST(TextSplitCharacters, NeverReadsPastTheEndOfTheLine) {
    // The byte after the view would make a valid character with the lone lead
    // byte; taking it would mean reading memory that is not the line's.
    const std::string backing = "a\xD6" "b";
    const std::vector<std::string> chars =
        SplitCharacters(std::string_view(backing.data(), 2), IsGbkLeadByte);
    EXPECT_EQ(chars, Chars{"a"});
}

// ---- CharacterAssembler: the bytes of successive character messages ----

struct FeedCase {
    const char* name;
    std::vector<unsigned char> bytes;
    Chars typed;  // non-empty results of Feed, in order
    bool pendingAfter;
};

TEST(TextCharacterAssembler, AssemblesDoubleByteCharactersFromTwoMessages) {
    const FeedCase cases[] = {
        {"ascii", {'a', 'b'}, {"a", "b"}, false},
        // D0 and C4 are in the lead-byte range: taken as trail bytes all the same.
        {"zhongwen", {0xD6, 0xD0, 0xCE, 0xC4}, {kZhong, kWen}, false},
        {"lead waits", {0xD6}, {}, true},
        {"mixed", {'a', 0xBA, 0xBA, 'b'}, {"a", kHan, "b"}, false},
        {"control codes type nothing", {9, 1, 30, 31, 127}, {}, false},
        {"space types", {' '}, {" "}, false},
        // A byte below 0x40 can end no double-byte character: the lead was stray.
        {"stray lead before a space", {0xD6, ' '}, {" "}, false},
        {"stray lead before tab", {0xD6, 9, 'a'}, {"a"}, false},
        {"ascii trail byte", {0x81, 'A'}, {std::string("\x81" "A")}, false},
    };
    for (const FeedCase& c : cases) {
        CharacterAssembler assembler;
        Chars typed;
        for (unsigned char b : c.bytes) {
            std::string character = assembler.Feed(b, IsGbkLeadByte);
            if (!character.empty()) typed.push_back(character);
        }
        EXPECT_EQ(typed, c.typed) << c.name;
        EXPECT_EQ(assembler.Pending(), c.pendingAfter) << c.name;
    }
}

TEST(TextCharacterAssembler, ClearForgetsThePendingLeadByte) {
    CharacterAssembler assembler;
    EXPECT_EQ(assembler.Feed(0xD6, IsGbkLeadByte), "");
    assembler.Clear();
    // 0xD0 now starts a character of its own instead of finishing 中.
    EXPECT_EQ(assembler.Feed(0xD0, IsGbkLeadByte), "");
    EXPECT_TRUE(assembler.Pending());
    EXPECT_EQ(assembler.Feed(0xA1, IsGbkLeadByte), "\xD0\xA1");
}

// ---- GlyphEraseRect ----

TEST(TextGlyphEraseRect, UnturnedCellPlusOverhang) {
    const GlyphBox box{17, 20, 7, 14};
    for (int angle : {0, 3600, -3600}) {
        const RECT r = GlyphEraseRect(box, angle);
        EXPECT_EQ(r.left, 17) << angle;
        EXPECT_EQ(r.top, 20) << angle;
        EXPECT_EQ(r.right, 17 + 7 + kGlyphOverhang) << angle;
        EXPECT_EQ(r.bottom, 34) << angle;
    }
}

struct TurnCase {
    int angle;
    RECT expected;
};

TEST(TextGlyphEraseRect, TurnedCellIsCoveredByItsBoundingBox) {
    // Cell 10 x 14 at (100, 100), widened to 13 by the overhang.
    const GlyphBox box{100, 100, 10, 14};
    const TurnCase cases[] = {
        // Counter-clockwise on the screen: the text runs upward at 90 degrees.
        {900, RECT{99, 86, 115, 101}},
        {1800, RECT{86, 85, 101, 101}},
        {2700, RECT{85, 99, 101, 114}},
        {-900, RECT{85, 99, 101, 114}},
    };
    for (const TurnCase& c : cases) {
        const RECT r = GlyphEraseRect(box, c.angle);
        EXPECT_EQ(r.left, c.expected.left) << c.angle;
        EXPECT_EQ(r.top, c.expected.top) << c.angle;
        EXPECT_EQ(r.right, c.expected.right) << c.angle;
        EXPECT_EQ(r.bottom, c.expected.bottom) << c.angle;
    }
}

TEST(TextGlyphEraseRect, EveryCornerOfAnObliqueCellInside) {
    const GlyphBox box{200, 300, 10, 14};
    const double w = box.width + kGlyphOverhang;
    for (int angle = 50; angle < 3600; angle += 150) {
        const RECT r = GlyphEraseRect(box, angle);
        const double a = angle / 10.0 * 3.1415926535 / 180.0;
        const double corners[4][2] = {{0, 0}, {w, 0}, {0, 14.0}, {w, 14.0}};
        for (const auto& k : corners) {
            const double x = box.x + k[0] * std::cos(a) + k[1] * std::sin(a);
            const double y = box.y - k[0] * std::sin(a) + k[1] * std::cos(a);
            EXPECT_GT(x, r.left) << angle;
            EXPECT_LT(x, r.right) << angle;
            EXPECT_GT(y, r.top) << angle;
            EXPECT_LT(y, r.bottom) << angle;
        }
        // Not the whole neighbourhood: at most the turned cell's span + 2.
        EXPECT_LE(r.right - r.left, static_cast<int>(w + 14.0) + 3) << angle;
    }
}

// ---- BoundPastedText ----

struct PasteCase {
    const char* name;
    std::string clipboard;
    std::string typed;
};

TEST(TextBoundPastedText, NormalisesLineBreaksAndDropsHalfCharacters) {
    const PasteCase cases[] = {
        {"two lines kept", "ab\r\ncd", "ab\r\ncd"},
        {"lone LF", "ab\ncd", "ab\r\ncd"},
        {"lone CR", "ab\rcd", "ab\r\ncd"},
        {"ends at NUL", std::string("ab\0cd", 5), "ab"},
        {"double-byte kept", kZhong + "a" + kWen, kZhong + "a" + kWen},
        {"lone lead byte at end", "ab\xD6", "ab"},
        {"lead byte before a line break", "a\xD6\r\nb", "a\r\nb"},
    };
    for (const PasteCase& c : cases) {
        EXPECT_EQ(BoundPastedText(c.clipboard, IsGbkLeadByte), c.typed) << c.name;
    }
}

TEST(TextBoundPastedText, LargeTextIsCutNotRefused) {
    // Too many lines: the first kMaxPasteLines survive.
    std::string manyLines;
    for (int i = 0; i < kMaxPasteLines + 50; ++i) manyLines += "line\r\n";
    const std::string cut = BoundPastedText(manyLines, IsGbkLeadByte);
    EXPECT_EQ(SplitLines(cut).size(), static_cast<std::size_t>(kMaxPasteLines));
    EXPECT_EQ(cut.substr(0, 10), "line\r\nline");

    // Too many bytes: cut at the limit, never inside a double-byte character.
    const std::string big(kMaxPasteBytes * 4, 'x');
    EXPECT_EQ(BoundPastedText(big, IsGbkLeadByte).size(), kMaxPasteBytes);
    const std::string straddling = std::string(kMaxPasteBytes - 1, 'x') + kZhong + "tail";
    const std::string bounded = BoundPastedText(straddling, IsGbkLeadByte);
    EXPECT_EQ(bounded, std::string(kMaxPasteBytes - 1, 'x'));
}

// ---- TypedText ----

TEST(TextTypedText, PastedBlockLinesStartAtTheSameX) {
    TypedText text;
    text.Start(POINT{10, 20});
    EXPECT_EQ(text.Record("ab\r\ncd", POINT{10, 20}, 14, FixedWidth, IsGbkLeadByte, false), 2);
    ASSERT_EQ(text.glyphs.size(), 4u);
    const int expected[4][2] = {{10, 20}, {17, 20}, {10, 34}, {17, 34}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(text.glyphs[i].x, expected[i][0]) << i;
        EXPECT_EQ(text.glyphs[i].y, expected[i][1]) << i;
        EXPECT_EQ(text.glyphs[i].height, 14) << i;
    }
    EXPECT_EQ(text.characters, (Chars{"a", "b", "c", "d"}));
}

TEST(TextTypedText, DoubleByteCharacterIsOneGlyph) {
    TypedText text;
    text.Start(POINT{0, 0});
    text.Record("a", POINT{0, 0}, 14, FixedWidth, IsGbkLeadByte, false);
    text.Record(kZhong, POINT{7, 0}, 14, FixedWidth, IsGbkLeadByte, false);
    ASSERT_EQ(text.glyphs.size(), 2u);
    EXPECT_EQ(text.glyphs[1].x, 7);
    EXPECT_EQ(text.glyphs[1].width, 14);
    EXPECT_EQ(text.characters, (Chars{"a", kZhong}));
}

TEST(TextTypedText, BackspaceRemovesTheLastGlyphAndCharacter) {
    TypedText text;
    text.Start(POINT{5, 5});
    text.Record("a", POINT{5, 5}, 14, FixedWidth, IsGbkLeadByte, false);
    text.Record("b", POINT{12, 5}, 14, FixedWidth, IsGbkLeadByte, false);
    GlyphBox removed;
    ASSERT_TRUE(text.PopLast(removed));
    EXPECT_EQ(removed.x, 12);
    EXPECT_EQ(text.characters, Chars{"a"});
    ASSERT_TRUE(text.PopLast(removed));
    EXPECT_TRUE(text.characters.empty());
    EXPECT_FALSE(text.PopLast(removed));  // nothing left: nothing happens
}

TEST(TextTypedText, UnrecordedGlyphsLeaveTheCharactersAlone) {
    TypedText text;
    text.Start(POINT{0, 0});
    text.Record("ab", POINT{0, 0}, 14, FixedWidth, IsGbkLeadByte, false);
    text.Record("c", POINT{14, 0}, 14, FixedWidth, IsGbkLeadByte, true);
    EXPECT_EQ(text.glyphs.size(), 3u);
    GlyphBox removed;
    text.PopLast(removed);  // the unrecorded "c": both characters stay
    EXPECT_EQ(text.characters, (Chars{"a", "b"}));
    text.PopLast(removed);
    EXPECT_EQ(text.characters, Chars{"a"});
}

TEST(TextTypedText, EmptyTextRecordsNothing) {
    TypedText text;
    EXPECT_EQ(text.Record("", POINT{0, 0}, 14, FixedWidth, IsGbkLeadByte, false), 0);
    EXPECT_TRUE(text.glyphs.empty());
}

TEST(TextTypedText, RebuildGivesBackWhatWasTyped) {
    const std::string texts[] = {
        "abc",
        "ab\r\ncd",
        kZhong + kWen + "ab",
        "ab\r\n\r\ncd",  // an empty pasted line survives the redraw
        "a\r\n" + kHan + "\r\nz",
    };
    for (const std::string& typed : texts) {
        TypedText text;
        text.Start(POINT{10, 20});
        text.Record(typed, POINT{10, 20}, 14, FixedWidth, IsGbkLeadByte, false);
        EXPECT_EQ(text.Rebuild(), typed);
    }
    TypedText turned;  // turned lines come back as lines too
    turned.angleTenths = 450;
    turned.Record(texts[3], POINT{10, 20}, 14, FixedWidth, IsGbkLeadByte, false);
    EXPECT_EQ(turned.Rebuild(), texts[3]);
}
