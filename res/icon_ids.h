#pragma once
// Resource numbers of the toolbox pictures (RCDATA PNG images).
// Cell n (1..25) of the palette has the icon IDR_CELL_ICON_BASE + n.

#define IDR_TOOLBOX_TITLE 2000
#define IDR_CELL_ICON_BASE 2000
#define IDR_CELL_ICON_01 2001
#define IDR_CELL_ICON_25 2025

// The cell pictures by what they show.
#define IDR_ICON_CAPTURE 2001
#define IDR_ICON_REGION 2002
#define IDR_ICON_PEN 2003
#define IDR_ICON_ARROW 2004
#define IDR_ICON_LINE 2005
#define IDR_ICON_POLYLINE 2006
#define IDR_ICON_RECTANGLE 2007
#define IDR_ICON_ELLIPSE 2008
#define IDR_ICON_CIRCLE 2009
#define IDR_ICON_PIE 2010
#define IDR_ICON_POLYGON 2011
#define IDR_ICON_ARCS 2012
#define IDR_ICON_BEZIER 2013
#define IDR_ICON_CURVE 2014
#define IDR_ICON_TEXT 2015
#define IDR_ICON_FONT 2016
#define IDR_ICON_EYEDROPPER 2017
#define IDR_ICON_FILL 2018
#define IDR_ICON_ERASER 2019
#define IDR_ICON_CLEAR 2020
#define IDR_ICON_OPEN 2021
#define IDR_ICON_SAVE 2022
#define IDR_ICON_MOVE 2023
#define IDR_ICON_CLOSE 2024
#define IDR_ICON_HELP 2025

// The region screenshot's arrow cursor: the bytes of a .cur file (RCDATA).
#define IDR_SELECTION_CURSOR 2100
