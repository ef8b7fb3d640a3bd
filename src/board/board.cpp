#include "board/board.h"

#include <commdlg.h>

#include <mutex>
#include <span>
#include <utility>

#include "window/screen.h"
#include "window/owner_thread.h"
#include "settings/settings.h"
#include "board/board_events.h"
#include "board/board_menu.h"
#include "board/board_state.h"
#include "board/board_text.h"
#include "board/commands.h"
#include "board/pointer.h"
#include "board/tools/board_tool.h"
#include "capture/clipboard.h"
#include "capture/region_geometry.h"
#include "graphics/gdi_owners.h"
#include "graphics/gdip_image.h"
#include "graphics/monitors.h"

std::atomic<HWND> BoardWindow{nullptr};
std::atomic<int> ChosenTool{ToolPen};

const char* const kOpenPictureFilter =
    "所有图片文件|*.jpg;*.bmp;*.png;*.gif|JPG图片|*.jpg|BMP图片|*.bmp|PNG图片|*.png|GIF图片|*.gif|"
    "所有文件|*.*";

namespace {

constexpr const char* kBoardClass = "DrawBoardBoard";
constexpr COLORREF kNewCanvasBackground = 0xFFFFFF;
// How long the toolbox waits for a board that is asked for a result: long
// enough for any real work, short enough that nothing hangs on a stuck board.
constexpr DWORD kBoardCallTimeoutMs = 5000;

// The board threads: the id of the one whose window is up, how many are
// still running (a closed board's thread finishes after its window is gone),
// whether one is being started, and an event that is set while none runs.
std::atomic<DWORD> g_boardThreadId{0};
std::atomic<int> g_liveBoardThreads{0};
std::atomic<bool> g_boardStarting{false};
HANDLE g_noBoardThread = CreateEventA(nullptr, TRUE, TRUE, nullptr);
// Signalled when a board has finished its set-up.
HANDLE g_setUpDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);
std::mutex g_threadGuard;

HWND LiveBoard() {
    HWND board = BoardWindow.load();
    return (board != nullptr && IsWindow(board)) ? board : nullptr;
}

// Gives `canvas` the size `size`, creating it when it does not exist yet.
bool SizeCanvas(Canvas& canvas, SIZE size) {
    if (!canvas.IsCreated()) return canvas.Create(size.cx, size.cy, kNewCanvasBackground);
    if (canvas.Width() == size.cx && canvas.Height() == size.cy) return true;
    canvas.Resize(size.cx, size.cy);
    return canvas.Width() == size.cx && canvas.Height() == size.cy;
}

// The picture canvas in the board's size, made with the board canvas's background.
void EnsurePictureCanvas(DrawingBoard& b) {
    if (!b.pictureCanvas.IsCreated()) {
        b.pictureCanvas.Create(b.size.cx, b.size.cy, b.boardCanvas.BackgroundColor());
    } else if (b.pictureCanvas.Width() != b.size.cx || b.pictureCanvas.Height() != b.size.cy) {
        // A board refilled with a picture of another size: the curve layer or
        // the eraser's source must cover the new board exactly.
        b.pictureCanvas.Resize(b.size.cx, b.size.cy);
    }
}

// A board from a picture is centred on the monitor under the pointer.
POINT PictureBoardPosition(SIZE size) {
    POINT pointer{};
    GetCursorPos(&pointer);
    return CentreIn(MonitorAt(MonitorRects(), pointer), size);
}

// Waits, processing messages, until `done` is true or the time is up.
// `wake`, when given, is an event set when `done` may have become true, so
// the wait ends at once instead of at its next look.
template <typename Done>
bool WaitProcessing(Done done, DWORD timeoutMs, HANDLE wake = nullptr) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        const DWORD left = static_cast<DWORD>(deadline - now);
        MsgWaitForMultipleObjects(wake != nullptr ? 1 : 0, &wake, FALSE, left < 10 ? left : 10,
                                  QS_ALLINPUT);
        ProcessPendingMessages();
    }
    return true;
}

// ---- the board thread ----

struct BoardStart {
    std::unique_ptr<Canvas> picture;  // null: the screen
    DWORD delayMs = 0;
};

void BoardThreadEnded() {
    std::lock_guard<std::mutex> lock(g_threadGuard);
    if (g_liveBoardThreads.fetch_sub(1) == 1) SetEvent(g_noBoardThread);
}

