// Composing the start-up failure box's text.
#include "core/startup_failure_text.h"

#include <typeinfo>

#include "core/failure.h"
#include "core/text.h"

#if defined(__GNUC__)
#include <cxxabi.h>

#include <cstdlib>
#include <memory>
#endif

namespace queue {
namespace {

std::u16string TypeNameOf(const std::exception& e) {
#if defined(__GNUC__)
  int status = 0;
  std::unique_ptr<char, void (*)(void*)> name(
      abi::__cxa_demangle(typeid(e).name(), nullptr, nullptr, &status), std::free);
  if (status == 0 && name) return Utf8ToUtf16(name.get());
#endif
  return Utf8ToUtf16(typeid(e).name());
}

std::u16string HexAddress(std::uintptr_t address) {
  constexpr char16_t kDigits[] = u"0123456789ABCDEF";
  const auto low = static_cast<std::uint32_t>(address & 0xFFFFFFFFu);
  std::u16string text(8, u'0');
  for (int i = 0; i < 8; ++i) text[7 - i] = kDigits[(low >> (4 * i)) & 0xF];
  return text;
}

}  // namespace

std::u16string StartupFailureText(std::u16string_view type_name, std::u16string_view module_name,
                                  std::uintptr_t address, std::u16string_view message) {
  std::u16string text = u"Exception ";
  text += type_name;
  text += u" in module ";
  text += module_name;
  text += u" at ";
  text += HexAddress(address);
  text += u".\r\n";
  text += message;
  if (!message.empty() && message.back() != u'.') text += u'.';
  text += u"\r\n";
  return text;
}

std::u16string StartupFailureText(std::exception_ptr failure, std::u16string_view module_name) {
  // Where a failure was raised is not recorded by our failures, so the address is zero.
  constexpr std::uintptr_t kUnknownAddress = 0;
  try {
    std::rethrow_exception(failure);
  } catch (const Failure& f) {
    return StartupFailureText(Widen(f.TypeName()), module_name, kUnknownAddress, f.message());
  } catch (const std::exception& e) {
    return StartupFailureText(TypeNameOf(e), module_name, kUnknownAddress, Utf8ToUtf16(e.what()));
  } catch (...) {
    return StartupFailureText(u"Exception", module_name, kUnknownAddress, u"");
  }
}

}  // namespace queue
