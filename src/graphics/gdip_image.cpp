#include "graphics/gdip_image.h"


#include <algorithm>
#include <climits>
#include <iterator>
#include <cstring>
#include <vector>

#include "graphics/gdi_owners.h"

namespace {

// ---------------------------------------------------------------------------
// Picture header reading. The decoder allocates whatever the header claims
// before it looks at the data, and a big enough claim takes the process down,
// so the claim is read here first. Headers are read through a small random
// access source so that files need not be read whole.
// ---------------------------------------------------------------------------
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Copies n bytes at offset into out; false when they are not all there.
    virtual bool Read(std::uint64_t offset, void* out, std::size_t n) = 0;
    virtual std::uint64_t Size() = 0;
    // The offset of the first `value` at or after `from`, or kNotFound.
    virtual std::uint64_t Find(std::uint64_t from, std::uint8_t value) {
        for (std::uint8_t b = 0; Byte(from, b); ++from)
            if (b == value) return from;
        return kNotFound;
    }
    static constexpr std::uint64_t kNotFound = ~std::uint64_t{0};

    bool Byte(std::uint64_t offset, std::uint8_t& b) { return Read(offset, &b, 1); }
    bool Le16(std::uint64_t offset, std::uint32_t& v) {
        std::uint8_t b[2];
        if (!Read(offset, b, 2)) return false;
        v = b[0] | (b[1] << 8);
        return true;
    }
    bool Be16(std::uint64_t offset, std::uint32_t& v) {
        std::uint8_t b[2];
        if (!Read(offset, b, 2)) return false;
        v = (b[0] << 8) | b[1];
        return true;
    }
    bool Le32(std::uint64_t offset, std::uint32_t& v) {
        std::uint8_t b[4];
        if (!Read(offset, b, 4)) return false;
        v = std::uint32_t(b[0]) | (std::uint32_t(b[1]) << 8) | (std::uint32_t(b[2]) << 16) |
            (std::uint32_t(b[3]) << 24);
        return true;
    }
    bool Be32(std::uint64_t offset, std::uint32_t& v) {
        std::uint8_t b[4];
        if (!Read(offset, b, 4)) return false;
        v = (std::uint32_t(b[0]) << 24) | (std::uint32_t(b[1]) << 16) |
            (std::uint32_t(b[2]) << 8) | std::uint32_t(b[3]);
        return true;
    }
};

class SpanSource final : public ByteSource {
public:
    explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t Size() override { return bytes_.size(); }
    bool Read(std::uint64_t offset, void* out, std::size_t n) override {
        if (offset > bytes_.size() || n > bytes_.size() - offset) return false;
        std::memcpy(out, bytes_.data() + offset, n);
        return true;
    }
    std::uint64_t Find(std::uint64_t from, std::uint8_t value) override {
        if (from >= bytes_.size()) return kNotFound;
        const void* hit = std::memchr(bytes_.data() + from, value, bytes_.size() - from);
        return hit == nullptr ? kNotFound
                              : static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(hit) -
                                                           bytes_.data());
    }

private:
    std::span<const std::uint8_t> bytes_;
};

// A part of another source, seen as a whole of its own.
class PartSource final : public ByteSource {
public:
    PartSource(ByteSource& whole, std::uint64_t at, std::uint64_t size)
        : whole_(whole), at_(at), size_(size) {}
    std::uint64_t Size() override { return size_; }
    bool Read(std::uint64_t offset, void* out, std::size_t n) override {
        if (offset > size_ || n > size_ - offset) return false;
        return whole_.Read(at_ + offset, out, n);
    }

private:
    ByteSource& whole_;
    std::uint64_t at_;
    std::uint64_t size_;
};

