// The HTTP client's failures: their kinds, and the failures that carry data of their own
// (socket, HTTP status and TLS failures). The root of the hierarchy is core/failure.h.
#pragma once

#include <string>
#include <string_view>

#include "core/failure.h"

namespace queue {

// The kinds of the client's failures, with the message of each kind whose message is fixed.
struct ClientFailure {
  static constexpr FailureKind kUnknownProtocol{"unknown-protocol", "Unknown Protocol"};
  static constexpr FailureKind kHostRequired{"host-required", "A Host is required"};
  static constexpr FailureKind kPortRequired{"port-required", "A Port is required"};
  static constexpr FailureKind kInvalidIOHandler{"invalid-iohandler",
                                                 "IOHandler value is not valid"};
  static constexpr FailureKind kUriEmptyHost{"uri-empty-host", "Host field is empty"};
  // "Error on loading Winsock2 library (...)"
  static constexpr FailureKind kSocketLibrary{"socket-library"};
  // "Socket Error # N\r\n<text>"
  static constexpr FailureKind kSocket{"socket"};
  static constexpr FailureKind kSslLoad{"ssl-load", "Could not load SSL library."};
  // method, context, cipher list, session
  static constexpr FailureKind kSslSetup{"ssl-setup"};
  // "Error connecting with SSL.\r\n..." and the binding failures
  static constexpr FailureKind kSslHandshake{"ssl-handshake"};
  // the TLS library's own text while receiving or sending
  static constexpr FailureKind kSslLibrary{"ssl-library"};
  static constexpr FailureKind kConnectionClosed{"connection-closed",
                                                 "Connection Closed Gracefully."};
  static constexpr FailureKind kReadTimeout{"read-timeout", "Read timed out."};
  static constexpr FailureKind kLineTooLong{"line-too-long", "Max line length exceeded."};
  // the status line as received
  static constexpr FailureKind kHttpStatus{"http-status"};
  // a body past the memory bound
  static constexpr FailureKind kBodyTooLarge{"body-too-large", "Max body size exceeded."};
  // a head and trailers past the client's memory bound
  static constexpr FailureKind kHeadTooLarge{"head-too-large", "Max header size exceeded."};
};

// A socket or resolver error, numbered as Windows Sockets numbers it on every platform.
class SocketFailure : public Failure {
 public:
  explicit SocketFailure(int error_number);
  int error_number() const { return error_number_; }
  const char* TypeName() const override { return "SocketFailure"; }

 private:
  int error_number_;
};

// A final status outside 200 to 299: the message is the status line as received.
class HttpStatusFailure : public Failure {
 public:
  HttpStatusFailure(std::u16string status_line, int status_code, std::u16string body);
  int status_code() const { return status_code_; }
  const std::u16string& body() const { return body_; }
  const char* TypeName() const override { return "HttpStatusFailure"; }

 private:
  int status_code_;
  std::u16string body_;
};

// A TLS failure that carries the library's error code and the failed call's return code.
class TlsFailure : public Failure {
 public:
  TlsFailure(FailureKind kind, std::u16string message, unsigned long library_error,
             int return_code);
  unsigned long library_error() const { return library_error_; }
  int return_code() const { return return_code_; }
  const char* TypeName() const override { return "TlsFailure"; }

 private:
  unsigned long library_error_;
  int return_code_;
};

// The text of the socket error table for a Windows Sockets number; empty when not listed.
std::u16string_view SocketErrorText(int error_number);

}  // namespace queue
