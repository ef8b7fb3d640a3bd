#include <windows.h>

#include "app/globals.h"
#include "app/startup.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    StartRoutine();
    // Without its main window the program could never be closed by the user;
    // end at once instead of idling invisibly.
    if (!ToolboxLoaded) return 1;
    return RunMessageLoop();
}
