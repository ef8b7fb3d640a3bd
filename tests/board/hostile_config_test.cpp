// A Config.ini with hostile values: a negative number, 0, the int limits,
// text, nothing, 10,000 characters or bytes that are not GBK, in every key at
// once and in each key in turn with the others sane. In every case the values
// read are bounded to what the program can honour, F9's capture opens a board
// in its normal time, every tool draws on a real board window, and the
// settings save and read back as they were.
// Each key in turn meets every value only in the long run
// (DRAWBOARD_HOSTILE_EACH_KEY=1); the suite gives each key one value, in
// rotation, so that every value is met too.

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/startup.h"
#include "app/toolbox_layout.h"
#include "board/board.h"
#include "board/board_state.h"
#include "board/tools/tool_table.h"
#include "capture/region_geometry.h"
#include "graphics/gdip_image.h"
#include "settings/settings.h"
#include "support/board_fixture.h"

using namespace board_test;

namespace {

struct Hostile {
    const char* what;
    std::string text;
};

std::vector<Hostile> HostileValues() {
    return {
        {"negative", "-7"},
        {"zero", "0"},
        {"int max", "2147483647"},
        {"int min", "-2147483648"},
        {"text", "lots"},
        {"empty", ""},
        {"10,000 characters", std::string(10000, '9')},
        {"not GBK", std::string("\x81\x20\xFF\xFE\x80\xA1", 6)},
    };
}

// Grey: no colour a hostile value gives (black, white, or nearly white)
// disappears on it.
constexpr COLORREF kPictureColor = RGB(128, 128, 128);

class HostileConfig : public BoardTest {
protected:
    void SetUp() override {
        BoardTest::SetUp();
        picture_ = TempPath("hostile_grey.bmp");
        ASSERT_TRUE(WriteBytes(picture_, SolidBmp(400, 300, kPictureColor)));
    }

    // Config.ini as a first start writes it, with `text` as the value of the
    // key at `index` in the file's order (of every key when index is -1).
    void WriteConfig(int index, const std::string& text) {
        DeleteFileA(configPath_.c_str());
        const std::vector<IniEntry> entries = SettingsIniEntries(SettingsValues{});
        for (int i = 0; i < static_cast<int>(entries.size()); ++i) {
            const IniEntry& e = entries[i];
            const std::string& value = index < 0 || index == i ? text : e.value;
            ASSERT_TRUE(WritePrivateProfileStringA(e.section, e.key, value.c_str(),
                                                   configPath_.c_str()));
        }
    }

    static void ExpectBounded() {
        EXPECT_GE(Settings.penWidth, kPenWidthMin);
        EXPECT_LE(Settings.penWidth, kPenWidthMax);
        EXPECT_GE(Settings.brushType, 0);
        EXPECT_LE(Settings.brushType, 7);
        EXPECT_GE(Settings.captureDelay, 0);
        EXPECT_LE(Settings.captureDelay, kMaxCaptureDelayMs);
        EXPECT_GE(Settings.cornerRadius, 0);
        EXPECT_LE(Settings.cornerRadius, kCornerRadiusMax);
        EXPECT_GE(Settings.eraserSize, 1);
        EXPECT_LE(Settings.eraserMax, kMaxEraserSize);
        EXPECT_GE(Settings.arrowAngle, 0);
        EXPECT_LE(Settings.arrowAngle, 180);
        EXPECT_LE(Settings.arrowLength, kMaxPictureSide);
        EXPECT_LE(Settings.crossSize, kMaxPictureSide);
        EXPECT_LE(GetTextFont().size, kMaxFontPoints);
        EXPECT_LT(GetTextFont().faceName.size(), static_cast<std::size_t>(LF_FACESIZE));
        // Colours are RGB; a top byte would be taken for a palette index.
        for (const int color : {Settings.penColor.load(), Settings.brushColor.load(),
                                Settings.textColor.load()})
            EXPECT_EQ(color & ~0xFFFFFF, 0) << color;
        EXPECT_TRUE((Settings.backColor & ~0xFFFFFF) == 0 || Settings.backColor == kNoTextBackground)
            << Settings.backColor;
    }

