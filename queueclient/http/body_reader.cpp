// The body framings.
#include "queueclient/http/body_reader.h"

#include <algorithm>
#include <limits>

#include "core/text.h"
#include "queueclient/charset/content_type.h"
#include "queueclient/failure.h"
#include "queueclient/http/response_head_reader.h"

namespace queue {
namespace {

// Appends to the body and enforces the memory bound.
class BodySink {
 public:
  BodySink(std::string& body, std::size_t max_bytes) : body_(body), max_bytes_(max_bytes) {}

  void Append(std::string_view bytes) {
    CheckRoomFor(bytes.size());
    body_ += bytes;
  }

  // Fails when `count` more bytes would take the body past the bound.
  void CheckRoomFor(std::size_t count) const {
    if (count > max_bytes_ - std::min(max_bytes_, body_.size())) {
      throw Failure(ClientFailure::kBodyTooLarge);
    }
  }

 private:
  std::string& body_;
  std::size_t max_bytes_;
};

// Moves up to `wanted` bytes from the reader into the sink; returns false when the peer closed
// before they all arrived.
bool CopyExactly(BufferedReader& reader, std::uint64_t wanted, BodySink& sink) {
  while (wanted > 0) {
    if (reader.Buffered().empty() && !reader.Fill()) return false;
    const std::string_view piece = reader.Buffered().substr(
        0, static_cast<std::size_t>(std::min<std::uint64_t>(wanted, reader.Buffered().size())));
    sink.Append(piece);
    wanted -= piece.size();
    reader.Consume(piece.size());
  }
  return true;
}

[[noreturn]] void ThrowClosed() {
  throw Failure(ClientFailure::kConnectionClosed);
}

void ReadChunked(BufferedReader& reader, ResponseRecord& record, BodySink& sink, CloseMeans close) {
  for (;;) {
    const std::optional<std::string> size_line = reader.ReadLine(close);
    if (!size_line) return;
    const std::uint64_t size = ParseChunkSize(*size_line);
    if (size == 0) break;
    if (!CopyExactly(reader, size, sink)) {
      if (close == CloseMeans::kEnd) return;
      ThrowClosed();
    }
    if (!reader.ReadLine(close)) return;  // the line end after the chunk data
  }
  ReadTrailers(reader, record, close);
}

void ReadMultipart(BufferedReader& reader, const ResponseRecord& record, BodySink& sink) {
  const std::string delimiter =
      "--" + Utf16ToUtf8(ContentTypeParameter(record.content_type, u"boundary")) + "--";
  // Bytes that may hold the start of a delimiter split across receives stay buffered.
  const std::size_t keep = delimiter.size() - 1;
  for (;;) {
    const std::string_view pending = reader.Buffered();
    const std::size_t found = pending.find(delimiter);
    if (found != std::string_view::npos) {
      sink.Append(pending.substr(0, found + delimiter.size()));
      reader.Consume(found + delimiter.size());
      reader.ReadLineOrEnd();  // the line end after the delimiter; a close there ends it too
      return;
    }
    if (pending.size() > keep) {
      sink.Append(pending.substr(0, pending.size() - keep));
      reader.Consume(pending.size() - keep);
    }
    // The held-back bytes belong to the body whatever comes next.
    sink.CheckRoomFor(reader.Buffered().size());
    if (!reader.Fill()) {
      sink.Append(reader.Buffered());
      reader.Consume(reader.Buffered().size());
      return;
    }
  }
}

void ReadToClose(BufferedReader& reader, BodySink& sink) {
  do {
    sink.Append(reader.Buffered());
    reader.Consume(reader.Buffered().size());
  } while (reader.Fill(/*reset_is_close=*/true));
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

Framing FramingOf(const ResponseRecord& record) {
  if (IsChunked(record)) return Framing::kChunked;
  if (record.has_length) return Framing::kLength;
  if (MediaTypeIs(record.content_type, u"multipart")) return Framing::kMultipart;
  return Framing::kToClose;
}

void ReadBody(BufferedReader& reader, ResponseRecord& record, std::size_t max_body_bytes,
              std::string& body, CloseMeans close_in_chunked) {
  BodySink sink(body, max_body_bytes);
  switch (FramingOf(record)) {
    case Framing::kChunked:
      ReadChunked(reader, record, sink, close_in_chunked);
      return;
    case Framing::kLength:
      CopyExactly(reader, static_cast<std::uint64_t>(record.content_length), sink);
      return;
    case Framing::kMultipart:
      ReadMultipart(reader, record, sink);
      return;
    case Framing::kToClose:
      ReadToClose(reader, sink);
      return;
  }
}

std::uint64_t ParseChunkSize(std::string_view line) {
  line = line.substr(0, line.find(';'));
  while (!line.empty() && static_cast<unsigned char>(line.front()) <= 0x20) line.remove_prefix(1);
  while (!line.empty() && static_cast<unsigned char>(line.back()) <= 0x20) line.remove_suffix(1);
  if (line.empty()) return 0;
  std::uint64_t size = 0;
  for (const char c : line) {
    const int digit = HexDigit(c);
    if (digit < 0) return 0;
    size = size > (std::numeric_limits<std::uint64_t>::max() >> 4)
               ? std::numeric_limits<std::uint64_t>::max()
               : (size << 4) | static_cast<std::uint64_t>(digit);
  }
  return size;
}

}  // namespace queue