// Reads a file through a 64 KB window: the JPEG and GIF walks read one byte
// at a time and must not cost a system call each.
class FileSource final : public ByteSource {
public:
    explicit FileSource(HANDLE file) : file_(file) {}
    std::uint64_t Size() override {
        LARGE_INTEGER size{};
        return GetFileSizeEx(file_, &size) ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    }
    bool Read(std::uint64_t offset, void* out, std::size_t n) override {
        auto* dest = static_cast<std::uint8_t*>(out);
        while (n > 0) {
            if (offset < windowStart_ || offset >= windowStart_ + window_.size()) {
                if (!Fill(offset)) return false;
            }
            const std::size_t at = static_cast<std::size_t>(offset - windowStart_);
            const std::size_t take = std::min(n, window_.size() - at);
            std::memcpy(dest, window_.data() + at, take);
            dest += take;
            offset += take;
            n -= take;
        }
        return true;
    }
    std::uint64_t Find(std::uint64_t from, std::uint8_t value) override {
        for (;;) {
            if (from < windowStart_ || from >= windowStart_ + window_.size()) {
                if (!Fill(from)) return kNotFound;
            }
            const std::size_t at = static_cast<std::size_t>(from - windowStart_);
            const void* hit = std::memchr(window_.data() + at, value, window_.size() - at);
            if (hit != nullptr)
                return windowStart_ +
                       static_cast<std::uint64_t>(static_cast<const std::uint8_t*>(hit) -
                                                  window_.data());
            from = windowStart_ + window_.size();
        }
    }

private:
    bool Fill(std::uint64_t offset) {
        window_.clear();
        LARGE_INTEGER pos;
        pos.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(file_, pos, nullptr, FILE_BEGIN)) return false;
        std::vector<std::uint8_t> buf(64 * 1024);
        DWORD got = 0;
        if (!ReadFile(file_, buf.data(), static_cast<DWORD>(buf.size()), &got, nullptr) ||
            got == 0) {
            return false;
        }
        buf.resize(got);
        window_ = std::move(buf);
        windowStart_ = offset;
        return true;
    }

    HANDLE file_;
    std::vector<std::uint8_t> window_;
    std::uint64_t windowStart_ = 0;
};

enum class HeaderKind {
    Unknown,     // none of PNG, JPEG, GIF, BMP: left to the decoder
    Sized,       // the stated size was read
    Unreadable,  // one of the four, but no usable size could be read
};

// Every chunk up to the end marker must lie inside the file with a length
// the format allows: the decoder trusts a chunk's length and reads it whole.
HeaderKind ReadPng(ByteSource& src, long long& w, long long& h) {
    char type[4];
    std::uint32_t width = 0, height = 0;
    if (!src.Read(12, type, 4) || std::memcmp(type, "IHDR", 4) != 0) return HeaderKind::Unreadable;
    if (!src.Be32(16, width) || !src.Be32(20, height)) return HeaderKind::Unreadable;
    const std::uint64_t size = src.Size();
    for (std::uint64_t at = 8;;) {
        std::uint32_t length = 0;
        if (!src.Be32(at, length) || !src.Read(at + 4, type, 4)) return HeaderKind::Unreadable;
        if (length > 0x7FFFFFFFu || at + 12 + length > size) return HeaderKind::Unreadable;
        if (std::memcmp(type, "IEND", 4) == 0) break;
        at += 12 + std::uint64_t{length};
    }
    w = width;
    h = height;
    return HeaderKind::Sized;
}

// Walks every marker segment to the end of the image. The first
// start-of-frame marker holds the size. Every segment, also those between and
// after the scans, must lie inside the data: the decoder passes over a
// segment it does not read by its stated length without looking where the
// data ends, and one that runs past the end takes the process down. Stray
// bytes between segments and the scans' coded data are passed over the way
// the decoder itself does; data that ends inside a scan is left to the
// decoder, which ends the picture there.
HeaderKind ReadJpeg(ByteSource& src, long long& w, long long& h) {
    const std::uint64_t size = src.Size();
    bool sized = false;
    // The data ends, or the image does: usable once a frame has been seen.
    auto ended = [&sized] { return sized ? HeaderKind::Sized : HeaderKind::Unreadable; };
    std::uint64_t pos = 2;  // after FF D8
    for (;;) {
        // The next 0xFF, then past fill bytes.
        const std::uint64_t ff = src.Find(pos, 0xFF);
        if (ff == ByteSource::kNotFound) return ended();
        pos = ff + 1;
        std::uint8_t b = 0;
        do {
            if (!src.Byte(pos++, b)) return ended();
        } while (b == 0xFF);
        const std::uint8_t marker = b;
        if (marker == 0x00 || marker == 0x01 || marker == 0xD8 ||
            (marker >= 0xD0 && marker <= 0xD7)) {
            continue;  // no length field (0x00 stuffs a coded 0xFF)
        }
        if (marker == 0xD9) return ended();                           // end of image
        if (marker == 0xDA && !sized) return HeaderKind::Unreadable;     // a scan, no frame
        std::uint32_t length = 0;
        if (!src.Be16(pos, length) || length < 2 || pos + length > size)
            return HeaderKind::Unreadable;
        const bool startOfFrame =
            marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (startOfFrame && !sized) {
            std::uint32_t height = 0, width = 0;
            if (length < 7 || !src.Be16(pos + 3, height) || !src.Be16(pos + 5, width)) {
                return HeaderKind::Unreadable;
            }
            // A height of 0 defers it to a later DNL marker, which the decoder
            // does not support; nothing usable is stated.
            if (width == 0 || height == 0) return HeaderKind::Unreadable;
            w = width;
            h = height;
            sized = true;
        }
        pos += length;
    }
}

