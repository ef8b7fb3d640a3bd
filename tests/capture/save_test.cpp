// Saving pictures: the format chosen by the file name, the files decoding back
// to the canvas's pixels, paths with Chinese characters, failures that leave
// an existing file untouched and no temporary file behind, and the real save
// dialog.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "capture/save.h"
#include "graphics/canvas.h"
#include "support/temp_folder.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr int kW = 161;  // odd sizes: no row padding can hide
constexpr int kH = 97;
constexpr COLORREF kPaper = RGB(250, 250, 240);
constexpr COLORREF kRed = RGB(220, 20, 30);
constexpr COLORREF kBlue = RGB(20, 40, 200);

// A canvas with flat areas (so JPEG is close inside them) and one marker
// pixel at the top-left that shows which way up the picture came back.
void PaintPicture(Canvas& canvas) {
    ASSERT_TRUE(canvas.Create(kW, kH, kPaper));
    canvas.PenColor(kRed);
    canvas.BrushColor(kRed);
    canvas.FillRect(0, 0, 64, 48);
    canvas.BrushColor(kBlue);
    canvas.FillRect(80, 56, kW, kH);
    canvas.SetPixel(0, 0, RGB(0, 255, 0));
}

Bytes ReadFileBytes(const std::string& path) {
    Bytes bytes;
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return bytes;
    DWORD size = GetFileSize(file, nullptr);
    bytes.resize(size);
    DWORD got = 0;
    if (size > 0 && !ReadFile(file, bytes.data(), size, &got, nullptr)) got = 0;
    bytes.resize(got);
    CloseHandle(file);
    return bytes;
}

bool WriteFileBytes(const std::string& path, const Bytes& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD wrote = 0;
    const bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &wrote,
                              nullptr) && wrote == bytes.size();
    CloseHandle(file);
    return ok;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data{};
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        const std::string name = data.cFileName;
        if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    std::sort(names.begin(), names.end());
    return names;
}

int MaxChannelDifference(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

// Decodes a saved file through GDI+ and compares it with `original`:
// same size; every pixel within `tolerance` per channel. For lossy formats
// only pixels at least `margin` away from any colour edge are compared.
void ExpectDecodesTo(const std::string& path, Canvas& original, int tolerance, int margin) {
    Canvas decoded;
    ASSERT_TRUE(decoded.Create(kW, kH, RGB(0, 0, 0)));
    GpImage* image = decoded.LoadPictureFile(path);
    ASSERT_NE(image, nullptr) << path;
    EXPECT_EQ(decoded.Picture().Width(), original.Width());
    EXPECT_EQ(decoded.Picture().Height(), original.Height());
    ASSERT_EQ(decoded.DrawPicture(image, 0, 0), 0);
    int compared = 0;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            bool nearEdge = false;
            const COLORREF here = original.GetPixel(x, y);
            for (int dy = -margin; dy <= margin && !nearEdge; ++dy)
                for (int dx = -margin; dx <= margin && !nearEdge; ++dx) {
                    const COLORREF other = original.GetPixel(x + dx, y + dy);
                    nearEdge = other != CLR_INVALID && other != here;
                }
            if (nearEdge) continue;
            ++compared;
            ASSERT_LE(MaxChannelDifference(decoded.GetPixel(x, y), here), tolerance)
                << "pixel " << x << "," << y << " of " << path;
        }
    }
    EXPECT_GT(compared, kW * kH / 2);
}

// Collects what the user would have been told instead of showing it.
std::vector<std::string> g_told;
std::string g_answer;  // what the replaced dialog answers

class SaveTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_ = SavePictureUi;
        SavePictureUi.tellFailure = [](HWND, const std::string& message) {
            g_told.push_back(message);
        };
        SavePictureUi.askFileName = [](HWND) { return g_answer; };
        g_told.clear();
        g_answer.clear();
        PaintPicture(canvas_);
    }
    void TearDown() override { SavePictureUi = saved_; }

    SaveUi saved_;
    Canvas canvas_;
    TempFolder folder_{"save_test"};
};

}  // namespace

