#include "board/board.h"

#include <commdlg.h>

#include <fstream>
#include <iterator>
#include <utility>

#include "app/globals.h"
#include "app/handler_table.h"
#include "app/hotkey.h"
#include "app/menus.h"
#include "app/palette.h"
#include "app/raw_window.h"
#include "app/settings.h"
#include "board/board_menu.h"
#include "board/board_state.h"
#include "board/commands.h"
#include "board/pointer.h"
#include "capture/clipboard.h"
#include "graphics/canvas.h"
#include "graphics/gdip_image.h"

std::atomic<HWND> BoardWindow{nullptr};

const char* const kOpenPictureFilter =
    "所有图片文件|*.jpg;*.bmp;*.png;*.gif|JPG图片|*.jpg|BMP图片|*.bmp|PNG图片|*.png|GIF图片|*.gif|"
    "所有文件|*.*";

namespace {

constexpr COLORREF kNewCanvasBackground = 0xFFFFFF;
// Limits on waits that depend on another thread: long enough for any real
// set-up, short enough that nothing hangs when a thread misbehaves.
constexpr DWORD kBoardSetUpTimeoutMs = 30000;
constexpr DWORD kBoardGoneTimeoutMs = 5000;
constexpr DWORD kClearWaitTimeoutMs = 5000;

// The board thread: its id while it runs, how many board threads are still
// running (a closed board's thread finishes after its window is gone), and
// whether a board is being started.
std::atomic<DWORD> g_boardThreadId{0};
std::atomic<int> g_liveBoardThreads{0};
std::atomic<bool> g_boardStarting{false};
// Signalled when a board has finished its set-up.
HANDLE g_setUpDone = CreateEventA(nullptr, TRUE, FALSE, nullptr);

struct BoardRun {
    const std::function<void()>* work = nullptr;
    bool ran = false;
};

void OnBoardRunMessage(HWND, WPARAM, LPARAM lParam) {
    auto* run = reinterpret_cast<BoardRun*>(lParam);
    if (run == nullptr || run->work == nullptr) return;
    (*run->work)();
    run->ran = true;
}

HWND LiveToolbox() {
    HWND toolbox = ToolboxWindow.load();
    return (toolbox != nullptr && IsWindow(toolbox)) ? toolbox : nullptr;
}

// The toolbox lives on the main thread. From the board thread its window is
// changed asynchronously: the board never waits for a busy main thread (which
// may itself be waiting for the board).
UINT ToolboxPosFlags(HWND toolbox) {
    const bool foreign = GetWindowThreadProcessId(toolbox, nullptr) != GetCurrentThreadId();
    return SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | (foreign ? SWP_ASYNCWINDOWPOS : 0);
}

void SetToolboxTopmost(bool topmost) {
    if (HWND toolbox = LiveToolbox()) {
        SetWindowPos(toolbox, topmost ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
                     ToolboxPosFlags(toolbox));
    }
}

void ShowToolbox(HWND toolbox, int how) {
    if (GetWindowThreadProcessId(toolbox, nullptr) != GetCurrentThreadId()) {
        ShowWindowAsync(toolbox, how);
    } else {
        ShowWindow(toolbox, how);
    }
}

void SetHelpWindowTopmost(bool topmost) {
    if (CommandSeams.helpWindowTopmost != nullptr) CommandSeams.helpWindowTopmost(topmost);
}

// Draws BasePicture at (0,0) of `canvas` in its own size.
void DrawBasePicture(Canvas& canvas) {
    if (BasePicture.empty()) return;
    if (GpImage* image = canvas.LoadPicture(BasePicture)) canvas.DrawPicture(image, 0, 0);
}

// Gives `canvas` the size `size`, creating it when it does not exist yet.
bool SizeCanvas(Canvas& canvas, SIZE size) {
    if (!canvas.IsCreated()) return canvas.Create(size.cx, size.cy, kNewCanvasBackground);
    if (canvas.Width() == size.cx && canvas.Height() == size.cy) return true;
    canvas.Resize(size.cx, size.cy);
    return canvas.Width() == size.cx && canvas.Height() == size.cy;
}

// Both board canvases to `size`. When one of them cannot take the size, both
// are left at their old size (BoardCanvas showing the committed drawing).
bool SizeBoardCanvases(SIZE size) {
    const bool boardWasCreated = BoardCanvas.IsCreated();
    const SIZE oldBoard{BoardCanvas.Width(), BoardCanvas.Height()};
    if (!SizeCanvas(BoardCanvas, size)) return false;
    if (!SizeCanvas(BackCanvas, size)) {
        if (boardWasCreated) {
            SizeCanvas(BoardCanvas, oldBoard);
            RestoreBoardCanvas();
        }
        return false;
    }
    return true;
}

// PictureCanvas in BoardSize, made with the background of BoardCanvas.
void EnsurePictureCanvas() {
    if (!PictureCanvas.IsCreated()) {
        PictureCanvas.Create(BoardSize.cx, BoardSize.cy, BoardCanvas.BackgroundColor());
    } else if (PictureCanvas.Width() != BoardSize.cx || PictureCanvas.Height() != BoardSize.cy) {
        // A board refilled with a picture of another size: the curve layer or
        // the eraser's source must cover the new board exactly.
        PictureCanvas.Resize(BoardSize.cx, BoardSize.cy);
    }
}

// Waits, processing messages, until `done` is true or the time is up.
template <typename Done>
bool WaitProcessing(Done done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) return false;
        const DWORD left = static_cast<DWORD>(deadline - now);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, left < 10 ? left : 10, QS_ALLINPUT);
        ProcessPendingMessages();
    }
    return true;
}

