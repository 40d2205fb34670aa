// Response reading through an in-memory channel: parsing a response head, and a 1 MiB chunked
// body. No socket is involved, so the figures are the parser's own.
#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "queueclient/http/body_reader.h"
#include "queueclient/http/buffered_reader.h"
#include "queueclient/http/response_head_reader.h"
#include "queueclient/http_client.h"
#include "queueclient/socket/memory_channel.h"

namespace {

const std::string kHead =
    "HTTP/1.1 200 OK\r\n"
    "Date: Tue, 09 Dec 2026 15:00:00 GMT\r\n"
    "Server: queue-server\r\n"
    "Content-Type: text/plain; charset=utf-8\r\n"
    "Content-Length: 4\r\n"
    "Set-Cookie: session=abcdef0123456789; Path=/; HttpOnly\r\n"
    "Cache-Control: no-store\r\n"
    "Connection: keep-alive\r\n"
    "X-Folded: first part\r\n"
    "  second part\r\n"
    "\r\n";

void BM_ParseResponseHead(benchmark::State& state) {
  queue::MemoryChannel channel({kHead});
  queue::ResponseRecord record;
  for (auto _ : state) {
    channel.Rewind();
    queue::BufferedReader reader(channel);
    queue::ReadResponseHead(reader, record);
    benchmark::DoNotOptimize(record.content_length);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kHead.size()));
}
BENCHMARK(BM_ParseResponseHead);

// 1 MiB of body in chunks of `chunk_size` bytes, delivered in receives of 32 KiB.
std::vector<std::string> ChunkedMebibyte(std::size_t chunk_size) {
  constexpr std::size_t kBody = 1 << 20;
  std::string wire = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
  char size_line[32];
  for (std::size_t sent = 0; sent < kBody; sent += chunk_size) {
    std::snprintf(size_line, sizeof size_line, "%zx\r\n", chunk_size);
    wire += size_line;
    wire.append(chunk_size, 'q');
    wire += "\r\n";
  }
  wire += "0\r\n\r\n";
  std::vector<std::string> segments;
  for (std::size_t at = 0; at < wire.size(); at += queue::kReceiveSize) {
    segments.push_back(wire.substr(at, queue::kReceiveSize));
  }
  return segments;
}

void BM_ChunkedMebibyte(benchmark::State& state) {
  queue::MemoryChannel channel(ChunkedMebibyte(static_cast<std::size_t>(state.range(0))));
  queue::ResponseRecord record;
  for (auto _ : state) {
    channel.Rewind();
    queue::BufferedReader reader(channel);
    queue::ReadResponseHead(reader, record);
    std::string body;
    queue::ReadBody(reader, record, queue::kMaxBodyBytes, body);
    benchmark::DoNotOptimize(body.data());
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * (1 << 20));
}
BENCHMARK(BM_ChunkedMebibyte)->Arg(1024)->Arg(32768)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
