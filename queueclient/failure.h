// The failures of the program: one hierarchy rooted at Failure, thrown and never returned.
// A failure has a stable kind, an English message as UTF-16 text and an optional inner
// failure; subclasses carry the data of socket, HTTP status and TLS failures.
#pragma once

#include <exception>
#include <memory>
#include <string>
#include <string_view>

namespace queue {

enum class FailureKind {
  kGeneric,           // any failure without a kind of its own
  kSilentAbort,       // discarded without a message
  kUnknownProtocol,   // "Unknown Protocol"
  kHostRequired,      // "A Host is required"
  kPortRequired,      // "A Port is required"
  kInvalidIOHandler,  // "IOHandler value is not valid"
  kUriEmptyHost,      // "Host field is empty"
  kSocketLibrary,     // "Error on loading Winsock2 library (...)"
  kSocket,            // "Socket Error # N\r\n<text>"
  kSslLoad,           // "Could not load SSL library."
  kSslSetup,          // method, context, cipher list, session
  kSslHandshake,      // "Error connecting with SSL.\r\n..." and the binding failures
  kSslLibrary,        // the TLS library's own text while receiving or sending
  kConnectionClosed,  // "Connection Closed Gracefully."
  kReadTimeout,       // "Read timed out."
  kLineTooLong,       // "Max line length exceeded."
  kHttpStatus,        // the status line as received
  kBodyTooLarge,      // a body past the client's memory bound
  kHeadTooLarge,      // a head and trailers past the client's memory bound
  kSettingsWrite,     // "Unable to write to <path>"
  kThemeLoad,         // a theme resource that is present but cannot be loaded
};

// The stable name of a kind, as qget prints it ("socket", "http-status", ...).
std::string_view KindName(FailureKind kind);

class Failure : public std::exception {
 public:
  Failure(FailureKind kind, std::u16string message, std::shared_ptr<const Failure> inner = {});
  Failure(FailureKind kind, std::string_view ascii_message);
  ~Failure() override;

  FailureKind kind() const { return kind_; }
  const std::u16string& message() const { return message_; }
  // The failure that caused this one, or null.
  const Failure* inner() const { return inner_.get(); }
  // The message as UTF-8, for logs and test output.
  const char* what() const noexcept override { return what_.c_str(); }
  // The name of the failure's type, as the start-up failure box shows it.
  virtual const char* TypeName() const { return "Failure"; }

 private:
  FailureKind kind_;
  std::u16string message_;
  std::shared_ptr<const Failure> inner_;
  std::string what_;
};

// Ends an action without any message: the error box shows nothing.
class SilentAbort : public Failure {
 public:
  SilentAbort();
  const char* TypeName() const override { return "SilentAbort"; }
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
