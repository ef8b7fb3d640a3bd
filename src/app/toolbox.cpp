#include "app/toolbox.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <span>

#include "../../res/icon_ids.h"
#include "app/color_picker.h"
#include "app/docking.h"
#include "app/globals.h"
#include "app/hotkey.h"
#include "app/hotkey_notice.h"
#include "app/palette.h"
#include "app/toolbox_layout.h"
#include "board/board.h"
#include "board/board_state.h"
#include "board/commands.h"
#include "capture/picture_window.h"
#include "capture/region_geometry.h"
#include "capture/region_select.h"
#include "graphics/canvas.h"
#include "graphics/dpi.h"
#include "graphics/gdip_image.h"
#include "graphics/monitors.h"
#include "settings/settings.h"
#include "window/focus.h"
#include "window/menus.h"
#include "window/owner_thread.h"
#include "window/raw_window.h"

ToolTip PaletteTips;
std::atomic<int> ToolboxPage{kPagePen};

const char* const kBrushTypeNames[8] = {"空",       "横线",     "竖线",     "左斜线",
                                        "右斜线",   "直交叉线", "斜交叉线", "颜色"};

namespace {

constexpr const char* kToolboxClass = "DrawBoardToolbox";
constexpr const char* kTitleStripClass = "DrawBoardTitleStrip";
constexpr const char* kPaletteClass = "DrawBoardPalette";
// Sizes at 96 DPI; the toolbox scales them to its monitor's DPI.
constexpr int kIconSize = 20;
constexpr int kTipMaxWidth = 300;  // wide enough for every tip; lines break at "\r\n"
constexpr int kSpinWidth = 15;
constexpr int kFontHeight = 12;
constexpr int kBrushListDropHeight = 200;
constexpr int kPenWidthDigits = 3;
// How long the teardown waits for a board to close before it goes on.
constexpr DWORD kBoardGoneTimeoutMs = 5000;

void EndProcessForReal(UINT code) { ExitProcess(code); }
EndProcessRoutine g_endProcess = &EndProcessForReal;

bool PlatformFontDialog(HWND owner, FontSpec& font, COLORREF color) {
    LOGFONTA lf{};
    HDC screen = GetDC(nullptr);
    const int dpi = screen != nullptr ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen != nullptr) ReleaseDC(nullptr, screen);
    lf.lfHeight = -MulDiv(font.size, dpi, 72);
    lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
    lf.lfItalic = font.italic ? 1 : 0;
    lf.lfUnderline = font.underline ? 1 : 0;
    lf.lfStrikeOut = font.strikeout ? 1 : 0;
    lf.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(lf.lfFaceName, font.faceName.c_str(), LF_FACESIZE);
    CHOOSEFONTA cf{};
    cf.lStructSize = sizeof(cf);
    cf.hwndOwner = owner;
    cf.lpLogFont = &lf;
    cf.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT | CF_EFFECTS;
    cf.rgbColors = color & 0xFFFFFF;
    if (!ChooseFontA(&cf)) return false;
    font.faceName = lf.lfFaceName;
    font.size = cf.iPointSize > 0 ? cf.iPointSize / 10 : MulDiv(-lf.lfHeight, 72, dpi);
    font.bold = lf.lfWeight >= FW_BOLD;
    font.italic = lf.lfItalic != 0;
    font.underline = lf.lfUnderline != 0;
    font.strikeout = lf.lfStrikeOut != 0;
    return true;
}
FontDialogRoutine g_fontDialog = &PlatformFontDialog;

// The bytes of an embedded picture (RCDATA), empty when it is missing.
std::span<const std::uint8_t> ResourceBytes(int id) {
    HMODULE module = GetModuleHandleA(nullptr);
    HRSRC info = FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(10));  // RT_RCDATA
    if (info == nullptr) return {};
    HGLOBAL loaded = LoadResource(module, info);
    if (loaded == nullptr) return {};
    const void* data = LockResource(loaded);
    const DWORD size = SizeofResource(module, info);
    if (data == nullptr || size == 0) return {};
    return {static_cast<const std::uint8_t*>(data), size};
}

