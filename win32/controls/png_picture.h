// The About window's logo: a PNG picture of 8-bit red, green, blue and alpha (colour type 6),
// not interlaced, decoded with zlib into the premultiplied blue-green-red-alpha rows that
// AlphaBlend draws, so its transparent parts show the window's background.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace win32 {

// No logo is larger; a damaged header cannot make the decoder ask for gigabytes.
inline constexpr int kMaxPictureSide = 1024;

struct Picture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bgra;  // top row first, premultiplied by alpha
};

// Decodes `png` whole: signature, IHDR, the IDAT chunks, IEND, each chunk's CRC checked.
// Throws queue::Failure for anything else (other colour types or depths, interlacing, a
// damaged stream, a side over kMaxPictureSide).
Picture DecodePng(std::string_view png);

}  // namespace win32
