#include <windows.h>

#include "app/globals.h"
#include "app/startup.h"
#include "graphics/gdi_owners.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    // Every picture and canvas of the run uses GDI+; it ends after the message
    // loop, once the toolbox has let go of the canvases.
    GdiplusSession gdiplus;
    StartRoutine();
    // Without its main window the program could never be closed by the user;
    // end at once instead of idling invisibly.
    if (!ToolboxLoaded) return 1;
    return RunMessageLoop();
}