bool SameThreadAs(HWND window) {
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// Topmost or not, without waiting when the window belongs to another thread.
void SetTopmost(HWND window, bool topmost) {
    if (window == nullptr || !IsWindow(window)) return;
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    if (!SameThreadAs(window)) flags |= SWP_ASYNCWINDOWPOS;
    SetWindowPos(window, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags);
}

LRESULT CALLBACK ToolboxProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TitleStripProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK PaletteProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK PenEditProc(HWND, UINT, WPARAM, LPARAM);

class Toolbox {
public:
    Toolbox();
    ~Toolbox();

    HWND Window() const { return window_; }
    void Bind(HWND window) {
        window_ = window;
        c_.toolbox = window;
    }
    const ToolboxControls& Controls() const { return c_; }

    void OnCreate(HWND window);
    void Created();
    void Destroyed();
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleTitleStrip(HWND strip, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandlePalette(HWND palette, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandlePenEdit(HWND edit, UINT message, WPARAM wParam, LPARAM lParam);

    void ShowPage(int page);
    void SelectBrushType(int index);
    // Lays the whole toolbox out again for `dpi` (the monitor it is on now).
    void ChangeDpi(int dpi);

private:
    HWND MakeChild(const char* cls, const char* text, DWORD style, int id, int x, int y, int w,
                   int h);
    void ApplyLayout(const ToolboxLayout& layout);
    ToolboxLayout LayoutNow(int page, int brushType) const {
        return ComputeToolboxLayout(page, brushType, paletteTop_, paletteHeight_, dpi_);
    }
    int Px(int value) const { return ScaleForDpi(value, dpi_); }
    void MakeFont();
    void FitBrushListField();
    void DrawTitle();
    void PlaceFixedControls();
    void BuildPalette();
    void Fit(int height);
    void OnPenWidthChanged();
    void OnPenWheel(int delta);
    void OnBrushTypeChanged();
    void OnPicker1Changed();
    void OnPicker2Changed();
    COLORREF BackgroundColor() const;
    void DrawIcons(bool addTips);

    HWND window_ = nullptr;
    ToolboxControls c_;
    HFONT font_ = nullptr;
    HBRUSH background_ = nullptr;
    Canvas titleCanvas_;
    WNDPROC previousPaletteProc_ = nullptr;
    WNDPROC previousEditProc_ = nullptr;
    MouseHookThread hook_;  // runs the hook; it only posts the pointer here
    bool hotkeyRegistered_ = false;
    HCURSOR stripCursor_ = nullptr;
    bool fillingPage_ = false;  // values put in by the page itself are no user change
    bool trackingLeave_ = false;
    // The palette at 96 DPI: where it starts and how high it is.
    int paletteTop_ = kPaletteTemplateRect.top;
    int paletteHeight_ = kPaletteTemplateRect.bottom - kPaletteTemplateRect.top;
    int dpi_ = kBaseDpi;
};

// The one toolbox of the process (main thread).
Toolbox* g_toolbox = nullptr;

Toolbox::Toolbox() { background_ = CreateSolidBrush(kToolboxBackgroundColor); }

Toolbox::~Toolbox() {
    if (font_ != nullptr) DeleteObject(font_);  // the controls that used it are gone
    if (background_ != nullptr) DeleteObject(background_);
}

COLORREF Toolbox::BackgroundColor() const {
    // The palette takes the colour the toolbox window really paints with.
    HBRUSH brush = reinterpret_cast<HBRUSH>(GetClassLongPtrA(window_, GCLP_HBRBACKGROUND));
    LOGBRUSH lb{};
    if (brush != nullptr && GetObjectA(brush, sizeof(lb), &lb) == sizeof(lb)) return lb.lbColor;
    return kToolboxBackgroundColor;
}

HWND Toolbox::MakeChild(const char* cls, const char* text, DWORD style, int id, int x, int y,
                        int w, int h) {
    HWND child = CreateWindowExA(0, cls, text, WS_CHILD | style, x, y, w, h, window_,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                                 GetModuleHandleA(nullptr), nullptr);
    if (child != nullptr && font_ != nullptr)
        SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), FALSE);
    return child;
}

void Toolbox::OnCreate(HWND window) {
    Bind(window);
    // The monitor the toolbox is made on decides its scale from the start.
    dpi_ = DpiOfWindow(window);
    MakeFont();

    // The controls at their template places; Created() moves what it recomputes.
    const RECT t = ScaleRectForDpi(kTitleStripRect, dpi_);
    c_.titleStrip = MakeChild(kTitleStripClass, "", WS_VISIBLE, kIdTitleStrip, t.left, t.top,
                              t.right - t.left, t.bottom - t.top);
    const RECT p = ScaleRectForDpi(kPaletteTemplateRect, dpi_);
    c_.palette = MakeChild(kPaletteClass, "", WS_VISIBLE, kIdPalette, p.left, p.top,
                           p.right - p.left, p.bottom - p.top);
    static const char* const kRadioCaptions[3] = {"画笔", "填充", "文字"};
    for (int i = 0; i < 3; ++i) {
        DWORD style = WS_VISIBLE | BS_AUTORADIOBUTTON | BS_PUSHLIKE | BS_MULTILINE | BS_CENTER |
                      BS_VCENTER | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        c_.radio[i] = MakeChild("BUTTON", kRadioCaptions[i], style, kIdRadioPen + i,
                                Px(kRadioLefts[i]), Px(234), Px(kRadioWidth), Px(kRadioHeight));
    }
    c_.penEdit = MakeChild("EDIT", "0", WS_VISIBLE | WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL |
                                            WS_TABSTOP,
                           kIdPenEdit, Px(kPenEditLeft), Px(288),
                           Px(kPenEditWidth) - Px(kSpinWidth), Px(kPenEditHeight));
    c_.penSpin = MakeChild(UPDOWN_CLASSA, "",
                           WS_VISIBLE | UDS_SETBUDDYINT | UDS_ARROWKEYS | UDS_NOTHOUSANDS,
                           kIdPenSpin, Px(kPenEditLeft + kPenEditWidth) - Px(kSpinWidth), Px(288),
                           Px(kSpinWidth), Px(kPenEditHeight));
    // Three digits hold every sensible width; longer input could only make a
    // pen wider than any screen or overflow into a negative width.
    SendMessageA(c_.penEdit, EM_LIMITTEXT, kPenWidthDigits, 0);
    SendMessageA(c_.penSpin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(c_.penEdit), 0);
    SendMessageA(c_.penSpin, UDM_SETRANGE32, kPenWidthMin, kPenWidthMax);
    previousEditProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        c_.penEdit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PenEditProc)));

    c_.brushList = MakeChild("COMBOBOX", "", WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL |
                                                 WS_TABSTOP,
                             kIdBrushList, Px(kBrushListLeft), Px(312), Px(kBrushListWidth),
                             Px(kBrushListDropHeight));
    for (const char* name : kBrushTypeNames)
        SendMessageA(c_.brushList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
    FitBrushListField();

    c_.picker1 = CreateColorPicker(window_, kIdPicker1, Px(kPickerLeft), Px(336), Px(kPickerWidth),
                                   Px(kPickerHeight),
                                   static_cast<COLORREF>(Settings.penColor.load()), false);
    c_.picker2 = CreateColorPicker(window_, kIdPicker2, Px(kPickerLeft), Px(360), Px(kPickerWidth),
                                   Px(kPickerHeight),
                                   static_cast<COLORREF>(Settings.backColor.load()), true);
    DrawTitle();
}

