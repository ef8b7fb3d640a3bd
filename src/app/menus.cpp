#include "app/menus.h"

#include <mutex>

#include "app/palette.h"
#include "app/settings.h"
#include "board/board.h"
#include "board/commands.h"

std::atomic<int> MenuIdCounter{0};

namespace {

std::atomic<HMENU> g_boardMenu{nullptr};

// Menus may be built on several window threads at once; ids are handed out
// one menu at a time.
std::mutex g_idGuard;

// The picture-window menu is made once, by whichever picture window comes
// first (each runs on a thread of its own).
std::mutex g_pictureMenuGuard;
HMENU g_pictureMenu = nullptr;

struct MenuRow {
    const char* caption;
    int id;
};

constexpr MenuRow kPictureWindowMenu[] = {
    {"窗口置顶", 131}, {"取消置顶", 132}, {"-", 0},  {"复制到剪贴板", 133},
    {"保存到文件", 134}, {"-", 0},          {"关闭", 135},
};

// The board menu ids 101-125 and the palette command each one stands for.
struct BoardMenuRow {
    int id;
    BoardMenuTarget target;
};

constexpr BoardMenuRow kBoardMenuRows[] = {
    {101, {BoardMenuTarget::Cell, 1, false}},  {102, {BoardMenuTarget::Cell, 2, false}},
    {103, {BoardMenuTarget::Cell, 3, false}},  {104, {BoardMenuTarget::Cell, 4, false}},
    {105, {BoardMenuTarget::Cell, 5, false}},  {106, {BoardMenuTarget::Cell, 5, true}},
    {107, {BoardMenuTarget::Cell, 6, false}},  {108, {BoardMenuTarget::Cell, 7, false}},
    {109, {BoardMenuTarget::Cell, 8, false}},  {110, {BoardMenuTarget::Cell, 9, false}},
    {111, {BoardMenuTarget::Cell, 9, true}},   {112, {BoardMenuTarget::Cell, 10, false}},
    {113, {BoardMenuTarget::Cell, 10, true}},  {114, {BoardMenuTarget::Cell, 11, false}},
    {115, {BoardMenuTarget::Cell, 12, false}}, {116, {BoardMenuTarget::Cell, 12, true}},
    {117, {BoardMenuTarget::Cell, 13, false}}, {118, {BoardMenuTarget::Cell, 15, false}},
    {119, {BoardMenuTarget::Cell, 16, false}}, {120, {BoardMenuTarget::Cell, 17, false}},
    {121, {BoardMenuTarget::Cell, 18, false}}, {122, {BoardMenuTarget::Cell, 20, false}},
    {123, {BoardMenuTarget::CopyToClipboard, 0, false}},
    {124, {BoardMenuTarget::Cell, 22, false}},
    {125, {BoardMenuTarget::Exit, 0, false}},
};

}  // namespace

HMENU BuildPopupMenu(const std::vector<std::string>& captions, const std::vector<int>& ids,
                     bool idsGiven) {
    std::lock_guard<std::mutex> lock(g_idGuard);
    const bool useGiven = idsGiven && !ids.empty();
    int counter = MenuIdCounter.load();
    if (counter < kMenuAutomaticIdFloor) counter = kMenuAutomaticIdFloor;
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        MenuIdCounter.store(counter);
        return nullptr;
    }
    for (std::size_t i = 0; i < captions.size(); ++i) {
        if (captions[i] == "-") {
            AppendMenuA(menu, MF_SEPARATOR, 0, "");
            continue;
        }
        int id = 0;
        if (useGiven && i < ids.size()) {
            id = ids[i];
            if (counter < id) counter = id;
        } else {
            id = ++counter;
        }
        AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(id), captions[i].c_str());
    }
    MenuIdCounter.store(counter);
    return menu;
}

void ShowMenuAtCursor(HWND window, HMENU menu) {
    if (menu == nullptr) return;
    POINT cursor{};
    GetCursorPos(&cursor);
    TrackPopupMenu(menu, 0, cursor.x, cursor.y, 0, window, nullptr);
}

// ---- board menu ----

HMENU BuildBoardMenu() {
    HMENU menu = BuildPopupMenu(MenuItemList.captions, MenuItemList.ids, true);
    if (HMENU old = g_boardMenu.exchange(menu)) DestroyMenu(old);
    return menu;
}

void DestroyBoardMenu() {
    if (HMENU menu = g_boardMenu.exchange(nullptr)) DestroyMenu(menu);
}

HMENU BoardMenu() { return g_boardMenu.load(); }

BoardMenuTarget BoardMenuTargetOf(int id) {
    for (const BoardMenuRow& row : kBoardMenuRows)
        if (row.id == id) return row.target;
    return BoardMenuTarget{};
}

void BoardMenuCommand(HWND, WPARAM id, LPARAM) {
    const BoardMenuTarget target = BoardMenuTargetOf(static_cast<int>(LOWORD(id)));
    switch (target.kind) {
    case BoardMenuTarget::None:
        return;
    case BoardMenuTarget::CopyToClipboard:
        CopyBoardToClipboard();
        return;
    case BoardMenuTarget::Exit:
        ExitProgram();
    case BoardMenuTarget::Cell:
        break;
    }
    // The same as a click on the palette cell, so menu and palette agree.
    if (!target.right) SelectCell(PaletteCellOfCommand(target.command));
    RunCellCommand(target.command, target.right);
    RepaintPalette();
}

void OnBoardRightButtonDown(HWND window, WPARAM, LPARAM) { ShowMenuAtCursor(window, BoardMenu()); }

void OnBoardRightButtonUp(HWND, WPARAM, LPARAM) {}

// ---- picture-window menu ----

HMENU PictureWindowMenu() {
    std::lock_guard<std::mutex> lock(g_pictureMenuGuard);
    if (g_pictureMenu == nullptr) {
        std::vector<std::string> captions;
        std::vector<int> ids;
        for (const MenuRow& row : kPictureWindowMenu) {
            captions.emplace_back(row.caption);
            ids.push_back(row.id);
        }
        g_pictureMenu = BuildPopupMenu(captions, ids, true);
    }
    return g_pictureMenu;
}

void DestroyPictureWindowMenu() {
    std::lock_guard<std::mutex> lock(g_pictureMenuGuard);
    if (g_pictureMenu != nullptr) {
        DestroyMenu(g_pictureMenu);
        g_pictureMenu = nullptr;
    }
}

bool PictureWindowMenuExists() {
    std::lock_guard<std::mutex> lock(g_pictureMenuGuard);
    return g_pictureMenu != nullptr;
}
