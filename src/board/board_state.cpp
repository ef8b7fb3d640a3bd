#include "board/board_state.h"

#include <algorithm>

#include "app/globals.h"
#include "app/menus.h"
#include "app/settings.h"
#include "board/board.h"
#include "board/commands.h"
#include "board/pointer.h"
#include "graphics/canvas.h"

BoardState Board;

namespace {

constexpr int kEyedropperPaletteSide = 200;
constexpr int kVertexMin = 3;
constexpr int kVertexMax = 100;
constexpr int kClearMenuId = 121;
constexpr int kWindingFillMode = 2;  // WINDING

struct LetterKey {
    char letter;
    int menuId;
};

constexpr LetterKey kLetterKeys[] = {
    {'A', 112}, {'B', 114}, {'C', 108}, {'D', 109}, {'E', 107}, {'F', 119}, {'H', 116},
    {'I', 118}, {'J', 102}, {'L', 103}, {'M', 104}, {'N', 110}, {'P', 101}, {'Q', 115},
    {'R', 105}, {'S', 113}, {'T', 117}, {'V', 111}, {'X', 120}, {'Y', 106},
};

bool IsPlusKey(WPARAM key) { return key == VK_OEM_PLUS || key == VK_ADD; }
bool IsMinusKey(WPARAM key) { return key == VK_OEM_MINUS || key == VK_SUBTRACT; }

// Re-runs the pointer-move handling at the last pointer position, so that a
// preview under construction shows what a key has just changed.
void RefreshPreview(HWND board) {
    if (!Board.dragging) return;
    const LPARAM at = MAKELPARAM(static_cast<WORD>(Board.currentPoint.x),
                                 static_cast<WORD>(Board.currentPoint.y));
    OnPointerMove(board, MK_LBUTTON, at);
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
        switch (code) {
        case kSettingPenWidth:
            canvas->PenWidth(value);
            break;
        case kSettingPenColor:
            canvas->PenColor(static_cast<COLORREF>(value));
            break;
        case kSettingBrushColor:
            canvas->BrushColor(static_cast<COLORREF>(value));
            break;
        case kSettingBrushStyle:
            canvas->BrushStyle(value);
            break;
        case kSettingTextColor:
            canvas->TextColor(static_cast<COLORREF>(value));
            break;
        case kSettingTextBack:
            // The message only says that it changed; the setting holds it.
            ApplyTextBackground(*canvas, Settings.backColor.load());
            break;
        default:
            break;
        }
    }
}

bool IsSettingCode(int code) { return code >= kSettingPenWidth && code <= kSettingTextBack; }

void GiveBoardFocus(HWND board) {
    const DWORD self = GetCurrentThreadId();
    const DWORD boardThread = GetWindowThreadProcessId(board, nullptr);
    const bool attached = self != boardThread && AttachThreadInput(self, boardThread, TRUE);
    SetFocus(board);
    if (attached) AttachThreadInput(self, boardThread, FALSE);
}

// The selection itself, where the board lives.
void SelectToolHere(int tool) {
    const int current = Board.currentTool;
    if (tool == ToolCurve) {
        if (current == ToolEraser) {
            RestoreBoardCanvas();
            ShowBoardCanvas();
        }
    } else if (current == ToolCurve) {
        CommitBoardCanvas();  // what was drawn of the curve stays
    } else if (current == ToolEraser && tool != ToolEraser) {
        // The eraser's hover square lives only on BoardCanvas; it must not be
        // committed with the switch below.
        RestoreBoardCanvas();
    }
    Board.currentTool = static_cast<ToolKind>(tool);
    HWND board = BoardWindow.load();
    if (board != nullptr && IsWindow(board)) {
        ApplyBoardChange(board, tool, 0, true);
    } else {
        BoardCanvas.LoadPicture(PalettePicture);  // ready for the eyedropper
    }
}

void RunKeyCommand(HWND board, WPARAM key) {
    if (const int id = MenuIdOfLetterKey(static_cast<int>(key))) {
        BoardMenuCommand(board, static_cast<WPARAM>(id), 0);
        return;
    }
    if (const int style = BrushStyleOfDigitKey(static_cast<int>(key)); style >= 0) {
        ChooseBrushType(style);
        return;
    }
    const int tool = Board.currentTool;
    if (IsPlusKey(key) || IsMinusKey(key)) {
        const int step = IsPlusKey(key) ? 1 : -1;
        if (tool == ToolRoundRect) {
            const int r = Settings.cornerRadius.load() + step;
            Settings.cornerRadius.store(std::clamp(r, 0, Settings.cornerRadiusMax.load()));
        } else if (tool == ToolPolygon || tool == ToolStar) {
            std::atomic<int>& count =
                tool == ToolPolygon ? Settings.polygonVertices : Settings.starVertices;
            count.store(std::clamp(count.load() + step, kVertexMin, kVertexMax));
        } else {
            return;
        }
        RefreshPreview(board);  // even at a limit
        return;
    }
    if (key == VK_ESCAPE) {
        BoardMenuCommand(board, kClearMenuId, 0);
        return;
    }
    if (tool != ToolRectangle) return;
    bool changed = false;
    switch (key) {
    case VK_UP:
        ++Board.tableRows;
        changed = true;
        break;
    case VK_DOWN:
        if (Board.tableRows > 0) {
            --Board.tableRows;
            changed = true;
        }
        break;
    case VK_RIGHT:
        ++Board.tableColumns;
        changed = true;
        break;
    case VK_LEFT:
        if (Board.tableColumns > 0) {
            --Board.tableColumns;
            changed = true;
        }
        break;
    default:
        break;
    }
    if (changed) RefreshPreview(board);
}

}  // namespace

void ResetMultiPointState() {
    Board.bezierPoints.clear();
    Board.curveNodes.clear();
    Board.chainPoints.clear();
    Board.bezierStarted = false;
    Board.polylineStarted = false;
    Board.arc.phase = 0;
}

int MenuIdOfLetterKey(int key) {
    for (const LetterKey& row : kLetterKeys)
        if (row.letter == key) return row.menuId;
    return 0;
}

int BrushStyleOfDigitKey(int key) {
    if (key >= '1' && key <= '8') return key - '1';
    if (key >= VK_NUMPAD1 && key <= VK_NUMPAD8) return key - VK_NUMPAD1;
    return -1;
}

void SelectTool(int tool) {
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
        switch (code) {
        case ToolPolyline:
            Board.polylineStarted = false;
            break;
        case ToolPolygon:
        case ToolStar:
            BoardCanvas.PolyFillMode(kWindingFillMode);
            break;
        case ToolPie:
        case ToolThreePointArc:
        case ToolRadiusArc:
            Board.arc.phase = 0;
            break;
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
        if ((code == kSettingTextColor || code == kSettingTextBack) && Board.textToolActive &&
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