// ---- the format follows the name ----

struct FormatCase {
    const char* name;
    const char* magic;  // first bytes of the file
    int tolerance;
    int margin;
};

TEST_F(SaveTest, TheExtensionChoosesTheFormatAndEveryFileDecodesToTheCanvas) {
    const FormatCase cases[] = {
        {"画板.PNG", "\x89PNG", 0, 0},  // capitals still mean PNG
        {"截图.jpg", "\xFF\xD8\xFF", 24, 8},  // away from the 8x8 blocks' edges
        {"照片.jpeg", "BM", 0, 0},  // only ".jpg" means JPEG
        {"没有扩展名", "BM", 0, 0},
        {"淺.bmp", "BM", 0, 0},  // second byte of 淺 is a backslash
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = folder_.File(c.name);
        ASSERT_EQ(SavePictureToFile(path, canvas_.ToBmpBytes(), nullptr), SaveOutcome::Saved);
        const Bytes file = ReadFileBytes(path);
        ASSERT_GE(file.size(), std::strlen(c.magic));
        EXPECT_EQ(std::memcmp(file.data(), c.magic, std::strlen(c.magic)), 0);
        if (std::strcmp(c.magic, "BM") == 0) {
            // 32 bits per pixel, no row padding, rows stored bottom-up.
            ASSERT_EQ(file.size(), 54u + 4u * kW * kH);
            BITMAPINFOHEADER header{};
            std::memcpy(&header, file.data() + 14, sizeof(header));
            EXPECT_EQ(header.biBitCount, 32);
            EXPECT_EQ(header.biWidth, kW);
            EXPECT_EQ(header.biHeight, kH);  // positive: bottom-up
            const std::uint8_t* lastRow = file.data() + 54 + 4 * kW * (kH - 1);
            EXPECT_EQ(RGB(lastRow[2], lastRow[1], lastRow[0]), RGB(0, 255, 0));
        }
        ExpectDecodesTo(path, canvas_, c.tolerance, c.margin);
    }
    EXPECT_TRUE(g_told.empty());
    EXPECT_EQ(FolderEntries(folder_.Path()).size(), std::size(cases));  // no temporary files
}

TEST_F(SaveTest, SavingOverAnExistingPictureReplacesIt) {
    const std::string path = folder_.File("旧图.png");
    ASSERT_TRUE(WriteFileBytes(path, Bytes(100000, 0xAB)));  // longer than the new file
    ASSERT_EQ(SavePictureToFile(path, canvas_.ToBmpBytes(), nullptr), SaveOutcome::Saved);
    ExpectDecodesTo(path, canvas_, 0, 0);
    EXPECT_EQ(FolderEntries(folder_.Path()), std::vector<std::string>{"旧图.png"});
}

// ---- failures keep the old file ----

struct FailureCase {
    const char* what;
    const char* name;
    bool readOnly;
    bool garbage;  // bytes that are no picture
    bool empty;    // nothing to write
};

TEST_F(SaveTest, AFailedSaveLeavesTheOldFileIntactTellsOnceAndLeavesNoTemporaryFile) {
    const FailureCase cases[] = {
        {"encode fails", "图.png", false, true, false},
        {"nothing to write", "图.bmp", false, false, true},
        {"read-only target", "只读.png", true, false, false},
        {"read-only BMP target", "只读.bmp", true, false, false},
    };
    const Bytes old = {'o', 'l', 'd', ' ', 'p', 'i', 'c', 't', 'u', 'r', 'e'};
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.what);
        g_told.clear();
        TempFolder folder("save_fail");
        const std::string path = folder.File(c.name);
        ASSERT_TRUE(WriteFileBytes(path, old));
        if (c.readOnly) {
            ASSERT_TRUE(SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY));
        }
        Bytes bmp = canvas_.ToBmpBytes();
        if (c.garbage) bmp.assign(5000, 0x5A);
        if (c.empty) bmp.clear();

        EXPECT_EQ(SavePictureToFile(path, bmp, nullptr), SaveOutcome::Failed);
        EXPECT_EQ(ReadFileBytes(path), old);
        EXPECT_EQ(FolderEntries(folder.Path()), std::vector<std::string>{c.name});
        ASSERT_EQ(g_told.size(), 1u);
        EXPECT_NE(g_told[0].find(path), std::string::npos) << g_told[0];
    }
}

