// Reading a response head.
#include "queueclient/response_head_reader.h"

#include "queueclient/failure.h"
#include "queueclient/text.h"

namespace queue {

void ReadResponseHead(BufferedReader& reader, ResponseRecord& record) {
  record.status_line = AsciiToUtf16(reader.ReadLine());
  record.ClearForHeaderBlock();
  std::string line = reader.ReadLine();  // a close here still fails: the head is incomplete
  std::size_t kept = 0;
  while (!line.empty()) {
    if (kept < kMaxHeaderLines) {
      record.headers.Append(AsciiToUtf16(line));
      ++kept;
    }
    try {
      line = reader.ReadLine();
    } catch (const Failure& failure) {
      if (failure.kind() != FailureKind::kConnectionClosed) throw;
      // The peer closed inside the block: what arrived is the whole block.
      reader.DiscardBuffered();
      break;
    }
  }
  InterpretHeaderBlock(record);
}

}  // namespace queue
