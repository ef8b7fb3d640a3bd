#include "settings/settings.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <iterator>
#include <type_traits>
#include <variant>

#include "capture/region_geometry.h"
#include "graphics/canvas.h"
#include "graphics/gdip_image.h"

FontSpec GuardedFont::Get() const {
    std::lock_guard<std::mutex> lock(guard_);
    return spec_;
}

void GuardedFont::Set(const FontSpec& spec) {
    std::lock_guard<std::mutex> lock(guard_);
    spec_ = spec;
}

FontSpec GetTextFont() { return TextFont.Get(); }
void SetTextFont(const FontSpec& spec) { TextFont.Set(spec); }

namespace {
std::mutex g_quickSaveGuard;
std::string g_quickSaveFolder;
}  // namespace

std::string GetQuickSaveFolder() {
    std::lock_guard<std::mutex> lock(g_quickSaveGuard);
    return g_quickSaveFolder;
}

void SetQuickSaveFolder(const std::string& folder) {
    std::lock_guard<std::mutex> lock(g_quickSaveGuard);
    g_quickSaveFolder = folder;
}

namespace {

// Section and key names exactly as Config.ini spells them (GBK in the binary).
constexpr const char* kSectionAttributes = "属性";
constexpr const char* kSectionText = "文字";
constexpr const char* kSectionTools = "工具";
constexpr const char* kSectionGlobal = "全局";

// A number of the settings: where it lives in the plain copy and in the
// shared record, and its value on a first start.
// A value read from the file is bounded to [low, high], what the program can
// honour; every value the program itself writes lies inside, so a value
// written back never changes.
struct NumberField {
    int SettingsValues::*value;
    std::atomic<int> SettingsRecord::*shared;
    int firstStart;
    int low = INT_MIN;
    int high = INT_MAX;
    // For a value that is no range (a colour): maps what was read onto one
    // the program can honour.
    int (*bound)(int) = nullptr;
};
// A field of the text font. The font's keys form the text group: they are
// taken together or not at all (see AcceptTextGroup); a first start writes
// the font in force.
struct FontNumberField {
    int FontSpec::*value;
    int low = INT_MIN;
    int high = INT_MAX;
};
struct FontFlagField {
    bool FontSpec::*value;
};
struct FontTextField {
    std::string FontSpec::*value;
    std::size_t maxBytes;  // cut there, never inside a character (see CutGbk)
};
// A text of the settings that is not the font's (a folder).
struct TextField {
    std::string SettingsValues::*value;
    std::size_t maxBytes;  // cut there, never inside a character
};
using SettingField =
    std::variant<NumberField, FontNumberField, FontFlagField, FontTextField, TextField>;

struct SettingKey {
    const char* section;
    const char* key;
    const char* readDefault;  // what a missing key reads as; nullptr: nothing (reads as 0)
    SettingField field;
};

// A colour the program draws with is a plain RGB COLORREF, as the colour
// dialog and the eyedropper give it: a top byte would make GDI take it for a
// palette index, so only the low three bytes are kept.
constexpr int RgbColor(int value) { return value & 0xFFFFFF; }
// The text background is such a colour or none, which is written as the top
// byte set; any top byte reads as none.
constexpr int kNoBackground = static_cast<int>(0xFF000000u);
constexpr int TextBackground(int value) { return (value & ~0xFFFFFF) != 0 ? kNoBackground : value; }

bool InTextGroup(const SettingKey& k) {
    return !std::holds_alternative<NumberField>(k.field) &&
           !std::holds_alternative<TextField>(k.field);
}

// Every persisted key, in the file's order (the order they are written and read).
// The text group starts with the face name and the size, which decide whether
// the group is taken.
constexpr SettingKey kSettingKeys[] = {
    {kSectionAttributes, "画笔粗细", "0",
     NumberField{&SettingsValues::penWidth, &SettingsRecord::penWidth, 0,
                 // The toolbox's pen width spinner's range.
                 kPenWidthMin, kPenWidthMax}},
    {kSectionAttributes, "画笔颜色", "16711680",
     NumberField{&SettingsValues::penColor, &SettingsRecord::penColor, 0xFF0000, INT_MIN, INT_MAX,
                 &RgbColor}},
    {kSectionAttributes, "画刷颜色", "16777215",
     NumberField{&SettingsValues::brushColor, &SettingsRecord::brushColor, 0xFFFFFF, INT_MIN,
                 INT_MAX, &RgbColor}},
    {kSectionAttributes, "刷子类型", "0",
     NumberField{&SettingsValues::brushType, &SettingsRecord::brushType, 0,
                 // Hollow, the six hatches, solid.
                 kBrushHollow, kBrushSolid}},
    {kSectionText, "文字颜色", "0",
     NumberField{&SettingsValues::textColor, &SettingsRecord::textColor, 0, INT_MIN, INT_MAX,
                 &RgbColor}},
    // No colour (the top byte set) on a first start; a missing key reads as black.
    {kSectionText, "背景色", nullptr,
     NumberField{&SettingsValues::backColor, &SettingsRecord::backColor, kNoBackground, INT_MIN,
                 INT_MAX, &TextBackground}},
    // A font's name holds at most LF_FACESIZE - 1 bytes; a longer one would be
    // cut where the font is made, perhaps inside a character.
    {kSectionText, "字体名称", nullptr, FontTextField{&FontSpec::faceName, LF_FACESIZE - 1}},
    // Points; the font dialog's own upper limit. A size of 0 or less still
    // refuses the whole group (see AcceptTextGroup), so no lower bound here.
    {kSectionText, "字体大小", nullptr, FontNumberField{&FontSpec::size, INT_MIN, kMaxFontPoints}},
    {kSectionText, "文字加粗", nullptr, FontFlagField{&FontSpec::bold}},
    {kSectionText, "文字倾斜", nullptr, FontFlagField{&FontSpec::italic}},
    {kSectionText, "删除线", nullptr, FontFlagField{&FontSpec::strikeout}},
    {kSectionText, "下划线", nullptr, FontFlagField{&FontSpec::underline}},
    // Tenths of a degree: one turn either way.
    {kSectionText, "文字角度", nullptr, FontNumberField{&FontSpec::angle, -3600, 3600}},
    {kSectionTools, "十字星大小", "15",
     NumberField{&SettingsValues::crossSize, &SettingsRecord::crossSize, 15,
                 // Half-length in pixels; beyond the largest board side it only costs time.
                 0, kMaxPictureSide}},
    {kSectionTools, "橡皮擦大小", "15",
     NumberField{&SettingsValues::eraserSize, &SettingsRecord::eraserSize, 15,
                 // The wheel keeps it within 1..最大橡皮擦; a file may not go beyond either.
                 1, kMaxEraserSize}},
    {kSectionTools, "最大橡皮擦", "50",
     NumberField{&SettingsValues::eraserMax, &SettingsRecord::eraserMax, 50,
                 1, kMaxEraserSize}},
    {kSectionTools, "箭头角度", "20",
     NumberField{&SettingsValues::arrowAngle, &SettingsRecord::arrowAngle, 20,
                 // Degrees between the shaft and each barb.
                 0, 180}},
    {kSectionTools, "圆角半径", "15",
     NumberField{&SettingsValues::cornerRadius, &SettingsRecord::cornerRadius, 15,
                 // What + / - and the wheel keep it within (cornerRadiusMax).
                 0, kCornerRadiusMax}},
    {kSectionTools, "箭头长度", "20",
     NumberField{&SettingsValues::arrowLength, &SettingsRecord::arrowLength, 20,
                 // Pixels; a barb is never longer than the shaft anyway.
                 0, kMaxPictureSide}},
    // A missing key is no wait at all; a first start waits 50 ms.
    {kSectionGlobal, "截屏延时", nullptr,
     NumberField{&SettingsValues::captureDelay, &SettingsRecord::captureDelay, 50,
                 // Milliseconds; 0 (or less, in older files) is no wait.
                 0, kMaxCaptureDelayMs}},
    // Empty (a first start, or a file without it): the Pictures folder's "画板".
    {kSectionGlobal, "快速保存目录", nullptr,
     TextField{&SettingsValues::quickSaveFolder, MAX_PATH - 1}},
};

// GetPrivateProfileStringA cuts longer values to this size.
constexpr DWORD kIniBufferSize = 10240;

std::mutex g_pathGuard;
std::string g_configPath;  // empty: the executable's folder

// Serialises whole saves: the board thread and the toolbox may both save.
std::mutex g_saveGuard;

std::string ExecutableFolder() {
    std::string buffer(MAX_PATH, '\0');
    for (;;) {
        DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n == 0) return std::string();
        if (n < buffer.size()) {
            buffer.resize(n);
            break;
        }
        if (buffer.size() >= 32768) return std::string();
        buffer.resize(buffer.size() * 2);
    }
    std::size_t slash = buffer.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : buffer.substr(0, slash);
}

