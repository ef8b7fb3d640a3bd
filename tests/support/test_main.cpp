// Test entry point: unbuffered output (Wine's console otherwise holds it back)
// and no modal error boxes, so a failing test never blocks the run.
#include <windows.h>

#include <cstdio>

#include <gtest/gtest.h>

#include "graphics/gdi_owners.h"

int main(int argc, char** argv) {
    std::setvbuf(stdout, nullptr, _IONBF, 0);
    std::setvbuf(stderr, nullptr, _IONBF, 0);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    testing::InitGoogleTest(&argc, argv);
    // GDI+ runs for the whole test run, as it does for the program's.
    GdiplusSession gdiplus;
    return RUN_ALL_TESTS();
}
