#pragma once
// Saving pictures to files: the save dialog, the path helpers, the PNG/JPEG
// encoder and the save routine shared by the board and the picture windows.
//
// The format follows the extension of the chosen name: ".png" gives a PNG,
// ".jpg" a JPEG (the extension test ignores ASCII case), anything else (".bmp",
// ".jpeg", no extension at all...) the 32-bit bottom-up BMP bytes of the
// canvas, whatever the name says.
//
// A file is never left half written: the bytes go to a temporary file in the
// target's folder, which replaces the target only once it is complete and
// flushed. When anything fails the old file stays as it was, the temporary
// file is removed and the user is told once, in a message box naming the file
// and the reason. A cancelled dialog writes nothing and says nothing.
//
// Texts (paths, titles, filters) are in the system code page (GBK).

#include <windows.h>
#include <commdlg.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

class Canvas;

// ---- the routine the commands call ----

enum class SaveOutcome {
    Saved,      // the file now holds the picture
    Cancelled,  // the user closed the dialog without a name; nothing happened
    Failed,     // nothing written (an existing file is unchanged); the user was told
};

// The save command of a picture window: asks for a file name in the save
// dialog (owned by `owner`, which may be null) and saves `canvas` there.
// Call it on the thread that owns `canvas`. Nothing happens (Cancelled) when
// the canvas is not created.
SaveOutcome SavePicture(Canvas& canvas, HWND owner);

// The same for a picture that must be read elsewhere (the board's canvas
// belongs to the board thread): `readBmp` is called once, after a name was
// chosen, and returns the picture as BMP file bytes (empty: nothing to save,
// reported as a failure).
SaveOutcome SavePicture(HWND owner, const std::function<std::vector<std::uint8_t>()>& readBmp);

// ---- the steps, for callers that already know the file name ----

// Encodes `bmp` for `path` (by its extension) and writes it there atomically.
// On failure the user is told (see SaveUi) and an existing file is unchanged.
SaveOutcome SavePictureToFile(const std::string& path, std::span<const std::uint8_t> bmp,
                              HWND owner);

// Why a write failed: empty on success, otherwise a short text for the user.
// Writes `bytes` to `path` through a temporary file in the same folder;
// empty `bytes` are refused (an empty write must never replace a picture).
std::string WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes);

// ---- the save dialog ----

constexpr const char* kSaveDialogTitle = "保存到文件";
constexpr const char* kDefaultSaveFilter = "所有文件（*.*）|*.*";
constexpr const char* kPictureSaveFilter = "PNG图片|*.png|BMP图片|*.bmp|JPG图片|*.jpg|所有文件|*.*";

// The platform's save dialog. `filter` separates its parts with '|'; the
// first filter is preselected; `defaultExtension` (without the dot) is added
// when the user types a name without one. Returns the chosen path, or empty
// text when the dialog was cancelled or could not open.
std::string AskSaveFileName(HWND owner, const std::string& title = "保存文件",
                            const std::string& initialDirectory = "",
                            const std::string& filter = kDefaultSaveFilter,
                            DWORD flags = OFN_OVERWRITEPROMPT,
                            const std::string& defaultExtension = "");

// The filter in the platform's form: every '|' a NUL, ending in a double NUL.
std::string DialogFilter(const std::string& filter);

// ---- paths ----

struct PathParts {
    std::string directory;  // without the final backslash ("C:\\" for a root)
    std::string fileName;   // the last component
    std::string extension;  // of the file name, with its dot; empty when none
    std::string stem;       // the file name without its extension
};
// Splits a path (double-byte characters whose second byte is '\\' stay whole).
PathParts SplitPath(const std::string& path);
// The temporary file a save writes before it replaces `path`: in the same
// folder, named "~" and the last hexadecimal digits of `tag`, no longer than
// the target's own name (5 to 9 characters, a double-byte one counting once),
// so that a target within the path length limit leaves room for it.
std::string TemporaryPathFor(const std::string& path, unsigned long tag);

// Lower-cases the ASCII letters only; the second byte of a double-byte
// character is left alone.
std::string LowerAscii(const std::string& text);

// ---- encoding ----

// GDI+ encoder types; a type outside 1..5 means BMP.
enum EncoderType : int {
    kEncodeBmp = 1,
    kEncodeJpeg = 2,
    kEncodeGif = 3,
    kEncodeTiff = 4,
    kEncodePng = 5,
};

// The encoder a file name asks for: kEncodePng for ".png", kEncodeJpeg for
// ".jpg" (any ASCII case), kEncodeBmp (the bytes as they are) otherwise.
int EncoderForPath(const std::string& path);

// Re-encodes BMP file bytes through GDI+ (JPEG with the encoder's defaults).
// nullopt when the bytes do not decode, the size is refused or encoding fails.
std::optional<std::vector<std::uint8_t>> EncodePicture(std::span<const std::uint8_t> bmp,
                                                       int type);

// ---- what the user sees ----

// The dialog and the failure message can be replaced (tests must never wait
// for a person). A null entry means the real one.
struct SaveUi {
    // Returns the chosen path or empty text.
    std::string (*askFileName)(HWND owner) = nullptr;
    // Shows `message` (caption kSaveDialogTitle) to the user.
    void (*tellFailure)(HWND owner, const std::string& message) = nullptr;
};
extern SaveUi SavePictureUi;

// The failure message for `path` and `reason`.
std::string SaveFailureMessage(const std::string& path, const std::string& reason);
