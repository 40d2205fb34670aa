// The root of the failure hierarchy.
#include "core/failure.h"

#include <ostream>
#include <utility>

#include "core/text.h"

namespace queue {

std::ostream& operator<<(std::ostream& out, FailureKind kind) {
  return out << kind.name();
}

Failure::Failure(FailureKind kind, std::u16string message, std::shared_ptr<const Failure> inner)
    : kind_(kind),
      message_(std::move(message)),
      inner_(std::move(inner)),
      what_(Utf16ToUtf8(message_)) {}

Failure::Failure(FailureKind kind, std::string_view ascii_message)
    : Failure(kind, Widen(ascii_message)) {}

Failure::Failure(FailureKind kind) : Failure(kind, kind.fixed_text()) {}

Failure::~Failure() = default;

SilentAbort::SilentAbort() : Failure(CoreFailure::kSilentAbort, std::u16string()) {}

}  // namespace queue
