#include "capture/save.h"

#include <commdlg.h>
#include <shlwapi.h>

#include <algorithm>
#include <cstring>

#include "graphics/canvas.h"
#include "graphics/gdi_owners.h"
#include "graphics/gdip_image.h"
#include "graphics/gdiplus_api.h"

SaveUi SavePictureUi;

namespace {

constexpr std::size_t kFileBufferSize = 1024;

// The published GDI+ image encoder class identifiers, by encoder type.
constexpr const char* kEncoderClsids[] = {
    "{557CF400-1A04-11D3-9A73-0000F81EF32E}",  // 1 BMP
    "{557CF401-1A04-11D3-9A73-0000F81EF32E}",  // 2 JPEG
    "{557CF402-1A04-11D3-9A73-0000F81EF32E}",  // 3 GIF
    "{557CF405-1A04-11D3-9A73-0000F81EF32E}",  // 4 TIFF
    "{557CF406-1A04-11D3-9A73-0000F81EF32E}",  // 5 PNG
};

bool EncoderClsid(int type, CLSID& clsid) {
    if (type < kEncodeBmp || type > kEncodePng) type = kEncodeBmp;
    const char* text = kEncoderClsids[type - 1];
    wchar_t wide[64] = {};
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, 64) == 0) return false;
    return SUCCEEDED(CLSIDFromString(wide, &clsid));
}

std::uint32_t U32At(std::span<const std::uint8_t> b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
           (static_cast<std::uint32_t>(b[at + 2]) << 16) |
           (static_cast<std::uint32_t>(b[at + 3]) << 24);
}

// Owners of the COM stream and the GDI+ image of one encode.
struct StreamOwner {
    IStream* p = nullptr;
    StreamOwner() = default;
    StreamOwner(const StreamOwner&) = delete;
    StreamOwner& operator=(const StreamOwner&) = delete;
    ~StreamOwner() {
        if (p != nullptr) p->Release();
    }
};

struct ImageOwner {
    Gdiplus::GpImage* p = nullptr;
    ImageOwner() = default;
    ImageOwner(const ImageOwner&) = delete;
    ImageOwner& operator=(const ImageOwner&) = delete;
    ~ImageOwner() {
        if (p != nullptr) Gdiplus::DllExports::GdipDisposeImage(p);
    }
};

// A plain 32-bit BI_RGB BMP (what every canvas produces) is handed to the
// encoder in place, rows and all: no copy into global memory and no decode.
// Null when the bytes are any other kind of BMP (those go through the
// decoder).
Gdiplus::GpBitmap* BitmapOverPlainBmp(std::span<const std::uint8_t> bmp) {
    if (bmp.size() < 54 || bmp[0] != 'B' || bmp[1] != 'M') return nullptr;
    const std::uint32_t offset = U32At(bmp, 10);
    const std::uint32_t headerSize = U32At(bmp, 14);
    const auto width = static_cast<std::int32_t>(U32At(bmp, 18));
    const auto height = static_cast<std::int32_t>(U32At(bmp, 22));
    const std::uint16_t bits = static_cast<std::uint16_t>(bmp[28] | (bmp[29] << 8));
    const std::uint32_t compression = U32At(bmp, 30);
    if (headerSize < 40 || bits != 32 || compression != BI_RGB) return nullptr;
    if (width <= 0 || height == 0 || height == INT32_MIN) return nullptr;
    const std::int64_t rows = height < 0 ? -static_cast<std::int64_t>(height) : height;
    if (!PictureSizeAcceptable(width, rows)) return nullptr;
    const std::uint64_t stride = static_cast<std::uint64_t>(width) * 4;
    if (offset < 14 + headerSize || offset > bmp.size() ||
        bmp.size() - offset < stride * static_cast<std::uint64_t>(rows)) {
        return nullptr;
    }
    // The encoder only reads: the pixels are not changed.
    auto* pixels = const_cast<std::uint8_t*>(bmp.data() + offset);
    BYTE* scan0 = pixels;
    INT step = static_cast<INT>(stride);
    if (height > 0) {  // bottom-up: the first row on screen is the last stored
        scan0 = pixels + stride * static_cast<std::uint64_t>(rows - 1);
        step = -step;
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromScan0(width, static_cast<INT>(rows), step,
                                                       PixelFormat32bppRGB, scan0,
                                                       &bitmap) != Gdiplus::Ok) {
        return nullptr;
    }
    return bitmap;
}

