#include "app/settings.h"

#include <windows.h>

#include <climits>
#include <cstdint>

SettingsRecord Settings;
GuardedFont TextFont;
MenuItemListType MenuItemList;

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

// Section and key names exactly as Config.ini spells them (GBK in the binary).
constexpr const char* kSectionAttributes = "属性";
constexpr const char* kSectionText = "文字";
constexpr const char* kSectionTools = "工具";
constexpr const char* kSectionGlobal = "全局";

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

// ---- values ----

SettingsValues MissingFileDefaults(const FontSpec& currentFont) {
    SettingsValues v;  // the member initialisers are the first-start values
    v.textFont = currentFont;
    return v;
}

SettingsValues CurrentSettingsValues() {
    SettingsValues v;
    v.penWidth = Settings.penWidth;
    v.penColor = Settings.penColor;
    v.brushColor = Settings.brushColor;
    v.brushType = Settings.brushType;
    v.textColor = Settings.textColor;
    v.backColor = Settings.backColor;
    v.crossSize = Settings.crossSize;
    v.eraserSize = Settings.eraserSize;
    v.eraserMax = Settings.eraserMax;
    v.arrowAngle = Settings.arrowAngle;
    v.arrowLength = Settings.arrowLength;
    v.cornerRadius = Settings.cornerRadius;
    v.captureDelay = Settings.captureDelay;
    v.textFont = GetTextFont();
    return v;
}

void StoreSettingsValues(const SettingsValues& v) {
    Settings.penWidth = v.penWidth;
    Settings.penColor = v.penColor;
    Settings.brushColor = v.brushColor;
    Settings.brushType = v.brushType;
    Settings.textColor = v.textColor;
    Settings.backColor = v.backColor;
    Settings.crossSize = v.crossSize;
    Settings.eraserSize = v.eraserSize;
    Settings.eraserMax = v.eraserMax;
    Settings.arrowAngle = v.arrowAngle;
    Settings.arrowLength = v.arrowLength;
    Settings.cornerRadius = v.cornerRadius;
    Settings.captureDelay = v.captureDelay;
    SetTextFont(v.textFont);
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

SettingsValues ReadSettingsValues(const IniGetter& get, const FontSpec& current) {
    auto integer = [&](const char* section, const char* key, const char* readDefault) {
        return ParseIniInteger(get(section, key, readDefault));
    };
    SettingsValues v;
    v.penWidth = integer(kSectionAttributes, "画笔粗细", "0");
    v.penColor = integer(kSectionAttributes, "画笔颜色", "16711680");
    v.brushColor = integer(kSectionAttributes, "画刷颜色", "16777215");
    v.brushType = integer(kSectionAttributes, "刷子类型", "0");
    v.textColor = integer(kSectionText, "文字颜色", "0");
    v.backColor = integer(kSectionText, "背景色", nullptr);

    v.textFont = current;
    std::string faceName = get(kSectionText, "字体名称", nullptr);
    int size = integer(kSectionText, "字体大小", nullptr);
    if (AcceptTextGroup(faceName, size)) {
        v.textFont.faceName = faceName;
        v.textFont.size = size;
        v.textFont.bold = ParseIniBool(get(kSectionText, "文字加粗", nullptr));
        v.textFont.italic = ParseIniBool(get(kSectionText, "文字倾斜", nullptr));
        v.textFont.strikeout = ParseIniBool(get(kSectionText, "删除线", nullptr));
        v.textFont.underline = ParseIniBool(get(kSectionText, "下划线", nullptr));
        v.textFont.angle = integer(kSectionText, "文字角度", nullptr);
    }

    v.crossSize = integer(kSectionTools, "十字星大小", "15");
    v.eraserSize = integer(kSectionTools, "橡皮擦大小", "15");
    v.eraserMax = integer(kSectionTools, "最大橡皮擦", "50");
    v.arrowAngle = integer(kSectionTools, "箭头角度", "20");
    v.arrowLength = integer(kSectionTools, "箭头长度", "20");
    v.cornerRadius = integer(kSectionTools, "圆角半径", "15");
    v.captureDelay = integer(kSectionGlobal, "截屏延时", nullptr);
    return v;
}

std::vector<IniEntry> SettingsIniEntries(const SettingsValues& v) {
    auto number = [](int value) { return std::to_string(value); };
    auto flag = [](bool value) { return std::string(value ? "1" : "0"); };
    const FontSpec& f = v.textFont;
    return {
        {kSectionAttributes, "画笔粗细", number(v.penWidth)},
        {kSectionAttributes, "画笔颜色", number(v.penColor)},
        {kSectionAttributes, "画刷颜色", number(v.brushColor)},
        {kSectionAttributes, "刷子类型", number(v.brushType)},
        {kSectionText, "文字颜色", number(v.textColor)},
        {kSectionText, "背景色", number(v.backColor)},
        {kSectionText, "字体名称", f.faceName},
        {kSectionText, "字体大小", number(f.size)},
        {kSectionText, "文字加粗", flag(f.bold)},
        {kSectionText, "文字倾斜", flag(f.italic)},
        {kSectionText, "删除线", flag(f.strikeout)},
        {kSectionText, "下划线", flag(f.underline)},
        {kSectionText, "文字角度", number(f.angle)},
        {kSectionTools, "十字星大小", number(v.crossSize)},
        {kSectionTools, "橡皮擦大小", number(v.eraserSize)},
        {kSectionTools, "最大橡皮擦", number(v.eraserMax)},
        {kSectionTools, "箭头角度", number(v.arrowAngle)},
        {kSectionTools, "圆角半径", number(v.cornerRadius)},
        {kSectionTools, "箭头长度", number(v.arrowLength)},
        {kSectionGlobal, "截屏延时", number(v.captureDelay)},
    };
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