// ---- the board window ----

void OnBoardPaint(HWND window, WPARAM, LPARAM) {
    PAINTSTRUCT ps{};
    BeginPaint(window, &ps);
    BoardCanvas.ShowInWindow(window, std::nullopt, false);
    EndPaint(window, &ps);
}

void OnBoardClose(HWND window, WPARAM, LPARAM) {
    ProcessPendingMessages();
    HWND expected = window;
    BoardWindow.compare_exchange_strong(expected, nullptr);
    DestroyBoardMenu();
    if (PictureCanvas.IsCreated()) PictureCanvas.Destroy();
    SaveSettings();
    BasePicture.clear();
    BoardCanvas.Clear();
    BackCanvas.Clear();
    SetHelpWindowTopmost(false);
    if (Board.typing) {
        if (CommandSeams.textEnd != nullptr) CommandSeams.textEnd();
        Board.typing = false;
        DestroyCaret();
    }
    // The default handling that follows destroys the window.
}

void OnBoardChar(HWND window, WPARAM wParam, LPARAM lParam) {
    if (CommandSeams.textChar != nullptr) CommandSeams.textChar(window, wParam, lParam);
}

void OnBoardSetFocus(HWND window, WPARAM wParam, LPARAM lParam) {
    if (CommandSeams.textSetFocus != nullptr) CommandSeams.textSetFocus(window, wParam, lParam);
}

