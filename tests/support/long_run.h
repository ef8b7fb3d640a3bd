#pragma once
// What the long runs (damaged pictures, the soak) share: their sizes from the
// environment, a watch that turns a hang or a crash into a message naming the
// case, and samples of what the process holds.

#include <windows.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace long_run {

// The number in environment variable `name`, or `fallback` when it is unset.
std::uint64_t EnvNumber(const char* name, std::uint64_t fallback);

// True under Wine, which answers 0 for GDI and user object counts.
bool RunningOnWine();

// A case that does not finish within its time is a hang: the process says
// which one and ends, rather than waiting for the suite's time limit.
// A crash says which case it was, too.
class HangWatch {
public:
    explicit HangWatch(ULONGLONG caseLimitMs = 15000);
    ~HangWatch();
    HangWatch(const HangWatch&) = delete;
    HangWatch& operator=(const HangWatch&) = delete;
    void Start(const std::string& what);
    void Done() { started_.store(0); }

private:
    static LONG WINAPI OnCrash(EXCEPTION_POINTERS*);
    void Watch();
    static inline HangWatch* current_ = nullptr;
    LPTOP_LEVEL_EXCEPTION_FILTER previousFilter_ = nullptr;
    const ULONGLONG limitMs_;
    std::atomic<bool> stop_{false};
    std::atomic<ULONGLONG> started_{0};
    std::mutex mutex_;
    std::string what_;
    std::thread thread_;
};

// What the process holds at one moment.
struct Resources {
    DWORD gdi = 0;   // GDI objects (0 under Wine)
    DWORD user = 0;  // user objects (0 under Wine)
    std::uint64_t privateBytes = 0;  // committed private memory
    DWORD handles = 0;               // kernel handles
    DWORD threads = 0;               // threads of this process
};
Resources Sample();

// "GDI 10 -> 12, user 4 -> 4, private 15.3 -> 20.1 MB, handles ..., threads ..."
std::string Describe(const Resources& from, const Resources& to);

}  // namespace long_run
