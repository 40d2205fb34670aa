// The request head of a GET: the request line and the header lines this client sends, encoded
// to the bytes that go out in one write.
#pragma once

#include <string>
#include <string_view>

namespace queue {

inline constexpr std::u16string_view kAcceptValue =
    u"text/html,application/xhtml+xml,application/xml;q=0.9,*/*;q=0.8";
inline constexpr std::u16string_view kUserAgentValue = u"Mozilla/3.0 (compatible; Queue Operator)";

struct RequestHeadFields {
  std::u16string target;         // request target, e.g. "/getQueue?operator=3"
  std::u16string host;           // Host value
  std::u16string authorization;  // empty: no Authorization line
  std::u16string cookie;         // empty: no Cookie line
};

// The head of a GET for `fields`: request line, then Host, Accept, User-Agent, Authorization and
// Cookie (each only when not empty), each line ending in CR LF, and the empty line. Every UTF-16
// unit of a line becomes one byte, see EncodeHeadText; header values keep their tabs.
std::string BuildRequestHead(const RequestHeadFields& fields);

// Whether a horizontal tab goes out as itself: it is a legal byte inside a header value (a
// cookie value may hold one), but it would split the request line.
enum class TabIs { kReplaced, kKept };

// One line's text as bytes: a unit below 0x80 is its byte; any other unit, and every control
// unit (below 0x20, and 0x7F; a tab when `tab` says so), becomes "?", so no text can end a line
// or start a header.
std::string EncodeHeadText(std::u16string_view text, TabIs tab = TabIs::kReplaced);

}  // namespace queue
