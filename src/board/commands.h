#pragma once
// The palette commands: what a toolbox cell, a board menu item, a tool key or
// F9 asks the board to do (PaletteCommand, board/command_ids.h). The left button
// runs a cell's primary action, the right button its secondary one. Tool
// commands come from the tool table (board/tools/tool_table.h); the other
// commands (capture, region screenshot, font, clear, open, save, close, help,
// and the menu's copy and exit) from one command table here.
//
// Commands may be issued from the toolbox thread or from the board thread.
// Everything that touches a live board's canvases or state is carried out on
// the board thread (through the board window's queue, see board.h).

#include <windows.h>

#include <atomic>
#include <optional>
#include <span>

#include "board/board_state.h"
#include "board/command_ids.h"

// Runs `command` as a left (primary) or right (secondary) click.
void RunCellCommand(PaletteCommand command, bool rightButton);

// The tool a cell's left (or right) button selects, if any.
std::optional<ToolKind> PrimaryToolOfCommand(PaletteCommand command);
std::optional<ToolKind> SecondaryToolOfCommand(PaletteCommand command);
// The cell whose action selects `tool` (and whether it is the right
// button's); command None for tools no cell selects.
struct ToolCell {
    PaletteCommand command = PaletteCommand::None;
    bool right = false;
};
ToolCell CellOfTool(ToolKind tool);
// True for the tools a cell's right button selects (rounded rectangle, star,
// radius arc, chained arcs).
bool IsSecondaryTool(ToolKind tool);

// A command that selects no tool.
struct CommandDescription {
    PaletteCommand command;  // None: only in the board menu
    const char* tip;         // the cell's whole tooltip ("" for none), GBK
    int icon;                // the cell's picture (resource id)
    BoardMenuId menuId;      // None: not in the board menu
    const char* menuCaption;
    bool menuSeparatorAfter;  // the menu starts a new group after it
    void (*primary)();        // left button, or the menu item's direct action
    void (*secondary)();      // right button; nullptr: nothing
};
std::span<const CommandDescription> CommandDescriptions();
const CommandDescription* CommandDescriptionOf(PaletteCommand command);

// What a cell shows, from the tool rows or the command row of its command:
// its tooltip ("" for none; a cell with a right-button tool names both tools)
// and its picture (0 for none).
const char* CellTipOf(PaletteCommand command);
int CellIconOf(PaletteCommand command);

// True while the fill cell has swapped a hollow brush for the solid one; the
// next primary action swaps it back. Belongs to the command dispatcher, not
// to a board: it outlives boards as the brush list does.
extern std::atomic<bool> FillStyleSubstituted;

// Announces the brush type `index` (board/board_events.h): the program shows
// and applies it. False (nothing happens) when no program takes it.
bool ChooseBrushType(int index);
