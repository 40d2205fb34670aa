// Decoding the logo.
#include "win32/controls/png_picture.h"

#include <zlib.h>

#include <cstdlib>
#include <string>

#include "core/failure.h"

namespace win32 {
namespace {

constexpr std::string_view kSignature("\x89PNG\r\n\x1a\n", 8);
constexpr int kBytesPerPixel = 4;

[[noreturn]] void Fail(std::string_view reason) {
  throw queue::Failure(queue::CoreFailure::kGeneric,
                       "The logo cannot be decoded: " + std::string(reason));
}

std::uint32_t BigEndian32(std::string_view bytes, std::size_t at) {
  const auto b = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at + i]));
  };
  return b(0) << 24 | b(1) << 16 | b(2) << 8 | b(3);
}

int Paeth(int a, int b, int c) {
  const int p = a + b - c;
  const int pa = std::abs(p - a);
  const int pb = std::abs(p - b);
  const int pc = std::abs(p - c);
  if (pa <= pb && pa <= pc) return a;
  return pb <= pc ? b : c;
}

// Undoes the filter of each row in place; `rows` holds per row one filter byte, then the row.
void Unfilter(std::vector<std::uint8_t>& rows, int width, int height) {
  const std::size_t stride = static_cast<std::size_t>(width) * kBytesPerPixel;
  for (int y = 0; y < height; ++y) {
    std::uint8_t* row = rows.data() + y * (stride + 1);
    const std::uint8_t filter = row[0];
    std::uint8_t* line = row + 1;
    const std::uint8_t* above = y > 0 ? line - (stride + 1) : nullptr;
    for (std::size_t i = 0; i < stride; ++i) {
      const int left = i >= kBytesPerPixel ? line[i - kBytesPerPixel] : 0;
      const int up = above != nullptr ? above[i] : 0;
      const int up_left = above != nullptr && i >= kBytesPerPixel ? above[i - kBytesPerPixel] : 0;
      int predicted = 0;
      switch (filter) {
        case 0:
          break;
        case 1:
          predicted = left;
          break;
        case 2:
          predicted = up;
          break;
        case 3:
          predicted = (left + up) / 2;
          break;
        case 4:
          predicted = Paeth(left, up, up_left);
          break;
        default:
          Fail("unknown row filter");
      }
      line[i] = static_cast<std::uint8_t>(line[i] + predicted);
    }
  }
}

}  // namespace

Picture DecodePng(std::string_view png) {
  if (png.substr(0, kSignature.size()) != kSignature) Fail("no PNG signature");
  Picture picture;
  std::string compressed;
  bool ended = false;
  for (std::size_t at = kSignature.size(); !ended;) {
    if (png.size() - at < 12) Fail("a chunk is cut off");
    const std::uint32_t length = BigEndian32(png, at);
    if (length > png.size() - at - 12) Fail("a chunk is cut off");
    const std::string_view type = png.substr(at + 4, 4);
    const std::string_view data = png.substr(at + 8, length);
    const auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(png.data() + at + 4), length + 4));
    if (crc != BigEndian32(png, at + 8 + length)) Fail("a chunk's checksum is wrong");
    if (type == "IHDR") {
      if (length != 13) Fail("a damaged header");
      picture.width = static_cast<int>(std::min<std::uint32_t>(BigEndian32(data, 0), 1u << 30));
      picture.height = static_cast<int>(std::min<std::uint32_t>(BigEndian32(data, 4), 1u << 30));
      if (picture.width <= 0 || picture.height <= 0 || picture.width > kMaxPictureSide ||
          picture.height > kMaxPictureSide) {
        Fail("a size out of bounds");
      }
      // Depth 8, colour type 6, deflate, adaptive filtering, no interlace.
      if (data[8] != 8 || data[9] != 6 || data[10] != 0 || data[11] != 0 || data[12] != 0) {
        Fail("not an 8-bit RGBA picture without interlacing");
      }
    } else if (type == "IDAT") {
      compressed.append(data);
    } else if (type == "IEND") {
      ended = true;
    }
    at += 12 + length;
  }
  if (picture.width == 0) Fail("no header");
  const std::size_t stride = static_cast<std::size_t>(picture.width) * kBytesPerPixel;
  std::vector<std::uint8_t> rows((stride + 1) * picture.height);
  uLongf inflated = static_cast<uLongf>(rows.size());
  if (uncompress(rows.data(), &inflated, reinterpret_cast<const Bytef*>(compressed.data()),
                 static_cast<uLong>(compressed.size())) != Z_OK ||
      inflated != rows.size()) {
    Fail("a damaged picture stream");
  }
  Unfilter(rows, picture.width, picture.height);
  picture.bgra.resize(stride * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    const std::uint8_t* in = rows.data() + y * (stride + 1) + 1;
    std::uint8_t* out = picture.bgra.data() + y * stride;
    for (int x = 0; x < picture.width; ++x, in += 4, out += 4) {
      const unsigned alpha = in[3];
      out[0] = static_cast<std::uint8_t>((in[2] * alpha + 127) / 255);
      out[1] = static_cast<std::uint8_t>((in[1] * alpha + 127) / 255);
      out[2] = static_cast<std::uint8_t>((in[0] * alpha + 127) / 255);
      out[3] = static_cast<std::uint8_t>(alpha);
    }
  }
  return picture;
}

}  // namespace win32
