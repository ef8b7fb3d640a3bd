#include "board/tools/tool_table.h"

#include "../../../res/icon_ids.h"
#include "board/tools/annotation_tools.h"
#include "board/tools/board_tool.h"
#include "board/tools/curve_tools.h"
#include "board/tools/drawing_tools.h"
#include "board/tools/pixel_tools.h"
#include "board/tools/text_tool.h"

namespace {

template <class Tool>
std::unique_ptr<BoardTool> Make(const ToolDescription& row) {
    return std::make_unique<Tool>(row.rules);
}

std::unique_ptr<BoardTool> MakePolygon(const ToolDescription& row) {
    return std::make_unique<PolygonTool>(row.rules, false);
}

std::unique_ptr<BoardTool> MakeStar(const ToolDescription& row) {
    return std::make_unique<PolygonTool>(row.rules, true);
}

using PC = PaletteCommand;
using Id = BoardMenuId;
// Shift snap, Ctrl mirrors the corner, Space moves the shape.
constexpr ModifierRules kNoRules{};
constexpr ModifierRules kMovedRules{ShiftSnap::None, false, true};
constexpr ModifierRules kLineRules{ShiftSnap::Axes, false, true};
constexpr ModifierRules kMirroredLineRules{ShiftSnap::Axes, true, true};
constexpr ModifierRules kBoxRules{ShiftSnap::Square, true, true};
constexpr bool L = false;  // left button
constexpr bool R = true;   // right button
constexpr bool kGroupEnd = true;

// clang-format off
constexpr ToolDescription kTools[] = {
    // kind               name                 cell          btn  tip                 icon
    //   letter menu id           caption               separator   rules               factory
    {ToolPen,             "pen",               PC::Pen,       L, "画笔",             IDR_ICON_PEN,
        'P', Id::Pen,             "画笔(&P)",           false,      kNoRules,           &Make<PenTool>},
    {ToolArrow,           "arrow",             PC::Arrow,     L, "箭头",             IDR_ICON_ARROW,
        'J', Id::Arrow,           "箭头(&J)",           false,      kLineRules,         &Make<ArrowTool>},
    {ToolLine,            "line",              PC::Line,      L, "直线",             IDR_ICON_LINE,
        'L', Id::Line,            "直线(&L)",           false,      kMirroredLineRules, &Make<LineTool>},
    {ToolPolyline,        "polyline",          PC::Polyline,  L, "线段",             IDR_ICON_POLYLINE,
        'M', Id::Polyline,        "线段(&M)",           kGroupEnd,  kLineRules,         &Make<PolylineTool>},
    {ToolRectangle,       "rectangle",         PC::Rectangle, L, "常规矩形",         IDR_ICON_RECTANGLE,
        'R', Id::Rectangle,       "矩形(&R)",           false,      kBoxRules,          &Make<RectangleTool>},
    {ToolRoundRect,       "rounded rectangle", PC::Rectangle, R, "圆角矩形",         0,
        'Y', Id::RoundRect,       "圆角矩形(&Y)",       false,      kBoxRules,          &Make<RoundRectTool>},
    {ToolEllipse,         "ellipse",           PC::Ellipse,   L, "椭圆",             IDR_ICON_ELLIPSE,
        'E', Id::Ellipse,         "椭圆(&E)",           false,      kBoxRules,          &Make<EllipseTool>},
    // Ctrl centres the circle itself and Shift does nothing to it.
    {ToolCircle,          "circle",            PC::Circle,    L, "正圆",             IDR_ICON_CIRCLE,
        'C', Id::Circle,          "正圆(&C)",           false,      kMovedRules,        &Make<CircleTool>},
    {ToolPie,             "pie",               PC::Pie,       L, "饼",               IDR_ICON_PIE,
        'D', Id::Pie,             "饼(&D)",             false,      kLineRules,         &Make<PieTool>},
    {ToolPolygon,         "polygon",           PC::Polygon,   L, "多边形",           IDR_ICON_POLYGON,
        'N', Id::Polygon,         "多边形(&N)",         false,      kLineRules,         &MakePolygon},
    {ToolStar,            "star",              PC::Polygon,   R, "星形",             0,
        'V', Id::Star,            "星形(&V)",           kGroupEnd,  kLineRules,         &MakeStar},
    {ToolThreePointArc,   "three-point arc",   PC::Arc,       L, "三点画圆弧",       IDR_ICON_ARCS,
        'A', Id::ThreePointArc,   "三点画圆弧(&A)",     false,      kLineRules,         &Make<ThreePointArcTool>},
    {ToolRadiusArc,       "radius arc",        PC::Arc,       R, "圆心加两点画圆弧", 0,
        'S', Id::RadiusArc,       "半径画圆弧(&S)",     false,      kLineRules,         &Make<RadiusArcTool>},
    {ToolBezier,          "Bézier",            PC::Bezier,    L, "贝塞尔曲线",       IDR_ICON_BEZIER,
        'B', Id::Bezier,          "贝塞尔(&B)",         false,      kNoRules,           &Make<BezierTool>},
    {ToolCurve,           "curve",             PC::Curve,     L, "由点生成曲线",     IDR_ICON_CURVE,
        'Q', Id::Curve,           "曲线(&Q)",           false,      kNoRules,           &Make<CurveTool>},
    {ToolChainedArcs,     "chained arcs",      PC::Curve,     R, "连续圆弧组成曲线", 0,
        'H', Id::ChainedArcs,     "连续圆弧(&H)",       kGroupEnd,  kNoRules,           &Make<ChainedArcsTool>},
    {ToolText,            "text",              PC::Text,      L, "文字",             IDR_ICON_TEXT,
        'T', Id::Text,            "文字(&T)",           kGroupEnd,  kNoRules,           &Make<TextTool>},
    {ToolEyedropper,      "eyedropper",        PC::Eyedropper, L, "吸管",            IDR_ICON_EYEDROPPER,
        'I', Id::Eyedropper,      "吸管(&I)",           false,      kNoRules,           &Make<EyedropperTool>},
    {ToolFill,            "fill",              PC::Fill,      L, "填充",             IDR_ICON_FILL,
        'F', Id::Fill,            "填充(&F)",           false,      kNoRules,           &Make<FillTool>},
    {ToolEraser,          "eraser",            PC::Eraser,    L, "橡皮擦",           IDR_ICON_ERASER,
        'X', Id::Eraser,          "橡皮擦(&X)",         false,      kNoRules,           &Make<EraserTool>},
    // Shift keeps the stroke straight on its own terms (horizontal or vertical).
    {ToolHighlighter,     "highlighter",       PC::Pen,       R, "荧光笔",           0,
        'G', Id::Highlighter,     "荧光笔(&G)",         false,      kNoRules,           &Make<HighlighterTool>},
    {ToolMosaic,          "mosaic",            PC::Fill,      R, "马赛克",           0,
        'K', Id::Mosaic,          "马赛克(&K)",         false,      kBoxRules,          &Make<MosaicTool>},
    {ToolMarker,          "numbered marker",   PC::Circle,    R, "序号",             0,
        'O', Id::Marker,          "序号(&O)",           false,      kNoRules,           &Make<MarkerTool>},
    // Selected with its cell only, and automatically after a picture is opened.
    {ToolMoveBoard,       "move board",        PC::MoveBoard, L, "移动图片窗口",     IDR_ICON_MOVE,
        0,   Id::None,            nullptr,              false,      kNoRules,           &Make<MoveBoardTool>},
};
// clang-format on

}  // namespace

