// The floor of the Windows plain press: a bare Windows Sockets client that makes the same GET as
// qget.exe to the same loopback server, COUNT times in one process: connect, send the request,
// read the whole answer, shut down sending, close. It parses nothing and sets no option.
// Usage: see bare_press_win.h.
#include <winsock2.h>

#include "bench/windows/bare_press_win.h"

int main(int argc, char** argv) {
  const bench::PressArguments arguments = bench::ParsePressArguments(argc, argv);
  char buffer[32768];
  for (int press = 0; press < arguments.count; ++press) {
    const SOCKET socket = bench::RawConnectToLoopback(arguments.port);
    bench::SendAll(socket, arguments.request.data(), arguments.request.size());
    std::size_t received = 0;
    int count;
    while (received < arguments.answer_bytes &&
           (count = ::recv(socket, buffer, sizeof buffer, 0)) > 0) {
      received += static_cast<std::size_t>(count);
    }
    if (received < arguments.answer_bytes) bench::Fail("recv", WSAGetLastError());
    bench::RawClose(socket);
  }
  if (arguments.count > 0) WSACleanup();
  return 0;
}