// Any other BMP: decoded from a stream on a global-memory copy of the bytes
// (the stream frees the copy when released, after the image is gone).
Gdiplus::GpImage* DecodeBmp(std::span<const std::uint8_t> bmp, StreamOwner& input) {
    if (bmp.empty() || PictureTooLarge(bmp)) return nullptr;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, bmp.size());
    if (block == nullptr) return nullptr;
    void* memory = GlobalLock(block);
    if (memory == nullptr) {
        GlobalFree(block);
        return nullptr;
    }
    std::memcpy(memory, bmp.data(), bmp.size());
    GlobalUnlock(block);
    if (FAILED(CreateStreamOnHGlobal(block, TRUE, &input.p))) {
        GlobalFree(block);
        return nullptr;
    }
    Gdiplus::GpBitmap* bitmap = nullptr;
    if (Gdiplus::DllExports::GdipCreateBitmapFromStream(input.p, &bitmap) != Gdiplus::Ok) {
        return nullptr;
    }
    return bitmap;
}

// The bytes written to a global-memory stream. The block may be larger than
// what was written, so the stream's own size counts, not GlobalSize.
std::optional<std::vector<std::uint8_t>> StreamBytes(IStream* stream) {
    STATSTG stat{};
    if (FAILED(stream->Stat(&stat, STATFLAG_NONAME))) return std::nullopt;
    HGLOBAL block = nullptr;
    if (FAILED(GetHGlobalFromStream(stream, &block)) || block == nullptr) return std::nullopt;
    const std::uint64_t size = stat.cbSize.QuadPart;
    if (size == 0 || size > GlobalSize(block)) return std::nullopt;
    const void* memory = GlobalLock(block);
    if (memory == nullptr) return std::nullopt;
    const auto* first = static_cast<const std::uint8_t*>(memory);
    std::vector<std::uint8_t> bytes(first, first + size);
    GlobalUnlock(block);
    return bytes;
}

std::string SystemErrorText(DWORD error) {
    char* text = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result;
    if (length != 0 && text != nullptr) result.assign(text, length);
    if (text != nullptr) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                               result.back() == ' ' || result.back() == '.')) {
        result.pop_back();
    }
    if (result.empty()) result = "错误代码 " + std::to_string(error);
    return result;
}

std::string Reason(const char* what, DWORD error) {
    return std::string(what) + "（" + SystemErrorText(error) + "）";
}

// A name for the temporary file beside `path` that nothing else uses yet.
std::string TemporaryNameFor(const std::string& path, unsigned attempt) {
    static LONG counter = 0;
    const unsigned long tag = (GetCurrentProcessId() << 16) ^ GetTickCount() ^
                              static_cast<unsigned long>(InterlockedIncrement(&counter)) ^
                              (attempt * 0x9E37u);
    return TemporaryPathFor(path, tag);
}

bool WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    constexpr std::size_t kChunk = 8u << 20;
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min(kChunk, bytes.size() - done));
        DWORD wrote = 0;
        if (!WriteFile(file, bytes.data() + done, want, &wrote, nullptr) || wrote == 0) {
            return false;
        }
        done += wrote;
    }
    return true;
}

void TellFailure(HWND owner, const std::string& path, const std::string& reason) {
    const std::string message = SaveFailureMessage(path, reason);
    if (SavePictureUi.tellFailure != nullptr) {
        SavePictureUi.tellFailure(owner, message);
        return;
    }
    MessageBoxA(owner, message.c_str(), kSaveDialogTitle, MB_OK | MB_ICONERROR);
}

