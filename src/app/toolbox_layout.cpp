#include "app/toolbox_layout.h"

namespace {

constexpr int kPlacementGap = 4;
constexpr int kFitMargin = 6;

PlacedControl Place(int left, int width, int height, int topOfAbove, int heightOfAbove) {
    PlacedControl c;
    c.visible = true;
    c.rect.left = left;
    c.rect.top = topOfAbove + heightOfAbove + kPlacementGap;
    c.rect.right = left + width;
    c.rect.bottom = c.rect.top + height;
    return c;
}

}  // namespace

bool FillPageShowsBackColor(int brushType) { return brushType >= 1 && brushType <= 6; }

namespace {

ToolboxLayout LayoutAt96(int page, int brushType, int paletteTop, int paletteHeight) {
    ToolboxLayout l;
    l.toolboxWidth = kToolboxWidth;
    l.titleStrip = kTitleStripRect;
    l.palette = RECT{kPaletteTemplateRect.left, paletteTop, kPaletteTemplateRect.right,
                     paletteTop + paletteHeight};
    l.radioTop = paletteTop + paletteHeight + 2;
    for (int i = 0; i < 3; ++i)
        l.radios[i] = RECT{kRadioLefts[i], l.radioTop, kRadioLefts[i] + kRadioWidth,
                           l.radioTop + kRadioHeight};
    const RECT* last = nullptr;
    switch (page) {
        case kPageFill:
            l.brushList = Place(kBrushListLeft, kBrushListWidth, kBrushListHeight, l.radioTop,
                                kRadioHeight);
            l.picker1 = Place(kPickerLeft, kPickerWidth, kPickerHeight, l.brushList.rect.top,
                              kBrushListHeight);
            last = &l.picker1.rect;
            if (FillPageShowsBackColor(brushType)) {
                l.picker2 = Place(kPickerLeft, kPickerWidth, kPickerHeight, l.picker1.rect.top,
                                  kPickerHeight);
                last = &l.picker2.rect;
            }
            break;
        case kPageText:
            l.picker1 = Place(kPickerLeft, kPickerWidth, kPickerHeight, l.radioTop, kRadioHeight);
            l.picker2 = Place(kPickerLeft, kPickerWidth, kPickerHeight, l.picker1.rect.top,
                              kPickerHeight);
            last = &l.picker2.rect;
            break;
        default:
            l.penEdit = Place(kPenEditLeft, kPenEditWidth, kPenEditHeight, l.radioTop,
                              kRadioHeight);
            l.picker1 = Place(kPickerLeft, kPickerWidth, kPickerHeight, l.penEdit.rect.top,
                              kPenEditHeight);
            last = &l.picker1.rect;
            break;
    }
    l.toolboxHeight = last->bottom + kFitMargin;
    return l;
}

PlacedControl Scaled(PlacedControl c, int dpi) {
    if (c.visible) c.rect = ScaleRectForDpi(c.rect, dpi);
    return c;
}

}  // namespace

ToolboxLayout ComputeToolboxLayout(int page, int brushType, int paletteTop, int paletteHeight,
                                   int dpi) {
    ToolboxLayout l = LayoutAt96(page, brushType, paletteTop, paletteHeight);
    l.toolboxWidth = ScaleForDpi(l.toolboxWidth, dpi);
    l.titleStrip = ScaleRectForDpi(l.titleStrip, dpi);
    l.palette = ScaleRectForDpi(l.palette, dpi);
    for (RECT& radio : l.radios) radio = ScaleRectForDpi(radio, dpi);
    l.radioTop = ScaleForDpi(l.radioTop, dpi);
    l.penEdit = Scaled(l.penEdit, dpi);
    l.brushList = Scaled(l.brushList, dpi);
    l.picker1 = Scaled(l.picker1, dpi);
    l.picker2 = Scaled(l.picker2, dpi);
    l.toolboxHeight = ScaleForDpi(l.toolboxHeight, dpi);
    return l;
}
