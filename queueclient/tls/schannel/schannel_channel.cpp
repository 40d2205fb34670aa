// The TLS channel on Windows: one client session of the system's own TLS (Schannel, through the
// security interface SSPI) over a connected socket, so that no TLS library ships beside the
// program and the system's updates keep it patched. Like the other TLS path it verifies no
// certificate and sends the host as the server name.
// Windows Sockets first: windows.h would bring the old sockets' header otherwise.
#include <winsock2.h>

#include <windows.h>
#define SECURITY_WIN32
#include <schannel.h>
#include <security.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstring>
#include <exception>
#include <string>

#include "core/text.h"
#include "queueclient/client_limits.h"
#include "queueclient/failure.h"
#include "queueclient/socket/socket_error_numbers.h"
#include "queueclient/socket/socket_errors.h"
#include "queueclient/socket/socket_platform.h"
#include "queueclient/socket/socket_receive.h"
#include "queueclient/socket/socket_wait.h"
#include "queueclient/tls/schannel/schannel_failures.h"
#include "queueclient/tls/schannel/security_interface.h"
#include "queueclient/tls/tls_channel.h"
#include "queueclient/tls/tls_failure_texts.h"

namespace queue {
namespace {

constexpr int kTimedOut = wsa::kTimedOut;
// What a receive or send on a channel that is already closed meets.
constexpr int kSocketClosed = wsa::kShutDown;
// Encrypted bytes held while a record or handshake message is incomplete: a full record
// (16 KiB of data and its overhead) several times over, enough for a certificate chain that
// comes in one flight; a peer that sends more without completing a message is refused.
constexpr std::size_t kMaxIncomingBytes = 1u << 17;
// The record type of an alert (the close notification among them), in the record's first byte,
// which is sent in the clear up to TLS 1.2.
constexpr std::uint8_t kAlertRecord = 21;
// Bytes asked of the socket per receive.
constexpr std::size_t kReceiveSlice = 1u << 14;
// TLS 1.0 still reaches the oldest queue servers; current ones speak 1.2 or 1.3 only.
constexpr DWORD kProtocolsUpTo12 =
    SP_PROT_TLS1_0_CLIENT | SP_PROT_TLS1_1_CLIENT | SP_PROT_TLS1_2_CLIENT;
constexpr DWORD kProtocols = kProtocolsUpTo12 | SP_PROT_TLS1_3_CLIENT;
// A stream of records, confidential, in order; the system allocates the handshake tokens, and
// the certificate is left unchecked (this client accepts any).
constexpr DWORD kContextRequest = ISC_REQ_SEQUENCE_DETECT | ISC_REQ_REPLAY_DETECT |
                                  ISC_REQ_CONFIDENTIALITY | ISC_REQ_ALLOCATE_MEMORY |
                                  ISC_REQ_STREAM | ISC_REQ_MANUAL_CRED_VALIDATION;

std::wstring Wide(const std::string& utf8) {
  const std::u16string text = Utf8ToUtf16(utf8);
  return std::wstring(text.begin(), text.end());
}

// Frees a token the system allocated for the handshake.
struct TokenBuffer {
  explicit TokenBuffer(const SecurityFunctionTableW& sspi) : sspi(sspi) {}
  ~TokenBuffer() {
    if (buffer.pvBuffer != nullptr) sspi.FreeContextBuffer(buffer.pvBuffer);
  }
  TokenBuffer(const TokenBuffer&) = delete;
  TokenBuffer& operator=(const TokenBuffer&) = delete;

  const SecurityFunctionTableW& sspi;
  SecBuffer buffer{0, SECBUFFER_TOKEN, nullptr};
  std::string_view bytes() const {
    return {static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer};
  }
};

class SchannelChannel final : public Channel {
 public:
  // Loads the system's TLS on the first connection that needs it (throws ssl-load).
  explicit SchannelChannel(Socket socket)
      : socket_(std::move(socket)), sspi_(SecurityInterface()) {}
  ~SchannelChannel() override { Close(); }
  SchannelChannel(const SchannelChannel&) = delete;
  SchannelChannel& operator=(const SchannelChannel&) = delete;

