#include "board/commands.h"

#include <string>
#include <utility>
#include <vector>

#include "../../res/icon_ids.h"

#include "window/owner_thread.h"
#include "settings/settings.h"
#include "board/board.h"
#include "board/board_events.h"
#include "board/pixel_rules.h"
#include "board/tools/tool_table.h"
#include "capture/save.h"
#include "graphics/canvas.h"

std::atomic<bool> FillStyleSubstituted{false};

namespace {

using PC = PaletteCommand;
using Id = BoardMenuId;

// How long the save waits for the board to hand over its picture.
constexpr DWORD kBoardReadTimeoutMs = 10000;

// The board's save: the dialog runs on the calling thread (owned by the board
// there, by the toolbox elsewhere); once a name is chosen the picture is read
// on the board thread, which owns the canvas.
void SaveBoard() {
    HWND board = BoardWindow.load();
    if (board == nullptr || !IsWindow(board)) return;
    HWND owner = OnBoardThread() ? board : Events().OwnerWindow();
    SavePicture(owner, [board] {
        std::vector<std::uint8_t> bytes;
        CallOnOwner(
            board,
            [board, &bytes] {
                if (DrawingBoard* b = BoardOf(board)) bytes = b->boardCanvas.ToBmpBytes();
            },
            kBoardReadTimeoutMs);
        return bytes;  // empty when the board went away meanwhile
    });
}
void RegionScreenshot() { Events().RegionWanted(false); }
void RegionScreenshotSecond() { Events().RegionWanted(true); }
void FontDialog() { Events().FontWanted(); }
void ShowHelp() { Events().HelpWanted(); }
void PasteBoard() { PasteClipboardBoard(); }

// clang-format off
constexpr CommandDescription kCommands[] = {
    // command    tip                                                icon
    //   menu id              caption           separator  primary               secondary
    {PC::Capture, "截屏到画板窗口",                                  IDR_ICON_CAPTURE,
        Id::None,             nullptr,          false,     &CaptureToBoard,      nullptr},
    {PC::Region,  "框选区域截屏",                                    IDR_ICON_REGION,
        Id::None,             nullptr,          false,     &RegionScreenshot,    &RegionScreenshotSecond},
    {PC::Font,    "字体",                                            IDR_ICON_FONT,
        Id::None,             nullptr,          false,     &FontDialog,          nullptr},
    {PC::Clear,   "清除绘制痕迹",                                    IDR_ICON_CLEAR,
        Id::Clear,            "清除(Esc)",      true,      &ClearBoard,          nullptr},
    {PC::Open,    "左键：打开图片文件\r\n右键：打开剪辑板中的图片", IDR_ICON_OPEN,
        Id::None,             nullptr,          false,     &OpenPictureBoard,    &PasteBoard},
    {PC::Save,    "保存为图片文件",                                  IDR_ICON_SAVE,
        Id::Save,             "保存到文件",     false,     &SaveBoard,           nullptr},
    {PC::None,    "",                                                0,
        Id::CopyToClipboard,  "复制到剪贴板",   true,      &CopyBoardToClipboard, nullptr},
    {PC::Close,   "关闭画板窗口",                                    IDR_ICON_CLOSE,
        Id::Close,            "关闭画板(F9)",   false,     &CloseBoard,          nullptr},
    {PC::None,    "",                                                0,
        Id::Exit,             "结束程序",       false,     &ExitProgram,         nullptr},
    // The help cell has no tooltip.
    {PC::Help,    "",                                                IDR_ICON_HELP,
        Id::None,             nullptr,          false,     &ShowHelp,            nullptr},
};
// clang-format on

// The fill tool fills with the current brush, so a hollow brush is swapped
// for the solid one while the fill cell is chosen.
void SubstituteFillBrush() {
    const std::optional<int> solid = FillSubstituteFor(Settings.brushType.load());
    if (!solid || !ChooseBrushType(*solid)) return;
    FillStyleSubstituted.store(true);
}

void UndoFillSubstitution() {
    // The list holds the user's choice: a type chosen since the swap stays.
    const bool substituted = FillStyleSubstituted.exchange(false);
    if (const auto hollow = FillBrushToRestore(substituted, Settings.brushType.load()))
        ChooseBrushType(*hollow);
}

// The eyedropper's palette and the fill tool's crosshair live only on the
// board canvas: restoring it from the back canvas takes them away.
void RemoveToolOverlay() {
    HWND board = BoardWindow.load();
    if (board == nullptr) return;
    RunOnOwner(board, [board] {
        DrawingBoard* b = BoardOf(board);
        if (b == nullptr) return;
        const int tool = b->state.currentTool;
        if (tool != ToolEyedropper && tool != ToolFill) return;
        RestoreBoardCanvas(*b);
        ShowBoardCanvas(*b);
    });
}

void RunPrimaryAction(PaletteCommand command) {
    if (const std::optional<ToolKind> tool = PrimaryToolOfCommand(command)) {
        if (*tool == ToolFill) SubstituteFillBrush();
        SelectTool(*tool);
        return;
    }
    const CommandDescription* row = CommandDescriptionOf(command);
    if (row != nullptr && row->primary != nullptr) row->primary();
}

void RunSecondaryAction(PaletteCommand command) {
    if (const std::optional<ToolKind> tool = SecondaryToolOfCommand(command)) {
        Events().CommandInForce(command);
        SelectTool(*tool);
        return;
    }
    const CommandDescription* row = CommandDescriptionOf(command);
    if (row != nullptr && row->secondary != nullptr) row->secondary();
}

// The tooltips of every cell, made once: a cell with a right-button tool
// names both of its tools.
struct CellTips {
    std::vector<std::pair<PaletteCommand, std::string>> tips;
    CellTips() {
        for (const ToolDescription& row : ToolDescriptions()) {
            if (row.rightButton || row.cell == PC::None) continue;
            const ToolDescription* second = DescriptionOfCell(row.cell, true);
            tips.emplace_back(row.cell, second == nullptr
                                            ? std::string(row.tip)
                                            : std::string("左键：") + row.tip + "\r\n右键：" +
                                                  second->tip);
        }
    }
};

}  // namespace

