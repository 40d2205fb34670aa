// What the Windows press floors share: their command line, Windows Sockets started once, a
// plain blocking socket connected to a loopback port with none of the client's bounds or
// options, and its close (shutdown for sending, then close), as the Linux floors do it.
//
//   PROGRAM PORT COUNT ANSWER_BYTES REQUEST_HEX
//
// makes COUNT presses against 127.0.0.1:PORT, each sending the request (the bytes given in hex:
// the bench passes the head the program itself sent) and reading ANSWER_BYTES of answer.
#pragma once

#include <winsock2.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace bench {

struct PressArguments {
  int port = 0;
  int count = 0;
  std::size_t answer_bytes = 0;
  std::string request;
};

[[noreturn]] inline void Fail(const char* what, int code) {
  std::fprintf(stderr, "bench: %s failed (%d)\n", what, code);
  std::exit(1);
}

inline PressArguments ParsePressArguments(int argc, char** argv) {
  if (argc != 5) {
    std::fprintf(stderr, "usage: %s PORT COUNT ANSWER_BYTES REQUEST_HEX\n", argv[0]);
    std::exit(2);
  }
  PressArguments arguments;
  arguments.port = std::atoi(argv[1]);
  arguments.count = std::atoi(argv[2]);
  arguments.answer_bytes = std::strtoul(argv[3], nullptr, 10);
  const char* hex = argv[4];
  for (std::size_t i = 0; hex[i] != '\0' && hex[i + 1] != '\0'; i += 2) {
    const char pair[3] = {hex[i], hex[i + 1], '\0'};
    arguments.request += static_cast<char>(std::strtoul(pair, nullptr, 16));
  }
  // Started before the first press only, as the client starts it before its first socket: a
  // run without presses (the bench's measure of a process's start and end) does not.
  WSADATA data;
  if (arguments.count > 0) {
    if (const int code = WSAStartup(MAKEWORD(2, 2), &data); code != 0) Fail("WSAStartup", code);
  }
  return arguments;
}

inline SOCKET RawConnectToLoopback(int port) {
  const SOCKET socket = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<u_short>(port));
  if (socket == INVALID_SOCKET ||
      ::connect(socket, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    Fail("connect", WSAGetLastError());
  }
  return socket;
}

inline void SendAll(SOCKET socket, const char* bytes, std::size_t size) {
  while (size > 0) {
    const int sent = ::send(socket, bytes, static_cast<int>(size), 0);
    if (sent <= 0) Fail("send", WSAGetLastError());
    bytes += sent;
    size -= static_cast<std::size_t>(sent);
  }
}

inline void RawClose(SOCKET socket) {
  ::shutdown(socket, SD_SEND);
  ::closesocket(socket);
}

}  // namespace bench
