// Start-up: the fixed start values, the menu caption list, and the real
// program started in a folder of its own (Config.ini beside it, exit code 0).
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/helpers.h"
#include "support/temp_folder.h"

#include "app/startup.h"
#include "settings/settings.h"
#include "window/screen.h"

namespace {

std::string IniValue(const std::string& path, const char* section, const char* key) {
    char buffer[256] = {};
    GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof(buffer), path.c_str());
    return buffer;
}

// ------------------------------------------------------------ the steps

// 28 commands (101..128; the last three tools follow the eraser) and the
// separators between their groups.
TEST(Startup, MenuListHas34RowsOfCommandsAndSeparators) {
    FillMenuItemList();
    FillMenuItemList();  // filling again never doubles it
    ASSERT_EQ(MenuItemList.captions.size(), 34u);
    ASSERT_EQ(MenuItemList.ids.size(), 34u);
    std::vector<int> separatorRows;
    int nextId = 101;
    for (std::size_t i = 0; i < 34; ++i) {
        if (MenuItemList.ids[i] == 0) {
            separatorRows.push_back(static_cast<int>(i) + 1);
            EXPECT_EQ(MenuItemList.captions[i], "-") << "row " << i + 1;
        } else {
            if (nextId == 121 && MenuItemList.ids[i] == 126) nextId = 126;
            if (nextId == 129) nextId = 121;
            EXPECT_EQ(MenuItemList.ids[i], nextId++) << "row " << i + 1;
            EXPECT_NE(MenuItemList.captions[i], "-");
        }
    }
    EXPECT_EQ(separatorRows, (std::vector<int>{5, 13, 19, 21, 29, 32}));
    EXPECT_EQ(nextId, 126);
    EXPECT_EQ(MenuItemList.captions[24], "荧光笔(&G)");
    EXPECT_EQ(MenuItemList.captions[0], "画笔(&P)");
    EXPECT_EQ(MenuItemList.captions[4], "-");
    EXPECT_EQ(MenuItemList.captions[13], "三点画圆弧(&A)");
    EXPECT_EQ(MenuItemList.captions[27], "清除(Esc)");
    EXPECT_EQ(MenuItemList.captions[32], "关闭画板(F9)");
    EXPECT_EQ(MenuItemList.captions[33], "结束程序");
}

TEST(Startup, AddMenuItemCopiesTheCaption) {
    MenuItemListType saved = MenuItemList;
    std::string caption = "临时";
    AddMenuItem(caption, 999);
    caption = "changed";
    EXPECT_EQ(MenuItemList.captions.back(), "临时");
    EXPECT_EQ(MenuItemList.ids.back(), 999);
    MenuItemList = saved;
}

TEST(Startup, ScreenSizeFollowsThePrimaryScreen) {
    ReadScreenSize();
    EXPECT_EQ(ScreenSize.cx, GetSystemMetrics(SM_CXSCREEN));
    EXPECT_EQ(ScreenSize.cy, GetSystemMetrics(SM_CYSCREEN));
}

TEST(Startup, UnsavedValuesAreSetOnEveryStart) {
    Settings.cornerRadiusMax = 1;
    Settings.polygonVertices = 99;
    Settings.starVertices = 0;
    SetUnsavedSettings();
    EXPECT_EQ(Settings.cornerRadiusMax, 500);
    EXPECT_EQ(Settings.polygonVertices, 6);
    EXPECT_EQ(Settings.starVertices, 5);
}

// ------------------------------------------------------------ the real program

// The built program sits at the root of the build folder, one level above
// this test executable.
std::string BuiltProgram() {
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string path(exe);
    path = path.substr(0, path.find_last_of('\\'));   // tests folder
    path = path.substr(0, path.find_last_of('\\'));   // build folder
    return path + "\\DrawBoard.exe";
}

struct FindToolbox {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK MatchToolbox(HWND w, LPARAM data) {
    auto* search = reinterpret_cast<FindToolbox*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char title[64] = {};
    GetWindowTextA(w, title, sizeof(title));
    if (pid == search->processId && IsWindowVisible(w) && std::string(title) == "画板工具箱") {
        search->found = w;
        return FALSE;
    }
    return TRUE;
}

// One run of the program copied into its own folder.
class ProgramRun {
public:
    explicit ProgramRun(const TempFolder& folder) : exe_(folder.File("DrawBoard.exe")) {
        copied_ = CopyFileA(BuiltProgram().c_str(), exe_.c_str(), FALSE) != FALSE;
        process_.SetGrace(0);  // still running at the end: ended at once
    }
    bool Copied() const { return copied_; }

