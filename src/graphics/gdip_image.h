#pragma once
// One decoded picture held as a GDI+ image, plus the global-memory copy of the
// file bytes the image streams from.

#include "graphics/gdiplus_api.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

using GpImage = Gdiplus::GpImage;

// Largest picture side we hand to the decoder. The decoder itself crashes on
// pictures far beyond what a 32-bit DIB section could hold, so dimensions are
// read from the file header first and anything larger is refused.
constexpr int kMaxPictureSide = 16384;
// Largest picture area (pixels) accepted; 8192 x 8192 must still open.
constexpr long long kMaxPictureArea = 8192LL * 8192LL * 2;

// Reads the stated width and height from a PNG, JPEG, GIF, BMP, TIFF or icon header.
// Returns false when the bytes are none of those or the header is cut short.
// Sizes beyond the int range come back as INT_MAX.
bool ReadPictureHeaderSize(std::span<const std::uint8_t> bytes, int& width, int& height);
// True when the bytes are a PNG, JPEG, GIF, BMP, TIFF or icon picture whose header states
// a size the program refuses to decode, or whose header is too damaged to
// state a size at all. Other formats are left to the decoder (false).
bool PictureTooLarge(std::span<const std::uint8_t> bytes);
// Same check for a picture file; the path is in the system code page (GBK).
// A file that cannot be opened counts as refused.
bool PictureFileTooLarge(const std::string& path);
// The whole picture file, when its header passes that check (no bigger than
// 1 GiB). The file is read at once and let go: nothing keeps it open.
bool ReadPictureFile(const std::string& path, std::vector<std::uint8_t>& bytes);
// Whether a width x height picture is within the limits above.
bool PictureSizeAcceptable(long long width, long long height);

// What a device-independent bitmap header (core, info, V4 or V5) states and
// what it needs behind it. `sound` is false when a field is outside what the
// decoders handle safely: a header size, depth, plane count or compression
// they do not know, a palette longer than the depth can index, or a size
// beyond the limits above.
struct DibLayout {
    bool sound = false;
    long long width = 0;
    long long height = 0;              // rows, whichever way they are stored
    std::uint32_t headerSize = 0;
    std::uint64_t headerAndTable = 0;  // header, colour table and masks
    std::uint64_t imageBytes = 0;      // the rows; 0 when compressed
    bool compressed = false;           // run-length, JPEG or PNG data of unknown length
};
// `header` starts at the header's size field and holds the whole header
// (a shorter one is not sound).
DibLayout ReadDibLayout(std::span<const std::uint8_t> header);

class GdipImage {
public:
    GdipImage();
    ~GdipImage();
    GdipImage(const GdipImage&) = delete;
    GdipImage& operator=(const GdipImage&) = delete;

    bool LoadFromData(std::span<const std::uint8_t> bytes);
    // The path in the system code page (GBK). The file is read whole and let go
    // at once: the picture never keeps it open.
    bool LoadFromFile(const std::string& path);
    void Dispose();
    GpImage* Handle() const { return image_; }
    int Width() const;
    int Height() const;
    void RotateFlip(int code);

    // For tests: whether a memory block is currently held.
    bool HoldsMemoryBlock() const { return block_ != nullptr; }

private:
    HGLOBAL block_ = nullptr;
    GpImage* image_ = nullptr;
};

