#include "window/owner_thread.h"

#include <atomic>
#include <memory>
#include <utility>

namespace {

enum WorkKind : WPARAM { kPostedWork = 0x504F5354, kSentWork = 0x53454E44, kQueuedWork = 0x51554555 };

struct PostedWork {
    std::function<void()> work;
};

// A sent work item is shared by the caller and the owner: the caller may give
// up (time-out) while the message is still queued, and then the owner must
// not run work that points into the caller's returned frame.
struct SentWork {
    explicit SentWork(const std::function<void()>& w) : work(&w) {}
    ~SentWork() {
        if (done != nullptr) CloseHandle(done);
    }
    const std::function<void()>* work;
    enum : int { kWaiting, kRunning, kDone, kAbandoned };
    std::atomic<int> state{kWaiting};
    HANDLE done = nullptr;  // set when it has run (queued work only)
};

bool OwnedByCaller(HWND window) {
    return GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
}

// Answers the messages other threads have sent to this thread; leaves posted
// ones queued.
void AnswerSentMessages() {
    MSG msg;
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace

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

bool WaitUntilProcessing(const std::function<bool()>& done, DWORD timeoutMs, HANDLE wake) {
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

bool CallOnOwnerQueued(HWND window, const std::function<void()>& work, DWORD timeoutMs) {
    if (window == nullptr || !IsWindow(window) || !work) return false;
    if (OwnedByCaller(window)) {
        work();
        return true;
    }
    auto shared = std::make_shared<SentWork>(work);
    shared->done = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (shared->done == nullptr) return false;
    auto* ticket = new std::shared_ptr<SentWork>(shared);
    if (!PostMessageA(window, kRunOnOwnerMessage, kQueuedWork, reinterpret_cast<LPARAM>(ticket))) {
        delete ticket;
        return false;
    }
    const auto finished = [&] { return shared->state.load() == SentWork::kDone; };
    // The window may go without running the work: that ends the wait too.
    WaitUntilProcessing([&] { return finished() || !IsWindow(window); }, timeoutMs,
                        shared->done);
    int expected = SentWork::kWaiting;
    // Not begun: it never will (a window that went dropped it already).
    if (shared->state.compare_exchange_strong(expected, SentWork::kAbandoned)) return false;
    // Begun: it refers to our frame, so let it end.
    WaitUntilProcessing(finished, INFINITE, shared->done);
    return true;
}

bool RunOnOwner(HWND window, std::function<void()> work) {
    if (window == nullptr || !IsWindow(window) || !work) return false;
    if (OwnedByCaller(window)) {
        work();
        return true;
    }
    auto* item = new PostedWork{std::move(work)};
    if (PostMessageA(window, kRunOnOwnerMessage, kPostedWork, reinterpret_cast<LPARAM>(item)))
        return true;
    delete item;
    return false;
}

bool CallOnOwner(HWND window, const std::function<void()>& work, DWORD timeoutMs) {
    if (window == nullptr || !IsWindow(window) || !work) return false;
    if (OwnedByCaller(window)) {
        work();
        return true;
    }
    auto shared = std::make_shared<SentWork>(work);
    auto* ticket = new std::shared_ptr<SentWork>(shared);
    DWORD_PTR result = 0;
    const LRESULT sent =
        SendMessageTimeoutA(window, kRunOnOwnerMessage, kSentWork, reinterpret_cast<LPARAM>(ticket),
                            SMTO_NORMAL, timeoutMs, &result);
    if (sent != 0) {
        // Delivered and answered: the owner has taken the ticket.
        return shared->state.load() == SentWork::kDone;
    }
    int expected = SentWork::kWaiting;
    if (shared->state.compare_exchange_strong(expected, SentWork::kAbandoned)) {
        // Not begun: it never will. When the message was never delivered the
        // ticket is lost with it (a small, rare leak rather than a dangling
        // reference); when it is delivered later the owner frees it.
        return false;
    }
    // Begun just as the time ran out: it refers to our frame, so let it end.
    while (shared->state.load() == SentWork::kRunning) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_SENDMESSAGE);
        AnswerSentMessages();
    }
    return shared->state.load() == SentWork::kDone;
}

LRESULT RunOwnerWork(WPARAM wParam, LPARAM lParam) {
    if (lParam == 0) return 0;
    if (wParam == kPostedWork) {
        std::unique_ptr<PostedWork> item(reinterpret_cast<PostedWork*>(lParam));
        if (item->work) item->work();
        return 1;
    }
    if (wParam == kSentWork || wParam == kQueuedWork) {
        std::unique_ptr<std::shared_ptr<SentWork>> ticket(
            reinterpret_cast<std::shared_ptr<SentWork>*>(lParam));
        SentWork& sent = **ticket;
        int expected = SentWork::kWaiting;
        if (!sent.state.compare_exchange_strong(expected, SentWork::kRunning)) return 0;
        (*sent.work)();
        sent.state.store(SentWork::kDone);
        if (sent.done != nullptr) SetEvent(sent.done);
        return 1;
    }
    return 0;
}

void DiscardOwnerWork(WPARAM wParam, LPARAM lParam) {
    // A waiter finds the work never begun and stops waiting (the shared
    // state outlives the ticket).
    if (wParam == kPostedWork) delete reinterpret_cast<PostedWork*>(lParam);
    if (wParam == kSentWork || wParam == kQueuedWork)
        delete reinterpret_cast<std::shared_ptr<SentWork>*>(lParam);
}

void DropOwnerWork(HWND window) {
    MSG msg;
    while (PeekMessageA(&msg, window, kRunOnOwnerMessage, kRunOnOwnerMessage, PM_REMOVE))
        DiscardOwnerWork(msg.wParam, msg.lParam);
}

bool WaitAnsweringSentMessages(HANDLE handle, DWORD timeoutMs) {
    if (handle == nullptr) return true;
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        const ULONGLONG now = GetTickCount64();
        const DWORD left = now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
        const DWORD result = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_SENDMESSAGE);
        if (result == WAIT_OBJECT_0) return true;
        if (result != WAIT_OBJECT_0 + 1) return false;  // time-out or failure
        AnswerSentMessages();
    }
}
