// Config.ini: first start, reading rules, saving, and files that cannot be written.
#include <windows.h>

#include <atomic>
#include <climits>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "support/helpers.h"
#include "support/temp_folder.h"

#include "app/toolbox_layout.h"
#include "settings/settings.h"

namespace {

bool FileExists(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string IniValue(const std::string& path, const char* section, const char* key) {
    char buffer[512] = {};
    GetPrivateProfileStringA(section, key, "<missing>", buffer, sizeof(buffer), path.c_str());
    return buffer;
}

// Every test starts from the built-in values and leaves the shared record and
// the file location as it found them.
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = CurrentSettingsValues();
        StoreSettingsValues(SettingsValues{});
        config_ = folder_.File("Config.ini");
        SetConfigPath(config_);
    }
    void TearDown() override {
        SetConfigPath("");
        StoreSettingsValues(saved_);
    }

    void WriteConfig(const std::string& text) { ASSERT_TRUE(WriteText(config_, text)); }

    TempFolder folder_;
    std::string config_;
    SettingsValues saved_;
};

struct ExpectedKey {
    const char* section;
    const char* key;
    const char* value;
};

// What a first start writes: the 20 keys with their first-start values.
const ExpectedKey kFirstStartFile[] = {
    {"属性", "画笔粗细", "0"},         {"属性", "画笔颜色", "16711680"},
    {"属性", "画刷颜色", "16777215"},  {"属性", "刷子类型", "0"},
    {"文字", "文字颜色", "0"},         {"文字", "背景色", "-16777216"},
    {"文字", "字体名称", "宋体"},      {"文字", "字体大小", "9"},
    {"文字", "文字加粗", "0"},         {"文字", "文字倾斜", "0"},
    {"文字", "删除线", "0"},           {"文字", "下划线", "0"},
    {"文字", "文字角度", "0"},         {"工具", "十字星大小", "15"},
    {"工具", "橡皮擦大小", "15"},      {"工具", "最大橡皮擦", "50"},
    {"工具", "箭头角度", "20"},        {"工具", "圆角半径", "15"},
    {"工具", "箭头长度", "20"},        {"全局", "截屏延时", "50"},
};

// ---------------------------------------------------------------- pure rules

TEST(IniRules, IntegersParseAsDecimalAndJunkReadsZero) {
    EXPECT_EQ(ParseIniInteger("0"), 0);
    EXPECT_EQ(ParseIniInteger("15"), 15);
    EXPECT_EQ(ParseIniInteger("-16777216"), -16777216);
    EXPECT_EQ(ParseIniInteger("+7"), 7);
    EXPECT_EQ(ParseIniInteger("  42"), 42);
    EXPECT_EQ(ParseIniInteger(""), 0);
    EXPECT_EQ(ParseIniInteger("abc"), 0);
    EXPECT_EQ(ParseIniInteger("-"), 0);
    EXPECT_EQ(ParseIniInteger("红色"), 0);
    EXPECT_EQ(ParseIniInteger("0x10"), 0);  // not decimal: the digits stop at 'x'
    EXPECT_EQ(ParseIniInteger("12px"), 12);
}

TEST(IniRules, HugeNumbersNeverOverflow) {
    // An unsigned COLORREF written by hand keeps its bit pattern.
    EXPECT_EQ(ParseIniInteger("4278190080"), -16777216);
    EXPECT_EQ(ParseIniInteger("4294967295"), -1);
    EXPECT_EQ(ParseIniInteger("2147483647"), INT_MAX);
    EXPECT_EQ(ParseIniInteger("-2147483648"), INT_MIN);
    EXPECT_EQ(ParseIniInteger("4294967296"), INT_MAX);
    EXPECT_EQ(ParseIniInteger("-2147483649"), INT_MIN);
    EXPECT_EQ(ParseIniInteger(std::string(5000, '9')), INT_MAX);
    EXPECT_EQ(ParseIniInteger("-" + std::string(5000, '9')), INT_MIN);
}

TEST(IniRules, BooleanIsTrueOnlyForExactlyOne) {
    EXPECT_TRUE(ParseIniBool("1"));
    EXPECT_FALSE(ParseIniBool("0"));
    EXPECT_FALSE(ParseIniBool("true"));
    EXPECT_FALSE(ParseIniBool(" 1"));
    EXPECT_FALSE(ParseIniBool("1 "));
    EXPECT_FALSE(ParseIniBool("01"));
    EXPECT_FALSE(ParseIniBool("2"));
    EXPECT_FALSE(ParseIniBool(""));
}

