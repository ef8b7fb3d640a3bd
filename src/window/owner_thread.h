#pragma once
// Work handed to the thread that owns a window. Every window's state belongs
// to the thread that runs the window; other threads give it work through the
// window's queue instead of touching that state themselves.
//
// A window that takes such work answers kRunOnOwnerMessage with
// RunOwnerWork() and calls DropOwnerWork() when it is destroyed (WM_NCDESTROY),
// so that work still queued for it is freed without running.

#include <windows.h>

#include <functional>

// The private message that carries the work (lParam, owned by the message).
constexpr UINT kRunOnOwnerMessage = WM_APP + 0x3A0;

// Runs `work` on the thread of `window`: at once when the caller is that
// thread, otherwise posted to the window (the caller does not wait). False
// when the window is gone: the work is dropped, never run elsewhere.
bool RunOnOwner(HWND window, std::function<void()> work);

// Runs `work` on the thread of `window` and waits for it, at most `timeoutMs`.
// While it waits, messages sent to the caller's thread are still answered (so
// the owner may call back). True when the work ran; false when the window is
// gone or the time ran out, and then the work never runs (it may capture the
// caller's locals).
bool CallOnOwner(HWND window, const std::function<void()>& work, DWORD timeoutMs);

// As CallOnOwner, but behind what is queued for the window already (the work
// is posted, not sent); while it waits the caller processes all its own
// messages, posted ones too. False when the window is gone (or goes) or the
// time ran out; then the work never runs.
bool CallOnOwnerQueued(HWND window, const std::function<void()>& work, DWORD timeoutMs);

// Processes the calling thread's pending messages (for code that waits).
void ProcessPendingMessages();
// Waits until `done` is true or the time is up, processing the caller's
// messages meanwhile (looking again at least every 10 ms). `wake`, when
// given, is an event set when `done` may have become true, so the wait ends
// at once. True when `done` became true.
bool WaitUntilProcessing(const std::function<bool()>& done, DWORD timeoutMs,
                         HANDLE wake = nullptr);

// The window procedure's part: runs the work carried by kRunOnOwnerMessage.
LRESULT RunOwnerWork(WPARAM wParam, LPARAM lParam);

// Frees the work still queued for `window` without running it (its
// WM_NCDESTROY; the queue belongs to the calling thread).
void DropOwnerWork(HWND window);
// Frees the work one kRunOnOwnerMessage carries without running it (a window
// that cannot do it any more); whoever waits for it learns it never ran.
void DiscardOwnerWork(WPARAM wParam, LPARAM lParam);

// Waits until `handle` is signalled or the time is up, answering the messages
// other threads send to the caller's thread meanwhile (a thread being waited
// for may still be sending to us). Posted messages stay queued. True when the
// handle was signalled.
bool WaitAnsweringSentMessages(HANDLE handle, DWORD timeoutMs);
