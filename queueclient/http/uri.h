// The URI record of the client: the parts of a request URL, and the client's current URI
// into which every request URL is merged.
#pragma once

#include <string>
#include <string_view>

namespace queue {

enum class IpVersion { kIPv4, kIPv6 };

struct Uri {
  // Every part starts empty, so a Uri may be written with only its first parts given.
  std::u16string Protocol{};  // the scheme as written
  std::u16string Host{};
  std::u16string Port{};      // text, as written
  std::u16string Path{};      // directory part; from an absolute URL it begins and ends with "/"
  std::u16string Document{};  // last path segment
  std::u16string Params{};    // query without "?"
  std::u16string Bookmark{};  // fragment without "#"; never sent
  std::u16string Username{};
  std::u16string Password{};
  IpVersion IPVersion = IpVersion::kIPv4;
};

// Splits URL text into its parts. An absolute URL (one holding "://") gives every part; a
// relative one gives only Path, Document, Params and Bookmark. Never fails: any text is a URL.
Uri ParseUrl(std::u16string_view url);

// Joins a URL path onto the current directory path as the client does for a path that does
// not begin with "/": appended, doubled "/" dropped, ".." removing the segment before it.
std::u16string MergePath(std::u16string_view current_path, std::u16string_view url_path);

// Merges a parsed URL into the current URI (credentials, path, document, query, host, scheme,
// port, address family). Fields are updated in that order, so a failure leaves the earlier
// ones merged. Throws the unknown-protocol failure when no port can be found.
void MergeIntoCurrent(Uri& current, const Uri& url);

// What the request line asks for: Path + Document, then "?" and Params when there are Params.
std::u16string RequestTarget(const Uri& uri);

// The Host header value: the host ("[...]" around an IPv6 address) and ":port" unless the
// port is the scheme's default written exactly as "80" or "443".
std::u16string HostValue(const Uri& uri);

// The port the connection goes to: the Port text, trimmed, as a number; 80 when it is none.
int RoutePort(const Uri& uri);

// Whether the scheme asks for TLS ("https", ignoring case).
bool IsHttpsScheme(std::u16string_view protocol);

// Whether the text is an IPv6 address in one of its textual forms.
bool IsIpv6Address(std::u16string_view host);

}  // namespace queue