// The board's creation routine, on the board thread.
void BoardSetUp(HWND window) {
    // The hand-over message first: from the moment the handle is known,
    // other threads send their work here.
    RegisterHandler(window, kBoardRunMessage, &OnBoardRunMessage);
    BoardWindow.store(window);
    Board.dragging = false;
    Board.spaceHeld = false;
    Board.ctrlHeld = false;
    Board.shiftHeld = false;

    RegisterHandler(window, WM_PAINT, &OnBoardPaint);
    RegisterHandler(window, WM_CLOSE, &OnBoardClose);
    RegisterHandler(window, BoardSettingMessage, &OnBoardSettingMessage);
    RegisterHandler(window, WM_MOUSEMOVE, &OnPointerMove);
    RegisterHandler(window, WM_LBUTTONDOWN, &OnLeftDown);
    RegisterHandler(window, WM_LBUTTONUP, &OnLeftUp);
    RegisterHandler(window, WM_MOUSEWHEEL, &OnWheel);
    RegisterHandler(window, WM_RBUTTONDOWN, &OnBoardRightButtonDown);
    RegisterHandler(window, WM_RBUTTONUP, &OnBoardRightButtonUp);
    RegisterHandler(window, WM_KEYDOWN, &OnBoardKeyDown);
    RegisterHandler(window, WM_KEYUP, &OnBoardKeyUp);
    RegisterHandler(window, WM_MOVE, &OnBoardMoved);
    RegisterHandler(window, WM_CHAR, &OnBoardChar);
    RegisterHandler(window, WM_SETFOCUS, &OnBoardSetFocus);

    ProcessPendingMessages();
    BuildBoardMenu();

    BoardCanvas.Clear();
    if (!BasePicture.empty()) {
        DrawBasePicture(BoardCanvas);
    } else {
        // A plain block copy of the primary screen; the board window is not
        // shown yet, so it is not in the picture.
        HDC screen = GetDC(nullptr);
        if (screen != nullptr) {
            BitBlt(BoardCanvas.DeviceContext(), 0, 0, ScreenSize.cx, ScreenSize.cy, screen, 0, 0,
                   SRCCOPY);
            BasePicture = BoardCanvas.ToBmpBytes();
            ReleaseDC(nullptr, screen);
        }
    }
    CommitBoardCanvas();
    ApplySettingsToCanvases();
    ResetMultiPointState();
    PreparePictureCanvas();

    ShowWindow(window, SW_SHOW);
    ProcessPendingMessages();
    BoardCanvas.ShowInWindow(window, std::nullopt, false);

    SetWindowPos(window, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    if (HWND toolbox = LiveToolbox()) {
        // The toolbox floats over the board.
        SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
        ShowToolbox(toolbox, SW_SHOWNOACTIVATE);
        SetToolboxTopmost(true);
    }

    const DWORD self = GetCurrentThreadId();
    const DWORD boardThread = GetWindowThreadProcessId(window, nullptr);
    const bool attached = self != boardThread && AttachThreadInput(self, boardThread, TRUE);
    SetActiveWindow(window);
    if (attached) AttachThreadInput(self, boardThread, FALSE);
    SetForegroundWindow(window);

    SendMessageA(window, WM_PAINT, 0, 0);
    SetHelpWindowTopmost(true);
    SetEvent(g_setUpDone);
}

DWORD WINAPI BoardThreadProc(LPVOID) {
    g_boardThreadId.store(GetCurrentThreadId());
    SetToolboxTopmost(true);

    RawWindowParams params;
    params.title = "画板";
    params.positionMode = WindowPosition::Centred;
    params.size = BoardSize;
    params.show = false;
    params.showInTaskbar = false;
    params.style = WS_POPUP;
    params.onCreate = &BoardSetUp;
    params.onCommand = &BoardMenuCommand;
    RawWindow(params);

    SetToolboxTopmost(false);
    g_boardThreadId.store(0);
    g_liveBoardThreads.fetch_sub(1);
    return 0;
}

// Starts the board thread and waits, processing messages, until the board
// has been set up (or its window could not be made). Until then the board
// thread owns the canvases; the set-up also talks to the toolbox on this
// thread, which is why messages keep flowing meanwhile.
void StartBoardThread() {
    ResetEvent(g_setUpDone);
    g_boardStarting.store(true);
    g_liveBoardThreads.fetch_add(1);
    HANDLE thread = CreateThread(nullptr, 0, &BoardThreadProc, nullptr, 0, nullptr);
    if (thread == nullptr) {
        g_liveBoardThreads.fetch_sub(1);
        g_boardStarting.store(false);
        return;
    }
    HANDLE handles[2] = {g_setUpDone, thread};
    const ULONGLONG deadline = GetTickCount64() + kBoardSetUpTimeoutMs;
    bool pumping = true;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) break;
        const DWORD left = static_cast<DWORD>(deadline - now);
        const DWORD result = pumping
                                 ? MsgWaitForMultipleObjects(2, handles, FALSE, left, QS_ALLINPUT)
                                 : WaitForMultipleObjects(2, handles, FALSE, left);
        if (result == WAIT_OBJECT_0 || result == WAIT_OBJECT_0 + 1) break;
        if (result == WAIT_OBJECT_0 + 2) {
            MSG msg;
            while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    // Leave the quit for the caller's loop and stop pumping.
                    PostQuitMessage(static_cast<int>(msg.wParam));
                    pumping = false;
                    break;
                }
                TranslateMessage(&msg);
                DispatchMessageA(&msg);
            }
            continue;
        }
        break;  // failed or timed out
    }
    CloseHandle(thread);
    g_boardStarting.store(false);
}

// The board picture from `bytes` of a decoded size: steps 3-5 of opening a
// picture, run where the board lives. False when the canvases cannot take
// the size; then nothing has changed.
struct PictureLoad {
    std::vector<std::uint8_t> bytes;
    SIZE size{};
    bool fromFile = true;
    bool loaded = false;
    bool reused = false;
};