std::string AskPictureFileName(HWND owner) {
    if (SavePictureUi.askFileName != nullptr) return SavePictureUi.askFileName(owner);
    // The dialog must not leave the process's current folder on the one chosen.
    return AskSaveFileName(owner, kSaveDialogTitle, "", kPictureSaveFilter,
                           OFN_OVERWRITEPROMPT | OFN_NOCHANGEDIR | OFN_HIDEREADONLY, "bmp");
}

}  // namespace

// ---- the save dialog ----

std::string DialogFilter(const std::string& filter) {
    std::string result = filter;
    std::replace(result.begin(), result.end(), '|', '\0');
    result.push_back('\0');
    result.push_back('\0');
    return result;
}

std::string AskSaveFileName(HWND owner, const std::string& title,
                            const std::string& initialDirectory, const std::string& filter,
                            DWORD flags, const std::string& defaultExtension) {
    const std::string platformFilter = DialogFilter(filter.empty() ? kDefaultSaveFilter : filter);
    char file[kFileBufferSize] = {};
    OPENFILENAMEA ofn{};
    // The structure of this build: a 32-bit size on a 64-bit build makes the
    // dialog refuse to open.
    ofn.lStructSize = sizeof(OPENFILENAMEA);
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = platformFilter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = static_cast<DWORD>(sizeof(file));
    ofn.lpstrInitialDir = initialDirectory.empty() ? nullptr : initialDirectory.c_str();
    ofn.lpstrTitle = title.empty() ? nullptr : title.c_str();
    ofn.Flags = flags;
    ofn.lpstrDefExt = defaultExtension.empty() ? nullptr : defaultExtension.c_str();
    if (!GetSaveFileNameA(&ofn)) return {};
    file[sizeof(file) - 1] = '\0';
    return file;
}

// ---- paths ----

PathParts SplitPath(const std::string& path) {
    PathParts parts;
    char buffer[MAX_PATH * 4] = {};
    if (path.empty() || path.size() >= sizeof(buffer)) return parts;

    std::memcpy(buffer, path.c_str(), path.size() + 1);
    PathRemoveFileSpecA(buffer);
    parts.directory = buffer;

    parts.fileName = PathFindFileNameA(path.c_str());
    parts.extension = PathFindExtensionA(parts.fileName.c_str());

    std::memcpy(buffer, parts.fileName.c_str(), parts.fileName.size() + 1);
    PathRemoveExtensionA(buffer);
    parts.stem = buffer;
    return parts;
}

std::string TemporaryPathFor(const std::string& path, unsigned long tag) {
    const std::string name = SplitPath(path).fileName;
    const std::size_t folder = path.size() >= name.size() ? path.size() - name.size() : 0;
    // The length limit counts characters: a double-byte one counts once.
    std::size_t characters = 0;
    for (std::size_t i = 0; i < name.size(); ++i, ++characters)
        if (IsDBCSLeadByte(static_cast<unsigned char>(name[i]))) ++i;
    const int digits = static_cast<int>(std::clamp<std::size_t>(characters, 5, 9)) - 1;
    char hex[16];
    wsprintfA(hex, "%08lx", tag & 0xFFFFFFFFul);
    return path.substr(0, folder) + "~" + std::string(hex + 8 - digits);
}

std::string LowerAscii(const std::string& text) {
    std::string result = text;
    for (std::size_t i = 0; i < result.size(); ++i) {
        const auto c = static_cast<unsigned char>(result[i]);
        if (IsDBCSLeadByte(c)) {
            ++i;  // its second byte is part of the same character
        } else if (c >= 'A' && c <= 'Z') {
            result[i] = static_cast<char>(c - 'A' + 'a');
        }
    }
    return result;
}

int EncoderForPath(const std::string& path) {
    const std::string extension = LowerAscii(SplitPath(path).extension);
    if (extension == ".png") return kEncodePng;
    if (extension == ".jpg") return kEncodeJpeg;
    return kEncodeBmp;
}

