// The arithmetic of the highlighter, the mosaic, the markers' numbers and the
// quick save's names, without windows.

#include "board/annotation_rules.h"

#include <vector>

#include <gtest/gtest.h>

TEST(AnnotationRules, MosaicBlocksAverageWhatTheyCoverFromTheTopLeft) {
    // 5 x 3 pixels in blocks of 2: columns 0-1, 2-3 and the partial 4; rows
    // 0-1 and the partial 2.
    std::vector<std::uint32_t> area = {
        0x000000, 0x0000FF, 0x101010, 0x101010, 0x0000FF,
        0x0000FF, 0x000001, 0x101010, 0x303030, 0x000003,
        0xFF0000, 0x00FF00, 0x202020, 0x202020, 0x000000,
    };
    Pixelate(area, 5, 3, 2);
    const std::vector<std::uint32_t> want = {
        0x000080, 0x000080, 0x181818, 0x181818, 0x000081,
        0x000080, 0x000080, 0x181818, 0x181818, 0x000081,
        0x808000, 0x808000, 0x202020, 0x202020, 0x000000,
    };
    EXPECT_EQ(area, want);
    EXPECT_EQ(MosaicBlockSize(5), 20);
}

TEST(AnnotationRules, HighlighterBlendsHalfWayAndSnapsToOneAxis) {
    EXPECT_EQ(BlendHalf(0xFFFFFF, PixelOfColor(RGB(255, 0, 0))), 0xFF8080u);
    EXPECT_EQ(BlendHalf(0xFF000000u | 0x102030, 0x102030), 0x102030u);  // no alpha kept
    EXPECT_EQ(HighlighterWidth(2), 12);
    EXPECT_EQ(HighlighterWidth(4), 16);
    EXPECT_EQ(SnapToAxis({10, 10}, {40, 25}).y, 10);
    EXPECT_EQ(SnapToAxis({10, 10}, {15, 50}).x, 10);
}

TEST(AnnotationRules, MarkerNumbersFollowTheUndoHistory) {
    MarkerNumbers n;
    EXPECT_EQ(n.Take(0), 1);  // the history then reaches 1
    EXPECT_EQ(n.Take(1), 2);
    EXPECT_EQ(n.Take(3), 3);  // another change came between: 4
    EXPECT_EQ(n.Next(4), 4);
    EXPECT_EQ(n.Next(3), 3);  // the third marker undone
    EXPECT_EQ(n.Next(2), 3);  // and the change before it: the marker's number only
    EXPECT_EQ(n.Take(1), 2);  // two undone, then a new marker: the redo is gone
    EXPECT_EQ(n.Next(2), 3);
    EXPECT_EQ(MarkerDiameter(5), 30);
    EXPECT_EQ(MarkerTextColor(RGB(0, 0, 128)), RGB(255, 255, 255));
    EXPECT_EQ(MarkerTextColor(RGB(255, 255, 0)), RGB(0, 0, 0));
}

TEST(AnnotationRules, QuickSaveNamesCountWithinTheSecond) {
    SYSTEMTIME t{};
    t.wYear = 2026, t.wMonth = 12, t.wDay = 9, t.wHour = 14, t.wMinute = 30, t.wSecond = 5;
    EXPECT_EQ(QuickSaveFileName(t, 1), "画板_20261209_143005.png");
    EXPECT_EQ(QuickSaveFileName(t, 2), "画板_20261209_143005_2.png");
}
