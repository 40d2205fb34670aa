// The cost of one https press: Get and Disconnect through the HTTP client against the
// in-process TLS peer on loopback, beside a bare library client that makes the same exchange in
// the same run. The client must make a fresh context with its own cipher list and versions for
// every connection, so the floor makes that same context afresh each time (the program's own
// NewClientContext): what is left between the two is the client's own cost (the target is at
// most 1.05 of its time, 1.02 of its instructions). For information: the bare client with the
// library's default context, and with the default trust bundle loaded eagerly on every
// connection. Run with --benchmark_enable_random_interleaving=true so that other load on the
// machine falls on both clients alike. "--count program|floor|floor-library-defaults N" counts
// one side's instructions or system calls instead (see instruction_count.h).
#include <benchmark/benchmark.h>
#include <openssl/ssl.h>

#include <cstdio>
#include <map>
#include <string>

#include "bench/instruction_count.h"
#include "bench/median_reporter.h"
#include "bench/raw_connect.h"
#include "queueclient/http_client.h"
#include "queueclient/tls/openssl/openssl_context.h"
#include "tests/support/tls_peer.h"
#include "tests/support/wire_helpers.h"

namespace {

using queue::testing::TlsPeer;

constexpr int kRepetitions = 15;

TlsPeer& Peer() {
  static TlsPeer peer([] {
    queue::testing::TlsPeerOptions options;
    options.answer = queue::testing::OkResponse("A-017");
    return options;
  }());
  return peer;
}

std::string RequestHead() {
  return queue::testing::ExpectedHead("/getQueue?operator=3",
                                      queue::testing::WithPort("127.0.0.1:{port}", Peer().port()));
}

std::u16string PressUrl() {
  return queue::testing::WithPort16(u"https://127.0.0.1:{port}/getQueue?operator=3", Peer().port());
}

void HttpClientPress(queue::HttpClient& client, const std::u16string& url) {
  benchmark::DoNotOptimize(client.Get(url));
  client.Disconnect();
}

void BM_HttpClientPress(benchmark::State& state) {
  const std::u16string url = PressUrl();
  queue::HttpClient client;
  for (auto _ : state) HttpClientPress(client, url);
}

// The same exchange with nothing but the library: connect, handshake, request, the whole
// answer, close notification, close. The context is made afresh for each exchange.
enum ContextKind { kLibraryDefaults = 0, kEagerTrust = 1, kProgramContext = 2 };

void RawExchange(const std::string& request, std::size_t answer_size, ContextKind kind) {
  const int socket = bench::RawConnectToLoopback(Peer().port());
  SSL_CTX* context = kind == kProgramContext ? queue::NewClientContext().release()
                                             : SSL_CTX_new(TLS_client_method());
  if (kind == kEagerTrust) SSL_CTX_set_default_verify_paths(context);
  SSL* session = SSL_new(context);
  SSL_set_fd(session, socket);
  SSL_set_tlsext_host_name(session, "127.0.0.1");
  if (SSL_connect(session) == 1 &&
      SSL_write(session, request.data(), static_cast<int>(request.size())) > 0) {
    char buffer[32768];
    std::size_t received = 0;
    int count;
    while (received < answer_size && (count = SSL_read(session, buffer, sizeof(buffer))) > 0) {
      received += static_cast<std::size_t>(count);
    }
    SSL_shutdown(session);
  }
  SSL_free(session);
  SSL_CTX_free(context);
  bench::RawClose(socket);
}

void BM_RawLibraryPress(benchmark::State& state) {
  const std::string request = RequestHead();
  const std::size_t answer_size = queue::testing::OkResponse("A-017").size();
  const auto kind = static_cast<ContextKind>(state.range(0));
  for (auto _ : state) RawExchange(request, answer_size, kind);
}

BENCHMARK(BM_HttpClientPress)->UseRealTime()->Repetitions(kRepetitions);
BENCHMARK(BM_RawLibraryPress)->Arg(0)->UseRealTime()->Repetitions(kRepetitions);
BENCHMARK(BM_RawLibraryPress)->Arg(1)->UseRealTime()->Repetitions(kRepetitions);
BENCHMARK(BM_RawLibraryPress)->Arg(2)->UseRealTime()->Repetitions(kRepetitions);

}  // namespace

int main(int argc, char** argv) {
  queue::HttpClient client;
  const std::u16string url = PressUrl();
  const std::string request = RequestHead();
  const std::size_t answer_size = queue::testing::OkResponse("A-017").size();
  int exit_code = 0;
  if (bench::RanInstructionCount(
          argc, argv,
          {{"program", [&] { HttpClientPress(client, url); }},
           {"floor", [&] { RawExchange(request, answer_size, kProgramContext); }},
           {"floor-library-defaults",
            [&] { RawExchange(request, answer_size, kLibraryDefaults); }}},
          &exit_code)) {
    return exit_code;
  }
  benchmark::Initialize(&argc, argv);
  bench::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& m = reporter.medians;
  if (m.count("BM_HttpClientPress") && m.count("BM_RawLibraryPress/2")) {
    std::printf(
        "median ratio, HTTP client / bare client with the program's context: %.3f "
        "(target <= 1.05)\n",
        m.at("BM_HttpClientPress") / m.at("BM_RawLibraryPress/2"));
  }
  if (m.count("BM_HttpClientPress") && m.count("BM_RawLibraryPress/0")) {
    std::printf("median ratio, HTTP client / bare client with the library's defaults: %.3f\n",
                m.at("BM_HttpClientPress") / m.at("BM_RawLibraryPress/0"));
  }
  if (m.count("BM_RawLibraryPress/1") && m.count("BM_RawLibraryPress/0")) {
    std::printf("median ratio, eager trust bundle / bare library client: %.3f\n",
                m.at("BM_RawLibraryPress/1") / m.at("BM_RawLibraryPress/0"));
  }
  benchmark::Shutdown();
  return 0;
}
