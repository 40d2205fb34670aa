// The scripted loopback server.
#include "tests/support/scripted_server.h"

#include <chrono>
#include <stdexcept>

#include "core/text.h"
#include "queueclient/client_limits.h"
#include "queueclient/socket/socket_platform.h"

namespace queue::testing {
namespace {

// How often the server thread looks at the stop flag while it waits on a socket.
constexpr int kPollSliceMs = 20;
// A test that waits longer than this for the server has failed.
constexpr auto kAwaitBound = std::chrono::seconds(10);
// Bound on a recorded request head, so a runaway client cannot exhaust the test's memory.
constexpr std::size_t kMaxRecordedRequest = 1 << 20;

}  // namespace

ServerStep ReadRequest() {
  return {ServerStep::Kind::kReadRequest, {}, 0};
}
ServerStep Send(std::string bytes) {
  return {ServerStep::Kind::kSend, std::move(bytes), 0};
}
ServerStep Delay(int ms) {
  return {ServerStep::Kind::kDelay, {}, ms};
}
ServerStep Hold() {
  return {ServerStep::Kind::kHold, {}, 0};
}
ServerStep Close() {
  return {ServerStep::Kind::kClose, {}, 0};
}
ServerStep Reset() {
  return {ServerStep::Kind::kReset, {}, 0};
}

ConnectionScript Answer(std::string response) {
  return {ReadRequest(), Send(std::move(response)), Close()};
}

ScriptedServer::ScriptedServer(std::vector<ConnectionScript> scripts, bool ipv6)
    : scripts_(std::move(scripts)), ipv6_(ipv6) {
  StartSockets();
  listener_ = ::socket(ipv6 ? AF_INET6 : AF_INET, SOCK_STREAM, 0);
  if (listener_ == kNoSocket) throw std::runtime_error("socket");
  sockaddr_storage address{};
  socklen_t length = 0;
  if (ipv6) {
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&address);
    v6->sin6_family = AF_INET6;
    v6->sin6_addr = in6addr_loopback;
    length = sizeof(sockaddr_in6);
  } else {
    auto* v4 = reinterpret_cast<sockaddr_in*>(&address);
    v4->sin_family = AF_INET;
    v4->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    length = sizeof(sockaddr_in);
  }
  if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      ::listen(listener_, 16) != 0 ||
      ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    CloseSocket(listener_);
    throw std::runtime_error("bind/listen on loopback");
  }
  port_ = ntohs(ipv6 ? reinterpret_cast<sockaddr_in6*>(&address)->sin6_port
                     : reinterpret_cast<sockaddr_in*>(&address)->sin_port);
  thread_ = std::thread([this] { Run(); });
}

ScriptedServer::~ScriptedServer() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();  // ends a script's pause
  thread_.join();
  CloseSocket(listener_);
}

std::string ScriptedServer::Url(std::string_view rest) const {
  const std::string host = ipv6_ ? "[::1]" : "127.0.0.1";
  return "http://" + host + ":" + std::to_string(port_) + std::string(rest);
}

std::u16string ScriptedServer::Url16(std::string_view rest) const {
  return Utf8ToUtf16(Url(rest));
}

bool ScriptedServer::WaitUntil(const std::function<bool()>& condition) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, kAwaitBound, condition);
}

bool ScriptedServer::AwaitRequests(std::size_t count) {
  return WaitUntil([&] { return requests_.size() >= count; });
}

bool ScriptedServer::AwaitConnectionsDone(std::size_t count) {
  return WaitUntil([&] { return done_ >= count; });
}

std::vector<std::string> ScriptedServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::size_t ScriptedServer::accepted() const {
  std::lock_guard lock(mutex_);
  return accepted_;
}

void ScriptedServer::Run() {
  for (std::size_t index = 0;; ++index) {
    SocketHandle connection = kNoSocket;
    while (connection == kNoSocket) {
      {
        std::lock_guard lock(mutex_);
        if (stopping_) return;
      }
      if (PollSocket(listener_, POLLIN, kPollSliceMs) > 0)
        connection = ::accept(listener_, nullptr, nullptr);
    }
    {
      std::lock_guard lock(mutex_);
      ++accepted_;
    }
    changed_.notify_all();
    if (index < scripts_.size()) {
      Play(connection, scripts_[index]);
    } else {
      CloseSocket(connection);
    }
    {
      std::lock_guard lock(mutex_);
      ++done_;
    }
    changed_.notify_all();
  }
}

// Reads one request head into the record. False when the client closed or the server stops.
bool ScriptedServer::ReadHead(SocketHandle connection, std::string& pending) {
  for (;;) {
    const std::size_t end = pending.find("\r\n\r\n");
    if (end != std::string::npos || pending.size() > kMaxRecordedRequest) {
      const std::size_t length = end == std::string::npos ? pending.size() : end + 4;
      {
        std::lock_guard lock(mutex_);
        requests_.push_back(pending.substr(0, length));
      }
      changed_.notify_all();
      pending.erase(0, length);
      return true;
    }
    {
      std::lock_guard lock(mutex_);
      if (stopping_) return false;
    }
    if (PollSocket(connection, POLLIN, kPollSliceMs) <= 0) continue;
    char buffer[4096];
    const auto received = ::recv(connection, buffer, sizeof buffer, 0);
    if (received <= 0) {
      if (!pending.empty()) {
        std::lock_guard lock(mutex_);
        requests_.push_back(pending);
      }
      changed_.notify_all();
      return false;
    }
    pending.append(buffer, static_cast<std::size_t>(received));
  }
}

void ScriptedServer::Play(SocketHandle connection, const ConnectionScript& script) {
  std::string pending;
  for (const ServerStep& step : script) {
    switch (step.kind) {
      case ServerStep::Kind::kReadRequest:
        if (!ReadHead(connection, pending)) {
          CloseSocket(connection);
          return;
        }
        break;
      case ServerStep::Kind::kSend: {
        std::string_view bytes = step.bytes;
        while (!bytes.empty()) {
          // The server's sockets block: the bound matters only to the client's.
          const auto sent = SendBytes(connection, bytes, kReadTimeoutMs);
          if (sent <= 0) break;  // the client has gone; the script goes on to its end
          bytes.remove_prefix(static_cast<std::size_t>(sent));
        }
        break;
      }
      case ServerStep::Kind::kDelay: {
        // A server that stops ends its pauses, so a test whose client gave up early ends too.
        std::unique_lock lock(mutex_);
        changed_.wait_for(lock, std::chrono::milliseconds(step.ms), [this] { return stopping_; });
        break;
      }
      case ServerStep::Kind::kHold:
        for (;;) {
          {
            std::lock_guard lock(mutex_);
            if (stopping_) break;
          }
          if (PollSocket(connection, POLLIN, kPollSliceMs) <= 0) continue;
          char buffer[4096];
          if (::recv(connection, buffer, sizeof buffer, 0) <= 0) break;
        }
        break;
      case ServerStep::Kind::kClose:
        CloseSocket(connection);
        return;
      case ServerStep::Kind::kReset: {
        linger hard{1, 0};
        ::setsockopt(connection, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&hard),
                     sizeof hard);
        CloseSocket(connection);
        return;
      }
    }
  }
  CloseSocket(connection);
}

}  // namespace queue::testing
