#pragma once
// The primary screen's size, read once at start-up (app/startup.h) and read
// by every window that covers or centres on the screen.

#include <windows.h>

extern SIZE ScreenSize;  // primary screen, pixels