void Toolbox::MakeFont() {
    HFONT made = CreateFontA(-Px(kFontHeight), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             GB2312_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                             DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "宋体");
    if (made == nullptr) return;  // the controls keep the font they have
    HFONT old = font_;
    font_ = made;
    // Controls that exist already take the new font before the old one goes.
    for (HWND child : {c_.radio[0], c_.radio[1], c_.radio[2], c_.penEdit, c_.brushList})
        if (child != nullptr) SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(font_), TRUE);
    if (old != nullptr) DeleteObject(old);
}

void Toolbox::FitBrushListField() {
    // The closed list is as high as the template says. The platform's border
    // around the selection field is measured, not assumed: adjust and look again.
    const int wanted = Px(kBrushListHeight);
    int fieldHeight = static_cast<int>(
        SendMessageA(c_.brushList, CB_GETITEMHEIGHT, static_cast<WPARAM>(-1), 0));
    for (int attempt = 0; attempt < 4 && fieldHeight > 0; ++attempt) {
        RECT listRect{};
        GetWindowRect(c_.brushList, &listRect);
        const int off = wanted - (listRect.bottom - listRect.top);
        if (off == 0 || fieldHeight + off < 1) break;
        fieldHeight += off;
        SendMessageA(c_.brushList, CB_SETITEMHEIGHT, static_cast<WPARAM>(-1), fieldHeight);
    }
}

void Toolbox::DrawTitle() {
    // The title image, drawn once per scale; the strip copies it on every paint.
    const RECT t = ScaleRectForDpi(kTitleStripRect, dpi_);
    if (titleCanvas_.IsCreated()) titleCanvas_.Destroy();
    titleCanvas_.Create(t.right - t.left, t.bottom - t.top, kToolboxBackgroundColor);
    GdipImage title;
    if (title.LoadFromData(ResourceBytes(IDR_TOOLBOX_TITLE)))
        titleCanvas_.DrawPicture(title.Handle(), 0, 0, t.right - t.left, t.bottom - t.top);
}

void Toolbox::DrawIcons(bool addTips) {
    const int size = PaletteCurrentCellSize();
    const int icon = Px(kIconSize);
    for (int n = 1; n <= kPaletteCellCount; ++n) {
        const RECT cell = PaletteCellRect(n, size, dpi_);
        GdipImage picture;
        if (picture.LoadFromData(ResourceBytes(PaletteCellIcon(n)))) {
            const int left = cell.left + ((cell.right - cell.left) - icon) / 2;
            const int top = cell.top + ((cell.bottom - cell.top) - icon) / 2;
            PaletteCanvas.DrawPicture(picture.Handle(), left, top, icon, icon);
        }
        const char* tip = PaletteCellTip(n);
        if (tip[0] == '\0') continue;
        const auto id = static_cast<UINT_PTR>(PaletteCellCommand(n));
        if (addTips) {
            PaletteTips.AddTool(tip, id, cell);
        } else {
            PaletteTips.SetToolRect(id, cell);
        }
    }
}

