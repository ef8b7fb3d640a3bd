// Decoding pictures: GdipImage, the header size check that keeps oversized
// pictures away from the decoder, and the Canvas picture operations.
//
// Test pictures are made here: PNG, JPEG, BMP and GIF bytes are encoded from
// small GDI+ bitmaps, and oversized headers are crafted byte by byte (a real
// oversized picture would take the decoder, and the test run, down).

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "graphics/canvas.h"
#include "graphics/gdip_image.h"
#include "support/malformed_pictures.h"

namespace {

using Bytes = std::vector<std::uint8_t>;
namespace gp = Gdiplus::DllExports;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kGreen = RGB(0, 255, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

// The 7 x 5 test picture: red left of x = 3, green right of it, one blue
// pixel in the bottom-right corner. Not square, so a swapped width and
// height shows.
COLORREF TestPictureColor(int x, int y) {
    if (x == 6 && y == 4) return kBlue;
    return x < 3 ? kRed : kGreen;
}

bool EncoderFor(const wchar_t* mime, CLSID& clsid) {
    UINT count = 0, size = 0;
    if (gp::GdipGetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
    std::vector<std::uint8_t> buffer(size);
    auto* codecs = reinterpret_cast<Gdiplus::ImageCodecInfo*>(buffer.data());
    if (gp::GdipGetImageEncoders(count, size, codecs) != Gdiplus::Ok) return false;
    for (UINT i = 0; i < count; ++i) {
        if (wcscmp(codecs[i].MimeType, mime) == 0) {
            clsid = codecs[i].Clsid;
            return true;
        }
    }
    return false;
}

Bytes SaveToBytes(Gdiplus::GpImage* image, const wchar_t* mime) {
    CLSID clsid;
    if (!EncoderFor(mime, clsid)) return {};
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &stream))) return {};
    Bytes out;
    if (gp::GdipSaveImageToStream(image, stream, &clsid, nullptr) == Gdiplus::Ok) {
        HGLOBAL block = nullptr;
        STATSTG stat{};
        if (SUCCEEDED(GetHGlobalFromStream(stream, &block)) &&
            SUCCEEDED(stream->Stat(&stat, STATFLAG_NONAME))) {
            const auto* p = static_cast<const std::uint8_t*>(GlobalLock(block));
            if (p != nullptr) {
                out.assign(p, p + stat.cbSize.QuadPart);
                GlobalUnlock(block);
            }
        }
    }
    stream->Release();
    return out;
}

// PNG, JPEG or BMP bytes of a width x height picture, encoded by GDI+.
Bytes EncodePicture(const wchar_t* mime, int width, int height,
                    const std::function<COLORREF(int, int)>& color) {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = color(x, y);
            pixels[static_cast<std::size_t>(y) * width + x] =
                0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gp::GdipCreateBitmapFromScan0(width, height, width * 4, PixelFormat32bppRGB,
                                      reinterpret_cast<BYTE*>(pixels.data()),
                                      &bitmap) != Gdiplus::Ok) {
        return {};
    }
    Bytes out = SaveToBytes(bitmap, mime);
    gp::GdipDisposeImage(bitmap);
    return out;
}

// GIF bytes: the encoder only takes 8-bit indexed bitmaps, so the picture is
// given as palette indices into {red, green, blue}.
Bytes EncodeGif(int width, int height, const std::function<COLORREF(int, int)>& color) {
    const int stride = (width + 3) & ~3;
    std::vector<std::uint8_t> indices(static_cast<std::size_t>(stride) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const COLORREF c = color(x, y);
            indices[static_cast<std::size_t>(y) * stride + x] = c == kRed ? 0 : c == kGreen ? 1 : 2;
        }
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (gp::GdipCreateBitmapFromScan0(width, height, stride, PixelFormat8bppIndexed,
                                      indices.data(), &bitmap) != Gdiplus::Ok) {
        return {};
    }
    std::vector<std::uint8_t> paletteBuffer(sizeof(Gdiplus::ColorPalette) + 3 * sizeof(Gdiplus::ARGB));
    auto* palette = reinterpret_cast<Gdiplus::ColorPalette*>(paletteBuffer.data());
    palette->Flags = 0;
    palette->Count = 3;
    palette->Entries[0] = 0xFFFF0000;
    palette->Entries[1] = 0xFF00FF00;
    palette->Entries[2] = 0xFF0000FF;
    gp::GdipSetImagePalette(bitmap, palette);
    Bytes out = SaveToBytes(bitmap, L"image/gif");
    gp::GdipDisposeImage(bitmap);
    return out;
}

// ---- crafted headers ----

