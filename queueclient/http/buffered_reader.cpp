// The buffered reads over a channel.
#include "queueclient/http/buffered_reader.h"

#include <algorithm>
#include <cstring>

#include "queueclient/failure.h"
#include "queueclient/socket/socket_error_numbers.h"

namespace queue {
namespace {

bool IsResetLike(const SocketFailure& failure) {
  const int number = failure.error_number();
  return number == wsa::kConnectionAborted || number == wsa::kConnectionReset ||
         number == wsa::kShutDown;
}

}  // namespace

std::string BufferedReader::ReadLine() {
  std::optional<std::string> line = ReadLineOrEnd();
  if (!line) throw Failure(ClientFailure::kConnectionClosed);
  return std::move(*line);
}

std::optional<std::string> BufferedReader::ReadLine(CloseMeans close) {
  if (close == CloseMeans::kFailure) return ReadLine();
  return ReadLineOrEnd();
}

std::optional<std::string> BufferedReader::ReadLineOrEnd() {
  std::size_t searched = 0;
  for (;;) {
    const std::string_view pending = Buffered();
    const std::size_t lf = pending.find('\n', searched);
    if (lf != std::string_view::npos) {
      if (lf > kMaxLineLength) throw Failure(ClientFailure::kLineTooLong);
      std::size_t end = lf;
      if (end > 0 && pending[end - 1] == '\r') --end;
      std::string line(pending.substr(0, end));
      Consume(lf + 1);
      return line;
    }
    if (pending.size() > kMaxLineLength) {
      throw Failure(ClientFailure::kLineTooLong);
    }
    searched = pending.size();
    if (!Fill()) return std::nullopt;
  }
}

void BufferedReader::Consume(std::size_t count) {
  start_ += std::min(count, end_ - start_);
  if (start_ == end_) start_ = end_ = 0;
}

bool BufferedReader::Fill(bool reset_is_close) {
  if (peer_closed_) return false;
  // Move the unconsumed bytes to the front so the buffer does not grow with consumed ones.
  if (start_ > 0) {
    std::memmove(buffer_.get(), buffer_.get() + start_, end_ - start_);
    end_ -= start_;
    start_ = 0;
  }
  // The storage only ever grows, and only by what a line may still need.
  if (capacity_ < end_ + kReceiveSize) {
    auto grown = std::make_unique_for_overwrite<char[]>(end_ + kReceiveSize);
    if (end_ > 0) std::memcpy(grown.get(), buffer_.get(), end_);
    buffer_ = std::move(grown);
    capacity_ = end_ + kReceiveSize;
  }
  const bool bytes_waiting = end_ > 0;
  std::size_t received = 0;
  try {
    received = channel_.Receive(buffer_.get() + end_, kReceiveSize);
  } catch (const SocketFailure& failure) {
    if (!IsResetLike(failure) || (!reset_is_close && !bytes_waiting)) throw;
    peer_closed_ = true;
    return false;
  }
  end_ += received;
  if (received == 0) {
    peer_closed_ = true;
    return false;
  }
  return true;
}

bool BufferedReader::HasPendingData(int timeout_ms) {
  if (!Buffered().empty()) return true;
  if (peer_closed_ || !channel_.WaitReadable(timeout_ms)) return false;
  return Fill(/*reset_is_close=*/true);
}

bool BufferedReader::PeerHasClosed() {
  if (peer_closed_) return true;
  if (channel_.WaitReadable(0)) Fill(/*reset_is_close=*/true);
  return peer_closed_;
}

void BufferedReader::DiscardBuffered() {
  start_ = end_ = 0;
}

}  // namespace queue
