#pragma once
// Text from the clipboard, for pasting into typed text.

#include <cstddef>
#include <string>

// The clipboard's text (CF_TEXT, in the system code page): at most
// `maxBytes` bytes, up to its first NUL, never past the end of the
// clipboard's memory block. Empty when the clipboard holds no text or cannot
// be opened.
std::string ReadClipboardText(std::size_t maxBytes);