  void Handshake(const std::string& server_name, int timeout_ms, WaitClock::time_point deadline);

  std::size_t Receive(char* buffer, std::size_t capacity) override;
  void SendAll(std::string_view bytes) override;
  void SetDeadline(WaitClock::time_point deadline) override { bounds_.deadline = deadline; }
  bool WaitReadable(int timeout_ms) override;
  void Close() noexcept override;

 private:
  void AcquireCredentials();
  // Runs InitializeSecurityContext until the handshake (or a renegotiation) is complete; the
  // first call passes no input when `first` is set, the later ones the bytes received.
  void RunHandshake(bool first);
  // One call of InitializeSecurityContext on what is received so far; sends its token.
  SECURITY_STATUS HandshakeStep(bool first);
  // Appends what one receive brings to `incoming_`; false when the peer closed.
  bool ReceiveMore();
  // Decrypts the complete records in `incoming_` until data, the peer's close or a failure
  // arrives; false when a record is still incomplete.
  bool DecryptReceived();
  void SendRaw(std::string_view bytes);
  [[noreturn]] void FailReceive(std::exception_ptr failure);

  Socket socket_;
  const SecurityFunctionTableW& sspi_;
  // Every receive within its bound and the press's (or the handshake's) deadline.
  ReceiveBounds bounds_;
  SocketTimeout receive_timeout_{SocketTimeout::Option::kReceive};
  std::wstring server_name_;
  CredHandle credentials_{};
  CtxtHandle context_{};
  bool have_credentials_ = false;
  bool have_context_ = false;
  bool established_ = false;
  // The session met a fatal error: it must send nothing more, not even its close notification.
  bool broken_ = false;
  bool peer_closed_ = false;
  SecPkgContext_StreamSizes sizes_{};
  std::string incoming_;   // encrypted bytes not yet decrypted
  std::string plaintext_;  // decrypted bytes not yet handed out
  std::size_t plaintext_at_ = 0;
  // A failure a receive or a readiness test met; every later receive reports it.
  std::exception_ptr failure_;
};

void SchannelChannel::AcquireCredentials() {
  SCHANNEL_CRED wanted{};
  wanted.dwVersion = SCHANNEL_CRED_VERSION;
  wanted.grbitEnabledProtocols = kProtocols;
  wanted.dwFlags =
      SCH_CRED_MANUAL_CRED_VALIDATION | SCH_CRED_NO_SERVERNAME_CHECK | SCH_CRED_NO_DEFAULT_CREDS;
  TimeStamp expiry{};
  auto acquire = [&] {
    return sspi_.AcquireCredentialsHandleW(nullptr, const_cast<wchar_t*>(UNISP_NAME_W),
                                           SECPKG_CRED_OUTBOUND, nullptr, &wanted, nullptr, nullptr,
                                           &credentials_, &expiry);
  };
  SECURITY_STATUS status = acquire();
  // Systems before TLS 1.3 refuse a protocol set that names it.
  if (status == SEC_E_ALGORITHM_MISMATCH || status == SEC_E_UNSUPPORTED_FUNCTION) {
    wanted.grbitEnabledProtocols = kProtocolsUpTo12;
    status = acquire();
  }
  if (status != SEC_E_OK) ThrowSecurityFailure(ClientFailure::kSslSetup, kContextLead, status);
  have_credentials_ = true;
}

void SchannelChannel::Handshake(const std::string& server_name, int timeout_ms,
                                WaitClock::time_point deadline) {
  const int bound = timeout_ms > 0 ? timeout_ms : kReadTimeoutMs;
  // Each receive waits within these bounds, and each send's wait for room within the first.
  bounds_.per_receive_ms = bound;
  bounds_.deadline = deadline;
  // The host goes out as the server name also when it is an address.
  server_name_ = Wide(server_name);
  AcquireCredentials();
  try {
    RunHandshake(true);
  } catch (...) {
    broken_ = true;
    throw;
  }
  const SECURITY_STATUS status =
      sspi_.QueryContextAttributesW(&context_, SECPKG_ATTR_STREAM_SIZES, &sizes_);
  if (status != SEC_E_OK) {
    broken_ = true;
    ThrowSecurityFailure(ClientFailure::kSslHandshake, kHandshakeLead, status);
  }
  established_ = true;
  bounds_.deadline.reset();  // each press sets its own
}

SECURITY_STATUS SchannelChannel::HandshakeStep(bool first) {
  SecBuffer in[2] = {
      {static_cast<unsigned long>(incoming_.size()), SECBUFFER_TOKEN, incoming_.data()},
      {0, SECBUFFER_EMPTY, nullptr}};
  SecBufferDesc in_desc{SECBUFFER_VERSION, 2, in};
  TokenBuffer out(sspi_);
  SecBufferDesc out_desc{SECBUFFER_VERSION, 1, &out.buffer};
  unsigned long attributes = 0;
  const SECURITY_STATUS status = sspi_.InitializeSecurityContextW(
      &credentials_, first ? nullptr : &context_, const_cast<wchar_t*>(server_name_.c_str()),
      kContextRequest, 0, 0, first ? nullptr : &in_desc, 0, first ? &context_ : nullptr, &out_desc,
      &attributes, nullptr);
  if (first && (status == SEC_E_OK || status == SEC_I_CONTINUE_NEEDED)) have_context_ = true;
  if (status == SEC_E_INCOMPLETE_MESSAGE) return status;  // the input stays as it is
  if (out.buffer.cbBuffer > 0 && out.buffer.pvBuffer != nullptr) {
    try {
      SendRaw(out.bytes());
    } catch (const Failure&) {
      // A failed step's token is the alert for the peer: the step's own failure is what counts.
      if (!FAILED(status)) throw;
    }
  }
  if (first) return status;
  // What follows the handshake message in the input (the next message, or data) is kept.
  if (in[1].BufferType == SECBUFFER_EXTRA && in[1].cbBuffer <= incoming_.size()) {
    incoming_.erase(0, incoming_.size() - in[1].cbBuffer);
  } else {
    incoming_.clear();
  }
  return status;
}

void SchannelChannel::RunHandshake(bool first) {
  SECURITY_STATUS status = HandshakeStep(first);
  while (status == SEC_I_CONTINUE_NEEDED || status == SEC_E_INCOMPLETE_MESSAGE) {
    // Input is needed when the last step used all of it or found it incomplete.
    if (incoming_.empty() || status == SEC_E_INCOMPLETE_MESSAGE) {
      if (incoming_.size() >= kMaxIncomingBytes) {
        ThrowSecurityFailure(ClientFailure::kSslHandshake, kHandshakeLead, SEC_E_INVALID_TOKEN);
      }
      if (!ReceiveMore()) {
        throw TlsFailure(
            ClientFailure::kSslHandshake,
            AsciiToUtf16(std::string(kHandshakeLead) + "\r\n" + std::string(kUnexpectedEofText)), 0,
            0);
      }
    }
    status = HandshakeStep(false);
  }
  if (status != SEC_E_OK)
    ThrowSecurityFailure(ClientFailure::kSslHandshake, kHandshakeLead, status);
}

bool SchannelChannel::ReceiveMore() {
  const std::size_t old = incoming_.size();
  incoming_.resize(old + kReceiveSlice);
  const ReceiveOutcome outcome = ReceiveWithin(socket_, receive_timeout_, bounds_.EndOfReceive(),
                                               incoming_.data() + old, kReceiveSlice);
  incoming_.resize(old + outcome.received);
  switch (outcome.status) {
    case ReceiveOutcome::Status::kReceived:
      return outcome.received > 0;
    case ReceiveOutcome::Status::kTimedOut:
      // An expired bound fails "Read timed out." once the session is up; in the handshake it is
      // the socket's time-out, as for the TCP connect.
      if (established_) throw Failure(ClientFailure::kReadTimeout);
      throw SocketFailure(kTimedOut);
    case ReceiveOutcome::Status::kFailed:
      break;
  }
  throw SocketFailure(outcome.error);
}

bool SchannelChannel::DecryptReceived() {
  while (plaintext_at_ == plaintext_.size() && !peer_closed_ && !incoming_.empty()) {
    SecBuffer buffers[4] = {
        {static_cast<unsigned long>(incoming_.size()), SECBUFFER_DATA, incoming_.data()},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const bool alert_record = static_cast<std::uint8_t>(incoming_[0]) == kAlertRecord;
    const SECURITY_STATUS status = sspi_.DecryptMessage(&context_, &desc, 0, nullptr);
    if (status == SEC_E_INCOMPLETE_MESSAGE) {
      if (incoming_.size() >= kMaxIncomingBytes) {
        ThrowSecurityFailure(ClientFailure::kSslLibrary, {}, SEC_E_INVALID_TOKEN);
      }
      return false;
    }
    if (status != SEC_E_OK && status != SEC_I_RENEGOTIATE && status != SEC_I_CONTEXT_EXPIRED) {
      ThrowSecurityFailure(ClientFailure::kSslLibrary, {}, status);
    }
    // The data is decrypted in place, inside `incoming_`: copied out before the input moves.
    std::string data;
    std::size_t extra = 0;
    for (const SecBuffer& buffer : buffers) {
      if (buffer.BufferType == SECBUFFER_DATA && buffer.pvBuffer != nullptr)
        data.assign(static_cast<const char*>(buffer.pvBuffer), buffer.cbBuffer);
      if (buffer.BufferType == SECBUFFER_EXTRA) extra = buffer.cbBuffer;
    }
    incoming_.erase(0, incoming_.size() - std::min(extra, incoming_.size()));
    plaintext_ = std::move(data);
    plaintext_at_ = 0;
    // The peer's close notification: the orderly end of the session. Wine decrypts it as an
    // empty record instead of reporting the end; an alert record carries no data, so one that
    // gives none is taken for the close too.
    if (status == SEC_I_CONTEXT_EXPIRED || (alert_record && plaintext_.empty())) {
      peer_closed_ = true;
    }
    // A handshake message after the handshake (a TLS 1.3 session ticket, a renegotiation):
    // the rest of the input goes to the handshake, which may answer it.
    if (status == SEC_I_RENEGOTIATE) RunHandshake(false);
  }
  return plaintext_at_ < plaintext_.size() || peer_closed_;
}

void SchannelChannel::FailReceive(std::exception_ptr failure) {
  broken_ = true;
  failure_ = failure;
  std::rethrow_exception(failure);
}

std::size_t SchannelChannel::Receive(char* buffer, std::size_t capacity) {
  if (failure_) std::rethrow_exception(failure_);
  if (!established_) throw SocketFailure(kSocketClosed);
  try {
    while (!DecryptReceived()) {
      if (!ReceiveMore()) {
        // Closed without a close notification, between records or inside one.
        throw TlsFailure(ClientFailure::kSslLibrary, AsciiToUtf16(kUnexpectedEofText), 0, 0);
      }
    }
  } catch (...) {
    FailReceive(std::current_exception());
  }
  if (plaintext_at_ == plaintext_.size()) return 0;  // the peer's close notification
  const std::size_t count = std::min(capacity, plaintext_.size() - plaintext_at_);
  std::memcpy(buffer, plaintext_.data() + plaintext_at_, count);
  plaintext_at_ += count;
  return count;
}

void SchannelChannel::SendRaw(std::string_view bytes) {
  while (!bytes.empty()) {
    const auto sent = SendBytes(socket_.handle(), bytes, bounds_.per_receive_ms);
    // Every socket error, a send time-out (10060) included, is the socket failure.
    if (sent < 0) throw SocketFailure(LastSocketError());
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
}

void SchannelChannel::SendAll(std::string_view bytes) {
  if (!established_ || broken_) throw SocketFailure(kSocketClosed);
  std::string record;
  while (!bytes.empty()) {
    const std::size_t size = std::min<std::size_t>(bytes.size(), sizes_.cbMaximumMessage);
    record.assign(sizes_.cbHeader, '\0');
    record.append(bytes.substr(0, size));
    record.append(sizes_.cbTrailer, '\0');
    SecBuffer buffers[4] = {
        {sizes_.cbHeader, SECBUFFER_STREAM_HEADER, record.data()},
        {static_cast<unsigned long>(size), SECBUFFER_DATA, record.data() + sizes_.cbHeader},
        {sizes_.cbTrailer, SECBUFFER_STREAM_TRAILER, record.data() + sizes_.cbHeader + size},
        {0, SECBUFFER_EMPTY, nullptr}};
    SecBufferDesc desc{SECBUFFER_VERSION, 4, buffers};
    const SECURITY_STATUS status = sspi_.EncryptMessage(&context_, 0, &desc, 0);
    if (status != SEC_E_OK) {
      broken_ = true;
      ThrowSecurityFailure(ClientFailure::kSslLibrary, {}, status);
    }
    try {
      SendRaw(std::string_view(record).substr(
          0, buffers[0].cbBuffer + buffers[1].cbBuffer + buffers[2].cbBuffer));
    } catch (...) {
      broken_ = true;
      throw;
    }
    bytes.remove_prefix(size);
  }
}

bool SchannelChannel::WaitReadable(int timeout_ms) {
  if (failure_ || peer_closed_ || plaintext_at_ < plaintext_.size()) return true;
  if (!established_) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeout_ms);
  try {
    // Records already received whole may hold data.
    if (DecryptReceived()) return true;
    for (;;) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
          deadline - std::chrono::steady_clock::now());
      const int wait_ms = static_cast<int>(std::max<long long>(left.count(), 0));
      const int ready = PollSocket(socket_.handle(), POLLIN, wait_ms);
      if (ready < 0) throw SocketFailure(LastSocketError());
      if (ready == 0) return false;
      // The socket is readable, so this receive returns at once: bytes, the close, or an error.
      if (!ReceiveMore())
        throw TlsFailure(ClientFailure::kSslLibrary, AsciiToUtf16(kUnexpectedEofText), 0, 0);
      // Only part of a record, or records without data: not readable yet.
      if (DecryptReceived()) return true;
      if (wait_ms == 0) return false;
    }
  } catch (...) {
    // The next receive reports it.
    broken_ = true;
    failure_ = std::current_exception();
    return true;
  }
}

void SchannelChannel::Close() noexcept {
  if (!socket_.is_open()) return;
  if (established_ && !broken_ && !peer_closed_) {
    // Our close notification: the system makes it as the last handshake token. Best effort;
    // the peer's answer is not awaited.
    DWORD shutdown = SCHANNEL_SHUTDOWN;
    SecBuffer control{sizeof shutdown, SECBUFFER_TOKEN, &shutdown};
    SecBufferDesc control_desc{SECBUFFER_VERSION, 1, &control};
    if (sspi_.ApplyControlToken(&context_, &control_desc) == SEC_E_OK) {
      TokenBuffer out(sspi_);
      SecBufferDesc out_desc{SECBUFFER_VERSION, 1, &out.buffer};
      unsigned long attributes = 0;
      const SECURITY_STATUS status = sspi_.InitializeSecurityContextW(
          &credentials_, &context_, const_cast<wchar_t*>(server_name_.c_str()), kContextRequest, 0,
          0, nullptr, 0, nullptr, &out_desc, &attributes, nullptr);
      if ((status == SEC_E_OK || status == SEC_I_CONTEXT_EXPIRED) && out.buffer.cbBuffer > 0) {
        try {
          SendRaw(out.bytes());
        } catch (const Failure&) {
          // The peer has gone: nothing is left to tell it.
        }
      }
    }
  }
  if (have_context_) sspi_.DeleteSecurityContext(&context_);
  if (have_credentials_) sspi_.FreeCredentialsHandle(&credentials_);
  have_context_ = have_credentials_ = established_ = false;
  socket_.Close();
}

}  // namespace

std::unique_ptr<Channel> ConnectTls(Socket socket, const std::string& server_name, int timeout_ms,
                                    WaitClock::time_point handshake_deadline) {
  auto channel = std::make_unique<SchannelChannel>(std::move(socket));
  channel->Handshake(server_name, timeout_ms, handshake_deadline);
  return channel;
}

}  // namespace queue
