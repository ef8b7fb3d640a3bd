// Cost of saving a 3840x2160 board as PNG, beside the bare GDI+ encode of the
// same pixels.
//
// The board is a canvas with screen-like content (gradients, flat panels,
// lines and text). Timed, each as the median of several runs:
//  - save: what the save command does once a name is chosen: the canvas's BMP
//    bytes, the PNG encode, the atomic write into a file;
//  - bare: the pixels (read out beforehand) wrapped in a GDI+ bitmap and
//    encoded as PNG into a memory stream, nothing else;
//  - bare+file: the same, saved by GDI+ straight into a file.
// The goal keeps save within 1.3 times bare.
//
// Run (from the repository, after tools/build.sh):
//   . tools/winenv.sh; winenv_start build/wine-session
//   wine build/bench/drawboard_save_bench.exe > save.txt; winenv_stop
// (write to a file: the persistent wineserver keeps a pipe open.)

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "capture/save.h"
#include "graphics/canvas.h"
#include "graphics/gdi_owners.h"
#include "graphics/gdiplus_api.h"

namespace {

constexpr int kWidth = 3840;
constexpr int kHeight = 2160;
constexpr int kRuns = 5;   // runs of each part
constexpr int kPairs = 9;  // alternating bare/save runs

double NowMs() {
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER f{};
        QueryPerformanceFrequency(&f);
        return f;
    }();
    LARGE_INTEGER t{};
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

template <typename F>
double TimeMedian(F&& run) {
    std::vector<double> times;
    for (int i = 0; i < kRuns; ++i) {
        const double start = NowMs();
        if (!run()) return -1.0;
        times.push_back(NowMs() - start);
    }
    return Median(times);
}

void PaintScreenLike(Canvas& canvas) {
    const COLORREF sky[] = {RGB(30, 60, 120), RGB(200, 220, 250)};
    canvas.GradientFill(0, 0, kWidth, kHeight, 1, sky);
    canvas.BrushColor(RGB(245, 245, 245));
    for (int i = 0; i < 6; ++i) {
        const int x = 120 + i * 600;
        canvas.FillRect(x, 200, x + 520, 1900);
    }
    canvas.PenColor(RGB(40, 40, 40));
    canvas.PenWidth(2);
    for (int y = 260; y < 1880; y += 36) {
        for (int i = 0; i < 6; ++i) {
            const int x = 150 + i * 600;
            canvas.SetTextPos(x, y);
            canvas.WriteText("保存图片 benchmark 0123456789");
        }
    }
    for (int i = 0; i < 200; ++i) canvas.Line(i * 19, 0, kWidth - i * 7, kHeight);
    canvas.BrushColor(RGB(220, 30, 30));
    canvas.BrushStyle(kBrushHollow);
    canvas.PenWidth(6);
    canvas.Rectangle(1000, 800, 2600, 1500);
}

// The canvas's pixels, read out once, top row first.
std::vector<std::uint8_t> TopDownPixels(Canvas& canvas) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = kWidth;
    info.bmiHeader.biHeight = -kHeight;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint8_t> pixels(static_cast<std::size_t>(kWidth) * kHeight * 4);
    HBITMAP bitmap = static_cast<HBITMAP>(GetCurrentObject(canvas.DeviceContext(), OBJ_BITMAP));
    if (GetDIBits(canvas.DeviceContext(), bitmap, 0, kHeight, pixels.data(), &info,
                  DIB_RGB_COLORS) != kHeight) {
        pixels.clear();
    }
    return pixels;
}

bool PngClsid(CLSID& clsid) {
    return SUCCEEDED(CLSIDFromString(L"{557CF406-1A04-11D3-9A73-0000F81EF32E}", &clsid));
}

