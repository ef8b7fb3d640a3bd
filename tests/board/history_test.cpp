// The undo history on plain pixel buffers: what a step keeps, undo and redo,
// and the memory bound.

#include "board/history.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace {

struct Spot {
    int x;
    int y;
};

// A drawing held as plain pixels, rows of `width`.
struct Pixels {
    int width;
    int height;
    std::vector<std::uint32_t> data;
    UndoHistory* history = nullptr;  // told before every write, as the board tells it

    Pixels(int w, int h, std::uint32_t fill = 0xFFFFFF)
        : width(w), height(h), data(static_cast<std::size_t>(w) * h, fill) {}

    void Box(int x, int y, int w, int h, std::uint32_t color) {
        if (history != nullptr) history->BeforeWrite({x, y, x + w, y + h}, data);
        for (int row = y; row < y + h; ++row)
            for (int col = x; col < x + w; ++col)
                data[static_cast<std::size_t>(row) * width + col] = color;
    }
    std::uint32_t& At(int x, int y) { return data[static_cast<std::size_t>(y) * width + x]; }
};

// A 4K drawing followed by a history of its own.
struct Board4k {
    static constexpr int w = 3840, h = 2160;
    Pixels drawing{w, h};
    UndoHistory history;
    Board4k() {
        history.Start(w, h);
        drawing.history = &history;
    }
};

