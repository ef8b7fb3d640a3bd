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

ToolboxLayout ComputeToolboxLayout(int page, int brushType, int paletteTop, int paletteHeight) {
    ToolboxLayout l;
    l.radioTop = paletteTop + paletteHeight + 2;
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
