// Saving pictures: the format chosen by the file name, files that decode back
// to the canvas, Chinese paths, failures that keep the old file and leave no
// temporary file, and the real save dialog.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "capture/save.h"
#include "graphics/canvas.h"
#include "support/board_fixture.h"
#include "support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr int kW = 161;  // odd: row padding would show
constexpr int kH = 97;

Bytes ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (std::strcmp(data.cFileName, ".") != 0 && std::strcmp(data.cFileName, "..") != 0)
            names.push_back(data.cFileName);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

int ChannelDistance(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

std::vector<std::string> g_told;  // what the user would have been told
std::string g_answer;             // what the replaced dialog answers

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = SavePictureUi;
        SavePictureUi.tellFailure = [](HWND, const std::string& text) { g_told.push_back(text); };
        SavePictureUi.askFileName = [](HWND) { return g_answer; };
        g_told.clear();
        g_answer.clear();
        // Flat areas (JPEG is close inside them) and a marker at the top-left
        // that shows which way up the picture came back.
        ASSERT_TRUE(canvas_.Create(kW, kH, RGB(250, 250, 240)));
        canvas_.BrushColor(RGB(220, 20, 30));
        canvas_.FillRect(0, 0, 64, 48);
        canvas_.BrushColor(RGB(20, 40, 200));
        canvas_.FillRect(80, 56, kW, kH);
        canvas_.SetPixel(0, 0, RGB(0, 255, 0));
    }
    void TearDown() override { SavePictureUi = saved_; }

    // The file decodes to the canvas's size and pixels; pixels closer than
    // `margin` to a colour edge are skipped (JPEG blurs there).
    void ExpectDecodesToCanvas(const std::string& path, int tolerance, int margin) {
        Canvas decoded;
        ASSERT_TRUE(decoded.Create(kW, kH, RGB(0, 0, 0)));
        GpImage* image = decoded.LoadPictureFile(path);
        ASSERT_NE(image, nullptr);
        EXPECT_EQ(decoded.Picture().Width(), kW);
        EXPECT_EQ(decoded.Picture().Height(), kH);
        ASSERT_EQ(decoded.DrawPicture(image, 0, 0), 0);
        for (int y = margin; y < kH - margin; ++y)
            for (int x = margin; x < kW - margin; ++x) {
                const COLORREF want = canvas_.GetPixel(x, y);
                bool edge = false;
                for (int d = -margin; d <= margin && !edge; ++d)
                    edge = canvas_.GetPixel(x + d, y) != want || canvas_.GetPixel(x, y + d) != want ||
                           canvas_.GetPixel(x + d, y + d) != want ||
                           canvas_.GetPixel(x + d, y - d) != want;
                if (!edge) {
                    ASSERT_LE(ChannelDistance(decoded.GetPixel(x, y), want), tolerance)
                        << x << "," << y;
                }
            }
    }

    SaveUi saved_;
    Canvas canvas_;
    TempFolder folder_{"save_test"};
};

}  // namespace

TEST_F(SaveTest, TheExtensionChoosesTheFormatAndEachFileDecodesToTheCanvas) {
    struct Case {
        const char* name;
        const char* magic;
        int tolerance, margin;
    } const cases[] = {
        {"画板.PNG", "\x89PNG", 0, 0},  // capitals still mean PNG
        {"截图.jpg", "\xFF\xD8\xFF", 24, 8},
        {"照片.jpeg", "BM", 0, 0},  // only ".jpg" means JPEG
        {"没有扩展名", "BM", 0, 0},
        {"淺.bmp", "BM", 0, 0},  // the second byte of 淺 is a backslash
    };
    // An older, longer file under one of the names is replaced whole.
    ASSERT_TRUE(board_test::WriteBytes(folder_.File("画板.PNG"), Bytes(200000, 0xAB)));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder_.File(c.name);
        ASSERT_EQ(SavePictureToFile(path, canvas_.ToBmpBytes(), nullptr), SaveOutcome::Saved);
        const Bytes file = ReadAll(path);
        ASSERT_GE(file.size(), 54u);
        EXPECT_EQ(std::memcmp(file.data(), c.magic, std::strlen(c.magic)), 0);
        // The encoded bytes end where the encoder stopped: no slack of the
        // memory block behind them.
        if (file[0] == 0x89) {
            EXPECT_EQ(std::memcmp(&file[file.size() - 8], "IEND", 4), 0);
        } else if (file[0] == 0xFF) {
            EXPECT_EQ(std::memcmp(&file[file.size() - 2], "\xFF\xD9", 2), 0);
        }
        if (file[0] == 'B') {  // 32 bits, unpadded rows, bottom-up
            const board_test::BmpInfo info = board_test::ReadBmpInfo(file);
            EXPECT_EQ(file.size(), 54u + 4u * kW * kH);
            EXPECT_EQ(info.bitCount, 32);
            EXPECT_EQ(info.height, kH);
            EXPECT_EQ(file[54 + 4 * kW * (kH - 1) + 1], 255);  // the marker, last stored
        }
        ExpectDecodesToCanvas(path, c.tolerance, c.margin);
    }
    EXPECT_TRUE(g_told.empty());
    EXPECT_EQ(FolderEntries(folder_.Path()).size(), std::size(cases));  // no temporary file
}

