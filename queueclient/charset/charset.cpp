// The body's character set in one place: the Content-Type first (content_type.cpp), then,
// for HTML and XML media types, what the body says of itself; and the choice of decoder
// for a character-set name.
#include "queueclient/charset/charset.h"
#include "queueclient/charset/charset_table.h"

#include <cstdint>
#include <optional>

#include "core/text.h"
#include "queueclient/charset/codepage_converter.h"
#include "queueclient/charset/decode_utf.h"
#include "queueclient/charset/meta_scan.h"
#include "queueclient/charset/xml_encoding.h"

namespace queue {
namespace {

// Code pages the client decodes with its own code rather than the platform's converter.
constexpr int kUtf16LittleEndian = 1200;
constexpr int kUtf16BigEndian = 1201;
constexpr int kUsAscii = 20127;
constexpr int kUtf7 = 65000;
constexpr int kUtf8 = 65001;

bool IsHtml(std::u16string_view content_type) {
  return MediaTypeIs(content_type, u"text/html") ||
         MediaTypeIs(content_type, u"text/html-sandboxed") ||
         MediaTypeIs(content_type, u"application/xhtml+xml");
}

bool IsXml(std::u16string_view content_type) {
  if (MediaTypeIs(content_type, u"application/xml") ||
      MediaTypeIs(content_type, u"application/xml-external-parsed-entity") ||
      MediaTypeIs(content_type, u"application/xml-dtd")) {
    return true;
  }
  // Any "+xml" subtype outside "text" (text/xml-like types keep their header charset).
  const std::u16string_view media_type = Trim(content_type.substr(0, content_type.find(u';')));
  const std::size_t slash = media_type.find(u'/');
  return slash != std::u16string_view::npos && !MediaTypeIs(content_type, u"text") &&
         EndsWithIgnoreCase(media_type.substr(slash + 1), u"+xml");
}

}  // namespace

std::u16string Decode8Bit(std::string_view bytes) {
  std::u16string text(bytes.size(), u'\0');
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text[i] = static_cast<std::uint8_t>(bytes[i]);
  }
  return text;
}

void CharsetFromBody(ResponseRecord& record, std::string_view body) {
  if (IsHtml(record.content_type)) {
    ScanHtmlMeta(body, record.meta);
    // The http-equiv lines stand in for header lines of the same name, so a Content-Type in
    // the body replaces the header's. Framing, status and cookies are settled by now.
    if (!record.meta.headers.empty()) {
      for (const auto& line : record.meta.headers.lines()) {
        const std::u16string_view name = HeaderList::NameOf(line);
        if (name.empty()) continue;
        record.headers.Set(name, Trim(std::u16string_view(line).substr(name.size() + 1)));
      }
      InterpretHeaderBlock(record);
    }
    if (!record.meta.charset.empty()) record.charset = record.meta.charset;
  } else if (IsXml(record.content_type)) {
    record.charset = XmlEncodingOf(body);
  }
}

std::u16string DecodeBody(std::string_view body, std::u16string_view charset_name) {
  const int code_page = charset_name.empty() ? 0 : CodePageOf(charset_name);
  switch (code_page) {
    case 0:
      return Decode8Bit(body);
    case kUtf16LittleEndian:
      return DecodeUtf16(body, false);
    case kUtf16BigEndian:
      return DecodeUtf16(body, true);
    case kUsAscii:
      return AsciiToUtf16(body);
    case kUtf7:
      return DecodeUtf7(body);
    case kUtf8:
      return DecodeUtf8(body);
    default:
      break;
  }
  std::optional<std::u16string> text = DecodeWithCodePage(body, code_page);
  return text ? std::move(*text) : Decode8Bit(body);
}

}  // namespace queue
