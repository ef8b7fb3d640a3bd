#include "capture/clipboard.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "graphics/canvas.h"
#include "graphics/gdi_owners.h"
#include "graphics/gdip_image.h"

namespace {

constexpr std::uint32_t kBmpHeadersSize = 14 + 40;

void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint16_t v) {
    out[at] = static_cast<std::uint8_t>(v & 0xFF);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<std::uint8_t>((v >> (8 * i)) & 0xFF);
}

// Room for the header plus a full colour table or the three bit-field masks
// GetDIBits may write behind it.
struct DibInfo {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
};

// The first picture format on the clipboard: the one a program put there. The
// others are made from it by the system when asked for, so a damaged device-
// independent bitmap must be checked before a bitmap is asked for.
UINT OriginalPictureFormat() {
    for (UINT format = EnumClipboardFormats(0); format != 0; format = EnumClipboardFormats(format)) {
        if (format == CF_BITMAP || format == CF_DIB || format == CF_DIBV5) return format;
    }
    return 0;
}

bool ClipboardDibSound(UINT format) {
    HGLOBAL block = GetClipboardData(format);
    if (block == nullptr) return false;
    const SIZE_T size = GlobalSize(block);
    const void* data = GlobalLock(block);
    if (data == nullptr) return false;
    const bool sound =
        DibBlockSound(std::span<const std::uint8_t>(static_cast<const std::uint8_t*>(data), size));
    GlobalUnlock(block);
    return sound;
}

}  // namespace

bool OpenClipboardBriefly(HWND owner) {
    const ULONGLONG deadline = GetTickCount64() + kClipboardWaitMs;
    for (;;) {
        if (OpenClipboard(owner)) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        const ULONGLONG left = deadline - now;
        Sleep(static_cast<DWORD>(left < kClipboardRetryStepMs ? left : kClipboardRetryStepMs));
    }
}

bool DibBlockSound(std::span<const std::uint8_t> block) {
    const DibLayout dib = ReadDibLayout(block);
    // Compressed rows cannot be measured from the header: the platform would
    // read until the data says stop.
    return dib.sound && !dib.compressed && dib.headerAndTable + dib.imageBytes <= block.size();
}

std::uint64_t DibImageSize(int width, int height, int bitCount) {
    if (width <= 0 || height <= 0 || bitCount <= 0) return 0;
    const std::uint64_t stride =
        ((static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(bitCount) + 31) / 32) * 4;
    const std::uint64_t size = stride * static_cast<std::uint64_t>(height);
    if (size > 0xFFFFFFFFULL - kBmpHeadersSize) return 0;
    return size;
}

std::vector<std::uint8_t> AssembleBmpFile(const BITMAPINFOHEADER& header,
                                          const std::vector<std::uint8_t>& pixels) {
    std::vector<std::uint8_t> out(kBmpHeadersSize + pixels.size());
    PutU16(out, 0, 0x4D42);  // "BM"
    PutU32(out, 2, static_cast<std::uint32_t>(kBmpHeadersSize + pixels.size()));
    PutU16(out, 6, 0);
    PutU16(out, 8, 0);
    PutU32(out, 10, kBmpHeadersSize);
    BITMAPINFOHEADER h = header;
    h.biSize = sizeof(BITMAPINFOHEADER);
    std::memcpy(out.data() + 14, &h, sizeof(h));
    if (!pixels.empty()) std::memcpy(out.data() + kBmpHeadersSize, pixels.data(), pixels.size());
    return out;
}