DWORD WINAPI BoardThreadProc(LPVOID parameter) {
    std::unique_ptr<BoardStart> start(static_cast<BoardStart*>(parameter));
    Events().Starting();
    // The hidden toolbox needs a moment to vanish from the screen before the
    // screen is read; this thread has nothing else to do meanwhile.
    if (start->delayMs > 0) Sleep(start->delayMs);
    bool opened = false;
    {
        DrawingBoard board(std::move(start->picture));
        if (board.Open()) {
            opened = true;
            MSG msg;
            while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
        }
    }
    g_boardStarting.store(false);
    g_boardThreadId.store(0);
    Events().Ended(opened);
    BoardThreadEnded();
    return 0;
}

// Starts a board thread for `start`. False when the thread cannot be made.
bool StartBoardThread(std::unique_ptr<BoardStart> start) {
    {
        std::lock_guard<std::mutex> lock(g_threadGuard);
        ResetEvent(g_setUpDone);
        g_boardStarting.store(true);
        if (g_liveBoardThreads.fetch_add(1) == 0) ResetEvent(g_noBoardThread);
    }
    BoardStart* handed = start.release();
    HANDLE thread = CreateThread(nullptr, 0, &BoardThreadProc, handed, 0, nullptr);
    if (thread == nullptr) {
        delete handed;
        g_boardStarting.store(false);
        BoardThreadEnded();
        return false;
    }
    CloseHandle(thread);  // nobody joins it: the no-board event says when it is gone
    return true;
}

// The open dialog; false when the user cancels.
bool AskPictureFile(std::string& path) {
    std::string filter = kOpenPictureFilter;
    for (char& c : filter)
        if (c == '|') c = '\0';
    filter.push_back('\0');
    char file[MAX_PATH * 4] = {};
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = Events().OwnerWindow();
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = file;
    ofn.nMaxFile = sizeof(file);
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
    if (!GetOpenFileNameA(&ofn)) return false;
    path = file;
    return !path.empty();
}

}  // namespace

bool MakeBoardFromPicture(std::unique_ptr<Canvas> picture, bool fromFile) {
    if (!picture) return false;
    bool loaded = false;
    bool reached = false;
    if (HWND board = LiveBoard()) {
        reached = CallOnOwner(
            board,
            [board, &picture, &loaded, fromFile] {
                if (DrawingBoard* b = BoardOf(board)) loaded = b->Refill(picture, fromFile);
            },
            kBoardCallTimeoutMs);
        if (reached && !loaded) return false;  // the board could not take the size
        // A board that is busy past the time limit keeps its picture.
        if (!reached && BoardExists()) return false;
    }
    if (!loaded) {
        if (g_boardStarting.load()) return false;  // one board at a time
        auto start = std::make_unique<BoardStart>();
        start->picture = std::move(picture);
        if (!StartBoardThread(std::move(start))) return false;
    }
    Events().CommandInForce(PaletteCommand::MoveBoard);
    SelectTool(ToolMoveBoard);
    return true;
}

// ---- the board object ----

DrawingBoard::DrawingBoard(std::unique_ptr<Canvas> start) : pendingStart_(std::move(start)) {
    state.currentTool = static_cast<ToolKind>(ChosenTool.load());
}

DrawingBoard::~DrawingBoard() {
    if (window_ != nullptr && IsWindow(window_)) DestroyWindow(window_);
}

DrawingBoard* BoardOf(HWND window) {
    // Only a board window runs the board's procedure; its user data is then
    // the bound object (null once it is being destroyed).
    if (window == nullptr ||
        GetWindowLongPtrA(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&DrawingBoard::Proc))
        return nullptr;
    return reinterpret_cast<DrawingBoard*>(GetWindowLongPtrA(window, GWLP_USERDATA));
}

bool DrawingBoard::Open() {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.style = CS_VREDRAW | CS_HREDRAW;
        wc.lpfnWndProc = &DrawingBoard::Proc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        wc.lpszClassName = kBoardClass;
        return RegisterClassExA(&wc) != 0;
    }();
    if (!registered) return false;
    POINT at{};
    if (pendingStart_) {
        size = SIZE{pendingStart_->Width(), pendingStart_->Height()};
        at = PictureBoardPosition(size);
    } else {
        // The whole desktop, every monitor, from its top-left corner (negative
        // when a monitor lies left of or above the primary).
        const RECT desktop = VirtualScreenRect();
        size = SIZE{desktop.right - desktop.left, desktop.bottom - desktop.top};
        at = POINT{desktop.left, desktop.top};
    }
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, kBoardClass, "画板", WS_POPUP, at.x, at.y,
                                  size.cx, size.cy, nullptr, nullptr, GetModuleHandleA(nullptr),
                                  this);
    // A failed set-up makes WM_CREATE refuse the window.
    return window != nullptr && window_ != nullptr;
}

