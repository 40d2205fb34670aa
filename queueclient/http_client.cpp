// One Get call from the URL to the decoded answer: merge into the current URI, connect or reuse,
// send the head, read heads while they are interim, apply the status rules, read the body,
// decide keep-alive.
#include "queueclient/http_client.h"

#include <algorithm>
#include <optional>

#include "core/text.h"
#include "queueclient/charset/charset.h"
#include "queueclient/client_connection.h"
#include "queueclient/cookies/cookie_store.h"
#include "queueclient/failure.h"
#include "queueclient/http/body_reader.h"
#include "queueclient/http/http_auth.h"
#include "queueclient/http/request_head.h"
#include "queueclient/http/response_head_reader.h"
#include "queueclient/http/response_record.h"
#include "queueclient/http/status_rules.h"
#include "queueclient/http/uri.h"
#include "queueclient/socket/socket_wait.h"

namespace queue {
namespace {

// A server that answers "100 Continue" without end would keep the call reading for ever; past
// this many, a 100 counts as the final response and fails like any other 1xx.
constexpr int kMaxInterimHeads = 100;

}  // namespace

class HttpClient::Impl {
 public:
  explicit Impl(ClientLimits limits) : limits_(limits) {}

  std::u16string Get(std::u16string_view url) {
    int auth_attempts = 0;
    MergeIntoCurrent(current_, ParseUrl(url));
    try {
      PrepareConnection();
      keep_alive_ = false;
      SendHead();
      int interim_heads = 0;
      do {
        ReadResponseHead(connection_->reader(), response_);
        HandOverCookies();
      } while (StatusCodeOf(response_.status_line) == 100 && ++interim_heads < kMaxInterimHeads);
      std::u16string answer = Settle(auth_attempts);
      EndCall();
      return answer;
    } catch (...) {
      EndCall();
      throw;
    }
  }

  void Disconnect() noexcept { connection_.reset(); }

 private:
  // Keeps an open connection only when it goes where the request goes, the previous response
  // allowed it to stay open and the peer has not closed it since; otherwise a new one is opened.
  // The peer-closed test is made here, when a connection is to be reused, not after every
  // response. Bytes that arrived before this request are left from the previous exchange.
  void PrepareConnection() {
    if (connection_ &&
        (!SameRoute(connection_->route(), RouteOf(current_)) || !keep_alive_ || PeerHasClosed())) {
      connection_.reset();
    }
    if (connection_) connection_->reader().DiscardBuffered();
    if (!connection_) connection_ = OpenConnection(current_, limits_);
  }

  // An error on this test makes the connection as useless as a close does; a fresh connect
  // then reports any real problem.
  bool PeerHasClosed() {
    try {
      return connection_->reader().PeerHasClosed();
    } catch (const Failure&) {
      return true;
    }
  }

  void SendHead() {
    RequestHeadFields fields;
    fields.target = RequestTarget(current_);
    fields.host = HostValue(current_);
    // Only a request that holds a user name authorizes; empty credentials are never sent.
    if (auth_ && !current_.Username.empty()) {
      fields.authorization = auth_->AuthorizationValue(current_.Username, current_.Password);
    }
    if (cookies_) {
      fields.cookie = cookies_->GenerateClientCookies(current_, IsHttpsScheme(current_.Protocol));
    }
    press_deadline_ = WaitClock::now() + std::chrono::milliseconds(limits_.press_timeout_ms);
    connection_->channel().SetDeadline(press_deadline_);
    connection_->channel().SendAll(BuildRequestHead(fields));
  }

  void HandOverCookies() {
    if (!cookies_) cookies_ = std::make_unique<CookieStore>();
    cookies_->AddServerCookies(response_.headers.Values(u"Set-Cookie"), current_);
  }

  std::u16string Settle(int& auth_attempts) {
    const int code = StatusCodeOf(response_.status_line);
    switch (OutcomeOf(code)) {
      case StatusOutcome::kSuccess:
        break;
      case StatusOutcome::kAuthorize:
        if (!AttemptAuthorization(auth_, auth_attempts, current_.Username, current_.Password,
                                  response_.challenges)) {
          FailWithStatus(code);
        }
        break;
      case StatusOutcome::kFail:
        FailWithStatus(code);
    }
    std::string body;
    ReadBodyIfAny(code, body);
    DecideKeepAlive();
    return DecodeBody(body, response_.charset);
  }

  // The body of a failure is read too (its charset decides its text), and a close while it
  // arrives only ends it.
  [[noreturn]] void FailWithStatus(int code) {
    std::string body;
    ReadBodyIfAny(code, body, CloseMeans::kEnd);
    DecideKeepAlive();
    throw HttpStatusFailure(response_.status_line, code, DecodeBody(body, response_.charset));
  }

  void ReadBodyIfAny(int code, std::string& body,
                     CloseMeans close_in_chunked = CloseMeans::kFailure) {
    BufferedReader& reader = connection_->reader();
    switch (BodyPresenceOf(code, response_)) {
      case BodyPresence::kNone:
        return;
      case BodyPresence::kReadIfPending:
        if (!reader.HasPendingData(
                std::min(limits_.redirect_body_wait_ms, MillisecondsLeft(press_deadline_)))) {
          return;
        }
        break;
      case BodyPresence::kRead:
        break;
    }
    ReadBody(reader, response_, limits_.max_body_bytes, body, close_in_chunked);
    CharsetFromBody(response_, body);
  }

  // A close the reads have met ends the connection now; one that comes later is found by the
  // next press's test before it reuses the connection.
  void DecideKeepAlive() {
    keep_alive_ =
        connection_ && !connection_->reader().peer_closed() && HeadersAllowKeepAlive(response_);
    response_.keep_alive = keep_alive_;
  }

  void EndCall() noexcept {
    if (!keep_alive_) connection_.reset();
  }

  ClientLimits limits_;
  Uri current_;
  ResponseRecord response_;
  std::unique_ptr<CookieStore> cookies_;  // made by the first response head of the run
  std::unique_ptr<AuthState> auth_;       // attached by the first 401 with a known scheme
  std::unique_ptr<ClientConnection> connection_;
  bool keep_alive_ = false;               // what the last response allowed
  WaitClock::time_point press_deadline_;  // when the current press must have its answer
};

HttpClient::HttpClient(ClientLimits limits) : impl_(std::make_unique<Impl>(limits)) {}
HttpClient::~HttpClient() = default;

std::u16string HttpClient::Get(std::u16string_view url) {
  return impl_->Get(url);
}

void HttpClient::Disconnect() noexcept {
  impl_->Disconnect();
}

}  // namespace queue
