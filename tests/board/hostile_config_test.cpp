// A Config.ini full of hostile values: every key at once set to a negative
// number, 0, the int limits, text, nothing, 10,000 characters or bytes that
// are not GBK. The values read are bounded to what the program can honour,
// F9's capture opens a board in its normal time, every tool draws on a real
// board window, and the settings save.

#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/settings.h"
#include "app/startup.h"
#include "app/toolbox_layout.h"
#include "board/board.h"
#include "board/board_state.h"
#include "board/tools/tool_table.h"
#include "capture/region_geometry.h"
#include "graphics/gdip_image.h"
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

class HostileConfig : public BoardTest {
protected:
    void WriteEveryKey(const std::string& text) {
        DeleteFileA(configPath_.c_str());
        for (const IniEntry& e : SettingsIniEntries(SettingsValues{}))
            ASSERT_TRUE(WritePrivateProfileStringA(e.section, e.key, text.c_str(),
                                                   configPath_.c_str()));
    }
};

}  // namespace

TEST_F(HostileConfig, EveryValueIsBoundedTheBoardOpensAndEveryToolDraws) {
    const std::string white = TempPath("hostile_white.bmp");
    ASSERT_TRUE(WriteBytes(white, SolidBmp(400, 300, RGB(255, 255, 255))));
    for (const Hostile& h : HostileValues()) {
        SCOPED_TRACE(h.what);
        WriteEveryKey(h.text);
        LoadSettings();
        SetUnsavedSettings();
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
        // Drawn lines must show on white whatever colour the file gave.
        Settings.penColor = 0;

        // F9's capture: the board is up within the longest capture delay and
        // the usual set-up time.
        const ULONGLONG start = GetTickCount64();
        CaptureToBoard();
        ASSERT_TRUE(WaitForBoardReady(10000));
        EXPECT_LT(GetTickCount64() - start, static_cast<ULONGLONG>(kMaxCaptureDelayMs) + 4000);

        ASSERT_TRUE(OpenPictureBoardFile(white));
        for (const ToolDescription& tool : ToolDescriptions()) {
            if (tool.kind == ToolEyedropper || tool.kind == ToolFill || tool.kind == ToolEraser ||
                tool.kind == ToolText || tool.kind == ToolMoveBoard || tool.kind == ToolClearing) {
                continue;  // they change no pixel of a plain white board by a drag
            }
            SCOPED_TRACE(tool.name);
            ASSERT_TRUE(OpenPictureBoardFile(white));  // a clean board, the tool's own
            SelectTool(tool.kind);
            // A drag, a sweep with the button up and four clicks: every shape
            // tool has drawn something by the end of it.
            auto send = [](UINT message, WPARAM keys, int x, int y) {
                SendToBoard(message, keys, MAKELPARAM(x, y));
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
            int drawn = 0;
            OnBoard([&drawn](DrawingBoard& b) {
                for (int y = 0; y < 300; y += 2)
                    for (int x = 0; x < 400; x += 2)
                        if (b.backCanvas.GetPixel(x, y) != RGB(255, 255, 255)) ++drawn;
            });
            EXPECT_GT(drawn, 0);
        }
        EXPECT_TRUE(SaveSettings());
        SendToBoard(WM_CLOSE);
        ASSERT_TRUE(WaitForBoardGone(10000));
    }
}
