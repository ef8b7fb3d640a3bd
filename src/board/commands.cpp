#include "board/commands.h"

#include <commdlg.h>

#include <string>
#include <utility>
#include <vector>

#include "../../res/icon_ids.h"

#include "board/board.h"
#include "board/board_events.h"
#include "board/pixel_rules.h"
#include "board/tools/board_tool.h"
#include "board/tools/tool_table.h"
#include "capture/clipboard.h"
#include "capture/save.h"
#include "graphics/canvas.h"
#include "graphics/gdip_image.h"
#include "settings/settings.h"
#include "window/owner_thread.h"

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
                if (DrawingBoard* b = BoardOf(board)) bytes = b->Shown().ToBmpBytes();
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
// for the solid one while the fill cell is chosen; the next primary action
// swaps it back. Both swaps of one action are worked out before either is
// asked for, and only their result is: the toolbox applies it on its own
// thread, so a brush type read back in between could be stale.
void SwapFillBrush(bool choosingFill) {
    const FillBrushChange change = FillBrushForPrimaryAction(
        FillStyleSubstituted.load(), Settings.brushType.load(), choosingFill);
    const bool chosen = !change.choose || ChooseBrushType(*change.choose);
    FillStyleSubstituted.store(change.substituted && chosen);
}

// The eyedropper's palette and the fill tool's crosshair live only on the
// board canvas: restoring it from the back canvas takes them away.
void RemoveToolOverlay() {
    HWND board = BoardWindow.load();
    if (board == nullptr) return;
    RunOnOwner(board, [board] {
        DrawingBoard* b = BoardOf(board);
        if (b == nullptr) return;
        const BoardTool* tool = b->tools.For(b->state.currentTool);
        if (tool == nullptr || tool->Mark() != BoardMark::WipedByCommands) return;
        b->Restore();
        b->Show();
    });
}

void RunPrimaryAction(PaletteCommand command) {
    if (const std::optional<ToolKind> tool = PrimaryToolOfCommand(command)) {
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


// The open dialog; false when the user cancels.
bool AskPictureFile(std::string& path) {
    std::string filter = kOpenPictureFilter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.push_back('\0');
    char file[MAX_PATH * 4] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = Events().OwnerWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof(file);
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameA(&ofn)) return false;
    path = file;
    return !path.empty();
}

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
        SwapFillBrush(PrimaryToolOfCommand(command) == ToolFill);
        RemoveToolOverlay();
        RunPrimaryAction(command);
    } else {
        RemoveToolOverlay();
        RunSecondaryAction(command);
    }
}

const char* const kOpenPictureFilter =
    "所有图片文件|*.jpg;*.bmp;*.png;*.gif|JPG图片|*.jpg|BMP图片|*.bmp|PNG图片|*.png|GIF图片|*.gif|"
    "所有文件|*.*";

void OpenPictureBoard() {
    std::string path;
    if (!AskPictureFile(path) || !OpenPictureBoardFile(path)) {
        // Cancelled, or a file that cannot become a board: as if cancelled.
        Events().CommandDropped();
    }
}

bool OpenPictureBoardFile(const std::string& path) {
    // A header that states a size we refuse: not even read.
    std::vector<std::uint8_t> bytes;
    if (!ReadPictureFile(path, bytes)) return false;
    return MakeBoardFromPicture(DecodePicture(bytes), true);
}

bool PasteClipboardBoard() {
    std::vector<std::uint8_t> bytes = ReadClipboardPicture();
    if (bytes.empty()) return false;
    return MakeBoardFromPicture(DecodePicture(bytes), false);
}

void ClearBoard() {
    const auto remembered = static_cast<ToolKind>(ChosenTool.load());
    // The clear runs on the board in turn with the selections queued before
    // and after it; until the tool of before is chosen again the clearing
    // kind is the chosen one.
    ChosenTool.store(ToolClearing);
    HWND board = LiveBoard();
    if (board == nullptr) return;  // only the tool changes; there is nothing to clear
    if (OnBoardThread()) {
        if (DrawingBoard* b = BoardOf(board)) ClearOnBoard(*b);
    } else {
        PostMessageA(board, kBoardClearMessage, 0, 0);
    }

    // Back to the tool of before, through its own cell (the previously
    // selected cell may be one that selects no tool, such as capture or help).
    const ToolCell cell = CellOfTool(remembered);
    if (cell.command != PaletteCommand::None) {
        Events().CommandInForce(cell.command);
        RunCellCommand(cell.command, cell.right);
    } else {
        Events().CommandDropped();
    }
}

void CloseBoard() {
    if (HWND board = LiveBoard()) PostMessageA(board, WM_CLOSE, 0, 0);
    Events().CommandInForce(PaletteCommand::Pen);
    // The pen again, without a switch: the board that would apply one is closing.
    ChosenTool.store(ToolPen);
}

void PostBoardFontChanged() {
    if (HWND board = LiveBoard()) PostMessageA(board, kBoardFontMessage, 0, 0);
}

void CopyBoardToClipboard() {
    if (HWND board = LiveBoard()) {
        RunOnOwner(board, [board] {
            if (DrawingBoard* b = BoardOf(board))
                CopyCanvasToClipboard(Events().OwnerWindow(), b->Shown());
        });
    }
}

void ExitProgram() { Events().ExitWanted(); }
