// The response record the client keeps for its whole life: the status line, the header list
// and what the interpretation of a header block takes from it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "queueclient/http/header_list.h"

namespace queue {

// What the meta scan of an HTML body found: header lines and a character set.
struct MetaRecord {
  HeaderList headers;
  std::u16string charset;
};

struct ResponseRecord {
  std::u16string status_line;
  HeaderList headers;
  std::u16string content_type;  // Content-Type without its charset parameter
  std::u16string charset;       // empty when none is known
  std::int64_t content_length = -1;
  bool has_length = false;
  std::u16string transfer_encoding;
  std::u16string content_encoding;
  std::u16string connection;
  std::u16string proxy_connection;
  std::u16string location;
  std::vector<std::u16string> challenges;
  std::vector<std::u16string> proxy_challenges;
  bool keep_alive = false;
  std::size_t head_bytes = 0;  // bytes of the head and trailers read so far
  MetaRecord meta;

  // Empties everything but the status line (the start of every header block).
  void ClearForHeaderBlock();
};

// The status code of a status line ("HTTP/1.1 404.3 Not Found" gives 404; "A015" gives -1).
std::int32_t StatusCodeOf(std::u16string_view status_line);

// Sets content type, character set, content length, the codings, connection values, location
// and the challenge lists from record.headers (the first line of each name counts).
void InterpretHeaderBlock(ResponseRecord& record);

// Whether the transfer encoding, lower-cased, contains "chunked" anywhere.
bool IsChunked(const ResponseRecord& record);

// Whether the media type of a content type value matches a pattern: "text/html" must equal the
// part before ";" (trimmed, ignoring case); a pattern without "/" ("text") matches its type.
bool MediaTypeIs(std::u16string_view content_type, std::u16string_view pattern);

}  // namespace queue
