#pragma once
// One row per drawing tool: everything the program knows about a tool, from
// its palette cell and letter key to the type that carries out its gestures.
// The cell mapping (board/commands.h), the letter keys, the tool rows of the
// board menu (board/board_menu.h), the cells' tooltips and pictures and
// ToolFor are all read from here. Adding a tool is one row here and one type
// derived from BoardTool.

#include <array>
#include <memory>
#include <optional>
#include <span>

#include "board/board_state.h"
#include "board/command_ids.h"
#include "board/tools/modifier_step.h"

class BoardTool;

struct ToolDescription;
using ToolFactory = std::unique_ptr<BoardTool> (*)(const ToolDescription& row);

struct ToolDescription {
    ToolKind kind;
    const char* name;  // plain English, as the README's key list names it

    // The palette cell that selects it, and whether its right button does.
    PaletteCommand cell;
    bool rightButton;
    // Its part of the cell's tooltip (a cell with a right-button tool shows
    // "左键：<left tool>\r\n右键：<right tool>"). GBK.
    const char* tip;
    // The cell's picture (resource id); 0 for right-button tools, whose cell
    // shows the left tool's.
    int icon;

    // Its letter key on the board (0: none) and its board menu item (the
    // caption carries the letter as its accelerator).
    char letter;
    BoardMenuId menuId;
    const char* menuCaption;  // nullptr: not in the menu
    bool menuSeparatorAfter;  // the menu starts a new group after it

    // What Shift and Ctrl do to its points.
    ModifierRules rules;
    // Makes its tool object; nullptr for a tool whose pointer behaviour is not
    // built yet (the board then only tracks the button for it).
    ToolFactory make;
};

// Every tool, in board menu order.
std::span<const ToolDescription> ToolDescriptions();
// The row of a tool, or nullptr (ToolClearing has none).
const ToolDescription* DescriptionOf(ToolKind kind);
// The row whose letter key is `key` (a capital letter's virtual-key code).
const ToolDescription* DescriptionOfLetter(int key);
// The row whose board menu id is `id`.
const ToolDescription* DescriptionOfMenuId(BoardMenuId id);
// The row of the tool a cell's left (or right) button selects.
const ToolDescription* DescriptionOfCell(PaletteCommand cell, bool rightButton);

// A new object of the tool, made by its row's factory; nullptr when the tool
// has none. Tests drive tools made this way with a local PointerContext.
std::unique_ptr<BoardTool> MakeTool(ToolKind kind);

// One object per tool (for every row with a factory), looked up by kind. Each
// board owns one set (board/board.h), so a new board starts with fresh tools.
class ToolSet {
public:
    ToolSet();
    ~ToolSet();
    ToolSet(ToolSet&&) noexcept;
    ToolSet& operator=(ToolSet&&) noexcept;

    BoardTool* For(ToolKind kind) const;
    // Every tool forgets its gesture in progress.
    void ResetGestures();

private:
    static constexpr int kSlots = ToolMoveBoard + 1;
    std::array<std::unique_ptr<BoardTool>, kSlots> tools_;
};

