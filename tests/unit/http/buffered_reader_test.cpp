// The buffered reads and the response reading over an in-memory channel: the same bytes fed
// whole, split at every position and one byte at a time must give the same result.
#include "queueclient/http/buffered_reader.h"
#include "tests/support/row_names.h"

#include <gtest/gtest.h>

#include "core/text.h"
#include "queueclient/failure.h"
#include "queueclient/http/body_reader.h"
#include "queueclient/http/response_head_reader.h"
#include "queueclient/socket/memory_channel.h"

namespace queue {
namespace {

using Segments = std::vector<std::string>;

// Every way the tests cut one byte string into receives.
std::vector<Segments> Splittings(const std::string& bytes) {
  std::vector<Segments> all{{bytes}};
  for (std::size_t at = 1; at < bytes.size(); ++at) {
    all.push_back({bytes.substr(0, at), bytes.substr(at)});
  }
  Segments single_bytes;
  for (const char c : bytes) single_bytes.emplace_back(1, c);
  all.push_back(single_bytes);
  return all;
}

struct ReadResult {
  std::u16string status_line;
  std::vector<std::u16string> headers;
  std::string body;
};

ReadResult ReadResponse(Segments segments) {
  MemoryChannel channel(std::move(segments));
  BufferedReader reader(channel);
  ResponseRecord record;
  ReadResponseHead(reader, record);
  ReadResult result{record.status_line, record.headers.lines(), {}};
  ReadBody(reader, record, 1 << 20, result.body);
  result.headers = record.headers.lines();
  return result;
}

struct PiecewiseCase {
  const char* name;
  std::string response;
  std::string body;
  std::size_t header_lines;  // trailers included
};
QUEUE_PRINT_ROWS_BY(PiecewiseCase, name)

class PiecewiseReading : public ::testing::TestWithParam<PiecewiseCase> {};

TEST_P(PiecewiseReading, SameResultForEverySplitting) {
  const PiecewiseCase& c = GetParam();
  for (const auto& segments : Splittings(c.response)) {
    const ReadResult result = ReadResponse(segments);
    ASSERT_EQ(result.status_line, u"HTTP/1.1 200 OK") << segments.size() << " segments";
    ASSERT_EQ(result.body, c.body) << segments.size() << " segments, first " << segments[0].size();
    ASSERT_EQ(result.headers.size(), c.header_lines);
  }
}

const PiecewiseCase kPiecewiseCases[] = {
    {"Length", "HTTP/1.1 200 OK\r\nContent-Length: 4\r\n\r\nA015", "A015", 1},
    {"ChunkedWithTrailer",
     "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2;ext\r\nA0\r\n2\r\n15\r\n0\r\n"
     "X-Trailer: t\r\n\r\n",
     "A015", 2},
    // Bare LF line ends are lines too.
    {"ChunkedWithBareLf", "HTTP/1.1 200 OK\nTransfer-Encoding: chunked\n\n4\nA015\n0\n\n", "A015",
     1},
    // The delimiter may arrive split across receives.
    {"Multipart",
     "HTTP/1.1 200 OK\r\nContent-Type: multipart/mixed; boundary=bnd\r\n\r\n--bnd\r\nx\r\n"
     "--bnd--\r\nafter",
     "--bnd\r\nx\r\n--bnd--", 1},
    {"ToClose", "HTTP/1.1 200 OK\r\nX-A: 1\r\n\r\nA015", "A015", 1},
};

INSTANTIATE_TEST_SUITE_P(Framings, PiecewiseReading, ::testing::ValuesIn(kPiecewiseCases),
                         [](const auto& info) { return std::string(info.param.name); });

std::string ReadOneLine(const std::string& bytes,
                        MemoryChannel::End end = MemoryChannel::End::kClose) {
  MemoryChannel channel({bytes}, end);
  BufferedReader reader(channel);
  return reader.ReadLine();
}

FailureKind LineFailure(const std::string& bytes,
                        MemoryChannel::End end = MemoryChannel::End::kClose) {
  try {
    ReadOneLine(bytes, end);
  } catch (const Failure& failure) {
    return failure.kind();
  }
  return CoreFailure::kGeneric;
}

TEST(ReadLineTest, DropsOneCrBeforeLf) {
  EXPECT_EQ(ReadOneLine("abc\r\n"), "abc");
  EXPECT_EQ(ReadOneLine("abc\r\r\n"), "abc\r");
  EXPECT_EQ(ReadOneLine("a\rb\n"), "a\rb");
  EXPECT_EQ(ReadOneLine("\n"), "");
}

TEST(ReadLineTest, LengthBoundCountsBytesBeforeLf) {
  EXPECT_EQ(ReadOneLine(std::string(16384, 'a') + "\n").size(), 16384u);
  EXPECT_EQ(ReadOneLine(std::string(16383, 'a') + "\r\n").size(), 16383u);
  EXPECT_EQ(LineFailure(std::string(16385, 'a') + "\n"), ClientFailure::kLineTooLong);
  EXPECT_EQ(LineFailure(std::string(16384, 'a') + "\r\n"), ClientFailure::kLineTooLong);
  // Refused without waiting for the LF of an endless line.
  EXPECT_EQ(LineFailure(std::string(16385, 'a'), MemoryChannel::End::kTimeout),
            ClientFailure::kLineTooLong);
}

TEST(ReadLineTest, EndsOfTheConnection) {
  EXPECT_EQ(LineFailure("partial"), ClientFailure::kConnectionClosed);
  EXPECT_EQ(LineFailure(""), ClientFailure::kConnectionClosed);
  // A reset with bytes waiting is a close; with nothing waiting it is the socket failure.
  EXPECT_EQ(LineFailure("partial", MemoryChannel::End::kReset), ClientFailure::kConnectionClosed);
  EXPECT_EQ(LineFailure("", MemoryChannel::End::kReset), ClientFailure::kSocket);
  EXPECT_EQ(LineFailure("partial", MemoryChannel::End::kTimeout), ClientFailure::kReadTimeout);
}

TEST(BufferedReaderTest, PendingDataAndPeerClose) {
  MemoryChannel channel({"x"}, MemoryChannel::End::kTimeout);
  BufferedReader reader(channel);
  EXPECT_TRUE(reader.HasPendingData(0));
  EXPECT_FALSE(reader.PeerHasClosed());  // the byte stays buffered
  EXPECT_EQ(reader.Buffered(), "x");
  reader.Consume(1);
  EXPECT_FALSE(reader.HasPendingData(0));

  MemoryChannel closing({}, MemoryChannel::End::kClose);
  BufferedReader closed_reader(closing);
  EXPECT_TRUE(closed_reader.PeerHasClosed());
  EXPECT_FALSE(closed_reader.HasPendingData(0));
}

struct ChunkSizeCase {
  const char* line;
  std::uint64_t size;
};
QUEUE_PRINT_ROWS_BY(ChunkSizeCase, line)

const ChunkSizeCase kChunkSizeCases[] = {
    {"4", 4},
    {"1a;ext=1", 26},
    {" FF ", 255},
    {"0x10", 0},
    {"-1", 0},
    {"", 0},
    {"g", 0},
    {"7fffffff", 0x7fffffff},
    {"80000000", 0x80000000},
    {"ffffffffffffffffffff", UINT64_MAX}};  // saturated, then bounded by the body limit

class ParseChunkSizeTest : public ::testing::TestWithParam<ChunkSizeCase> {};

TEST_P(ParseChunkSizeTest, HexDigitsOnly) {
  EXPECT_EQ(ParseChunkSize(GetParam().line), GetParam().size) << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(Lines, ParseChunkSizeTest, ::testing::ValuesIn(kChunkSizeCases),
                         [](const auto& info) {
                           return ::test_rows::RowNameFromText(info.param.line, info.index);
                         });

}  // namespace
}  // namespace queue