// ---- encoding ----

std::optional<std::vector<std::uint8_t>> EncodePicture(std::span<const std::uint8_t> bmp,
                                                       int type) {
    // GDI+ for the length of the call, whoever else holds it.
    const GdiplusSession gdiplus;
    if (bmp.empty() || !gdiplus.Ok()) return std::nullopt;
    CLSID encoder{};
    if (!EncoderClsid(type, encoder)) return std::nullopt;

    // Declared first: released last, after the image that reads from it.
    StreamOwner input;
    ImageOwner image;
    image.p = BitmapOverPlainBmp(bmp);
    if (image.p == nullptr) image.p = DecodeBmp(bmp, input);
    if (image.p == nullptr) return std::nullopt;

    StreamOwner output;
    if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, &output.p))) return std::nullopt;
    if (Gdiplus::DllExports::GdipSaveImageToStream(image.p, output.p, &encoder, nullptr) !=
        Gdiplus::Ok) {
        return std::nullopt;
    }
    return StreamBytes(output.p);
}

// ---- writing ----

std::string WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return "没有可写入的图片数据";
    if (path.empty()) return "文件名为空";

    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) return "这是一个文件夹";
        if (attributes & FILE_ATTRIBUTE_READONLY) return "文件是只读的";
    }

    std::string temporary;
    KernelHandle file;
    DWORD error = ERROR_FILE_EXISTS;
    for (unsigned attempt = 0; attempt < 16 && !file; ++attempt) {
        temporary = TemporaryNameFor(path, attempt);
        file.Reset(CreateFileA(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error = GetLastError();
            if (error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) break;
        }
    }
    if (!file) return Reason("无法在目标文件夹中创建文件", error);

    bool written = WriteAll(file.Get(), bytes);
    if (!written) error = GetLastError();
    if (written && !FlushFileBuffers(file.Get())) {
        written = false;
        error = GetLastError();
    }
    file.Reset();  // closed before it is moved or removed
    if (!written) {
        DeleteFileA(temporary.c_str());
        return Reason("写入失败，磁盘可能已满", error);
    }
    if (!MoveFileExA(temporary.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = GetLastError();
        DeleteFileA(temporary.c_str());
        return Reason("无法替换原文件", error);
    }
    return {};
}

std::string SaveFailureMessage(const std::string& path, const std::string& reason) {
    return "无法保存到文件“" + path + "”：" + reason + "。";
}

SaveOutcome SavePictureToFile(const std::string& path, std::span<const std::uint8_t> bmp,
                              HWND owner) {
    if (bmp.empty()) {
        TellFailure(owner, path, "没有可保存的图片");
        return SaveOutcome::Failed;
    }
    const int type = EncoderForPath(path);
    std::string reason;
    if (type == kEncodeBmp) {
        reason = WriteFileAtomically(path, bmp);
    } else {
        const std::optional<std::vector<std::uint8_t>> encoded = EncodePicture(bmp, type);
        reason = encoded ? WriteFileAtomically(path, *encoded)
                         : std::string(type == kEncodePng ? "PNG 编码失败" : "JPG 编码失败");
    }
    if (!reason.empty()) {
        TellFailure(owner, path, reason);
        return SaveOutcome::Failed;
    }
    return SaveOutcome::Saved;
}

SaveOutcome SavePicture(HWND owner, const std::function<std::vector<std::uint8_t>()>& readBmp) {
    const std::string path = AskPictureFileName(owner);
    if (path.empty()) return SaveOutcome::Cancelled;
    const std::vector<std::uint8_t> bmp = readBmp ? readBmp() : std::vector<std::uint8_t>{};
    return SavePictureToFile(path, bmp, owner);
}

SaveOutcome SavePicture(Canvas& canvas, HWND owner) {
    if (!canvas.IsCreated()) return SaveOutcome::Cancelled;
    return SavePicture(owner, [&canvas] { return canvas.ToBmpBytes(); });
}
