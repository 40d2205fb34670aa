// One cookie as the store keeps it.
#pragma once

#include <string>

#include "queueclient/cookies/cookie_time.h"

namespace queue {

struct Cookie {
  std::u16string CookieName;  // never empty
  std::u16string Value;       // may be empty
  std::u16string Domain;      // the request host (host-only) or the Domain attribute, lower case
  std::u16string Path;        // the path the cookie applies to
  DateTime Expires = kEndOfTime;  // local time
  bool Persistent = false;        // the expiry came from Max-Age or Expires
  bool HostOnly = false;          // there was no usable Domain attribute
  bool Secure = false;            // sent only on "https" requests
  bool HttpOnly = false;          // kept away from schemes other than "http" and "https"
  DateTime CreatedAt;             // local time; kept when the cookie is replaced
  DateTime LastAccessed;          // local time of the last time it was sent

  // Whether the cookie's life is over at the local time `now`.
  bool IsExpired(DateTime now) const { return now > Expires; }
};

}  // namespace queue