TEST_F(SaveTest, AFailedSaveKeepsTheOldFileTellsOnceAndLeavesNoTemporaryFile) {
    struct Case {
        const char* name;
        bool readOnly;
        Bytes bmp;
    } const cases[] = {
        {"编码失败.png", false, Bytes(5000, 0x5A)},  // no picture: the encode fails
        {"空.bmp", false, Bytes{}},                  // nothing to write
        {"只读.png", true, canvas_.ToBmpBytes()},
        {"只读.bmp", true, canvas_.ToBmpBytes()},
        {"不存在的文件夹\\图.bmp", false, canvas_.ToBmpBytes()},
    };
    const Bytes old = {'o', 'l', 'd'};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        g_told.clear();
        TempFolder folder("save_fail");
        const std::string path = folder.File(c.name);
        const bool exists = std::strchr(c.name, '\\') == nullptr;
        if (exists) {
            ASSERT_TRUE(board_test::WriteBytes(path, old));
        }
        if (c.readOnly) SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);

        EXPECT_EQ(SavePictureToFile(path, c.bmp, nullptr), SaveOutcome::Failed);
        EXPECT_EQ(FolderEntries(folder.Path()),
                  exists ? std::vector<std::string>{c.name} : std::vector<std::string>{});
        if (exists) {
            EXPECT_EQ(ReadAll(path), old);
        }
        ASSERT_EQ(g_told.size(), 1u);
        EXPECT_NE(g_told[0].find(path), std::string::npos) << g_told[0];
    }
}

TEST_F(SaveTest, ATargetAtThePathLengthLimitIsSavedThroughAShortTemporaryName) {
    const std::string folder = folder_.Path() + "\\" + std::string(150, 'd');
    ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
    const std::string path = folder + "\\" + std::string(MAX_PATH - 6 - folder.size(), 'n') + ".bmp";
    ASSERT_EQ(path.size(), MAX_PATH - 1u);
    EXPECT_EQ(WriteFileAtomically(path, Bytes{'B', 'M'}), "");
    EXPECT_EQ(ReadAll(path), (Bytes{'B', 'M'}));
}

TEST_F(SaveTest, TheChosenNameGetsTheCanvasAndACancelledDialogDoesNothing) {
    g_answer = folder_.File("选择的名字.png");
    EXPECT_EQ(SavePicture(canvas_, nullptr), SaveOutcome::Saved);
    ExpectDecodesToCanvas(g_answer, 0, 0);

    bool read = false;
    g_answer.clear();
    EXPECT_EQ(SavePicture(nullptr, [&read] { return read = true, Bytes{}; }),
              SaveOutcome::Cancelled);
    EXPECT_FALSE(read);
    EXPECT_TRUE(g_told.empty());
}