void PutBe32(Bytes& b, std::uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) b.push_back(static_cast<std::uint8_t>(v >> s));
}
void PutBe16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}
void PutLe16(Bytes& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void PutLe32(Bytes& b, std::uint32_t v) {
    PutLe16(b, v & 0xFFFF);
    PutLe16(b, v >> 16);
}

std::uint32_t Crc32(const std::uint8_t* p, std::size_t n) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < n; ++i) {
        crc ^= p[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void PutPngChunk(Bytes& b, const char* type, const Bytes& data) {
    PutBe32(b, static_cast<std::uint32_t>(data.size()));
    const std::size_t start = b.size();
    b.insert(b.end(), type, type + 4);
    b.insert(b.end(), data.begin(), data.end());
    PutBe32(b, Crc32(b.data() + start, b.size() - start));
}

// A well-formed PNG start: signature, IHDR with the given size (8-bit RGBA),
// one small IDAT and IEND. Everything a decoder reads before it allocates.
Bytes PngHeader(std::uint32_t width, std::uint32_t height) {
    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    PutBe32(ihdr, width);
    PutBe32(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 6, 0, 0, 0});
    PutPngChunk(b, "IHDR", ihdr);
    PutPngChunk(b, "IDAT", {0x78, 0x9C, 0x63, 0x00, 0x00, 0x00, 0x01, 0x00, 0x01});
    PutPngChunk(b, "IEND", {});
    return b;
}

// Writes a deflate stream LSB first; Huffman codes go in most significant bit first.
class BitWriter {
public:
    void Bits(std::uint32_t value, int count) {  // plain fields, LSB first
        for (int i = 0; i < count; ++i) Bit((value >> i) & 1u);
    }
    void Code(std::uint32_t code, int length) {  // Huffman codes, MSB first
        for (int i = length - 1; i >= 0; --i) Bit((code >> i) & 1u);
    }
    Bytes Finish() {
        if (used_ > 0) out_.push_back(current_);
        return std::move(out_);
    }

private:
    void Bit(std::uint32_t b) {
        current_ |= static_cast<std::uint8_t>(b << used_);
        if (++used_ == 8) {
            out_.push_back(current_);
            current_ = 0;
            used_ = 0;
        }
    }
    Bytes out_;
    std::uint8_t current_ = 0;
    int used_ = 0;
};

// A complete, valid, all-black 8-bit RGB PNG of any size, small on disk:
// the zero bytes are one literal and then back-references of 258 bytes.
Bytes BlackPng(std::uint32_t width, std::uint32_t height) {
    const std::uint64_t raw = static_cast<std::uint64_t>(height) * (width * 3ull + 1);
    BitWriter w;
    w.Bits(1, 1);  // final block
    w.Bits(1, 2);  // fixed Huffman codes
    w.Code(0x30, 8);  // literal 0
    std::uint64_t left = raw - 1;
    for (; left >= 258; left -= 258) {
        w.Code(0xC5, 8);  // length 258 (code 285)
        w.Code(0, 5);     // distance 1
    }
    for (; left > 0; --left) w.Code(0x30, 8);
    w.Code(0, 7);  // end of block
    Bytes idat = {0x78, 0x01};
    const Bytes deflated = w.Finish();
    idat.insert(idat.end(), deflated.begin(), deflated.end());
    const std::uint32_t adlerA = 1;
    const std::uint32_t adlerB = static_cast<std::uint32_t>(raw % 65521);
    PutBe32(idat, (adlerB << 16) | adlerA);

    Bytes b = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes ihdr;
    PutBe32(ihdr, width);
    PutBe32(ihdr, height);
    ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});
    PutPngChunk(b, "IHDR", ihdr);
    PutPngChunk(b, "IDAT", idat);
    PutPngChunk(b, "IEND", {});
    return b;
}

// A JPEG start: SOI, a JFIF APP0, a large comment, fill bytes, then a
// baseline (or other) start-of-frame with the given size.
Bytes JpegHeader(std::uint32_t width, std::uint32_t height, std::uint8_t sof = 0xC0,
                 std::size_t commentBytes = 300) {
    Bytes b = {0xFF, 0xD8};
    b.insert(b.end(), {0xFF, 0xE0, 0x00, 0x10, 'J', 'F', 'I', 'F', 0x00, 0x01, 0x01, 0x00,
                       0x00, 0x01, 0x00, 0x01, 0x00, 0x00});
    b.insert(b.end(), {0xFF, 0xFE});
    PutBe16(b, static_cast<std::uint32_t>(commentBytes + 2));
    b.insert(b.end(), commentBytes, 'x');
    b.insert(b.end(), {0xFF, 0xFF, 0xFF});  // fill bytes before the next marker
    b.insert(b.end(), {0xFF, sof});
    PutBe16(b, 17);
    b.push_back(8);
    PutBe16(b, height);
    PutBe16(b, width);
    b.insert(b.end(), {3, 1, 0x22, 0, 2, 0x11, 1, 3, 0x11, 1});
    b.insert(b.end(), {0xFF, 0xD9});
    return b;
}

