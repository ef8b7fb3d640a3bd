// Text at the canvas's text cursor. Font metrics differ between platforms, so
// these tests compare the cursor with the canvas's own measurements and look
// for ink in the right places rather than at exact glyph pixels.

#include <windows.h>

#include <gtest/gtest.h>

#include "graphics/canvas.h"
#include "graphics/canvas_draw_test_support.h"

using namespace canvas_test;

namespace {
// Rows (within x range [left, right)) that hold any ink.
bool RowsHaveInk(const Canvas& c, int left, int right, int top, int bottom) {
    return CountInk(c, RECT{left, top, right, bottom}) > 0;
}
}  // namespace

TEST(CanvasText, WriteTextOfTwoLinesStartsBothAtTheCursorAndEndsAfterTheLastLine) {
    Canvas c;
    ASSERT_TRUE(c.Create(300, 120, kWhite));
    const int lineHeight = c.TextHeight("Ab");
    ASSERT_GT(lineHeight, 0);
    const int shortWidth = c.TextWidth("Ab");
    const int longWidth = c.TextWidth("Wide second line");
    ASSERT_GT(longWidth, shortWidth + 20);

    c.SetTextPos(10, 20);
    c.WriteText("Ab\r\nWide second line");

    const POINT cursor = c.GetTextPos();
    EXPECT_EQ(cursor.x, 10 + longWidth);
    EXPECT_EQ(cursor.y, 20 + lineHeight);

    // Nothing left of the cursor's old x or above its old y.
    EXPECT_EQ(CountInk(c, RECT{0, 0, 10, 120}), 0);
    EXPECT_EQ(CountInk(c, RECT{0, 0, 300, 20}), 0);
    // First line: ink only within its own width.
    EXPECT_TRUE(RowsHaveInk(c, 10, 10 + shortWidth, 20, 20 + lineHeight));
    EXPECT_FALSE(RowsHaveInk(c, 10 + shortWidth + 2, 300, 20, 20 + lineHeight));
    // Second line: one line lower, starting at x 10 again and reaching far right.
    EXPECT_TRUE(RowsHaveInk(c, 10, 14, 20 + lineHeight, 20 + 2 * lineHeight));
    EXPECT_TRUE(RowsHaveInk(c, 10 + longWidth - 12, 10 + longWidth, 20 + lineHeight,
                            20 + 2 * lineHeight));
    EXPECT_EQ(CountInk(c, RECT{0, 20 + 2 * lineHeight, 300, 120}), 0);
}

TEST(CanvasText, WriteTextContinuesOnTheSameLine) {
    Canvas c;
    ASSERT_TRUE(c.Create(300, 60, kWhite));
    c.SetTextPos(5, 7);
    c.WriteText("abc");
    EXPECT_EQ(c.GetTextPos().x, 5 + c.TextWidth("abc"));
    EXPECT_EQ(c.GetTextPos().y, 7);
    const int inkBefore = CountInk(c, RECT{0, 0, 300, 60});
    c.WriteText("def");
    EXPECT_EQ(c.GetTextPos().x, 5 + c.TextWidth("abc") + c.TextWidth("def"));
    EXPECT_EQ(c.GetTextPos().y, 7);
    // The second piece went to the right of the first one.
    EXPECT_GT(CountInk(c, RECT{5 + c.TextWidth("abc"), 0, 300, 60}), 0);
    EXPECT_GT(CountInk(c, RECT{0, 0, 300, 60}), inkBefore);
}

TEST(CanvasText, WriteTextOfNothingLeavesTheCursor) {
    Canvas c;
    ASSERT_TRUE(c.Create(100, 40, kWhite));
    c.SetTextPos(10, 10);
    c.WriteText("");
    EXPECT_EQ(c.GetTextPos().x, 10);
    EXPECT_EQ(c.GetTextPos().y, 10);
}

TEST(CanvasText, WriteLineMovesDownByTheDrawnHeightPlusTheGap) {
    Canvas c;
    ASSERT_TRUE(c.Create(200, 200, kWhite));
    const int lineHeight = c.TextHeight("x");
    c.SetTextPos(10, 20);
    c.WriteLine("one", 5);
    EXPECT_EQ(c.GetTextPos().x, 10);
    EXPECT_EQ(c.GetTextPos().y, 20 + lineHeight + 5);
    EXPECT_TRUE(RowsHaveInk(c, 10, 200, 20, 20 + lineHeight));

    c.WriteLine("two\r\nthree", 3);  // two lines drawn
    EXPECT_EQ(c.GetTextPos().y, 20 + lineHeight + 5 + 2 * lineHeight + 3);
    EXPECT_EQ(c.GetTextPos().x, 10);
}

