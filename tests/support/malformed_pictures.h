#pragma once
// Malformed pictures made from a seed: each is a pure function of its seed, so
// a failing case is reproduced by its number alone.
//
// MalformedPicture gives the bytes of a picture file (PNG, JPEG, GIF, BMP,
// TIFF or ICO) that has been cut short, had bits flipped, had bytes
// overwritten, or carries a header field that lies (size, depth, palette
// length, offsets, chunk and segment lengths). MalformedDib gives the contents
// of a clipboard device-independent bitmap block (header, colour table,
// pixels) whose header lies about its size, width, height, bit count,
// compression or palette length, or whose data is short.

#include <cstdint>
#include <string>
#include <vector>

namespace malformed {

struct Case {
    std::vector<std::uint8_t> bytes;
    std::string what;  // how it was made, for failure messages
};

Case MalformedPicture(std::uint64_t seed);
Case MalformedDib(std::uint64_t seed);

// The intact pictures the file cases start from (all of them decode).
std::vector<std::vector<std::uint8_t>> SamplePictures();
// An intact 24-bit DIB block (40-byte header and 7 x 5 pixels).
std::vector<std::uint8_t> SampleDib();

}  // namespace malformed