TEST(SavePaths, SplitAtBackslashesNotAtTheSecondByteOfACharacter) {
    struct Case {
        const char *path, *directory, *fileName, *extension, *stem;
    } const cases[] = {
        {"C:\\图片\\画板.PNG", "C:\\图片", "画板.PNG", ".PNG", "画板"},
        {"C:\\淺\\淺.png", "C:\\淺", "淺.png", ".png", "淺"},
        {"C:\\版本.2\\无扩展名", "C:\\版本.2", "无扩展名", "", "无扩展名"},
        {"C:\\a.tar.jpg", "C:\\", "a.tar.jpg", ".jpg", "a.tar"},
    };
    for (const Case& c : cases) {
        const PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.directory, c.directory) << c.path;
        EXPECT_EQ(parts.fileName, c.fileName) << c.path;
        EXPECT_EQ(parts.extension, c.extension) << c.path;
        EXPECT_EQ(parts.stem, c.stem) << c.path;
    }
    EXPECT_EQ(LowerAscii("乀.PNG"), "乀.png");  // 乀 is 0x81 0x5A: its 'Z' stays
    EXPECT_EQ(EncoderForPath("D:\\x.png\\y"), kEncodeBmp);
}

TEST(SaveEncode, OtherBmpLayoutsAndUnknownTypesStillEncode) {
    // A 24-bit top-down BMP (not what a canvas makes) goes through the decoder.
    Bytes bmp(54 + 12 * 2, 0);
    const BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), 3, -2, 1, 24, BI_RGB, 24, 0, 0, 0, 0};
    bmp[0] = 'B', bmp[1] = 'M', bmp[2] = static_cast<std::uint8_t>(bmp.size()), bmp[10] = 54;
    std::memcpy(&bmp[14], &header, sizeof(header));
    bmp[54 + 2] = 255;  // top-left red (B, G, R)
    const auto png = EncodePicture(bmp, kEncodePng);
    ASSERT_TRUE(png.has_value());
    Canvas decoded;
    ASSERT_TRUE(decoded.Create(3, 2, RGB(1, 2, 3)));
    ASSERT_EQ(decoded.DrawPicture(decoded.LoadPicture(*png), 0, 0), 0);
    EXPECT_EQ(decoded.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(decoded.GetPixel(0, 1), RGB(0, 0, 0));

    const auto fallback = EncodePicture(bmp, 42);  // outside 1..5: BMP
    ASSERT_TRUE(fallback.has_value());
    EXPECT_EQ((*fallback)[0], 'B');
    EXPECT_FALSE(EncodePicture(Bytes(64, 0x11), kEncodePng).has_value());
}

// The real dialog, played by a helper thread that types a name without an
// extension and presses OK (or cancels, so nothing waits on an open dialog).
// The name gets the preselected filter's extension, PNG.
TEST(SaveDialog, OpensWithItsTitleAndGivesTheTypedNameTheFiltersExtension) {
    TempFolder folder("save_dialog");
    const std::string typed = folder.File("对话框");
    const DWORD self = GetCurrentThreadId();
    std::atomic<bool> filled{false};
    std::thread user([&] {
        HWND dialog = nullptr, edit = nullptr;
        for (int i = 0; i < 200 && dialog == nullptr; ++i) {
            Sleep(50);
            dialog = FindWindowA("#32770", kSaveDialogTitle);
            if (dialog != nullptr && (GetWindowThreadProcessId(dialog, nullptr) != self ||
                                      !IsWindowVisible(dialog)))
                dialog = nullptr;
        }
        if (dialog == nullptr) return;  // it never opened: the call has returned
        // Found while it is still being made: wait for its name box to show.
        for (int i = 0; i < 100 && edit == nullptr && IsWindow(dialog); ++i) {
            Sleep(50);
            EnumChildWindows(
                dialog,
                [](HWND child, LPARAM out) -> BOOL {
                    char name[16] = {};
                    GetClassNameA(child, name, sizeof(name));
                    if (_stricmp(name, "Edit") != 0 || !IsWindowVisible(child)) return TRUE;
                    *reinterpret_cast<HWND*>(out) = child;
                    return FALSE;
                },
                reinterpret_cast<LPARAM>(&edit));
        }
        if (edit != nullptr) {
            SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
            filled = true;
            PostMessageA(dialog, WM_COMMAND, IDOK, 0);
        }
        for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(50);
        if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    const std::string chosen = AskSaveFileName(nullptr, kSaveDialogTitle, folder.Path(),
                                               kPictureSaveFilter, OFN_OVERWRITEPROMPT, "bmp");
    user.join();
    EXPECT_TRUE(filled.load()) << "the dialog did not open";
    EXPECT_EQ(chosen, typed + ".png");
    EXPECT_EQ(DialogFilter("A|*.a|B|*.b"), std::string("A\0*.a\0B\0*.b\0\0", 13));
}
