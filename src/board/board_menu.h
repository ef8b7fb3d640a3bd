#pragma once
// The board's right-button menu: every tool and the board commands, built
// from the tool table and the command table, and its command routine.

#include <windows.h>

#include <vector>

#include "board/command_ids.h"

// The menu's rows in order: caption and id; a separator is "-" with id None.
struct BoardMenuItem {
    const char* caption;
    BoardMenuId id;
};
std::vector<BoardMenuItem> BoardMenuItems();

// Builds the board menu from MenuItemList (which start-up fills from
// BoardMenuItems), replacing (and destroying) one that is still there.
// Returns it.
HMENU BuildBoardMenu();
void DestroyBoardMenu();
HMENU BoardMenu();

// What a board menu id stands for: a palette command run as a click of its
// cell (left or right button), or a direct action (copy, exit).
struct BoardMenuTarget {
    PaletteCommand command = PaletteCommand::None;
    bool right = false;
    void (*direct)() = nullptr;
    bool Valid() const { return command != PaletteCommand::None || direct != nullptr; }
};
BoardMenuTarget BoardMenuTargetOf(BoardMenuId id);

// The board menu's command routine (WM_COMMAND of the board window; wParam is
// the item id). Ids that are not the board menu's do nothing.
void BoardMenuCommand(HWND window, WPARAM id, LPARAM unused);
// WM_RBUTTONDOWN on the board: the board menu at the cursor.
void OnBoardRightButtonDown(HWND window, WPARAM, LPARAM);
// WM_RBUTTONUP on the board: nothing.
void OnBoardRightButtonUp(HWND window, WPARAM, LPARAM);
