#pragma once
#include <string>

// A font description: the text tool's settings and every canvas's current font.
struct FontSpec {
    int angle = 0;          // escapement, tenths of a degree, counter-clockwise
    bool bold = false;
    bool italic = false;
    bool strikeout = false;
    bool underline = false;
    int size = 9;           // points
    std::string faceName = "宋体";  // GBK; empty means none given

    bool operator==(const FontSpec&) const = default;
};
