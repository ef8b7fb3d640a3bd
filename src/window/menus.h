#pragma once
// Plain pop-up menus built from caption lists, opened at the cursor, and the
// picture-window menu. (The board's own menu is the board's:
// board/board_menu.h.)

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

// ---- picture-window menu ----

// Made by the first picture window and shared by the later ones.
HMENU PictureWindowMenu();
// Destroys it when it exists (toolbox destroyed, "结束程序").
void DestroyPictureWindowMenu();
bool PictureWindowMenuExists();
