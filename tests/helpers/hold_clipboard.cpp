// Holds the clipboard open the way another program would, so that tests can
// use the clipboard while it is taken.
//   hold_clipboard.exe MILLISECONDS EVENT_NAME
// Opens the clipboard for a window of its own (its content left as it is),
// signals EVENT_NAME_ready, then keeps it open for MILLISECONDS (1..60000) or
// until EVENT_NAME_release is signalled. Both events are made by the caller.
// Exit code 0 after holding it, 2 when the clipboard could not be opened
// within five seconds, 1 for bad arguments.
#include <windows.h>

#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 3) return 1;
    int ms = std::atoi(argv[1]);
    if (ms < 1) ms = 1;
    if (ms > 60000) ms = 60000;
    const std::string name = argv[2];
    HANDLE ready = OpenEventA(EVENT_MODIFY_STATE, FALSE, (name + "_ready").c_str());
    HANDLE release = OpenEventA(SYNCHRONIZE, FALSE, (name + "_release").c_str());
    if (ready == nullptr || release == nullptr) return 1;

    HWND window = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    bool opened = false;
    for (int i = 0; i < 500 && !(opened = OpenClipboard(window) != FALSE); ++i) Sleep(10);
    if (!opened) return 2;
    SetEvent(ready);
    WaitForSingleObject(release, static_cast<DWORD>(ms));
    CloseClipboard();
    DestroyWindow(window);
    CloseHandle(ready);
    CloseHandle(release);
    return 0;
}
