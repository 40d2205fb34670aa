// The TLS channel: one client session over a connected socket, with a context of its own that
// lives and dies with the connection.
#include "queueclient/tls/tls_channel.h"

#include <openssl/err.h>
#include <openssl/ssl.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <exception>

#include "core/scope_exit.h"
#include "queueclient/client_limits.h"
#include "queueclient/failure.h"
#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"
#include "queueclient/socket/socket_wait.h"
#include "queueclient/tls/openssl/openssl_context.h"
#include "queueclient/tls/openssl/openssl_failures.h"
#include "queueclient/tls/openssl/openssl_socket_bio.h"

namespace queue {
namespace {

constexpr int kTimedOut = wsa::kTimedOut;
// What a receive or send on a channel that is already closed meets.
constexpr int kSocketClosed = wsa::kShutDown;

struct SslFree {
  void operator()(SSL* session) const { SSL_free(session); }
};

void SetTimeoutOrThrow(const Socket& socket, int option, int timeout_ms) {
  if (!SetSocketTimeout(socket.handle(), option, timeout_ms))
    throw SocketFailure(LastSocketError());
}

int ClampToInt(std::size_t size) {
  return static_cast<int>(std::min<std::size_t>(size, INT_MAX));
}

class TlsChannel final : public Channel {
 public:
  explicit TlsChannel(Socket socket) { transport_.socket = std::move(socket); }
  ~TlsChannel() override { Close(); }
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;

  void Handshake(const std::string& server_name, int timeout_ms, WaitClock::time_point deadline);

  std::size_t Receive(char* buffer, std::size_t capacity) override;
  void SendAll(std::string_view bytes) override;
  void SetDeadline(WaitClock::time_point deadline) override {
    transport_.bounds.deadline = deadline;
  }
  bool WaitReadable(int timeout_ms) override;
  void Close() noexcept override;

 private:
  // Clears what an earlier call left behind, so the next failure is read correctly.
  void BeginCall();
  TlsCallError LastCallError(int return_code) const;
  // Returns 0 for the peer's close notification, throws for everything else.
  std::size_t FinishFailedReceive(const TlsCallError& error);
  // Whether application data, the peer's close or a failure arrived with the bytes that are
  // readable on the socket; only part of a record, or records without data, give false.
  bool ProbeReceived();