void SkipGifSubBlocks(ByteSource& src, std::uint64_t& pos, bool& ok) {
    for (;;) {
        std::uint8_t len = 0;
        if (!src.Byte(pos++, len)) {
            ok = false;
            return;
        }
        if (len == 0) return;
        pos += len;
    }
}

// The logical screen size, widened by every frame that reaches beyond it:
// a frame is decoded at its own size, whatever the screen says.
HeaderKind ReadGif(ByteSource& src, long long& w, long long& h) {
    std::uint32_t width = 0, height = 0;
    std::uint8_t flags = 0;
    if (!src.Le16(6, width) || !src.Le16(8, height) || !src.Byte(10, flags)) {
        return HeaderKind::Unreadable;
    }
    w = width;
    h = height;
    std::uint64_t pos = 13;
    if (flags & 0x80) pos += 3ULL << ((flags & 7) + 1);
    bool ok = true;
    while (ok) {
        std::uint8_t block = 0;
        if (!src.Byte(pos++, block)) break;  // cut short: what was read so far stands
        if (block == 0x21) {                 // extension: label, then sub-blocks
            ++pos;
            SkipGifSubBlocks(src, pos, ok);
        } else if (block == 0x2C) {  // image descriptor
            std::uint32_t left = 0, top = 0, fw = 0, fh = 0;
            std::uint8_t fflags = 0;
            if (!src.Le16(pos, left) || !src.Le16(pos + 2, top) || !src.Le16(pos + 4, fw) ||
                !src.Le16(pos + 6, fh) || !src.Byte(pos + 8, fflags)) {
                break;
            }
            w = std::max<long long>(w, static_cast<long long>(left) + fw);
            h = std::max<long long>(h, static_cast<long long>(top) + fh);
            pos += 9;
            if (fflags & 0x80) pos += 3ULL << ((fflags & 7) + 1);
            ++pos;  // LZW minimum code size
            SkipGifSubBlocks(src, pos, ok);
        } else {
            break;  // trailer (0x3B) or damage
        }
    }
    if (w == 0 || h == 0) return HeaderKind::Unreadable;
    return HeaderKind::Sized;
}

// A BMP file: its header must be one the decoder reads safely, and the
// colour table and rows it states must lie inside the file. The decoder
// trusts the pixel offset and the row count and reads wherever they point.
HeaderKind ReadBmp(ByteSource& src, long long& w, long long& h) {
    std::uint32_t headerSize = 0, pixelOffset = 0;
    if (!src.Le32(14, headerSize) || !src.Le32(10, pixelOffset)) return HeaderKind::Unreadable;
    std::uint8_t header[124] = {};
    const std::size_t n = std::min<std::size_t>(headerSize, sizeof header);
    if (n < 12 || !src.Read(14, header, n)) return HeaderKind::Unreadable;
    const DibLayout dib = ReadDibLayout(std::span<const std::uint8_t>(header, n));
    if (!dib.sound) return HeaderKind::Unreadable;
    const std::uint64_t size = src.Size();
    if (14 + dib.headerAndTable > size || pixelOffset < 14 + dib.headerSize ||
        pixelOffset >= size || (!dib.compressed && pixelOffset + dib.imageBytes > size)) {
        return HeaderKind::Unreadable;
    }
    w = dib.width;
    h = dib.height;
    return HeaderKind::Sized;
}

