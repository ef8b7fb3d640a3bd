// Holds F9 the way another program would, so that tests can start DrawBoard
// while the key is taken.
//   hold_f9.exe SECONDS READY_FILE
// Registers F9 (no modifiers), then writes READY_FILE and keeps the key for
// at most SECONDS (1..600), or until READY_FILE is deleted. Exit code 0 after
// holding it, 2 when F9 could not be registered, 1 for bad arguments.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) return 1;
    int seconds = std::atoi(argv[1]);
    if (seconds < 1) seconds = 1;
    if (seconds > 600) seconds = 600;
    const char* ready = argv[2];

    if (!RegisterHotKey(nullptr, 1, 0, VK_F9)) return 2;
    if (FILE* f = std::fopen(ready, "w")) {
        std::fputs("holding F9\n", f);
        std::fclose(f);
    } else {
        UnregisterHotKey(nullptr, 1);
        return 1;
    }
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(seconds) * 1000;
    while (GetTickCount64() < end && GetFileAttributesA(ready) != INVALID_FILE_ATTRIBUTES) {
        // The queue is served so the hotkey's owner never looks hung.
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    }
    UnregisterHotKey(nullptr, 1);
    return 0;
}