void Toolbox::PlaceFixedControls() {
    const ToolboxLayout l = LayoutNow(ToolboxPage.load(), Settings.brushType.load());
    auto put = [](HWND w, const RECT& r) {
        SetWindowPos(w, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    };
    put(c_.titleStrip, l.titleStrip);
    put(c_.palette, l.palette);
    for (int i = 0; i < 3; ++i) put(c_.radio[i], l.radios[i]);
}

void Toolbox::BuildPalette() {
    SetPaletteDpi(dpi_);
    const RECT palette = LayoutNow(kPagePen, 0).palette;
    const int width = palette.right - palette.left;
    const int height = palette.bottom - palette.top;
    const bool first = !PaletteCanvas.IsCreated() || PaletteTips.Handle() == nullptr;

    // The palette picture: frames now, icons below.
    if (PaletteCanvas.IsCreated()) PaletteCanvas.Destroy();
    PaletteCanvas.Create(width, height, BackgroundColor());
    PaletteCanvas.BrushStyle(kBrushHollow);
    PaletteCanvas.PenColor(kPaletteOuterFrameColor);
    PaletteCanvas.Rectangle(0, 0, width, height);
    PaletteCanvas.PenColor(kPaletteInnerFrameColor);
    PaletteCanvas.Rectangle(1, 1, width - 1, height - 1);
    PaletteCanvas.PenWidth(Px(kPaletteFramePenWidth));

    if (first) {
        PaletteTips.Create(c_.palette);
        PaletteTips.SetDelay(200);
        if (PaletteTips.Handle() != nullptr)
            SetWindowPos(PaletteTips.Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    PaletteTips.SetMaxWidth(Px(kTipMaxWidth));
    DrawIcons(first);
    // The selection is framed again on the new picture (at start: the pen cell,
    // selected before there was a canvas to frame it on).
    DrawSelectionFrame();
}

void Toolbox::Created() {
    // The palette window and its cells, designed at 96 DPI for the template's
    // palette width.
    const int cellSize =
        PaletteCellSize(kPaletteTemplateRect.right - kPaletteTemplateRect.left);
    SetPaletteCellSize(cellSize);
    paletteHeight_ = PaletteHeight(cellSize);
    PlaceFixedControls();
    BuildPalette();

    ShowPage(kPagePen);

    previousPaletteProc_ = reinterpret_cast<WNDPROC>(SetWindowLongPtrA(
        c_.palette, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&PaletteProc)));
    PaletteWindow.store(c_.palette);

    hook_.Start(&PostPointerToToolbox);

    hotkeyRegistered_ = RegisterF9(c_.palette, HotkeyIdOf(window_));
    // Another program holds F9: say so, once; the capture cell still works.
    if (!hotkeyRegistered_) NotifyF9Taken();

    RECT box{};
    GetWindowRect(window_, &box);
    // At the desktop's outer left edge, where it can dock.
    const POINT home =
        ToolboxHome(MonitorRects(), SIZE{box.right - box.left, box.bottom - box.top});
    SetWindowPos(window_, nullptr, home.x, home.y, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    if (SelectCell(kInitialSelectedCell))
        RunCellCommand(PaletteCellCommand(kInitialSelectedCell), false);
}

void Toolbox::Destroyed() {
    // The board goes first: it may still be using what is torn down below
    // (the toolbox window, the settings, the hook, the menus).
    CloseBoardAndWait(kBoardGoneTimeoutMs);
    SaveSettings();
    hook_.Stop();
    KillTimer(window_, kDockingPollTimer);
    ForgetPostedPointer();
    DestroyPictureWindowMenu();
    const std::vector<RawWindowEntry> windows = RawWindowListSnapshot();
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        if (it->hwnd != nullptr && IsWindow(it->hwnd)) SendMessageA(it->hwnd, WM_CLOSE, 0, 0);
    if (hotkeyRegistered_) UnregisterF9();
    hotkeyRegistered_ = false;
    PaletteTips.Destroy();
    ToolboxBeingMoved.store(false);
    PaletteWindow.store(nullptr);
    ToolboxWindow.store(nullptr);
    ToolboxLoaded = false;
    g_endProcess(0);
}

void Toolbox::Fit(int height) {
    SetWindowPos(window_, nullptr, 0, 0, Px(kToolboxWidth), height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Toolbox::ApplyLayout(const ToolboxLayout& layout) {
    auto place = [](HWND w, const PlacedControl& pc) {
        if (w == nullptr) return;
        if (pc.visible) {
            SetWindowPos(w, nullptr, pc.rect.left, pc.rect.top, pc.rect.right - pc.rect.left,
                         pc.rect.bottom - pc.rect.top,
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        } else {
            ShowWindow(w, SW_HIDE);
        }
    };
    PlacedControl edit = layout.penEdit;
    PlacedControl spin = layout.penEdit;
    edit.rect.right -= Px(kSpinWidth);
    spin.rect.left = edit.rect.right;
    place(c_.penEdit, edit);
    place(c_.penSpin, spin);
    // The drop-down list keeps the size it was made with (resizing it would
    // give the platform a chance to redo its field height): it only moves.
    if (layout.brushList.visible) {
        SetWindowPos(c_.brushList, nullptr, layout.brushList.rect.left, layout.brushList.rect.top,
                     0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    } else {
        ShowWindow(c_.brushList, SW_HIDE);
    }
    place(c_.picker1, layout.picker1);
    place(c_.picker2, layout.picker2);
    Fit(layout.toolboxHeight);
}

void Toolbox::ShowPage(int page) {
    if (page < kPagePen || page > kPageText) page = kPagePen;
    ToolboxPage.store(page);
    for (int i = 0; i < 3; ++i)
        SendMessageA(c_.radio[i], BM_SETCHECK, i == page ? BST_CHECKED : BST_UNCHECKED, 0);
    ApplyLayout(LayoutNow(page, Settings.brushType));

    fillingPage_ = true;
    SetWindowTextA(c_.penEdit, std::to_string(Settings.penWidth.load()).c_str());
    fillingPage_ = false;
    const int picker1 = page == kPageFill   ? Settings.brushColor.load()
                        : page == kPageText ? Settings.textColor.load()
                                            : Settings.penColor.load();
    SendMessageA(c_.picker1, kColorPickerSetColor, static_cast<COLORREF>(picker1), 0);
    SendMessageA(c_.picker2, kColorPickerSetColor, static_cast<COLORREF>(Settings.backColor.load()),
                 0);
    const int brushType = Settings.brushType.load();
    SendMessageA(c_.brushList, CB_SETCURSEL, brushType >= 0 && brushType <= 7 ? brushType : -1, 0);
}

void Toolbox::ChangeDpi(int dpi) {
    dpi = NormalizeDpi(dpi);
    if (dpi == dpi_) return;
    dpi_ = dpi;
    MakeFont();
    PlaceFixedControls();
    // The list is made again at its new size, then its field is measured again.
    SetWindowPos(c_.brushList, nullptr, 0, 0, Px(kBrushListWidth), Px(kBrushListDropHeight),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    FitBrushListField();
    DrawTitle();
    BuildPalette();
    ApplyLayout(LayoutNow(ToolboxPage.load(), Settings.brushType.load()));
    InvalidateRect(window_, nullptr, TRUE);
    InvalidateRect(c_.titleStrip, nullptr, FALSE);
    RepaintPalette();
}

void Toolbox::OnPenWidthChanged() {
    if (fillingPage_) return;
    char text[64] = {};
    GetWindowTextA(c_.penEdit, text, sizeof(text));
    const int typed = ParseIniInteger(text);
    const int value = std::clamp(typed, kPenWidthMin, kPenWidthMax);
    if (value != typed) {
        // Bounded as it is typed, so the width used is the one saved and read
        // back at the next start. Setting the text runs this handling again.
        SetWindowTextA(c_.penEdit, std::to_string(value).c_str());
        SendMessageA(c_.penEdit, EM_SETSEL, 0x7FFF, 0x7FFF);  // typing goes on at the end
        return;
    }
    ChangeSetting(SettingCode::PenWidth, value);
}

void Toolbox::OnPenWheel(int delta) {
    if (delta == 0) return;
    int steps = delta / WHEEL_DELTA;
    if (steps == 0) steps = delta > 0 ? 1 : -1;  // fine-grained wheels still move one
    char text[64] = {};
    GetWindowTextA(c_.penEdit, text, sizeof(text));
    int low = kPenWidthMin, high = kPenWidthMax;
    SendMessageA(c_.penSpin, UDM_GETRANGE32, reinterpret_cast<WPARAM>(&low),
                 reinterpret_cast<LPARAM>(&high));
    long long value = static_cast<long long>(ParseIniInteger(text)) + steps;
    if (value < low) value = low;
    if (value > high) value = high;
    // Setting the text runs the content-changed handling.
    SetWindowTextA(c_.penEdit, std::to_string(value).c_str());
}

void Toolbox::OnBrushTypeChanged() {
    const LRESULT index = SendMessageA(c_.brushList, CB_GETCURSEL, 0, 0);
    if (index < 0 || index > 7) return;
    ChangeSetting(SettingCode::BrushStyle, static_cast<int>(index));
    if (ToolboxPage.load() == kPageFill) {
        SendMessageA(c_.picker2, kColorPickerSetColor,
                     static_cast<COLORREF>(Settings.backColor.load()), 0);
        ApplyLayout(LayoutNow(kPageFill, static_cast<int>(index)));
    }
}

void Toolbox::SelectBrushType(int index) {
    if (index < 0 || index > 7) return;
    SendMessageA(c_.brushList, CB_SETCURSEL, index, 0);
    OnBrushTypeChanged();
}

void Toolbox::OnPicker1Changed() {
    const int color = static_cast<int>(SendMessageA(c_.picker1, kColorPickerGetColor, 0, 0));
    switch (ToolboxPage.load()) {
        case kPageFill:
            ChangeSetting(SettingCode::BrushColor, color);
            break;
        case kPageText:
            ChangeSetting(SettingCode::TextColor, color);
            break;
        default:
            ChangeSetting(SettingCode::PenColor, color);
            break;
    }
}

void Toolbox::OnPicker2Changed() {
    const int color = static_cast<int>(SendMessageA(c_.picker2, kColorPickerGetColor, 0, 0));
    ChangeSetting(SettingCode::TextBack, color);
}

LRESULT Toolbox::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            const int code = HIWORD(wParam);
            if (id >= kIdRadioPen && id <= kIdRadioText && code == BN_CLICKED) {
                ShowPage(id - kIdRadioPen);
            } else if (id == kIdPenEdit && code == EN_CHANGE) {
                OnPenWidthChanged();
            } else if (id == kIdBrushList && code == CBN_SELCHANGE) {
                OnBrushTypeChanged();
            } else if (id == kIdPicker1 && code == kColorPickerChanged) {
                OnPicker1Changed();
            } else if (id == kIdPicker2 && code == kColorPickerChanged) {
                OnPicker2Changed();
            }
            return 0;
        }
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLORBTN:
            SetBkColor(reinterpret_cast<HDC>(wParam), kToolboxBackgroundColor);
            return reinterpret_cast<LRESULT>(background_);
        case WM_MOUSEWHEEL: {
            // The wheel belongs to the pen width wherever the focus is, as long
            // as the pointer is over its box.
            POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
            RECT r{};
            if (IsWindowVisible(c_.penEdit) && GetWindowRect(c_.penEdit, &r) && PtInRect(&r, p))
                OnPenWheel(GET_WHEEL_DELTA_WPARAM(wParam));
            return 0;
        }
        case WM_WINDOWPOSCHANGED: {
            RECT r{};
            GetWindowRect(window_, &r);
            ToolboxRect = r;
            break;
        }
        case WM_DPICHANGED: {
            // Moved to a monitor of another scale: lay everything out again
            // and go where the system suggests (its size is ours to decide).
            ChangeDpi(LOWORD(wParam));
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            if (suggested != nullptr && !ToolboxDocked.load()) {
                SetWindowPos(window_, nullptr, suggested->left, suggested->top, 0, 0,
                             SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            } else if (ToolboxDocked.load() && ToolboxRect.left < 0) {
                // Hidden at the left edge: hidden by its whole new width.
                SetWindowPos(window_, nullptr, -(ToolboxRect.right - ToolboxRect.left),
                             ToolboxRect.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            }
            return 0;
        }
        case WM_ENTERSIZEMOVE:
            ToolboxBeingMoved.store(true);
            break;
        case WM_EXITSIZEMOVE:
            ToolboxBeingMoved.store(false);
            break;
        case WM_CLOSE:
            // Never while a board is open: the board floats over the toolbox's thread.
            if (BoardExists()) return 0;
            DestroyWindow(window_);
            return 0;
        case WM_DESTROY:
            Destroyed();
            return 0;
        case kRunOnOwnerMessage:
            return RunOwnerWork(wParam, lParam);
        case kToolboxPointerMessage:
            OnToolboxPointerMessage(window_, wParam, lParam);
            return 0;
        case WM_TIMER:
            if (wParam == kDockingPollTimer) {
                PollDockingCursor(window_);
                return 0;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(window_, message, wParam, lParam);
}

LRESULT Toolbox::HandleTitleStrip(HWND strip, UINT message, WPARAM wParam, LPARAM lParam) {
    RECT r{};
    GetClientRect(strip, &r);
    const int x = static_cast<short>(LOWORD(lParam));
    const bool inCloseZone = x >= r.right - Px(kCloseZoneWidth);
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(strip, &ps);
            titleCanvas_.ShowInWindow(strip, std::nullopt, false);
            EndPaint(strip, &ps);
            return 0;
        }
        case WM_ERASEBKGND:
            return 1;
        case WM_LBUTTONDOWN:
            if (!inCloseZone) {
                POINT p{x, static_cast<short>(HIWORD(lParam))};
                ClientToScreen(strip, &p);
                ReleaseCapture();
                SendMessageA(window_, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(p.x, p.y));
            }
            return 0;
        case WM_LBUTTONUP:
            if (inCloseZone && !BoardExists()) SendMessageA(window_, WM_CLOSE, 0, 0);
            return 0;
        case WM_MOUSEMOVE: {
            HCURSOR wanted = LoadCursorA(
                nullptr, reinterpret_cast<LPCSTR>(inCloseZone ? IDC_ARROW : IDC_SIZEALL));
            if (wanted != stripCursor_) {
                stripCursor_ = wanted;
                SetCursor(wanted);
            }
            return 0;
        }
        case WM_SETCURSOR:
            if (stripCursor_ != nullptr && LOWORD(lParam) == HTCLIENT) {
                SetCursor(stripCursor_);
                return TRUE;
            }
            break;
        default:
            break;
    }
    return DefWindowProcA(strip, message, wParam, lParam);
}

LRESULT Toolbox::HandlePalette(HWND palette, UINT message, WPARAM wParam, LPARAM lParam) {
    const int size = PaletteCurrentCellSize();
    const int x = static_cast<short>(LOWORD(lParam));
    const int y = static_cast<short>(HIWORD(lParam));
    switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT ps;
            BeginPaint(palette, &ps);
            PaletteCanvas.ShowInWindow(palette, std::nullopt, false);
            EndPaint(palette, &ps);
            break;
        }
        case WM_MOUSEMOVE:
            if (!trackingLeave_) {
                TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, palette, 0};
                trackingLeave_ = TrackMouseEvent(&tme) != FALSE;
            }
            TrackHover(PaletteCellAt(x, y, size, dpi_));
            break;
        case WM_MOUSELEAVE:
            // A pointer that left the palette hovers over no cell.
            trackingLeave_ = false;
            TrackHover(0);
            break;
        case WM_LBUTTONDOWN:
            if (SelectCell(PaletteCellAt(x, y, size, dpi_)))
                RunCellCommand(PaletteCellCommand(SelectedCell()), false);
            RepaintPalette();
            SetCapture(palette);
            break;
        case WM_LBUTTONUP: {
            ReleaseCapture();
            HWND board = BoardWindow.load();
            if (board != nullptr && IsWindow(board)) {
                WithInputOf(board, [board] { SetActiveWindow(board); });
                SetForegroundWindow(board);
            }
            break;
        }
        case WM_RBUTTONUP: {
            const int n = PaletteCellAt(x, y, size, dpi_);
            if (n != 0) RunCellCommand(PaletteCellCommand(n), true);
            break;
        }
        case WM_HOTKEY:
            HandleHotkeyMessage(palette, wParam, lParam);
            break;
        case kRunOnOwnerMessage:
            return RunOwnerWork(wParam, lParam);
        case WM_NCDESTROY:
            DropOwnerWork(palette);
            break;
        default:
            break;
    }
    return CallWindowProcA(previousPaletteProc_, palette, message, wParam, lParam);
}

LRESULT Toolbox::HandlePenEdit(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_MOUSEWHEEL) {
        OnPenWheel(GET_WHEEL_DELTA_WPARAM(wParam));
        return 0;
    }
    return CallWindowProcA(previousEditProc_, edit, message, wParam, lParam);
}

LRESULT CALLBACK ToolboxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* created = static_cast<Toolbox*>(cs->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        if (created != nullptr) created->Bind(window);
    }
    auto* self = reinterpret_cast<Toolbox*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_CREATE) {
        self->OnCreate(window);
        return 0;
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DropOwnerWork(window);
        LRESULT result = DefWindowProcA(window, message, wParam, lParam);
        if (g_toolbox == self) g_toolbox = nullptr;
        delete self;
        return result;
    }
    return self->Handle(message, wParam, lParam);
}

LRESULT CALLBACK TitleStripProc(HWND strip, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_toolbox == nullptr) return DefWindowProcA(strip, message, wParam, lParam);
    return g_toolbox->HandleTitleStrip(strip, message, wParam, lParam);
}

