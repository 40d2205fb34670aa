// The cost of one plain press: Get and Disconnect through the HTTP client against a loopback
// server, beside a raw-socket client that makes the same exchange and closes the same way
// (shutdown for sending, then close), in the same run. Prints the ratio of the medians (the
// target is at most 1.10). The raw socket parses nothing, so the client's own work is set beside
// libcurl's easy interface making the same GET with a fresh handle each time, as the client
// makes a fresh connection: its instructions by count, its time for information. Run with
// --benchmark_enable_random_interleaving=true so that other load on the machine falls on every
// client alike. "--count program|floor|libcurl N" counts one side's instructions or system calls
// instead (see instruction_count.h).
#include <arpa/inet.h>
#include <benchmark/benchmark.h>
#include <curl/curl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <thread>

#include "bench/instruction_count.h"
#include "bench/median_reporter.h"
#include "bench/raw_connect.h"
#include "queueclient/http_client.h"
#include "tests/support/wire_helpers.h"

namespace {

constexpr int kRepetitions = 15;
// Every press leaves a local port in TIME_WAIT for a minute, so a time-driven iteration count
// could run out of local ports; a fixed count keeps every run alike.
constexpr int kPressesPerRepetition = 200;
const std::string kAnswer = queue::testing::OkResponse("A-017");

// A queue server that answers every connection in turn: reads the head, sends the answer,
// waits for the client's close and closes too.
class LoopbackServer {
 public:
  LoopbackServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
      std::perror("exchange_bench: listen");
      std::exit(1);
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { Serve(); });
  }
  ~LoopbackServer() {
    stopping_ = true;
    ::shutdown(listener_, SHUT_RDWR);
    thread_.join();
    ::close(listener_);
  }
  int port() const { return port_; }

 private:
  void Serve() {
    while (!stopping_) {
      const int connection = ::accept(listener_, nullptr, nullptr);
      if (connection < 0) return;
      std::string head;
      char buffer[4096];
      ssize_t count = 0;
      while (head.find("\r\n\r\n") == std::string::npos &&
             (count = ::recv(connection, buffer, sizeof buffer, 0)) > 0) {
        head.append(buffer, static_cast<std::size_t>(count));
      }
      ::send(connection, kAnswer.data(), kAnswer.size(), MSG_NOSIGNAL);
      while (::recv(connection, buffer, sizeof buffer, 0) > 0) {
      }
      ::close(connection);
    }
  }

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::thread thread_;
};

LoopbackServer& Server() {
  static LoopbackServer server;
  return server;
}

std::u16string PressUrl() {
  return queue::testing::WithPort16(u"http://127.0.0.1:{port}/getQueue?operator=3",
                                    Server().port());
}

void HttpClientPress(queue::HttpClient& client, const std::u16string& url) {
  benchmark::DoNotOptimize(client.Get(url));
  client.Disconnect();
}

std::string RawRequest() {
  return queue::testing::ExpectedHead(
      "/getQueue?operator=3", queue::testing::WithPort("127.0.0.1:{port}", Server().port()));
}

// Connect, send the same head, read the whole answer, shut down sending, close.
void RawSocketPress(const std::string& request) {
  const int socket = bench::RawConnectToLoopback(Server().port());
  ::send(socket, request.data(), request.size(), MSG_NOSIGNAL);
  char buffer[32768];
  std::size_t received = 0;
  ssize_t count;
  while (received < kAnswer.size() && (count = ::recv(socket, buffer, sizeof buffer, 0)) > 0) {
    received += static_cast<std::size_t>(count);
  }
  bench::RawClose(socket);
}

// libcurl's easy interface, set up as the client is: the same head (Host from the URL, the other
// header lines of the client's head in place of libcurl's own), the body taken and dropped.
class LibcurlGet {
 public:
  LibcurlGet() {
    url_ = queue::testing::WithPort("http://127.0.0.1:{port}/getQueue?operator=3", Server().port());
    // The head's lines after the request line and Host, up to the empty line.
    const std::string head = RawRequest();
    std::size_t line = head.find("\r\n", head.find("\r\nHost: ") + 2) + 2;
    for (std::size_t end; (end = head.find("\r\n", line)) != std::string::npos && end != line;
         line = end + 2) {
      headers_.reset(curl_slist_append(headers_.release(), head.substr(line, end - line).c_str()));
    }
  }

  void operator()() const {
    CURL* handle = curl_easy_init();
    long status = 0;
    if (handle == nullptr || curl_easy_setopt(handle, CURLOPT_URL, url_.c_str()) != CURLE_OK ||
        curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers_.get()) != CURLE_OK ||
        curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, DropBody) != CURLE_OK ||
        curl_easy_perform(handle) != CURLE_OK ||
        curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status) != CURLE_OK || status != 200) {
      std::fprintf(stderr, "exchange_bench: the libcurl GET failed (status %ld)\n", status);
      std::exit(1);
    }
    curl_easy_cleanup(handle);
  }

 private:
  static std::size_t DropBody(char*, std::size_t size, std::size_t count, void*) {
    return size * count;
  }
  struct SlistFree {
    void operator()(curl_slist* list) const { curl_slist_free_all(list); }
  };

  std::string url_;
  std::unique_ptr<curl_slist, SlistFree> headers_;
};

void BM_HttpClientPress(benchmark::State& state) {
  const std::u16string url = PressUrl();
  queue::HttpClient client;
  for (auto _ : state) HttpClientPress(client, url);
}

void BM_RawSocketPress(benchmark::State& state) {
  const std::string request = RawRequest();
  for (auto _ : state) RawSocketPress(request);
}

void BM_LibcurlPress(benchmark::State& state) {
  const LibcurlGet get;
  for (auto _ : state) get();
}

BENCHMARK(BM_HttpClientPress)
    ->UseRealTime()
    ->Iterations(kPressesPerRepetition)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_RawSocketPress)
    ->UseRealTime()
    ->Iterations(kPressesPerRepetition)
    ->Repetitions(kRepetitions);
BENCHMARK(BM_LibcurlPress)
    ->UseRealTime()
    ->Iterations(kPressesPerRepetition)
    ->Repetitions(kRepetitions);

}  // namespace

int main(int argc, char** argv) {
  if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
    std::fprintf(stderr, "exchange_bench: libcurl did not start\n");
    return 1;
  }
  queue::HttpClient client;
  const std::u16string url = PressUrl();
  const std::string request = RawRequest();
  const LibcurlGet libcurl_get;
  int exit_code = 0;
  if (bench::RanInstructionCount(argc, argv,
                                 {{"program", [&] { HttpClientPress(client, url); }},
                                  {"floor", [&] { RawSocketPress(request); }},
                                  {"libcurl", [&] { libcurl_get(); }}},
                                 &exit_code)) {
    return exit_code;
  }
  benchmark::Initialize(&argc, argv);
  bench::MedianReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  const auto& m = reporter.medians;
  if (m.count("BM_HttpClientPress") && m.count("BM_RawSocketPress")) {
    std::printf("median ratio, HTTP client / raw socket client: %.3f (target <= 1.10)\n",
                m.at("BM_HttpClientPress") / m.at("BM_RawSocketPress"));
  }
  if (m.count("BM_HttpClientPress") && m.count("BM_LibcurlPress")) {
    std::printf("median ratio, HTTP client / libcurl easy interface: %.3f\n",
                m.at("BM_HttpClientPress") / m.at("BM_LibcurlPress"));
  }
  benchmark::Shutdown();
  return 0;
}