// TIFF: the first directory's entries must lie inside the file, and so must
// every strip or tile the picture's rows come from; the decoder follows the
// offsets it finds without asking how long the file is.
class TiffReader {
public:
    TiffReader(ByteSource& src, bool bigEndian) : src_(src), big_(bigEndian) {}

    HeaderKind Read(long long& w, long long& h) {
        const std::uint64_t size = src_.Size();
        std::uint32_t ifd = 0, count = 0;
        if (!U32(4, ifd) || !U16(ifd, count) || count == 0 || count > 4096) {
            return HeaderKind::Unreadable;
        }
        if (std::uint64_t{ifd} + 2 + 12ULL * count + 4 > size) return HeaderKind::Unreadable;
        std::uint64_t width = 0, height = 0;
        Span strips, stripBytes, tiles, tileBytes;
        for (std::uint32_t i = 0; i < count; ++i) {
            const std::uint64_t entry = std::uint64_t{ifd} + 2 + 12ULL * i;
            std::uint32_t tag = 0, type = 0, n = 0;
            if (!U16(entry, tag) || !U16(entry + 2, type) || !U32(entry + 4, n)) {
                return HeaderKind::Unreadable;
            }
            // An entry of no known type has no length the decoder can check.
            const std::uint64_t unit = TypeSize(type);
            if (unit == 0) return HeaderKind::Unreadable;
            Span values{entry + 8, n, type};
            if (unit * n > 4) {
                std::uint32_t at = 0;
                if (!U32(entry + 8, at) || std::uint64_t{at} + unit * n > size) {
                    return HeaderKind::Unreadable;
                }
                values.at = at;
            }
            const bool sizeTag = tag == 256 || tag == 257 || tag == 273 || tag == 279 ||
                                 tag == 322 || tag == 323 || tag == 324 || tag == 325;
            if (!sizeTag) continue;
            if ((type != 3 && type != 4) || n == 0) return HeaderKind::Unreadable;
            switch (tag) {
                case 256: if (!Value(values, 0, width)) return HeaderKind::Unreadable; break;
                case 257: if (!Value(values, 0, height)) return HeaderKind::Unreadable; break;
                case 273: strips = values; break;
                case 279: stripBytes = values; break;
                case 324: tiles = values; break;
                case 325: tileBytes = values; break;
                default: break;
            }
        }
        if (!PictureSizeAcceptable(static_cast<long long>(width), static_cast<long long>(height))) {
            return HeaderKind::Unreadable;
        }
        std::uint32_t nextDirectory = 0;
        if (!U32(std::uint64_t{ifd} + 2 + 12ULL * count, nextDirectory) ||
            (nextDirectory != 0 && std::uint64_t{nextDirectory} + 2 > size)) {
            return HeaderKind::Unreadable;
        }
        const bool tiled = tiles.count != 0;
        const Span& offsets = tiled ? tiles : strips;
        const Span& lengths = tiled ? tileBytes : stripBytes;
        if (offsets.count == 0 || offsets.count != lengths.count) return HeaderKind::Unreadable;
        for (std::uint32_t i = 0; i < offsets.count; ++i) {
            std::uint64_t at = 0, length = 0;
            if (!Value(offsets, i, at) || !Value(lengths, i, length) || at + length > size) {
                return HeaderKind::Unreadable;
            }
        }
        w = static_cast<long long>(width);
        h = static_cast<long long>(height);
        return HeaderKind::Sized;
    }

private:
    struct Span {
        std::uint64_t at = 0;
        std::uint32_t count = 0;
        std::uint32_t type = 0;
    };
    static std::uint64_t TypeSize(std::uint32_t type) {
        static const std::uint8_t kSizes[] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8, 4};
        return type < std::size(kSizes) ? kSizes[type] : 0;
    }
    bool U16(std::uint64_t at, std::uint32_t& v) { return big_ ? src_.Be16(at, v) : src_.Le16(at, v); }
    bool U32(std::uint64_t at, std::uint32_t& v) { return big_ ? src_.Be32(at, v) : src_.Le32(at, v); }
    bool Value(const Span& s, std::uint32_t i, std::uint64_t& v) {
        std::uint32_t x = 0;
        const bool ok = s.type == 3 ? U16(s.at + 2ULL * i, x) : U32(s.at + 4ULL * i, x);
        v = x;
        return ok;
    }

    ByteSource& src_;
    bool big_;
};

