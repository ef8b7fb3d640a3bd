// Clipboard and picture files held by others: another program (the tests'
// helper) holding the clipboard open while the board copies, pastes a picture
// or pastes text and a picture window copies; picture files locked by another
// holder or gone before they are read.

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "board/board.h"
#include "board/board_text.h"
#include "board/tools/text_tool.h"
#include "capture/clipboard.h"
#include "capture/clipboard_text.h"
#include "capture/picture_window.h"
#include "graphics/canvas.h"
#include "graphics/gdi_owners.h"
#include "support/board_fixture.h"

using namespace board_test;

namespace {

// Another program holding the clipboard open: the tests' helper program, for
// at most `ms` or until this object ends.
class HeldClipboard {
public:
    explicit HeldClipboard(DWORD ms) {
        static int serial = 0;
        const std::string name = "drawboard_held_clipboard_" +
                                 std::to_string(GetCurrentProcessId()) + "_" +
                                 std::to_string(++serial);
        ready_.Reset(CreateEventA(nullptr, TRUE, FALSE, (name + "_ready").c_str()));
        release_.Reset(CreateEventA(nullptr, TRUE, FALSE, (name + "_release").c_str()));
        if (!process_.Start("\"" + TestFolder() + "drawboard_hold_clipboard.exe\" " +
                            std::to_string(ms) + " " + name))
            return;
        HANDLE either[] = {ready_.Get(), process_.Handle()};
        WaitForMultipleObjects(2, either, FALSE, 10000);
    }
    // The helper is told to let go, then given its time to end (process_
    // goes before the events).
    ~HeldClipboard() { SetEvent(release_.Get()); }
    HeldClipboard(const HeldClipboard&) = delete;
    HeldClipboard& operator=(const HeldClipboard&) = delete;
    bool Holding() const {
        return WaitForSingleObject(ready_.Get(), 0) == WAIT_OBJECT_0 && !process_.Ended();
    }

private:
    KernelHandle ready_;
    KernelHandle release_;
    HelperProcess process_;
};

constexpr COLORREF kMarker = RGB(250, 0, 0);

// A small green picture and the text "before", as another program left them.
void PutPictureAndText() {
    Canvas green;
    ASSERT_TRUE(green.Create(5, 3, RGB(0, 200, 0)));
    ASSERT_TRUE(CopyCanvasToClipboard(nullptr, green));
    ASSERT_TRUE(OpenClipboard(nullptr));
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 7);
    std::memcpy(GlobalLock(block), "before", 7);
    GlobalUnlock(block);
    SetClipboardData(CF_TEXT, block);
    CloseClipboard();
}

struct Pixels {
    std::vector<std::uint32_t> board, back;
    bool operator==(const Pixels&) const = default;
};

// An open 64 x 48 board from a picture file with one marked pixel.
class ClipboardHeld : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        reference_ = TempPath("held_reference.bmp");
        ASSERT_TRUE(WriteBytes(reference_, SolidBmp(64, 48, RGB(30, 60, 90), kMarker)));
        ASSERT_TRUE(OpenPictureBoardFile(reference_));
        ASSERT_TRUE(WaitForBoardReady(10000));
    }
    void TearDown() override {
        for (HWND window : PictureWindows()) SendMessageA(window, WM_CLOSE, 0, 0);
        EXPECT_TRUE(WaitUntil([] { return PictureWindowCount() == 0; }, 10000));
        BoardTest::TearDown();
    }
    static Pixels BoardPixels() {
        Pixels p;
        OnBoard([&p](DrawingBoard& b) {
            const auto board = b.Shown().Pixels();
            const auto back = b.Committed().Pixels();
            p.board.assign(board.begin(), board.end());
            p.back.assign(back.begin(), back.end());
        });
        return p;
    }
    static void Ctrl(WPARAM key) {
        KeyDown(VK_CONTROL);
        PressKey(key);
        KeyUp(VK_CONTROL);
    }
    std::string reference_;
};

}  // namespace