// GIF89a with a logical screen and one frame of the given size.
Bytes GifHeader(std::uint32_t screenW, std::uint32_t screenH, std::uint32_t frameW,
                std::uint32_t frameH) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    PutLe16(b, screenW);
    PutLe16(b, screenH);
    b.insert(b.end(), {0x80, 0, 0});          // global table of 2 colours
    b.insert(b.end(), {0, 0, 0, 255, 255, 255});
    b.insert(b.end(), {0x21, 0xF9, 4, 0, 0, 0, 0, 0});  // graphic control extension
    b.push_back(0x2C);
    PutLe16(b, 0);
    PutLe16(b, 0);
    PutLe16(b, frameW);
    PutLe16(b, frameH);
    b.push_back(0);
    b.insert(b.end(), {2, 2, 0x4C, 0x01, 0});  // LZW data
    b.push_back(0x3B);
    return b;
}

// A 24-bit BMP with the given header size fields; pixel rows follow when
// `rows` is given (bottom-up or top-down as the height's sign says).
Bytes BmpHeader(std::int32_t width, std::int32_t height, const Bytes& rows = {}) {
    Bytes b = {'B', 'M'};
    PutLe32(b, static_cast<std::uint32_t>(54 + rows.size()));
    PutLe32(b, 0);
    PutLe32(b, 54);
    PutLe32(b, 40);
    PutLe32(b, static_cast<std::uint32_t>(width));
    PutLe32(b, static_cast<std::uint32_t>(height));
    PutLe16(b, 1);
    PutLe16(b, 24);
    PutLe32(b, 0);
    PutLe32(b, static_cast<std::uint32_t>(rows.size()));
    PutLe32(b, 2835);
    PutLe32(b, 2835);
    PutLe32(b, 0);
    PutLe32(b, 0);
    b.insert(b.end(), rows.begin(), rows.end());
    return b;
}

std::string TempDir() {
    char buf[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, buf);
    return buf;
}

bool WriteFileBytes(const std::string& path, const Bytes& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == bytes.size();
}

// A file in the temp folder, deleted at the end of the test.
class TempFile {
public:
    TempFile(const std::string& name, const Bytes& bytes) : path_(TempDir() + name) {
        ok_ = WriteFileBytes(path_, bytes);
    }
    ~TempFile() { DeleteFileA(path_.c_str()); }
    const std::string& Path() const { return path_; }
    bool Ok() const { return ok_; }

private:
    std::string path_;
    bool ok_ = false;
};

bool IsEmpty(const GdipImage& image) {
    return image.Handle() == nullptr && !image.HoldsMemoryBlock() && image.Width() == 0 &&
           image.Height() == 0;
}

COLORREF Pixel(const Canvas& c, int x, int y) { return ::GetPixel(c.DeviceContext(), x, y); }

int Distance(COLORREF a, COLORREF b) {
    return std::max({std::abs(GetRValue(a) - GetRValue(b)), std::abs(GetGValue(a) - GetGValue(b)),
                     std::abs(GetBValue(a) - GetBValue(b))});
}

}  // namespace

// ---------------------------------------------------------------------------
// GdipImage
// ---------------------------------------------------------------------------

TEST(GdipImage, EmptyObjectHasNoSize) {
    GdipImage image;
    EXPECT_TRUE(IsEmpty(image));
    image.RotateFlip(1);  // nothing to turn: harmless
    image.Dispose();
    EXPECT_TRUE(IsEmpty(image));
}