    bool Start() {
        // No standard handles for the program: nothing it (or anything it
        // starts) leaves behind may hold the test runner's output open.
        // Started from another folder, so the program must find Config.ini by
        // its own location, not by the current directory.
        return process_.Start("\"" + exe_ + "\"", 0, true, exe_);
    }

    // The toolbox window once it shows, or nullptr after the time limit.
    HWND WaitForToolbox(int timeoutMs = 20000) {
        const ULONGLONG deadline = GetTickCount64() + timeoutMs;
        while (GetTickCount64() < deadline) {
            FindToolbox search{process_.Id(), nullptr};
            EnumWindows(&MatchToolbox, reinterpret_cast<LPARAM>(&search));
            if (search.found != nullptr) return search.found;
            if (process_.WaitForExit(50)) return nullptr;
        }
        return nullptr;
    }

    // Exit code, or -1 when the program did not end in time.
    int WaitForExit(int timeoutMs = 10000) {
        if (!process_.WaitForExit(timeoutMs)) return -1;
        return static_cast<int>(process_.ExitCode());
    }

private:
    std::string exe_;
    bool copied_ = false;
    HelperProcess process_;
};

TEST(StartupProgram, FirstStartCreatesConfigBesideTheProgramAndExitsZero) {
    TempFolder folder("startup_test");
    ProgramRun run(folder);
    ASSERT_TRUE(run.Copied()) << "program not found at " << BuiltProgram();
    const std::string config = folder.File("Config.ini");
    ASSERT_TRUE(run.Start());

    HWND toolbox = run.WaitForToolbox();
    ASSERT_NE(toolbox, nullptr);
    // The file exists before the first window shows: loading comes first.
    EXPECT_EQ(IniValue(config, "全局", "截屏延时"), "50");
    EXPECT_EQ(IniValue(config, "文字", "背景色"), "-16777216");
    EXPECT_EQ(IniValue(config, "文字", "字体名称"), "宋体");

    PostMessageA(toolbox, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.WaitForExit(), 0);
}

TEST(StartupProgram, ExistingConfigIsKeptAtStartAndSavedOnClose) {
    TempFolder folder("startup_test");
    ProgramRun run(folder);
    ASSERT_TRUE(run.Copied()) << "program not found at " << BuiltProgram();
    const std::string config = folder.File("Config.ini");
    const std::string text = "[属性]\r\n画笔粗细=7\r\n[文字]\r\n字体名称=黑体\r\n字体大小=12\r\n文字加粗=1\r\n";
    ASSERT_TRUE(WriteText(config, text));
    ASSERT_TRUE(run.Start());

    HWND toolbox = run.WaitForToolbox();
    ASSERT_NE(toolbox, nullptr);
    EXPECT_EQ(ReadText(config), text);  // not rewritten at start

    PostMessageA(toolbox, WM_CLOSE, 0, 0);
    ASSERT_EQ(run.WaitForExit(), 0);
    // Closing saved what the program ran on: the file's values, and the
    // read defaults of the keys the file lacked.
    EXPECT_EQ(IniValue(config, "属性", "画笔粗细"), "7");
    EXPECT_EQ(IniValue(config, "文字", "字体名称"), "黑体");
    EXPECT_EQ(IniValue(config, "文字", "字体大小"), "12");
    EXPECT_EQ(IniValue(config, "文字", "文字加粗"), "1");
    EXPECT_EQ(IniValue(config, "全局", "截屏延时"), "0");
    EXPECT_EQ(IniValue(config, "工具", "最大橡皮擦"), "50");
}

TEST(StartupProgram, ReadOnlyConfigStillStartsAndEndsCleanly) {
    TempFolder folder("startup_test");
    ProgramRun run(folder);
    ASSERT_TRUE(run.Copied()) << "program not found at " << BuiltProgram();
    const std::string config = folder.File("Config.ini");
    const std::string text = "[属性]\r\n画笔粗细=5\r\n";
    ASSERT_TRUE(WriteText(config, text));
    ASSERT_TRUE(SetFileAttributesA(config.c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(run.Start());

    HWND toolbox = run.WaitForToolbox();
    ASSERT_NE(toolbox, nullptr);
    PostMessageA(toolbox, WM_CLOSE, 0, 0);
    EXPECT_EQ(run.WaitForExit(), 0);
    EXPECT_EQ(ReadText(config), text);
}

}  // namespace
