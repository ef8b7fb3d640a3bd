#include "board/board_state.h"

#include <algorithm>
#include <utility>

#include "settings/settings.h"
#include "board/board.h"
#include "board/board_menu.h"
#include "board/board_text.h"
#include "board/commands.h"
#include "board/pointer.h"
#include "board/quick_save.h"
#include "board/tools/board_tool.h"
#include "board/tools/tool_table.h"
#include "graphics/canvas.h"
#include "window/focus.h"

namespace {


bool IsPlusKey(WPARAM key) { return key == VK_OEM_PLUS || key == VK_ADD; }
bool IsMinusKey(WPARAM key) { return key == VK_OEM_MINUS || key == VK_SUBTRACT; }

// Re-runs the current tool's pointer move at the last pointer position, so
// that a preview under construction shows what a key has just changed.
void RefreshPreview(DrawingBoard& b) {
    BoardTool* tool = b.tools.For(b.state.currentTool);
    if (tool == nullptr) return;
    PointerContext c = BoardPointerContext(b);
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

void ApplySetting(DrawingBoard& b, int code, int value) {
    for (Canvas* canvas : {&b.boardCanvas, &b.backCanvas}) {
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

void RunKeyCommand(DrawingBoard& b, WPARAM key) {
    HWND board = b.Window();
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
    BoardTool* tool = b.tools.For(b.state.currentTool);
    if (tool == nullptr) return;
    PointerContext c = BoardPointerContext(b);
    if (IsPlusKey(key) || IsMinusKey(key)) {
        tool->Adjust(c, IsPlusKey(key) ? 1 : -1);
    } else if (key == VK_LEFT || key == VK_RIGHT || key == VK_UP || key == VK_DOWN) {
        tool->ArrowKey(c, key);
    }
}

}  // namespace

void ResetMultiPointState(DrawingBoard& b) { b.tools.ResetGestures(); }

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
    ChosenTool.store(tool);
    HWND board = BoardWindow.load();
    if (board == nullptr || !IsWindow(board)) return;  // a new board starts with it
    if (OnBoardThread()) {
        if (DrawingBoard* b = BoardOf(board)) SelectToolOnBoard(*b, tool);
    } else {
        PostMessageA(board, kBoardToolMessage, static_cast<WPARAM>(tool), 0);
    }
}

void SelectToolOnBoard(DrawingBoard& b, ToolKind tool) {
    const ToolKind current = b.state.currentTool;
    if (current == ToolCurve) {
        // What was drawn of the curve stays, also when the curve is chosen
        // again to start a new one (the switch below restores the board from
        // the committed drawing).
        CommitBoardCanvas(b);
    } else if (current == ToolEraser && tool != ToolEraser) {
        // The eraser's hover square lives only on the board canvas; it must
        // not be committed with the switch below.
        RestoreBoardCanvas(b);
        if (tool == ToolCurve) ShowBoardCanvas(b);
    }
    b.state.currentTool = tool;
    ApplyBoardChange(b, tool, 0, true);
}

void ApplyBoardChange(DrawingBoard& b, int code, int value, bool toolSwitch) {
    BoardState& s = b.state;
    // Right after a clear the board canvas is the committed drawing already:
    // restoring it again would only copy the whole canvas for nothing.
    const bool boardIsCommitted = std::exchange(b.boardMatchesBack, false);
    if (toolSwitch) BoardTextEnd(b);  // what was typed stays

    if (toolSwitch) {
        // The tool starts afresh (a new polyline, the polygon's fill rule, ...).
        if (BoardTool* tool = b.tools.For(static_cast<ToolKind>(code))) {
            PointerContext c = BoardPointerContext(b);
            tool->Selected(c);
        }
        // What the tools without an object of their own yet do on selection.
        switch (code) {
        case ToolBezier:
        case ToolChainedArcs:
            ResetMultiPointState(b);
            break;
        case ToolCurve:
            ResetMultiPointState(b);
            PreparePictureCanvas(b);  // the drawing so far, under the curve
            break;
        case ToolEyedropper:
            return;  // the spectrum its selection showed stays on show
        case ToolEraser:
            ResetMultiPointState(b);
            PreparePictureCanvas(b);  // the untouched starting picture
            break;
        case ToolClearing:
            ApplyClear(b);  // leaves the board canvas committed and shown
            if (b.pictureCanvas.IsCreated()) b.pictureCanvas.Destroy();
            ForceFocus(b.Window());
            return;
        default:
            break;
        }
    } else if (IsSettingCode(code)) {
        const int tool = s.currentTool;
        if (tool == ToolEyedropper || tool == ToolFill || tool == ToolEraser) {
            RestoreBoardCanvas(b);
            ShowBoardCanvas(b);
        }
        ApplySetting(b, code, value);
        const auto setting = static_cast<SettingCode>(code);
        if ((setting == SettingCode::TextColor || setting == SettingCode::TextBack) &&
            s.textToolActive) {
            BoardTextRetype(b);
        }
        if (tool == ToolCurve) return;  // the curve in progress survives
    } else {
        return;
    }

    const int tool = s.currentTool;
    if (tool != ToolCurve && tool != ToolEraser && b.pictureCanvas.IsCreated()) {
        CommitBoardCanvas(b);
        ShowBoardCanvas(b);
        b.pictureCanvas.Destroy();
    }
    if (!boardIsCommitted) RestoreBoardCanvas(b);
    ForceFocus(b.Window());
}

void OnBoardSettingMessage(HWND board, WPARAM code, LPARAM value) {
    const int c = static_cast<int>(code);
    if (!IsSettingCode(c)) return;  // only setting changes come this way
    if (DrawingBoard* b = BoardOf(board)) ApplyBoardChange(*b, c, static_cast<int>(value), false);
}

void OnBoardKeyDown(HWND board, WPARAM key, LPARAM) {
    DrawingBoard* b = BoardOf(board);
    if (b == nullptr) return;
    BoardState& s = b->state;
    switch (key) {
    case VK_SPACE:
        s.spaceHeld = true;
        RefreshPreview(*b);
        break;
    case VK_SHIFT:
        s.shiftHeld = true;
        RefreshPreview(*b);
        break;
    case VK_CONTROL:
        s.ctrlHeld = true;
        RefreshPreview(*b);
        break;
    default:
        break;
    }
    if (key == 'C' && s.ctrlHeld) CopyBoardToClipboard();
    if (s.ctrlHeld && (key == 'Z' || key == 'Y')) {
        UndoOnBoard(*b, key == 'Y' || s.shiftHeld);
        return;
    }
    if (key == 'S' && s.ctrlHeld) {
        QuickSaveBoard(*b);
        return;
    }
    if (key == 'V' && s.ctrlHeld && s.typing) BoardTextPaste(*b);
    // With Ctrl held the letters are shortcuts (copy, paste, undo, redo), never tools.
    if (KeyCommandsAllowed(s)) RunKeyCommand(*b, key);
}

void OnBoardKeyUp(HWND board, WPARAM key, LPARAM) {
    DrawingBoard* b = BoardOf(board);
    if (b == nullptr) return;
    BoardState& s = b->state;
    switch (key) {
    case VK_SPACE:
        s.spaceHeld = false;
        break;
    case VK_SHIFT:
        s.shiftHeld = false;
        break;
    case VK_CONTROL:
        s.ctrlHeld = false;
        break;
    default:
        return;
    }
    RefreshPreview(*b);
}
