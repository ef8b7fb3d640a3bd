#include "app/hotkey_notice.h"

#include <windows.h>

#include <atomic>
#include <memory>
#include <string>

namespace {

constexpr const char* kCaption = "F9 已被占用";
constexpr const char* kText =
    "F9 快捷键已被其他程序占用，按 F9 不能截取屏幕。\r\n\r\n"
    "工具箱的第一格“截屏到画板窗口”仍然可以截取屏幕。";

struct NoticeWords {
    std::string caption;
    std::string text;
};

DWORD WINAPI NoticeThread(LPVOID parameter) {
    const std::unique_ptr<NoticeWords> words(static_cast<NoticeWords*>(parameter));
    MessageBoxA(nullptr, words->text.c_str(), words->caption.c_str(),
                MB_OK | MB_ICONINFORMATION | MB_TOPMOST | MB_SETFOREGROUND);
    return 0;
}

// The message box waits for the user, so it waits on a thread of its own;
// nobody joins that thread (the end of the process ends it too).
void ShowNoticeBox(const char* caption, const char* text) {
    auto* words = new NoticeWords{caption, text};
    HANDLE thread = CreateThread(nullptr, 0, &NoticeThread, words, 0, nullptr);
    if (thread == nullptr) {
        delete words;
        return;
    }
    CloseHandle(thread);
}

std::atomic<NoticeRoutine> g_routine{&ShowNoticeBox};
std::atomic<bool> g_given{false};

}  // namespace

const char* F9TakenCaption() { return kCaption; }
const char* F9TakenText() { return kText; }

bool NotifyF9Taken() {
    if (g_given.exchange(true)) return false;
    if (NoticeRoutine routine = g_routine.load()) routine(kCaption, kText);
    return true;
}

NoticeRoutine SetNoticeRoutine(NoticeRoutine routine) {
    return g_routine.exchange(routine != nullptr ? routine : &ShowNoticeBox);
}

void ResetF9TakenNotice() { g_given.store(false); }
