#pragma once
// What the board tells the program around it. The board never reaches up to
// the toolbox, the help window or the palette: it announces what happened
// through this one interface, and the program installs its listener at
// start-up (app/board_listener.h). Without a listener every announcement
// does nothing, which is what a board on its own (in a test, say) wants.
//
// Announcements come from the board thread and from whichever thread runs a
// command; a listener must not wait on the board thread.

#include <windows.h>

#include "board/command_ids.h"

class BoardEvents {
public:
    virtual ~BoardEvents() = default;

    // ---- the board's life ----

    // The screen is about to be captured into a board: what would show in
    // the picture gets out of the way.
    virtual void Capturing() {}
    // A board thread began (before its window exists).
    virtual void Starting() {}
    // The board window is up and about to be activated. True when the
    // program keeps a window of its own floating over the board (the board
    // then stays below the topmost band).
    virtual bool Opened(HWND /*board*/) { return false; }
    // The live board took a new picture (open or paste).
    virtual void Refilled() {}
    // The board window is closing.
    virtual void Closing() {}
    // The board thread ended; `opened` is false when no board came up.
    virtual void Ended(bool /*opened*/) {}

    // ---- commands ----

    // `command` is now the one in force, as if its cell had been clicked.
    virtual void CommandInForce(PaletteCommand /*command*/) {}
    // The command just issued did nothing (cancelled, or not possible now):
    // the one in force before it is in force again.
    virtual void CommandDropped() {}
    // Requests the board passes on: a region screenshot (`second`: with the
    // last rectangle), the font dialog, the help window, the end of the
    // program.
    virtual void RegionWanted(bool /*second*/) {}
    virtual void FontWanted() {}
    virtual void HelpWanted() {}
    virtual void ExitWanted() {}

    // ---- settings shown by the program ----

    // The brush type became `index` (digit keys, the fill tool's brush
    // substitution): the program shows it and applies it. False when no
    // program is there to do so (nothing changes then).
    virtual bool BrushTypeChosen(int /*index*/) { return false; }
    // The eyedropper picked `color` into the setting ColorPage() names.
    virtual void ColorPicked(COLORREF /*color*/) {}
    // Where a picked colour goes: 0 pen, 1 brush, 2 text.
    virtual int ColorPage() { return 0; }
    // The window that owns the board's dialogs and clipboard when the board
    // itself does not (null for none; never a window that is gone).
    virtual HWND OwnerWindow() { return nullptr; }
};

// Installs the listener (null: none, every announcement does nothing) and
// returns the one it replaces. Any thread.
BoardEvents* InstallBoardEvents(BoardEvents* events);
BoardEvents& Events();
