// Waits made of socket time-outs.
#include "queueclient/socket/socket_wait.h"

#include <algorithm>

#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"

namespace queue {
namespace {

// The time left that is waited for in one call: a time-out this short lands in the wheel's
// slots of a few ticks, so it ends within a few milliseconds of its bound.
constexpr int kLastSliceMs = 1000;
// Earlier slices are rounded down to this, so that the repeated calls of one wait and the
// receives that follow each other within it ask for the same time-out and set it once.
constexpr int kSliceStepMs = 100;

}  // namespace

int MillisecondsLeft(WaitClock::time_point end) {
  const auto left = std::chrono::ceil<std::chrono::milliseconds>(end - WaitClock::now()).count();
  return static_cast<int>(std::clamp<long long>(left, 0, 0x7FFFFFFF));
}

int SlicedWait::NextTimeoutMs() {
  const int left = MillisecondsLeft(end_);
  final_slice_ = SocketTimeoutsAreExact() || left <= kLastSliceMs;
  if (final_slice_) return left;
  return std::max(kLastSliceMs, left / 4 * 3 / kSliceStepMs * kSliceStepMs);
}

WaitClock::time_point ReceiveBounds::EndOfReceive() const {
  const WaitClock::time_point end = WaitClock::now() + std::chrono::milliseconds(per_receive_ms);
  return deadline ? std::min(end, *deadline) : end;
}

int SocketTimeout::Set(const Socket& socket, int timeout_ms) {
  if (timeout_ms == current_ms_) return 0;
  const int option = option_ == Option::kReceive ? SO_RCVTIMEO : SO_SNDTIMEO;
  if (!SetSocketTimeout(socket.handle(), option, timeout_ms)) return LastSocketError();
  current_ms_ = timeout_ms;
  return 0;
}

}  // namespace queue
