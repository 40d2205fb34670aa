// The URI record of the client: the parts of a request URL, and the client's current URI
// into which every request URL is merged.
#pragma once

#include <string>

namespace queue {

enum class IpVersion { kIPv4, kIPv6 };

struct Uri {
  std::u16string Protocol;  // the scheme as written
  std::u16string Host;
  std::u16string Port;      // text, as written
  std::u16string Path;      // directory part; from an absolute URL it begins and ends with "/"
  std::u16string Document;  // last path segment
  std::u16string Params;    // query without "?"
  std::u16string Bookmark;  // fragment without "#"; never sent
  std::u16string Username;
  std::u16string Password;
  IpVersion IPVersion = IpVersion::kIPv4;
};

}  // namespace queue