  SocketBioState transport_;
  SslContextPtr context_;
  std::unique_ptr<SSL, SslFree> session_;
  // The session met a fatal error: it must send nothing more, not even its close notification.
  bool broken_ = false;
  // A failure a readiness probe met; the next receive reports it.
  std::exception_ptr deferred_failure_;
};

void TlsChannel::Handshake(const std::string& server_name, int timeout_ms,
                           WaitClock::time_point deadline) {
  const int bound = timeout_ms > 0 ? timeout_ms : kReadTimeoutMs;
  // The receive time-out is set by each receive, within these bounds.
  transport_.bounds.per_receive_ms = bound;
  transport_.bounds.deadline = deadline;
  SetTimeoutOrThrow(transport_.socket, SO_SNDTIMEO, bound);

  context_ = NewClientContext();
  session_.reset(SSL_new(context_.get()));
  if (!session_) ThrowTlsSetupFailure("Error creating SSL session.", false);

  BIO* bio = NewSocketBio(&transport_);
  if (bio == nullptr)
    ThrowTlsCallFailure(ClientFailure::kSslHandshake, kFileDescriptorLead, {0, SSL_ERROR_SSL, 0});
  SSL_set_bio(session_.get(), bio, bio);  // the session owns the BIO from here
  // The host goes out as the server name also when it is an address.
  if (SSL_set_tlsext_host_name(session_.get(), server_name.c_str()) != 1) {
    ThrowTlsCallFailure(ClientFailure::kSslHandshake, kBindLead, {0, SSL_ERROR_SSL, 0});
  }

  BeginCall();
  const int result = SSL_connect(session_.get());
  if (result != 1) {
    broken_ = true;
    ThrowTlsCallFailure(ClientFailure::kSslHandshake, kHandshakeLead, LastCallError(result));
  }
  transport_.bounds.deadline.reset();  // each press sets its own
}

void TlsChannel::BeginCall() {
  ERR_clear_error();
  transport_.last_error = 0;
}

TlsCallError TlsChannel::LastCallError(int return_code) const {
  const int socket_error = transport_.last_error != 0 ? transport_.last_error : LastSocketError();
  return {return_code, SSL_get_error(session_.get(), return_code), socket_error};
}

std::size_t TlsChannel::Receive(char* buffer, std::size_t capacity) {
  if (deferred_failure_) std::rethrow_exception(deferred_failure_);
  if (!session_) throw SocketFailure(kSocketClosed);
  BeginCall();
  const int result = SSL_read(session_.get(), buffer, ClampToInt(capacity));
  if (result > 0) return static_cast<std::size_t>(result);
  return FinishFailedReceive(LastCallError(result));
}

std::size_t TlsChannel::FinishFailedReceive(const TlsCallError& error) {
  // The peer's orderly end of the session.
  if (error.result_kind == SSL_ERROR_ZERO_RETURN) return 0;
  broken_ = true;
  if (IsSocketError(error)) {
    ERR_clear_error();
    if (error.socket_error == kTimedOut) throw Failure(ClientFailure::kReadTimeout);
    // A reset, abort or shutdown too: the reader above decides whether buffered bytes make it
    // a close.
    throw SocketFailure(error.socket_error);
  }
  ThrowTlsCallFailure(ClientFailure::kSslLibrary, {}, error);
}

void TlsChannel::SendAll(std::string_view bytes) {
  if (!session_) throw SocketFailure(kSocketClosed);
  while (!bytes.empty()) {
    BeginCall();
    const int result = SSL_write(session_.get(), bytes.data(), ClampToInt(bytes.size()));
    if (result <= 0) {
      broken_ = true;
      // Every socket error, a send time-out (10060) included, is the socket failure.
      ThrowTlsCallFailure(ClientFailure::kSslLibrary, {}, LastCallError(result));
    }
    bytes.remove_prefix(static_cast<std::size_t>(result));
  }
}

bool TlsChannel::WaitReadable(int timeout_ms) {
  if (deferred_failure_) return true;
  if (!session_) return false;
  // Decrypted data waiting, or the peer's close notification already seen (it stays readable).
  if (SSL_pending(session_.get()) > 0 ||
      (SSL_get_shutdown(session_.get()) & SSL_RECEIVED_SHUTDOWN) != 0) {
    return true;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const int wait_ms = static_cast<int>(std::max<long long>(left.count(), 0));
    const int ready = PollSocket(transport_.socket.handle(), POLLIN, wait_ms);
    if (ready < 0) throw SocketFailure(LastSocketError());
    if (ready == 0) return false;
    if (ProbeReceived()) return true;
    if (wait_ms == 0) return false;
  }
}

bool TlsChannel::ProbeReceived() {
  transport_.probing = true;
  const ScopeExit end_probe([this] { transport_.probing = false; });

  BeginCall();
  char byte;
  const int result = SSL_peek(session_.get(), &byte, 1);
  if (result > 0) return true;
  const TlsCallError error = LastCallError(result);
  if (error.result_kind == SSL_ERROR_WANT_READ) return false;
  try {
    FinishFailedReceive(error);  // the close notification stays readable for Receive
  } catch (...) {
    deferred_failure_ = std::current_exception();
  }
  return true;
}

void TlsChannel::Close() noexcept {
  if (!transport_.socket.is_open()) return;
  if (session_ && !broken_ && SSL_is_init_finished(session_.get())) {
    // One call sends our close notification; the peer's answer to it is not awaited.
    SSL_shutdown(session_.get());
  }
  ERR_clear_error();
  session_.reset();
  context_.reset();
  transport_.socket.Close();
}

}  // namespace

std::unique_ptr<Channel> ConnectTls(Socket socket, const std::string& server_name, int timeout_ms,
                                    WaitClock::time_point handshake_deadline) {
  auto channel = std::make_unique<TlsChannel>(std::move(socket));
  // The library is linked, so it is there; it may still fail to initialise.
  if (OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr) !=
      1) {
    throw Failure(ClientFailure::kSslLoad);
  }
  channel->Handshake(server_name, timeout_ms, handshake_deadline);
  return channel;
}

}  // namespace queue
