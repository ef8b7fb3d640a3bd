// Text read back from the real clipboard for pasting.

#include "capture/clipboard_text.h"

#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

namespace {

// Puts `bytes` on the clipboard as CF_TEXT, exactly as given (no NUL added).
void PutClipboardBytes(const std::string& bytes) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    ASSERT_NE(block, nullptr);
    std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

}  // namespace

TEST(ClipboardText, ReadsTheTextUpToItsNul) {
    PutClipboardBytes(std::string("ab\r\ncd\0junk", 11));
    EXPECT_EQ(ReadClipboardText(100), "ab\r\ncd");
}

TEST(ClipboardText, DoubleByteTextComesBackAsItsBytes) {
    PutClipboardBytes(std::string("\xD6\xD0\xCE\xC4" "ab", 7));  // 中文ab, with its NUL
    EXPECT_EQ(ReadClipboardText(100), "\xD6\xD0\xCE\xC4" "ab");
}

TEST(ClipboardText, ALargeTextIsReadOnlyUpToTheLimit) {
    std::string big(1 << 20, 'x');
    big.push_back('\0');
    PutClipboardBytes(big);
    EXPECT_EQ(ReadClipboardText(8192), std::string(8192, 'x'));
}

TEST(ClipboardText, NoTextGivesAnEmptyResult) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    EXPECT_EQ(ReadClipboardText(100), "");
}