LRESULT CALLBACK PaletteProc(HWND palette, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_toolbox == nullptr) return DefWindowProcA(palette, message, wParam, lParam);
    return g_toolbox->HandlePalette(palette, message, wParam, lParam);
}

LRESULT CALLBACK PenEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_toolbox == nullptr) return DefWindowProcA(edit, message, wParam, lParam);
    return g_toolbox->HandlePenEdit(edit, message, wParam, lParam);
}

bool RegisterClasses() {
    static const bool registered = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
        InitCommonControlsEx(&icc);
        HINSTANCE module = GetModuleHandleA(nullptr);
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.hInstance = module;
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));

        wc.lpfnWndProc = &ToolboxProc;
        wc.hbrBackground = CreateSolidBrush(kToolboxBackgroundColor);  // lives with the class
        wc.lpszClassName = kToolboxClass;
        bool ok = RegisterClassExA(&wc) != 0;

        wc.hbrBackground = nullptr;
        wc.hCursor = nullptr;  // the strip chooses its cursor by position
        wc.lpfnWndProc = &TitleStripProc;
        wc.lpszClassName = kTitleStripClass;
        ok = RegisterClassExA(&wc) != 0 && ok;

        // The palette's own procedure is the default one; the toolbox puts its
        // procedure over it when it is created.
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpfnWndProc = &DefWindowProcA;
        wc.lpszClassName = kPaletteClass;
        ok = RegisterClassExA(&wc) != 0 && ok;
        return ok;
    }();
    return registered;
}

}  // namespace

