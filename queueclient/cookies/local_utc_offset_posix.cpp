// The local time's offset from UTC on POSIX systems: the C library's time zone.
#include <ctime>

#include "queueclient/cookies/local_utc_offset.h"

namespace queue {

int LocalUtcOffsetMinutes() {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  if (localtime_r(&now, &local) == nullptr) return 0;
  return static_cast<int>(local.tm_gmtoff / 60);
}

}  // namespace queue
