#include "window/menus.h"

#include <mutex>

std::atomic<int> MenuIdCounter{0};

namespace {

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
    {"保存到文件", 134}, {"-", 0},          {"原始大小", 136}, {"关闭", 135},
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
