#include "board/board_state.h"

#include <algorithm>

#include "app/globals.h"
#include "app/settings.h"
#include "board/board.h"
#include "board/board_menu.h"
#include "board/commands.h"
#include "board/pointer.h"
#include "board/tools/board_tool.h"
#include "board/tools/tool_table.h"
#include "graphics/canvas.h"

BoardState Board;

namespace {

constexpr int kEyedropperPaletteSide = 200;

bool IsPlusKey(WPARAM key) { return key == VK_OEM_PLUS || key == VK_ADD; }
bool IsMinusKey(WPARAM key) { return key == VK_OEM_MINUS || key == VK_SUBTRACT; }

// Re-runs the current tool's pointer move at the last pointer position, so
// that a preview under construction shows what a key has just changed.
void RefreshPreview(HWND board) {
    BoardTool* tool = ToolFor(Board.currentTool);
    if (tool == nullptr) return;
    PointerContext c = BoardPointerContext(board);
    tool->Refresh(c);
}

void ApplyTextBackground(Canvas& canvas, int back) {
    if (back == kNoTextBackground) {
        canvas.TextTransparent(true);
    } else {
        canvas.TextTransparent(false);
        canvas.TextBackColor(static_cast<COLORREF>(back));
    }
}

void ApplySetting(int code, int value) {
    for (Canvas* canvas : {&BoardCanvas, &BackCanvas}) {
        switch (static_cast<SettingCode>(code)) {
        case SettingCode::PenWidth:
            canvas->PenWidth(value);
            break;
        case SettingCode::PenColor:
            canvas->PenColor(static_cast<COLORREF>(value));
            break;
        case SettingCode::BrushColor:
            canvas->BrushColor(static_cast<COLORREF>(value));
            break;
        case SettingCode::BrushStyle:
            canvas->BrushStyle(value);
            break;
        case SettingCode::TextColor:
            canvas->TextColor(static_cast<COLORREF>(value));
            break;
        case SettingCode::TextBack:
            // The message only says that it changed; the setting holds it.
            ApplyTextBackground(*canvas, Settings.backColor.load());
            break;
        }
    }
}

void GiveBoardFocus(HWND board) {
    const DWORD self = GetCurrentThreadId();
    const DWORD boardThread = GetWindowThreadProcessId(board, nullptr);
    const bool attached = self != boardThread && AttachThreadInput(self, boardThread, TRUE);
    SetFocus(board);
    if (attached) AttachThreadInput(self, boardThread, FALSE);
}

// The selection itself, where the board lives.
void SelectToolHere(ToolKind tool) {
    const ToolKind current = Board.currentTool;
    if (current == ToolCurve) {
        // What was drawn of the curve stays, also when the curve is chosen
        // again to start a new one (the switch below restores the board from
        // the committed drawing).
        CommitBoardCanvas();
    } else if (current == ToolEraser && tool != ToolEraser) {
        // The eraser's hover square lives only on BoardCanvas; it must not be
        // committed with the switch below.
        RestoreBoardCanvas();
        if (tool == ToolCurve) ShowBoardCanvas();
    }
    Board.currentTool = tool;
    HWND board = BoardWindow.load();
    if (board != nullptr && IsWindow(board)) {
        ApplyBoardChange(board, tool, 0, true);
    } else {
        BoardCanvas.LoadPicture(PalettePicture);  // ready for the eyedropper
    }
}

void RunKeyCommand(HWND board, WPARAM key) {
    const BoardMenuId id = MenuIdOfLetterKey(static_cast<int>(key));
    if (id != BoardMenuId::None) {
        BoardMenuCommand(board, static_cast<WPARAM>(id), 0);
        return;
    }
    if (const int style = BrushStyleOfDigitKey(static_cast<int>(key)); style >= 0) {
        ChooseBrushType(style);
        return;
    }
    if (key == VK_ESCAPE) {
        BoardMenuCommand(board, static_cast<WPARAM>(BoardMenuId::Clear), 0);
        return;
    }
    // Plus, minus and the arrow keys belong to the current tool (vertex
    // counts, corner radius, table lines); the others ignore them.
    BoardTool* tool = ToolFor(Board.currentTool);
    if (tool == nullptr) return;
    PointerContext c = BoardPointerContext(board);
    if (IsPlusKey(key) || IsMinusKey(key)) {
        tool->Adjust(c, IsPlusKey(key) ? 1 : -1);
    } else if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
        tool->ArrowKey(c, key);
    }
}

}  // namespace

void ResetMultiPointState() { BoardTools().ResetGestures(); }

BoardMenuId MenuIdOfLetterKey(int key) {
    const ToolDescription* row = DescriptionOfLetter(key);
    return row != nullptr ? row->menuId : BoardMenuId::None;
}

