// The cookie store of the client: cookies the queue server sets live here for the run and go
// back with later requests. Memory only; every run starts empty.
#pragma once

#include <cstddef>
#include <memory>
#include <shared_mutex>
#include <string>
#include <vector>

#include "queueclient/cookies/cookie.h"
#include "queueclient/cookies/cookie_time.h"
#include "queueclient/http/uri.h"

namespace queue {

// A server that sets a new cookie on every answer would otherwise grow the store for the whole
// working day; browsers keep about this many per domain.
inline constexpr std::size_t kMaxCookiesPerDomain = 50;
// The same concern across all domains together; the figure browsers use.
inline constexpr std::size_t kMaxCookiesInAll = 3000;

class CookieStore {
 public:
  // `clock` gives "now" and the offset of local time from UTC; the machine's by default.
  explicit CookieStore(std::shared_ptr<const CookieClock> clock = SystemCookieClock());
  ~CookieStore();
  CookieStore(const CookieStore&) = delete;
  CookieStore& operator=(const CookieStore&) = delete;

  // Takes the Set-Cookie values of one header block, in arrival order, for the request URI.
  // A value that is not accepted is dropped; never fails. A cookie replaces the kept one of the
  // same name, domain and path (ignoring case), and an expired one only deletes it. Past the
  // bounds above, the least recently sent cookies go first.
  void AddServerCookies(const std::vector<std::u16string>& set_cookie_values, const Uri& uri);
  // The Cookie header value for a request to `uri` ("secure" for an "https" request): the
  // matching cookies, longest path first and then oldest first, as "name=value" joined by "; ";
  // empty when none matches. Expired cookies are removed first; the ones sent are marked as
  // accessed now.
  std::u16string GenerateClientCookies(const Uri& uri, bool secure);

  // A copy of the kept cookies in store order, for inspection.
  std::vector<Cookie> Cookies() const;

 private:
  void Store(Cookie cookie, const Uri& uri, DateTime now);
  void EnforceBounds(const std::u16string& domain);

  std::shared_ptr<const CookieClock> clock_;
  mutable std::shared_mutex lock_;
  std::vector<Cookie> cookies_;  // in the order they were stored
};

}  // namespace queue
