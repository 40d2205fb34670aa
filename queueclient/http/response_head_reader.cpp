// Reading a response head and the trailers.
#include "queueclient/http/response_head_reader.h"

#include "core/text.h"
#include "queueclient/failure.h"

namespace queue {
namespace {

// Counts one line, with its line end taken as CR LF, against the bound of head and trailers.
void CountHeadBytes(ResponseRecord& record, std::string_view line) {
  record.head_bytes += line.size() + 2;
  if (record.head_bytes > kMaxHeadBytes) {
    throw Failure(ClientFailure::kHeadTooLarge);
  }
}

// Reads lines up to the empty line, appending each to the header list; the first line is
// always required whole. With kEnd a close later on ends the block with what arrived.
void ReadHeaderLines(BufferedReader& reader, ResponseRecord& record, CloseMeans close) {
  for (bool first = true;; first = false) {
    const std::optional<std::string> line = reader.ReadLine(first ? CloseMeans::kFailure : close);
    if (!line) {
      reader.DiscardBuffered();  // the unfinished line is dropped
      return;
    }
    CountHeadBytes(record, *line);
    if (line->empty()) return;
    record.headers.Append(AsciiToUtf16(*line));
  }
}

}  // namespace

void ReadResponseHead(BufferedReader& reader, ResponseRecord& record) {
  const std::string status_line = reader.ReadLine();
  record.status_line = AsciiToUtf16(status_line);
  record.ClearForHeaderBlock();
  CountHeadBytes(record, status_line);
  // A close before the first header line still fails: the head is incomplete.
  ReadHeaderLines(reader, record, CloseMeans::kEnd);
  InterpretHeaderBlock(record);
}

void ReadTrailers(BufferedReader& reader, ResponseRecord& record, CloseMeans close) {
  ReadHeaderLines(reader, record, close);
}

}  // namespace queue
