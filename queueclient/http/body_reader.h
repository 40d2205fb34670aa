// Reading a response body with the framing its headers announce: chunked (with trailers), by
// length, multipart up to the closing delimiter, or to the peer's close. Every framing stops a
// body that grows past the client's memory bound.
#pragma once

#include <cstddef>
#include <string>

#include "queueclient/http/buffered_reader.h"
#include "queueclient/http/response_record.h"

namespace queue {

enum class Framing {
  kChunked,    // the transfer encoding contains "chunked": a Content-Length is ignored
  kLength,     // a Content-Length of 0 or more
  kMultipart,  // a media type of type "multipart": up to the boundary's closing delimiter
  kToClose,    // everything until the peer closes
};

Framing FramingOf(const ResponseRecord& record);

// Reads one body into `body` (appending). Chunked: trailer lines are appended to
// record.headers within the head's bounds (ReadTrailers); a close anywhere inside throws the
// connection-closed failure, or with `close_in_chunked` kEnd ends the body with what arrived
// (a failure's body). By length, multipart and to close: a close ends the body with what
// arrived (to close: a reset or abort too). Throws the body-too-large failure once `body`
// would exceed `max_body_bytes`.
void ReadBody(BufferedReader& reader, ResponseRecord& record, std::size_t max_body_bytes,
              std::string& body, CloseMeans close_in_chunked = CloseMeans::kFailure);

// The size on a chunk-size line: text before ";", trimmed, as hexadecimal digits; 0 for
// anything else (which ends the chunks). Sizes too large for 64 bits are saturated.
std::uint64_t ParseChunkSize(std::string_view line);

}  // namespace queue
