// The About window's logo file: the exact PNG form the window is built for (150 by 150, 8-bit
// RGBA, not interlaced, 2835 pixels per metre, one IDAT chunk), read with a small chunk walker.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

// The logo sits in resources/ of the source tree, which the build names.
std::filesystem::path LogoPath() {
  return std::filesystem::path(QUEUE_SOURCE_DIR) / "resources" / "logo.png";
}

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t BigEndian32(const std::uint8_t* bytes) {
  return (std::uint32_t{bytes[0]} << 24) | (std::uint32_t{bytes[1]} << 16) |
         (std::uint32_t{bytes[2]} << 8) | std::uint32_t{bytes[3]};
}

// The CRC-32 that PNG puts after every chunk (ISO 3309 polynomial, reflected).
std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t size) {
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    crc ^= bytes[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

struct Chunk {
  std::string type;
  std::vector<std::uint8_t> data;
  bool crc_matches;
};

// Splits a PNG file into its chunks after the signature. Returns nothing when the signature is
// wrong or a chunk runs past the end of the file.
std::optional<std::vector<Chunk>> WalkChunks(const std::vector<std::uint8_t>& file) {
  static constexpr std::array<std::uint8_t, 8> kSignature = {0x89, 'P',  'N',  'G',
                                                             '\r', '\n', 0x1A, '\n'};
  if (file.size() < kSignature.size() ||
      !std::equal(kSignature.begin(), kSignature.end(), file.begin())) {
    return std::nullopt;
  }
  std::vector<Chunk> chunks;
  std::size_t at = kSignature.size();
  while (at < file.size()) {
    if (file.size() - at < 12) return std::nullopt;  // length, type and CRC at the least
    const std::uint32_t length = BigEndian32(&file[at]);
    if (length > file.size() - at - 12) return std::nullopt;
    const std::uint8_t* type_and_data = &file[at + 4];
    Chunk chunk;
    chunk.type.assign(type_and_data, type_and_data + 4);
    chunk.data.assign(type_and_data + 4, type_and_data + 4 + length);
    chunk.crc_matches = Crc32(type_and_data, 4 + length) == BigEndian32(type_and_data + 4 + length);
    chunks.push_back(std::move(chunk));
    at += 12 + length;
  }
  return chunks;
}

class LogoFormatTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::vector<std::uint8_t> file = ReadFile(LogoPath());
    ASSERT_FALSE(file.empty()) << "cannot read " << LogoPath();
    auto walked = WalkChunks(file);
    ASSERT_TRUE(walked.has_value()) << "not a well-formed PNG file";
    chunks_ = std::move(*walked);
    ASSERT_GE(chunks_.size(), 3u);
  }

  std::size_t Count(const std::string& type) const {
    return std::count_if(chunks_.begin(), chunks_.end(),
                         [&](const Chunk& c) { return c.type == type; });
  }
  std::size_t IndexOf(const std::string& type) const {
    return std::find_if(chunks_.begin(), chunks_.end(),
                        [&](const Chunk& c) { return c.type == type; }) -
           chunks_.begin();
  }

  std::vector<Chunk> chunks_;
};

TEST_F(LogoFormatTest, EveryChunkIsIntactAndInOrder) {
  for (const Chunk& chunk : chunks_) EXPECT_TRUE(chunk.crc_matches) << chunk.type;
  EXPECT_EQ(chunks_.front().type, "IHDR");
  EXPECT_EQ(chunks_.back().type, "IEND");
  EXPECT_EQ(Count("IHDR"), 1u);
  EXPECT_EQ(Count("IEND"), 1u);
}

TEST_F(LogoFormatTest, HeaderSays150By150EightBitRgbaNotInterlaced) {
  const Chunk& header = chunks_.front();
  ASSERT_EQ(header.data.size(), 13u);
  EXPECT_EQ(BigEndian32(&header.data[0]), 150u) << "width";
  EXPECT_EQ(BigEndian32(&header.data[4]), 150u) << "height";
  EXPECT_EQ(header.data[8], 8) << "bit depth";
  EXPECT_EQ(header.data[9], 6) << "colour type: red, green, blue and alpha";
  EXPECT_EQ(header.data[10], 0) << "compression";
  EXPECT_EQ(header.data[11], 0) << "filter method";
  EXPECT_EQ(header.data[12], 0) << "interlace";
}

TEST_F(LogoFormatTest, PhysicalSizeIs2835PixelsPerMetreOnBothAxes) {
  ASSERT_EQ(Count("pHYs"), 1u);
  const Chunk& physical = chunks_[IndexOf("pHYs")];
  ASSERT_EQ(physical.data.size(), 9u);
  EXPECT_EQ(BigEndian32(&physical.data[0]), 2835u) << "x";
  EXPECT_EQ(BigEndian32(&physical.data[4]), 2835u) << "y";
  EXPECT_EQ(physical.data[8], 1) << "unit: metre";
  // A decoder only honours pHYs ahead of the image data.
  EXPECT_LT(IndexOf("pHYs"), IndexOf("IDAT"));
}

TEST_F(LogoFormatTest, PixelDataIsInExactlyOneIdatChunk) {
  EXPECT_EQ(Count("IDAT"), 1u);
  EXPECT_FALSE(chunks_[IndexOf("IDAT")].data.empty());
}

// The walker itself: a truncated file or a damaged byte must not pass as a good logo.
TEST(PngChunkWalkerTest, RejectsTruncatedFilesAndFlagsDamagedChunks) {
  std::vector<std::uint8_t> file = ReadFile(LogoPath());
  ASSERT_GT(file.size(), 40u);
  std::vector<std::uint8_t> truncated(file.begin(), file.end() - 5);
  EXPECT_FALSE(WalkChunks(truncated).has_value());
  std::vector<std::uint8_t> no_signature(file.begin() + 1, file.end());
  EXPECT_FALSE(WalkChunks(no_signature).has_value());
  file[8 + 8 + 3] ^= 0x01;  // a byte of the width, inside IHDR
  auto walked = WalkChunks(file);
  ASSERT_TRUE(walked.has_value());
  EXPECT_FALSE(walked->front().crc_matches);
}

}  // namespace
