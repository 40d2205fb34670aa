// The in-process TLS peer: one thread that accepts connections one after another and treats
// each as its options say.
#include "tests/support/tls_peer.h"

#include "queueclient/socket/tcp_channel.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <stdexcept>

namespace queue::testing {
namespace {

// The peer never waits longer than this for a client, so a broken test ends instead of hanging.
constexpr int kPeerPatienceMs = 10000;
// A request head, a client hello: anything longer is not what a test sends.
constexpr std::size_t kMaxRequestHead = 65536;
constexpr std::size_t kRecordHeader = 5;

struct KeyFree {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertificateFree {
  void operator()(X509* certificate) const { X509_free(certificate); }
};
struct ContextFree {
  void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
struct SessionFree {
  void operator()(SSL* session) const { SSL_free(session); }
};
using SessionPtr = std::unique_ptr<SSL, SessionFree>;

[[noreturn]] void Fail(const char* what) {
  throw std::runtime_error(std::string("TLS peer: ") + what);
}

std::unique_ptr<X509, CertificateFree> MakeCertificate(EVP_PKEY* key, TlsPeerCertificate kind) {
  std::unique_ptr<X509, CertificateFree> certificate(X509_new());
  if (!certificate) Fail("X509_new");
  constexpr long kDay = 24 * 60 * 60;
  const bool expired = kind == TlsPeerCertificate::kExpired;
  X509_set_version(certificate.get(), 2);
  ASN1_INTEGER_set(X509_get_serialNumber(certificate.get()), 1);
  X509_gmtime_adj(X509_getm_notBefore(certificate.get()), expired ? -2 * kDay : -kDay);
  X509_gmtime_adj(X509_getm_notAfter(certificate.get()), expired ? -kDay : kDay);
  X509_set_pubkey(certificate.get(), key);
  X509_NAME* name = X509_get_subject_name(certificate.get());
  X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                             reinterpret_cast<const unsigned char*>("queue test peer"), -1, -1, 0);
  X509_set_issuer_name(certificate.get(), name);  // self-signed
  if (X509_sign(certificate.get(), key, EVP_sha256()) == 0) Fail("X509_sign");
  return certificate;
}

int ProtocolVersion(TlsPeerVersion version, bool maximum) {
  switch (version) {
    case TlsPeerVersion::kTls10Only:
      return TLS1_VERSION;
    case TlsPeerVersion::kTls12Only:
      return TLS1_2_VERSION;
    case TlsPeerVersion::kTls13Only:
      return TLS1_3_VERSION;
    case TlsPeerVersion::kAny:
      break;
  }
  return maximum ? TLS1_3_VERSION : TLS1_VERSION;
}

// Keeps the server name of the hello in the string the session's app data points to.
int RecordServerName(SSL* session, int*, void*) {
  const char* name = SSL_get_servername(session, TLSEXT_NAMETYPE_host_name);
  if (name != nullptr) *static_cast<std::string*>(SSL_get_app_data(session)) = name;
  return SSL_TLSEXT_ERR_OK;
}

bool SendRaw(int socket, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t sent = ::send(socket, bytes.data(), bytes.size(), MSG_NOSIGNAL);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool ReceiveExactly(int socket, std::string& out, std::size_t count) {
  const std::size_t start = out.size();
  out.resize(start + count);
  std::size_t have = 0;
  while (have < count) {
    const ssize_t received = ::recv(socket, out.data() + start + have, count - have, 0);
    if (received <= 0) return false;
    have += static_cast<std::size_t>(received);
  }
  return true;
}

// One whole TLS record as it came off the socket (the client's hello); empty on failure.
std::string ReceiveRecord(int socket) {
  std::string record;
  if (!ReceiveExactly(socket, record, kRecordHeader)) return {};
  const std::size_t length =
      (static_cast<unsigned char>(record[3]) << 8) | static_cast<unsigned char>(record[4]);
  if (!ReceiveExactly(socket, record, length)) return {};
  return record;
}

// The server's answer to the client's hello on `connection`, made by a session that runs on
// memory, so that the caller decides how it reaches the client.
std::string ServerFlight(SSL* ssl, int connection) {
  BIO* in = BIO_new(BIO_s_mem());
  BIO* out = BIO_new(BIO_s_mem());
  SSL_set_bio(ssl, in, out);
  const std::string hello = ReceiveRecord(connection);
  BIO_write(in, hello.data(), static_cast<int>(hello.size()));
  SSL_accept(ssl);  // stops for want of the client's next flight
  char* flight = nullptr;
  const long flight_length = BIO_get_mem_data(out, &flight);
  return std::string(flight, static_cast<std::size_t>(flight_length));
}

// The length of the first record at the start of `bytes`, or all of them if it is cut short.
std::size_t FirstRecordLength(std::string_view bytes) {
  if (bytes.size() < kRecordHeader) return bytes.size();
  const std::size_t length = kRecordHeader + ((static_cast<unsigned char>(bytes[3]) << 8) |
                                              static_cast<unsigned char>(bytes[4]));
  return std::min(length, bytes.size());
}

}  // namespace

struct TlsPeer::State {
  std::unique_ptr<EVP_PKEY, KeyFree> key;
  std::unique_ptr<X509, CertificateFree> certificate;
  std::unique_ptr<SSL_CTX, ContextFree> context;
  int listener = -1;
  int stop_pipe[2] = {-1, -1};

