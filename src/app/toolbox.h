#pragma once
// The toolbox "画板工具箱": the program's main window. A title strip (drag
// handle and close button), the palette of 25 command cells, three radio
// buttons for the pen, fill and text pages and the controls of the page.
// It owns F9 and the mouse hook, docks at a screen edge, and its destruction
// ends the process.
//
// The window and its controls belong to the main thread. The routines marked
// "any thread" hand their work to the toolbox window (window/owner_thread.h), so
// the board thread may call them.

#include <windows.h>

#include <atomic>
#include <string>

#include "graphics/font_desc.h"
#include "graphics/tooltip.h"

// The tooltips of the palette cells.
extern ToolTip PaletteTips;

// The page shown: 0 pen, 1 fill, 2 text. Also the eyedropper's colour target.
extern std::atomic<int> ToolboxPage;

// Loads the toolbox (main thread): makes the window and its controls, runs
// the creation steps, shows it and gives the palette the focus. True when the
// window exists. Also sets ToolboxLoaded.
bool LoadToolbox();

// ---- for the board (any thread) ----

// Sets the brush-type list to `index` (0..7) and runs the list's
// selection-changed handling (brushType, picker 2, height, message 54).
// Nothing unless the toolbox is loaded; indexes outside 0..7 are ignored.
void SetToolboxBrushType(int index);
// Shows `color` in colour picker 1 (the page's main colour). Changes no setting.
void SetToolboxColor1(COLORREF color);
// Where a picked colour goes: 0 pen, 1 brush, 2 text (the current page).
int ToolboxColorTarget();
// Makes the toolbox always on top, or not (never waits for the main thread).
void SetToolboxTopmost(bool topmost);

// ---- palette commands run by the toolbox (any thread: they run on the toolbox's) ----

// Command 14: the font dialog for the text settings, then back to the cell
// selected before the font cell.
void ToolboxFontCommand();

// Command 98 (any thread; it starts on the toolbox's): the toolbox steps
// aside and returns at once; on a thread of its own the capture delay
// (bounded) passes, the region screenshot runs (`second`: the right button's,
// which remembers the region) and a chosen region opens in a picture window;
// then the toolbox comes back with the cell selected before. While one runs,
// another does nothing.
void ToolboxRegionCommand(bool second);

// ---- help window "说明" ----

// Command 23: loads the help window (once; a second call brings it forward),
// always on top while a board or picture window exists. Any thread: the
// window is made on the toolbox's thread, so it outlives a board.
void ShowHelpWindow();
bool HelpWindowLoaded();
HWND HelpWindowHandle();
// Any thread; nothing when the help window is not loaded.
void SetHelpWindowTopmost(bool topmost);
// The label's text: 13 lines, each followed by an empty line.
std::string HelpText();

// ---- seams for tests (a modal dialog or the end of the process would stop them) ----

using EndProcessRoutine = void (*)(UINT exitCode);
EndProcessRoutine SetToolboxEndProcessRoutine(EndProcessRoutine routine);

// The font dialog: true and `font` updated when the user confirmed.
using FontDialogRoutine = bool (*)(HWND owner, FontSpec& font, COLORREF color);
FontDialogRoutine SetFontDialogRoutine(FontDialogRoutine routine);

// Control handles, for tests and for the window's own layout.
struct ToolboxControls {
    HWND toolbox = nullptr;
    HWND titleStrip = nullptr;
    HWND palette = nullptr;
    HWND radio[3] = {nullptr, nullptr, nullptr};
    HWND penEdit = nullptr;
    HWND penSpin = nullptr;
    HWND brushList = nullptr;
    HWND picker1 = nullptr;
    HWND picker2 = nullptr;
};
ToolboxControls GetToolboxControls();

// Control ids.
constexpr int kIdTitleStrip = 1001;
constexpr int kIdPalette = 1002;
constexpr int kIdRadioPen = 1003;
constexpr int kIdRadioFill = 1004;
constexpr int kIdRadioText = 1005;
constexpr int kIdPenEdit = 1006;
constexpr int kIdPenSpin = 1007;
constexpr int kIdBrushList = 1008;
constexpr int kIdPicker1 = 1009;
constexpr int kIdPicker2 = 1010;

// The brush-type list's items, index = brush style.
extern const char* const kBrushTypeNames[8];
