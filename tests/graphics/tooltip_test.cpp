#include "graphics/tooltip.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

#include <gtest/gtest.h>

namespace {

class ToolTipTest : public ::testing::Test {
protected:
    void SetUp() override {
        owner_ = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 100, 120, 80,
                                 nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(owner_, nullptr);
    }
    void TearDown() override {
        tip_.Destroy();
        DestroyWindow(owner_);
    }

    int Count() const {
        return static_cast<int>(SendMessageA(tip_.Handle(), TTM_GETTOOLCOUNT, 0, 0));
    }
    // The tool's record as the control holds it; false when it has no such tool.
    bool Info(UINT_PTR id, RECT& rect, std::string& text) const {
        char buffer[512] = {};
        TOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V1_SIZE;
        info.hwnd = owner_;
        info.uId = id;
        info.lpszText = buffer;
        if (!SendMessageA(tip_.Handle(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)))
            return false;
        rect = info.rect;
        buffer[0] = '\0';
        info.lpszText = buffer;
        SendMessageA(tip_.Handle(), TTM_GETTEXTA, sizeof(buffer), reinterpret_cast<LPARAM>(&info));
        text = buffer;
        return true;
    }
    int InitialDelay() const {
        return static_cast<int>(SendMessageA(tip_.Handle(), TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    }

    HWND owner_ = nullptr;
    ToolTip tip_;
};

TEST_F(ToolTipTest, CreateMakesAnAlwaysTipControlForTheOwner) {
    HWND h = tip_.Create(owner_);
    ASSERT_NE(h, nullptr);
    EXPECT_EQ(tip_.Handle(), h);
    EXPECT_EQ(tip_.Owner(), owner_);
    char cls[64] = {};
    GetClassNameA(h, cls, sizeof(cls));
    EXPECT_STREQ(cls, "tooltips_class32");
    const LONG_PTR style = GetWindowLongPtrA(h, GWL_STYLE);
    EXPECT_NE(style & TTS_ALWAYSTIP, 0);
    EXPECT_EQ(style & TTS_BALLOON, 0);
    EXPECT_EQ(GetParent(h), nullptr);
}

TEST_F(ToolTipTest, BalloonWhenAsked) {
    HWND h = tip_.Create(owner_, true);
    ASSERT_NE(h, nullptr);
    EXPECT_NE(GetWindowLongPtrA(h, GWL_STYLE) & TTS_BALLOON, 0);
}

TEST_F(ToolTipTest, AddToolWithoutRectangleCoversTheOwnersClientArea) {
    ASSERT_NE(tip_.Create(owner_), nullptr);
    ASSERT_TRUE(tip_.AddTool("整个窗口", 7));
    RECT r{};
    std::string text;
    ASSERT_TRUE(Info(7, r, text));
    RECT client{};
    GetClientRect(owner_, &client);
    EXPECT_TRUE(EqualRect(&r, &client));
    EXPECT_EQ(r.right, 120);
    EXPECT_EQ(r.bottom, 80);
    EXPECT_EQ(text, "整个窗口");
}

TEST_F(ToolTipTest, ToolsKeepTheirRectanglesAndTexts) {
    ASSERT_NE(tip_.Create(owner_), nullptr);
    ASSERT_TRUE(tip_.AddTool("左键：多边形\r\n右键：星形", 9, RECT{5, 140, 31, 166}));
    ASSERT_TRUE(tip_.AddTool("饼", 8, RECT{32, 113, 58, 139}));
    EXPECT_EQ(Count(), 2);
    RECT r{};
    std::string text;
    ASSERT_TRUE(Info(9, r, text));
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 140);
    EXPECT_EQ(r.right, 31);
    EXPECT_EQ(r.bottom, 166);
    EXPECT_EQ(text, "左键：多边形\r\n右键：星形");

    tip_.SetToolText(8, "扇形");
    tip_.SetToolRect(8, RECT{1, 2, 3, 4});
    ASSERT_TRUE(Info(8, r, text));
    EXPECT_EQ(text, "扇形");
    EXPECT_EQ(r.left, 1);
    EXPECT_EQ(r.bottom, 4);
    tip_.SetToolRect(8);  // back to the whole client area
    ASSERT_TRUE(Info(8, r, text));
    EXPECT_EQ(r.right, 120);

    tip_.RemoveTool(9);
    EXPECT_EQ(Count(), 1);
    EXPECT_FALSE(Info(9, r, text));
}

TEST_F(ToolTipTest, SetDelaySetsTheWaitBeforeTheTipShows) {
    ASSERT_NE(tip_.Create(owner_), nullptr);
    tip_.SetDelay(200);
    EXPECT_EQ(InitialDelay(), 200);
}

TEST_F(ToolTipTest, SetDelayBelowOneSendsNothing) {
    ASSERT_NE(tip_.Create(owner_), nullptr);
    tip_.SetDelay(200);
    tip_.SetDelay(0);
    EXPECT_EQ(InitialDelay(), 200);
    tip_.SetDelay(-30);
    EXPECT_EQ(InitialDelay(), 200);
}

TEST_F(ToolTipTest, ColoursAndWidthReachTheControl) {
    ASSERT_NE(tip_.Create(owner_), nullptr);
    tip_.SetBackColor(0x00E0FF);
    tip_.SetTextColor(0x202020);
    tip_.SetMaxWidth(300);
    EXPECT_EQ(SendMessageA(tip_.Handle(), TTM_GETTIPBKCOLOR, 0, 0), 0x00E0FF);
    EXPECT_EQ(SendMessageA(tip_.Handle(), TTM_GETTIPTEXTCOLOR, 0, 0), 0x202020);
    EXPECT_EQ(SendMessageA(tip_.Handle(), TTM_GETMAXTIPWIDTH, 0, 0), 300);
}

TEST_F(ToolTipTest, WithoutAControlEverythingIsQuiet) {
    EXPECT_EQ(tip_.Handle(), nullptr);
    EXPECT_FALSE(tip_.AddTool("x", 1));
    tip_.SetDelay(100);
    tip_.RemoveTool(1);
    tip_.SetToolText(1, "y");
    tip_.SetToolRect(1);
    tip_.SetMaxWidth(10);
    EXPECT_EQ(tip_.Handle(), nullptr);
}

TEST_F(ToolTipTest, CreatingAgainReplacesTheOldControl) {
    HWND first = tip_.Create(owner_);
    ASSERT_NE(first, nullptr);
    HWND second = tip_.Create(owner_);
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(IsWindow(first));
    EXPECT_TRUE(IsWindow(second));
}

}  // namespace
