// Shared OpenSSL plumbing for the crypto components: fetched algorithms, kept for the life of
// the process (released at exit), and the one-time load of the legacy provider.
#pragma once

#include <openssl/evp.h>

namespace platform::detail {

// The digest fetched once from the default provider; null when it is unavailable.
const EVP_MD* fetchedDigest(const char* name);
// The cipher fetched once (the legacy provider is loaded first); null when unavailable.
const EVP_CIPHER* fetchedCipher(const char* name);

}  // namespace platform::detail