std::string ReadIniText(const std::string& path, const char* section, const char* key,
                        const char* readDefault) {
    std::string buffer(kIniBufferSize, '\0');
    DWORD n = GetPrivateProfileStringA(section, key, readDefault ? readDefault : "",
                                       buffer.data(), kIniBufferSize, path.c_str());
    if (n >= kIniBufferSize) n = kIniBufferSize - 1;
    buffer.resize(n);
    return buffer;
}

bool IsExistingFile(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::string CutGbk(std::string_view text, std::size_t maxBytes) {
    std::size_t end = 0;
    while (end < text.size()) {
        const auto lead = static_cast<unsigned char>(text[end]);
        const std::size_t length = lead >= 0x81 && lead <= 0xFE ? 2 : 1;
        if (end + length > maxBytes) break;
        end += length;
    }
    return std::string(text.substr(0, std::min(end, text.size())));
}

SettingsRecord::SettingsRecord() {
    for (const SettingKey& k : kSettingKeys) {
        if (const auto* n = std::get_if<NumberField>(&k.field)) (this->*n->shared) = n->firstStart;
    }
}

SettingsValues::SettingsValues() {
    for (const SettingKey& k : kSettingKeys) {
        if (const auto* n = std::get_if<NumberField>(&k.field)) this->*n->value = n->firstStart;
    }
}

// Defined after the table they are made from.
SettingsRecord Settings;
GuardedFont TextFont;
MenuItemListType MenuItemList;

// ---- values ----

SettingsValues MissingFileDefaults(const FontSpec& currentFont) {
    SettingsValues v;  // made with the first-start values
    v.textFont = currentFont;
    return v;
}

SettingsValues CurrentSettingsValues() {
    SettingsValues v;
    for (const SettingKey& k : kSettingKeys) {
        if (const auto* n = std::get_if<NumberField>(&k.field)) v.*n->value = Settings.*n->shared;
    }
    v.textFont = GetTextFont();
    v.quickSaveFolder = GetQuickSaveFolder();
    return v;
}

void StoreSettingsValues(const SettingsValues& v) {
    for (const SettingKey& k : kSettingKeys) {
        if (const auto* n = std::get_if<NumberField>(&k.field)) Settings.*n->shared = v.*n->value;
    }
    SetTextFont(v.textFont);
    SetQuickSaveFolder(v.quickSaveFolder);
}

// ---- INI rules ----

int ParseIniInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Accumulate with a ceiling so that any number of digits is harmless.
    constexpr std::uint64_t kCeiling = 0x1'0000'0000ull;  // first value past 32 bits
    std::uint64_t magnitude = 0;
    bool anyDigit = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        anyDigit = true;
        if (magnitude < kCeiling) magnitude = magnitude * 10 + static_cast<unsigned>(text[i] - '0');
    }
    if (!anyDigit) return 0;
    if (negative) {
        if (magnitude >= 0x8000'0000ull) return INT_MIN;
        return -static_cast<int>(magnitude);
    }
    if (magnitude >= kCeiling) return INT_MAX;
    return static_cast<int>(static_cast<std::uint32_t>(magnitude));
}

