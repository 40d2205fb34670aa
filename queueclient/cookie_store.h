// The cookie store of the client: cookies the queue server sets live here for the run and go
// back with later requests.
#pragma once

#include <string>
#include <vector>

#include "queueclient/uri.h"

namespace queue {

class CookieStore {
 public:
  CookieStore();
  ~CookieStore();
  CookieStore(const CookieStore&) = delete;
  CookieStore& operator=(const CookieStore&) = delete;

  // Takes the Set-Cookie values of one header block, in arrival order, for the request URI.
  void AddServerCookies(const std::vector<std::u16string>& set_cookie_values, const Uri& uri);
  // The Cookie header value for a request to `uri`; empty when no cookie matches.
  std::u16string GenerateClientCookies(const Uri& uri, bool secure);
};

}  // namespace queue
