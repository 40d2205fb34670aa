// The cookie store. For now it keeps nothing; the client's call sites are real.
#include "queueclient/cookie_store.h"

namespace queue {

CookieStore::CookieStore() = default;
CookieStore::~CookieStore() = default;

void CookieStore::AddServerCookies(const std::vector<std::u16string>&, const Uri&) {}

std::u16string CookieStore::GenerateClientCookies(const Uri&, bool) {
  return {};
}

}  // namespace queue
