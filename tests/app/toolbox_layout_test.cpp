#include "app/toolbox_layout.h"

#include <gtest/gtest.h>

namespace {

// The palette as the toolbox builds it: top 20, 361 high.
ToolboxLayout Layout(int page, int brushType) { return ComputeToolboxLayout(page, brushType, 20, 361); }

TEST(ToolboxLayout, RadioButtonsSitTwoPixelsBelowThePalette) {
    EXPECT_EQ(Layout(0, 0).radioTop, 383);
    EXPECT_EQ(ComputeToolboxLayout(0, 0, 20, 156).radioTop, 178);
}

TEST(ToolboxLayout, PenPageStacksBoxAndPicker1) {
    const ToolboxLayout l = Layout(0, 3);
    EXPECT_TRUE(l.penEdit.visible);
    EXPECT_EQ(l.penEdit.rect.left, 4);
    EXPECT_EQ(l.penEdit.rect.top, 383 + 36 + 4);
    EXPECT_EQ(l.penEdit.rect.right, 44);
    EXPECT_EQ(l.penEdit.rect.bottom, 443);
    EXPECT_TRUE(l.picker1.visible);
    EXPECT_EQ(l.picker1.rect.top, 447);
    EXPECT_EQ(l.picker1.rect.left, 6);
    EXPECT_EQ(l.picker1.rect.right, 58);
    EXPECT_FALSE(l.brushList.visible);
    EXPECT_FALSE(l.picker2.visible);  // whatever the brush type
    EXPECT_EQ(l.toolboxHeight, 473);
}

TEST(ToolboxLayout, FillPageAddsPicker2ForHatchStylesOnly) {
    for (int type = 0; type <= 7; ++type) {
        const ToolboxLayout l = Layout(1, type);
        const bool hatch = type >= 1 && type <= 6;
        EXPECT_EQ(FillPageShowsBackColor(type), hatch) << type;
        EXPECT_TRUE(l.brushList.visible);
        EXPECT_EQ(l.brushList.rect.top, 423);
        EXPECT_EQ(l.brushList.rect.right - l.brushList.rect.left, 64);
        EXPECT_EQ(l.picker1.rect.top, 447);
        EXPECT_EQ(l.picker2.visible, hatch) << type;
        EXPECT_FALSE(l.penEdit.visible);
        EXPECT_EQ(l.toolboxHeight, hatch ? 497 : 473) << type;
        if (hatch) {
            EXPECT_EQ(l.picker2.rect.top, 471);
        }
    }
    // Hiding picker 2 shortens the toolbox by its height plus the gap.
    EXPECT_EQ(Layout(1, 2).toolboxHeight - Layout(1, 7).toolboxHeight, kPickerHeight + 4);
    EXPECT_FALSE(FillPageShowsBackColor(-1));
    EXPECT_FALSE(FillPageShowsBackColor(8));
}

TEST(ToolboxLayout, TextPageStacksBothPickers) {
    const ToolboxLayout l = Layout(2, 4);
    EXPECT_FALSE(l.penEdit.visible);
    EXPECT_FALSE(l.brushList.visible);
    EXPECT_EQ(l.picker1.rect.top, 423);
    EXPECT_EQ(l.picker2.rect.top, 447);
    EXPECT_EQ(l.toolboxHeight, 473);
}

TEST(ToolboxLayout, UnknownPageIsLaidOutAsThePenPage) {
    const ToolboxLayout l = Layout(9, 0);
    EXPECT_TRUE(l.penEdit.visible);
    EXPECT_EQ(l.toolboxHeight, 473);
    EXPECT_TRUE(Layout(-1, 0).penEdit.visible);
}

TEST(ToolboxLayout, AtEveryScaleControlsStackInsideTheToolboxWithoutOverlapping) {
    for (int dpi : {72, 96, 120, 144, 192, 240}) {
        for (int page = 0; page <= 2; ++page) {
            for (int type : {0, 3, 7}) {
                const ToolboxLayout l = ComputeToolboxLayout(page, type, 20, 361, dpi);
                int above = l.radios[0].bottom;
                EXPECT_EQ(l.palette.bottom <= l.radioTop, true) << dpi;
                for (const PlacedControl* c : {&l.penEdit, &l.brushList, &l.picker1, &l.picker2}) {
                    if (!c->visible) continue;
                    EXPECT_GT(c->rect.top, above) << dpi << " page " << page;
                    EXPECT_LE(c->rect.right, l.toolboxWidth) << dpi;
                    EXPECT_LT(c->rect.bottom, l.toolboxHeight) << dpi;
                    above = c->rect.bottom;
                }
                // At twice the DPI everything is exactly twice as big.
                if (dpi == 192) {
                    const ToolboxLayout one = ComputeToolboxLayout(page, type, 20, 361);
                    EXPECT_EQ(l.toolboxHeight, 2 * one.toolboxHeight);
                    EXPECT_EQ(l.picker1.rect.top, 2 * one.picker1.rect.top);
                }
            }
        }
    }
}

}  // namespace
