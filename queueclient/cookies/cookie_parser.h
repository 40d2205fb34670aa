// Turns one Set-Cookie value into a cookie for the request it came with. Knows nothing of the
// store: what is already kept plays no part here.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>

#include "queueclient/cookies/cookie.h"
#include "queueclient/cookies/cookie_time.h"
#include "queueclient/http/uri.h"

namespace queue {

// A name and value longer than this together are refused, as browsers refuse them: the store
// must not let one server fill the program's memory with a few cookies. Every code unit of a
// header text is one received byte, so this counts bytes.
inline constexpr std::size_t kMaxCookieNameValueBytes = 4096;
// A Domain or Path attribute value longer than this is ignored, as browsers ignore it: both are
// kept with the cookie, so they need the same bound as the value.
inline constexpr std::size_t kMaxCookieAttributeBytes = 1024;

// Parses `set_cookie` (the value of one Set-Cookie header line) received for the request `uri`
// at the local time `now`; `utc_offset_minutes` turns Expires dates into local time.
// Returns the cookie, with CreatedAt and LastAccessed set to `now`, or nothing when the value is
// dropped: no "=" in its first piece, an empty name, a name or value with a control character
// other than a tab inside it (which could break the Cookie line it would go back in; blanks and
// control characters, DEL too, at either end are trimmed), a name and value too long, a Domain
// the request host does not lie in, or HttpOnly on a scheme other than "http" and "https".
// Unknown attributes and Expires values that are no date are ignored. Never throws for any
// input text.
std::optional<Cookie> ParseSetCookie(std::u16string_view set_cookie, const Uri& uri, DateTime now,
                                     int utc_offset_minutes);

// Whether `scheme` is "http" or "https", ignoring case: the schemes HttpOnly cookies live on.
bool IsHttpScheme(std::u16string_view scheme);

}  // namespace queue
