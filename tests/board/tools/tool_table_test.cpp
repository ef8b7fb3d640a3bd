// What is derived from the tool table: the letter keys (as the README lists
// them), the board menu's tool items, the cells that select each tool and the
// tool objects.

#include "board/tools/tool_table.h"

#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "../../../res/resource.h"
#include "app/palette.h"
#include "app/startup.h"
#include "board/board_menu.h"
#include "board/board_state.h"
#include "board/commands.h"
#include "board/tools/board_tool.h"
#include "support/board_fixture.h"
#include "support/menu_rows.h"

namespace {

// The README as the test program carries it, in the program's code page (so
// that "Bézier" compares with the table's text).
std::string Readme() {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_TEST_README), MAKEINTRESOURCEA(10));
    if (found == nullptr) return "";
    HGLOBAL loaded = LoadResource(nullptr, found);
    const char* bytes = loaded != nullptr ? static_cast<const char*>(LockResource(loaded)) : nullptr;
    const int size = static_cast<int>(SizeofResource(nullptr, found));
    if (bytes == nullptr || size == 0) return "";
    const int wide = MultiByteToWideChar(CP_UTF8, 0, bytes, size, nullptr, 0);
    std::wstring text(static_cast<std::size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes, size, text.data(), wide);
    const int narrow = WideCharToMultiByte(CP_ACP, 0, text.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(narrow), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), wide, out.data(), narrow, nullptr, nullptr);
    return out;
}

// "P pen, J arrow, ..., X eraser;" after "tool letters as in the menu:".
std::map<char, std::string> ReadmeLetters() {
    const std::string readme = Readme();
    const std::string lead = "tool letters as in the menu:";
    const std::size_t start = readme.find(lead);
    if (start == std::string::npos) return {};
    const std::size_t end = readme.find(';', start);
    std::string list = readme.substr(start + lead.size(), end - start - lead.size());
    std::string flat;  // one line, single spaces
    for (char ch : list) {
        const bool blank = ch == ' ' || ch == '\r' || ch == '\n';
        if (blank && (flat.empty() || flat.back() == ' ')) continue;
        flat += blank ? ' ' : ch;
    }
    std::map<char, std::string> letters;
    std::size_t at = 0;
    while (at < flat.size()) {
        std::size_t comma = flat.find(',', at);
        if (comma == std::string::npos) comma = flat.size();
        std::string entry = flat.substr(at, comma - at);
        while (!entry.empty() && entry.front() == ' ') entry.erase(0, 1);
        while (!entry.empty() && entry.back() == ' ') entry.pop_back();
        if (entry.size() > 2 && entry[1] == ' ') letters[entry[0]] = entry.substr(2);
        at = comma + 1;
    }
    return letters;
}

}  // namespace

TEST(ToolTable, EveryLetterTheReadmeListsSelectsThatTool) {
    const std::map<char, std::string> letters = ReadmeLetters();
    ASSERT_EQ(letters.size(), 23u) << "the README's key list was not found or changed shape";
    for (const auto& [letter, name] : letters) {
        const ToolDescription* row = DescriptionOfLetter(letter);
        ASSERT_NE(row, nullptr) << letter;
        EXPECT_EQ(row->name, name) << letter;
        EXPECT_EQ(MenuIdOfLetterKey(letter), row->menuId) << letter;
    }
    // And the README names every letter the board knows.
    for (const ToolDescription& row : ToolDescriptions()) {
        if (row.letter != 0) {
            EXPECT_EQ(letters.count(row.letter), 1u) << row.name;
        }
    }
    for (char other : {'U', 'W', 'Z', '1'}) {
        EXPECT_EQ(MenuIdOfLetterKey(other), BoardMenuId::None) << other;
    }
}

