// The local time's offset from UTC on Windows: the system's time zone with its daylight bias.
#include <windows.h>

#include "queueclient/cookies/local_utc_offset.h"

namespace queue {

int LocalUtcOffsetMinutes() {
  TIME_ZONE_INFORMATION zone{};
  const DWORD which = GetTimeZoneInformation(&zone);
  LONG bias = zone.Bias;
  if (which == TIME_ZONE_ID_DAYLIGHT) bias += zone.DaylightBias;
  if (which == TIME_ZONE_ID_STANDARD) bias += zone.StandardBias;
  return -static_cast<int>(bias);
}

}  // namespace queue
