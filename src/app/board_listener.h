#pragma once
// The program's answer to what the board announces (board/board_events.h):
// the toolbox hides for a capture and floats over the board, the palette
// shows the command in force, the help window follows the board's
// always-on-top state, and the board's requests reach the toolbox.
// Installed at start-up; what needs the toolbox does nothing while it is not
// loaded.

#include "board/board_events.h"

class ProgramBoardEvents : public BoardEvents {
public:
    void Capturing() override;
    void Starting() override;
    bool Opened(HWND board) override;
    void Refilled() override;
    void Closing() override;
    void Ended(bool opened) override;

    void CommandInForce(PaletteCommand command) override;
    void CommandDropped() override;
    void RegionWanted(bool second) override;
    void FontWanted() override;
    void HelpWanted() override;
    void ExitWanted() override;

    bool BrushTypeChosen(int index) override;
    void ColorPicked(COLORREF color) override;
    int ColorPage() override;
    HWND OwnerWindow() override;
};

// The one listener of the program, installed as the board's.
ProgramBoardEvents& ProgramListener();
void InstallProgramBoardEvents();

// Ends the program: menus, mouse hook, settings, exit code 0.
[[noreturn]] void EndProgram();
