// The small truth tables of a response: what its status code means for the call, whether a body
// is read at all, and whether the connection may stay open afterwards.
#pragma once

#include "queueclient/http/response_record.h"

namespace queue {

enum class StatusOutcome {
  kSuccess,    // 200 to 299
  kAuthorize,  // 401: an authorization attempt decides
  kFail,       // everything else, redirects and 407 included: the HTTP status failure
};

// The outcome of the first final response (a status code other than 100). A 407 always fails:
// the client has no proxy credentials.
StatusOutcome OutcomeOf(int status_code);

enum class BodyPresence {
  kNone,           // no body is read; bytes the server sent anyway stay unread
  kRead,           // the body is read with its framing
  kReadIfPending,  // 3xx: read only when a byte is waiting or arrives within the redirect wait
};

// Whether the response's body is read: never for 100 to 199, 204 and 304, nor for a
// Content-Length of 0 without chunking; for other 3xx codes only if data is pending.
BodyPresence BodyPresenceOf(int status_code, const ResponseRecord& record);

// Whether the Connection and Proxy-Connection values leave the connection open: they do unless
// one of them, trimmed, is "close" (a list of tokens does not count).
bool HeadersAllowKeepAlive(const ResponseRecord& record);

}  // namespace queue
