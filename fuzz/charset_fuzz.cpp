// The body's character set and its decoding. Input: a byte choosing the media type, a
// character-set name up to the first LF, then the body. Runs the choice from the body (meta
// scan, XML declaration) and the decoding in the chosen set, and each decoding of our own
// directly. Properties: UTF-8 decoding is stable (decoding the UTF-8 of a decoded text gives
// it again), UTF-16 gives one unit per two bytes, the 8-bit decoding one unit per byte.
#include <array>

#include "core/text.h"
#include "fuzz/fuzz_support.h"
#include "queueclient/charset/charset.h"
#include "queueclient/charset/charset_table.h"
#include "queueclient/charset/codepage_converter.h"
#include "queueclient/charset/content_type.h"
#include "queueclient/charset/decode_utf.h"
#include "queueclient/charset/meta_scan.h"
#include "queueclient/charset/xml_encoding.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static constexpr std::array<const char16_t*, 6> kContentTypes = {
      u"text/html", u"text/xml", u"application/xhtml+xml", u"application/xml", u"text/plain", u""};
  fuzz::Input input(data, size);
  const std::u16string content_type = kContentTypes[input.Byte() % kContentTypes.size()];
  const std::u16string name = queue::AsciiToUtf16(input.Until('\n'));
  const std::string_view body = input.Rest();

  queue::ResponseRecord record;
  record.content_type = content_type;
  queue::ApplyContentTypeCharset(!content_type.empty(), content_type, name, record.charset);
  queue::CharsetFromBody(record, body);
  queue::DecodeBody(body, record.charset);
  queue::DecodeBody(body, name);

  queue::MetaRecord meta;
  queue::ScanHtmlMeta(body, meta);
  queue::DecodeBody(body, meta.charset);
  queue::DecodeBody(body, queue::XmlEncodingOf(body));
  if (const int code_page = queue::CodePageOf(name); code_page != 0) {
    queue::DecodeWithCodePage(body, code_page);
  }

  const std::u16string utf8 = queue::DecodeUtf8(body);
  fuzz::Require(queue::DecodeUtf8(queue::Utf16ToUtf8(utf8)) == utf8, "UTF-8 decoding is stable");
  fuzz::Require(utf8.size() <= body.size(), "UTF-8 gives at most one unit per byte");
  fuzz::Require(queue::DecodeUtf16(body, false).size() == body.size() / 2, "UTF-16LE unit count");
  fuzz::Require(queue::DecodeUtf16(body, true).size() == body.size() / 2, "UTF-16BE unit count");
  fuzz::Require(queue::Decode8Bit(body).size() == body.size(), "8-bit unit count");
  queue::DecodeUtf7(body);
  return 0;
}
