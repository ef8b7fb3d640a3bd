#include "app/globals.h"

SIZE ScreenSize{};
SIZE BoardSize{};

Canvas BoardCanvas;
Canvas BackCanvas;
Canvas PaletteCanvas;
Canvas PictureCanvas;

std::vector<std::uint8_t> PalettePicture;
std::vector<std::uint8_t> BasePicture;

bool ToolboxLoaded = false;