TEST_F(SaveTest, AFolderThatDoesNotExistFailsWithoutCreatingAnything) {
    const std::string path = folder_.File("不存在\\图.bmp");
    EXPECT_EQ(SavePictureToFile(path, canvas_.ToBmpBytes(), nullptr), SaveOutcome::Failed);
    EXPECT_TRUE(FolderEntries(folder_.Path()).empty());
    EXPECT_EQ(g_told.size(), 1u);
}

TEST_F(SaveTest, ACancelledDialogReadsNothingWritesNothingAndSaysNothing) {
    bool read = false;
    g_answer.clear();
    EXPECT_EQ(SavePicture(nullptr,
                          [&read] {
                              read = true;
                              return Bytes{};
                          }),
              SaveOutcome::Cancelled);
    EXPECT_FALSE(read);
    EXPECT_TRUE(g_told.empty());
}

TEST_F(SaveTest, SavePictureWritesTheCanvasUnderTheChosenName) {
    g_answer = folder_.File("选择的名字.png");
    EXPECT_EQ(SavePicture(canvas_, nullptr), SaveOutcome::Saved);
    ExpectDecodesTo(g_answer, canvas_, 0, 0);
    Canvas never;  // not created: nothing to save, nothing asked
    g_answer = folder_.File("空.png");
    EXPECT_EQ(SavePicture(never, nullptr), SaveOutcome::Cancelled);
    EXPECT_EQ(GetFileAttributesA(g_answer.c_str()), INVALID_FILE_ATTRIBUTES);
}

// ---- paths and the encoder ----

struct SplitCase {
    const char* path;
    const char* directory;
    const char* fileName;
    const char* extension;
    const char* stem;
};

TEST(SaveSplitPath, SplitsAtBackslashesNotAtTheSecondByteOfACharacter) {
    const SplitCase cases[] = {
        {"C:\\图片\\画板.PNG", "C:\\图片", "画板.PNG", ".PNG", "画板"},
        {"C:\\淺\\淺.png", "C:\\淺", "淺.png", ".png", "淺"},
        {"C:\\版本.2\\无扩展名", "C:\\版本.2", "无扩展名", "", "无扩展名"},
        {"C:\\a.tar.jpg", "C:\\", "a.tar.jpg", ".jpg", "a.tar"},
    };
    for (const SplitCase& c : cases) {
        SCOPED_TRACE(c.path);
        const PathParts parts = SplitPath(c.path);
        EXPECT_EQ(parts.directory, c.directory);
        EXPECT_EQ(parts.fileName, c.fileName);
        EXPECT_EQ(parts.extension, c.extension);
        EXPECT_EQ(parts.stem, c.stem);
    }
}

TEST(SaveSplitPath, LowerCasingLeavesTheSecondByteOfACharacterAlone) {
    // 丂 is 0x81 0x40 and 乀 0x81 0x5A: their second bytes are '@' and 'Z'.
    EXPECT_EQ(LowerAscii("乀.PNG"), "乀.png");
    EXPECT_EQ(EncoderForPath("D:\\乀\\X.JpG"), kEncodeJpeg);
    EXPECT_EQ(EncoderForPath("D:\\x.png\\y"), kEncodeBmp);
}

