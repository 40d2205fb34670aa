// The per-connection client context.
#include "queueclient/tls/openssl/openssl_context.h"

#include <openssl/x509_vfy.h>

#include "queueclient/tls/openssl/openssl_failures.h"

namespace queue {
namespace {

// The default trust locations, the directory part only and looked up when a certificate is
// asked for. Loading the default bundle file instead reads every certificate in it (some 150)
// on each connection, many times the cost of the whole exchange, for a verification this client
// does not make. The directory is the one the library's defaults name (or SSL_CERT_DIR).
bool AddDefaultTrustDirectory(SSL_CTX* context) {
  X509_LOOKUP* lookup =
      X509_STORE_add_lookup(SSL_CTX_get_cert_store(context), X509_LOOKUP_hash_dir());
  return lookup != nullptr && X509_LOOKUP_add_dir(lookup, nullptr, X509_FILETYPE_DEFAULT) == 1;
}

}  // namespace

SslContextPtr NewClientContext() {
  const SSL_METHOD* method = TLS_client_method();
  if (method == nullptr) ThrowTlsSetupFailure("Error getting SSL method.", false);
  SslContextPtr context(SSL_CTX_new(method));
  if (!context) ThrowTlsSetupFailure(kContextLead, true);
  // TLS 1.0 still reaches the oldest queue servers; current ones speak 1.2 or 1.3 only.
  if (SSL_CTX_set_min_proto_version(context.get(), TLS1_VERSION) != 1 ||
      SSL_CTX_set_max_proto_version(context.get(), TLS1_3_VERSION) != 1) {
    ThrowTlsSetupFailure("Error getting SSL method.", false);
  }
  if (SSL_CTX_set_cipher_list(context.get(), kCipherList) != 1) {
    ThrowTlsSetupFailure("SetCipher failed.", false);
  }
  if (!AddDefaultTrustDirectory(context.get())) ThrowTlsSetupFailure(kContextLead, true);
  // Any certificate is accepted: expired, self-signed or for another name.
  SSL_CTX_set_verify(context.get(), SSL_VERIFY_NONE, nullptr);
  // Every connection makes a full handshake; nothing is kept for resumption.
  SSL_CTX_set_session_cache_mode(context.get(), SSL_SESS_CACHE_OFF);
  SSL_CTX_set_mode(context.get(), SSL_MODE_AUTO_RETRY);
  return context;
}

}  // namespace queue
