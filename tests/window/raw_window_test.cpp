// Top-level windows made by RawWindow: real windows on their own threads,
// driven with real messages and checked through the platform (styles, rects,
// layered attributes, screen pixels).
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "window/handler_table.h"
#include "support/helpers.h"
#include "window/raw_window.h"

namespace {

constexpr DWORD kDefaultStyle = 0x00CF0000;

// The window each thread created, recorded by the creation routine.
std::mutex g_createdGuard;
std::map<DWORD, HWND> g_createdByThread;

void RecordCreated(HWND window) {
    std::lock_guard<std::mutex> lock(g_createdGuard);
    g_createdByThread[GetCurrentThreadId()] = window;
}

HWND CreatedBy(DWORD threadId) {
    std::lock_guard<std::mutex> lock(g_createdGuard);
    auto found = g_createdByThread.find(threadId);
    return found == g_createdByThread.end() ? nullptr : found->second;
}

// Runs RawWindow(params) on a thread of its own, as the board and the picture
// windows do, and hands out the window once its creation routine ran.
class WindowThread {
public:
    explicit WindowThread(RawWindowParams params) {
        if (params.onCreate == nullptr) params.onCreate = &RecordCreated;
        thread_ = std::thread([this, params] {
            threadId_ = GetCurrentThreadId();
            RawWindow(params);
            finished_ = true;
        });
        WaitUntil([this] { return threadId_ != 0 && (CreatedBy(threadId_) || finished_); });
        window_ = threadId_ ? CreatedBy(threadId_) : nullptr;
    }
    ~WindowThread() {
        if (!finished_ && window_ != nullptr && IsWindow(window_)) PostMessageA(window_, WM_CLOSE, 0, 0);
        if (!WaitFinished(5000) && threadId_ != 0) PostThreadMessageA(threadId_, WM_QUIT, 0, 0);
        if (WaitFinished(2000)) {
            thread_.join();
        } else {
            thread_.detach();  // never hang the run on a stuck window
        }
    }
    HWND Window() const { return window_; }
    DWORD ThreadId() const { return threadId_; }
    bool Finished() const { return finished_; }
    bool WaitFinished(DWORD timeoutMs) {
        return WaitUntil([this] { return finished_.load(); }, timeoutMs);
    }

private:
    std::thread thread_;
    std::atomic<DWORD> threadId_{0};
    std::atomic<bool> finished_{false};
    HWND window_ = nullptr;
};

// A window at a given place, of a given size.
RawWindowParams PlacedAt(POINT position, SIZE size) {
    RawWindowParams p;
    p.positionMode = WindowPosition::AtPosition;
    p.position = position;
    p.size = size;
    return p;
}

RECT WindowRect(HWND w) {
    RECT r{};
    GetWindowRect(w, &r);
    return r;
}

std::string WindowText(HWND w) {
    char text[256] = {};
    GetWindowTextA(w, text, sizeof(text));
    return text;
}

// Routines for the handler checks (plain functions, as the table stores them).
std::mutex g_seenGuard;
std::vector<std::pair<WPARAM, LPARAM>> g_seen;
std::atomic<int> g_seenCount{0};
void Seen(HWND, WPARAM a, LPARAM b) {
    std::lock_guard<std::mutex> lock(g_seenGuard);
    g_seen.emplace_back(a, b);
    ++g_seenCount;
}
void ResetSeen() {
    std::lock_guard<std::mutex> lock(g_seenGuard);
    g_seen.clear();
    g_seenCount = 0;
}
std::vector<std::pair<WPARAM, LPARAM>> SeenSoFar() {
    std::lock_guard<std::mutex> lock(g_seenGuard);
    return g_seen;
}

// ------------------------------------------------------------ placement

TEST(RawWindowPlacement, ModeAndPositionDecideThePlace) {
    const RECT screen{0, 0, 1920, 1080};
    const SIZE size{400, 300};
    const POINT at{123, 77};
    struct Case {
        std::optional<WindowPosition> mode;
        std::optional<POINT> position;
        WindowPosition applied;
        int x;
        int y;
    };
    const Case cases[] = {
        {std::nullopt, std::nullopt, WindowPosition::SystemDefault, CW_USEDEFAULT, CW_USEDEFAULT},
        // A position alone is not a mode.
        {std::nullopt, at, WindowPosition::SystemDefault, CW_USEDEFAULT, CW_USEDEFAULT},
        {WindowPosition::Centred, at, WindowPosition::Centred, 760, 390},
        {WindowPosition::AtPosition, at, WindowPosition::AtPosition, 123, 77},
        // At a position that was not given: centred instead.
        {WindowPosition::AtPosition, std::nullopt, WindowPosition::Centred, 760, 390},
    };
    for (const Case& c : cases) {
        const WindowPlacement p = ComputeWindowPlacement(c.mode, c.position, size, screen);
        EXPECT_EQ(p.mode, c.applied);
        EXPECT_EQ(p.x, c.x);
        EXPECT_EQ(p.y, c.y);
    }
}

TEST(RawWindowPlacement, CentringTruncatesTowardZero) {
    const RECT screen{0, 0, 1920, 1080};
    WindowPlacement p = ComputeWindowPlacement(WindowPosition::Centred, std::nullopt, SIZE{401, 301}, screen);
    EXPECT_EQ(p.x, 759);  // 759.5
    EXPECT_EQ(p.y, 389);
    p = ComputeWindowPlacement(WindowPosition::Centred, std::nullopt, SIZE{2001, 1101}, screen);
    EXPECT_EQ(p.x, -40);  // -40.5
    EXPECT_EQ(p.y, -10);  // -10.5
}

TEST(RawWindowPlacement, CentresOverTheParentRectangle) {
    const RECT parent{100, 200, 700, 600};
    WindowPlacement p = ComputeWindowPlacement(WindowPosition::Centred, std::nullopt, SIZE{200, 100}, parent);
    EXPECT_EQ(p.x, 300);
    EXPECT_EQ(p.y, 350);
}

// ------------------------------------------------------------ real windows

TEST(RawWindow, NothingGivenMakesTheDefaultWindow) {
    WindowThread t(RawWindowParams{});
    HWND w = t.Window();
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(WindowText(w), "白手起家，凭空创建窗口");
    char cls[64] = {};
    GetClassNameA(w, cls, sizeof(cls));
    EXPECT_STREQ(cls, "MyWindowClass");
    RECT r = WindowRect(w);
    EXPECT_EQ(r.right - r.left, 400);
    EXPECT_EQ(r.bottom - r.top, 300);
    EXPECT_TRUE(IsWindowVisible(w));
    LONG style = GetWindowLongA(w, GWL_STYLE);
    EXPECT_EQ(style & kDefaultStyle, static_cast<LONG>(kDefaultStyle));
    EXPECT_FALSE(style & WS_POPUP);
    LONG ex = GetWindowLongA(w, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_APPWINDOW);
    EXPECT_FALSE(ex & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ex & WS_EX_LAYERED);
    EXPECT_EQ(GetMenu(w), nullptr);
    EXPECT_EQ(GetWindowThreadProcessId(w, nullptr), t.ThreadId());

    std::optional<RawWindowEntry> entry = FindRawWindow(w);
    ASSERT_TRUE(entry.has_value());
    EXPECT_EQ(entry->parent, nullptr);
    EXPECT_EQ(entry->topAncestor, nullptr);
    EXPECT_EQ(entry->escCloses, 0);
    EXPECT_EQ(entry->background, GetSysColor(COLOR_BTNFACE));
    EXPECT_FALSE(IsColoredWindow(w));

    PostMessageA(w, WM_CLOSE, 0, 0);
    EXPECT_TRUE(t.WaitFinished(5000));  // the loop ends with the window
    EXPECT_FALSE(IsWindow(w));
}

TEST(RawWindow, AtAPositionNotGivenIsCentredOnTheScreen) {
    RawWindowParams p;
    p.positionMode = WindowPosition::AtPosition;
    WindowThread t(p);
    ASSERT_NE(t.Window(), nullptr);
    RECT r = WindowRect(t.Window());
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 400) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 300) / 2);
}

