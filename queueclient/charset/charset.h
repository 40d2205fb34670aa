// Character sets of a response body in one place: the character set from the body itself, and
// the decoding into UTF-16 text with the decoder a character-set name stands for. The table of
// names is charset_table.h, the character set a Content-Type implies content_type.h.
#pragma once

#include <string>
#include <string_view>

#include "queueclient/http/response_record.h"

namespace queue {

// After a body has been read: the meta scan for HTML media types, the XML declaration for XML
// media types; may change record.charset (and, from meta elements, record.headers).
void CharsetFromBody(ResponseRecord& record, std::string_view body);

// Decodes body bytes with a character-set name. Never fails.
std::u16string DecodeBody(std::string_view body, std::u16string_view charset_name);

// Each byte becomes U+0000..U+00FF.
std::u16string Decode8Bit(std::string_view bytes);

}  // namespace queue
