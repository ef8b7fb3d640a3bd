#include "app/globals.h"

Canvas PaletteCanvas;

bool ToolboxLoaded = false;
