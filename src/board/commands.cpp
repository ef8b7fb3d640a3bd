#include "board/commands.h"

#include "app/palette.h"
#include "app/settings.h"
#include "board/board.h"
#include "graphics/canvas.h"

BoardCommandSeams CommandSeams;

namespace {

struct CommandTool {
    int command;
    int tool;
};

constexpr CommandTool kPrimaryTools[] = {
    {1, ToolPen},        {2, ToolArrow},          {3, ToolLine},       {4, ToolPolyline},
    {5, ToolRectangle},  {6, ToolEllipse},        {7, ToolCircle},     {8, ToolPie},
    {9, ToolPolygon},    {10, ToolThreePointArc}, {11, ToolBezier},    {12, ToolCurve},
    {13, ToolText},      {15, ToolEyedropper},    {16, ToolFill},      {17, ToolEraser},
    {21, ToolMoveBoard},
};

constexpr CommandTool kSecondaryTools[] = {
    {5, ToolRoundRect},
    {9, ToolStar},
    {10, ToolRadiusArc},
    {12, ToolChainedArcs},
};

constexpr int kFontCommand = 14;
constexpr int kFillCommand = 16;
constexpr int kClearCommand = 18;
constexpr int kOpenCommand = 19;
constexpr int kSaveCommand = 20;
constexpr int kCloseCommand = 22;
constexpr int kHelpCommand = 23;
constexpr int kRegionCommand = 98;
constexpr int kCaptureCommand = 99;

// The fill tool fills with the current brush, so a hollow brush is swapped
// for the solid one while the fill cell is chosen.
void SubstituteFillBrush() {
    if (Settings.brushType.load() != kBrushHollow) return;
    if (!ChooseBrushType(kBrushSolid)) return;
    RunOnBoardThread([] { Board.fillStyleSubstituted = true; });
}

void UndoFillSubstitution() {
    bool substituted = false;
    RunOnBoardThread([&substituted] { substituted = Board.fillStyleSubstituted; });
    if (!substituted) return;
    ChooseBrushType(kBrushHollow);
    RunOnBoardThread([] { Board.fillStyleSubstituted = false; });
}

// The eyedropper's palette and the fill tool's crosshair live only on
// BoardCanvas: restoring it from BackCanvas takes them away.
void RemoveToolOverlay() {
    RunOnBoardThread([] {
        const int tool = Board.currentTool;
        if (tool != ToolEyedropper && tool != ToolFill) return;
        RestoreBoardCanvas();
        ShowBoardCanvas();
    });
}

void RunPrimaryAction(int command) {
    const int tool = PrimaryToolOfCommand(command);
    if (tool >= 0) {
        if (command == kFillCommand) SubstituteFillBrush();
        SelectTool(tool);
        return;
    }
    switch (command) {
    case kCaptureCommand:
        CaptureToBoard();
        break;
    case kRegionCommand:
        if (CommandSeams.regionScreenshot != nullptr) CommandSeams.regionScreenshot(false);
        break;
    case kFontCommand:
        if (CommandSeams.fontDialog != nullptr) CommandSeams.fontDialog();
        break;
    case kClearCommand:
        ClearBoard();
        break;
    case kOpenCommand:
        OpenPictureBoard();
        break;
    case kSaveCommand:
        if (CommandSeams.saveBoard != nullptr) CommandSeams.saveBoard();
        break;
    case kCloseCommand:
        CloseBoard();
        break;
    case kHelpCommand:
        if (CommandSeams.showHelp != nullptr) CommandSeams.showHelp();
        break;
    default:
        break;
    }
}

void RunSecondaryAction(int command) {
    const int tool = SecondaryToolOfCommand(command);
    if (tool >= 0) {
        SelectCell(PaletteCellOfCommand(command));
        SelectTool(tool);
        return;
    }
    switch (command) {
    case kRegionCommand:
        if (CommandSeams.regionScreenshot != nullptr) CommandSeams.regionScreenshot(true);
        break;
    case kOpenCommand:
        PasteClipboardBoard();
        break;
    default:
        break;
    }
}

}  // namespace

int PrimaryToolOfCommand(int command) {
    for (const CommandTool& row : kPrimaryTools)
        if (row.command == command) return row.tool;
    return -1;
}

int SecondaryToolOfCommand(int command) {
    for (const CommandTool& row : kSecondaryTools)
        if (row.command == command) return row.tool;
    return -1;
}

ToolCell CellOfTool(int tool) {
    for (const CommandTool& row : kPrimaryTools)
        if (row.tool == tool) return ToolCell{row.command, false};
    for (const CommandTool& row : kSecondaryTools)
        if (row.tool == tool) return ToolCell{row.command, true};
    return ToolCell{};
}

bool IsSecondaryTool(int tool) { return CellOfTool(tool).right; }

bool ChooseBrushType(int index) {
    if (CommandSeams.chooseBrushType == nullptr) return false;
    CommandSeams.chooseBrushType(index);
    return true;
}

void RunCellCommand(int command, bool rightButton) {
    if (!rightButton) {
        UndoFillSubstitution();
        RemoveToolOverlay();
        RunPrimaryAction(command);
    } else {
        RemoveToolOverlay();
        RunSecondaryAction(command);
    }
}