// The bare encode: the pixels as a GDI+ bitmap, PNG into a memory stream (or
// into a file when `file` is given).
bool BareEncode(std::vector<std::uint8_t>& pixels, const wchar_t* file, ULONGLONG& size) {
    CLSID png{};
    if (!PngClsid(png)) return false;
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(kWidth, kHeight, kWidth * 4,
                                                       PixelFormat32bppRGB, pixels.data(),
                                                       &bitmap) != Gdiplus::Ok) {
        return false;
    }
    bool ok = false;
    if (file != nullptr) {
        ok = Gdiplus::DllExports::GdipSaveImageToFile(bitmap, file, &png, nullptr) == Gdiplus::Ok;
        size = 0;
    } else {
        IStream* stream = nullptr;
        if (SUCCEEDED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) {
            ok = Gdiplus::DllExports::GdipSaveImageToStream(bitmap, stream, &png, nullptr) ==
                 Gdiplus::Ok;
            STATSTG stat{};
            if (ok && SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) size = stat.cbSize.QuadPart;
            stream->Release();
        }
    }
    Gdiplus::DllExports::GdipDisposeImage(bitmap);
    return ok;
}

ULONGLONG FileSizeOf(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

int main() {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    GdiplusSession gdiplus;
    Canvas board;
    if (!board.Create(kWidth, kHeight, RGB(255, 255, 255))) {
        std::printf("the %dx%d canvas could not be made\n", kWidth, kHeight);
        return 1;
    }
    PaintScreenLike(board);
    std::vector<std::uint8_t> pixels = TopDownPixels(board);
    if (pixels.empty()) {
        std::printf("the pixels could not be read\n");
        return 1;
    }

    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    const std::string savePath = std::string(temp) + "drawboard_save_bench.png";
    const std::wstring barePath = std::wstring(L"drawboard_save_bench_bare.png");
    wchar_t wideTemp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, wideTemp);
    const std::wstring bareFile = std::wstring(wideTemp) + barePath;

    // Someone must answer if a save fails: here, the console.
    SavePictureUi.tellFailure = [](HWND, const std::string& message) {
        std::printf("save failed: %s\n", message.c_str());
    };

    ULONGLONG bareSize = 0;
    BareEncode(pixels, nullptr, bareSize);  // warm-up: encoder loaded, memory touched
    // Bare encode and save take turns, so both see the same machine load.
    std::vector<double> bareTimes, saveTimes, ratios;
    for (int i = 0; i < kPairs; ++i) {
        double start = NowMs();
        if (!BareEncode(pixels, nullptr, bareSize)) return 1;
        bareTimes.push_back(NowMs() - start);
        start = NowMs();
        if (SavePictureToFile(savePath, board.ToBmpBytes(), nullptr) != SaveOutcome::Saved) return 1;
        saveTimes.push_back(NowMs() - start);
        ratios.push_back(saveTimes.back() / bareTimes.back());
    }
    const double bare = Median(bareTimes);
    const double save = Median(saveTimes);
    ULONGLONG unused = 0;
    const double bareFileMs = TimeMedian([&] { return BareEncode(pixels, bareFile.c_str(), unused); });
    const ULONGLONG savedSize = FileSizeOf(savePath);
    // Its parts, one at a time.
    std::vector<std::uint8_t> bmp;
    const double read = TimeMedian([&] {
        bmp = board.ToBmpBytes();
        return !bmp.empty();
    });
    std::vector<std::uint8_t> png;
    const double encode = TimeMedian([&] {
        auto encoded = EncodePicture(bmp, kEncodePng);
        if (encoded) png = std::move(*encoded);
        return encoded.has_value();
    });
    const double write = TimeMedian([&] { return WriteFileAtomically(savePath, png).empty(); });
    DeleteFileA(savePath.c_str());
    DeleteFileW(bareFile.c_str());

    std::printf("PNG of a %dx%d board, medians of %d alternating runs (parts: %d runs), ms\n",
                kWidth, kHeight, kPairs, kRuns);
    std::printf("  bare encode (memory)   %8.1f   %llu bytes\n", bare, bareSize);
    std::printf("  bare encode (file)     %8.1f\n", bareFileMs);
    std::printf("  save (bytes+encode+write) %5.1f   %llu bytes\n", save, savedSize);
    std::printf("    canvas to BMP bytes  %8.1f\n", read);
    std::printf("    PNG encode           %8.1f\n", encode);
    std::printf("    atomic file write    %8.1f\n", write);
    std::printf("  save / bare, median of the pairs %5.2f   (goal <= 1.30)\n", Median(ratios));
    return 0;
}
