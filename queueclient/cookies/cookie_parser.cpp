// Set-Cookie parsing: the name-value pair, the attributes and the cookie they make.
#include "queueclient/cookies/cookie_parser.h"

#include <algorithm>
#include <limits>

#include "core/text.h"
#include "queueclient/cookies/cookie_date.h"
#include "queueclient/cookies/cookie_match.h"

namespace queue {
namespace {

bool IsBlankOrControl(char16_t c) {
  return c <= 0x20 || c == 0x7F;
}

// Trims blanks and control characters, DEL among them, at both ends.
std::u16string_view TrimControls(std::u16string_view text) {
  while (!text.empty() && IsBlankOrControl(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlankOrControl(text.back())) text.remove_suffix(1);
  return text;
}

// Trims blanks and control characters, then takes a leading double-quoted part without its
// quotes (to the end of the text when the closing quote is missing).
std::u16string_view TrimAndUnquote(std::u16string_view text) {
  text = TrimControls(text);
  if (text.empty() || text.front() != u'"') return text;
  text.remove_prefix(1);
  return text.substr(0, text.find(u'"'));
}

// Control characters could end or split the request's Cookie line; a tab is harmless there.
bool HasControlCharacter(std::u16string_view text) {
  for (const char16_t c : text) {
    if ((c < 0x20 && c != u'\t') || c == 0x7F) return true;
  }
  return false;
}

// A decimal integer with an optional sign; digits past the range of int64 saturate, since any
// such count of seconds reaches beyond the last representable date anyway.
std::optional<std::int64_t> ParseInteger(std::u16string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == u'-' || text.front() == u'+')) {
    negative = text.front() == u'-';
    text.remove_prefix(1);
  }
  if (text.empty()) return std::nullopt;
  constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
  std::int64_t value = 0;
  for (const char16_t c : text) {
    if (c < u'0' || c > u'9') return std::nullopt;
    const int digit = c - u'0';
    value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
  }
  return negative ? -value : value;
}

// An expiry "now plus that many seconds". A lifetime of zero or less is over before the cookie
// is stored: it gets an expiry long past, since "now" itself would still count as alive to a
// request that follows within the same tick of the clock.
DateTime ExpiryAfterSeconds(DateTime now, std::int64_t seconds) {
  return seconds <= 0 ? kFirstDayOfYearOne : AddSecondsClamped(now, seconds);
}

// What the attributes of one Set-Cookie value recorded; the last of a repeated name counts.
struct Attributes {
  std::optional<DateTime> expires;
  std::optional<DateTime> max_age;
  std::optional<std::u16string> domain;
  std::optional<std::u16string> path;
  bool secure = false;
  bool http_only = false;
};

void RecordAttribute(std::u16string_view name, std::u16string_view value, const Uri& uri,
                     DateTime now, int utc_offset_minutes, Attributes& out) {
  if (EqualsIgnoreCase(name, u"Expires")) {
    if (const auto seconds = ParseInteger(value)) {
      out.expires = ExpiryAfterSeconds(now, *seconds);
    } else if (const auto utc = ParseCookieDate(value)) {
      out.expires = AddSecondsClamped(*utc, std::int64_t{utc_offset_minutes} * 60);
    }
  } else if (EqualsIgnoreCase(name, u"Max-Age")) {
    if (const auto seconds = ParseInteger(value)) out.max_age = ExpiryAfterSeconds(now, *seconds);
  } else if (EqualsIgnoreCase(name, u"Domain")) {
    if (value.empty() || value.size() > kMaxCookieAttributeBytes) return;
    if (value.front() == u'.') value.remove_prefix(1);
    out.domain = AsciiLower(value.substr(0, value.find(u':')));
  } else if (EqualsIgnoreCase(name, u"Path")) {
    if (value.size() > kMaxCookieAttributeBytes) return;
    out.path =
        !value.empty() && value.front() == u'/' ? std::u16string(value) : DefaultPath(uri.Path);
  } else if (EqualsIgnoreCase(name, u"Secure")) {
    out.secure = true;
  } else if (EqualsIgnoreCase(name, u"HttpOnly")) {
    out.http_only = true;
  }
}

Attributes ParseAttributes(std::u16string_view text, const Uri& uri, DateTime now,
                           int utc_offset_minutes) {
  Attributes attributes;
  while (!text.empty()) {
    text.remove_prefix(1);  // the ";" before this piece
    const std::u16string_view piece = text.substr(0, text.find(u';'));
    text.remove_prefix(piece.size());
    const std::size_t equals = piece.find(u'=');
    const std::u16string_view name = TrimControls(piece.substr(0, equals));
    const std::u16string_view value = equals == std::u16string_view::npos
                                          ? std::u16string_view{}
                                          : TrimAndUnquote(piece.substr(equals + 1));
    RecordAttribute(name, value, uri, now, utc_offset_minutes, attributes);
  }
  return attributes;
}

}  // namespace

bool IsHttpScheme(std::u16string_view scheme) {
  return EqualsIgnoreCase(scheme, u"http") || EqualsIgnoreCase(scheme, u"https");
}

std::optional<Cookie> ParseSetCookie(std::u16string_view set_cookie, const Uri& uri, DateTime now,
                                     int utc_offset_minutes) {
  const std::size_t pair_end = std::min(set_cookie.find(u';'), set_cookie.size());
  const std::u16string_view pair = set_cookie.substr(0, pair_end);
  const std::size_t equals = pair.find(u'=');
  if (equals == std::u16string_view::npos) return std::nullopt;

  Cookie cookie;
  cookie.CookieName = TrimControls(pair.substr(0, equals));
  cookie.Value = TrimAndUnquote(pair.substr(equals + 1));
  if (cookie.CookieName.empty()) return std::nullopt;
  if (cookie.CookieName.size() + cookie.Value.size() > kMaxCookieNameValueBytes) {
    return std::nullopt;
  }
  if (HasControlCharacter(cookie.CookieName) || HasControlCharacter(cookie.Value)) {
    return std::nullopt;
  }

  const Attributes attributes =
      ParseAttributes(set_cookie.substr(pair_end), uri, now, utc_offset_minutes);

  // Max-Age outranks Expires; without either the cookie lasts for the rest of the run.
  const auto expiry = attributes.max_age ? attributes.max_age : attributes.expires;
  cookie.Persistent = expiry.has_value();
  cookie.Expires = expiry.value_or(kEndOfTime);

  if (!attributes.domain || attributes.domain->empty()) {
    cookie.HostOnly = true;
    cookie.Domain = uri.Host;
  } else if (DomainMatches(uri.Host, *attributes.domain)) {
    cookie.Domain = *attributes.domain;
  } else {
    return std::nullopt;
  }

  cookie.Path = attributes.path.value_or(DefaultPath(uri.Path));
  cookie.Secure = attributes.secure;
  cookie.HttpOnly = attributes.http_only;
  if (cookie.HttpOnly && !IsHttpScheme(uri.Protocol)) return std::nullopt;

  cookie.CreatedAt = now;
  cookie.LastAccessed = now;
  return cookie;
}

}  // namespace queue
