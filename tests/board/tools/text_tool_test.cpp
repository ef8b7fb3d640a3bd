// The text tool on its own: the tool table's object driven with a local
// state, local canvases and local settings, without a window. The bytes go
// in as the board's character messages hand them over.

#include "board/tools/text_tool.h"

#include <windows.h>

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "board/tools/tool_table.h"
#include "support/local_board.h"

namespace {

constexpr COLORREF kWhite = 0xFFFFFF;

class TextToolTest : public ::testing::Test {
protected:
    LocalBoard b{300, 200, kWhite};
    std::unique_ptr<BoardTool> made = MakeTool(ToolText);
    TextTool& tool = static_cast<TextTool&>(*made);

    void SetUp() override { tool.Selected(b.context); }

    // A bigger (or turned) font than the default, as the board applies it.
    void UseFont(int size, int angle = 0) {
        FontSpec spec = b.board.Font();
        spec.size = size;
        spec.angle = angle;
        b.board.Font(spec);
        tool.FontApplied(b.context);
    }
    void ClickAt(POINT p) { b.Drag(tool, p, {}); }
    void Type(const std::string& bytes) {
        for (char ch : bytes) tool.Char(b.context, static_cast<unsigned char>(ch));
    }
    // Pixels of `canvas` in r that are not white / that have `color`.
    static int Inked(const Canvas& canvas, RECT r) { return Count(canvas, r, [](COLORREF c) { return c != kWhite; }); }
    template <class Test>
    static int Count(const Canvas& canvas, RECT r, Test test) {
        int n = 0;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) n += test(canvas.GetPixel(x, y)) ? 1 : 0;
        return n;
    }
    static RECT Cell(const GlyphBox& g) { return RECT{g.x, g.y, g.x + g.width, g.y + g.height}; }
    const RECT kAll{0, 0, 300, 200};
};

}  // namespace

TEST_F(TextToolTest, BackspaceRestoresTheLastGlyphsBoxAndMovesTheCaretBack) {
    ClickAt({20, 30});
    Type("ab");
    ASSERT_EQ(tool.Text().glyphs.size(), 2u);
    const GlyphBox a = tool.Text().glyphs[0];
    const GlyphBox bBox = tool.Text().glyphs[1];
    ASSERT_GT(Inked(b.board, Cell(bBox)), 0);

    Type("\b");
    EXPECT_EQ(tool.CaretPos().x, bBox.x);
    EXPECT_EQ(tool.CaretPos().y, 30);
    EXPECT_EQ(Inked(b.board, RECT{bBox.x, bBox.y, bBox.x + bBox.width + 3, bBox.y + bBox.height}), 0);
    EXPECT_GT(Inked(b.board, Cell(a)), 0);  // "a" stays
    EXPECT_EQ(tool.Text().characters, std::vector<std::string>{"a"});
    Type("\t");  // a control code types nothing
    EXPECT_EQ(tool.Text().glyphs.size(), 1u);
    Type("c");  // typed where "b" was
    EXPECT_EQ(tool.Text().glyphs.back().x, bBox.x);
}

TEST_F(TextToolTest, EnterKeepsTheTextAndEscThrowsItAway) {
    struct Case {
        unsigned char key;
        bool kept;
    };
    for (const Case c : {Case{'\r', true}, Case{27, false}}) {
        LocalBoard board{300, 200, kWhite};
        auto t = MakeTool(ToolText);
        auto& text = static_cast<TextTool&>(*t);
        text.Selected(board.context);
        board.Drag(text, {20, 30}, {});
        text.Char(board.context, 'x');
        text.Char(board.context, c.key);
        EXPECT_FALSE(board.state.typing) << int(c.key);
        EXPECT_EQ(Inked(board.back, kAll) > 0, c.kept) << int(c.key);
        EXPECT_EQ(Inked(board.board, kAll) > 0, c.kept) << int(c.key);
        text.Char(board.context, 'y');  // the box is closed: nothing more is typed
        const int after = 20 + board.board.TextWidth("x") + 2;
        EXPECT_EQ(Inked(board.board, RECT{after, 0, 300, 200}), 0) << int(c.key);
    }
}

TEST_F(TextToolTest, APressThatMovesBeforeItsReleaseKeepsTheTypedText) {
    ClickAt({20, 30});
    Type("ab");
    b.Drag(tool, {150, 100}, {{152, 101}});
    EXPECT_GT(Inked(b.board, RECT{20, 30, 60, 60}), 0);
    EXPECT_GT(Inked(b.back, RECT{20, 30, 60, 60}), 0);
    EXPECT_TRUE(b.state.typing);  // and a new box is open at the release
    EXPECT_EQ(tool.CaretPos().x, 152);
}

TEST_F(TextToolTest, SwitchingToolsKeepsTheTypedText) {
    ClickAt({20, 30});
    Type("ab");
    tool.Disarm(b.context);
    EXPECT_FALSE(b.state.textToolActive);
    EXPECT_FALSE(b.state.typing);
    EXPECT_GT(Inked(b.back, RECT{20, 30, 60, 60}), 0);
}

TEST_F(TextToolTest, BackspaceOnTurnedTextLeavesNoRemnant) {
    // Turned glyphs run up or left of the click too: nothing clips them.
    for (int angle : {300, 450, 900, 1800, 3300}) {
        UseFont(28, angle);
        ClickAt({150, 100});
        Type("W");
        ASSERT_GT(Inked(b.board, kAll), 0) << angle;
        Type("\b");
        EXPECT_EQ(Inked(b.board, kAll), 0) << angle;
        Type("\r");
    }
}
