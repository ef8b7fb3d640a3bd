#pragma once
// The GDI+ flat API. The program is built with NOMINMAX, but the GDI+ headers
// of older Windows SDKs use unqualified min and max: give them the standard
// ones in their own namespace before they are read.

#include <windows.h>

#include <algorithm>

#include <objidl.h>

namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus

#include <gdiplus.h>
