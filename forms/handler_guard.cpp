// Where the guard of the window handlers sends the failures it catches.
#include "forms/handler_guard.h"

#include <QtGlobal>

namespace forms {
namespace {

FailureReporter& InstalledReporter() {
  static FailureReporter reporter = nullptr;
  return reporter;
}

}  // namespace

void SetFailureReporter(FailureReporter reporter) {
  InstalledReporter() = reporter;
}

void ReportFailure(std::exception_ptr failure) noexcept {
  if (FailureReporter reporter = InstalledReporter()) {
    reporter(failure);
    return;
  }
  // No error box yet (a window used on its own): the failure is not lost, it goes to the log.
  try {
    std::rethrow_exception(failure);
  } catch (const std::exception& e) {
    qCritical("Unhandled failure: %s", e.what());
  } catch (...) {
    qCritical("Unhandled failure of an unknown type");
  }
}

}  // namespace forms
