#include "app/board_listener.h"

#include "app/globals.h"
#include "app/hotkey.h"
#include "app/palette.h"
#include "app/toolbox.h"
#include "board/board_menu.h"
#include "settings/settings.h"
#include "window/menus.h"

namespace {

HWND LiveToolbox() {
    HWND toolbox = ToolboxWindow.load();
    return (toolbox != nullptr && IsWindow(toolbox)) ? toolbox : nullptr;
}

// The toolbox lives on the main thread; from another thread it is shown
// asynchronously, so the board never waits for a busy main thread (which may
// itself be waiting for the board).
void ShowToolbox(int how) {
    HWND toolbox = LiveToolbox();
    if (toolbox == nullptr) return;
    if (GetWindowThreadProcessId(toolbox, nullptr) != GetCurrentThreadId()) {
        ShowWindowAsync(toolbox, how);
    } else {
        ShowWindow(toolbox, how);
    }
}

}  // namespace

void ProgramBoardEvents::Capturing() { ShowToolbox(SW_HIDE); }

void ProgramBoardEvents::Starting() { SetToolboxTopmost(true); }

bool ProgramBoardEvents::Opened(HWND) {
    SetHelpWindowTopmost(true);
    if (LiveToolbox() == nullptr) return false;
    // The toolbox floats over the board.
    ShowToolbox(SW_SHOWNOACTIVATE);
    SetToolboxTopmost(true);
    return true;
}

void ProgramBoardEvents::Refilled() { SetToolboxTopmost(true); }

void ProgramBoardEvents::Closing() { SetHelpWindowTopmost(false); }

void ProgramBoardEvents::Ended(bool opened) {
    SetToolboxTopmost(false);
    // No board after all: the toolbox that was hidden for it comes back.
    if (!opened) ShowToolbox(SW_SHOWNOACTIVATE);
}

void ProgramBoardEvents::CommandInForce(PaletteCommand command) {
    SelectCell(PaletteCellOfCommand(command));
    RepaintPalette();
}

void ProgramBoardEvents::CommandDropped() {
    SelectCell(PreviousSelectedCell());
    RepaintPalette();
}

void ProgramBoardEvents::RegionWanted(bool second) {
    if (ToolboxLoaded) ToolboxRegionCommand(second);
}

void ProgramBoardEvents::FontWanted() {
    if (ToolboxLoaded) ToolboxFontCommand();
}

void ProgramBoardEvents::HelpWanted() {
    if (ToolboxLoaded) ShowHelpWindow();
}

void ProgramBoardEvents::ExitWanted() { EndProgram(); }

bool ProgramBoardEvents::BrushTypeChosen(int index) {
    if (!ToolboxLoaded) return false;
    SetToolboxBrushType(index);
    return true;
}

void ProgramBoardEvents::ColorPicked(COLORREF color) {
    if (ToolboxLoaded) SetToolboxColor1(color);
}

int ProgramBoardEvents::ColorPage() { return ToolboxLoaded ? ToolboxColorTarget() : 0; }

HWND ProgramBoardEvents::OwnerWindow() { return LiveToolbox(); }

ProgramBoardEvents& ProgramListener() {
    static ProgramBoardEvents listener;
    return listener;
}

void InstallProgramBoardEvents() { InstallBoardEvents(&ProgramListener()); }

void EndProgram() {
    DestroyBoardMenu();
    DestroyPictureWindowMenu();
    if (HHOOK hook = MouseHook.load()) RemoveMouseHook(hook);
    SaveSettings();
    ExitProcess(0);
}