TEST_F(ClipboardHeld, EveryUseGivesUpQuietlyWhileAnotherProgramHoldsIt) {
    PutPictureAndText();
    const std::vector<std::uint8_t> before = ReadClipboardPicture();
    ASSERT_EQ(ReadBmpInfo(before).width, 5);
    ASSERT_TRUE(OpenPictureWindow(SolidBmp(30, 20, RGB(0, 0, 255)), POINT{300, 300}));
    ASSERT_TRUE(WaitUntil([] { return PictureWindows().size() == 1; }, 10000));
    HWND picture = PictureWindows().front();
    PressKey('T');
    SendToBoard(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    SendToBoard(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(BoardStateNow().typing);
    const Pixels pixels = BoardPixels();

    struct Use {
        const char* what;
        std::function<void()> run;
    } const uses[] = {
        {"Ctrl+C on the board", [] { Ctrl('C'); }},
        {"the board from the clipboard's picture", [] { EXPECT_FALSE(PasteClipboardBoard()); }},
        {"Ctrl+V while typing", [] { Ctrl('V'); }},
        {"the picture window's copy",
         [picture] { SendMessageA(picture, WM_COMMAND, kPictureCopyId, 0); }},
    };
    {
        HeldClipboard held(20000);
        for (const Use& use : uses) {
            ASSERT_TRUE(held.Holding()) << use.what;
            const ULONGLONG start = GetTickCount64();
            use.run();
            EXPECT_LT(GetTickCount64() - start, 2000u) << use.what;
        }
    }
    EXPECT_EQ(BoardPixels(), pixels);
    EXPECT_EQ(LiveBoardSize().cx, 64);
    TypedText typed;
    OnBoard([&typed](DrawingBoard& b) { typed = BoardTextTool(b).Text(); });
    EXPECT_TRUE(typed.glyphs.empty());
    // The clipboard still holds what it held.
    EXPECT_EQ(ReadClipboardPicture(), before);
    EXPECT_EQ(ReadClipboardText(100), "before");
}

TEST_F(ClipboardHeld, ACopyWaitsForAHolderThatLetsGoAtOnce) {
    PutPictureAndText();
    HeldClipboard held(50);
    ASSERT_TRUE(held.Holding());
    Ctrl('C');
    const std::vector<std::uint8_t> copy = ReadClipboardPicture();
    EXPECT_EQ(ReadBmpInfo(copy).width, 64);
    EXPECT_EQ(BmpPixel(copy, 0, 0), kMarker);
}

TEST_F(ClipboardHeld, APictureFileLockedOrGoneLeavesTheBoardAsItWas) {
    const Pixels pixels = BoardPixels();
    const std::string path = TempPath("held_picture.bmp");
    for (bool withBoard : {true, false}) {
        if (!withBoard) {
            SendToBoard(WM_CLOSE);
            ASSERT_TRUE(WaitForBoardGone(10000));
        }
        for (bool locked : {true, false}) {
            const char* what = locked ? "locked" : "deleted";
            ASSERT_TRUE(WriteBytes(path, SolidBmp(40, 30, RGB(0, 0, 255))));
            HANDLE lock = INVALID_HANDLE_VALUE;
            if (locked) {
                lock = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
                ASSERT_NE(lock, INVALID_HANDLE_VALUE);
            } else {
                ASSERT_TRUE(DeleteFileA(path.c_str()));
            }
            EXPECT_FALSE(OpenPictureBoardFile(path)) << what;
            if (withBoard) {
                EXPECT_EQ(LiveBoardSize().cx, 64) << what;
                EXPECT_EQ(BoardPixels(), pixels) << what;
            } else {
                EXPECT_FALSE(BoardExists()) << what;
            }
            if (lock != INVALID_HANDLE_VALUE) CloseHandle(lock);
        }
    }
    // Once let go the same file opens, and is not kept open by the board.
    ASSERT_TRUE(WriteBytes(path, SolidBmp(40, 30, RGB(0, 0, 255))));
    ASSERT_TRUE(OpenPictureBoardFile(path));
    ASSERT_TRUE(WaitForBoardReady(10000));
    EXPECT_EQ(LiveBoardSize().cx, 40);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
}

TEST(PictureFile, ALoadedPictureLeavesItsFileFree) {
    const std::string path = TempPath("held_loaded.bmp");
    ASSERT_TRUE(WriteBytes(path, SolidBmp(40, 30, RGB(0, 0, 255), kMarker)));
    Canvas canvas;
    ASSERT_TRUE(canvas.Create(10, 10, 0));
    GpImage* picture = canvas.LoadPictureFile(path);
    ASSERT_NE(picture, nullptr);
    // Another program may take the file for itself, or delete it, while the
    // picture is still loaded and drawn.
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    EXPECT_TRUE(DeleteFileA(path.c_str()));
    canvas.DrawPicture(picture, 0, 0);
    EXPECT_EQ(canvas.GetPixel(0, 0), kMarker);
}
