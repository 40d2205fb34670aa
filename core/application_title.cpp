// Deriving the application title.
#include "core/application_title.h"

namespace queue {

std::u16string DeriveApplicationTitle(std::u16string_view executable_path, LowerCaseMapping lower) {
  // Windows separates with "\", our other platforms with "/"; a file name holds neither.
  const std::size_t separator = executable_path.find_last_of(u"/\\");
  std::u16string_view name = separator == std::u16string_view::npos
                                 ? executable_path
                                 : executable_path.substr(separator + 1);
  name = name.substr(0, name.find(u'.'));
  if (name.size() <= 1) return std::u16string(name);
  return std::u16string(name.substr(0, 1)) + lower(name.substr(1));
}

}  // namespace queue