TEST(ToolTable, TheBoardMenuListsEveryToolCaptionWithItsLetter) {
    FillMenuItemList();  // as start-up does
    HMENU menu = BuildBoardMenu();
    ASSERT_NE(menu, nullptr);
    std::map<UINT, std::string> shown;
    for (const menu_test::MenuRowSeen& row : menu_test::RowsOf(menu))
        if (!row.separator) shown[row.id] = row.caption;
    DestroyBoardMenu();
    int tools = 0;
    for (const ToolDescription& row : ToolDescriptions()) {
        if (row.menuId == BoardMenuId::None) continue;
        ++tools;
        const UINT id = static_cast<UINT>(row.menuId);
        ASSERT_EQ(shown.count(id), 1u) << row.name;
        EXPECT_EQ(shown[id], row.menuCaption) << row.name;
        // The caption's accelerator is the tool's key on the board.
        EXPECT_NE(shown[id].find(std::string("(&") + row.letter + ")"), std::string::npos)
            << row.name;
    }
    EXPECT_EQ(tools, 23);
}

TEST(ToolTable, EachCellButtonSelectsAtMostOneToolAndBackAgain) {
    std::set<std::pair<PaletteCommand, bool>> seen;
    for (const ToolDescription& row : ToolDescriptions()) {
        if (row.cell == PaletteCommand::None) continue;
        EXPECT_TRUE(seen.insert({row.cell, row.rightButton}).second) << row.name;
        EXPECT_NE(PaletteCellOfCommand(row.cell), 0) << row.name;
        const std::optional<ToolKind> selected =
            row.rightButton ? SecondaryToolOfCommand(row.cell) : PrimaryToolOfCommand(row.cell);
        EXPECT_EQ(selected, row.kind) << row.name;
        EXPECT_EQ(CellOfTool(row.kind).command, row.cell) << row.name;
        EXPECT_EQ(IsSecondaryTool(row.kind), row.rightButton) << row.name;
        // A right-button tool shares a cell whose left button selects a tool.
        if (row.rightButton) {
            EXPECT_TRUE(PrimaryToolOfCommand(row.cell).has_value()) << row.name;
        }
    }
    EXPECT_FALSE(PrimaryToolOfCommand(PaletteCommand::Save).has_value());
    EXPECT_FALSE(SecondaryToolOfCommand(PaletteCommand::Arrow).has_value());
    EXPECT_EQ(CellOfTool(ToolClearing).command, PaletteCommand::None);
}

TEST(ToolTable, ToolsWithAFactoryHaveTheirObjectOnTheBoard) {
    ToolSet tools;
    for (const ToolDescription& row : ToolDescriptions()) {
        EXPECT_EQ(tools.For(row.kind) != nullptr, row.make != nullptr) << row.name;
        EXPECT_EQ(MakeTool(row.kind) != nullptr, row.make != nullptr) << row.name;
        if (row.make != nullptr) {
            EXPECT_NE(MakeTool(row.kind).get(), tools.For(row.kind));
        }
    }
    EXPECT_EQ(tools.For(ToolClearing), nullptr);
    EXPECT_EQ(tools.For(static_cast<ToolKind>(-1)), nullptr);
    EXPECT_EQ(tools.For(static_cast<ToolKind>(31)), nullptr);
}

// Every cell that selects a tool selects it on a live board, through the same
// routine as a click, with the tool's own button.
class ToolCells : public board_test::BoardTest {};

TEST_F(ToolCells, EveryToolCellSelectsItsToolOnTheBoard) {
    ASSERT_NE(CaptureBoard(), nullptr);
    for (const ToolDescription& row : ToolDescriptions()) {
        if (row.cell == PaletteCommand::None) continue;
        if (!row.rightButton) SelectCell(PaletteCellOfCommand(row.cell));
        RunCellCommand(row.cell, row.rightButton);
        EXPECT_EQ(board_test::CurrentTool(), row.kind) << row.name;
        EXPECT_EQ(SelectedCell(), PaletteCellOfCommand(row.cell)) << row.name;
    }
}
