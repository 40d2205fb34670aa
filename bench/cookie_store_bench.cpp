// What the cookie store costs at its bounds: storing into a full store, and the Cookie value of a
// request when the store is full.
#include <benchmark/benchmark.h>

#include <string>

#include "core/text.h"
#include "queueclient/cookies/cookie_store.h"

namespace queue {
namespace {

Uri HostUri(std::size_t domain) {
  Uri uri;
  uri.Protocol = u"http";
  uri.Host = Widen("h" + std::to_string(domain) + ".test");
  uri.Path = u"/";
  return uri;
}

// Every domain at its bound, so the store holds kMaxCookiesInAll cookies.
void Fill(CookieStore& store) {
  for (std::size_t d = 0; d < kMaxCookiesInAll / kMaxCookiesPerDomain; ++d) {
    std::vector<std::u16string> values;
    for (std::size_t i = 0; i < kMaxCookiesPerDomain; ++i) {
      values.push_back(Widen("c" + std::to_string(i) + "=value; Max-Age=3600"));
    }
    store.AddServerCookies(values, HostUri(d));
  }
}

void BM_StoreIntoFullStore(benchmark::State& state) {
  CookieStore store;
  Fill(store);
  std::size_t n = 0;
  for (auto _ : state) {
    store.AddServerCookies({Widen("new" + std::to_string(n++ % 1000) + "=1")}, HostUri(7));
  }
}
BENCHMARK(BM_StoreIntoFullStore);

void BM_CookieValueFromFullStore(benchmark::State& state) {
  CookieStore store;
  Fill(store);
  const Uri uri = HostUri(7);
  for (auto _ : state) benchmark::DoNotOptimize(store.GenerateClientCookies(uri, false));
}
BENCHMARK(BM_CookieValueFromFullStore);

void BM_CookieValueOneCookie(benchmark::State& state) {
  CookieStore store;
  store.AddServerCookies({u"a=1"}, HostUri(0));
  const Uri uri = HostUri(0);
  for (auto _ : state) benchmark::DoNotOptimize(store.GenerateClientCookies(uri, false));
}
BENCHMARK(BM_CookieValueOneCookie);

}  // namespace
}  // namespace queue

BENCHMARK_MAIN();