// An icon file: every image it lists must lie inside the file and be a sound
// PNG or device-independent bitmap of an acceptable size.
HeaderKind ReadIco(ByteSource& src, long long& w, long long& h) {
    std::uint32_t count = 0;
    if (!src.Le16(4, count) || count == 0) return HeaderKind::Unreadable;
    const std::uint64_t size = src.Size();
    if (6 + 16ULL * count > size) return HeaderKind::Unreadable;
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::uint64_t entry = 6 + 16ULL * i;
        std::uint32_t length = 0, at = 0;
        if (!src.Le32(entry + 8, length) || !src.Le32(entry + 12, at)) return HeaderKind::Unreadable;
        if (length < 12 || std::uint64_t{at} + length > size) return HeaderKind::Unreadable;
        std::uint8_t head[124] = {};
        const std::size_t n = std::min<std::size_t>(length, sizeof head);
        if (!src.Read(at, head, n)) return HeaderKind::Unreadable;
        static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
        long long iw = 0, ih = 0;
        if (n >= 24 && std::memcmp(head, kPng, 8) == 0) {
            PartSource png(src, at, length);
            if (ReadPng(png, iw, ih) != HeaderKind::Sized || !PictureSizeAcceptable(iw, ih)) {
                return HeaderKind::Unreadable;
            }
        } else {
            const DibLayout dib = ReadDibLayout(std::span<const std::uint8_t>(head, n));
            // The stated height covers the colour rows and the mask rows below
            // them; the colour rows at least must be there.
            if (!dib.sound || dib.compressed || dib.headerAndTable + dib.imageBytes / 2 > length) {
                return HeaderKind::Unreadable;
            }
            iw = dib.width;
            ih = dib.height / 2;
        }
        w = std::max(w, iw);
        h = std::max(h, ih);
    }
    if (w <= 0 || h <= 0) return HeaderKind::Unreadable;
    return HeaderKind::Sized;
}

HeaderKind ReadHeader(ByteSource& src, long long& w, long long& h) {
    std::uint8_t sig[8] = {};
    // Short inputs are matched on as many bytes as they have.
    std::size_t have = 0;
    while (have < sizeof sig && src.Byte(have, sig[have])) ++have;
    static const std::uint8_t kPng[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (have >= 4 && std::memcmp(sig, kPng, 4) == 0) {
        if (have < 8 || std::memcmp(sig, kPng, 8) != 0) return HeaderKind::Unreadable;
        return ReadPng(src, w, h);
    }
    if (have >= 3 && sig[0] == 0xFF && sig[1] == 0xD8 && sig[2] == 0xFF) return ReadJpeg(src, w, h);
    if (have >= 4 && std::memcmp(sig, "GIF8", 4) == 0) return ReadGif(src, w, h);
    if (have >= 2 && sig[0] == 'B' && sig[1] == 'M') return ReadBmp(src, w, h);
    if (have >= 4 && std::memcmp(sig, "II*\0", 4) == 0) return TiffReader(src, false).Read(w, h);
    if (have >= 4 && std::memcmp(sig, "MM\0*", 4) == 0) return TiffReader(src, true).Read(w, h);
    if (have >= 4 && std::memcmp(sig, "\0\0\1\0", 4) == 0) return ReadIco(src, w, h);
    return HeaderKind::Unknown;
}

// Whether the decoder may be given a picture with this header.
bool HeaderAcceptable(ByteSource& src) {
    long long w = 0, h = 0;
    switch (ReadHeader(src, w, h)) {
        case HeaderKind::Unknown: return true;
        case HeaderKind::Unreadable: return false;
        case HeaderKind::Sized: return PictureSizeAcceptable(w, h);
    }
    return false;
}

std::wstring WidePath(const std::string& path) {
    if (path.empty()) return {};
    const int n = MultiByteToWideChar(936, 0, path.data(), static_cast<int>(path.size()),
                                      nullptr, 0);
    if (n <= 0) return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    if (MultiByteToWideChar(936, 0, path.data(), static_cast<int>(path.size()), wide.data(),
                            n) != n) {
        return {};
    }
    // An embedded NUL would silently name another file.
    if (wide.find(L'\0') != std::wstring::npos) return {};
    return wide;
}

bool FileHeaderAcceptable(const std::wstring& path) {
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    FileSource src(file.Get());
    return HeaderAcceptable(src);
}

// Largest picture file read into memory: anything the decoder accepts is far
// smaller, and a huge file must not be loaded just to be refused.
constexpr std::uint64_t kMaxPictureFileBytes = 1ULL << 30;

// The whole file, when its header states a picture we accept. Read into
// memory at once so that the file is not kept open while the picture lives
// (the decoder would otherwise hold it, locked, until the picture goes).
bool ReadAcceptableFile(const std::wstring& path, std::vector<std::uint8_t>& bytes) {
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    FileSource src(file.Get());
    const std::uint64_t size = src.Size();
    if (size == 0 || size > kMaxPictureFileBytes || !HeaderAcceptable(src)) return false;
    bytes.resize(static_cast<std::size_t>(size));
    LARGE_INTEGER start{};
    if (!SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN)) return false;
    std::size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 24));
        if (!ReadFile(file.Get(), bytes.data() + done, want, &got, nullptr) || got == 0) return false;
        done += got;
    }
    return true;
}

}  // namespace