bool LoadToolbox() {
    if (g_toolbox != nullptr && IsWindow(g_toolbox->Window())) return true;
    if (!RegisterClasses()) return false;
    auto* toolbox = new Toolbox();
    g_toolbox = toolbox;
    HWND window = CreateWindowExA(0, kToolboxClass, "画板工具箱", WS_POPUP | WS_CLIPCHILDREN, 50,
                                  50, kToolboxWidth, kToolboxTemplateHeight, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), toolbox);
    if (window == nullptr) {
        if (g_toolbox == toolbox) g_toolbox = nullptr;
        delete toolbox;  // never reached WM_NCCREATE, so nobody else owns it
        ToolboxLoaded = false;
        return false;
    }
    ToolboxWindow.store(window);
    ToolboxLoaded = true;
    toolbox->Created();
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);
    SetFocus(toolbox->Controls().palette);
    return true;
}

namespace {

// One region screenshot, handed to the thread that takes it.
struct RegionRun {
    bool remember = false;
    DWORD delayMs = 0;
    int cellBefore = 0;  // selected again when the screenshot is over
};

// Holds the region-screenshot claim; whoever drops the last share hands it back.
struct RegionClaim {
    RegionClaim() = default;
    RegionClaim(const RegionClaim&) = delete;
    RegionClaim& operator=(const RegionClaim&) = delete;
    ~RegionClaim() { ReleaseRegionScreenshot(); }
};

void ToolboxBackAfterRegion(int cellBefore) {
    if (HWND toolbox = ToolboxWindow.load(); toolbox != nullptr && IsWindow(toolbox))
        ShowWindow(toolbox, SW_SHOWNA);  // the new picture window keeps the focus
    SelectCell(cellBefore);
    RepaintPalette();
}

// The screenshot runs here, not in the toolbox's click handler: the delay
// and the modal selection would otherwise hold the toolbox's thread (and run
// its messages from inside the handler).
DWORD WINAPI RegionThreadProc(LPVOID parameter) {
    const std::unique_ptr<RegionRun> run(static_cast<RegionRun*>(parameter));
    const auto claim = std::make_shared<RegionClaim>();
    // The hidden toolbox needs a moment to vanish from the screen before the
    // screen is frozen; this thread has nothing else to do meanwhile.
    if (run->delayMs > 0) Sleep(run->delayMs);
    TakeRegionScreenshot(run->remember, &LastMousePoint);
    // The claim goes back once the toolbox is back (or, when the toolbox is
    // gone and the work is dropped, with the work).
    const int before = run->cellBefore;
    RunOnOwner(ToolboxWindow.load(), [claim, before] { ToolboxBackAfterRegion(before); });
    return 0;
}

}  // namespace