TEST(RawWindow, AtAGivenPositionPlacesItThere) {
    WindowThread t(PlacedAt(POINT{123, 77}, SIZE{250, 120}));
    ASSERT_NE(t.Window(), nullptr);
    RECT r = WindowRect(t.Window());
    EXPECT_EQ(r.left, 123);
    EXPECT_EQ(r.top, 77);
    EXPECT_EQ(r.right - r.left, 250);
    EXPECT_EQ(r.bottom - r.top, 120);
}

TEST(RawWindow, CentredWindowSitsOverItsParent) {
    WindowThread parent(PlacedAt(POINT{100, 200}, SIZE{600, 400}));
    ASSERT_NE(parent.Window(), nullptr);

    RawWindowParams inner;
    inner.positionMode = WindowPosition::Centred;
    inner.parent = parent.Window();
    inner.size = SIZE{200, 100};
    WindowThread child(inner);
    ASSERT_NE(child.Window(), nullptr);
    RECT r = WindowRect(child.Window());
    EXPECT_EQ(r.left, 300);
    EXPECT_EQ(r.top, 350);
}

TEST(RawWindow, OpacityUsesTheLowByte) {
    for (int opacity : {256, 200}) {
        RawWindowParams p;
        p.opacity = opacity;
        WindowThread t(p);
        ASSERT_NE(t.Window(), nullptr);
        EXPECT_TRUE(GetWindowLongA(t.Window(), GWL_EXSTYLE) & WS_EX_LAYERED);
        BYTE alpha = 99;
        DWORD flags = 0;
        COLORREF key = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(t.Window(), &key, &alpha, &flags));
        EXPECT_EQ(alpha, opacity & 0xFF) << "opacity " << opacity;
        EXPECT_TRUE(flags & LWA_ALPHA);
    }
}