  // Waits `ms` milliseconds; false when the peer is told to stop meanwhile.
  bool Pause(int ms) const {
    pollfd stop{stop_pipe[0], POLLIN, 0};
    return ::poll(&stop, 1, ms) == 0;
  }

  // Waits until the client closes, the peer stops or its patience ends; reads and drops
  // whatever arrives meanwhile.
  void AwaitClientClose(int connection) const {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kPeerPatienceMs);
    char scratch[4096];
    while (std::chrono::steady_clock::now() < deadline) {
      pollfd fds[2] = {{connection, POLLIN, 0}, {stop_pipe[0], POLLIN, 0}};
      if (::poll(fds, 2, 100) < 0) return;
      if (fds[1].revents != 0) return;
      if (fds[0].revents == 0) continue;
      if (::recv(connection, scratch, sizeof(scratch), 0) <= 0) return;
    }
  }
};

TlsPeer::TlsPeer(TlsPeerOptions options)
    : options_(std::move(options)), state_(std::make_unique<State>()) {
  state_->key.reset(EVP_EC_gen("P-256"));
  if (!state_->key) Fail("EVP_EC_gen");
  state_->certificate = MakeCertificate(state_->key.get(), options_.certificate);
  state_->context.reset(SSL_CTX_new(TLS_server_method()));
  SSL_CTX* context = state_->context.get();
  if (context == nullptr) Fail("SSL_CTX_new");
  if (SSL_CTX_use_certificate(context, state_->certificate.get()) != 1 ||
      SSL_CTX_use_PrivateKey(context, state_->key.get()) != 1) {
    Fail("certificate");
  }
  // Security level 0: TLS 1.0 needs its old signatures and ciphers.
  if (SSL_CTX_set_cipher_list(context, "ALL:@SECLEVEL=0") != 1 ||
      SSL_CTX_set_min_proto_version(context, ProtocolVersion(options_.version, false)) != 1 ||
      SSL_CTX_set_max_proto_version(context, ProtocolVersion(options_.version, true)) != 1) {
    Fail("versions");
  }
  SSL_CTX_set_tlsext_servername_callback(context, RecordServerName);

  state_->listener = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof(address);
  if (state_->listener < 0 ||
      ::bind(state_->listener, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
      ::listen(state_->listener, 16) != 0 ||
      ::getsockname(state_->listener, reinterpret_cast<sockaddr*>(&address), &length) != 0 ||
      ::pipe(state_->stop_pipe) != 0) {
    Fail("listen");
  }
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

TlsPeer::~TlsPeer() {
  if (::write(state_->stop_pipe[1], "x", 1) != 1) {
    // The pipe cannot be full: this is its only write. The shutdown below still ends waits.
  }
  {
    std::lock_guard lock(mutex_);
    if (current_connection_ >= 0) ::shutdown(current_connection_, SHUT_RDWR);
  }
  thread_.join();
  ::close(state_->listener);
  ::close(state_->stop_pipe[0]);
  ::close(state_->stop_pipe[1]);
}

std::vector<TlsPeerSession> TlsPeer::WaitForSessions(std::size_t count) {
  std::unique_lock lock(mutex_);
  done_.wait_for(lock, std::chrono::milliseconds(kPeerPatienceMs),
                 [&] { return sessions_.size() >= count; });
  return sessions_;
}

void TlsPeer::Serve() {
  // A client that resets must give this thread an error, not end the test program.
  sigset_t pipe_signal;
  sigemptyset(&pipe_signal);
  sigaddset(&pipe_signal, SIGPIPE);
  pthread_sigmask(SIG_BLOCK, &pipe_signal, nullptr);
  for (;;) {
    pollfd fds[2] = {{state_->listener, POLLIN, 0}, {state_->stop_pipe[0], POLLIN, 0}};
    if (::poll(fds, 2, -1) < 0 || fds[1].revents != 0) return;
    const int connection = ::accept(state_->listener, nullptr, nullptr);
    if (connection < 0) continue;
    timeval patience{kPeerPatienceMs / 1000, 0};
    ::setsockopt(connection, SOL_SOCKET, SO_RCVTIMEO, &patience, sizeof(patience));
    ::setsockopt(connection, SOL_SOCKET, SO_SNDTIMEO, &patience, sizeof(patience));
    // Each flight goes out at once, as from a tuned server: the client's own waits are what
    // the tests and the bench look at, not this peer's.
    const int no_delay = 1;
    ::setsockopt(connection, IPPROTO_TCP, TCP_NODELAY, &no_delay, sizeof(no_delay));
    {
      std::lock_guard lock(mutex_);
      current_connection_ = connection;
    }
    Handle(connection);
  }
}

void TlsPeer::Handle(int connection) {
  TlsPeerSession session;
  SessionPtr ssl(SSL_new(state_->context.get()));
  SSL_set_app_data(ssl.get(), &session.server_name);
  switch (options_.behaviour) {
    case TlsPeerBehaviour::kCloseDuringHandshake:
      ReceiveRecord(connection);
      ::shutdown(connection, SHUT_WR);
      state_->AwaitClientClose(connection);
      break;
    case TlsPeerBehaviour::kResetDuringHandshake: {
      ReceiveRecord(connection);
      linger abort{1, 0};  // closing now sends a reset
      ::setsockopt(connection, SOL_SOCKET, SO_LINGER, &abort, sizeof(abort));
      break;
    }
    case TlsPeerBehaviour::kNotTls:
      ReceiveRecord(connection);
      SendRaw(connection, options_.plain_bytes);
      state_->AwaitClientClose(connection);
      break;
    case TlsPeerBehaviour::kStopAfterServerHello: {
      const std::string answer = ServerFlight(ssl.get(), connection);
      SendRaw(connection, std::string_view(answer).substr(0, FirstRecordLength(answer)));
      state_->AwaitClientClose(connection);
      break;
    }
    case TlsPeerBehaviour::kDribbleHandshake: {
      const std::string answer = ServerFlight(ssl.get(), connection);
      for (const char byte : answer) {
        if (!state_->Pause(options_.dribble_pause_ms) || !SendRaw(connection, {&byte, 1})) break;
      }
      state_->AwaitClientClose(connection);
      break;
    }
    case TlsPeerBehaviour::kStopAfterHandshake:
    case TlsPeerBehaviour::kAnswer: {
      SSL_set_fd(ssl.get(), connection);
      if (SSL_accept(ssl.get()) != 1) break;
      session.version = SSL_version(ssl.get());
      if (options_.behaviour == TlsPeerBehaviour::kStopAfterHandshake) {
        state_->AwaitClientClose(connection);
        break;
      }
      char buffer[4096];
      while (session.request.find("\r\n\r\n") == std::string::npos &&
             session.request.size() < kMaxRequestHead) {
        const int received = SSL_read(ssl.get(), buffer, sizeof(buffer));
        if (received <= 0) break;
        session.request.append(buffer, static_cast<std::size_t>(received));
      }
      SSL_write(ssl.get(), options_.answer.data(), static_cast<int>(options_.answer.size()));
      if (options_.answer_end == TlsPeerOptions::AnswerEnd::kCloseNotify) {
        SSL_shutdown(ssl.get());
      } else if (options_.answer_end == TlsPeerOptions::AnswerEnd::kCloseWithoutNotify) {
        ::shutdown(connection, SHUT_WR);
        state_->AwaitClientClose(connection);
        break;
      }
      int received;
      while ((received = SSL_read(ssl.get(), buffer, sizeof(buffer))) > 0) {
      }
      session.close_notify = SSL_get_error(ssl.get(), received) == SSL_ERROR_ZERO_RETURN;
      break;
    }
  }
  ssl.reset();
  {
    std::lock_guard lock(mutex_);
    current_connection_ = -1;
    ::close(connection);
    sessions_.push_back(std::move(session));
  }
  done_.notify_all();
}

Socket ConnectToLoopback(int port) {
  // The client's own connect, bounded like a press's.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  return ConnectSocket(SelectAddress("127.0.0.1", port, IpVersion::kIPv4, deadline), deadline);
}

}  // namespace queue::testing