TEST(GdipImage, DecodesPngJpegGifAndBmpWithTheirSizes) {
    struct Case {
        const char* name;
        Bytes bytes;
    };
    const Case cases[] = {
        {"png", EncodePicture(L"image/png", 7, 5, TestPictureColor)},
        {"jpeg", EncodePicture(L"image/jpeg", 7, 5, TestPictureColor)},
        {"bmp", EncodePicture(L"image/bmp", 7, 5, TestPictureColor)},
        {"gif", EncodeGif(7, 5, TestPictureColor)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_FALSE(c.bytes.empty());
        int w = 0, h = 0;
        ASSERT_TRUE(ReadPictureHeaderSize(c.bytes, w, h));
        EXPECT_EQ(w, 7);
        EXPECT_EQ(h, 5);
        GdipImage image;
        ASSERT_TRUE(image.LoadFromData(c.bytes));
        EXPECT_NE(image.Handle(), nullptr);
        EXPECT_TRUE(image.HoldsMemoryBlock());
        EXPECT_EQ(image.Width(), 7);
        EXPECT_EQ(image.Height(), 5);
    }
}

TEST(GdipImage, DecodedPixelsLandOnTheCanvasWhereTheyBelong) {
    // PNG, BMP and GIF are lossless: every pixel must come back exactly.
    const Bytes pictures[] = {EncodePicture(L"image/png", 7, 5, TestPictureColor),
                              EncodePicture(L"image/bmp", 7, 5, TestPictureColor),
                              EncodeGif(7, 5, TestPictureColor)};
    for (const Bytes& bytes : pictures) {
        Canvas canvas;
        ASSERT_TRUE(canvas.Create(12, 9, kWhite));
        GpImage* handle = canvas.LoadPicture(bytes);
        ASSERT_NE(handle, nullptr);
        ASSERT_EQ(canvas.DrawPicture(handle, 2, 3), Gdiplus::Ok);
        for (int y = 0; y < 9; ++y) {
            for (int x = 0; x < 12; ++x) {
                const bool inside = x >= 2 && x < 9 && y >= 3 && y < 8;
                const COLORREF want = inside ? TestPictureColor(x - 2, y - 3) : kWhite;
                ASSERT_EQ(Pixel(canvas, x, y), want) << "at " << x << "," << y;
            }
        }
    }
}

TEST(GdipImage, JpegDecodesCloseToTheOriginal) {
    // Flat halves survive JPEG's losses closely enough to tell them apart.
    const Bytes jpeg = EncodePicture(L"image/jpeg", 32, 16,
                                     [](int x, int) { return x < 16 ? kRed : kBlue; });
    Canvas canvas;
    ASSERT_TRUE(canvas.Create(32, 16, kWhite));
    ASSERT_NE(canvas.LoadPicture(jpeg), nullptr);
    ASSERT_EQ(canvas.DrawPicture(canvas.Picture().Handle(), 0, 0), Gdiplus::Ok);
    EXPECT_LE(Distance(Pixel(canvas, 4, 8), kRed), 40);
    EXPECT_LE(Distance(Pixel(canvas, 27, 8), kBlue), 40);
}

TEST(GdipImage, PathWithChineseCharactersLoads) {
    const Bytes png = EncodePicture(L"image/png", 7, 5, TestPictureColor);
    TempFile file("画板图片_测试.png", png);  // GBK bytes in the path
    ASSERT_TRUE(file.Ok());
    GdipImage image;
    ASSERT_TRUE(image.LoadFromFile(file.Path()));
    EXPECT_EQ(image.Width(), 7);
    EXPECT_EQ(image.Height(), 5);
}

TEST(GdipImage, MissingFileOrFolderFailsAndLeavesObjectEmpty) {
    GdipImage image;
    EXPECT_FALSE(image.LoadFromFile(TempDir() + "没有这个文件.png"));
    EXPECT_TRUE(IsEmpty(image));
    EXPECT_FALSE(image.LoadFromFile(TempDir()));
    EXPECT_TRUE(IsEmpty(image));
    EXPECT_FALSE(image.LoadFromFile(""));
    EXPECT_TRUE(IsEmpty(image));
}

TEST(GdipImage, UndecodableBytesFailAndKeepNoMemoryBlock) {
    const Bytes png = EncodePicture(L"image/png", 7, 5, TestPictureColor);
    ASSERT_GT(png.size(), 40u);
    Bytes corrupt = png;  // right header, scrambled compressed data
    for (std::size_t i = 41; i < corrupt.size() - 12; ++i) corrupt[i] ^= 0x5A;
    const Bytes bmpNoPixels = BmpHeader(4, 4);  // claims pixels it does not have
    const Bytes garbage = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd', 0, 1, 2};
    const Bytes cases[] = {
        {},
        garbage,
        Bytes(png.begin(), png.begin() + 8),              // signature only
        Bytes(png.begin(), png.begin() + png.size() / 2),  // truncated
        corrupt,
        bmpNoPixels,
        Bytes{0xFF, 0xD8},                                // JPEG start, nothing more
    };
    int index = 0;
    for (const Bytes& bytes : cases) {
        SCOPED_TRACE(index++);
        GdipImage image;
        EXPECT_FALSE(image.LoadFromData(bytes));
        EXPECT_TRUE(IsEmpty(image));
    }
}

TEST(GdipImage, SecondLoadDisposesTheFirst) {
    const Bytes png = EncodePicture(L"image/png", 7, 5, TestPictureColor);
    const Bytes bmp = EncodePicture(L"image/bmp", 3, 2, TestPictureColor);
    GdipImage image;
    ASSERT_TRUE(image.LoadFromData(png));
    ASSERT_TRUE(image.LoadFromData(bmp));
    EXPECT_EQ(image.Width(), 3);
    EXPECT_EQ(image.Height(), 2);

    // A file load after a data load replaces its picture too.
    TempFile file("second.png", png);
    ASSERT_TRUE(file.Ok());
    ASSERT_TRUE(image.LoadFromFile(file.Path()));
    EXPECT_EQ(image.Width(), 7);

    // A failed load still drops what was there: the object ends up empty,
    // not showing a stale picture.
    ASSERT_TRUE(image.LoadFromData(png));
    EXPECT_FALSE(image.LoadFromData(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_TRUE(IsEmpty(image));
}

TEST(GdipImage, RepeatedLoadsDoNotGrowMemory) {
    // Each load replaces the last; the memory block and the decoded image
    // must go with it.
    const Bytes png = EncodePicture(L"image/png", 256, 256, TestPictureColor);
    GdipImage image;
    for (int i = 0; i < 20; ++i) ASSERT_TRUE(image.LoadFromData(png));
    PROCESS_MEMORY_COUNTERS before{}, after{};
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before));
    for (int i = 0; i < 200; ++i) ASSERT_TRUE(image.LoadFromData(png));
    ASSERT_TRUE(GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after));
    // 200 leaked 256 x 256 decodes would hold over 50 MB.
    EXPECT_LT(static_cast<long long>(after.PagefileUsage) -
                  static_cast<long long>(before.PagefileUsage),
              20LL * 1024 * 1024);
}

