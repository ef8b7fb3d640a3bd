#include "support/long_run.h"

#include <psapi.h>
#include <tlhelp32.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace long_run {

std::uint64_t EnvNumber(const char* name, std::uint64_t fallback) {
    const char* text = std::getenv(name);
    if (text == nullptr || *text == '\0') return fallback;
    return std::strtoull(text, nullptr, 10);
}

bool RunningOnWine() {
    HMODULE ntdll = GetModuleHandleA("ntdll.dll");
    return ntdll != nullptr && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

HangWatch::HangWatch(ULONGLONG caseLimitMs) : limitMs_(caseLimitMs), thread_([this] { Watch(); }) {
    current_ = this;
    previousFilter_ = SetUnhandledExceptionFilter(&OnCrash);
}

HangWatch::~HangWatch() {
    SetUnhandledExceptionFilter(previousFilter_);
    current_ = nullptr;
    stop_.store(true);
    thread_.join();
}

void HangWatch::Start(const std::string& what) {
    {
        std::lock_guard lock(mutex_);
        what_ = what;
    }
    started_.store(GetTickCount64());
}

LONG WINAPI HangWatch::OnCrash(EXCEPTION_POINTERS*) {
    if (current_ != nullptr) {
        std::fprintf(stderr, "CRASH: %s\n", current_->what_.c_str());
        std::fflush(stderr);
    }
    return EXCEPTION_CONTINUE_SEARCH;
}

void HangWatch::Watch() {
    while (!stop_.load()) {
        Sleep(200);
        const ULONGLONG started = started_.load();
        if (started != 0 && GetTickCount64() - started > limitMs_) {
            std::lock_guard lock(mutex_);
            std::fprintf(stderr, "HANG: %s\n", what_.c_str());
            std::fflush(stderr);
            ExitProcess(3);
        }
    }
}

namespace {

DWORD ThreadCount() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return 0;
    DWORD count = 0;
    THREADENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry))
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) ++count;
    CloseHandle(snapshot);
    return count;
}

// The handles open in this process. Wine does not answer the count itself
// (it says 0); there every handle value is tried instead, which its server
// answers for exactly the handles that are open.
DWORD HandleCount() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) return count;
    count = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) ++count;
    }
    return count;
}

}  // namespace

Resources Sample() {
    Resources r;
    r.gdi = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    r.user = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX pmc{};
    pmc.cb = sizeof(pmc);
    if (K32GetProcessMemoryInfo(GetCurrentProcess(),
                                reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc))) {
        // Wine leaves PrivateUsage at 0; its committed-memory count is the same figure.
        r.privateBytes = pmc.PrivateUsage != 0 ? pmc.PrivateUsage : pmc.PagefileUsage;
        if (r.privateBytes == 0) r.privateBytes = pmc.WorkingSetSize;
    }
    r.handles = HandleCount();
    r.threads = ThreadCount();
    return r;
}

std::string Describe(const Resources& from, const Resources& to) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "GDI objects %lu -> %lu, user objects %lu -> %lu, private memory %.1f -> %.1f MB, "
                  "handles %lu -> %lu, threads %lu -> %lu",
                  from.gdi, to.gdi, from.user, to.user, from.privateBytes / 1048576.0,
                  to.privateBytes / 1048576.0, from.handles, to.handles, from.threads, to.threads);
    return text;
}

}  // namespace long_run
