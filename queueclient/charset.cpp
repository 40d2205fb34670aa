// The glue of the body's character set: which detection runs for which media type, and which
// decoder a character-set name leads to.
#include "queueclient/charset.h"

#include <cstdint>

#include "queueclient/text.h"

namespace queue {

std::u16string Decode8Bit(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[i] = static_cast<std::uint8_t>(bytes[i]);
  }
  return text;
}

void CharsetFromBody(ResponseRecord& record, std::string_view body) {
  (void)record;
  (void)body;
}

std::u16string DecodeBody(std::string_view body, std::u16string_view charset_name) {
  switch (charset_name.empty() ? 0 : CodePageOf(charset_name)) {
    case 20127:
      return AsciiToUtf16(body);
    case 65001:
      return Utf8ToUtf16(body);
    default:
      return Decode8Bit(body);
  }
}

}  // namespace queue
