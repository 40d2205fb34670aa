// The failures of the program: one hierarchy rooted at Failure, thrown and never returned.
// A failure has a kind, an English message as UTF-16 text and an optional inner failure.
// Every layer names the kinds of its own failures (the HTTP client's in queueclient/failure.h,
// the settings file's in settings/settings_failure.h, the theme's in
// theme/container/theme_failure.h); subclasses there carry the data of socket, HTTP status and TLS
// failures.
#pragma once

#include <exception>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

namespace queue {

// A failure's kind: its stable name, as qget prints it ("socket", "http-status", ...), and, for
// a kind whose message never varies, that message (ASCII), kept here beside the kind so that no
// throw site types it again. Two kinds are the same when their names are.
class FailureKind {
 public:
  constexpr explicit FailureKind(std::string_view name, std::string_view fixed_text = {})
      : name_(name), fixed_text_(fixed_text) {}
  constexpr std::string_view name() const { return name_; }
  // The message of every failure of this kind; empty when each failure composes its own.
  constexpr std::string_view fixed_text() const { return fixed_text_; }
  friend constexpr bool operator==(FailureKind a, FailureKind b) { return a.name_ == b.name_; }

 private:
  std::string_view name_;
  std::string_view fixed_text_;
};

// Prints the kind's name (test output).
std::ostream& operator<<(std::ostream& out, FailureKind kind);

// The kinds any layer may raise.
struct CoreFailure {
  static constexpr FailureKind kGeneric{"failure"};           // no kind of its own
  static constexpr FailureKind kSilentAbort{"silent-abort"};  // discarded without a message
};

class Failure : public std::exception {
 public:
  Failure(FailureKind kind, std::u16string message, std::shared_ptr<const Failure> inner = {});
  Failure(FailureKind kind, std::string_view ascii_message);
  // A failure of a kind with a fixed text, which is its message.
  explicit Failure(FailureKind kind);
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

}  // namespace queue
