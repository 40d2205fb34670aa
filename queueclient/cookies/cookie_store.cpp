// The cookie store: storing and replacing, bounds, and the Cookie value of a request.
#include "queueclient/cookies/cookie_store.h"

#include <algorithm>
#include <mutex>
#include <utility>

#include "core/text.h"
#include "queueclient/cookies/cookie_match.h"
#include "queueclient/cookies/cookie_parser.h"

namespace queue {
namespace {

bool SameSlot(const Cookie& a, const Cookie& b) {
  return EqualsIgnoreCase(a.CookieName, b.CookieName) && EqualsIgnoreCase(a.Domain, b.Domain) &&
         EqualsIgnoreCase(a.Path, b.Path);
}

bool GoesWith(const Cookie& cookie, const Uri& uri, bool secure) {
  const bool host_fits = cookie.HostOnly ? EqualsIgnoreCase(uri.Host, cookie.Domain)
                                         : DomainMatches(uri.Host, cookie.Domain);
  return host_fits && PathMatches(uri.Path, cookie.Path) && (secure || !cookie.Secure) &&
         (!cookie.HttpOnly || IsHttpScheme(uri.Protocol));
}

// The index of the least recently sent cookie among those `pick` accepts; the first stored of
// equals, so a cookie just stored (accessed now, kept last) is never the one chosen.
template <typename Pick>
std::size_t LeastRecentlyAccessed(const std::vector<Cookie>& cookies, Pick pick) {
  std::size_t found = cookies.size();
  for (std::size_t i = 0; i < cookies.size(); ++i) {
    if (!pick(cookies[i])) continue;
    if (found == cookies.size() || cookies[i].LastAccessed < cookies[found].LastAccessed) found = i;
  }
  return found;
}

}  // namespace

CookieStore::CookieStore(std::shared_ptr<const CookieClock> clock)
    : clock_(clock ? std::move(clock) : SystemCookieClock()) {}

CookieStore::~CookieStore() = default;

void CookieStore::AddServerCookies(const std::vector<std::u16string>& set_cookie_values,
                                   const Uri& uri) {
  // Most answers set no cookie: they leave the clock unread (on Windows each reading of the time
  // zone costs several system calls).
  if (set_cookie_values.empty()) return;
  const int utc_offset = clock_->UtcOffsetMinutes();
  // One moment for the whole header block: the cookies of one answer are created together, so
  // their order in the Cookie value is their store order, not whether the clock ticked between
  // two of them.
  const DateTime now = clock_->Now();
  std::unique_lock guard(lock_);
  for (const auto& value : set_cookie_values) {
    if (auto cookie = ParseSetCookie(value, uri, now, utc_offset)) {
      Store(std::move(*cookie), uri, now);
    }
  }
}

void CookieStore::Store(Cookie cookie, const Uri& uri, DateTime now) {
  const auto kept = std::find_if(cookies_.begin(), cookies_.end(),
                                 [&](const Cookie& c) { return SameSlot(c, cookie); });
  if (kept != cookies_.end()) {
    // Only the schemes the cookie was meant for may touch an HttpOnly cookie.
    if (kept->HttpOnly && !IsHttpScheme(uri.Protocol)) return;
    cookie.CreatedAt = kept->CreatedAt;
    cookies_.erase(kept);
  }
  // An already expired cookie only deletes the one it replaces.
  if (cookie.IsExpired(now)) return;
  const std::u16string domain = cookie.Domain;
  cookies_.push_back(std::move(cookie));
  EnforceBounds(domain);
}

void CookieStore::EnforceBounds(const std::u16string& domain) {
  const auto in_domain = [&domain](const Cookie& c) { return EqualsIgnoreCase(c.Domain, domain); };
  if (static_cast<std::size_t>(std::count_if(cookies_.begin(), cookies_.end(), in_domain)) >
      kMaxCookiesPerDomain) {
    cookies_.erase(cookies_.begin() +
                   static_cast<std::ptrdiff_t>(LeastRecentlyAccessed(cookies_, in_domain)));
  }
  if (cookies_.size() > kMaxCookiesInAll) {
    cookies_.erase(cookies_.begin() + static_cast<std::ptrdiff_t>(LeastRecentlyAccessed(
                                          cookies_, [](const Cookie&) { return true; })));
  }
}

std::u16string CookieStore::GenerateClientCookies(const Uri& uri, bool secure) {
  // Producing the value also writes (expired cookies go, LastAccessed changes), so it holds the
  // lock for writing: two readers must not write the same cookie's fields at once.
  std::unique_lock guard(lock_);
  // An empty store, the usual case, needs no reading of the clock.
  if (cookies_.empty()) return {};
  const DateTime now = clock_->Now();
  std::erase_if(cookies_, [now](const Cookie& c) { return c.IsExpired(now); });

  std::vector<Cookie*> selected;
  for (auto& cookie : cookies_) {
    if (GoesWith(cookie, uri, secure)) selected.push_back(&cookie);
  }
  // Stable, so cookies created at the same moment keep their store order.
  std::stable_sort(selected.begin(), selected.end(), [](const Cookie* a, const Cookie* b) {
    if (a->Path.size() != b->Path.size()) return a->Path.size() > b->Path.size();
    return a->CreatedAt < b->CreatedAt;
  });

  std::u16string header;
  for (Cookie* cookie : selected) {
    cookie->LastAccessed = now;
    if (!header.empty()) header += u"; ";
    header += cookie->CookieName;
    header += u'=';
    header += cookie->Value;
  }
  return header;
}

std::vector<Cookie> CookieStore::Cookies() const {
  std::shared_lock guard(lock_);
  return cookies_;
}

}  // namespace queue
