#pragma once
// The numbers other windows use to talk to the board: the ids of its
// right-button menu (they arrive as WM_COMMAND) and the codes of the setting
// changes the toolbox posts to it (BoardSettingMessage).

// Ids of the board menu. Tool letters issue the same ids (a key press is a
// menu choice), and every id stands for a palette command or a direct action.
enum class BoardMenuId : int {
    None = 0,
    Pen = 101,
    Arrow = 102,
    Line = 103,
    Polyline = 104,
    Rectangle = 105,
    RoundRect = 106,
    Ellipse = 107,
    Circle = 108,
    Pie = 109,
    Polygon = 110,
    Star = 111,
    ThreePointArc = 112,
    RadiusArc = 113,
    Bezier = 114,
    Curve = 115,
    ChainedArcs = 116,
    Text = 117,
    Eyedropper = 118,
    Fill = 119,
    Eraser = 120,
    Clear = 121,
    Save = 122,
    CopyToClipboard = 123,
    Close = 124,
    Exit = 125,
    // Tools added later: the menu shows them after the other tools.
    Highlighter = 126,
    Mosaic = 127,
    Marker = 128,
};

// BoardSettingMessage: wParam is the code, lParam the new value.
enum class SettingCode : int {
    PenWidth = 51,
    PenColor = 52,
    BrushColor = 53,
    BrushStyle = 54,
    TextColor = 55,
    TextBack = 56,  // the value is not used: the setting holds it
};

constexpr bool IsSettingCode(int code) {
    return code >= static_cast<int>(SettingCode::PenWidth) &&
           code <= static_cast<int>(SettingCode::TextBack);
}
