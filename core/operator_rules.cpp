// The operator window's caption, request URL and log lines.
#include "core/operator_rules.h"

namespace queue {
namespace {

constexpr std::u16string_view kRequestPath = u"/getQueue?operator=";

}  // namespace

std::u16string CaptionWithWindowNumber(std::u16string_view role_label,
                                       std::u16string_view window_number) {
  std::u16string caption(role_label);
  caption += u" - ";
  caption += window_number;
  return caption;
}

std::u16string RequestUrl(std::u16string_view server_address, std::u16string_view window_number) {
  std::u16string url(server_address);
  url += kRequestPath;
  url += window_number;
  return url;
}

std::vector<std::u16string> AnswerLogLines(std::u16string_view answer) {
  std::vector<std::u16string> lines(1);
  for (std::size_t i = 0; i < answer.size(); ++i) {
    const char16_t c = answer[i];
    if (c == u'\r' || c == u'\n') {
      if (c == u'\r' && i + 1 < answer.size() && answer[i + 1] == u'\n') ++i;
      lines.emplace_back();
    } else {
      lines.back() += c;
    }
  }
  return lines;
}

}  // namespace queue
