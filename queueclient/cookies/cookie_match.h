// The rules that tie a cookie to requests: the default path, domain match and path match.
#pragma once

#include <string>
#include <string_view>

namespace queue {

// Whether `host` is written as an IPv4 address (four decimal numbers 0-255 joined by ".") or
// an IPv6 address (any ":", which no host name holds).
bool IsIpAddress(std::u16string_view host);

// Whether `host` lies in `domain`: equal ignoring case, or a host name (not an address, not
// beginning with ".") that ends with "." and the domain. Empty texts match nothing. There is no
// list of public suffixes: "example" matches any host that ends in ".example".
bool DomainMatches(std::u16string_view host, std::u16string_view domain);

// The path a cookie without a usable Path attribute gets from the request's directory
// `uri_path` (which ends with "/"): the directory without its last "/", or "/" for the root
// and for anything not beginning with "/".
std::u16string DefaultPath(std::u16string_view uri_path);

// Whether a cookie with path `cookie_path` goes with a request whose directory is `uri_path`:
// equal, or the directory begins with the cookie's path and the cookie's path ends with "/" or
// a "/" follows it in the directory. Compared ignoring case.
bool PathMatches(std::u16string_view uri_path, std::u16string_view cookie_path);

}  // namespace queue
