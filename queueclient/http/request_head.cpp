// Building and encoding the request head.
#include "queueclient/http/request_head.h"

namespace queue {
namespace {

void AppendHeader(std::string& head, std::string_view name, std::u16string_view value) {
  if (value.empty()) return;
  head += name;
  head += ": ";
  head += EncodeHeadText(value, TabIs::kKept);
  head += "\r\n";
}

}  // namespace

std::string EncodeHeadText(std::u16string_view text, TabIs tab) {
  std::string bytes(text.size(), '?');
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char16_t unit = text[i];
    if ((unit >= 0x20 && unit < 0x7F) || (unit == u'\t' && tab == TabIs::kKept)) {
      bytes[i] = static_cast<char>(unit);
    }
  }
  return bytes;
}

std::string BuildRequestHead(const RequestHeadFields& fields) {
  std::string head = "GET " + EncodeHeadText(fields.target) + " HTTP/1.1\r\n";
  AppendHeader(head, "Host", fields.host);
  AppendHeader(head, "Accept", kAcceptValue);
  AppendHeader(head, "User-Agent", kUserAgentValue);
  AppendHeader(head, "Authorization", fields.authorization);
  AppendHeader(head, "Cookie", fields.cookie);
  head += "\r\n";
  return head;
}

}  // namespace queue
