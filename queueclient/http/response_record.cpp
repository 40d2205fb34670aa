// The response record: the status code, and the interpretation of a header
// block into content type, character set, length, codings, connection values and challenges.
#include "queueclient/http/response_record.h"

#include <limits>

#include "core/text.h"
#include "queueclient/charset/charset.h"
#include "queueclient/charset/content_type.h"
#include "queueclient/http/protocol_integer.h"

namespace queue {

void ResponseRecord::ClearForHeaderBlock() {
  std::u16string kept_status_line = std::move(status_line);
  *this = ResponseRecord{};
  status_line = std::move(kept_status_line);
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

bool IsChunked(const ResponseRecord& record) {
  return AsciiLower(record.transfer_encoding).find(u"chunked") != std::u16string::npos;
}

}  // namespace queue