TEST(RawWindow, TaskbarFlagAndExtendedStyleCombine) {
    RawWindowParams tool;
    tool.showInTaskbar = false;
    WindowThread a(tool);
    ASSERT_NE(a.Window(), nullptr);
    LONG ex = GetWindowLongA(a.Window(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(ex & WS_EX_APPWINDOW);

    RawWindowParams topmost;
    topmost.exStyle = WS_EX_TOPMOST;
    WindowThread b(topmost);
    ASSERT_NE(b.Window(), nullptr);
    ex = GetWindowLongA(b.Window(), GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_TRUE(ex & WS_EX_APPWINDOW);
}

std::atomic<bool> g_visibleAtCreation{true};
std::atomic<DWORD> g_creationThread{0};
void NoteVisibility(HWND w) {
    g_visibleAtCreation = IsWindowVisible(w) != FALSE;
    g_creationThread = GetCurrentThreadId();
    RecordCreated(w);
}

TEST(RawWindow, HiddenPopupStillGetsItsCreationRoutine) {
    RawWindowParams p;
    p.show = false;
    p.style = WS_POPUP;
    p.title = "画板";
    p.onCreate = &NoteVisibility;
    WindowThread t(p);
    ASSERT_NE(t.Window(), nullptr);
    EXPECT_FALSE(g_visibleAtCreation);
    EXPECT_EQ(g_creationThread, t.ThreadId());  // on the window's own thread
    EXPECT_FALSE(IsWindowVisible(t.Window()));
    EXPECT_TRUE(GetWindowLongA(t.Window(), GWL_STYLE) & WS_POPUP);
    EXPECT_EQ(WindowText(t.Window()), "画板");
}

TEST(RawWindow, MenuCaptionMakesABarWithOnePopup) {
    RawWindowParams p;
    p.menuCaption = "文件";
    WindowThread t(p);
    ASSERT_NE(t.Window(), nullptr);
    HMENU bar = GetMenu(t.Window());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(GetMenuItemCount(bar), 1);
    char caption[64] = {};
    GetMenuStringA(bar, 0, caption, sizeof(caption), MF_BYPOSITION);
    EXPECT_STREQ(caption, "文件");
    EXPECT_NE(GetSubMenu(bar, 0), nullptr);
}

TEST(RawWindow, RegionShapesTheWindow) {
    HRGN region = CreateRectRgn(0, 0, 60, 40);
    RawWindowParams p;
    p.region = region;
    WindowThread t(p);
    ASSERT_NE(t.Window(), nullptr);
    HRGN copy = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetWindowRgn(t.Window(), copy), SIMPLEREGION);
    RECT box{};
    GetRgnBox(copy, &box);
    EXPECT_EQ(box.right - box.left, 60);
    EXPECT_EQ(box.bottom - box.top, 40);
    DeleteObject(copy);
}

TEST(RawWindow, BackgroundColourIsPaintedByTheWindow) {
    RawWindowParams green = PlacedAt(POINT{300, 300}, SIZE{200, 150});
    green.style = WS_POPUP;
    green.exStyle = WS_EX_TOPMOST;
    green.background = RGB(0, 200, 0);
    WindowThread a(green);
    ASSERT_NE(a.Window(), nullptr);
    EXPECT_TRUE(IsColoredWindow(a.Window()));
    EXPECT_EQ(FindRawWindow(a.Window())->background, RGB(0, 200, 0));
    EXPECT_TRUE(WaitUntil([] { return ScreenPixel(400, 375) == RGB(0, 200, 0); }, 3000))
        << std::hex << ScreenPixel(400, 375);

    // Grown: the new area gets the colour too.
    SetWindowPos(a.Window(), nullptr, 0, 0, 400, 300, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_TRUE(WaitUntil([] { return ScreenPixel(680, 580) == RGB(0, 200, 0); }, 3000))
        << std::hex << ScreenPixel(680, 580);

    RawWindowParams plain = green;
    plain.background.reset();
    plain.position = POINT{900, 300};
    WindowThread b(plain);
    ASSERT_NE(b.Window(), nullptr);
    EXPECT_FALSE(IsColoredWindow(b.Window()));
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    EXPECT_TRUE(WaitUntil([face] { return ScreenPixel(1000, 375) == face; }, 3000))
        << std::hex << ScreenPixel(1000, 375);
}

std::atomic<WPARAM> g_fontSent{0};
void NoteFont(HWND, WPARAM font, LPARAM) { g_fontSent = font; }

TEST(RawWindow, FontIsSentAtEveryPaint) {
    HFONT font = CreateFontA(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "宋体");
    RawWindowParams p;
    p.font = font;
    WindowThread t(p);
    ASSERT_NE(t.Window(), nullptr);
    EXPECT_EQ(FindRawWindow(t.Window())->font, font);
    ASSERT_TRUE(RegisterHandler(t.Window(), WM_SETFONT, &NoteFont));
    g_fontSent = 0;
    InvalidateRect(t.Window(), nullptr, TRUE);
    UpdateWindow(t.Window());
    EXPECT_TRUE(WaitUntil([font] { return g_fontSent == reinterpret_cast<WPARAM>(font); }, 3000));
    PostMessageA(t.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(t.WaitFinished(5000));
    DeleteObject(font);
}

TEST(RawWindow, CommandRoutineReceivesWmCommand) {
    ResetSeen();
    RawWindowParams p;
    p.onCommand = &Seen;
    WindowThread t(p);
    ASSERT_NE(t.Window(), nullptr);
    EXPECT_EQ(HandlerRoutineCount(t.Window(), WM_COMMAND), 1u);
    SendMessageA(t.Window(), WM_COMMAND, 1234, 0);
    ASSERT_EQ(SeenSoFar().size(), 1u);
    EXPECT_EQ(SeenSoFar()[0].first, 1234u);
}

TEST(RawWindow, EscClosesOnlyWhenExactlyOne) {
    ResetSeen();
    HandlerRoutine previous = SetEscCloseRoutine(&Seen);

    RawWindowParams yes;
    yes.escCloses = 1;
    WindowThread a(yes);
    ASSERT_NE(a.Window(), nullptr);
    EXPECT_EQ(FindRawWindow(a.Window())->escCloses, 1);
    SendMessageA(a.Window(), WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_EQ(g_seenCount, 1);

    RawWindowParams no;
    no.escCloses = 2;
    WindowThread b(no);
    ASSERT_NE(b.Window(), nullptr);
    EXPECT_EQ(FindRawWindow(b.Window())->escCloses, 0);
    SendMessageA(b.Window(), WM_KEYUP, VK_ESCAPE, 0);
    EXPECT_EQ(g_seenCount, 1);

    SetEscCloseRoutine(previous);
}

std::atomic<int> g_captionPresses{0};
void NoteCaptionPress(HWND, WPARAM hit, LPARAM) {
    if (hit == HTCAPTION) ++g_captionPresses;
}

TEST(RawWindow, ClientPressBecomesACaptionPress) {
    RawWindowParams p;
    p.dragByClientArea = true;
    p.style = WS_POPUP;
    WindowThread t(p);
    ASSERT_NE(t.Window(), nullptr);
    EXPECT_EQ(HandlerRoutineCount(t.Window(), WM_LBUTTONDOWN), 1u);
    g_captionPresses = 0;
    // Answered here, so no move loop starts waiting for a button release
    // that this synthetic press will never have.
    ASSERT_TRUE(RegisterHandler(t.Window(), WM_NCLBUTTONDOWN, &NoteCaptionPress, true));
    PostMessageA(t.Window(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 10));
    EXPECT_TRUE(WaitUntil([] { return g_captionPresses > 0; }, 3000));
}

void SendMouse(DWORD flags, int x = 0, int y = 0) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        in.mi.dx = MulDiv(x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
        in.mi.dy = MulDiv(y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    SendInput(1, &in, sizeof(in));
}

TEST(RawWindow, RealPointerDragByClientAreaMovesTheWindow) {
    RawWindowParams p = PlacedAt(POINT{400, 400}, SIZE{200, 120});
    p.dragByClientArea = true;
    p.style = WS_POPUP;
    p.exStyle = WS_EX_TOPMOST;
    WindowThread t(p);
    ASSERT_NE(t.Window(), nullptr);

    HWND w = t.Window();
    auto cursorAt = [](int x, int y) {
        return [x, y] {
            POINT c{};
            GetCursorPos(&c);
            return c.x == x && c.y == y;
        };
    };
    auto windowAt = [w](int x, int y) {
        return [w, x, y] {
            RECT r = WindowRect(w);
            return r.left == x && r.top == y;
        };
    };
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 450, 450);
    ASSERT_TRUE(WaitUntil(cursorAt(450, 450), 2000));
    auto moving = [&t] {
        GUITHREADINFO info{};
        info.cbSize = sizeof(info);
        return GetGUIThreadInfo(t.ThreadId(), &info) && (info.flags & GUI_INMOVESIZE);
    };
    SendMouse(MOUSEEVENTF_LEFTDOWN);
    // The press in the client area turns into the platform's own move loop.
    ASSERT_TRUE(WaitUntil(moving, 3000));
    for (int step = 1; step <= 10; ++step) {
        SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 450 + step * 10, 450 + step * 6);
        WaitUntil(cursorAt(450 + step * 10, 450 + step * 6), 500);
    }
    // The window follows the pointer while the button is held. The move loop
    // can miss the last motion when the machine is busy: nudge the pointer one
    // pixel off and back until the window has caught up.
    bool followed = false;
    for (int attempt = 0; attempt < 6 && !followed; ++attempt) {
        if (attempt > 0) {
            SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 549, 509);
            WaitUntil(cursorAt(549, 509), 300);
            SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 550, 510);
        }
        followed = WaitUntil(windowAt(500, 460), 1000);
    }
    EXPECT_TRUE(followed) << WindowRect(w).left << "," << WindowRect(w).top;
    SendMouse(MOUSEEVENTF_LEFTUP);
    EXPECT_TRUE(WaitUntil([&moving] { return !moving(); }, 3000));
    // ...and stays where it was dropped once the button is up.
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, 700, 700);
    WaitUntil(cursorAt(700, 700), 1000);
    WaitUntil([] { return false; }, 200);
    EXPECT_TRUE(windowAt(500, 460)()) << WindowRect(w).left << "," << WindowRect(w).top;
}

TEST(RawWindow, EntryRecordsNameParentAndTopAncestor) {
    RawWindowParams pa;
    pa.entryName = "甲";
    WindowThread a(pa);
    ASSERT_NE(a.Window(), nullptr);
    RawWindowParams pb;
    pb.parent = a.Window();
    pb.entryName = "乙";
    WindowThread b(pb);
    ASSERT_NE(b.Window(), nullptr);
    RawWindowParams pc;
    pc.parent = b.Window();
    WindowThread c(pc);
    ASSERT_NE(c.Window(), nullptr);

    EXPECT_EQ(FindRawWindow(a.Window())->name, "甲");
    EXPECT_EQ(FindRawWindow(b.Window())->name, "乙");
    EXPECT_EQ(FindRawWindow(b.Window())->parent, a.Window());
    EXPECT_EQ(FindRawWindow(b.Window())->topAncestor, a.Window());
    EXPECT_EQ(FindRawWindow(c.Window())->parent, b.Window());
    EXPECT_EQ(FindRawWindow(c.Window())->topAncestor, a.Window());

    // A parent that RawWindow did not make ends the walk at once.
    HWND foreign = CreateWindowExA(0, "STATIC", "foreign", WS_POPUP, 0, 0, 20, 20, nullptr,
                                   nullptr, GetModuleHandleA(nullptr), nullptr);
    RawWindowParams pd;
    pd.parent = foreign;
    WindowThread d(pd);
    ASSERT_NE(d.Window(), nullptr);
    EXPECT_EQ(FindRawWindow(d.Window())->topAncestor, foreign);
    PostMessageA(d.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(d.WaitFinished(5000));
    DestroyWindow(foreign);
}

std::atomic<int> g_closesSeen{0};
void NoteClose(HWND, WPARAM, LPARAM) { ++g_closesSeen; }

TEST(RawWindow, ClosingAWindowClosesThoseUnderItAsTopAncestor) {
    WindowThread a(RawWindowParams{});
    ASSERT_NE(a.Window(), nullptr);
    RawWindowParams pb;
    pb.parent = a.Window();
    WindowThread b(pb);
    ASSERT_NE(b.Window(), nullptr);
    RawWindowParams pc;
    pc.parent = b.Window();
    WindowThread c(pc);
    ASSERT_NE(c.Window(), nullptr);
    WindowThread other(RawWindowParams{});
    ASSERT_NE(other.Window(), nullptr);

    g_closesSeen = 0;
    RegisterHandler(b.Window(), WM_CLOSE, &NoteClose);
    RegisterHandler(c.Window(), WM_CLOSE, &NoteClose);
    PostMessageA(a.Window(), WM_CLOSE, 0, 0);

    EXPECT_TRUE(a.WaitFinished(5000));
    EXPECT_TRUE(b.WaitFinished(5000));
    EXPECT_TRUE(c.WaitFinished(5000));
    EXPECT_GE(g_closesSeen, 2);  // both got WM_CLOSE, not just destruction
    EXPECT_FALSE(other.Finished());
    EXPECT_TRUE(IsWindow(other.Window()));
}

TEST(RawWindow, DestroyingOneWindowEndsOnlyItsOwnThreadsLoop) {
    ResetSeen();
    RawWindowParams p;
    p.onCommand = &Seen;
    WindowThread first(p);
    WindowThread second(p);
    ASSERT_NE(first.Window(), nullptr);
    ASSERT_NE(second.Window(), nullptr);
    HWND gone = first.Window();

    PostMessageA(gone, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitFinished(5000));

    // The other window's loop still runs: posted messages are still handled.
    WaitUntil([] { return false; }, 100);
    EXPECT_FALSE(second.Finished());
    PostMessageA(second.Window(), WM_COMMAND, 77, 0);
    EXPECT_TRUE(WaitUntil([] { return g_seenCount == 1; }, 3000));
    // And this thread got no quit message.
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    std::vector<RawWindowEntry> list = RawWindowListSnapshot();
    auto has = [&list](HWND w) {
        return std::any_of(list.begin(), list.end(), [w](const RawWindowEntry& e) { return e.hwnd == w; });
    };
    EXPECT_FALSE(has(gone));
    EXPECT_TRUE(has(second.Window()));
}

TEST(RawWindow, DestroyForgetsTheWindowEverywhere) {
    ResetSeen();
    RawWindowParams p;
    p.background = RGB(1, 2, 3);
    p.onCommand = &Seen;
    WindowThread t(p);
    HWND w = t.Window();
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(RegisterHandler(w, WM_USER + 3, &Seen));
    ASSERT_TRUE(RegisterHandler(w, WM_USER + 3, &Seen));
    EXPECT_EQ(HandlerKeyCount(w), 2u);

    PostMessageA(w, WM_CLOSE, 0, 0);
    ASSERT_TRUE(t.WaitFinished(5000));
    EXPECT_FALSE(FindRawWindow(w).has_value());
    EXPECT_FALSE(IsColoredWindow(w));
    EXPECT_EQ(HandlerKeyCount(w), 0u);
    // The dead handle takes no new registrations, so nothing can wait there
    // for a later window that happens to get the same handle.
    EXPECT_FALSE(RegisterHandler(w, WM_USER + 3, &Seen));
    EXPECT_EQ(HandlerKeyCount(w), 0u);

    // A new window starts with its own handlers only.
    WindowThread fresh(RawWindowParams{});
    ASSERT_NE(fresh.Window(), nullptr);
    EXPECT_EQ(HandlerKeyCount(fresh.Window()), 0u);
    ASSERT_TRUE(RegisterHandler(fresh.Window(), WM_USER + 3, &Seen));
    EXPECT_EQ(HandlerRoutineCount(fresh.Window(), WM_USER + 3), 1u);
}

TEST(RawWindow, RoutinesSeeRealMessagesInRegistrationOrder) {
    ResetSeen();
    WindowThread t(RawWindowParams{});
    ASSERT_NE(t.Window(), nullptr);
    ASSERT_TRUE(RegisterHandler(t.Window(), WM_USER + 7, &Seen));
    ASSERT_TRUE(RegisterHandler(t.Window(), WM_USER + 7, &Seen));
    SendMessageA(t.Window(), WM_USER + 7, 11, 22);
    std::vector<std::pair<WPARAM, LPARAM>> expected = {{11, 22}, {11, 22}};
    EXPECT_EQ(SeenSoFar(), expected);
}

TEST(RawWindow, DirectReturnHandlerSkipsDefaultProcessing) {
    ResetSeen();
    WindowThread t(RawWindowParams{});
    ASSERT_NE(t.Window(), nullptr);
    ASSERT_TRUE(RegisterHandler(t.Window(), WM_CLOSE, &Seen, /*directReturn=*/true));
    SendMessageA(t.Window(), WM_CLOSE, 0, 0);
    EXPECT_EQ(g_seenCount, 1);
    EXPECT_TRUE(IsWindow(t.Window()));  // DefWindowProcA would have destroyed it
    EXPECT_FALSE(t.Finished());
    RemoveHandlers(t.Window());  // now WM_CLOSE takes its normal course
    PostMessageA(t.Window(), WM_CLOSE, 0, 0);
    EXPECT_TRUE(t.WaitFinished(5000));
}

// A creation routine that ends the thread's loop without destroying the window.
void QuitEarly(HWND w) {
    RecordCreated(w);
    PostQuitMessage(5);
}

TEST(RawWindow, LoopEndedByAForeignQuitStillCleansUp) {
    std::atomic<HWND> window{nullptr};
    std::atomic<int> passedOn{-1};
    std::thread worker([&] {
        RawWindowParams p;
        p.onCreate = &QuitEarly;
        RawWindow(p);
        window = CreatedBy(GetCurrentThreadId());
        MSG msg;
        if (PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) passedOn = static_cast<int>(msg.wParam);
    });
    worker.join();
    ASSERT_NE(window.load(), nullptr);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(FindRawWindow(window).has_value());
    EXPECT_EQ(passedOn, 5);  // handed on to whatever loop runs next on that thread
}

// ------------------------------------------------------------ failure

std::mutex g_boxGuard;
std::vector<std::pair<std::string, UINT>> g_boxes;
int RecordBox(HWND, const char* text, const char*, UINT flags) {
    std::lock_guard<std::mutex> lock(g_boxGuard);
    g_boxes.emplace_back(text, flags);
    return IDOK;
}

class RawWindowFailure : public ::testing::Test {
protected:
    void SetUp() override {
        g_boxes.clear();
        previous_ = SetMessageBoxRoutine(&RecordBox);
    }
    void TearDown() override { SetMessageBoxRoutine(previous_); }

    // RawWindow on this thread: on failure it must return at once.
    void ExpectFailure(RawWindowParams p) {
        const std::size_t windows = RawWindowListSnapshot().size();
        const std::size_t colored = ColoredWindowListSnapshot().size();
        p.background = RGB(9, 9, 9);
        p.escCloses = 1;
        p.onCommand = &Seen;
        HRGN region = CreateRectRgn(0, 0, 10, 10);
        p.region = region;
        g_boxes.clear();
        RawWindow(p);
        ASSERT_EQ(g_boxes.size(), 1u);
        EXPECT_EQ(g_boxes[0].first, "创建窗口失败！");
        EXPECT_EQ(g_boxes[0].second & MB_ICONMASK, static_cast<UINT>(MB_ICONHAND));
        EXPECT_EQ(RawWindowListSnapshot().size(), windows);
        EXPECT_EQ(ColoredWindowListSnapshot().size(), colored);
        EXPECT_EQ(GetObjectType(region), 0u);  // the handed-over region is not leaked
    }

    MessageBoxRoutine previous_ = nullptr;
};

TEST_F(RawWindowFailure, InvalidParentShowsTheBoxAndAddsNothing) {
    RawWindowParams p;
    p.parent = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x7FFF1234));
    ExpectFailure(p);
}