std::span<const ToolDescription> ToolDescriptions() { return kTools; }

const ToolDescription* DescriptionOf(ToolKind kind) {
    for (const ToolDescription& row : kTools)
        if (row.kind == kind) return &row;
    return nullptr;
}

const ToolDescription* DescriptionOfLetter(int key) {
    if (key == 0) return nullptr;
    for (const ToolDescription& row : kTools)
        if (row.letter == key) return &row;
    return nullptr;
}

const ToolDescription* DescriptionOfMenuId(BoardMenuId id) {
    if (id == BoardMenuId::None) return nullptr;
    for (const ToolDescription& row : kTools)
        if (row.menuId == id) return &row;
    return nullptr;
}

const ToolDescription* DescriptionOfCell(PaletteCommand cell, bool rightButton) {
    if (cell == PaletteCommand::None) return nullptr;
    for (const ToolDescription& row : kTools)
        if (row.cell == cell && row.rightButton == rightButton) return &row;
    return nullptr;
}

std::unique_ptr<BoardTool> MakeTool(ToolKind kind) {
    const ToolDescription* row = DescriptionOf(kind);
    if (row == nullptr || row->make == nullptr) return nullptr;
    return row->make(*row);
}

ToolSet::ToolSet() {
    for (const ToolDescription& row : kTools) {
        const int slot = static_cast<int>(row.kind);
        if (row.make != nullptr && slot >= 0 && slot < kSlots) tools_[slot] = row.make(row);
    }
}

ToolSet::~ToolSet() = default;
ToolSet::ToolSet(ToolSet&&) noexcept = default;
ToolSet& ToolSet::operator=(ToolSet&&) noexcept = default;

BoardTool* ToolSet::For(ToolKind kind) const {
    const int slot = static_cast<int>(kind);
    return slot >= 0 && slot < kSlots ? tools_[slot].get() : nullptr;
}

void ToolSet::ResetGestures() {
    for (const std::unique_ptr<BoardTool>& tool : tools_)
        if (tool) tool->ResetGesture();
}

