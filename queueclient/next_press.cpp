// One press of the Next button, as far as the HTTP client goes.
#include "queueclient/next_press.h"

namespace queue {
namespace {

// The press's clean-up, which runs however the press ends.
class DisconnectAtEnd {
 public:
  explicit DisconnectAtEnd(HttpClient& client) : client_(client) {}
  DisconnectAtEnd(const DisconnectAtEnd&) = delete;
  DisconnectAtEnd& operator=(const DisconnectAtEnd&) = delete;
  ~DisconnectAtEnd() { client_.Disconnect(); }

 private:
  HttpClient& client_;
};

}  // namespace

void RunNextPress(HttpClient& client, std::u16string_view url,
                  const std::function<void(std::u16string answer)>& take_answer) {
  const DisconnectAtEnd clean_up(client);
  std::u16string answer = client.Get(url);
  client.Disconnect();
  take_answer(std::move(answer));
}

}  // namespace queue