std::vector<std::uint8_t> BitmapToBmpFile(HBITMAP bitmap) {
    if (bitmap == nullptr) return {};
    BITMAP bm{};
    if (GetObjectA(bitmap, sizeof(bm), &bm) != static_cast<int>(sizeof(bm))) return {};

    const MemoryDc dcOwner = MemoryDc::Compatible();
    HDC dc = dcOwner.Get();
    if (dc == nullptr) return {};
    std::vector<std::uint8_t> result;

    // First ask the bitmap for its own format.
    DibInfo query{};
    query.header.biSize = sizeof(BITMAPINFOHEADER);
    if (GetDIBits(dc, bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO*>(&query),
                  DIB_RGB_COLORS) != 0) {
        const int width = query.header.biWidth;
        const int height = std::abs(query.header.biHeight);
        int bits = query.header.biBitCount;
        // A palette-based bitmap would need its colour table, which this file
        // layout does not carry: read it as 32-bit colour instead. Odd depths
        // are normalised the same way.
        if (bits != 16 && bits != 24 && bits != 32) bits = 32;
        const std::uint64_t imageSize = DibImageSize(width, height, bits);
        if (imageSize > 0 && height == std::abs(bm.bmHeight)) {
            // The rows are read with a header we fill in ourselves, so the
            // stated format, the image size and the buffer always agree.
            DibInfo read{};
            read.header.biSize = sizeof(BITMAPINFOHEADER);
            read.header.biWidth = width;
            read.header.biHeight = height;  // bottom-up rows
            read.header.biPlanes = 1;
            read.header.biBitCount = static_cast<WORD>(bits);
            read.header.biCompression = BI_RGB;
            read.header.biSizeImage = static_cast<DWORD>(imageSize);
            std::vector<std::uint8_t> pixels(static_cast<std::size_t>(imageSize));
            const int rows = GetDIBits(dc, bitmap, 0, static_cast<UINT>(height), pixels.data(),
                                       reinterpret_cast<BITMAPINFO*>(&read), DIB_RGB_COLORS);
            if (rows == height) {
                read.header.biCompression = BI_RGB;
                read.header.biSizeImage = static_cast<DWORD>(imageSize);
                read.header.biClrUsed = 0;
                read.header.biClrImportant = 0;
                result = AssembleBmpFile(read.header, pixels);
            }
        }
    }
    return result;
}

bool CopyCanvasToClipboard(HWND owner, const Canvas& canvas, std::optional<SIZE> size) {
    if (!canvas.IsCreated()) return false;
    if (owner != nullptr && !IsWindow(owner)) owner = nullptr;
    // Never read beyond the surface, whatever size is asked for.
    const int width = std::min(size ? static_cast<int>(size->cx) : canvas.Width(), canvas.Width());
    const int height =
        std::min(size ? static_cast<int>(size->cy) : canvas.Height(), canvas.Height());
    if (width <= 0 || height <= 0) return false;

    OwnedBitmap bitmap;
    {
        // The screen's format, which every program reading CF_BITMAP expects.
        ScreenDc screen;
        if (!screen) return false;
        const MemoryDc memory = MemoryDc::Compatible(screen.Get());
        if (!memory) return false;
        bitmap.Reset(CreateCompatibleBitmap(screen.Get(), width, height));
        if (!bitmap) return false;
        SelectedObject selection(memory.Get(), bitmap.Get());
        if (!selection.Ok()) return false;
        BitBlt(memory.Get(), 0, 0, width, height, canvas.DeviceContext(), 0, 0, SRCCOPY);
    }
    if (!OpenClipboardBriefly(owner)) return false;
    EmptyClipboard();
    // Once handed over the clipboard owns the bitmap; otherwise it stays ours.
    const bool handedOver = SetClipboardData(CF_BITMAP, bitmap.Get()) != nullptr;
    if (handedOver) bitmap.Release();
    CloseClipboard();
    return handedOver;
}

bool HandBitmapToClipboard(HWND owner, HBITMAP bitmap) {
    if (bitmap == nullptr) return false;
    bool handedOver = false;
    if (OpenClipboardBriefly(owner)) {
        EmptyClipboard();
        handedOver = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
        CloseClipboard();
    }
    // Once handed over the clipboard owns the bitmap; otherwise it is ours.
    if (!handedOver) DeleteObject(bitmap);
    return handedOver;
}

std::vector<std::uint8_t> ReadClipboardPicture() {
    if (!OpenClipboardBriefly(nullptr)) return {};
    std::vector<std::uint8_t> result;
    const UINT original = OriginalPictureFormat();
    // A bitmap made from a device-independent one whose header lies would be
    // read beyond the block: such a picture is refused before it is made.
    const bool sound = original == CF_BITMAP || (original != 0 && ClipboardDibSound(original));
    // The bitmap belongs to the clipboard: it is read while the clipboard is
    // still open, so another program cannot replace (and free) it meanwhile.
    HBITMAP bitmap = sound ? static_cast<HBITMAP>(GetClipboardData(CF_BITMAP)) : nullptr;
    if (bitmap != nullptr) result = BitmapToBmpFile(bitmap);
    CloseClipboard();
    return result;
}
