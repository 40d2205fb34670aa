// Reading one response head (status line and header block) from the connection into the
// client's response record.
#pragma once

#include <cstddef>

#include "queueclient/buffered_reader.h"
#include "queueclient/response_record.h"

namespace queue {

// Header lines kept per block; later lines of a longer block are read and dropped, so a hostile
// server cannot grow the list without bound while the body framing stays intact.
inline constexpr std::size_t kMaxHeaderLines = 255;

// Reads the status line, empties the rest of `record`, reads header lines up to the empty line
// and interprets the block. A close before the status line and the first header line are
// complete throws the connection-closed failure; a close after that ends the block with the
// lines read so far and drops the unfinished line. Line-too-long, time-out and socket failures
// pass through.
void ReadResponseHead(BufferedReader& reader, ResponseRecord& record);

}  // namespace queue
