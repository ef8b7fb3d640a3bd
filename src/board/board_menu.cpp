#include "board/board_menu.h"

#include <algorithm>
#include <atomic>

#include "board/board_events.h"
#include "board/commands.h"
#include "board/tools/tool_table.h"
#include "settings/settings.h"
#include "window/menus.h"

namespace {

std::atomic<HMENU> g_boardMenu{nullptr};

}  // namespace

std::vector<BoardMenuItem> BoardMenuItems() {
    struct Entry {
        BoardMenuId id;
        const char* caption;
        bool separatorAfter;
    };
    // The tools in the tool table's order, then the commands in the order of
    // their ids.
    std::vector<Entry> entries;
    for (const ToolDescription& row : ToolDescriptions())
        if (row.menuId != BoardMenuId::None)
            entries.push_back(Entry{row.menuId, row.menuCaption, row.menuSeparatorAfter});
    const std::size_t tools = entries.size();
    for (const CommandDescription& row : CommandDescriptions())
        if (row.menuId != BoardMenuId::None)
            entries.push_back(Entry{row.menuId, row.menuCaption, row.menuSeparatorAfter});
    std::sort(entries.begin() + static_cast<std::ptrdiff_t>(tools), entries.end(),
              [](const Entry& a, const Entry& b) { return a.id < b.id; });
    std::vector<BoardMenuItem> items;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        items.push_back(BoardMenuItem{entries[i].caption, entries[i].id});
        if (entries[i].separatorAfter && i + 1 < entries.size())
            items.push_back(BoardMenuItem{"-", BoardMenuId::None});
    }
    return items;
}

HMENU BuildBoardMenu() {
    HMENU menu = BuildPopupMenu(MenuItemList.captions, MenuItemList.ids, true);
    if (HMENU old = g_boardMenu.exchange(menu)) DestroyMenu(old);
    return menu;
}

void DestroyBoardMenu() {
    if (HMENU menu = g_boardMenu.exchange(nullptr)) DestroyMenu(menu);
}

HMENU BoardMenu() { return g_boardMenu.load(); }

BoardMenuTarget BoardMenuTargetOf(BoardMenuId id) {
    if (const ToolDescription* row = DescriptionOfMenuId(id))
        return BoardMenuTarget{row->cell, row->rightButton, nullptr};
    if (id == BoardMenuId::None) return BoardMenuTarget{};
    for (const CommandDescription& row : CommandDescriptions()) {
        if (row.menuId != id) continue;
        if (row.command != PaletteCommand::None) return BoardMenuTarget{row.command, false, nullptr};
        return BoardMenuTarget{PaletteCommand::None, false, row.primary};
    }
    return BoardMenuTarget{};
}

void BoardMenuCommand(HWND, WPARAM id, LPARAM) {
    const BoardMenuTarget target = BoardMenuTargetOf(static_cast<BoardMenuId>(LOWORD(id)));
    if (target.direct != nullptr) {
        target.direct();
        return;
    }
    if (target.command == PaletteCommand::None) return;
    // The same as a click on the palette cell, so menu and palette agree.
    if (!target.right) Events().CommandInForce(target.command);
    RunCellCommand(target.command, target.right);
}

void OnBoardRightButtonDown(HWND window, WPARAM, LPARAM) { ShowMenuAtCursor(window, BoardMenu()); }

void OnBoardRightButtonUp(HWND, WPARAM, LPARAM) {}
