// The parameters of a Content-Type value ("text/html; charset=utf-8; boundary=..."): reading
// one by name and removing one, as the header interpretation and the multipart reader need,
// and the character set a Content-Type implies.
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

// The character set that a Content-Type implies: `has_content_type` false (no Content-Type
// line, or an empty value) empties it; a non-empty charset parameter wins; text/xml-like types give
// "us-ascii", other text types "ISO-8859-1"; any other media type leaves `charset` unchanged.
void ApplyContentTypeCharset(bool has_content_type, std::u16string_view content_type,
                             std::u16string_view charset_parameter, std::u16string& charset);

}  // namespace queue
