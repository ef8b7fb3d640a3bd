// The generic pop-up menus (automatic ids) and the picture-window menu.

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/menu_rows.h"
#include "window/menus.h"

using menu_test::MenuRowSeen;
using menu_test::RowsOf;

TEST(Menus, AutomaticIdsStartAbove15000AndContinueAcrossMenus) {
    MenuIdCounter = 0;
    HMENU first = BuildPopupMenu({"一", "-", "二"}, {}, false);
    std::vector<MenuRowSeen> rows = RowsOf(first);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].id, 15001u);
    EXPECT_TRUE(rows[1].separator);
    EXPECT_EQ(rows[2].id, 15002u);

    // Given ids are used only where given (and when wanted).
    HMENU second = BuildPopupMenu({"甲", "乙", "丙"}, {101}, true);
    rows = RowsOf(second);
    EXPECT_EQ(rows[0].id, 101u);
    EXPECT_EQ(rows[1].id, 15003u);
    EXPECT_EQ(rows[2].id, 15004u);

    HMENU third = BuildPopupMenu({"x"}, {777}, false);
    EXPECT_EQ(RowsOf(third)[0].id, 15005u);

    // A given id above the counter raises it.
    HMENU fourth = BuildPopupMenu({"a", "b"}, {20000}, true);
    rows = RowsOf(fourth);
    EXPECT_EQ(rows[0].id, 20000u);
    EXPECT_EQ(rows[1].id, 20001u);
    EXPECT_EQ(MenuIdCounter.load(), 20001);
    for (HMENU m : {first, second, third, fourth}) DestroyMenu(m);
}


TEST(Menus, PictureWindowMenuIsMadeOnceAndShared) {
    DestroyPictureWindowMenu();
    EXPECT_FALSE(PictureWindowMenuExists());
    HMENU menu = PictureWindowMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(PictureWindowMenu(), menu);
    const std::vector<MenuRowSeen> rows = RowsOf(menu);
    ASSERT_EQ(rows.size(), 8u);
    EXPECT_EQ(rows[0].caption, "窗口置顶");
    EXPECT_EQ(rows[0].id, 131u);
    EXPECT_EQ(rows[1].caption, "取消置顶");
    EXPECT_EQ(rows[1].id, 132u);
    EXPECT_TRUE(rows[2].separator);
    EXPECT_EQ(rows[3].caption, "复制到剪贴板");
    EXPECT_EQ(rows[3].id, 133u);
    EXPECT_EQ(rows[4].caption, "保存到文件");
    EXPECT_EQ(rows[4].id, 134u);
    EXPECT_TRUE(rows[5].separator);
    EXPECT_EQ(rows[6].caption, "原始大小");
    EXPECT_EQ(rows[6].id, 136u);
    EXPECT_EQ(rows[7].caption, "关闭");
    EXPECT_EQ(rows[7].id, 135u);
    DestroyPictureWindowMenu();
    EXPECT_FALSE(IsMenu(menu));
    EXPECT_FALSE(PictureWindowMenuExists());
}