TEST_F(RawWindowFailure, ChildStyleWithoutParentShowsTheBox) {
    RawWindowParams p;
    p.style = WS_CHILD | WS_VISIBLE;
    ExpectFailure(p);
}

TEST_F(RawWindowFailure, ClassNameTooLongShowsTheBox) {
    RawWindowParams p;
    p.className = std::string(300, 'Q');
    ExpectFailure(p);
}

// ------------------------------------------------------------ threads

void RegisterAndClose(HWND w) {
    RegisterHandler(w, WM_USER + 1, &Seen);
    RegisterHandler(w, WM_USER + 2, &Seen);
    RegisterHandler(w, WM_PAINT, &Seen);
    RecordCreated(w);
    PostMessageA(w, WM_CLOSE, 0, 0);
}

TEST(RawWindowThreads, ManyWindowsComingAndGoingKeepTheListsSound) {
    ResetSeen();
    std::mutex madeGuard;
    std::vector<HWND> made;
    std::vector<std::thread> workers;
    for (int t = 0; t < 4; ++t) {
        workers.emplace_back([&, t] {
            for (int i = 0; i < 8; ++i) {
                RawWindowParams p;
                p.background = RGB(t * 40, i * 20, 0);
                p.onCreate = &RegisterAndClose;
                p.show = (i % 2) == 0;
                p.entryName = std::to_string(t * 100 + i);
                RawWindow(p);
                std::lock_guard<std::mutex> lock(madeGuard);
                made.push_back(CreatedBy(GetCurrentThreadId()));
            }
        });
    }
    for (std::thread& w : workers) w.join();

    ASSERT_EQ(made.size(), 32u);
    std::vector<RawWindowEntry> list = RawWindowListSnapshot();
    auto colored = ColoredWindowListSnapshot();
    for (HWND w : made) {
        ASSERT_NE(w, nullptr);
        EXPECT_FALSE(IsWindow(w));
        EXPECT_EQ(HandlerKeyCount(w), 0u);
        for (const RawWindowEntry& e : list) EXPECT_NE(e.hwnd, w);
        for (const auto& c : colored) EXPECT_NE(c.first, w);
    }
}

}  // namespace