TEST(IniRules, GbkTextIsCutBetweenCharacters) {
    std::string twenty;  // 40 bytes
    for (int i = 0; i < 20; ++i) twenty += "黑";
    const std::string fifteen = twenty.substr(0, 30);
    EXPECT_EQ(CutGbk(twenty, 31), fifteen);  // not 31 bytes, half a character at the end
    EXPECT_EQ(CutGbk("A" + twenty, 31), "A" + fifteen);
    EXPECT_EQ(CutGbk(std::string(40, 'A'), 31), std::string(31, 'A'));
    EXPECT_EQ(CutGbk("宋体", 31), "宋体");
}

TEST(IniRules, TextGroupNeedsFaceNameAndPositiveSize) {
    EXPECT_TRUE(AcceptTextGroup("黑体", 12));
    EXPECT_TRUE(AcceptTextGroup("x", 1));
    EXPECT_FALSE(AcceptTextGroup("", 12));
    EXPECT_FALSE(AcceptTextGroup("黑体", 0));
    EXPECT_FALSE(AcceptTextGroup("黑体", -3));
}

// A file held in memory: records which keys were asked for.
struct FakeIni {
    std::map<std::string, std::string> values;  // "section/key" -> text
    std::vector<std::string> asked;
    IniGetter Getter() {
        return [this](const char* section, const char* key, const char* readDefault) {
            std::string name = std::string(section) + "/" + key;
            asked.push_back(name);
            auto found = values.find(name);
            if (found != values.end()) return found->second;
            return std::string(readDefault ? readDefault : "");
        };
    }
    bool WasAsked(const std::string& name) const {
        for (const auto& a : asked) {
            if (a == name) return true;
        }
        return false;
    }
};

TEST(IniRules, MissingKeysTakeTheirReadDefaults) {
    FakeIni ini;  // the file exists but holds nothing
    FontSpec font;
    font.faceName = "楷体";
    font.size = 11;
    SettingsValues v = ReadSettingsValues(ini.Getter(), font);
    EXPECT_EQ(v.penWidth, 0);
    EXPECT_EQ(v.penColor, 16711680);
    EXPECT_EQ(v.brushColor, 16777215);
    EXPECT_EQ(v.brushType, 0);
    EXPECT_EQ(v.textColor, 0);
    EXPECT_EQ(v.backColor, 0);  // no read default, unlike the first-start value
    EXPECT_EQ(v.crossSize, 15);
    EXPECT_EQ(v.eraserSize, 15);
    EXPECT_EQ(v.eraserMax, 50);
    EXPECT_EQ(v.arrowAngle, 20);
    EXPECT_EQ(v.arrowLength, 20);
    EXPECT_EQ(v.cornerRadius, 15);
    EXPECT_EQ(v.captureDelay, 0);  // no read default: a missing key is no wait
    EXPECT_EQ(v.textFont, font);   // no face name: the text group stays
}

TEST(IniRules, RefusedTextGroupDoesNotReadItsFlags) {
    FakeIni ini;
    ini.values["文字/字体名称"] = "";
    ini.values["文字/字体大小"] = "12";
    ini.values["文字/文字加粗"] = "1";
    ini.values["文字/文字角度"] = "900";
    SettingsValues v = ReadSettingsValues(ini.Getter(), FontSpec{});
    EXPECT_EQ(v.textFont, FontSpec{});
    EXPECT_FALSE(ini.WasAsked("文字/文字加粗"));
    EXPECT_FALSE(ini.WasAsked("文字/文字角度"));
    EXPECT_TRUE(ini.WasAsked("全局/截屏延时"));  // the keys after the group are still read
}

TEST(IniRules, SavedEntriesCoverEveryKeyOnce) {
    SettingsValues v;
    v.textFont.bold = true;
    v.textFont.faceName = "黑体";
    std::vector<IniEntry> entries = SettingsIniEntries(v);
    ASSERT_EQ(entries.size(), 21u);
    std::set<std::string> names;
    for (const IniEntry& e : entries) names.insert(std::string(e.section) + "/" + e.key);
    EXPECT_EQ(names.size(), 21u);
    for (const ExpectedKey& k : kFirstStartFile) {
        EXPECT_TRUE(names.count(std::string(k.section) + "/" + k.key)) << k.key;
    }
    // The write order of the file: 圆角半径 before 箭头长度, 截屏延时 last.
    EXPECT_STREQ(entries[17].key, "圆角半径");
    EXPECT_STREQ(entries[18].key, "箭头长度");
    EXPECT_STREQ(entries[19].key, "截屏延时");
    EXPECT_STREQ(entries[20].key, "快速保存目录");
}