TEST(GdipImage, RotateFlipTurnsThePicture) {
    GdipImage image;
    ASSERT_TRUE(image.LoadFromData(EncodePicture(L"image/png", 7, 5, TestPictureColor)));
    image.RotateFlip(1);  // 90 degrees clockwise
    EXPECT_EQ(image.Width(), 5);
    EXPECT_EQ(image.Height(), 7);
    image.RotateFlip(99);  // not a rotate/flip code: ignored
    EXPECT_EQ(image.Width(), 5);
}

// ---------------------------------------------------------------------------
// Header size check
// ---------------------------------------------------------------------------

TEST(PictureHeader, ReadsTheStatedSizeOfEachFormat) {
    int w = 0, h = 0;
    ASSERT_TRUE(ReadPictureHeaderSize(PngHeader(640, 480), w, h));
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
    ASSERT_TRUE(ReadPictureHeaderSize(JpegHeader(1024, 768), w, h));
    EXPECT_EQ(w, 1024);
    EXPECT_EQ(h, 768);
    ASSERT_TRUE(ReadPictureHeaderSize(JpegHeader(33, 44, 0xC2), w, h));  // progressive
    EXPECT_EQ(w, 33);
    EXPECT_EQ(h, 44);
    ASSERT_TRUE(ReadPictureHeaderSize(GifHeader(300, 200, 300, 200), w, h));
    EXPECT_EQ(w, 300);
    EXPECT_EQ(h, 200);
    ASSERT_TRUE(ReadPictureHeaderSize(BmpHeader(50, 60, Bytes(152 * 60)), w, h));
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 60);
    // A negative BMP height means rows stored top-down; the size is the same.
    ASSERT_TRUE(ReadPictureHeaderSize(BmpHeader(50, -60, Bytes(152 * 60)), w, h));
    EXPECT_EQ(w, 50);
    EXPECT_EQ(h, 60);
}

TEST(PictureHeader, JpegSizeIsFoundPastLongSegments) {
    // A camera picture carries tens of kilobytes of metadata before the frame.
    int w = 0, h = 0;
    ASSERT_TRUE(ReadPictureHeaderSize(JpegHeader(4000, 3000, 0xC0, 60000), w, h));
    EXPECT_EQ(w, 4000);
    EXPECT_EQ(h, 3000);
    // The huffman table marker (C4) looks like a frame marker but is not one.
    Bytes b = {0xFF, 0xD8, 0xFF, 0xC4, 0x00, 0x06, 0x10, 0x20, 0x30, 0x40};
    const Bytes rest = JpegHeader(20, 10);
    b.insert(b.end(), rest.begin() + 2, rest.end());
    ASSERT_TRUE(ReadPictureHeaderSize(b, w, h));
    EXPECT_EQ(w, 20);
    EXPECT_EQ(h, 10);
}

TEST(PictureHeader, OtherBytesAndCutHeadersStateNoSize) {
    int w = -1, h = -1;
    EXPECT_FALSE(ReadPictureHeaderSize(Bytes{}, w, h));
    EXPECT_FALSE(ReadPictureHeaderSize(Bytes{'h', 'e', 'l', 'l', 'o'}, w, h));
    const Bytes png = PngHeader(640, 480);
    EXPECT_FALSE(ReadPictureHeaderSize(Bytes(png.begin(), png.begin() + 20), w, h));
    const Bytes jpeg = JpegHeader(640, 480);
    EXPECT_FALSE(ReadPictureHeaderSize(Bytes(jpeg.begin(), jpeg.begin() + 100), w, h));
    EXPECT_EQ(w, -1);
    EXPECT_EQ(h, -1);
}

