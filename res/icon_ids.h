#pragma once
// Resource numbers of the toolbox pictures (RCDATA PNG images).
// Cell n (1..25) of the palette has the icon IDR_CELL_ICON_BASE + n.

#define IDR_TOOLBOX_TITLE 2000
#define IDR_CELL_ICON_BASE 2000
#define IDR_CELL_ICON_01 2001
#define IDR_CELL_ICON_25 2025