TEST(SaveEncode, OtherBmpLayoutsAndUnknownTypesStillEncode) {
    // A 24-bit top-down BMP (not what a canvas makes) goes through the decoder.
    constexpr int w = 3, h = 2;
    Bytes bmp(54 + 12 * h, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    const std::uint32_t fileSize = static_cast<std::uint32_t>(bmp.size());
    std::memcpy(&bmp[2], &fileSize, 4);
    bmp[10] = 54;
    BITMAPINFOHEADER header{sizeof(BITMAPINFOHEADER), w, -h, 1, 24, BI_RGB, 12 * h, 0, 0, 0, 0};
    std::memcpy(&bmp[14], &header, sizeof(header));
    bmp[54 + 2] = 255;  // top-left red (B, G, R)

    const auto png = EncodePicture(bmp, kEncodePng);
    ASSERT_TRUE(png.has_value());
    Canvas decoded;
    ASSERT_TRUE(decoded.Create(w, h, RGB(1, 2, 3)));
    GpImage* image = decoded.LoadPicture(*png);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(decoded.DrawPicture(image, 0, 0), 0);
    EXPECT_EQ(decoded.GetPixel(0, 0), RGB(255, 0, 0));
    EXPECT_EQ(decoded.GetPixel(0, 1), RGB(0, 0, 0));

    const auto fallback = EncodePicture(bmp, 42);  // outside 1..5: BMP
    ASSERT_TRUE(fallback.has_value());
    EXPECT_EQ((*fallback)[0], 'B');
    EXPECT_FALSE(EncodePicture(Bytes(64, 0x11), kEncodePng).has_value());
    EXPECT_FALSE(EncodePicture(Bytes{}, kEncodeJpeg).has_value());
}

// ---- the real dialog ----

namespace {

HWND FindSaveDialog(DWORD thread) {
    struct Search {
        HWND found = nullptr;
    } search;
    EnumThreadWindows(
        thread,
        [](HWND window, LPARAM data) -> BOOL {
            char title[64] = {};
            GetWindowTextA(window, title, sizeof(title));
            if (IsWindowVisible(window) && std::strcmp(title, kSaveDialogTitle) == 0) {
                reinterpret_cast<Search*>(data)->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// The file-name box of the dialog: the edit control, wherever it sits.
HWND FindNameEdit(HWND dialog) {
    HWND edit = nullptr;
    EnumChildWindows(
        dialog,
        [](HWND child, LPARAM data) -> BOOL {
            char cls[32] = {};
            GetClassNameA(child, cls, sizeof(cls));
            if (_stricmp(cls, "Edit") == 0 && IsWindowVisible(child)) {
                *reinterpret_cast<HWND*>(data) = child;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&edit));
    return edit;
}

}  // namespace

// A name typed without an extension gets the preselected filter's one (PNG),
// so what the user sees in the filter box is what is written.
TEST(SaveDialog, OpensWithItsTitleAndAddsTheExtensionOfTheChosenFilter) {
    TempFolder folder("save_dialog");
    const std::string typed = folder.File("对话框");
    const DWORD self = GetCurrentThreadId();
    std::atomic<bool> filled{false};
    // A helper plays the user: it waits for the dialog, types a name without
    // an extension and presses OK; whatever goes wrong, it cancels, so the
    // test never waits on an open dialog.
    std::thread user([&] {
        HWND dialog = nullptr;
        for (int i = 0; i < 200 && dialog == nullptr; ++i) {
            Sleep(50);
            dialog = FindSaveDialog(self);
        }
        if (dialog == nullptr) return;  // it never opened: the call has returned
        HWND edit = FindNameEdit(dialog);
        if (edit != nullptr) {
            SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
            filled = true;
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
        }
        for (int i = 0; i < 100 && IsWindow(dialog); ++i) Sleep(50);
        if (IsWindow(dialog)) PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, 0), 0);
    });
    const std::string chosen = AskSaveFileName(nullptr, kSaveDialogTitle, folder.Path(),
                                               kPictureSaveFilter, OFN_OVERWRITEPROMPT, "bmp");
    user.join();
    EXPECT_TRUE(filled.load()) << "the dialog did not open";
    EXPECT_EQ(chosen, typed + ".png");
    EXPECT_EQ(DialogFilter("A|*.a|B|*.b"), std::string("A\0*.a\0B\0*.b\0\0", 13));
}