DibLayout ReadDibLayout(std::span<const std::uint8_t> header) {
    DibLayout out;
    SpanSource src(header);
    std::uint32_t headerSize = 0;
    if (!src.Le32(0, headerSize)) return out;
    std::uint32_t planes = 0, bits = 0, compression = 0, colorsUsed = 0;
    std::uint64_t colorEntry = 4;
    if (headerSize == 12) {  // core header: unsigned 16-bit sizes, 3-byte colour entries
        std::uint32_t width = 0, height = 0;
        if (!src.Le16(4, width) || !src.Le16(6, height) || !src.Le16(8, planes) ||
            !src.Le16(10, bits)) {
            return out;
        }
        out.width = width;
        out.height = height;
        colorEntry = 3;
    } else if (headerSize == 40 || headerSize == 52 || headerSize == 56 || headerSize == 108 ||
               headerSize == 124) {
        std::uint32_t width = 0, height = 0;
        if (header.size() < headerSize || !src.Le32(4, width) || !src.Le32(8, height) ||
            !src.Le16(12, planes) || !src.Le16(14, bits) || !src.Le32(16, compression) ||
            !src.Le32(32, colorsUsed)) {
            return out;
        }
        out.width = static_cast<std::int32_t>(width);
        out.height = static_cast<std::int32_t>(height);
        if (out.height < 0) out.height = -out.height;  // top-down rows
    } else {
        return out;
    }
    if (planes != 1 || !PictureSizeAcceptable(out.width, out.height)) return out;
    switch (compression) {
        case BI_RGB:
            if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) {
                return out;
            }
            break;
        case BI_BITFIELDS:
            if (bits != 16 && bits != 32) return out;
            break;
        case BI_RLE8:
        case BI_RLE4:
            if (bits != (compression == BI_RLE8 ? 8u : 4u)) return out;
            out.compressed = true;
            break;
        default: return out;  // embedded JPEG or PNG, or no known compression
    }
    // A palette longer than the depth can index is a lie; above 8 bits an
    // optional table of at most 256 entries may precede the rows.
    std::uint64_t colors = colorsUsed;
    if (bits <= 8) {
        if (colorsUsed > (1u << bits)) return out;
        if (colorsUsed == 0) colors = 1u << bits;
    } else if (colorsUsed > 256) {
        return out;
    }
    out.headerSize = headerSize;
    out.headerAndTable = headerSize + colors * colorEntry;
    if (compression == BI_BITFIELDS && headerSize == 40) out.headerAndTable += 12;  // the masks
    if (!out.compressed) {
        const std::uint64_t stride = ((static_cast<std::uint64_t>(out.width) * bits + 31) / 32) * 4;
        out.imageBytes = stride * static_cast<std::uint64_t>(out.height);
    }
    out.sound = true;
    return out;
}

