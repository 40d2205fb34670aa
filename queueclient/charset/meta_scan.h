// The scan of an HTML body for the meta elements in its head that stand in for header lines
// (http-equiv) or name the character set (charset).
#pragma once

#include <string_view>

#include "queueclient/http/response_record.h"

namespace queue {

// Fills `meta` from the body: one header line for every http-equiv meta element of the head
// ("Name: content"; an element whose line would be longer than kMaxLineLength bytes, or past
// the header list's bound of lines, is dropped), and the character set from the Content-Type among
// them, replaced by the value of a charset meta element when there is one. Only a head inside an
// html element is looked at; the scan stops at a body element directly inside html and recognises
// nothing after a title there. Never fails, whatever the markup.
void ScanHtmlMeta(std::string_view body, MetaRecord& meta);

}  // namespace queue
