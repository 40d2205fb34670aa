// The status, body-presence and keep-alive rules.
#include "queueclient/http/status_rules.h"

#include "core/text.h"

namespace queue {
namespace {

int StatusClass(int status_code) {
  return status_code / 100;  // -1 falls in class 0
}

}  // namespace

StatusOutcome OutcomeOf(int status_code) {
  if (StatusClass(status_code) == 2) return StatusOutcome::kSuccess;
  if (status_code == 401) return StatusOutcome::kAuthorize;
  return StatusOutcome::kFail;
}

BodyPresence BodyPresenceOf(int status_code, const ResponseRecord& record) {
  if (!IsChunked(record) && record.has_length && record.content_length == 0)
    return BodyPresence::kNone;
  if ((status_code >= 100 && status_code <= 199) || status_code == 204 || status_code == 304) {
    return BodyPresence::kNone;
  }
  if (StatusClass(status_code) == 3) return BodyPresence::kReadIfPending;
  return BodyPresence::kRead;
}

bool HeadersAllowKeepAlive(const ResponseRecord& record) {
  return !EqualsIgnoreCase(Trim(record.connection), u"close") &&
         !EqualsIgnoreCase(Trim(record.proxy_connection), u"close");
}

}  // namespace queue
