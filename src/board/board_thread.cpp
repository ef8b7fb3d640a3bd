#include "board/board.h"

#include <mutex>
#include <utility>

#include "board/board_events.h"
#include "board/board_thread.h"
#include "capture/region_geometry.h"
#include "settings/settings.h"
#include "window/owner_thread.h"

std::atomic<HWND> BoardWindow{nullptr};
std::atomic<int> ChosenTool{ToolPen};

namespace {

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

}  // namespace

HWND LiveBoard() {
    HWND board = BoardWindow.load();
    return (board != nullptr && IsWindow(board)) ? board : nullptr;
}

void BoardWindowUp(HWND window) {
    // From here on other threads may hand the board work.
    BoardWindow.store(window);
    g_boardThreadId.store(GetCurrentThreadId());
}

void BoardSetUpDone() {
    g_boardStarting.store(false);
    SetEvent(g_setUpDone);
}

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

bool BoardExists() { return LiveBoard() != nullptr; }

bool OnBoardThread() {
    const DWORD id = g_boardThreadId.load();
    return id != 0 && id == GetCurrentThreadId();
}

void WaitProcessingMessages(DWORD milliseconds) {
    WaitUntilProcessing([] { return false; }, milliseconds);
}

bool WithBoard(const std::function<void(DrawingBoard&)>& work, DWORD timeoutMs) {
    HWND board = LiveBoard();
    if (board == nullptr) return false;
    // Behind what is queued already; at once on the board thread.
    return CallOnOwnerQueued(
        board,
        [&work, board] {
            if (DrawingBoard* b = BoardOf(board)) work(*b);
        },
        timeoutMs);
}

bool WaitForBoardReady(DWORD timeoutMs) {
    return WaitUntilProcessing(
        [] {
            return BoardExists() && !g_boardStarting.load() &&
                   WaitForSingleObject(g_setUpDone, 0) == WAIT_OBJECT_0;
        },
        timeoutMs);
}

bool WaitForBoardGone(DWORD timeoutMs) {
    return WaitUntilProcessing(
        [] { return !BoardExists() && WaitForSingleObject(g_noBoardThread, 0) == WAIT_OBJECT_0; },
        timeoutMs);
}

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
