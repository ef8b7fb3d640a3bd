#pragma once
// The numbers other windows use to talk to the board: the commands a palette
// cell, a menu item or a key issues, the ids of its right-button menu (they
// arrive as WM_COMMAND) and the codes of the setting changes the toolbox
// posts to it (BoardSettingMessage).

// What a cell does when clicked: the palette commands. The board carries them
// out (board/commands.h) and the toolbox's palette shows them (app/palette.h);
// a board menu item or a tool key issues the same command as the cell, so
// menu, keys and palette always agree. The numbers are also the cells'
// tooltip ids.
enum class PaletteCommand : int {
    None = 0,
    Pen = 1,
    Arrow = 2,
    Line = 3,
    Polyline = 4,
    Rectangle = 5,  // right button: rounded rectangle
    Ellipse = 6,
    Circle = 7,
    Pie = 8,
    Polygon = 9,  // right button: star
    Arc = 10,     // three-point arc; right button: radius arc
    Bezier = 11,
    Curve = 12,  // right button: chained arcs
    Text = 13,
    Font = 14,
    Eyedropper = 15,
    Fill = 16,
    Eraser = 17,
    Clear = 18,
    Open = 19,  // right button: paste from the clipboard
    Save = 20,
    MoveBoard = 21,
    Close = 22,
    Help = 23,
    Region = 98,
    Capture = 99,
};

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

// BoardSettingMessage: wParam is the code of the setting that changed (the
// settings record holds its value; board/board_state.h), lParam repeats it.
enum class SettingCode : int {
    PenWidth = 51,
    PenColor = 52,
    BrushColor = 53,
    BrushStyle = 54,
    TextColor = 55,
    TextBack = 56,
};

constexpr bool IsSettingCode(int code) {
    return code >= static_cast<int>(SettingCode::PenWidth) &&
           code <= static_cast<int>(SettingCode::TextBack);
}
