// Set-Cookie values and cookie dates. Input: one byte choosing the request URI, then Set-Cookie
// values separated by LF, decoded as the client decodes header lines. Properties:
//   - a cookie date that parses, written back in the canonical form, parses to the same moment;
//   - every cookie the store keeps, written back as a Set-Cookie value with its attributes,
//     parses to the same cookie for the same request;
//   - every name=value the store sends parses back to a kept cookie's name and value.
#include <array>
#include <cinttypes>

#include "core/text.h"
#include "fuzz/fuzz_support.h"
#include "queueclient/cookies/cookie_date.h"
#include "queueclient/cookies/cookie_parser.h"
#include "queueclient/cookies/cookie_store.h"
#include "queueclient/failure.h"

namespace {

using queue::Cookie;
using queue::DateTime;

constexpr std::int64_t kMsPerDay = 86400000;

std::int64_t FloorDiv(std::int64_t a, std::int64_t b) {
  return a / b - ((a % b != 0) && ((a < 0) != (b < 0)));
}

// "Wed, 09 Jun 2021 10:18:14 GMT" for a date-time (whole seconds; milliseconds dropped).
std::u16string FormatCookieDate(DateTime time) {
  static constexpr std::array<const char*, 7> kWeekdays = {"Thu", "Fri", "Sat", "Sun",
                                                           "Mon", "Tue", "Wed"};
  static constexpr std::array<const char*, 12> kMonths = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::int64_t days = FloorDiv(time.ms, kMsPerDay);
  const std::int64_t second_of_day = (time.ms - days * kMsPerDay) / 1000;
  // Days to the civil date, proleptic Gregorian.
  const std::int64_t z = days + 719468;
  const std::int64_t era = FloorDiv(z, 146097);
  const std::int64_t doe = z - era * 146097;
  const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const std::int64_t mp = (5 * doy + 2) / 153;
  const std::int64_t day = doy - (153 * mp + 2) / 5 + 1;
  const std::int64_t month = mp < 10 ? mp + 3 : mp - 9;
  const std::int64_t year = yoe + era * 400 + (month <= 2);
  char text[64];
  std::snprintf(text, sizeof text,
                "%s, %02" PRId64 " %s %04" PRId64 " %02" PRId64 ":%02" PRId64 ":%02" PRId64 " GMT",
                kWeekdays[static_cast<std::size_t>(((days % 7) + 7) % 7)], day,
                kMonths[static_cast<std::size_t>(month - 1)], year, second_of_day / 3600,
                second_of_day / 60 % 60, second_of_day % 60);
  return queue::Widen(text);
}

// A value that the parser would trim is written in quotes (kept values hold no quote mark
// at their start, so the quotes come off again exactly).
std::u16string Quoted(const std::u16string& value) {
  return queue::Trim(value) == value ? value : u"\"" + value + u"\"";
}

// The Set-Cookie value that stands for a kept cookie.
std::u16string SetCookieOf(const Cookie& cookie) {
  std::u16string text = cookie.CookieName + u"=" + Quoted(cookie.Value);
  text += u"; Path=" + Quoted(cookie.Path);
  if (!cookie.HostOnly) {
    // A leading dot is taken off once by the parser.
    text +=
        u"; Domain=" + std::u16string(cookie.Domain.starts_with(u'.') ? u"." : u"") + cookie.Domain;
  }
  if (cookie.Persistent) text += u"; Expires=" + FormatCookieDate(cookie.Expires);
  if (cookie.Secure) text += u"; Secure";
  if (cookie.HttpOnly) text += u"; HttpOnly";
  return text;
}

bool SameCookie(const Cookie& a, const Cookie& b) {
  return a.CookieName == b.CookieName && a.Value == b.Value && a.Domain == b.Domain &&
         a.Path == b.Path && a.Persistent == b.Persistent && a.HostOnly == b.HostOnly &&
         a.Secure == b.Secure && a.HttpOnly == b.HttpOnly &&
         FloorDiv(a.Expires.ms, 1000) == FloorDiv(b.Expires.ms, 1000);
}

queue::Uri RequestUri(std::uint8_t choice) {
  static constexpr std::array<const char16_t*, 4> kUrls = {
      u"http://queue.test/app/getQueue?operator=1", u"https://a.b.queue.test/getQueue",
      u"http://127.0.0.1:8080/x/y/z", u"ftp://files.queue.test/d/"};
  queue::Uri uri;
  try {
    queue::MergeIntoCurrent(uri, queue::ParseUrl(kUrls[choice % kUrls.size()]));
  } catch (const queue::Failure&) {
    uri.Protocol = u"ftp";  // no port for the scheme; the host and path are merged already
  }
  return uri;
}

void CheckDate(std::u16string_view text) {
  const auto date = queue::ParseCookieDate(text);
  if (!date) return;
  const auto again = queue::ParseCookieDate(FormatCookieDate(*date));
  fuzz::Require(again.has_value(), "a parsed date written canonically parses");
  fuzz::Require(FloorDiv(again->ms, 1000) == FloorDiv(date->ms, 1000),
                "a parsed date written canonically is the same moment");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  fuzz::Input input(data, size);
  const queue::Uri uri = RequestUri(input.Byte());
  const bool secure = queue::IsHttpsScheme(uri.Protocol);
  std::vector<std::u16string> values;
  for (std::string_view rest = input.Rest(); !rest.empty() || values.empty();) {
    const std::size_t end = rest.find('\n');
    values.push_back(queue::AsciiToUtf16(rest.substr(0, end)));
    CheckDate(values.back());
    rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
  }

  const auto clock = std::make_shared<fuzz::FixedClock>();
  queue::CookieStore store(clock);
  store.AddServerCookies(values, uri);
  const std::vector<Cookie> kept = store.Cookies();
  for (const Cookie& cookie : kept) {
    const auto again = queue::ParseSetCookie(SetCookieOf(cookie), uri, clock->Now(), 0);
    fuzz::Require(again.has_value(), "a kept cookie written back is accepted");
    fuzz::Require(SameCookie(*again, cookie), "a kept cookie written back is the same cookie");
  }

  const std::u16string sent = store.GenerateClientCookies(uri, secure);
  for (std::u16string_view rest = sent; !rest.empty();) {
    const std::size_t end = rest.find(u"; ");
    const std::u16string_view pair = rest.substr(0, end);
    rest.remove_prefix(end == std::u16string_view::npos ? rest.size() : end + 2);
    const auto parsed = queue::ParseSetCookie(pair, uri, clock->Now(), 0);
    fuzz::Require(parsed.has_value(), "a sent cookie parses");
    bool found = false;
    for (const Cookie& cookie : kept) {
      found = found || (cookie.CookieName == parsed->CookieName &&
                        queue::Trim(cookie.Value) == parsed->Value);
    }
    fuzz::Require(found, "a sent cookie is a kept one");
  }
  return 0;
}
