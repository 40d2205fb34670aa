// TLS over a connected TCP socket, for "https" server addresses.
#pragma once

#include <chrono>
#include <memory>
#include <string>

#include "queueclient/socket/channel.h"
#include "queueclient/socket/socket.h"

namespace queue {

// Runs the client handshake on `socket` (already connected) with `server_name` as the server
// name indication, and returns the channel that carries the request and the response. The
// channel owns the socket from then on; when the handshake fails it is closed.
// `timeout_ms` bounds every socket receive and send; the handshake as a whole ends by
// `handshake_deadline` (a peer that dribbles it fails with socket error 10060 there). Throws
// the TLS failures (could not load, set-up, handshake) and socket failures.
std::unique_ptr<Channel> ConnectTls(Socket socket, const std::string& server_name, int timeout_ms,
                                    std::chrono::steady_clock::time_point handshake_deadline);

}  // namespace queue