// ---------------------------------------------------------------- the file

TEST_F(SettingsFile, FirstStartCreatesTheFileWithDefaults) {
    // Values in memory before the load must not leak into a first start.
    Settings.penWidth = 9;
    Settings.captureDelay = 0;
    Settings.backColor = 0;
    ASSERT_FALSE(FileExists(config_));

    LoadSettings();

    ASSERT_TRUE(FileExists(config_));
    for (const ExpectedKey& k : kFirstStartFile) {
        EXPECT_EQ(IniValue(config_, k.section, k.key), k.value) << k.section << "/" << k.key;
    }
    // GBK on disk: "截屏延时=50" as its GBK bytes, not UTF-8.
    std::string bytes = ReadText(config_);
    EXPECT_NE(bytes.find("\xBD\xD8\xC6\xC1\xD1\xD3\xCA\xB1=50"), std::string::npos);
    EXPECT_EQ(bytes.find("\xE6\x88\xAA"), std::string::npos);  // UTF-8 of 截
    // Exactly 20 keys in 4 sections.
    int keys = 0;
    int sections = 0;
    for (std::size_t start = 0; start < bytes.size();) {
        std::size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line[0] == '[') ++sections;
        else if (line.find('=') != std::string::npos) ++keys;
        start = end + 1;
    }
    EXPECT_EQ(keys, 21);
    EXPECT_EQ(sections, 4);

    EXPECT_EQ(Settings.penWidth, 0);
    EXPECT_EQ(Settings.penColor, 0xFF0000);
    EXPECT_EQ(Settings.backColor, static_cast<int>(0xFF000000u));
    EXPECT_EQ(Settings.captureDelay, 50);
    EXPECT_EQ(GetTextFont(), FontSpec{});
}

TEST_F(SettingsFile, FileWithoutCaptureDelayReadsZero) {
    WriteConfig("[属性]\r\n画笔粗细=3\r\n");
    LoadSettings();
    EXPECT_EQ(Settings.captureDelay, 0);  // a missing file would have given 50
    EXPECT_EQ(Settings.penWidth, 3);
    EXPECT_EQ(Settings.penColor, 16711680);
    EXPECT_EQ(Settings.backColor, 0);
    EXPECT_EQ(Settings.eraserMax, 50);
}

TEST_F(SettingsFile, ExistingFileIsReadButNotRewritten) {
    const std::string text =
        "[属性]\r\n画笔粗细=4\r\n画笔颜色=255\r\n[工具]\r\n箭头角度=35\r\n[全局]\r\n截屏延时=120\r\n";
    WriteConfig(text);
    LoadSettings();
    EXPECT_EQ(Settings.penWidth, 4);
    EXPECT_EQ(Settings.penColor, 255);
    EXPECT_EQ(Settings.arrowAngle, 35);
    EXPECT_EQ(Settings.captureDelay, 120);
    EXPECT_EQ(ReadText(config_), text);
}

TEST_F(SettingsFile, EmptyFaceNameLeavesBoldOff) {
    WriteConfig("[文字]\r\n字体名称=\r\n字体大小=12\r\n文字加粗=1\r\n文字倾斜=1\r\n");
    LoadSettings();
    FontSpec font = GetTextFont();
    EXPECT_FALSE(font.bold);
    EXPECT_FALSE(font.italic);
    EXPECT_EQ(font.size, 9);
    EXPECT_EQ(font.faceName, "宋体");
}

TEST_F(SettingsFile, ZeroOrNegativeFontSizeLeavesTheTextGroup) {
    for (const char* size : {"0", "-4", "big"}) {
        SetTextFont(FontSpec{});
        WriteConfig(std::string("[文字]\r\n字体名称=黑体\r\n字体大小=") + size +
                    "\r\n文字加粗=1\r\n文字角度=450\r\n");
        LoadSettings();
        EXPECT_EQ(GetTextFont(), FontSpec{}) << "size " << size;
    }
}

