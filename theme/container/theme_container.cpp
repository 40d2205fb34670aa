// Packing and validating the theme container (layout in theme_container.h).
//
// Inflated layout, all integers little-endian:
//   u16 name length, name bytes; u16 version length, version bytes;
//   u16 section count; per section: u16 name length, name bytes, u32 data length, data bytes.
#include "theme/container/theme_container.h"

#include <zlib.h>

#include <cstdint>

#include "theme/container/theme_failure.h"

namespace theme {
namespace {

[[noreturn]] void Fail(std::string_view reason) {
  std::string message = "Damaged theme container: ";
  message += reason;
  throw queue::Failure(theme::ThemeFailure::kLoad, message);
}

void PutU16(std::string& out, std::size_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}

void PutU32(std::string& out, std::size_t value) {
  for (int shift = 0; shift < 32; shift += 8)
    out.push_back(static_cast<char>((value >> shift) & 0xFF));
}

void PutField(std::string& out, std::string_view field, std::size_t max_length,
              std::string_view what) {
  if (field.size() > max_length) Fail(std::string(what) + " too long");
  PutU16(out, field.size());
  out.append(field);
}

// Reads the inflated payload front to back; every read is checked against what is left.
class PayloadReader {
 public:
  explicit PayloadReader(std::string_view bytes) : rest_(bytes) {}

  std::uint32_t U16() { return static_cast<std::uint32_t>(Take(2, "header")); }
  std::uint32_t U32() { return static_cast<std::uint32_t>(Take(4, "section length")); }

  std::string Field(std::size_t max_length, std::string_view what) {
    const std::uint32_t length = U16();
    if (length > max_length) Fail(std::string(what) + " too long");
    return Bytes(length, what);
  }

  std::string Bytes(std::size_t length, std::string_view what) {
    if (length > rest_.size()) Fail(std::string(what) + " cut short");
    std::string field(rest_.substr(0, length));
    rest_.remove_prefix(length);
    return field;
  }

  bool AtEnd() const { return rest_.empty(); }

 private:
  std::uint64_t Take(std::size_t width, std::string_view what) {
    if (rest_.size() < width) Fail(std::string(what) + " cut short");
    std::uint64_t value = 0;
    for (std::size_t i = 0; i < width; ++i)
      value |= static_cast<std::uint64_t>(static_cast<unsigned char>(rest_[i])) << (8 * i);
    rest_.remove_prefix(width);
    return value;
  }

  std::string_view rest_;
};

// One zlib inflate stream, ended however the inflating ends (an append that runs out of memory
// included).
class InflateStream {
 public:
  InflateStream() {
    if (inflateInit(&z_) != Z_OK) Fail("zlib cannot start");
  }
  InflateStream(const InflateStream&) = delete;
  InflateStream& operator=(const InflateStream&) = delete;
  ~InflateStream() { inflateEnd(&z_); }
  z_stream& get() { return z_; }

 private:
  z_stream z_{};
};

std::string Inflate(std::string_view stream) {
  InflateStream owner;
  z_stream& z = owner.get();
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(stream.data()));
  z.avail_in = static_cast<uInt>(stream.size());
  std::string inflated;
  char chunk[16384];
  int status = Z_OK;
  while (status == Z_OK) {
    z.next_out = reinterpret_cast<Bytef*>(chunk);
    z.avail_out = sizeof chunk;
    status = inflate(&z, Z_NO_FLUSH);
    inflated.append(chunk, sizeof chunk - z.avail_out);
    if (inflated.size() > kMaxInflatedBytes) status = Z_MEM_ERROR;
    // All input given and no progress: the stream ends before its end marker.
    if (status == Z_BUF_ERROR || (status == Z_OK && z.avail_in == 0 && z.avail_out != 0))
      status = Z_DATA_ERROR;
  }
  const uInt left_over = z.avail_in;
  if (status == Z_MEM_ERROR) Fail("inflated data too large");
  if (status != Z_STREAM_END) Fail("compressed data corrupt or cut short");
  if (left_over != 0) Fail("bytes after the compressed data");
  return inflated;
}

}  // namespace

const std::string* ThemePackage::FindSection(std::string_view section_name) const {
  for (const auto& section : sections)
    if (section.name == section_name) return &section.data;
  return nullptr;
}

std::string EncodeThemeContainer(const ThemePackage& package) {
  if (package.name.empty()) Fail("theme name empty");
  if (package.sections.size() > kMaxSections) Fail("too many sections");
  std::string payload;
  PutField(payload, package.name, kMaxHeaderField, "theme name");
  PutField(payload, package.version, kMaxHeaderField, "theme version");
  PutU16(payload, package.sections.size());
  for (const auto& section : package.sections) {
    PutField(payload, section.name, kMaxSectionName, "section name");
    if (section.data.size() > kMaxInflatedBytes) Fail("section too large");
    PutU32(payload, section.data.size());
    payload += section.data;
  }
  if (payload.size() > kMaxInflatedBytes) Fail("inflated data too large");

  uLongf compressed_size = compressBound(static_cast<uLong>(payload.size()));
  std::string container(kContainerSignature);
  container.resize(kContainerSignature.size() + compressed_size);
  const int status =
      compress2(reinterpret_cast<Bytef*>(container.data() + kContainerSignature.size()),
                &compressed_size, reinterpret_cast<const Bytef*>(payload.data()),
                static_cast<uLong>(payload.size()), Z_BEST_COMPRESSION);
  if (status != Z_OK) Fail("zlib cannot compress");
  container.resize(kContainerSignature.size() + compressed_size);
  if (container.size() > kMaxContainerBytes) Fail("container too large");
  return container;
}

ThemePackage DecodeThemeContainer(std::string_view bytes) {
  if (bytes.size() > kMaxContainerBytes) Fail("container too large");
  if (bytes.substr(0, kContainerSignature.size()) != kContainerSignature) Fail("signature missing");
  const std::string payload = Inflate(bytes.substr(kContainerSignature.size()));

  PayloadReader reader(payload);
  ThemePackage package;
  package.name = reader.Field(kMaxHeaderField, "theme name");
  if (package.name.empty()) Fail("theme name empty");
  package.version = reader.Field(kMaxHeaderField, "theme version");
  const std::uint32_t section_count = reader.U16();
  if (section_count > kMaxSections) Fail("too many sections");
  for (std::uint32_t i = 0; i < section_count; ++i) {
    ThemeSection section;
    section.name = reader.Field(kMaxSectionName, "section name");
    section.data = reader.Bytes(reader.U32(), "section data");
    package.sections.push_back(std::move(section));
  }
  if (!reader.AtEnd()) Fail("bytes after the last section");
  return package;
}

}  // namespace theme
