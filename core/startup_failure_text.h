// The text of the start-up failure box, shown for a failure that escapes start-up before the
// message loop runs (caption "Application Error"; the process then ends with exit code 1).
#pragma once

#include <cstdint>
#include <exception>
#include <string>
#include <string_view>

namespace queue {

// "Exception <type> in module <module> at <address>.\r\n<message><stop>\r\n": the address as
// eight upper-case hexadecimal digits (its low 32 bits), <stop> "." unless the message is
// empty or already ends in ".". Unlike the error box, an inner failure is not consulted.
std::u16string StartupFailureText(std::u16string_view type_name, std::u16string_view module_name,
                                  std::uintptr_t address, std::u16string_view message);

// The same for anything thrown: the failure's type name (a Failure's own, else the C++ type's,
// demangled) and its outer message.
std::u16string StartupFailureText(std::exception_ptr failure, std::u16string_view module_name);

}  // namespace queue
