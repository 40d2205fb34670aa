// qget's JSON lines.
#include "tools/qget/qget_output.h"

#include <cstdio>

#include "core/error_text.h"
#include "core/text.h"

namespace queue::qget {

namespace {

// Code units escaped and written at a time by WriteSuccessLine.
constexpr std::size_t kWriteSliceUnits = 64 * 1024;

// Appends the units of `text` as they stand between the quotes of a JSON string.
void AppendJsonEscaped(std::u16string_view text, std::string& out) {
  for (const char16_t unit : text) {
    if (unit == u'"' || unit == u'\\') {
      out += '\\';
      out += static_cast<char>(unit);
    } else if (unit >= 0x20 && unit <= 0x7E) {
      out += static_cast<char>(unit);
    } else {
      // By hand: a formatted print per unit took seconds for a body of replacement characters.
      constexpr char kHex[] = "0123456789ABCDEF";
      const char escape[] = {'\\',
                             'u',
                             kHex[(unit >> 12) & 0xF],
                             kHex[(unit >> 8) & 0xF],
                             kHex[(unit >> 4) & 0xF],
                             kHex[unit & 0xF]};
      out.append(escape, sizeof escape);
    }
  }
}

}  // namespace

std::string JsonString(std::u16string_view text) {
  std::string out = "\"";
  AppendJsonEscaped(text, out);
  return out + "\"";
}

void WriteSuccessLine(std::FILE* out, std::u16string_view answer) {
  std::fputs("{\"ok\":true,\"answer\":\"", out);
  std::string piece;
  while (!answer.empty()) {
    const std::u16string_view slice = answer.substr(0, kWriteSliceUnits);
    answer.remove_prefix(slice.size());
    piece.clear();
    AppendJsonEscaped(slice, piece);
    std::fwrite(piece.data(), 1, piece.size(), out);
  }
  std::fputs("\"}\n", out);
}

std::string FailureLine(const Failure& failure) {
  std::string line = "{\"ok\":false,\"kind\":" + JsonString(Widen(failure.kind().name())) +
                     ",\"message\":" + JsonString(failure.message()) +
                     ",\"box\":" + JsonString(ErrorBoxText(failure));
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
