// The in-memory ticket queue of the reference queue server.
#include "ticket_queue.h"

#include <cstdio>

namespace queue_server {

std::string TicketText(int number) {
  char text[16];
  std::snprintf(text, sizeof text, "A%03d", number);
  return text;
}

TicketQueue::TicketQueue(int waiting) {
  for (int i = 0; i < waiting; ++i) Issue();
}

std::string TicketQueue::Issue() {
  std::lock_guard lock(mutex_);
  waiting_.push_back(TicketText(++last_number_));
  return waiting_.back();
}

std::optional<std::string> TicketQueue::Next() {
  std::lock_guard lock(mutex_);
  if (waiting_.empty()) return std::nullopt;
  std::string front = std::move(waiting_.front());
  waiting_.pop_front();
  return front;
}

}  // namespace queue_server