TEST_F(SettingsFile, AcceptedTextGroupReadsEveryFontKey) {
    WriteConfig(
        "[文字]\r\n字体名称=黑体\r\n字体大小=14\r\n文字加粗=1\r\n文字倾斜=1\r\n删除线=1\r\n"
        "下划线=1\r\n文字角度=-450\r\n");
    LoadSettings();
    FontSpec font = GetTextFont();
    EXPECT_EQ(font.faceName, "黑体");
    EXPECT_EQ(font.size, 14);
    EXPECT_TRUE(font.bold);
    EXPECT_TRUE(font.italic);
    EXPECT_TRUE(font.strikeout);
    EXPECT_TRUE(font.underline);
    EXPECT_EQ(font.angle, -450);
}

TEST_F(SettingsFile, BooleansOtherThanExactlyOneReadFalse) {
    // The quotes keep the leading blank: the value read is " 1".
    WriteConfig(
        "[文字]\r\n字体名称=宋体\r\n字体大小=9\r\n文字加粗=true\r\n文字倾斜=\" 1\"\r\n删除线=1\r\n"
        "下划线=01\r\n");
    LoadSettings();
    FontSpec font = GetTextFont();
    EXPECT_FALSE(font.bold);
    EXPECT_FALSE(font.italic);
    EXPECT_TRUE(font.strikeout);
    EXPECT_FALSE(font.underline);
}

TEST_F(SettingsFile, NonNumericNumbersReadZero) {
    WriteConfig(
        "[属性]\r\n画笔粗细=thick\r\n画笔颜色=red\r\n[工具]\r\n十字星大小=\r\n箭头长度=长\r\n"
        "[全局]\r\n截屏延时=soon\r\n");
    LoadSettings();
    EXPECT_EQ(Settings.penWidth, 0);
    EXPECT_EQ(Settings.penColor, 0);  // the key is there: its read default does not apply
    EXPECT_EQ(Settings.crossSize, 0);
    EXPECT_EQ(Settings.arrowLength, 0);
    EXPECT_EQ(Settings.captureDelay, 0);
    EXPECT_EQ(Settings.eraserSize, 15);  // absent keys still get theirs
}

TEST_F(SettingsFile, HostileValuesAreReadWithoutHarm) {
    std::string longName(20000, 'A');
    WriteConfig("[属性]\r\n画笔粗细=99999999999999999999999\r\n画笔颜色=4278255360\r\n"
                "[文字]\r\n背景色=-7\r\n字体名称=" + longName + "\r\n字体大小=2147483647\r\n"
                "[工具]\r\n橡皮擦大小=-5\r\n最大橡皮擦=-2147483648\r\n圆角半径=" +
                std::string(30000, '7') + "\r\n");
    LoadSettings();
    // Sizes are bounded to what the program can honour, colours to RGB.
    EXPECT_EQ(Settings.penWidth, kPenWidthMax);
    EXPECT_EQ(Settings.penColor, 0x00FF00);  // the top byte is dropped
    EXPECT_EQ(Settings.backColor, static_cast<int>(0xFF000000u));  // no background
    EXPECT_EQ(Settings.eraserSize, 1);
    EXPECT_EQ(Settings.eraserMax, 1);
    EXPECT_EQ(Settings.cornerRadius, kCornerRadiusMax);
    FontSpec font = GetTextFont();
    EXPECT_EQ(font.size, kMaxFontPoints);
    EXPECT_EQ(font.faceName, std::string(LF_FACESIZE - 1, 'A'));  // what a font can name
    // And it can all be written back.
    EXPECT_TRUE(SaveSettings());
    EXPECT_EQ(IniValue(config_, "属性", "画笔粗细"), std::to_string(kPenWidthMax));
}