TEST(CanvasText, OutputTextDrawsAtTheCursorWithoutMovingIt) {
    Canvas c;
    ASSERT_TRUE(c.Create(200, 80, kWhite));
    c.SetTextPos(50, 30);
    EXPECT_TRUE(c.OutputText(std::nullopt, std::nullopt, "Hello"));
    EXPECT_EQ(c.GetTextPos().x, 50);
    EXPECT_EQ(c.GetTextPos().y, 30);
    EXPECT_EQ(CountInk(c, RECT{0, 0, 50, 80}), 0);
    EXPECT_GT(CountInk(c, RECT{50, 30, 200, 80}), 0);

    // A given x overrides the cursor's; y still comes from the cursor.
    EXPECT_TRUE(c.OutputText(2, std::nullopt, "W"));
    EXPECT_GT(CountInk(c, RECT{0, 30, 50, 80}), 0);
    EXPECT_EQ(CountInk(c, RECT{0, 0, 50, 30}), 0);
}

TEST(CanvasText, DrawTextInRectHonoursTheCountAndTheFlags) {
    Canvas whole, part, measured;
    ASSERT_TRUE(whole.Create(200, 40, kWhite));
    ASSERT_TRUE(part.Create(200, 40, kWhite));
    ASSERT_TRUE(measured.Create(200, 40, kWhite));
    const RECT box{0, 0, 200, 40};

    const int h = whole.DrawTextInRect("MMMMMM", std::nullopt, box, DT_NOPREFIX);
    EXPECT_EQ(h, whole.TextHeight("M"));
    part.DrawTextInRect("MMMMMM", 2, box, DT_NOPREFIX);
    const int twoWidth = part.TextWidth("MM");
    EXPECT_GT(CountInk(part, RECT{0, 0, twoWidth, 40}), 0);
    EXPECT_EQ(CountInk(part, RECT{twoWidth + 1, 0, 200, 40}), 0);
    EXPECT_GT(CountInk(whole, RECT{twoWidth + 1, 0, 200, 40}), 0);

    // A count beyond the text is the whole text.
    Canvas beyond;
    ASSERT_TRUE(beyond.Create(200, 40, kWhite));
    beyond.DrawTextInRect("MMMMMM", 500, box, DT_NOPREFIX);
    EXPECT_EQ(Pixels(beyond), Pixels(whole));

    // DT_CALCRECT only measures.
    EXPECT_EQ(measured.DrawTextInRect("two\r\nlines", std::nullopt, box, DT_CALCRECT),
              2 * measured.TextHeight("x"));
    EXPECT_EQ(CountInk(measured, box), 0);
}

TEST(CanvasText, MeasurementsFollowTheText) {
    Canvas c;
    ASSERT_TRUE(c.Create(50, 50, kWhite));
    EXPECT_GT(c.TextWidth("a"), 0);
    EXPECT_GT(c.TextWidth("aaaa"), c.TextWidth("a"));
    EXPECT_EQ(c.TextWidth("aaaa"), 4 * c.TextWidth("a"));
    EXPECT_EQ(c.TextWidth(""), 0);
    EXPECT_GT(c.TextHeight("a"), 0);
    // A bigger font measures bigger.
    FontSpec big = c.Font();
    const int smallHeight = c.TextHeight("a");
    big.size = 24;
    c.Font(big);
    EXPECT_GT(c.TextHeight("a"), smallHeight);
}

TEST(CanvasText, NothingWithoutASurface) {
    Canvas c;
    c.SetTextPos(3, 4);
    c.WriteText("abc\r\ndef");
    c.WriteLine("abc", 10);
    EXPECT_EQ(c.GetTextPos().x, 3);
    EXPECT_EQ(c.GetTextPos().y, 4);
    EXPECT_EQ(c.TextWidth("abc"), 0);
    EXPECT_EQ(c.TextHeight("abc"), 0);
    EXPECT_EQ(c.DrawTextInRect("abc", std::nullopt, RECT{0, 0, 10, 10}, 0), 0);
    EXPECT_FALSE(c.OutputText(0, 0, "abc"));
}