void ToolboxRegionCommand(bool second) {
    HWND toolbox = ToolboxWindow.load();
    if (toolbox != nullptr && IsWindow(toolbox) && !SameThreadAs(toolbox)) {
        RunOnOwner(toolbox, [second] { ToolboxRegionCommand(second); });
        return;
    }
    // One at a time: a second command meanwhile does nothing; the first puts
    // the cell selection back when it ends.
    if (!ClaimRegionScreenshot()) return;
    // A left click has just selected the region cell; a right click selected nothing.
    auto run = std::make_unique<RegionRun>();
    run->remember = second;
    run->cellBefore = second ? SelectedCell() : PreviousSelectedCell();
    const int delay = BoundedCaptureDelay(Settings.captureDelay.load());
    run->delayMs = delay > 0 ? static_cast<DWORD>(delay) : 0;
    const int before = run->cellBefore;
    if (toolbox != nullptr) ShowWindow(toolbox, SW_HIDE);
    RegionRun* handed = run.release();
    HANDLE thread = CreateThread(nullptr, 0, &RegionThreadProc, handed, 0, nullptr);
    if (thread == nullptr) {
        delete handed;
        ReleaseRegionScreenshot();
        ToolboxBackAfterRegion(before);
        return;
    }
    CloseHandle(thread);  // nobody joins it: it ends when the screenshot is over
}

