#pragma once
// A colour picker control: a swatch that shows one colour and opens the colour
// dialog when clicked. A colour chosen there becomes the picker's colour and
// the parent hears of it as WM_COMMAND (id, kColorPickerChanged). Setting the
// colour from the program (kColorPickerSetColor) tells nobody.
//
// 0xFF000000 means "no colour" (a text background that is not painted); the
// swatch then shows white with a red diagonal. A picker made with
// `allowNone` goes back to "no colour" on a right click.

#include <windows.h>

constexpr UINT kColorPickerSetColor = WM_USER + 0x41;  // wParam colour; returns the old one
constexpr UINT kColorPickerGetColor = WM_USER + 0x42;  // returns the colour
constexpr WORD kColorPickerChanged = 0x0601;           // notification code
constexpr COLORREF kNoColor = 0xFF000000;

// Makes a picker as a child of `parent`.
HWND CreateColorPicker(HWND parent, int id, int x, int y, int width, int height, COLORREF color,
                       bool allowNone);

// The colour dialog: true and `color` set when the user chose one. Tests put
// their own routine in (a modal dialog would block them); the default opens
// the platform's colour dialog.
using ColorDialogRoutine = bool (*)(HWND owner, COLORREF& color);
ColorDialogRoutine SetColorDialogRoutine(ColorDialogRoutine routine);
