#pragma once
// The user's settings, kept in Config.ini next to the executable, and the
// caption list the board's right-button menu is built from.
//
// Settings is read and written from the toolbox thread and the board thread,
// so every field is an atomic int (reads and writes look like plain ints).
// The text font holds a string and is guarded by a mutex instead.

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/font_desc.h"

// Bounds of values read from Config.ini (the reading applies them, beside the
// table of keys in settings.cpp).
constexpr int kCornerRadiusMax = 500;  // also the unsaved cornerRadiusMax
constexpr int kMaxEraserSize = 500;    // pixels: an eraser of a quarter of a 4K screen
constexpr int kMaxFontPoints = 1638;   // the largest size the font dialog offers
constexpr int kPenWidthMin = 0, kPenWidthMax = 50;  // the toolbox's pen width spinner

struct SettingsRecord {
    SettingsRecord();  // the persisted fields start at their first-start values

    // Persisted in Config.ini.
    std::atomic<int> penWidth;
    std::atomic<int> penColor;
    std::atomic<int> brushColor;
    std::atomic<int> brushType;
    std::atomic<int> textColor;
    std::atomic<int> backColor;
    std::atomic<int> crossSize;
    std::atomic<int> eraserSize;
    std::atomic<int> eraserMax;
    std::atomic<int> arrowAngle;
    std::atomic<int> arrowLength;
    std::atomic<int> cornerRadius;
    std::atomic<int> captureDelay;
    // Set on every start, never saved.
    std::atomic<int> cornerRadiusMax{kCornerRadiusMax};
    std::atomic<int> polygonVertices{6};
    std::atomic<int> starVertices{5};
    // The rectangle tool's inner table lines (arrow keys): program-wide, so a
    // new board draws the table the user last set up.
    std::atomic<int> tableRows{0};
    std::atomic<int> tableColumns{0};
};
extern SettingsRecord Settings;

// The text tool's font. One object, shared by threads, so every access takes
// the guard and hands out copies.
class GuardedFont {
public:
    FontSpec Get() const;
    void Set(const FontSpec& spec);

private:
    mutable std::mutex guard_;
    FontSpec spec_;
};
extern GuardedFont TextFont;

FontSpec GetTextFont();
void SetTextFont(const FontSpec& spec);

// The quick-save folder setting (全局 / 快速保存目录), shared like the font.
std::string GetQuickSaveFolder();
void SetQuickSaveFolder(const std::string& folder);

// Plain copy of the persisted values (what the file holds), used to move them
// between the file, the shared record and the tests. A default-made copy holds
// the first-start values; the text font is FontSpec's own default.
struct SettingsValues {
    SettingsValues();

    int penWidth;
    int penColor;
    int brushColor;
    int brushType;
    int textColor;
    int backColor;
    int crossSize;
    int eraserSize;
    int eraserMax;
    int arrowAngle;
    int arrowLength;
    int cornerRadius;
    int captureDelay;
    FontSpec textFont;
    // Where Ctrl+S on the board saves (GBK); empty: the user's Pictures
    // folder's "画板".
    std::string quickSaveFolder;

    bool operator==(const SettingsValues&) const = default;
};

// The values a first start (no Config.ini) uses.
SettingsValues MissingFileDefaults(const FontSpec& currentFont);

SettingsValues CurrentSettingsValues();             // Settings + TextFont
void StoreSettingsValues(const SettingsValues& v);  // into Settings + TextFont

// ---- the INI rules (pure) ----

// Decimal integer: optional leading blanks, optional sign, digits; anything
// after the digits is ignored; no digits gives 0. Values up to 4294967295 keep
// their 32-bit pattern (so an unsigned colour reads as the same COLORREF);
// larger magnitudes saturate.
int ParseIniInteger(std::string_view text);
// A boolean is true only when the text is exactly "1".
bool ParseIniBool(std::string_view text);
// GBK text cut to at most `maxBytes` bytes, never between the two bytes of a
// character (a lead byte is 0x81..0xFE).
std::string CutGbk(std::string_view text, std::size_t maxBytes);
// The text group is taken only with a face name and a size above 0.
bool AcceptTextGroup(std::string_view faceName, int size);

// Reads one key; `readDefault` is nullptr when the key has no read default.
using IniGetter =
    std::function<std::string(const char* section, const char* key, const char* readDefault)>;
// Applies the reading rules of an existing Config.ini, in the file's key order.
// `current` supplies the text font that stays when the text group is refused.
SettingsValues ReadSettingsValues(const IniGetter& get, const FontSpec& current);

struct IniEntry {
    const char* section;
    const char* key;
    std::string value;
};
// Every persisted key with its text, in the order they are written.
std::vector<IniEntry> SettingsIniEntries(const SettingsValues& v);

// ---- the file ----

// Config.ini in the executable's folder unless a test pointed elsewhere.
std::string ConfigPath();
void SetConfigPath(const std::string& path);  // empty: back to the default

// Fills Settings and TextFont from Config.ini; a missing file gets the
// defaults and is created.
void LoadSettings();
// Writes every persisted key. False when the file could not be written; the
// values in memory stay as they are either way.
bool SaveSettings();

// ---- menu captions ----

// Two parallel arrays: caption and command id (0 is a separator).
struct MenuItemListType {
    std::vector<std::string> captions;
    std::vector<int> ids;
};
// Filled once on the main thread at start-up, before any board thread exists;
// read-only afterwards.
extern MenuItemListType MenuItemList;

void AddMenuItem(const std::string& caption, int id);
