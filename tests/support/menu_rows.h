#pragma once
// Reading a real pop-up menu back: every row's caption, id and kind.

#include <windows.h>

#include <string>
#include <vector>

namespace menu_test {

struct MenuRowSeen {
    std::string caption;
    UINT id = 0;
    bool separator = false;
};

// The rows of `menu` in order. Also checks that no row has a sub-menu, a
// check mark or a grey state.
std::vector<MenuRowSeen> RowsOf(HMENU menu);

}  // namespace menu_test