bool ParseIniBool(std::string_view text) { return text == "1"; }

bool AcceptTextGroup(std::string_view faceName, int size) { return !faceName.empty() && size > 0; }

namespace {

// Reads one key into the plain copy (font keys into `font`).
void ReadKey(const SettingKey& k, const IniGetter& get, SettingsValues& v, FontSpec& font) {
    const std::string text = get(k.section, k.key, k.readDefault);
    std::visit(
        [&](const auto& field) {
            using Field = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, NumberField>) {
                const int value = std::clamp(ParseIniInteger(text), field.low, field.high);
                v.*field.value = field.bound ? field.bound(value) : value;
            } else if constexpr (std::is_same_v<Field, FontNumberField>) {
                font.*field.value = std::clamp(ParseIniInteger(text), field.low, field.high);
            } else if constexpr (std::is_same_v<Field, FontFlagField>) {
                font.*field.value = ParseIniBool(text);
            } else if constexpr (std::is_same_v<Field, TextField>) {
                v.*field.value = CutGbk(text, field.maxBytes);
            } else {
                font.*field.value = CutGbk(text, field.maxBytes);
            }
        },
        k.field);
}

std::string KeyText(const SettingKey& k, const SettingsValues& v) {
    return std::visit(
        [&](const auto& field) -> std::string {
            using Field = std::decay_t<decltype(field)>;
            if constexpr (std::is_same_v<Field, NumberField>) {
                return std::to_string(v.*field.value);
            } else if constexpr (std::is_same_v<Field, FontNumberField>) {
                return std::to_string(v.textFont.*field.value);
            } else if constexpr (std::is_same_v<Field, FontFlagField>) {
                return v.textFont.*field.value ? "1" : "0";
            } else if constexpr (std::is_same_v<Field, TextField>) {
                return v.*field.value;
            } else {
                return v.textFont.*field.value;
            }
        },
        k.field);
}

}  // namespace

