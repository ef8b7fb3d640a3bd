#pragma once
// The tools that work on pixels rather than shapes: the fill floods an area
// with the brush, the eyedropper picks a colour from the board or from the
// colour spectrum it shows, the eraser brings back the starting picture under
// a square. The fill and the eyedropper show a crosshair with a magnifier.
// The tool table (tool_table.cpp) makes one object of each.

#include <cstdint>
#include <optional>
#include <span>

#include "board/tools/board_tool.h"

// The crosshair at p in the canvas's pen colour and, on a board of at least
// 300 x 300, the 4x magnifier of the pixels around p framed in the pen
// colour setting. Part of the board outside the canvas shows black in it.
// Both are reported to `c` as drawn.
void DrawCrosshairWithMagnifier(PointerContext& c, POINT p);
// The magnifier alone (after the crosshair, so it shows in it), inside
// `area` (the pointer's monitor; the whole canvas when left out); answers
// where it drew.
RECT DrawMagnifier(Canvas& canvas, POINT p, COLORREF frame, std::optional<RECT> area = {});

// Draws a 32- or 24-bit BMP file image (the colour spectrum) into `rect`,
// stretched by pixel repetition. False, with nothing drawn, when the bytes are
// not such an image.
bool DrawBmpStretched(Canvas& canvas, std::span<const std::uint8_t> bmp, RECT rect);

// Hovering shows the crosshair and magnifier; a press floods the area of the
// colour under the pointer with the current brush (hatches included); the
// release commits. Moves with the button down do nothing.
class FillTool : public BoardTool {
public:
    using BoardTool::BoardTool;
    void Press(PointerContext& c, POINT p) override;
    BoardMark Mark() const override { return BoardMark::WipedByCommands; }  // the crosshair

protected:
    void Hover(PointerContext& c, POINT p) override;
};

// Shows the colour spectrum in the middle of the board from its selection on.
// While the button is down every move picks the colour under the pointer into
// the setting the toolbox's page chooses (the canvases keep theirs) and shows
// it on the toolbox; the release takes it onto both canvases.
class EyedropperTool : public BoardTool {
public:
    using BoardTool::BoardTool;
    void Selected(PointerContext& c) override;
    void Move(PointerContext& c, POINT p) override;
    void Release(PointerContext& c, POINT p) override;
    BoardMark Mark() const override { return BoardMark::WipedByCommands; }  // the spectrum
    bool ShowsOnSelection() const override { return true; }

private:
    void ShowSpectrum(PointerContext& c);
    // Where the spectrum is shown: chosen on the pointer's monitor when the
    // tool is selected.
    std::optional<RECT> spectrumArea_;
};

// A square of half-size 橡皮擦大小 (bounded to 1..最大橡皮擦) follows the
// pointer showing what erasing would bring back, framed black; with the
// button down it is framed red and every move erases the back canvas under it
// for good. The wheel sizes it.
class EraserTool : public BoardTool {
public:
    using BoardTool::BoardTool;
    void Press(PointerContext& c, POINT p) override;
    void Move(PointerContext& c, POINT p) override;
    void Release(PointerContext& c, POINT p) override;
    void Wheel(PointerContext& c, int step) override;
    LayerKind LayerNeeded() const override { return LayerKind::StartPicture; }
    // The hover square lives only on the board canvas: it must not be
    // committed with another tool's switch.
    Leaving WhenLeft(bool sameToolAgain) const override {
        return sameToolAgain ? Leaving::Keep : Leaving::Wipe;
    }
    BoardMark Mark() const override { return BoardMark::WipedBySettings; }

private:
    // Board canvas restored, the square at p brought back on it and framed.
    void Preview(PointerContext& c, POINT p, COLORREF frame);
};
