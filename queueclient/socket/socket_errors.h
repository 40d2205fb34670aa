// The platform's socket and resolver errors as the Windows Sockets numbers that the failure
// messages use, on every platform.
#pragma once

namespace queue {

// An errno value (or, on Windows, a WSAGetLastError value) as a Windows Sockets number.
int SocketErrorFromErrno(int platform_error);
// A getaddrinfo result code (EAI_...) as a Windows Sockets resolver number (11001 ...).
int SocketErrorFromResolver(int gai_error, int saved_errno);
// The last socket error of the calling thread, as a Windows Sockets number.
int LastSocketError();

}  // namespace queue