void LoadBoardPicture(PictureLoad& load) {
    if (!SizeBoardCanvases(load.size)) return;
    BasePicture = std::move(load.bytes);
    BoardSize = load.size;
    load.loaded = true;
    ProcessPendingMessages();

    HWND board = BoardWindow.load();
    if (board == nullptr || !IsWindow(board)) return;
    load.reused = true;
    const POINT at = CenteredBoardPosition(ScreenSize, BoardSize);
    MoveWindow(board, at.x, at.y, BoardSize.cx, BoardSize.cy, TRUE);
    BoardCanvas.Clear();
    DrawBasePicture(BoardCanvas);
    CommitBoardCanvas();
    ResetMultiPointState();
    if (load.fromFile) {
        PreparePictureCanvas();
        SetWindowPos(board, HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    }
    SendMessageA(board, WM_PAINT, 0, 0);
    SetToolboxTopmost(true);
}

// Decodes the picture once to learn its size. False when it does not decode,
// is refused as too large, or has no pixels.
bool DecodedPictureSize(const std::vector<std::uint8_t>& bytes, SIZE& size) {
    if (bytes.empty()) return false;
    GdipImage image;
    if (!image.LoadFromData(bytes)) return false;
    size.cx = image.Width();
    size.cy = image.Height();
    return size.cx > 0 && size.cy > 0;
}

bool MakeBoardFromPicture(std::vector<std::uint8_t> bytes, bool fromFile) {
    PictureLoad load;
    if (!DecodedPictureSize(bytes, load.size)) return false;
    load.bytes = std::move(bytes);
    load.fromFile = fromFile;
    RunOnBoardThread([&load] { LoadBoardPicture(load); });
    if (!load.loaded) return false;
    if (!load.reused) StartBoardThread();
    SelectCell(PaletteCellOfCommand(PaletteCommand::MoveBoard));
    SelectTool(ToolMoveBoard);
    return true;
}

// Largest picture file read into memory; anything the decoder accepts is far
// smaller, and a huge file must not be loaded just to be refused.
constexpr unsigned long long kMaxPictureFileBytes = 1ULL << 30;

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return false;
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return false;
    const unsigned long long size =
        (static_cast<unsigned long long>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (size == 0 || size > kMaxPictureFileBytes) return false;
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad();
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
    ofn.hwndOwner = LiveToolbox();
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

// ---- threads ----

bool BoardExists() {
    HWND board = BoardWindow.load();
    return board != nullptr && IsWindow(board);
}

bool OnBoardThread() {
    const DWORD id = g_boardThreadId.load();
    return id != 0 && id == GetCurrentThreadId();
}

void RunOnBoardThread(const std::function<void()>& work) {
    if (!OnBoardThread()) {
        // A board that is starting or closing still owns the canvases: wait
        // until it is either up (and takes the work) or gone.
        if (!BoardExists() && g_liveBoardThreads.load() > 0) {
            WaitProcessing([] { return BoardExists() || g_liveBoardThreads.load() == 0; },
                           kBoardGoneTimeoutMs);
        }
        HWND board = BoardWindow.load();
        if (board != nullptr && IsWindow(board)) {
            BoardRun run{&work, false};
            SendMessageA(board, kBoardRunMessage, 0, reinterpret_cast<LPARAM>(&run));
            if (run.ran) return;
            // The board went away before it could take the work.
        }
    }
    work();
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

bool WaitForBoardReady(DWORD timeoutMs) {
    return WaitProcessing(
        [] { return BoardExists() && !g_boardStarting.load() &&
                    WaitForSingleObject(g_setUpDone, 0) == WAIT_OBJECT_0; },
        timeoutMs);
}

bool WaitForBoardGone(DWORD timeoutMs) {
    return WaitProcessing([] { return !BoardExists() && g_liveBoardThreads.load() == 0; },
                          timeoutMs);
}

POINT CenteredBoardPosition(SIZE screen, SIZE board) {
    return POINT{(screen.cx - board.cx) / 2, (screen.cy - board.cy) / 2};
}

// ---- canvas helpers ----

void CopyWholeCanvas(Canvas& dest, const Canvas& source) {
    if (!source.IsCreated() || !dest.IsCreated()) return;
    CopyAreaArgs args;
    args.srcDC = source.DeviceContext();
    dest.CopyArea(args);
}

void RestoreBoardCanvas() {
    CopyWholeCanvas(BoardCanvas, BackCanvas);
}

void CommitBoardCanvas() {
    CopyWholeCanvas(BackCanvas, BoardCanvas);
}

void ShowBoardCanvas() {
    HWND board = BoardWindow.load();
    if (board != nullptr && IsWindow(board)) BoardCanvas.ShowInWindow(board, std::nullopt, false);
}

void SendBoardPaint() {
    HWND board = BoardWindow.load();
    if (board != nullptr && IsWindow(board)) SendMessageA(board, WM_PAINT, 0, 0);
}

void ApplySettingsToCanvases() {
    for (Canvas* canvas : {&BoardCanvas, &BackCanvas}) {
        canvas->PenWidth(Settings.penWidth.load());
        canvas->PenColor(static_cast<COLORREF>(Settings.penColor.load()));
        canvas->BrushColor(static_cast<COLORREF>(Settings.brushColor.load()));
        canvas->BrushStyle(Settings.brushType.load());
        canvas->TextColor(static_cast<COLORREF>(Settings.textColor.load()));
    }
    const int back = Settings.backColor.load();
    for (Canvas* canvas : {&BoardCanvas, &BackCanvas}) {
        if (back == kNoTextBackground) {
            canvas->TextTransparent(true);
        } else {
            canvas->TextTransparent(false);
            canvas->TextBackColor(static_cast<COLORREF>(back));
        }
    }
}

void PreparePictureCanvas() {
    const int tool = Board.currentTool;
    if (tool != ToolCurve && tool != ToolEraser) return;
    EnsurePictureCanvas();
    if (tool == ToolEraser) {
        PictureCanvas.Clear();
        DrawBasePicture(PictureCanvas);
    } else {
        CopyWholeCanvas(PictureCanvas, BoardCanvas);
    }
}

void ApplyClear() {
    ProcessPendingMessages();
    BoardCanvas.Clear();
    DrawBasePicture(BoardCanvas);
    CommitBoardCanvas();
    ResetMultiPointState();
    SendBoardPaint();
    Board.clearDone = true;
}

// ---- board operations ----

void CaptureToBoard() {
    if (BoardExists() || g_boardStarting.load()) {
        SelectCell(PreviousSelectedCell());
        return;
    }
    HWND toolbox = LiveToolbox();
    if (toolbox != nullptr) ShowToolbox(toolbox, SW_HIDE);
    ProcessPendingMessages();
    const int delay = Settings.captureDelay.load();
    if (delay > 0) WaitProcessingMessages(static_cast<DWORD>(delay));
    // Messages processed while waiting may have started a board already.
    if (BoardExists() || g_boardStarting.load()) return;

    BasePicture.clear();
    BoardSize = ScreenSize;
    if (!SizeBoardCanvases(BoardSize)) {
        // No surface for the screen: the toolbox comes back, nothing else changes.
        if (toolbox != nullptr) ShowToolbox(toolbox, SW_SHOW);
        return;
    }
    StartBoardThread();
}

void OpenPictureBoard() {
    if (!BoardCanvas.IsCreated()) return;
    std::string path;
    if (!AskPictureFile(path) || !OpenPictureBoardFile(path)) {
        // Cancelled, or a file that cannot become a board: as if cancelled.
        SelectCell(PreviousSelectedCell());
    }
}

bool OpenPictureBoardFile(const std::string& path) {
    // A header that states a size we refuse: not even read.
    if (PictureFileTooLarge(path)) return false;
    std::vector<std::uint8_t> bytes;
    if (!ReadWholeFile(path, bytes)) return false;
    return MakeBoardFromPicture(std::move(bytes), true);
}

bool PasteClipboardBoard() {
    std::vector<std::uint8_t> bytes = ReadClipboardPicture();
    if (bytes.empty()) return false;
    return MakeBoardFromPicture(std::move(bytes), false);
}

void ClearBoard() {
    ToolKind remembered = ToolPen;
    RunOnBoardThread([&remembered] { remembered = Board.currentTool; });
    const int previousCell = PreviousSelectedCell();
    const bool hadBoard = BoardExists();
    SelectTool(ToolClearing);
    if (!hadBoard) return;  // only the tool changes; there is nothing to clear

    bool done = false;
    WaitProcessing(
        [&done] {
            RunOnBoardThread([&done] { done = Board.clearDone; });
            return done || !BoardExists();
        },
        kClearWaitTimeoutMs);

    // Back to the tool of before, through its own cell (the previously
    // selected cell may be one that selects no tool, such as capture or help).
    const ToolCell cell = CellOfTool(remembered);
    const int toolCell = PaletteCellOfCommand(cell.command);
    if (toolCell != 0) {
        SelectCell(toolCell);
        RunCellCommand(cell.command, cell.right);
    } else {
        SelectCell(previousCell);
    }
    RunOnBoardThread([] { Board.clearDone = false; });
}

void CloseBoard() {
    HWND board = BoardWindow.load();
    if (board != nullptr && IsWindow(board)) SendMessageA(board, WM_CLOSE, 0, 0);
    SelectCell(PaletteCellOfCommand(PaletteCommand::Pen));
    Board.currentTool = ToolPen;
}

void CopyBoardToClipboard() {
    RunOnBoardThread([] { CopyCanvasToClipboard(ToolboxWindow.load(), BoardCanvas, BoardSize); });
}

void ExitProgram() {
    DestroyBoardMenu();
    DestroyPictureWindowMenu();
    if (HHOOK hook = MouseHook.load()) RemoveMouseHook(hook);
    SaveSettings();
    ExitProcess(0);
}