LRESULT CALLBACK DrawingBoard::Proc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* cs = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* self = static_cast<DrawingBoard*>(cs->lpCreateParams);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
        if (self != nullptr) self->window_ = window;
    }
    auto* self = reinterpret_cast<DrawingBoard*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (self == nullptr) return DefWindowProcA(window, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        DropOwnerWork(window);
        HWND expected = window;
        BoardWindow.compare_exchange_strong(expected, nullptr);
        self->window_ = nullptr;
        PostQuitMessage(0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    const LRESULT result = self->Handle(message, wParam, lParam);
    // Every commit goes through a message of the board: here, after it, is
    // the one place where what it changed becomes an undo step.
    self->RecordChange();
    return result;
}

LRESULT DrawingBoard::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    // Most messages are handed whole to a handler that takes the board window
    // and the message's own parameters; they answer 0. A short scan is cheaper
    // than anything a handler does, mouse moves included.
    struct Forwarded {
        UINT message;
        void (*handler)(HWND, WPARAM, LPARAM);
    };
    static constexpr Forwarded kForwarded[] = {
        {WM_MOUSEMOVE, &OnPointerMove},
        {WM_LBUTTONDOWN, &OnLeftDown},
        {WM_LBUTTONUP, &OnLeftUp},
        {WM_MOUSEWHEEL, &OnWheel},
        {WM_RBUTTONDOWN, &OnBoardRightButtonDown},
        {WM_RBUTTONUP, &OnBoardRightButtonUp},
        {WM_KEYDOWN, &OnBoardKeyDown},
        {WM_KEYUP, &OnBoardKeyUp},
        {WM_MOVE, &OnBoardMoved},
        {WM_COMMAND, &BoardMenuCommand},
        {BoardSettingMessage, &OnBoardSettingMessage},
    };
    HWND w = window_;
    for (const Forwarded& entry : kForwarded) {
        if (entry.message == message) {
            entry.handler(w, wParam, lParam);
            return 0;
        }
    }
    switch (message) {
    case WM_CREATE:
        return SetUp() ? 0 : -1;
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the canvas covers the whole client area
    case WM_CLOSE:
        Close();
        return 0;
    case kRunOnOwnerMessage:
        return RunOwnerWork(wParam, lParam);
    case kBoardFontMessage:
        BoardTextFontChanged(*this);
        return 0;
    case kBoardToolMessage:
        SelectToolOnBoard(*this, static_cast<ToolKind>(wParam));
        return 0;
    case WM_CHAR:
        BoardTextChar(*this, wParam);
        return 0;
    case WM_SETFOCUS:
        BoardTextFocus(*this);
        return 0;
    default:
        return DefWindowProcA(w, message, wParam, lParam);
    }
}

bool DrawingBoard::SizeCanvases(SIZE wanted) {
    const bool boardWasCreated = boardCanvas.IsCreated();
    const SIZE oldBoard{boardCanvas.Width(), boardCanvas.Height()};
    if (!SizeCanvas(boardCanvas, wanted)) return false;
    if (!SizeCanvas(backCanvas, wanted)) {
        if (boardWasCreated) {
            SizeCanvas(boardCanvas, oldBoard);
            RestoreBoardCanvas(*this);
        }
        return false;
    }
    return true;
}

