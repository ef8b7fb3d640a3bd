#include "support/menu_rows.h"

#include <gtest/gtest.h>

namespace menu_test {

std::vector<MenuRowSeen> RowsOf(HMENU menu) {
    std::vector<MenuRowSeen> rows;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_SUBMENU;
        GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info);
        MenuRowSeen row;
        row.separator = (info.fType & MFT_SEPARATOR) != 0;
        row.id = info.wID;
        char text[128] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        row.caption = text;
        EXPECT_EQ(info.hSubMenu, nullptr);
        // Separators are disabled by nature; items carry no marks and no grey state.
        if (!row.separator) {
            EXPECT_EQ(info.fState & (MFS_CHECKED | MFS_GRAYED), 0u);
        }
        rows.push_back(row);
    }
    return rows;
}

}  // namespace menu_test
