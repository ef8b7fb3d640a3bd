#include "window/screen.h"

SIZE ScreenSize{};
