// The reference queue server's queue: tickets "A001", "A002", ... waiting in the order they
// were issued; each call of the next visitor takes the front one.
#pragma once

#include <deque>
#include <mutex>
#include <optional>
#include <string>

namespace queue_server {

class TicketQueue {
 public:
  // Starts with `waiting` tickets already issued.
  explicit TicketQueue(int waiting);

  // Issues the next ticket at the back of the queue and returns its text.
  std::string Issue();
  // Takes the front ticket; nothing when the queue is empty.
  std::optional<std::string> Next();

 private:
  std::mutex mutex_;
  std::deque<std::string> waiting_;
  int last_number_ = 0;
};

// "A" and the number with at least three digits: 1 gives "A001", 1234 gives "A1234".
std::string TicketText(int number);

}  // namespace queue_server
