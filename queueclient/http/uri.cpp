// URL parsing and the merge of a request URL into the client's current URI.
#include "queueclient/http/uri.h"

#include "core/text.h"
#include "queueclient/failure.h"
#include "queueclient/http/protocol_integer.h"
#include "queueclient/socket/socket_platform.h"

namespace queue {
namespace {

constexpr std::size_t npos = std::u16string_view::npos;

// Backslashes count as slashes in the part of the URL after its scheme and before its query,
// since clerks type addresses the way they type file paths.
std::u16string NormalizeBackslashes(std::u16string_view url) {
  std::u16string text(url);
  std::size_t start = 0;
  const std::size_t colon = text.find(u':');
  if (colon != npos) {
    start = colon + 1;
    auto is_slash = [&](std::size_t i) {
      return i < text.size() && (text[i] == u'/' || text[i] == u'\\');
    };
    if (is_slash(start) && is_slash(start + 1)) start += 2;
  }
  std::size_t end = text.find_first_of(u"?#");
  if (end == npos) end = text.size();
  for (std::size_t i = start; i < end; ++i) {
    if (text[i] == u'\\') text[i] = u'/';
  }
  return text;
}

// Cuts "?query#fragment" (or "#fragment") off `rest` into the URI.
void SplitQueryAndFragment(std::u16string& rest, Uri& uri) {
  const std::size_t question = rest.find(u'?');
  if (question != npos) {
    uri.Params = rest.substr(question + 1);
    rest.resize(question);
    const std::size_t hash = uri.Params.find(u'#');
    if (hash != npos) {
      uri.Bookmark = uri.Params.substr(hash + 1);
      uri.Params.resize(hash);
    }
    return;
  }
  const std::size_t hash = rest.find(u'#');
  if (hash != npos) {
    uri.Bookmark = rest.substr(hash + 1);
    rest.resize(hash);
  }
}

void SplitAuthority(std::u16string authority, Uri& uri) {
  const std::size_t at = authority.rfind(u'@');
  if (at != npos) {
    const std::u16string user_info = authority.substr(0, at);
    authority.erase(0, at + 1);
    const std::size_t colon = user_info.find(u':');
    uri.Username = user_info.substr(0, colon);
    if (colon != npos && !uri.Username.empty()) uri.Password = user_info.substr(colon + 1);
  }
  const std::size_t open = authority.find(u'[');
  const std::size_t close = open == npos ? npos : authority.find(u']', open);
  if (close != npos) {
    uri.Host = authority.substr(open + 1, close - open - 1);
    uri.IPVersion = IpVersion::kIPv6;
    const std::size_t colon = authority.find(u':', close);
    if (colon != npos) uri.Port = authority.substr(colon + 1);
    return;
  }
  const std::size_t colon = authority.find(u':');
  uri.Host = authority.substr(0, colon);
  if (colon != npos) uri.Port = authority.substr(colon + 1);
}

// Reads the joined path from the left: a "/" after another "/" is dropped, and a ".." segment
// removes the segment before it.
std::u16string CollapsePath(std::u16string_view joined) {
  std::u16string out;
  std::size_t i = 0;
  while (i < joined.size()) {
    const char16_t c = joined[i];
    if (c == u'/' && !out.empty() && out.back() == u'/') {
      ++i;
      continue;
    }
    const bool dot_dot_segment = c == u'.' && !out.empty() && out.back() == u'/' &&
                                 joined.substr(i, 2) == u".." &&
                                 (i + 2 == joined.size() || joined[i + 2] == u'/');
    if (dot_dot_segment) {
      // Drop the segment before "..", keeping the slash that precedes it.
      out.pop_back();
      const std::size_t previous = out.rfind(u'/');
      out.resize(previous == npos ? 0 : previous);
      out.push_back(u'/');
      i += 2;
      if (i < joined.size()) ++i;  // the "/" after ".." is already at the end of `out`
      continue;
    }
    out.push_back(c);
    ++i;
  }
  return out;
}

}  // namespace

Uri ParseUrl(std::u16string_view url) {
  std::u16string text = NormalizeBackslashes(url);
  Uri uri;
  const std::size_t scheme_end = text.find(u"://");
  if (scheme_end == npos) {
    SplitQueryAndFragment(text, uri);
    const std::size_t last_slash = text.rfind(u'/');
    if (last_slash != npos) {
      uri.Path = text.substr(0, last_slash + 1);
      uri.Document = text.substr(last_slash + 1);
    } else {
      uri.Document = text;
    }
    return uri;
  }
  uri.Protocol = text.substr(0, scheme_end);
  std::u16string rest = text.substr(scheme_end + 3);
  SplitQueryAndFragment(rest, uri);
  const std::size_t slash = rest.find(u'/');
  SplitAuthority(rest.substr(0, slash), uri);
  rest = slash == npos ? std::u16string() : rest.substr(slash + 1);
  const std::size_t last_slash = rest.rfind(u'/');
  if (last_slash != npos) {
    uri.Path = u"/" + rest.substr(0, last_slash + 1);
    uri.Document = rest.substr(last_slash + 1);
  } else {
    uri.Path = u"/";
    uri.Document = rest;
  }
  return uri;
}

std::u16string MergePath(std::u16string_view current_path, std::u16string_view url_path) {
  std::u16string joined(current_path);
  if (joined.empty() || joined.back() != u'/') joined.push_back(u'/');
  joined += url_path;
  std::u16string merged = CollapsePath(joined);
  const bool keep_trailing_slash = url_path.empty() || url_path.back() == u'/';
  if (!keep_trailing_slash && merged.size() > 1 && merged.back() == u'/') merged.pop_back();
  return merged;
}

void MergeIntoCurrent(Uri& current, const Uri& url) {
  if (!url.Username.empty()) {
    current.Username = url.Username;
    current.Password = url.Password;
  }
  if (!url.Path.empty() && url.Path.front() == u'/') {
    current.Path = url.Path;
  } else {
    current.Path = MergePath(current.Path, url.Path);
  }
  current.Document = url.Document;
  current.Params = url.Params;
  current.Bookmark = url.Bookmark;
  if (!url.Host.empty()) current.Host = url.Host;
  if (!url.Protocol.empty()) {
    current.Protocol = url.Protocol;
  } else {
    current.Protocol = IsHttpsScheme(current.Protocol) ? u"https" : u"http";
  }
  if (!url.Port.empty()) {
    current.Port = url.Port;
  } else if (EqualsIgnoreCase(url.Protocol, u"http")) {
    current.Port = u"80";
  } else if (EqualsIgnoreCase(url.Protocol, u"https")) {
    current.Port = u"443";
  } else if (current.Port.empty()) {
    throw Failure(ClientFailure::kUnknownProtocol);
  }
  current.IPVersion = url.IPVersion;
}

std::u16string RequestTarget(const Uri& uri) {
  std::u16string target = uri.Path + uri.Document;
  if (!uri.Params.empty()) target += u"?" + uri.Params;
  return target;
}

std::u16string HostValue(const Uri& uri) {
  std::u16string value = uri.Host;
  if (uri.IPVersion == IpVersion::kIPv6 && IsIpv6Address(uri.Host)) value = u"[" + value + u"]";
  const bool default_port = (EqualsIgnoreCase(uri.Protocol, u"http") && uri.Port == u"80") ||
                            (EqualsIgnoreCase(uri.Protocol, u"https") && uri.Port == u"443");
  if (!default_port) value += u":" + uri.Port;
  return value;
}

int RoutePort(const Uri& uri) {
  const std::int32_t port = ParseInt32OrMinus1(Trim(uri.Port));
  return port >= 0 && port <= 65535 ? port : 80;
}

bool IsHttpsScheme(std::u16string_view protocol) {
  return EqualsIgnoreCase(protocol, u"https");
}

bool IsIpv6Address(std::u16string_view host) {
  in6_addr address{};
  return inet_pton(AF_INET6, Utf16ToUtf8(host).c_str(), &address) == 1;
}

}  // namespace queue
