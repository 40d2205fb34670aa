// The error box's text rule.
#include "core/error_text.h"

#include "core/text.h"

namespace queue {
namespace {

constexpr char16_t kFullStop = u'.';

std::u16string WithFullStop(std::u16string text) {
  if (!text.empty() && text.back() > kFullStop) text += kFullStop;
  return text;
}

}  // namespace

std::u16string ErrorBoxText(const Failure& failure) {
  const Failure* innermost = &failure;
  while (innermost->inner() != nullptr) innermost = innermost->inner();
  return WithFullStop(innermost->message().empty() ? failure.message() : innermost->message());
}

std::optional<std::u16string> ErrorBoxText(std::exception_ptr failure) {
  try {
    std::rethrow_exception(failure);
  } catch (const SilentAbort&) {
    return std::nullopt;
  } catch (const Failure& f) {
    return ErrorBoxText(f);
  } catch (const std::exception& e) {
    return WithFullStop(Utf8ToUtf16(e.what()));
  } catch (...) {
    return WithFullStop(u"Unknown failure");
  }
}

}  // namespace queue