std::optional<ToolKind> PrimaryToolOfCommand(PaletteCommand command) {
    if (const ToolDescription* row = DescriptionOfCell(command, false)) return row->kind;
    return std::nullopt;
}

std::optional<ToolKind> SecondaryToolOfCommand(PaletteCommand command) {
    if (const ToolDescription* row = DescriptionOfCell(command, true)) return row->kind;
    return std::nullopt;
}

ToolCell CellOfTool(ToolKind tool) {
    const ToolDescription* row = DescriptionOf(tool);
    if (row == nullptr) return ToolCell{};
    return ToolCell{row->cell, row->cell != PC::None && row->rightButton};
}

bool IsSecondaryTool(ToolKind tool) { return CellOfTool(tool).right; }

std::span<const CommandDescription> CommandDescriptions() { return kCommands; }

const CommandDescription* CommandDescriptionOf(PaletteCommand command) {
    if (command == PC::None) return nullptr;
    for (const CommandDescription& row : kCommands)
        if (row.command == command) return &row;
    return nullptr;
}

const char* CellTipOf(PaletteCommand command) {
    static const CellTips cellTips;
    if (const CommandDescription* row = CommandDescriptionOf(command)) return row->tip;
    for (const auto& [cell, tip] : cellTips.tips)
        if (cell == command) return tip.c_str();
    return "";
}

int CellIconOf(PaletteCommand command) {
    if (const CommandDescription* row = CommandDescriptionOf(command)) return row->icon;
    if (const ToolDescription* row = DescriptionOfCell(command, false)) return row->icon;
    return 0;
}

bool ChooseBrushType(int index) { return Events().BrushTypeChosen(index); }

void RunCellCommand(PaletteCommand command, bool rightButton) {
    if (!rightButton) {
        UndoFillSubstitution();
        RemoveToolOverlay();
        RunPrimaryAction(command);
    } else {
        RemoveToolOverlay();
        RunSecondaryAction(command);
    }
}