SettingsValues ReadSettingsValues(const IniGetter& get, const FontSpec& current) {
    SettingsValues v;
    v.textFont = current;
    const std::size_t count = std::size(kSettingKeys);
    for (std::size_t i = 0; i < count; ++i) {
        if (!InTextGroup(kSettingKeys[i])) {
            ReadKey(kSettingKeys[i], get, v, v.textFont);
            continue;
        }
        // The text group: its first two keys (face name and size) decide
        // whether the rest is read at all.
        std::size_t end = i;
        while (end < count && InTextGroup(kSettingKeys[end])) ++end;
        FontSpec font = current;
        std::size_t next = i;
        for (; next < end && next < i + 2; ++next) ReadKey(kSettingKeys[next], get, v, font);
        if (AcceptTextGroup(font.faceName, font.size)) {
            for (; next < end; ++next) ReadKey(kSettingKeys[next], get, v, font);
            v.textFont = font;
        }
        i = end - 1;
    }
    return v;
}

std::vector<IniEntry> SettingsIniEntries(const SettingsValues& v) {
    std::vector<IniEntry> entries;
    entries.reserve(std::size(kSettingKeys));
    for (const SettingKey& k : kSettingKeys) entries.push_back({k.section, k.key, KeyText(k, v)});
    return entries;
}

// ---- the file ----

std::string ConfigPath() {
    std::lock_guard<std::mutex> lock(g_pathGuard);
    if (!g_configPath.empty()) return g_configPath;
    return ExecutableFolder() + "\\Config.ini";
}

void SetConfigPath(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_pathGuard);
    g_configPath = path;
}

void LoadSettings() {
    const std::string path = ConfigPath();
    if (!IsExistingFile(path)) {
        StoreSettingsValues(MissingFileDefaults(GetTextFont()));
        SaveSettings();  // a folder we cannot write to leaves us on the defaults
        return;
    }
    // The whole record is worked out first and stored in one go, so no reader
    // ever sees a half-loaded mixture.
    IniGetter get = [&path](const char* section, const char* key, const char* readDefault) {
        return ReadIniText(path, section, key, readDefault);
    };
    StoreSettingsValues(ReadSettingsValues(get, GetTextFont()));
}

bool SaveSettings() {
    std::lock_guard<std::mutex> lock(g_saveGuard);
    const std::string path = ConfigPath();
    // A folder of that name is not our file, and a file the user marked
    // read-only is not ours to change (some file systems would let an
    // administrator write through the mark; the user's intent still stands).
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY))) {
        return false;
    }
    bool allWritten = true;
    for (const IniEntry& entry : SettingsIniEntries(CurrentSettingsValues())) {
        if (!WritePrivateProfileStringA(entry.section, entry.key, entry.value.c_str(),
                                        path.c_str())) {
            allWritten = false;
            // A file or folder that refuses the first key refuses the rest too;
            // stop rather than hammering it twenty times.
            break;
        }
    }
    return allWritten;
}

// ---- menu captions ----

void AddMenuItem(const std::string& caption, int id) {
    MenuItemList.captions.push_back(caption);
    MenuItemList.ids.push_back(id);
}
