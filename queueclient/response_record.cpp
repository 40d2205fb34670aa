// The response record: status code and integer parsing, and the interpretation of a header
// block into content type, character set, length, codings, connection values and challenges.
#include "queueclient/response_record.h"

#include <limits>

#include "core/text.h"
#include "queueclient/charset.h"
#include "queueclient/content_type.h"

namespace queue {
namespace {

int HexDigitValue(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// Digits of `base` accumulated into a magnitude no larger than `limit`; false when there is
// no digit, a character that is not one, or the magnitude would pass the limit.
bool ParseMagnitude(std::u16string_view digits, int base, std::uint64_t limit,
                    std::uint64_t& magnitude) {
  if (digits.empty()) return false;
  magnitude = 0;
  for (const char16_t c : digits) {
    const int digit = HexDigitValue(c);
    if (digit < 0 || digit >= base) return false;
    if (magnitude >
        (limit - static_cast<std::uint64_t>(digit)) / static_cast<std::uint64_t>(base)) {
      return false;
    }
    magnitude = magnitude * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
  }
  return true;
}

template <typename Int>
Int ParseIntOrMinus1(std::u16string_view text) {
  constexpr auto kMax = static_cast<std::uint64_t>(std::numeric_limits<Int>::max());
  text = Trim(text);
  std::uint64_t magnitude = 0;
  for (const std::u16string_view prefix : {u"0x", u"$", u"x"}) {
    if (text.starts_with(prefix)) {
      return ParseMagnitude(text.substr(prefix.size()), 16, kMax, magnitude)
                 ? static_cast<Int>(magnitude)
                 : Int{-1};
    }
  }
  const bool negative = text.starts_with(u'-');
  if (negative || text.starts_with(u'+')) text.remove_prefix(1);
  // The negative range reaches one further than the positive one.
  if (!ParseMagnitude(text, 10, negative ? kMax + 1 : kMax, magnitude)) return -1;
  if (!negative) return static_cast<Int>(magnitude);
  return magnitude == kMax + 1 ? std::numeric_limits<Int>::min()
                               : static_cast<Int>(-static_cast<Int>(magnitude));
}

}  // namespace

void ResponseRecord::ClearForHeaderBlock() {
  std::u16string kept_status_line = std::move(status_line);
  *this = ResponseRecord{};
  status_line = std::move(kept_status_line);
}

std::int32_t ParseInt32OrMinus1(std::u16string_view text) {
  return ParseIntOrMinus1<std::int32_t>(text);
}

std::int64_t ParseInt64OrMinus1(std::u16string_view text) {
  return ParseIntOrMinus1<std::int64_t>(text);
}

std::int32_t StatusCodeOf(std::u16string_view status_line) {
  // The first word (the protocol version) is skipped unread; the code is the next word, cut at
  // a "." so that sub-status forms such as "404.3" give their main code.
  const std::size_t space = status_line.find(u' ');
  if (space == std::u16string_view::npos) return -1;
  std::u16string_view code = Trim(status_line.substr(space + 1));
  code = code.substr(0, code.find(u' '));
  code = code.substr(0, code.find(u'.'));
  return ParseInt32OrMinus1(code);
}

void InterpretHeaderBlock(ResponseRecord& record) {
  const HeaderList& headers = record.headers;
  const std::u16string content_type_value = headers.Value(u"Content-Type");
  std::u16string charset_parameter;
  record.content_type =
      content_type_value.empty()
          ? std::u16string{}
          : RemoveContentTypeParameter(content_type_value, u"charset", charset_parameter);
  ApplyContentTypeCharset(!content_type_value.empty(), record.content_type, charset_parameter,
                          record.charset);

  record.content_length = ParseInt64OrMinus1(headers.Value(u"Content-Length"));
  record.has_length = record.content_length >= 0;
  record.transfer_encoding = headers.Value(u"Transfer-Encoding");
  record.content_encoding = headers.Value(u"Content-Encoding");
  record.connection = headers.Value(u"Connection");
  record.proxy_connection = headers.Value(u"Proxy-Connection");
  record.location = headers.Value(u"Location");
  record.challenges = headers.Values(u"WWW-Authenticate");
  record.proxy_challenges = headers.Values(u"Proxy-Authenticate");
}

}  // namespace queue
