#include "graphics/tooltip.h"

namespace {

void EnsureCommonControls() {
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
        return InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

}  // namespace

ToolTip::~ToolTip() { Destroy(); }

void ToolTip::Destroy() {
    // A window can only be destroyed by its own thread; at process end the
    // system takes it anyway.
    if (window_ != nullptr && IsWindow(window_) &&
        GetWindowThreadProcessId(window_, nullptr) == GetCurrentThreadId())
        DestroyWindow(window_);
    window_ = nullptr;
    owner_ = nullptr;
}

HWND ToolTip::Create(HWND owner, std::optional<bool> balloon) {
    Destroy();
    EnsureCommonControls();
    owner_ = owner;
    DWORD style = TTS_ALWAYSTIP;
    if (balloon.has_value()) style |= TTS_BALLOON;
    window_ = CreateWindowExA(0, TOOLTIPS_CLASSA, "", style, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                              GetModuleHandleA(nullptr), nullptr);
    return window_;
}

TOOLINFOA ToolTip::MakeInfo(UINT_PTR id, const char* text, std::optional<RECT> rect) const {
    TOOLINFOA info{};
    // The first, shortest form of the record: every version of the control reads it.
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = owner_;
    info.uId = id;
    if (rect.has_value()) {
        info.rect = *rect;
    } else if (owner_ != nullptr) {
        GetClientRect(owner_, &info.rect);
    }
    info.hinst = nullptr;
    info.lpszText = const_cast<char*>(text);
    return info;
}

bool ToolTip::AddTool(const std::string& text, UINT_PTR id, std::optional<RECT> rect) {
    if (window_ == nullptr) return false;
    TOOLINFOA info = MakeInfo(id, text.c_str(), rect);
    return SendMessageA(window_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

bool ToolTip::AddWindowTool(const std::string& text, HWND tool) {
    if (window_ == nullptr) return false;
    TOOLINFOA info = MakeInfo(reinterpret_cast<UINT_PTR>(tool), text.c_str(), RECT{});
    info.uFlags |= TTF_IDISHWND;
    return SendMessageA(window_, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info)) != 0;
}

void ToolTip::SetBackColor(COLORREF color) {
    if (window_ != nullptr) SendMessageA(window_, TTM_SETTIPBKCOLOR, color, 0);
}

void ToolTip::SetTextColor(COLORREF color) {
    if (window_ != nullptr) SendMessageA(window_, TTM_SETTIPTEXTCOLOR, color, 0);
}

void ToolTip::SetMaxWidth(int width) {
    if (window_ != nullptr) SendMessageA(window_, TTM_SETMAXTIPWIDTH, 0, width);
}

void ToolTip::RemoveTool(UINT_PTR id) {
    if (window_ == nullptr) return;
    TOOLINFOA info = MakeInfo(id, nullptr, RECT{});
    SendMessageA(window_, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::SetToolRect(UINT_PTR id, std::optional<RECT> rect) {
    if (window_ == nullptr) return;
    TOOLINFOA info = MakeInfo(id, nullptr, rect);
    SendMessageA(window_, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::SetToolText(UINT_PTR id, const std::string& text) {
    if (window_ == nullptr) return;
    TOOLINFOA info = MakeInfo(id, text.c_str(), RECT{});
    SendMessageA(window_, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&info));
}

void ToolTip::SetDelay(int milliseconds) {
    if (window_ == nullptr || milliseconds < 1) return;
    SendMessageA(window_, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(milliseconds, 0));
}