// The decoder passes over a segment it does not read by its stated length,
// whether or not the data goes that far; such a segment after the frame
// (between scans, or before the end marker) must be refused, not decoded.
TEST(PictureHeader, JpegSegmentsRunningPastTheEndAreRefusedWhereverTheyStand) {
    const Bytes good = EncodePicture(L"image/jpeg", 16, 8, TestPictureColor);
    ASSERT_GE(good.size(), 4u);
    ASSERT_EQ(good[good.size() - 2], 0xFF);
    ASSERT_EQ(good[good.size() - 1], 0xD9);
    // A segment put just before the end marker, stating `length`, holding 4 bytes.
    auto withSegment = [&good](std::uint8_t marker, std::uint32_t length) {
        Bytes b(good.begin(), good.end() - 2);
        b.insert(b.end(), {0xFF, marker});
        PutBe16(b, length);
        b.insert(b.end(), {1, 2, 3, 4});
        b.insert(b.end(), {0xFF, 0xD9});
        return b;
    };
    struct Case {
        const char* what;
        Bytes bytes;
        bool refused;
    };
    const Case cases[] = {
        {"comment of its true length", withSegment(0xFE, 6), false},
        {"comment running past the end", withSegment(0xFE, 0xFFFF), true},
        {"application segment running past the end", withSegment(0xE5, 0x1000), true},
        {"line count running past the end", withSegment(0xDC, 0xFFFF), true},
        {"cut inside the coded data", Bytes(good.begin(), good.end() - 6), false},
        // Found by the long run of damaged files: a line-count marker with
        // length 0xFFFF among a progressive picture's scans crashed the decoder.
        {"damaged progressive picture", malformed::MalformedPicture(3895).bytes, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(PictureTooLarge(c.bytes), c.refused) << c.what;
        GdipImage image;
        if (c.refused) EXPECT_FALSE(image.LoadFromData(c.bytes)) << c.what;
    }
    GdipImage image;
    EXPECT_TRUE(image.LoadFromData(cases[0].bytes));
}

TEST(PictureHeader, OversizedHeadersAreRefusedAndEightKSquareAccepted) {
    EXPECT_TRUE(PictureTooLarge(PngHeader(30000, 30000)));
    EXPECT_TRUE(PictureTooLarge(PngHeader(0xFFFFFFFFu, 1)));
    EXPECT_TRUE(PictureTooLarge(PngHeader(kMaxPictureSide + 1, 1)));  // one side too long
    EXPECT_TRUE(PictureTooLarge(PngHeader(kMaxPictureSide, kMaxPictureSide)));  // area
    EXPECT_TRUE(PictureTooLarge(JpegHeader(30000, 30000)));
    EXPECT_TRUE(PictureTooLarge(JpegHeader(65535, 65535, 0xC2)));
    EXPECT_TRUE(PictureTooLarge(GifHeader(30000, 30000, 10, 10)));
    EXPECT_TRUE(PictureTooLarge(BmpHeader(30000, 30000)));
    EXPECT_TRUE(PictureTooLarge(BmpHeader(30000, -30000)));
    EXPECT_TRUE(PictureTooLarge(BmpHeader(10, INT32_MIN)));

    EXPECT_FALSE(PictureTooLarge(PngHeader(8192, 8192)));
    EXPECT_FALSE(PictureTooLarge(JpegHeader(8192, 8192)));
    EXPECT_FALSE(PictureTooLarge(GifHeader(8192, 8192, 8192, 8192)));
    // Rows stated but missing are refused; a whole 8192-pixel row is taken.
    EXPECT_TRUE(PictureTooLarge(BmpHeader(8192, -8192)));
    EXPECT_FALSE(PictureTooLarge(BmpHeader(8192, -1, Bytes(8192 * 3))));
    EXPECT_FALSE(PictureTooLarge(PngHeader(kMaxPictureSide, 1000)));  // a long panorama
}

TEST(PictureHeader, EightKSquarePictureStillOpens) {
    // The limit must not cost the user a large but ordinary picture.
    const Bytes small = BlackPng(5, 3);
    GdipImage check;
    ASSERT_TRUE(check.LoadFromData(small));  // the generator makes valid PNGs
    EXPECT_EQ(check.Width(), 5);

    const Bytes png = BlackPng(8192, 8192);
    ASSERT_FALSE(PictureTooLarge(png));
    GdipImage image;
    ASSERT_TRUE(image.LoadFromData(png));
    EXPECT_EQ(image.Width(), 8192);
    EXPECT_EQ(image.Height(), 8192);
}

TEST(PictureHeader, GifFrameLargerThanItsScreenIsRefused) {
    // The frame is decoded at its own size, whatever the logical screen says.
    EXPECT_TRUE(PictureTooLarge(GifHeader(100, 100, 30000, 30000)));
    EXPECT_FALSE(PictureTooLarge(GifHeader(100, 100, 100, 100)));
}

TEST(PictureHeader, DamagedHeadersOfKnownFormatsAreRefused) {
    // Nothing can be promised about a picture whose size cannot be read.
    const Bytes png = PngHeader(100, 100);
    EXPECT_TRUE(PictureTooLarge(Bytes(png.begin(), png.begin() + 18)));
    Bytes scanBeforeFrame = {0xFF, 0xD8, 0xFF, 0xDA, 0x00, 0x08, 1, 1, 0, 0, 0x3F, 0};
    EXPECT_TRUE(PictureTooLarge(scanBeforeFrame));
    EXPECT_TRUE(PictureTooLarge(JpegHeader(100, 0)));  // height deferred to a DNL marker
    EXPECT_TRUE(PictureTooLarge(BmpHeader(-5, 5)));
    // Bytes of no known format are left to the decoder.
    EXPECT_FALSE(PictureTooLarge(Bytes{'R', 'I', 'F', 'F', 8, 0, 0, 0}));
    // A TIFF cut short after its header is refused.
    EXPECT_TRUE(PictureTooLarge(Bytes{'I', 'I', 42, 0, 8, 0, 0, 0}));
}

TEST(PictureHeader, HugePngIsRefusedWithoutDecoding) {
    // Were these bytes decoded, the decoder would try to allocate 3.6 GB and
    // take the test run down with it; the check must stop them first.
    GdipImage image;
    EXPECT_FALSE(image.LoadFromData(PngHeader(30000, 30000)));
    EXPECT_TRUE(IsEmpty(image));
    EXPECT_FALSE(image.LoadFromData(BmpHeader(30000, -30000, Bytes(64, 0))));
    EXPECT_TRUE(IsEmpty(image));
    EXPECT_EQ(Canvas::PictureWidth(PngHeader(30000, 30000)), 0);
    EXPECT_EQ(Canvas::PictureHeight(JpegHeader(30000, 30000)), 0);

    TempFile file("巨大图片.png", PngHeader(30000, 30000));
    ASSERT_TRUE(file.Ok());
    EXPECT_TRUE(PictureFileTooLarge(file.Path()));
    EXPECT_FALSE(image.LoadFromFile(file.Path()));
    EXPECT_TRUE(IsEmpty(image));
    Canvas canvas;
    EXPECT_EQ(canvas.LoadPictureFile(file.Path()), nullptr);
}

TEST(PictureHeader, TopDownBmpDecodesRightWayUp) {
    // 2 x 2, 24-bit, rows top-down: top row red, bottom row blue.
    const Bytes rows = {0, 0, 255, 0, 0, 255, 0, 0,  // top: red, red, padding
                        255, 0, 0, 255, 0, 0, 0, 0};  // bottom: blue, blue, padding
    const Bytes bmp = BmpHeader(2, -2, rows);
    ASSERT_FALSE(PictureTooLarge(bmp));
    Canvas canvas;
    ASSERT_TRUE(canvas.Create(2, 2, kWhite));
    ASSERT_NE(canvas.LoadPicture(bmp), nullptr);
    ASSERT_EQ(canvas.DrawPicture(canvas.Picture().Handle(), 0, 0), Gdiplus::Ok);
    EXPECT_EQ(Pixel(canvas, 0, 0), kRed);
    EXPECT_EQ(Pixel(canvas, 1, 1), kBlue);
}

// ---------------------------------------------------------------------------
// Canvas picture operations
// ---------------------------------------------------------------------------

TEST(PictureOps, PictureWidthAndHeightMeasureBytes) {
    const Bytes png = EncodePicture(L"image/png", 7, 5, TestPictureColor);
    EXPECT_EQ(Canvas::PictureWidth(png), 7);
    EXPECT_EQ(Canvas::PictureHeight(png), 5);
    EXPECT_EQ(Canvas::PictureWidth(Bytes{}), 0);
    EXPECT_EQ(Canvas::PictureHeight(Bytes{9, 9, 9}), 0);
}

TEST(PictureOps, LoadPictureRotatesAndReturnsTheMembersHandle) {
    const Bytes png = EncodePicture(L"image/png", 7, 5, TestPictureColor);
    Canvas canvas;  // the picture member works without a surface
    GpImage* handle = canvas.LoadPicture(png, 1);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(handle, canvas.Picture().Handle());
    EXPECT_EQ(canvas.Picture().Width(), 5);
    EXPECT_EQ(canvas.Picture().Height(), 7);

    EXPECT_EQ(canvas.LoadPicture(Bytes{}), nullptr);
    EXPECT_EQ(canvas.LoadPicture(Bytes{1, 2, 3}), nullptr);
    EXPECT_EQ(canvas.Picture().Handle(), nullptr);

    ASSERT_NE(canvas.LoadPicture(png), nullptr);
    canvas.UnloadPicture();
    EXPECT_TRUE(IsEmpty(canvas.Picture()));
}

TEST(PictureOps, LoadPictureFileNeedsAnExistingFile) {
    Canvas canvas;
    ASSERT_NE(canvas.LoadPicture(EncodePicture(L"image/png", 7, 5, TestPictureColor)), nullptr);
    // A path with no file returns 0 at once and leaves the loaded picture.
    EXPECT_EQ(canvas.LoadPictureFile(TempDir() + "不存在.png"), nullptr);
    EXPECT_EQ(canvas.Picture().Width(), 7);

    TempFile file("旋转.bmp", EncodePicture(L"image/bmp", 7, 5, TestPictureColor));
    ASSERT_TRUE(file.Ok());
    GpImage* handle = canvas.LoadPictureFile(file.Path(), 1);
    ASSERT_NE(handle, nullptr);
    EXPECT_EQ(canvas.Picture().Width(), 5);
    EXPECT_EQ(canvas.Picture().Height(), 7);
    canvas.UnloadPicture();
}

TEST(PictureOps, DrawPictureScalesToTheGivenSize) {
    const Bytes png = EncodePicture(L"image/png", 2, 2, [](int, int) { return kRed; });
    Canvas canvas;
    ASSERT_TRUE(canvas.Create(20, 20, kWhite));
    GpImage* handle = canvas.LoadPicture(png);
    ASSERT_NE(handle, nullptr);
    ASSERT_EQ(canvas.DrawPicture(handle, 5, 5, 10, 8), Gdiplus::Ok);
    EXPECT_EQ(Pixel(canvas, 9, 8), kRed);   // well inside the 10 x 8 box
    EXPECT_EQ(Pixel(canvas, 3, 8), kWhite);
    EXPECT_EQ(Pixel(canvas, 17, 8), kWhite);
    EXPECT_EQ(Pixel(canvas, 9, 15), kWhite);
}

TEST(PictureOps, DrawPicturePartCopiesTheSourceRectangle) {
    Canvas canvas;
    ASSERT_TRUE(canvas.Create(12, 10, kWhite));
    GpImage* handle = canvas.LoadPicture(EncodePicture(L"image/png", 7, 5, TestPictureColor));
    ASSERT_NE(handle, nullptr);
    // The bottom-right 2 x 2 of the picture (green, green / green, blue) to (1, 1).
    ASSERT_EQ(canvas.DrawPicturePart(handle, 1, 1, 2, 2, 5, 3, 2, 2), Gdiplus::Ok);
    EXPECT_EQ(Pixel(canvas, 1, 1), kGreen);
    EXPECT_EQ(Pixel(canvas, 2, 2), kBlue);
    EXPECT_EQ(Pixel(canvas, 0, 0), kWhite);
    EXPECT_EQ(Pixel(canvas, 3, 3), kWhite);
    // Left-out sizes: the whole picture at its own size.
    ASSERT_EQ(canvas.DrawPicturePart(handle, 5, 5, std::nullopt, std::nullopt, 0, 0,
                                     std::nullopt, std::nullopt),
              Gdiplus::Ok);
    EXPECT_EQ(Pixel(canvas, 5, 5), kRed);
    EXPECT_EQ(Pixel(canvas, 11, 9), kBlue);
}

TEST(PictureOps, DrawingOnCanvasWithoutSurfaceFailsHarmlessly) {
    Canvas canvas;
    GpImage* handle = canvas.LoadPicture(EncodePicture(L"image/png", 7, 5, TestPictureColor));
    ASSERT_NE(handle, nullptr);
    EXPECT_NE(canvas.DrawPicture(handle, 0, 0), Gdiplus::Ok);
    EXPECT_NE(canvas.DrawPicturePart(handle, 0, 0, 2, 2, 0, 0, 2, 2), Gdiplus::Ok);
    ASSERT_TRUE(canvas.Create(8, 6, kWhite));
    EXPECT_NE(canvas.DrawPicture(nullptr, 0, 0), Gdiplus::Ok);
    EXPECT_EQ(Pixel(canvas, 0, 0), kWhite);
    // Destroy drops the picture with the surface.
    ASSERT_TRUE(canvas.Destroy());
    EXPECT_TRUE(IsEmpty(canvas.Picture()));
}
