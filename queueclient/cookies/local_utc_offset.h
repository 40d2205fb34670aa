// The current offset of local time from UTC, as the system's time zone gives it; each platform's
// in local_utc_offset_posix.cpp or local_utc_offset_win.cpp.
#pragma once

namespace queue {

// Minutes to add to UTC for local time now (east of Greenwich positive); 0 when unknown.
int LocalUtcOffsetMinutes();

}  // namespace queue
