#include "app/startup.h"

#include "app/board_listener.h"
#include "app/globals.h"
#include "app/hotkey.h"
#include "app/toolbox.h"
#include "board/board_menu.h"
#include "board/palette_picture.h"
#include "settings/settings.h"
#include "window/raw_window.h"
#include "window/screen.h"

void ReadScreenSize() {
    ScreenSize.cx = GetSystemMetrics(SM_CXSCREEN);
    ScreenSize.cy = GetSystemMetrics(SM_CYSCREEN);
}

void BuildEyedropperSpectrum() {
    Canvas scratch;  // only for drawing the spectrum once
    PalettePicture = BuildPalettePicture(scratch);
}

void SetUnsavedSettings() {
    Settings.cornerRadiusMax = kCornerRadiusMax;
    Settings.polygonVertices = 6;
    Settings.starVertices = 5;
    Settings.tableRows = 0;
    Settings.tableColumns = 0;
}

void FillMenuItemList() {
    MenuItemList.captions.clear();
    MenuItemList.ids.clear();
    for (const BoardMenuItem& item : BoardMenuItems())
        AddMenuItem(item.caption, static_cast<int>(item.id));
}

int StartRoutine() {
    // Windows made with "Esc closes" get the Esc handler for WM_KEYUP.
    SetEscCloseRoutine(&EscKeyHandler);
    // The board announces what happens to it; the toolbox and the palette react.
    InstallProgramBoardEvents();
    ReadScreenSize();
    BuildEyedropperSpectrum();
    LoadSettings();
    SetUnsavedSettings();
    FillMenuItemList();
    ToolboxLoaded = LoadToolbox();
    return 0;
}

int RunMessageLoop() {
    MSG msg{};
    BOOL got = 0;
    while ((got = GetMessageA(&msg, nullptr, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return got == 0 ? static_cast<int>(msg.wParam) : 1;
}
