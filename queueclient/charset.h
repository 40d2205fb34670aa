// Character sets of a response body: the character-set table, the choice of a character set
// from the Content-Type header and from the body itself, and the decoding into UTF-16 text.
#pragma once

#include <string>
#include <string_view>

#include "queueclient/response_record.h"

namespace queue {

// The code page of a character-set name (matched ignoring case, first match wins); 0 when
// the name is unknown or has no code page.
int CodePageOf(std::u16string_view charset_name);

// The character set that a Content-Type implies: `has_content_type` false (no Content-Type
// line, or an empty value) empties it; a non-empty charset parameter wins; text/xml-like types give
// "us-ascii", other text types "ISO-8859-1"; any other media type leaves `charset` unchanged.
void ApplyContentTypeCharset(bool has_content_type, std::u16string_view content_type,
                             std::u16string_view charset_parameter, std::u16string& charset);

// After a body has been read: the meta scan for HTML media types, the XML declaration for XML
// media types; may change record.charset (and, from meta elements, record.headers).
void CharsetFromBody(ResponseRecord& record, std::string_view body);

// Decodes body bytes with a character-set name. Never fails.
std::u16string DecodeBody(std::string_view body, std::u16string_view charset_name);

// Each byte becomes U+0000..U+00FF.
std::u16string Decode8Bit(std::string_view bytes);

}  // namespace queue
