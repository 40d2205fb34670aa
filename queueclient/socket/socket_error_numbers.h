// The Windows Sockets numbers that the client acts on, named once. Failures carry these numbers
// on every platform; socket_errors.h maps the platform's own numbers onto them.
#pragma once

namespace queue::wsa {

inline constexpr int kInterrupted = 10004;        // a signal cut the call short
inline constexpr int kWouldBlock = 10035;         // a non-blocking call, or a time-out elsewhere
inline constexpr int kInProgress = 10036;         // a connect goes on in the background
inline constexpr int kAlreadyInProgress = 10037;  // a repeated connect while the first goes on
inline constexpr int kConnectionAborted = 10053;  // "Software caused connection abort."
inline constexpr int kConnectionReset = 10054;    // "Connection reset by peer."
inline constexpr int kAlreadyConnected = 10056;   // a repeated connect after the first succeeded
inline constexpr int kShutDown = 10058;  // "Cannot send or receive after socket is closed."
inline constexpr int kTimedOut = 10060;  // "Connection timed out."
inline constexpr int kConnectionRefused = 10061;  // "Connection refused."
inline constexpr int kNoData = 11004;  // the resolver knows the name, but it has no address

}  // namespace queue::wsa
