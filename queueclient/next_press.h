// What one press of the operator window's Next button asks of the HTTP client, written once:
// the window and qget both run it, so qget can never report behaviour the window no longer has.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "queueclient/http_client.h"

namespace queue {

// Get(url), Disconnect(), then `take_answer` with the answer; and Disconnect() once more on the
// way out, after the answer was taken or after a failure of any of these steps, which then goes
// on to the caller.
void RunNextPress(HttpClient& client, std::u16string_view url,
                  const std::function<void(std::u16string answer)>& take_answer);

}  // namespace queue
