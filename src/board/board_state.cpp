#include "board/board_state.h"

#include <algorithm>
#include <utility>

#include "board/board.h"
#include "board/board_menu.h"
#include "board/board_text.h"
#include "board/commands.h"
#include "board/pointer.h"
#include "board/quick_save.h"
#include "board/tools/board_tool.h"
#include "board/tools/tool_table.h"
#include "graphics/canvas.h"
#include "settings/settings.h"
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

namespace {

// After a tool switch or a setting change: a layer the current tool does not
// draw over is committed and dropped, the board shows the committed drawing
// (unless a clear left it so already) and has the keyboard focus.
void SettleBoard(DrawingBoard& b, bool boardIsCommitted) {
    const BoardTool* tool = b.tools.For(b.state.currentTool);
    const bool layerWanted = tool != nullptr && tool->LayerNeeded() != LayerKind::None;
    if (!layerWanted && b.Layer().IsCreated()) {
        b.Commit();
        b.Show();
        b.DropLayer();
    }
    if (!boardIsCommitted) b.Restore();
    ForceFocus(b.Window());
}

}  // namespace

void SelectToolOnBoard(DrawingBoard& b, ToolKind tool) {
    if (const BoardTool* current = b.tools.For(b.state.currentTool)) {
        switch (current->WhenLeft(b.state.currentTool == tool)) {
        case Leaving::Commit:
            b.Commit();
            break;
        case Leaving::Wipe:
            b.Restore();
            b.Show();
            break;
        case Leaving::Keep:
            break;
        }
    }
    b.state.currentTool = tool;
    // Right after a clear the board canvas is the committed drawing already:
    // restoring it again would only copy the whole canvas for nothing.
    const bool boardIsCommitted = b.TakeMatchesCommitted();
    BoardTextEnd(b);  // what was typed stays
    if (BoardTool* next = b.tools.For(tool)) {
        // The tool starts afresh (a new polyline, the polygon's fill rule, ...)
        // over the layer it needs.
        PointerContext c = BoardPointerContext(b);
        next->Selected(c);
        b.PrepareLayer(next->LayerNeeded());
        if (next->ShowsOnSelection()) return;  // what its selection showed stays on show
    }
    SettleBoard(b, boardIsCommitted);
}

void ClearOnBoard(DrawingBoard& b) {
    // The clear is a switch to the transient clearing kind: what the tool
    // being left drew or shows is settled first, typed text stays.
    if (const BoardTool* current = b.tools.For(b.state.currentTool)) {
        if (current->WhenLeft(false) == Leaving::Commit) b.Commit();
    }
    b.state.currentTool = ToolClearing;
    b.TakeMatchesCommitted();
    BoardTextEnd(b);
    b.ClearToStart();  // leaves the board canvas committed and shown
    b.DropLayer();
    ForceFocus(b.Window());
}

void ApplySettingChange(DrawingBoard& b, SettingCode setting) {
    const bool boardIsCommitted = b.TakeMatchesCommitted();
    const BoardTool* tool = b.tools.For(b.state.currentTool);
    if (tool != nullptr && tool->Mark() != BoardMark::None) {
        // Its mark over the drawing goes with the old setting.
        b.Restore();
        b.Show();
    }
    b.ApplySettings();
    if ((setting == SettingCode::TextColor || setting == SettingCode::TextBack) &&
        b.state.textToolActive) {
        BoardTextRetype(b);
    }
    if (tool != nullptr && tool->KeepsBoardOnSettingChange()) return;
    SettleBoard(b, boardIsCommitted);
}

void OnBoardSettingMessage(HWND board, WPARAM code, LPARAM) {
    const int c = static_cast<int>(code);
    if (!IsSettingCode(c)) return;  // only setting changes come this way
    if (DrawingBoard* b = BoardOf(board)) ApplySettingChange(*b, static_cast<SettingCode>(c));
}

std::atomic<int>& SettingOfCode(SettingCode code) {
    switch (code) {
    case SettingCode::PenWidth: return Settings.penWidth;
    case SettingCode::PenColor: return Settings.penColor;
    case SettingCode::BrushColor: return Settings.brushColor;
    case SettingCode::BrushStyle: return Settings.brushType;
    case SettingCode::TextColor: return Settings.textColor;
    case SettingCode::TextBack: break;
    }
    return Settings.backColor;
}

void ChangeSetting(SettingCode code, int value) {
    SettingOfCode(code).store(value);
    HWND board = BoardWindow.load();
    if (board != nullptr && IsWindow(board))
        PostMessageA(board, BoardSettingMessage, static_cast<WPARAM>(code),
                     static_cast<LPARAM>(value));
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
