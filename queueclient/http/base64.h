// Base64 encoding (RFC 4648, with padding), for the Basic authorization value.
#pragma once

#include <string>
#include <string_view>

namespace queue {

std::string Base64Encode(std::string_view bytes);

}  // namespace queue
