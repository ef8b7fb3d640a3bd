#include "capture/clipboard_text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

#include "capture/clipboard.h"

std::string ReadClipboardText(std::size_t maxBytes) {
    if (!OpenClipboardBriefly(nullptr)) return {};
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT); data != nullptr) {
        // The block may be larger than its text, or (written by a careless
        // program) hold no NUL at all: its size bounds the read either way.
        const std::size_t size = std::min<std::size_t>(GlobalSize(data), maxBytes);
        if (const auto* bytes = static_cast<const char*>(GlobalLock(data)); bytes != nullptr) {
            const void* nul = std::memchr(bytes, '\0', size);
            text.assign(bytes, nul != nullptr ? static_cast<const char*>(nul) : bytes + size);
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

bool WriteClipboardText(HWND owner, const std::string& text) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    if (block == nullptr) return false;
    auto* bytes = static_cast<char*>(GlobalLock(block));
    if (bytes == nullptr || !OpenClipboardBriefly(owner)) {
        if (bytes != nullptr) GlobalUnlock(block);
        GlobalFree(block);
        return false;
    }
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    EmptyClipboard();
    const bool taken = SetClipboardData(CF_TEXT, block) != nullptr;
    CloseClipboard();
    if (!taken) GlobalFree(block);  // otherwise the clipboard owns it
    return taken;
}