bool PictureSizeAcceptable(long long width, long long height) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= kMaxPictureArea;
}

bool ReadPictureHeaderSize(std::span<const std::uint8_t> bytes, int& width, int& height) {
    SpanSource src(bytes);
    long long w = 0, h = 0;
    if (ReadHeader(src, w, h) != HeaderKind::Sized) return false;
    width = static_cast<int>(std::min<long long>(w, INT_MAX));
    height = static_cast<int>(std::min<long long>(h, INT_MAX));
    return true;
}

bool PictureTooLarge(std::span<const std::uint8_t> bytes) {
    SpanSource src(bytes);
    return !HeaderAcceptable(src);
}

bool PictureFileTooLarge(const std::string& path) {
    const std::wstring wide = WidePath(path);
    return wide.empty() || !FileHeaderAcceptable(wide);
}

bool ReadPictureFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    const std::wstring wide = WidePath(path);
    return !wide.empty() && ReadAcceptableFile(wide, bytes);
}

// ---------------------------------------------------------------------------
// GdipImage
// ---------------------------------------------------------------------------

GdipImage::GdipImage() = default;

GdipImage::~GdipImage() { Dispose(); }

bool GdipImage::LoadFromData(std::span<const std::uint8_t> bytes) {
    Dispose();
    if (bytes.empty() || !GdiplusSession::Running()) return false;
    if (PictureTooLarge(bytes)) return false;

    block_ = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (block_ == nullptr) return false;
    bool loaded = false;
    if (void* mem = GlobalLock(block_)) {
        std::memcpy(mem, bytes.data(), bytes.size());
        GlobalUnlock(block_);
        IStream* stream = nullptr;
        // The block is ours: the stream must not free it, the image reads from
        // it for as long as it lives (GDI+ holds its own stream reference).
        if (SUCCEEDED(CreateStreamOnHGlobal(block_, FALSE, &stream)) && stream != nullptr) {
            GpImage* image = nullptr;
            if (Gdiplus::DllExports::GdipLoadImageFromStream(stream, &image) == Gdiplus::Ok &&
                image != nullptr) {
                image_ = image;
                loaded = true;
            } else if (image != nullptr) {
                Gdiplus::DllExports::GdipDisposeImage(image);
            }
            stream->Release();
        }
    }
    if (!loaded) {
        GlobalFree(block_);
        block_ = nullptr;
    }
    return loaded;
}

bool GdipImage::LoadFromFile(const std::string& path) {
    Dispose();
    if (!GdiplusSession::Running()) return false;
    std::vector<std::uint8_t> bytes;
    return ReadPictureFile(path, bytes) && LoadFromData(bytes);
}

void GdipImage::Dispose() {
    if (image_ != nullptr) {
        // After the session has ended GDI+ has freed the image itself.
        if (GdiplusSession::Running()) Gdiplus::DllExports::GdipDisposeImage(image_);
        image_ = nullptr;
    }
    if (block_ != nullptr) {
        GlobalFree(block_);
        block_ = nullptr;
    }
}

int GdipImage::Width() const {
    UINT w = 0;
    if (image_ == nullptr || Gdiplus::DllExports::GdipGetImageWidth(image_, &w) != Gdiplus::Ok) {
        return 0;
    }
    return static_cast<int>(w);
}

int GdipImage::Height() const {
    UINT h = 0;
    if (image_ == nullptr || Gdiplus::DllExports::GdipGetImageHeight(image_, &h) != Gdiplus::Ok) {
        return 0;
    }
    return static_cast<int>(h);
}

void GdipImage::RotateFlip(int code) {
    if (image_ == nullptr || code <= 0 || code > 7) return;  // 0: neither rotate nor flip
    Gdiplus::DllExports::GdipImageRotateFlip(image_, static_cast<Gdiplus::RotateFlipType>(code));
}
