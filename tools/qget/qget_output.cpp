// qget's JSON lines.
#include "tools/qget/qget_output.h"

#include <cstdio>

#include "queueclient/text.h"

namespace queue::qget {

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  for (const char16_t unit : text) {
    if (unit == u'"' || unit == u'\\') {
      out += '\\';
      out += static_cast<char>(unit);
    } else if (unit >= 0x20 && unit <= 0x7E) {
      out += static_cast<char>(unit);
    } else {
      char escape[8];
      std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(unit));
      out += escape;
    }
  }
  return out + "\"";
}

std::u16string BoxText(const Failure& failure) {
  const Failure* innermost = &failure;
  while (innermost->inner() != nullptr) innermost = innermost->inner();
  std::u16string text = innermost->message().empty() ? failure.message() : innermost->message();
  if (!text.empty() && text.back() > u'.') text += u'.';
  return text;
}

std::string SuccessLine(std::u16string_view answer) {
  return "{\"ok\":true,\"answer\":" + JsonString(answer) + "}";
}

std::string FailureLine(const Failure& failure) {
  std::string line = "{\"ok\":false,\"kind\":" + JsonString(Widen(KindName(failure.kind()))) +
                     ",\"message\":" + JsonString(failure.message()) +
                     ",\"box\":" + JsonString(BoxText(failure));
  if (const auto* socket = dynamic_cast<const SocketFailure*>(&failure)) {
    line += ",\"error\":" + std::to_string(socket->error_number());
  }
  if (const auto* status = dynamic_cast<const HttpStatusFailure*>(&failure)) {
    line += ",\"status\":" + std::to_string(status->status_code());
  }
  return line + "}";
}

std::string InternalFailureLine(std::string_view what) {
  const std::u16string message = Utf8ToUtf16(what);
  return "{\"ok\":false,\"kind\":\"internal\",\"message\":" + JsonString(message) +
         ",\"box\":" + JsonString(message) + "}";
}

}  // namespace queue::qget
