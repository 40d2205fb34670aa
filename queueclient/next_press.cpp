// One press of the Next button, as far as the HTTP client goes.
#include "queueclient/next_press.h"

#include "core/scope_exit.h"

namespace queue {

void RunNextPress(HttpClient& client, std::u16string_view url,
                  const std::function<void(std::u16string answer)>& take_answer) {
  // The press's clean-up, which runs however the press ends.
  const ScopeExit clean_up([&client] { client.Disconnect(); });
  std::u16string answer = client.Get(url);
  client.Disconnect();
  take_answer(std::move(answer));
}

}  // namespace queue
