// Reading one response head (status line and header block) from the connection into the
// client's response record, and the header lines of a chunked body's trailers, which share the
// head's bounds.
#pragma once

#include <cstddef>

#include "queueclient/http/buffered_reader.h"
#include "queueclient/http/response_record.h"

namespace queue {

// Bytes of one response's status line, header lines and trailer lines together, line ends
// included. A queue server's head is a few hundred bytes and browsers refuse heads far smaller
// than this, so no real server comes near it; a server that sends lines without end (which the
// header list would only drop past kMaxHeaderLines) fails within a fraction of a second instead
// of keeping the press reading until its time bound.
inline constexpr std::size_t kMaxHeadBytes = 1024 * 1024;

// Reads the status line, empties the rest of `record`, reads header lines up to the empty line
// and interprets the block. A close before the status line and the first header line are
// complete throws the connection-closed failure; a close after that ends the block with the
// lines read so far and drops the unfinished line. Past kMaxHeadBytes throws the head-too-large
// failure ("Max header size exceeded."): every line may be within its own bound, so the
// line-too-long failure would mislead. Line-too-long, time-out and socket failures pass through.
void ReadResponseHead(BufferedReader& reader, ResponseRecord& record);

// Reads the trailer lines after a chunked body's last chunk, up to the empty line, appending
// them to record.headers (which keeps at most kMaxHeaderLines) without interpreting them. They
// count against kMaxHeadBytes together with the head. A close before the empty line throws the
// connection-closed failure, or with kEnd ends them.
void ReadTrailers(BufferedReader& reader, ResponseRecord& record, CloseMeans close);

}  // namespace queue
