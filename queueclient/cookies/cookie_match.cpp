// Default path, domain match and path match of cookies.
#include "queueclient/cookies/cookie_match.h"

#include "core/text.h"

namespace queue {
namespace {

bool IsIpv4Address(std::u16string_view host) {
  int parts = 0;
  std::size_t pos = 0;
  while (true) {
    int value = 0;
    std::size_t digits = 0;
    while (pos < host.size() && host[pos] >= u'0' && host[pos] <= u'9' && digits < 4) {
      value = value * 10 + (host[pos] - u'0');
      ++pos;
      ++digits;
    }
    if (digits == 0 || digits > 3 || value > 255) return false;
    ++parts;
    if (pos == host.size()) return parts == 4;
    if (host[pos] != u'.' || parts == 4) return false;
    ++pos;
  }
}

}  // namespace

bool IsIpAddress(std::u16string_view host) {
  return host.find(u':') != std::u16string_view::npos || IsIpv4Address(host);
}

bool DomainMatches(std::u16string_view host, std::u16string_view domain) {
  if (host.empty() || domain.empty()) return false;
  if (EqualsIgnoreCase(host, domain)) return true;
  if (host.size() <= domain.size() || !EndsWithIgnoreCase(host, domain)) return false;
  if (host[host.size() - domain.size() - 1] != u'.') return false;
  return host.front() != u'.' && !IsIpAddress(host);
}

std::u16string DefaultPath(std::u16string_view uri_path) {
  const std::size_t last_slash = uri_path.rfind(u'/');
  if (uri_path.empty() || uri_path.front() != u'/' || last_slash == 0) return u"/";
  return std::u16string(uri_path.substr(0, last_slash));
}

bool PathMatches(std::u16string_view uri_path, std::u16string_view cookie_path) {
  if (EqualsIgnoreCase(uri_path, cookie_path)) return true;
  if (cookie_path.empty() || !StartsWithIgnoreCase(uri_path, cookie_path)) return false;
  return cookie_path.back() == u'/' || uri_path[cookie_path.size()] == u'/';
}

}  // namespace queue