    // What the program lives through with Config.ini as it is: reading it at
    // start-up, F9, every tool, and the save when a board closes.
    void ReadOpenDrawSave() {
        LoadSettings();
        SetUnsavedSettings();
        ExpectBounded();

        // F9's capture: the board is up within the capture delay read and
        // the usual set-up time.
        const ULONGLONG start = GetTickCount64();
        CaptureToBoard();
        ASSERT_TRUE(WaitForBoardReady(10000));
        EXPECT_LT(GetTickCount64() - start, static_cast<ULONGLONG>(Settings.captureDelay) + 4000);

        for (const ToolDescription& tool : ToolDescriptions()) {
            if (tool.kind == ToolEyedropper || tool.kind == ToolFill || tool.kind == ToolEraser ||
                tool.kind == ToolText || tool.kind == ToolMoveBoard || tool.kind == ToolClearing ||
                tool.kind == ToolMosaic) {
                continue;  // they change no pixel of a plain board by a drag
            }
            SCOPED_TRACE(tool.name);
            ASSERT_TRUE(OpenPictureBoardFile(picture_));  // a clean board, the tool's own
            SelectTool(tool.kind);
            OnBoard([](DrawingBoard&) {});  // the switch is made before the input below
            // A drag, a sweep with the button up and four clicks: every shape
            // tool has drawn something by the end of it. Nothing else is
            // queued for the board now, so they go straight to its window.
            const HWND board = BoardWindow.load();
            auto send = [board](UINT message, WPARAM keys, int x, int y) {
                SendMessageTimeoutA(board, message, keys, MAKELPARAM(x, y), SMTO_NORMAL, 10000, nullptr);
            };
            send(WM_LBUTTONDOWN, MK_LBUTTON, 100, 150);
            send(WM_MOUSEMOVE, MK_LBUTTON, 130, 170);
            send(WM_MOUSEMOVE, MK_LBUTTON, 150, 190);
            send(WM_LBUTTONUP, 0, 150, 190);
            for (const POINT p : {POINT{150, 140}, POINT{145, 130}, POINT{120, 104}, POINT{100, 100}})
                send(WM_MOUSEMOVE, 0, p.x, p.y);
            send(WM_LBUTTONDOWN, MK_LBUTTON, 100, 100);
            send(WM_LBUTTONUP, 0, 100, 100);
            for (const POINT p : {POINT{220, 200}, POINT{300, 120}, POINT{340, 260}}) {
                send(WM_LBUTTONDOWN, MK_LBUTTON, p.x, p.y);
                send(WM_LBUTTONUP, 0, p.x, p.y);
            }
            SelectTool(ToolPen);  // ends the multi-click tools
            bool drawn = false;
            OnBoard([&drawn](DrawingBoard& b) {
                for (int y = 0; y < 300 && !drawn; y += 2)
                    for (int x = 0; x < 400 && !drawn; x += 2)
                        drawn = b.Committed().GetPixel(x, y) != kPictureColor;
            });
            EXPECT_TRUE(drawn);
        }
        // The save, as closing the board makes it, writes what is in force,
        // and that reads back the same.
        const SettingsValues inForce = CurrentSettingsValues();
        EXPECT_TRUE(SaveSettings());
        SendToBoard(WM_CLOSE);
        ASSERT_TRUE(WaitForBoardGone(10000));
        LoadSettings();
        EXPECT_TRUE(CurrentSettingsValues() == inForce);
    }

    std::string picture_;
};

}  // namespace

TEST_F(HostileConfig, EveryKeyAtOnce) {
    for (const Hostile& h : HostileValues()) {
        SCOPED_TRACE(h.what);
        WriteConfig(-1, h.text);
        ReadOpenDrawSave();
        if (HasFatalFailure()) return;
    }
}

TEST_F(HostileConfig, EachKeyInTurn) {
    const std::vector<Hostile> values = HostileValues();
    const std::vector<IniEntry> keys = SettingsIniEntries(SettingsValues{});
    ASSERT_GE(keys.size(), values.size()) << "the rotation would leave values out";
    const char* longRun = std::getenv("DRAWBOARD_HOSTILE_EACH_KEY");
    const bool everyValue = longRun != nullptr && std::string(longRun) == "1";
    for (int k = 0; k < static_cast<int>(keys.size()); ++k) {
        for (int v = 0; v < static_cast<int>(values.size()); ++v) {
            if (!everyValue && v != k % static_cast<int>(values.size())) continue;
            SCOPED_TRACE("key " + std::to_string(k) + " (" + keys[k].key + ") = " + values[v].what);
            WriteConfig(k, values[v].text);
            ReadOpenDrawSave();
            if (HasFatalFailure()) return;
        }
    }
}
