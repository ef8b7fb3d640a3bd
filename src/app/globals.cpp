#include "app/globals.h"

SIZE ScreenSize{};

Canvas PaletteCanvas;

std::vector<std::uint8_t> PalettePicture;

bool ToolboxLoaded = false;
