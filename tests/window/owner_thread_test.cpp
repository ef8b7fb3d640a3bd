// Work handed to the thread that owns a window: it runs there, in order,
// and never after its window is gone or its caller has given up.

#include "window/owner_thread.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "support/helpers.h"

namespace {

constexpr const char* kOwnerClass = "OwnerThreadTestWindow";

LRESULT CALLBACK OwnerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kRunOnOwnerMessage) return RunOwnerWork(wParam, lParam);
    if (message == WM_NCDESTROY) DropOwnerWork(window);
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeOwnerWindow() {
    static const bool registered = [] {
        WNDCLASSEXA wc{};
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = &OwnerProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kOwnerClass;
        return RegisterClassExA(&wc) != 0;
    }();
    if (!registered) return nullptr;
    return CreateWindowExA(0, kOwnerClass, "owner", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

// A window on a thread of its own. The thread makes the window, then either
// runs its loop or, while `hold` is set, keeps its queue untouched.
class OwnerThread {
public:
    OwnerThread() {
        ready_ = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread_ = CreateThread(nullptr, 0, &OwnerThread::Run, this, 0, &id_);
        WaitForSingleObject(ready_, 5000);
    }
    ~OwnerThread() {
        Stop();
        CloseHandle(ready_);
    }
    HWND Window() const { return window_; }
    DWORD Id() const { return id_; }
    // The owner stops reading its queue until Release.
    void Hold() {
        hold_ = true;
        held_ = false;
        PostMessageA(window_, WM_NULL, 0, 0);
        while (!held_) Sleep(1);
    }
    void Release() { hold_ = false; }
    // Destroys the window on its own thread (without running queued work).
    void DestroyHeld() { destroyNow_ = true; }
    void Stop() {
        hold_ = false;
        if (thread_ == nullptr) return;
        if (window_ != nullptr) PostMessageA(window_, WM_CLOSE, 0, 0);
        PostThreadMessageA(id_, WM_QUIT, 0, 0);
        WaitForSingleObject(thread_, 5000);
        CloseHandle(thread_);
        thread_ = nullptr;
    }

private:
    static DWORD WINAPI Run(LPVOID p) {
        auto* self = static_cast<OwnerThread*>(p);
        self->window_ = MakeOwnerWindow();
        SetEvent(self->ready_);
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
            DispatchMessageA(&msg);
            while (self->hold_) {
                self->held_ = true;
                if (self->destroyNow_) {
                    DestroyWindow(self->window_);
                    self->destroyNow_ = false;
                }
                Sleep(2);
            }
        }
        if (IsWindow(self->window_)) DestroyWindow(self->window_);
        return 0;
    }

    HANDLE ready_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD id_ = 0;
    HWND window_ = nullptr;
    std::atomic<bool> hold_{false};
    std::atomic<bool> held_{false};
    std::atomic<bool> destroyNow_{false};
};

}  // namespace

TEST(OwnerThread, PostedWorkRunsOnTheOwnersThreadInOrder) {
    OwnerThread owner;
    ASSERT_NE(owner.Window(), nullptr);
    std::vector<int> seen;
    std::atomic<DWORD> ranOn{0};
    std::atomic<int> done{0};
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(RunOnOwner(owner.Window(), [i, &seen, &ranOn, &done] {
            seen.push_back(i);
            ranOn = GetCurrentThreadId();
            ++done;
        }));
    }
    ASSERT_TRUE(WaitUntil([&] { return done.load() == 20; }));
    EXPECT_EQ(ranOn.load(), owner.Id());
    for (int i = 0; i < 20; ++i) EXPECT_EQ(seen[i], i);
}

TEST(OwnerThread, OnTheOwnersOwnThreadWorkRunsAtOnce) {
    HWND window = MakeOwnerWindow();
    ASSERT_NE(window, nullptr);
    bool ran = false;
    EXPECT_TRUE(RunOnOwner(window, [&ran] { ran = true; }));
    EXPECT_TRUE(ran);
    ran = false;
    EXPECT_TRUE(CallOnOwner(window, [&ran] { ran = true; }, 10));
    EXPECT_TRUE(ran);
    DestroyWindow(window);
}

TEST(OwnerThread, WorkForAWindowThatIsGoneIsDroppedAndFreed) {
    auto token = std::make_shared<int>(7);
    std::atomic<bool> ran{false};
    {
        OwnerThread owner;
        owner.Hold();
        // Queued while the owner is busy; the window then goes away.
        ASSERT_TRUE(RunOnOwner(owner.Window(), [token, &ran] { ran = true; }));
        EXPECT_EQ(token.use_count(), 2);
        owner.DestroyHeld();
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(owner.Window()); }));
        owner.Release();
        // Nothing runs in the caller's place either.
        EXPECT_FALSE(RunOnOwner(owner.Window(), [&ran] { ran = true; }));
        EXPECT_FALSE(CallOnOwner(owner.Window(), [&ran] { ran = true; }, 100));
    }
    EXPECT_FALSE(ran);
    EXPECT_EQ(token.use_count(), 1);  // the queued copy was freed
}

TEST(OwnerThread, ACallThatTimesOutNeverRunsLater) {
    OwnerThread owner;
    owner.Hold();
    std::atomic<bool> ran{false};
    const ULONGLONG start = GetTickCount64();
    EXPECT_FALSE(CallOnOwner(owner.Window(), [&ran] { ran = true; }, 100));
    EXPECT_LT(GetTickCount64() - start, 2000u);
    owner.Release();
    // The owner reads its queue again: the abandoned call must stay undone.
    std::atomic<bool> after{false};
    ASSERT_TRUE(RunOnOwner(owner.Window(), [&after] { after = true; }));
    ASSERT_TRUE(WaitUntil([&] { return after.load(); }));
    EXPECT_FALSE(ran);
}

TEST(OwnerThread, TheOwnerMayCallBackWhileTheCallerWaits) {
    OwnerThread owner;
    HWND mine = MakeOwnerWindow();  // the caller's own window, on this thread
    ASSERT_NE(mine, nullptr);
    DWORD backOn = 0;
    const bool ran = CallOnOwner(
        owner.Window(),
        [mine, &backOn] {
            // Sent back to the waiting caller: answered, not a deadlock.
            CallOnOwner(mine, [&backOn] { backOn = GetCurrentThreadId(); }, 2000);
        },
        5000);
    EXPECT_TRUE(ran);
    EXPECT_EQ(backOn, GetCurrentThreadId());
    DestroyWindow(mine);
}

TEST(OwnerThread, WaitingForAThreadAnswersWhatItSends) {
    HWND mine = MakeOwnerWindow();
    ASSERT_NE(mine, nullptr);
    struct Shared {
        HWND target;
        bool answered = false;
    } shared{mine};
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* s = static_cast<Shared*>(p);
            // Ends only once the waiting thread has answered it.
            s->answered = CallOnOwner(s->target, [] {}, 3000);
            return 0;
        },
        &shared, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_TRUE(WaitAnsweringSentMessages(thread, 5000));
    EXPECT_TRUE(shared.answered);
    CloseHandle(thread);
    DestroyWindow(mine);
}
