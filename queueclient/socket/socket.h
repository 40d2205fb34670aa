// A socket of the platform, and the one type of the client that owns one: moving it hands the
// socket on, and it is closed (shut down for sending first) when its owner closes it or goes.
#pragma once

namespace queue {

#ifdef _WIN32
using SocketHandle = unsigned long long;  // SOCKET
#else
using SocketHandle = int;
#endif

// No socket: INVALID_SOCKET on Windows, -1 elsewhere (both all bits set).
inline constexpr SocketHandle kNoSocket = static_cast<SocketHandle>(-1);

class Socket {
 public:
  Socket() = default;
  // Opens a TCP stream socket of the address family; throws SocketFailure with the platform's
  // number when it cannot.
  static Socket OpenStream(int family);

  Socket(Socket&& other) noexcept : handle_(other.handle_) { other.handle_ = kNoSocket; }
  Socket& operator=(Socket&& other) noexcept;
  Socket(const Socket&) = delete;
  Socket& operator=(const Socket&) = delete;
  ~Socket() { Close(); }

  bool is_open() const { return handle_ != kNoSocket; }
  // For the socket calls; the socket stays this owner's.
  SocketHandle handle() const { return handle_; }
  // Shuts the socket down for sending and closes it; a closed one stays closed.
  void Close() noexcept;

 private:
  explicit Socket(SocketHandle handle) : handle_(handle) {}

  SocketHandle handle_ = kNoSocket;
};

}  // namespace queue
