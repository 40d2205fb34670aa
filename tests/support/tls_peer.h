// An in-process TLS server on 127.0.0.1 (port 0) for the TLS tests and the bench: a certificate
// made when it starts, a pinned protocol version, and hostile behaviours (closing, resetting or
// falling silent in the handshake, falling silent after it, answering without TLS). It records
// what every connection brought: the server name, the version, the request, the close.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "queueclient/socket/socket.h"

namespace queue::testing {

enum class TlsPeerVersion { kAny, kTls10Only, kTls12Only, kTls13Only };

enum class TlsPeerCertificate { kSelfSigned, kExpired };

enum class TlsPeerBehaviour {
  kAnswer,                // handshake, read one request head, send the answer
  kCloseDuringHandshake,  // read the client's hello, then close the connection in order
  kResetDuringHandshake,  // read the client's hello, then reset the connection
  kStopAfterServerHello,  // send only the first record of the answer to the hello, then nothing
  kDribbleHandshake,    // send the answer to the hello one byte at a time, `dribble_pause_ms` apart
  kStopAfterHandshake,  // complete the handshake, then send nothing
  kNotTls,              // answer the client's hello with plain bytes
};

struct TlsPeerOptions {
  TlsPeerVersion version = TlsPeerVersion::kAny;
  TlsPeerCertificate certificate = TlsPeerCertificate::kSelfSigned;
  TlsPeerBehaviour behaviour = TlsPeerBehaviour::kAnswer;
  // kAnswer: the bytes sent after the request head.
  std::string answer = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok";
  // kAnswer: what follows the answer.
  enum class AnswerEnd {
    kAwaitClient,         // wait for the client to close
    kCloseNotify,         // end the session with a close notification
    kCloseWithoutNotify,  // close the connection without ending the session
  };
  AnswerEnd answer_end = AnswerEnd::kAwaitClient;
  // kDribbleHandshake: the pause before each byte.
  int dribble_pause_ms = 50;
  // kNotTls: the bytes sent instead of a TLS answer.
  std::string plain_bytes = "HTTP/1.1 400 Bad Request\r\nContent-Length: 0\r\n\r\n";
};

// What one connection brought, recorded when the peer is done with it.
struct TlsPeerSession {
  std::string server_name;    // the server name indication; empty when none was sent
  int version = 0;            // the negotiated version (TLS1_VERSION ...); 0 without a handshake
  std::string request;        // kAnswer: the request head as received
  bool close_notify = false;  // the client ended the session with its close notification
};

class TlsPeer {
 public:
  explicit TlsPeer(TlsPeerOptions options = {});
  ~TlsPeer();
  TlsPeer(const TlsPeer&) = delete;
  TlsPeer& operator=(const TlsPeer&) = delete;

  int port() const { return port_; }
  // Waits (at most 10 s) until `count` connections are done and returns all sessions so far.
  std::vector<TlsPeerSession> WaitForSessions(std::size_t count);

 private:
  struct State;
  void Serve();
  void Handle(int connection);

  TlsPeerOptions options_;
  std::unique_ptr<State> state_;
  int port_ = 0;
  std::mutex mutex_;
  std::condition_variable done_;
  std::vector<TlsPeerSession> sessions_;
  int current_connection_ = -1;  // guarded by mutex_; shut down to end a blocked wait
  std::thread thread_;
};

// A TCP socket connected to 127.0.0.1:`port`; throws the client's SocketFailure on failure.
Socket ConnectToLoopback(int port);

}  // namespace queue::testing
