#pragma once
// Pictures in and out of the clipboard, as device-dependent bitmaps (CF_BITMAP).

#include <windows.h>

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

class Canvas;

// How long the program waits for a clipboard that another program has open.
// Such a program usually lets go within milliseconds; a wait of a fifth of a
// second is not felt after a key press, yet is short enough to make inside a
// window's handler, which answers nothing meanwhile (no messages are pumped).
constexpr DWORD kClipboardWaitMs = 200;
constexpr DWORD kClipboardRetryStepMs = 20;

// Opens the clipboard for `owner` (null: for this thread), trying again a
// short sleep apart for at most kClipboardWaitMs. False when it stays held:
// the caller then gives up quietly and changes nothing. Every use of the
// clipboard in the program opens it this way.
bool OpenClipboardBriefly(HWND owner);

// Puts a copy of `canvas` on the clipboard as CF_BITMAP: its top-left `size`
// (never more than the canvas holds), or the whole canvas when no size is
// given. `owner` owns the clipboard data; a window that no longer exists (or
// none) leaves the data without an owner. Returns whether the clipboard took
// the picture; it is left as it was when the canvas is not created or the
// clipboard cannot be opened.
bool CopyCanvasToClipboard(HWND owner, const Canvas& canvas,
                           std::optional<SIZE> size = std::nullopt);

// Hands `bitmap` to the clipboard as CF_BITMAP with `owner` as its owner. On
// success the clipboard owns it; on failure it is deleted here. True on success.
bool HandBitmapToClipboard(HWND owner, HBITMAP bitmap);

// The clipboard's bitmap as the bytes of a BMP file: 14-byte file header,
// 40-byte BITMAPINFOHEADER, bottom-up BI_RGB rows in the bitmap's own bit
// depth (32 bits for bitmaps of 8 bits per pixel or fewer, which would need a
// colour table). Empty when there is no bitmap or it cannot be read.
std::vector<std::uint8_t> ReadClipboardPicture();

// The BMP file image of one bitmap, as ReadClipboardPicture makes it. The
// bitmap must not be selected into a device context.
std::vector<std::uint8_t> BitmapToBmpFile(HBITMAP bitmap);

// The BMP file image for a header and its rows (pure): "BM", file size
// 54 + pixel bytes, pixel offset 54. `header.biSizeImage` must equal
// `pixels.size()`.
std::vector<std::uint8_t> AssembleBmpFile(const BITMAPINFOHEADER& header,
                                          const std::vector<std::uint8_t>& pixels);

// Whether a clipboard device-independent bitmap block of `block.size()` bytes
// (a BITMAPCOREHEADER, BITMAPINFOHEADER, V4 or V5 header, its colour table or
// masks, then the pixels) is one the platform can turn into a bitmap without
// reading beyond the block: every header field within its range and the data
// as long as the header says. Uncompressed and bit-field pictures only.
bool DibBlockSound(std::span<const std::uint8_t> block);

// Bytes of one BI_RGB image of the given size and depth (rows padded to 32
// bits); 0 when the size is not positive or does not fit a BMP file.
std::uint64_t DibImageSize(int width, int height, int bitCount);
