#pragma once
// The two right-button menus: the board menu (every tool and board command)
// and the picture-window menu, both plain pop-up menus built from caption
// lists, and the board menu's command routine.

#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

// Ids handed out automatically continue from here; never below 15000.
extern std::atomic<int> MenuIdCounter;
constexpr int kMenuAutomaticIdFloor = 15000;

// Builds a pop-up menu. A caption of exactly "-" is a separator. Automatic ids
// (MenuIdCounter + 1, ...) are used for every item when idsGiven is false or
// the id list is empty, otherwise for the items beyond the end of the list; a
// given id above the counter raises it. The caller owns the menu.
HMENU BuildPopupMenu(const std::vector<std::string>& captions, const std::vector<int>& ids,
                     bool idsGiven);

// Opens `menu` at the cursor, owned by `window`; the choice arrives at the
// window as WM_COMMAND. Blocks until the menu closes.
void ShowMenuAtCursor(HWND window, HMENU menu);

// ---- board menu ----

// Builds the board menu from MenuItemList (ids 101-125), replacing (and
// destroying) one that is still there. Returns it.
HMENU BuildBoardMenu();
void DestroyBoardMenu();
HMENU BoardMenu();

// What a board menu id stands for.
struct BoardMenuTarget {
    enum Kind { None, Cell, CopyToClipboard, Exit } kind = None;
    int command = 0;     // palette command for Kind::Cell
    bool right = false;  // run the cell's right-button action
};
BoardMenuTarget BoardMenuTargetOf(int id);

// The board menu's command routine (WM_COMMAND of the board window; wParam is
// the item id). Ids outside 101-125 do nothing.
void BoardMenuCommand(HWND window, WPARAM id, LPARAM unused);
// WM_RBUTTONDOWN on the board: the board menu at the cursor.
void OnBoardRightButtonDown(HWND window, WPARAM, LPARAM);
// WM_RBUTTONUP on the board: nothing.
void OnBoardRightButtonUp(HWND window, WPARAM, LPARAM);

// ---- picture-window menu ----

// Made by the first picture window and shared by the later ones.
HMENU PictureWindowMenu();
// Destroys it when it exists (toolbox destroyed, "结束程序").
void DestroyPictureWindowMenu();
bool PictureWindowMenuExists();
