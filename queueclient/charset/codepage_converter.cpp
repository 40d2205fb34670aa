// Named code pages: what both platforms' converters share (a code page's single-byte table made
// once, at its first use, and decoding by lookup); the conversions themselves are the
// platform's, in codepage_converter_posix.cpp (iconv) and codepage_converter_win.cpp
// (MultiByteToWideChar).
#include "queueclient/charset/codepage_converter.h"

#include <cstdint>
#include <map>
#include <memory>
#include <mutex>

#include "queueclient/charset/codepage_platform.h"

namespace queue {
namespace {

// What is known about one code page after its first use.
struct CodePageInfo {
  bool convertible = false;
  std::unique_ptr<ByteTable> single_byte;  // set when every byte stands for one unit alone
};

std::u16string DecodeWithTable(std::string_view bytes, const ByteTable& table) {
  std::u16string text(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[i] = table[static_cast<std::uint8_t>(bytes[i])];
  }
  return text;
}

const CodePageInfo& InfoOf(int code_page) {
  static std::mutex mutex;
  static std::map<int, CodePageInfo> known;
  const std::lock_guard lock(mutex);
  auto [it, inserted] = known.try_emplace(code_page);
  if (inserted) {
    it->second.convertible = PlatformConverts(code_page);
    if (it->second.convertible) it->second.single_byte = PlatformSingleByteTable(code_page);
  }
  return it->second;
}

}  // namespace

std::optional<std::u16string> DecodeWithCodePage(std::string_view bytes, int code_page) {
  const CodePageInfo& info = InfoOf(code_page);
  if (!info.convertible) return std::nullopt;
  if (info.single_byte) return DecodeWithTable(bytes, *info.single_byte);
  return ConvertWithPlatform(bytes, code_page);
}

}  // namespace queue