// The board's creation, on the board thread (WM_CREATE). The window is not
// shown yet, so a screen capture does not contain it.
bool DrawingBoard::SetUp() {
    if (!SizeCanvases(size)) return false;
    if (pendingStart_) {
        // The decoded picture becomes the starting picture as it is.
        startPicture = std::move(pendingStart_);
    } else {
        // A plain block copy of the desktop under the window, every monitor
        // (gaps between monitors give what the capture gives there).
        startPicture = std::make_unique<Canvas>();
        if (!startPicture->Create(size.cx, size.cy, kNewCanvasBackground)) return false;
        RECT placed{};
        GetWindowRect(window_, &placed);
        HDC screen = GetDC(nullptr);
        if (screen == nullptr) return false;
        BitBlt(startPicture->DeviceContext(), 0, 0, size.cx, size.cy, screen, placed.left,
               placed.top, SRCCOPY);
        ReleaseDC(nullptr, screen);
    }
    CopyWholeCanvas(boardCanvas, *startPicture);
    // From here on other threads may hand the board work.
    BoardWindow.store(window_);
    g_boardThreadId.store(GetCurrentThreadId());
    state.currentTool = static_cast<ToolKind>(ChosenTool.load());
    state.dragging = false;
    state.spaceHeld = false;
    state.ctrlHeld = false;
    state.shiftHeld = false;
    BuildBoardMenu();

    CommitBoardCanvas(*this);
    ApplySettingsToCanvases(*this);
    ResetMultiPointState(*this);
    PreparePictureCanvas(*this);
    StartHistory();

    ShowWindow(window_, SW_SHOW);
    boardCanvas.ShowInWindow(window_, std::nullopt, false);

    SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (Events().Opened(window_)) {
        // A window of the program floats over the board.
        SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    SetActiveWindow(window_);
    SetForegroundWindow(window_);
    ShowBoardCanvas(*this);
    g_boardStarting.store(false);
    SetEvent(g_setUpDone);
    return true;
}

void DrawingBoard::Paint() {
    PAINTSTRUCT ps{};
    BeginPaint(window_, &ps);
    boardCanvas.ShowInWindow(window_, std::nullopt, false);
    EndPaint(window_, &ps);
}

// WM_CLOSE: what the board leaves behind is settled here; the canvases go
// with the object when the thread ends.
void DrawingBoard::Close() {
    HWND expected = window_;
    BoardWindow.compare_exchange_strong(expected, nullptr);
    DestroyBoardMenu();
    if (pictureCanvas.IsCreated()) pictureCanvas.Destroy();
    history.Drop();
    SaveSettings();
    Events().Closing();
    BoardTextEnd(*this);
    DestroyWindow(window_);
}

bool DrawingBoard::Refill(std::unique_ptr<Canvas>& picture, bool fromFile) {
    if (!picture) return false;
    const SIZE wanted{picture->Width(), picture->Height()};
    if (!SizeCanvases(wanted)) return false;
    startPicture = std::move(picture);
    size = wanted;

    const POINT at = PictureBoardPosition(size);
    MoveWindow(window_, at.x, at.y, size.cx, size.cy, TRUE);
    CopyWholeCanvas(boardCanvas, *startPicture);
    CommitBoardCanvas(*this);
    ResetMultiPointState(*this);
    StartHistory();  // a new picture: what was drawn before cannot come back
    if (fromFile) {
        PreparePictureCanvas(*this);
        SetWindowPos(window_, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    ShowBoardCanvas(*this);
    Events().Refilled();
    return true;
}

// ---- threads ----

bool BoardExists() { return LiveBoard() != nullptr; }

bool OnBoardThread() {
    const DWORD id = g_boardThreadId.load();
    return id != 0 && id == GetCurrentThreadId();
}

void ProcessPendingMessages() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the thread's own loop
            return;
        }
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

void WaitProcessingMessages(DWORD milliseconds) {
    WaitProcessing([] { return false; }, milliseconds);
}

bool WithBoard(const std::function<void(DrawingBoard&)>& work, DWORD timeoutMs) {
    HWND board = LiveBoard();
    if (board == nullptr) return false;
    if (OnBoardThread()) {
        DrawingBoard* b = BoardOf(board);
        if (b == nullptr) return false;
        work(*b);
        return true;
    }
    // Posted behind what is queued already; the caller's frame outlives it
    // unless the wait gives up, and then it is told not to run.
    struct Shared {
        std::atomic<int> state{0};  // 0 waiting, 1 running, 2 done, 3 abandoned
        KernelHandle done{CreateEventA(nullptr, TRUE, FALSE, nullptr)};
    };
    auto shared = std::make_shared<Shared>();
    const auto* w = &work;
    const bool posted = RunOnOwner(board, [shared, w, board] {
        int expected = 0;
        if (!shared->state.compare_exchange_strong(expected, 1)) return;
        if (DrawingBoard* b = BoardOf(board)) (*w)(*b);
        shared->state.store(2);
        if (shared->done) SetEvent(shared->done.Get());
    });
    if (!posted) return false;
    HANDLE done = shared->done.Get();
    WaitProcessing([&] { return shared->state.load() == 2 || !IsWindow(board); }, timeoutMs, done);
    int expected = 0;
    if (shared->state.compare_exchange_strong(expected, 3)) return false;
    WaitProcessing([&] { return shared->state.load() == 2; }, INFINITE, done);
    return true;
}

bool WaitForBoardReady(DWORD timeoutMs) {
    return WaitProcessing(
        [] {
            return BoardExists() && !g_boardStarting.load() &&
                   WaitForSingleObject(g_setUpDone, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
}

bool WaitForBoardGone(DWORD timeoutMs) {
    return WaitProcessing(
        [] { return !BoardExists() && WaitForSingleObject(g_noBoardThread, 0) == WAIT_OBJECT_0; },
        timeoutMs);
}

POINT CenteredBoardPosition(SIZE screen, SIZE board) {
    return CentreIn(RECT{0, 0, screen.cx, screen.cy}, board);
}

std::unique_ptr<Canvas> DecodePicture(const std::vector<std::uint8_t>& bytes) {
    if (bytes.empty()) return nullptr;
    GdipImage image;
    if (!image.LoadFromData(bytes)) return nullptr;
    const int width = image.Width();
    const int height = image.Height();
    if (width <= 0 || height <= 0) return nullptr;
    auto canvas = std::make_unique<Canvas>();
    if (!canvas->Create(width, height, kNewCanvasBackground)) return nullptr;
    if (canvas->DrawPicture(image.Handle(), 0, 0, width, height) != 0) return nullptr;
    return canvas;
}

// ---- canvas helpers ----

void CopyWholeCanvas(Canvas& dest, const Canvas& source) {
    if (!source.IsCreated() || !dest.IsCreated()) return;
    CopyAreaArgs args;
    args.srcDC = source.DeviceContext();
    dest.CopyArea(args);
}

void RestoreBoardCanvas(DrawingBoard& b) { CopyWholeCanvas(b.boardCanvas, b.backCanvas); }

void CommitBoardCanvas(DrawingBoard& b) {
    CopyWholeCanvas(b.backCanvas, b.boardCanvas);
    b.state.backChanged = true;
}

bool DrawingBoard::GestureUnderWay() const {
    if (state.dragging || state.typing) return true;
    const BoardTool* tool = tools.For(state.currentTool);
    return tool != nullptr && tool->ShapeOpen();
}

void DrawingBoard::RecordChange() {
    if (!state.backChanged || GestureUnderWay()) return;
    state.backChanged = false;
    history.Record(backCanvas.Pixels());
}

void DrawingBoard::StartHistory() {
    history.Start(backCanvas.Pixels(), backCanvas.Width(), backCanvas.Height());
    state.backChanged = false;
}

bool UndoOnBoard(DrawingBoard& b, bool redo) {
    if (b.GestureUnderWay()) {
        // Ended as a tool switch ends it: a drag in progress is dropped, a
        // shape of several clicks stays as far as it was committed, the
        // curve and the text being typed are drawn for good.
        if (b.state.dragging) {
            b.state.dragging = false;
            ReleaseCapture();
        }
        SelectToolOnBoard(b, b.state.currentTool);
        b.tools.ResetGestures();
    }
    // Any change not yet taken as a step is taken now (the undo then takes
    // it back first).
    b.state.backChanged = false;
    std::span<std::uint32_t> pixels = b.backCanvas.Pixels();
    const bool changed = (redo ? b.history.Redo(pixels) : b.history.Undo(pixels)).has_value();
    RestoreBoardCanvas(b);
    ShowBoardCanvas(b);
    return changed;
}

void ShowBoardCanvas(DrawingBoard& b) {
    if (b.Window() != nullptr) b.boardCanvas.ShowInWindow(b.Window(), std::nullopt, false);
}

void ApplySettingsToCanvases(DrawingBoard& b) {
    for (Canvas* canvas : {&b.boardCanvas, &b.backCanvas}) {
        canvas->PenWidth(Settings.penWidth.load());
        canvas->PenColor(static_cast<COLORREF>(Settings.penColor.load()));
        canvas->BrushColor(static_cast<COLORREF>(Settings.brushColor.load()));
        canvas->BrushStyle(Settings.brushType.load());
        canvas->TextColor(static_cast<COLORREF>(Settings.textColor.load()));
    }
    const int back = Settings.backColor.load();
    for (Canvas* canvas : {&b.boardCanvas, &b.backCanvas}) {
        if (back == kNoTextBackground) {
            canvas->TextTransparent(true);
        } else {
            canvas->TextTransparent(false);
            canvas->TextBackColor(static_cast<COLORREF>(back));
        }
    }
}

void PreparePictureCanvas(DrawingBoard& b) {
    const int tool = b.state.currentTool;
    if (tool != ToolCurve && tool != ToolEraser) return;
    EnsurePictureCanvas(b);
    // The eraser's source is the untouched starting picture; the curve's
    // layer is the drawing so far.
    CopyWholeCanvas(b.pictureCanvas, tool == ToolEraser ? *b.startPicture : b.boardCanvas);
}

void ApplyClear(DrawingBoard& b) {
    if (b.startPicture) CopyWholeCanvas(b.boardCanvas, *b.startPicture);
    CommitBoardCanvas(b);
    ResetMultiPointState(b);
    ShowBoardCanvas(b);
    b.boardMatchesBack = true;
}

// ---- board operations ----

void CaptureToBoard() {
    if (BoardExists() || g_boardStarting.load()) {
        Events().CommandDropped();
        return;
    }
    Events().Capturing();
    auto start = std::make_unique<BoardStart>();
    // Bounded here too: the setting may have been changed since it was read.
    const int delay = BoundedCaptureDelay(Settings.captureDelay.load());
    start->delayMs = delay > 0 ? static_cast<DWORD>(delay) : 0;
    if (!StartBoardThread(std::move(start))) Events().Ended(false);
}

void OpenPictureBoard() {
    std::string path;
    if (!AskPictureFile(path) || !OpenPictureBoardFile(path)) {
        // Cancelled, or a file that cannot become a board: as if cancelled.
        Events().CommandDropped();
    }
}

bool OpenPictureBoardFile(const std::string& path) {
    // A header that states a size we refuse: not even read.
    std::vector<std::uint8_t> bytes;
    if (!ReadPictureFile(path, bytes)) return false;
    return MakeBoardFromPicture(DecodePicture(bytes), true);
}

bool PasteClipboardBoard() {
    std::vector<std::uint8_t> bytes = ReadClipboardPicture();
    if (bytes.empty()) return false;
    return MakeBoardFromPicture(DecodePicture(bytes), false);
}

void ClearBoard() {
    const auto remembered = static_cast<ToolKind>(ChosenTool.load());
    const bool hadBoard = BoardExists();
    // The clear is the clearing tool's switch; the board applies it in turn
    // with the selections queued before and after it.
    SelectTool(ToolClearing);
    if (!hadBoard) return;  // only the tool changes; there is nothing to clear

    // Back to the tool of before, through its own cell (the previously
    // selected cell may be one that selects no tool, such as capture or help).
    const ToolCell cell = CellOfTool(remembered);
    if (cell.command != PaletteCommand::None) {
        Events().CommandInForce(cell.command);
        RunCellCommand(cell.command, cell.right);
    } else {
        Events().CommandDropped();
    }
}

void CloseBoard() {
    if (HWND board = LiveBoard()) PostMessageA(board, WM_CLOSE, 0, 0);
    Events().CommandInForce(PaletteCommand::Pen);
    // The pen again, without a switch: the board that would apply one is closing.
    ChosenTool.store(ToolPen);
}

bool CloseBoardAndWait(DWORD timeoutMs) {
    if (HWND board = LiveBoard()) PostMessageA(board, WM_CLOSE, 0, 0);
    // A board still starting closes as soon as it is up.
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (WaitForSingleObject(g_noBoardThread, 0) == WAIT_OBJECT_0) return true;
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        const DWORD left = static_cast<DWORD>(deadline - now);
        if (WaitAnsweringSentMessages(g_noBoardThread, left < 20 ? left : 20)) return true;
        if (HWND board = LiveBoard()) PostMessageA(board, WM_CLOSE, 0, 0);
    }
}

void PostBoardFontChanged() {
    if (HWND board = LiveBoard()) PostMessageA(board, kBoardFontMessage, 0, 0);
}

void CopyBoardToClipboard() {
    if (HWND board = LiveBoard()) {
        RunOnOwner(board, [board] {
            if (DrawingBoard* b = BoardOf(board))
                CopyCanvasToClipboard(Events().OwnerWindow(), b->boardCanvas);
        });
    }
}

void ExitProgram() { Events().ExitWanted(); }
