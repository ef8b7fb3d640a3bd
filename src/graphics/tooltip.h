#pragma once
// ToolTip: one platform tooltip control serving rectangles ("tools") of one
// owner window. The control watches the owner's mouse messages itself
// (TTF_SUBCLASS), so the owner needs no relaying code.

#include <windows.h>
#include <commctrl.h>

#include <optional>
#include <string>

class ToolTip {
public:
    ToolTip() = default;
    ~ToolTip();                              // destroys the control it made
    ToolTip(const ToolTip&) = delete;        // one control, one owner object
    ToolTip& operator=(const ToolTip&) = delete;

    // Makes the control for `owner` (a previous control of this object is
    // destroyed first). Returns the tooltip window, or 0 on failure.
    HWND Create(HWND owner, std::optional<bool> balloon = std::nullopt);
    // Without a rectangle the tool covers the owner's client area.
    bool AddTool(const std::string& text, UINT_PTR id, std::optional<RECT> rect = std::nullopt);
    // The second variant: the tool is a child window of the owner (its handle is the id).
    bool AddWindowTool(const std::string& text, HWND tool);
    void SetBackColor(COLORREF color);
    void SetTextColor(COLORREF color);
    void SetMaxWidth(int width);
    void RemoveTool(UINT_PTR id);
    void SetToolRect(UINT_PTR id, std::optional<RECT> rect = std::nullopt);
    void SetToolText(UINT_PTR id, const std::string& text);
    HWND Handle() const { return window_; }
    HWND Owner() const { return owner_; }
    // Sets the automatic delays from one value; values below 1 are ignored.
    void SetDelay(int milliseconds);
    // Destroys the control (nothing when there is none).
    void Destroy();

private:
    TOOLINFOA MakeInfo(UINT_PTR id, const char* text, std::optional<RECT> rect) const;

    HWND window_ = nullptr;
    HWND owner_ = nullptr;
};
