// The highlighter, the mosaic and the numbered markers, each driven through a
// local board (no window).

#include "board/tools/annotation_tools.h"

#include <gtest/gtest.h>

#include "board/annotation_rules.h"
#include "board/history.h"
#include "board/tools/tool_table.h"
#include "support/local_board.h"

namespace {
constexpr COLORREF kGrey = RGB(100, 100, 100);
COLORREF Blend(COLORREF below, COLORREF pen) {
    const std::uint32_t p = BlendHalf(PixelOfColor(below), PixelOfColor(pen));
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}
}  // namespace

TEST(AnnotationTools, HighlighterBlendsOncePerStrokeAndAgainForASecondStroke) {
    LocalBoard b{200, 150, kGrey};
    auto tool = MakeTool(ToolHighlighter);
    // Across, back over itself and down through its own path, slowly.
    b.Drag(*tool, {20, 50}, {{60, 50}, {100, 50}, {60, 50}, {61, 50}, {60, 20}, {60, 90}});
    const COLORREF once = Blend(kGrey, b.Pen());
    for (POINT p : {POINT{20, 50}, POINT{60, 50}, POINT{100, 50}, POINT{60, 85}, POINT{25, 46}})
        EXPECT_EQ(b.back.GetPixel(p.x, p.y), once) << p.x << "," << p.y;
    EXPECT_EQ(b.back.GetPixel(20, 60), kGrey);  // 12 wide: 6 either side
    b.Drag(*tool, {40, 30}, {40, 70});
    EXPECT_EQ(b.back.GetPixel(40, 50), Blend(once, b.Pen()));
    EXPECT_EQ(b.back.GetPixel(40, 35), once);  // the second stroke alone
}

TEST(AnnotationTools, MosaicTurnsTheDraggedAreaIntoAveragedBlocks) {
    LocalBoard b{200, 150, RGB(255, 255, 255)};
    for (int x = 10; x < 60; x += 2)
        for (int y = 10; y < 40; ++y) b.back.SetPixel(x, y, RGB(0, 0, 0));  // stripes
    auto tool = MakeTool(ToolMosaic);
    b.Drag(*tool, {10, 10}, {{30, 20}, {40, 30}});  // 30 x 20: blocks 12, 12, 6 and 12, 8
    for (POINT p : {POINT{10, 10}, POINT{21, 21}, POINT{39, 29}})
        EXPECT_EQ(b.back.GetPixel(p.x, p.y), RGB(128, 128, 128)) << p.x;
    EXPECT_EQ(b.back.GetPixel(41, 20), RGB(255, 255, 255));  // outside: stripes stay
    EXPECT_EQ(b.back.GetPixel(42, 20), RGB(0, 0, 0));
    EXPECT_EQ(b.back.GetPixel(10, 30), RGB(0, 0, 0));
}

TEST(AnnotationTools, MarkersCountUpAndAnUndoneMarkerGivesItsNumberBack) {
    LocalBoard b{200, 150};
    UndoHistory history;
    history.Start(200, 150);
    b.context.history = b.history = &history;
    auto tool = MakeTool(ToolMarker);
    auto& marker = static_cast<MarkerTool&>(*tool);
    for (int i = 1; i <= 3; ++i) {
        EXPECT_EQ(marker.NextNumber(b.context), i);
        b.Drag(*tool, {40 * i, 50}, {40 * i, 50});
        history.Seal(b.back.Pixels());
    }
    EXPECT_EQ(b.back.GetPixel(120, 40), b.Pen());  // the disc, 24 across
    EXPECT_EQ(b.back.GetPixel(120, 36), b.Background());
    history.Undo(b.back.Pixels());
    EXPECT_EQ(b.back.GetPixel(120, 40), b.Background());
    EXPECT_EQ(marker.NextNumber(b.context), 3);
}
