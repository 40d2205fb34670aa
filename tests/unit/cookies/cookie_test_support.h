// What the cookie tests share: a request URI and a clock the test moves by hand.
#pragma once

#include <cstdint>
#include <string>

#include "queueclient/cookies/cookie_time.h"
#include "queueclient/http/uri.h"

namespace queue {

// The current URI of a request for "getQueue" in the directory `path`.
inline Uri RequestUri(std::u16string host = u"localhost", std::u16string path = u"/",
                      std::u16string protocol = u"http") {
  Uri uri;
  uri.Protocol = std::move(protocol);
  uri.Host = std::move(host);
  uri.Path = std::move(path);
  uri.Document = u"getQueue";
  return uri;
}

// "Now" is whatever the test says; local time is UTC. Counts how often it is read.
class ManualClock final : public CookieClock {
 public:
  DateTime Now() const override {
    ++readings_;
    return now_;
  }
  int UtcOffsetMinutes() const override {
    ++readings_;
    return 0;
  }
  void Advance(std::int64_t seconds) { now_ = AddSecondsClamped(now_, seconds); }
  int readings() const { return readings_; }

 private:
  DateTime now_ = MakeDateTime(2024, 5, 1, 12, 0, 0);
  mutable int readings_ = 0;
};

}  // namespace queue