int BrushStyleOfDigitKey(int key) {
    if (key >= '1' && key <= '8') return key - '1';
    if (key >= VK_NUMPAD1 && key <= VK_NUMPAD8) return key - VK_NUMPAD1;
    return -1;
}

void SelectTool(ToolKind tool) {
    RunOnBoardThread([tool] { SelectToolHere(tool); });
}

void ApplyBoardChange(HWND board, int code, int value, bool toolSwitch) {
    if (toolSwitch) {
        if (Board.textToolActive) Board.textToolActive = false;
        if (!Board.textToolActive) {
            Board.typing = false;
            DestroyCaret();
        }
    }

    if (toolSwitch) {
        // The tool starts afresh (a new polyline, the polygon's fill rule, ...).
        if (BoardTool* tool = ToolFor(static_cast<ToolKind>(code))) {
            PointerContext c = BoardPointerContext(board);
            tool->Selected(c);
        }
        // What the tools without an object of their own yet do on selection.
        switch (code) {
        case ToolBezier:
        case ToolChainedArcs:
            ResetMultiPointState();
            break;
        case ToolCurve:
            ResetMultiPointState();
            PreparePictureCanvas();  // the drawing so far, under the curve
            break;
        case ToolText:
            Board.textToolActive = true;
            BoardCanvas.Font(GetTextFont());
            BoardCanvas.TextColor(static_cast<COLORREF>(Settings.textColor.load()));
            ApplyTextBackground(BoardCanvas, Settings.backColor.load());
            if (CommandSeams.textArmed != nullptr) CommandSeams.textArmed();
            break;
        case ToolEyedropper: {
            GpImage* palette = BoardCanvas.LoadPicture(PalettePicture);
            RestoreBoardCanvas();
            BoardCanvas.DrawPicture(palette, (BoardSize.cx - kEyedropperPaletteSide) / 2,
                                    (BoardSize.cy - kEyedropperPaletteSide) / 2,
                                    kEyedropperPaletteSide, kEyedropperPaletteSide);
            ShowBoardCanvas();
            return;  // the palette stays on show
        }
        case ToolEraser:
            ResetMultiPointState();
            PreparePictureCanvas();  // the untouched starting picture
            break;
        case ToolClearing:
            ApplyClear();
            break;
        default:
            break;
        }
    } else if (IsSettingCode(code)) {
        const int tool = Board.currentTool;
        if (tool == ToolEyedropper || tool == ToolFill || tool == ToolEraser) {
            RestoreBoardCanvas();
            ShowBoardCanvas();
        }
        ApplySetting(code, value);
        const auto setting = static_cast<SettingCode>(code);
        if ((setting == SettingCode::TextColor || setting == SettingCode::TextBack) &&
            Board.textToolActive &&
            CommandSeams.textRetype != nullptr) {
            CommandSeams.textRetype();
        }
        if (tool == ToolCurve) return;  // the curve in progress survives
    } else {
        return;
    }

    const int tool = Board.currentTool;
    if (tool != ToolCurve && tool != ToolEraser && PictureCanvas.IsCreated()) {
        CommitBoardCanvas();
        ShowBoardCanvas();
        PictureCanvas.Destroy();
    }
    RestoreBoardCanvas();
    GiveBoardFocus(board);
}

void OnBoardSettingMessage(HWND board, WPARAM code, LPARAM value) {
    const int c = static_cast<int>(code);
    if (!IsSettingCode(c)) return;  // only setting changes come this way
    ApplyBoardChange(board, c, static_cast<int>(value), false);
}

void OnBoardKeyDown(HWND board, WPARAM key, LPARAM) {
    switch (key) {
    case VK_SPACE:
        Board.spaceHeld = true;
        RefreshPreview(board);
        break;
    case VK_SHIFT:
        Board.shiftHeld = true;
        RefreshPreview(board);
        break;
    case VK_CONTROL:
        Board.ctrlHeld = true;
        RefreshPreview(board);
        break;
    default:
        break;
    }
    if (key == 'C' && Board.ctrlHeld) CopyBoardToClipboard();
    if (key == 'V' && Board.ctrlHeld && Board.typing) {
        if (CommandSeams.textPaste != nullptr) CommandSeams.textPaste();
        ShowBoardCanvas();
    }
    const bool commandsAllowed = (!Board.textToolActive && !Board.shiftHeld && !Board.ctrlHeld) ||
                                 (Board.textToolActive && !Board.typing);
    if (commandsAllowed) RunKeyCommand(board, key);
}

void OnBoardKeyUp(HWND board, WPARAM key, LPARAM) {
    switch (key) {
    case VK_SPACE:
        Board.spaceHeld = false;
        break;
    case VK_SHIFT:
        Board.shiftHeld = false;
        break;
    case VK_CONTROL:
        Board.ctrlHeld = false;
        break;
    default:
        return;
    }
    RefreshPreview(board);
}
