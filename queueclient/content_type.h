// The parameters of a Content-Type value ("text/html; charset=utf-8; boundary=..."): reading
// one by name and removing one, as the header interpretation and the multipart reader need.
#pragma once

#include <string>
#include <string_view>

namespace queue {

// The value of the first parameter named `name` (ignoring case) of a Content-Type value, with
// the quotes and backslash escapes of a quoted value undone; empty when there is none. The
// media type before the first ";" is never taken for a parameter.
std::u16string ContentTypeParameter(std::u16string_view content_type, std::u16string_view name);

// The Content-Type value without any parameter named `name` (each with its ";"), trimmed.
// `removed_value` receives the value of the first such parameter (empty when there is none).
std::u16string RemoveContentTypeParameter(std::u16string_view content_type,
                                          std::u16string_view name, std::u16string& removed_value);

}  // namespace queue
