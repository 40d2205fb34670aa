// The client TLS context that every https connection gets afresh: the versions, cipher list,
// trust locations and modes of this program.
#pragma once

#include <openssl/ssl.h>

#include <memory>

namespace queue {

struct SslContextFree {
  void operator()(SSL_CTX* context) const { SSL_CTX_free(context); }
};
using SslContextPtr = std::unique_ptr<SSL_CTX, SslContextFree>;

// The cipher list: every cipher with authentication and encryption, the strongest first, RC4
// last; security level 0 keeps the TLS 1.0 and 1.1 ciphers of old queue servers usable.
inline constexpr const char* kCipherList = "AES:ALL:!aNULL:!eNULL:+RC4:@STRENGTH:@SECLEVEL=0";

// A new client context: TLS 1.0 to TLS 1.3, the cipher list above, the default trusted
// certificate directory as an on-demand lookup, no certificate verification, no session cache,
// auto-retry. Throws the TLS set-up failures ("Error getting SSL method.", "Error creating SSL
// context." with the library's text, "SetCipher failed.").
SslContextPtr NewClientContext();

}  // namespace queue