TEST_F(SettingsFile, SaveWritesEveryKeyAndReadsBackTheSame) {
    SettingsValues v;
    v.penWidth = 3;
    v.penColor = 0x123456;
    v.brushColor = 0x00FF00;
    v.brushType = 5;
    v.textColor = 0x0000FF;
    v.backColor = 0x0A0B0C;
    v.crossSize = 21;
    v.eraserSize = 33;
    v.eraserMax = 77;
    v.arrowAngle = 31;
    v.arrowLength = 44;
    v.cornerRadius = 250;
    v.captureDelay = 400;
    v.textFont = FontSpec{.angle = 900, .bold = true, .italic = false, .strikeout = true,
                          .underline = false, .size = 16, .faceName = "楷体"};
    StoreSettingsValues(v);
    ASSERT_TRUE(SaveSettings());

    const std::map<std::string, std::string> expected = {
        {"属性/画笔粗细", "3"},         {"属性/画笔颜色", "1193046"},
        {"属性/画刷颜色", "65280"},     {"属性/刷子类型", "5"},
        {"文字/文字颜色", "255"},       {"文字/背景色", "658188"},
        {"文字/字体名称", "楷体"},      {"文字/字体大小", "16"},
        {"文字/文字加粗", "1"},         {"文字/文字倾斜", "0"},
        {"文字/删除线", "1"},           {"文字/下划线", "0"},
        {"文字/文字角度", "900"},       {"工具/十字星大小", "21"},
        {"工具/橡皮擦大小", "33"},      {"工具/最大橡皮擦", "77"},
        {"工具/箭头角度", "31"},        {"工具/圆角半径", "250"},
        {"工具/箭头长度", "44"},        {"全局/截屏延时", "400"},
    };
    for (const auto& [name, value] : expected) {
        std::string section = name.substr(0, name.find('/'));
        std::string key = name.substr(name.find('/') + 1);
        EXPECT_EQ(IniValue(config_, section.c_str(), key.c_str()), value) << name;
    }

    StoreSettingsValues(SettingsValues{});
    SetTextFont(FontSpec{});
    LoadSettings();
    EXPECT_EQ(CurrentSettingsValues(), v);
}

TEST_F(SettingsFile, ReadOnlyFileKeepsValuesInMemoryAndTheFileIntact) {
    LoadSettings();  // creates the file
    const std::string before = ReadText(config_);
    ASSERT_FALSE(before.empty());
    ASSERT_TRUE(SetFileAttributesA(config_.c_str(), FILE_ATTRIBUTE_READONLY));

    Settings.penWidth = 42;
    Settings.captureDelay = 7;
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(Settings.penWidth, 42);
    EXPECT_EQ(Settings.captureDelay, 7);
    EXPECT_EQ(ReadText(config_), before);

    // Reading still works from a read-only file.
    LoadSettings();
    EXPECT_EQ(Settings.penWidth, 0);
    EXPECT_EQ(Settings.captureDelay, 50);
}

TEST_F(SettingsFile, MissingFolderRunsOnDefaultsWithoutAFile) {
    const std::string nowhere = folder_.File("no such folder\\deeper\\Config.ini");
    SetConfigPath(nowhere);
    Settings.penWidth = 9;
    LoadSettings();
    EXPECT_EQ(CurrentSettingsValues(), MissingFileDefaults(FontSpec{}));
    EXPECT_FALSE(FileExists(nowhere));

    Settings.eraserSize = 40;
    EXPECT_FALSE(SaveSettings());
    EXPECT_EQ(Settings.eraserSize, 40);
    EXPECT_FALSE(FileExists(nowhere));
}

TEST_F(SettingsFile, FolderNamedConfigIniIsNotTreatedAsTheFile) {
    ASSERT_TRUE(CreateDirectoryA(config_.c_str(), nullptr));
    Settings.captureDelay = 3;
    LoadSettings();
    EXPECT_EQ(Settings.captureDelay, 50);
    EXPECT_FALSE(SaveSettings());
    DWORD attributes = GetFileAttributesA(config_.c_str());
    EXPECT_TRUE(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(SettingsFile, DefaultPathIsConfigIniBesideTheExecutable) {
    SetConfigPath("");
    char exe[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string folder(exe);
    folder = folder.substr(0, folder.find_last_of('\\'));
    EXPECT_EQ(ConfigPath(), folder + "\\Config.ini");
}

// The toolbox thread changes the font while a board thread reads it: every
// read must be one whole font, never half of each.
TEST(SettingsThreads, TextFontIsNeverSeenHalfWritten) {
    const FontSpec saved = GetTextFont();
    FontSpec a;
    a.faceName = std::string(300, 'a');
    a.size = 10;
    FontSpec b;
    b.faceName = "黑体";
    b.size = 20;
    b.bold = true;
    std::atomic<bool> stop{false};
    std::thread writer([&] {
        for (int i = 0; i < 20000; ++i) SetTextFont(i % 2 ? a : b);
        stop = true;
    });
    int mixed = 0;
    while (!stop) {
        FontSpec f = GetTextFont();
        if (!(f == a || f == b || f == saved)) ++mixed;
    }
    writer.join();
    EXPECT_EQ(mixed, 0);
    SetTextFont(saved);
}

}  // namespace
