// The guard every window handler runs through: a failure raised by a handler never unwinds
// through Qt's frames; it is handed to the program's error box and the handler returns.
#pragma once

#include <QObject>
#include <exception>
#include <utility>

namespace forms {

// Shows a caught failure to the user. Must not throw.
using FailureReporter = void (*)(std::exception_ptr failure) noexcept;

// Installs where caught failures go (the program sets its error box at start-up).
void SetFailureReporter(FailureReporter reporter);

// Hands a caught failure to the installed reporter; without one, writes it to the log.
void ReportFailure(std::exception_ptr failure) noexcept;

// Runs `body`; a failure it raises is reported and swallowed here. Returns whether the body
// ran to its end, so a caller can tell a failed close from a completed one.
template <class Body>
bool Guarded(Body&& body) noexcept {
  try {
    std::forward<Body>(body)();
    return true;
  } catch (...) {
    ReportFailure(std::current_exception());
    return false;
  }
}

// Binds a handler method to a signal, with the handler running through the guard.
template <class Sender, class Signal, class Receiver>
QMetaObject::Connection ConnectGuarded(Sender* sender, Signal signal, Receiver* receiver,
                                       void (Receiver::*handler)()) {
  return QObject::connect(sender, signal, receiver,
                          [receiver, handler] { Guarded([&] { (receiver->*handler)(); }); });
}

}  // namespace forms
