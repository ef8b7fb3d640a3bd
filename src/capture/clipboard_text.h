#pragma once
// Text from and to the clipboard: pasting into typed text, and colour values.

#include <cstddef>
#include <string>

#include <windows.h>

// The clipboard's text (CF_TEXT, in the system code page): at most
// `maxBytes` bytes, up to its first NUL, never past the end of the
// clipboard's memory block. Empty when the clipboard holds no text or cannot
// be opened.
std::string ReadClipboardText(std::size_t maxBytes);

// Puts `text` (system code page) on the clipboard as CF_TEXT, owned by
// `owner`. False, and the clipboard as it was, when it cannot be opened.
bool WriteClipboardText(HWND owner, const std::string& text);