TEST(DifferingArea, IsTheBoxAroundEveryChangedPixel) {
    struct Case {
        const char* what;
        std::vector<Spot> changed;
        PixelRect area;
    };
    const Case cases[] = {
        {"nothing changed", {}, {}},
        {"one pixel", {{5, 7}}, {5, 7, 6, 8}},
        {"the corners of the picture", {{0, 0}, {39, 29}}, {0, 0, 40, 30}},
        {"top-right and bottom-left", {{39, 0}, {0, 29}}, {0, 0, 40, 30}},
        {"a later row widens the box to the left", {{20, 3}, {21, 4}, {2, 9}}, {2, 3, 22, 10}},
        {"a middle row widens it to the right", {{10, 1}, {35, 5}, {12, 8}}, {10, 1, 36, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Pixels before(40, 30);
        Pixels after = before;
        for (Spot p : c.changed) after.At(p.x, p.y) = 0x123456;
        EXPECT_EQ(DifferingArea(before.data, after.data, 40, 30), c.area);
    }
}

TEST(DifferingArea, BuffersThatDoNotFitTheSizeChangeNothing) {
    Pixels before(10, 10);
    Pixels after(10, 9, 0);
    EXPECT_TRUE(DifferingArea(before.data, after.data, 10, 10).Empty());
    EXPECT_TRUE(DifferingArea(before.data, before.data, 0, 10).Empty());
}

TEST(DifferingArea, BandsBoxOnlyWhatChangedInTheirOwnRows) {
    Pixels before(120, 100);
    Pixels after = before;
    for (int y = 0; y < 100; ++y) after.At(y, y) = 0x123456;  // corner to corner
    after.At(110, 5) = 0x123456;
    const std::vector<PixelRect> bands =
        DifferingBands(before.data, after.data, 120, 100, {0, 0, 120, 90}, 32);
    const std::vector<PixelRect> expected = {
        {0, 0, 111, 32}, {32, 32, 64, 64}, {64, 64, 90, 90}};  // rows 90 on are outside
    EXPECT_EQ(bands, expected);
    EXPECT_TRUE(DifferingBands(before.data, before.data, 120, 100, {0, 0, 120, 100}, 32).empty());
}

TEST(UndoHistory, ThreeShapesUndoTwoRedoOneGivesTheFirstTwo) {
    Pixels drawing(64, 48);
    UndoHistory history;
    history.Start(64, 48);
    drawing.history = &history;

    drawing.Box(2, 2, 10, 10, 0x0000FF);
    ASSERT_TRUE(history.Seal(drawing.data));
    drawing.Box(8, 8, 20, 5, 0x00FF00);  // overlaps the first
    ASSERT_TRUE(history.Seal(drawing.data));
    const std::vector<std::uint32_t> afterTwo = drawing.data;
    drawing.Box(5, 0, 3, 40, 0xFF0000);  // crosses both
    ASSERT_TRUE(history.Seal(drawing.data));

    ASSERT_TRUE(history.Undo(drawing.data));
    ASSERT_TRUE(history.Undo(drawing.data));
    ASSERT_TRUE(history.Redo(drawing.data));
    EXPECT_EQ(drawing.data, afterTwo);
    EXPECT_TRUE(history.CanUndo());
    EXPECT_TRUE(history.CanRedo());
}

TEST(UndoHistory, UndoingEverythingGivesTheStartAndRedoingEverythingTheEnd) {
    Pixels drawing(32, 32, 0x808080);
    const std::vector<std::uint32_t> start = drawing.data;
    UndoHistory history;
    history.Start(32, 32);
    drawing.history = &history;
    for (int i = 0; i < 5; ++i) {
        drawing.Box(i * 5, i * 3, 8, 8, 0x010101u * (i + 1));
        history.Seal(drawing.data);
    }
    const std::vector<std::uint32_t> end = drawing.data;

    int undone = 0;
    while (history.Undo(drawing.data)) ++undone;
    EXPECT_EQ(undone, 5);
    EXPECT_EQ(drawing.data, start);
    while (history.Redo(drawing.data)) {}
    EXPECT_EQ(drawing.data, end);
}

TEST(UndoHistory, ANewChangeAfterAnUndoDropsWhatWasUndone) {
    Pixels drawing(20, 20);
    UndoHistory history;
    history.Start(20, 20);
    drawing.history = &history;
    drawing.Box(0, 0, 5, 5, 1);
    history.Seal(drawing.data);
    drawing.Box(10, 10, 5, 5, 2);
    history.Seal(drawing.data);
    history.Undo(drawing.data);

    drawing.Box(0, 10, 5, 5, 3);
    history.Seal(drawing.data);
    EXPECT_FALSE(history.CanRedo());
    EXPECT_FALSE(history.Redo(drawing.data));
    EXPECT_EQ(drawing.At(10, 10), 0xFFFFFFu) << "the undone box stays away";
    EXPECT_EQ(history.StepCount(), 2u);
}

TEST(UndoHistory, UndoTakesBackAChangeNotYetRecorded) {
    Pixels drawing(20, 20);
    UndoHistory history;
    history.Start(20, 20);
    drawing.history = &history;
    drawing.Box(0, 0, 5, 5, 1);
    history.Seal(drawing.data);
    drawing.Box(10, 10, 5, 5, 2);  // never recorded

    ASSERT_TRUE(history.Undo(drawing.data));
    EXPECT_EQ(drawing.At(10, 10), 0xFFFFFFu);
    EXPECT_EQ(drawing.At(0, 0), 1u) << "one undo, one change";
}

TEST(UndoHistory, AStepKeepsOnlyTheChangedRectangle) {
    Pixels drawing(200, 100);
    UndoHistory history;
    history.Start(200, 100);
    drawing.history = &history;
    EXPECT_FALSE(history.Seal(drawing.data)) << "no change, no step";
    drawing.Box(50, 20, 10, 4, 7);
    ASSERT_TRUE(history.Seal(drawing.data));
    EXPECT_EQ(history.NewestArea(), (PixelRect{50, 20, 60, 24}));
    EXPECT_LT(history.StepBytes(), 40u * 4 + 256);
}

TEST(UndoHistory, ThousandSmallStrokesOnA4kBoardTakeAFewMegabytes) {
    Board4k b;
    for (int i = 0; i < 1000; ++i) {
        // a short diagonal stroke, 3 pixels wide, about 30 pixels long
        const int x = (i * 97) % (b.w - 40), y = (i * 53) % (b.h - 40);
        for (int k = 0; k < 30; ++k) b.drawing.Box(x + k, y + k, 3, 3, 0x000000);
        ASSERT_TRUE(b.history.Seal(b.drawing.data));
    }
    EXPECT_EQ(b.history.StepCount(), 1000u);
    EXPECT_LT(b.history.StepBytes(), 5u << 20);
}

TEST(UndoHistory, AnEraserDragFromCornerToCornerOfA4kBoardIsOneSmallStep) {
    Board4k b;
    for (int y = 0; y + 20 <= b.h; y += 5) b.drawing.Box(y * b.w / b.h, y, 20, 20, 0x000000);
    ASSERT_TRUE(b.history.Seal(b.drawing.data));
    EXPECT_EQ(b.history.StepCount(), 1u);
    EXPECT_LT(b.history.StepBytes(), 5u << 20) << "not a box as large as the board";
    ASSERT_TRUE(b.history.Undo(b.drawing.data).has_value());
    EXPECT_EQ(b.drawing.data, Pixels(b.w, b.h).data);
}

TEST(UndoHistory, TheCapacityKeepsTheNewestSteps) {
    const int w = 100, h = 100;
    const std::size_t full = static_cast<std::size_t>(w) * h * 4;
    UndoHistory history(full * 3 + full / 2);  // room for three whole-picture steps
    Pixels drawing(w, h, 0);
    history.Start(w, h);
    drawing.history = &history;
    std::vector<std::vector<std::uint32_t>> states{drawing.data};
    for (std::uint32_t i = 1; i <= 10; ++i) {
        drawing.Box(0, 0, w, h, i);
        history.Seal(drawing.data);
        states.push_back(drawing.data);
        EXPECT_LE(history.StepBytes(), history.Capacity());
    }
    EXPECT_EQ(history.StepCount(), 3u);
    // The three kept are the newest: undo walks back through 9, 8, 7 and stops.
    for (std::size_t back = 1; back <= 3; ++back) {
        ASSERT_TRUE(history.Undo(drawing.data));
        EXPECT_EQ(drawing.data, states[10 - back]);
    }
    EXPECT_FALSE(history.Undo(drawing.data));
}

TEST(UndoHistory, AStepLargerThanTheCapacityLeavesNothingToUndo) {
    Pixels drawing(50, 50);
    UndoHistory history(1000);
    history.Start(50, 50);
    drawing.history = &history;
    drawing.Box(0, 0, 2, 2, 1);
    ASSERT_TRUE(history.Seal(drawing.data));
    drawing.Box(0, 0, 50, 50, 2);
    EXPECT_FALSE(history.Seal(drawing.data));
    EXPECT_FALSE(history.CanUndo());
    EXPECT_EQ(history.StepBytes(), 0u);
    // The history still follows the drawing: the next change is undone alone.
    drawing.Box(10, 10, 2, 2, 3);
    ASSERT_TRUE(history.Undo(drawing.data));
    EXPECT_EQ(drawing.At(10, 10), 2u);
}

TEST(UndoHistory, WithoutAStartOrWithAnotherSizeNothingHappens) {
    Pixels drawing(10, 10);
    UndoHistory history;
    EXPECT_FALSE(history.Seal(drawing.data));
    EXPECT_FALSE(history.Undo(drawing.data));
    history.Start(10, 10);
    drawing.history = &history;
    drawing.Box(0, 0, 3, 3, 1);
    history.Seal(drawing.data);
    Pixels other(12, 10);
    EXPECT_FALSE(history.Undo(other.data));
    EXPECT_FALSE(history.Seal(other.data));
    history.Start(12, 10);
    other.history = &history;
    EXPECT_FALSE(history.CanUndo()) << "a new drawing starts with an empty history";
}

}  // namespace
