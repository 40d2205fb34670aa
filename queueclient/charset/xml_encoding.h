// The character set an XML body declares for itself: its byte-order mark, else the encoding
// of its XML declaration, read in the unit size and byte order its first four bytes show.
#pragma once

#include <string>
#include <string_view>

namespace queue {

// "UTF-8" unless a byte-order mark or the declaration's encoding says otherwise. Some marks
// give a name outside the character-set table ("UCS-4BE") or an empty name; both decode with
// the 8-bit decoding. Reads no further than the end of the declaration.
std::u16string XmlEncodingOf(std::string_view body);

}  // namespace queue
