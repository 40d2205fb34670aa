// What the operator window decides, written once for both programs: its caption after Save,
// the request URL of the Next action, and the lines an answer adds to the log.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace queue {

// The settings window's numbers "1" to "7".
inline constexpr int kWindowNumbers = 7;

// The role label, " - " and the window number's text: "Оператор - 3"; with no number chosen
// it ends in the blank.
std::u16string CaptionWithWindowNumber(std::u16string_view role_label,
                                       std::u16string_view window_number);

// The server address as typed, "/getQueue?operator=" and the window number's text, joined
// with nothing added, removed or encoded ("http://localhost/" gives a path of two slashes).
std::u16string RequestUrl(std::u16string_view server_address, std::u16string_view window_number);

// The log's lines for one answer: every line break (CR LF, a lone LF or a lone CR) ends a
// line; an empty answer is one empty line.
std::vector<std::u16string> AnswerLogLines(std::u16string_view answer);

}  // namespace queue
