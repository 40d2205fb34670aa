// A scripted HTTP peer on loopback for the protocol tests: it listens on 127.0.0.1 (or ::1),
// port 0, in a thread of its own, and plays one script per accepted connection: read a request
// (recording its exact bytes), send exact bytes, pause, hold the connection open, close, reset.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "queueclient/tls/tls_channel.h"  // SocketHandle

namespace queue::testing {

struct ServerStep {
  enum class Kind {
    kReadRequest,  // reads up to and including the empty line that ends a request head
    kSend,         // sends `bytes` exactly
    kDelay,        // pauses `ms` milliseconds (a slow server, not a wait for the client)
    kHold,         // keeps the connection open until the client closes it or the server stops
    kClose,        // orderly close
    kReset,        // close with a reset (SO_LINGER 0)
  };
  Kind kind;
  std::string bytes;
  int ms = 0;
};

ServerStep ReadRequest();
ServerStep Send(std::string bytes);
ServerStep Delay(int ms);
ServerStep Hold();
ServerStep Close();
ServerStep Reset();

// The script of one connection. A script that ends without kClose or kReset closes in order.
using ConnectionScript = std::vector<ServerStep>;

// The commonest script: read the request, send `response`, close.
ConnectionScript Answer(std::string response);

class ScriptedServer {
 public:
  // Connections beyond the scripts are closed as soon as they are accepted.
  explicit ScriptedServer(std::vector<ConnectionScript> scripts, bool ipv6 = false);
  ~ScriptedServer();
  ScriptedServer(const ScriptedServer&) = delete;
  ScriptedServer& operator=(const ScriptedServer&) = delete;

  int port() const { return port_; }
  // "http://127.0.0.1:<port>" (or "http://[::1]:<port>") followed by `rest`.
  std::string Url(std::string_view rest = "") const;
  std::u16string Url16(std::string_view rest = "") const;

  // Waits until `count` requests have been recorded, or 10 s have passed; true when they have.
  bool AwaitRequests(std::size_t count);
  // Waits until `count` connections have played their scripts to the end.
  bool AwaitConnectionsDone(std::size_t count);
  // The recorded request heads, in arrival order.
  std::vector<std::string> requests() const;
  std::size_t accepted() const;

 private:
  void Run();
  void Play(SocketHandle connection, const ConnectionScript& script);
  bool ReadHead(SocketHandle connection, std::string& pending);
  bool WaitUntil(const std::function<bool()>& condition);

  std::vector<ConnectionScript> scripts_;
  bool ipv6_;
  SocketHandle listener_;
  int port_ = 0;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<std::string> requests_;
  std::size_t accepted_ = 0;
  std::size_t done_ = 0;
  bool stopping_ = false;
  std::thread thread_;
};

}  // namespace queue::testing