void SetToolboxBrushType(int index) {
    if (!ToolboxLoaded || index < 0 || index > 7) return;
    RunOnOwner(ToolboxWindow.load(), [index] {
        if (g_toolbox != nullptr) g_toolbox->SelectBrushType(index);
    });
}

void SetToolboxColor1(COLORREF color) {
    RunOnOwner(ToolboxWindow.load(), [color] {
        if (g_toolbox != nullptr)
            SendMessageA(g_toolbox->Controls().picker1, kColorPickerSetColor, color, 0);
    });
}

int ToolboxColorTarget() { return ToolboxPage.load(); }

void SetToolboxTopmost(bool topmost) { SetTopmost(ToolboxWindow.load(), topmost); }

void ToolboxFontCommand() {
    HWND toolbox = ToolboxWindow.load();
    if (toolbox != nullptr && IsWindow(toolbox) && !SameThreadAs(toolbox)) {
        RunOnOwner(toolbox, [] { ToolboxFontCommand(); });
        return;
    }
    FontSpec font = GetTextFont();
    if (g_fontDialog != nullptr &&
        g_fontDialog(toolbox, font, static_cast<COLORREF>(Settings.textColor.load()))) {
        FontSpec updated = GetTextFont();  // the angle is not the dialog's business
        updated.faceName = font.faceName;
        updated.size = font.size;
        updated.underline = font.underline;
        updated.strikeout = font.strikeout;
        updated.italic = font.italic;
        updated.bold = font.bold;
        SetTextFont(updated);
        // Like the other settings: the board, when there is one, reads it.
        PostBoardFontChanged();
    }
    SelectCell(PreviousSelectedCell());
    RepaintPalette();
}

EndProcessRoutine SetToolboxEndProcessRoutine(EndProcessRoutine routine) {
    EndProcessRoutine old = g_endProcess;
    g_endProcess = routine != nullptr ? routine : &EndProcessForReal;
    return old;
}

FontDialogRoutine SetFontDialogRoutine(FontDialogRoutine routine) {
    FontDialogRoutine old = g_fontDialog;
    g_fontDialog = routine != nullptr ? routine : &PlatformFontDialog;
    return old;
}

ToolboxControls GetToolboxControls() {
    if (g_toolbox == nullptr) return {};
    return g_toolbox->Controls();
}
