// The theme container: what the build packs reads back unchanged, and every kind of damage
// to a container is refused instead of yielding a partial theme.
#include "theme/container/theme_container.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "tests/support/row_names.h"
#include "theme/container/theme_failure.h"

namespace theme {
namespace {

ThemePackage SamplePackage() {
  return {"Iceberg Classico",
          "1.0",
          {{"palette", "Window = #edf2f6\nButton = #e2eaf1\n"},
           {"stylesheet", "QPushButton { border: 1px solid #9fb4c7; }"},
           {"empty", ""},
           {"binary", std::string("\0\xff\x01\x80", 4)}}};
}

// A container around a payload written by hand, to present headers the encoder never makes.
std::string ContainerAround(const std::string& payload) {
  uLongf size = compressBound(static_cast<uLong>(payload.size()));
  std::string compressed(size, '\0');
  EXPECT_EQ(compress2(reinterpret_cast<Bytef*>(compressed.data()), &size,
                      reinterpret_cast<const Bytef*>(payload.data()),
                      static_cast<uLong>(payload.size()), 9),
            Z_OK);
  compressed.resize(size);
  return std::string(kContainerSignature) + compressed;
}

std::string U16(std::size_t v) {
  return {static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)};
}

TEST(ThemeContainerTest, RoundTripsHeaderAndSections) {
  const ThemePackage package = SamplePackage();
  const std::string container = EncodeThemeContainer(package);
  ASSERT_EQ(container.substr(0, 13), "APP_STYLE 2.0");
  // What follows the signature is a zlib stream: deflate method, header check.
  ASSERT_GT(container.size(), 15u);
  EXPECT_EQ(static_cast<unsigned char>(container[13]) & 0x0F, 8);
  EXPECT_EQ(((static_cast<unsigned char>(container[13]) << 8) |
             static_cast<unsigned char>(container[14])) %
                31,
            0);

  const ThemePackage read = DecodeThemeContainer(container);
  EXPECT_EQ(read, package);
  ASSERT_NE(read.FindSection("binary"), nullptr);
  EXPECT_EQ(*read.FindSection("binary"), std::string("\0\xff\x01\x80", 4));
  EXPECT_EQ(read.FindSection("artwork"), nullptr);
}

TEST(ThemeContainerTest, HeaderSurvivesTheCompressionOfLargeData) {
  ThemePackage package = SamplePackage();
  package.sections.push_back({"artwork", std::string(300000, 'x')});
  EXPECT_EQ(DecodeThemeContainer(EncodeThemeContainer(package)), package);
}

struct DamageCase {
  const char* what;
  std::string container;
};
QUEUE_PRINT_ROWS_BY(DamageCase, what)

std::vector<DamageCase> DamageCases() {
  const std::string good = EncodeThemeContainer(SamplePackage());
  const std::string stream = good.substr(13);
  std::string flipped_body = good;
  flipped_body[good.size() / 2] ^= 0x55;
  std::string flipped_checksum = good;
  flipped_checksum.back() ^= 0x01;
  const std::string header = U16(16) + "Iceberg Classico" + U16(3) + "1.0";

  return {
      {"empty", ""},
      {"signature only", std::string(kContainerSignature)},
      {"old signature", "APP_STYLE 1.0" + stream},
      {"signature in small letters", "app_style 2.0" + stream},
      {"no signature", stream},
      {"cut inside the stream", good.substr(0, good.size() - 7)},
      {"cut before the checksum", good.substr(0, good.size() - 1)},
      {"a byte of the compressed data changed", flipped_body},
      {"checksum changed", flipped_checksum},
      {"bytes after the stream", good + "x"},
      {"a second stream after the first", good + stream},
      {"raw data instead of zlib", std::string(kContainerSignature) + "Iceberg Classico 1.0"},
      {"empty name", ContainerAround(U16(0) + U16(3) + "1.0" + U16(0))},
      {"name longer than the payload", ContainerAround(U16(200) + "Iceberg")},
      {"section count missing", ContainerAround(header)},
      {"section data cut short",
       ContainerAround(header + U16(1) + U16(7) + "palette" + std::string("\x10\0\0\0", 4) + "ab")},
      {"section length past the bound",
       ContainerAround(header + U16(1) + U16(1) + "p" + std::string("\xff\xff\xff\x7f", 4))},
      {"too many sections", ContainerAround(header + U16(kMaxSections + 1))},
      {"bytes after the last section", ContainerAround(header + U16(0) + "junk")},
  };
}

class DamagedContainerTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(DamagedContainerTest, FailsValidation) {
  const DamageCase& c = GetParam();
  try {
    DecodeThemeContainer(c.container);
    ADD_FAILURE() << c.what << ": accepted";
  } catch (const queue::Failure& failure) {
    EXPECT_EQ(failure.kind(), theme::ThemeFailure::kLoad) << c.what;
    EXPECT_FALSE(failure.message().empty()) << c.what;
  }
}

INSTANTIATE_TEST_SUITE_P(Damages, DamagedContainerTest, ::testing::ValuesIn(DamageCases()),
                         [](const auto& info) {
                           return ::test_rows::RowNameFromText(info.param.what, info.index);
                         });

TEST(ThemeContainerTest, InflationIsBounded) {
  // Compresses to a few kilobytes and would inflate past the bound: refused, not allocated.
  const std::string bomb = ContainerAround(std::string(kMaxInflatedBytes + 1, '\0'));
  ASSERT_LT(bomb.size(), 64u * 1024);
  EXPECT_THROW(DecodeThemeContainer(bomb), queue::Failure);
}

TEST(ThemeContainerTest, EncoderRefusesWhatTheReaderWouldRefuse) {
  ThemePackage no_name = SamplePackage();
  no_name.name.clear();
  EXPECT_THROW(EncodeThemeContainer(no_name), queue::Failure);

  ThemePackage long_name = SamplePackage();
  long_name.name.assign(kMaxHeaderField + 1, 'n');
  EXPECT_THROW(EncodeThemeContainer(long_name), queue::Failure);

  ThemePackage many = SamplePackage();
  many.sections.resize(kMaxSections + 1);
  EXPECT_THROW(EncodeThemeContainer(many), queue::Failure);
}

}  // namespace
}  // namespace theme
