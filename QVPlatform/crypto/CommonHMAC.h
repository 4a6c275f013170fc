// CommonHMAC: keyed digests (RFC 2104) over the SHA family and MD5, on OpenSSL 3.
//
//   unsigned char mac[CC_SHA256_DIGEST_LENGTH];
//   CCHmac(kCCHmacAlgSHA256, "key", 3, "text", 4, mac);   // HMAC-SHA-256("key", "text")
//
// `macOut` must hold the digest length of the algorithm. A key of any length is accepted
// (longer than a block, it is digested first, as RFC 2104 says). Thread rule: pure function.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

enum CCHmacAlgorithm : std::uint32_t {
    kCCHmacAlgSHA1 = 0,
    kCCHmacAlgMD5 = 1,
    kCCHmacAlgSHA256 = 2,
    kCCHmacAlgSHA384 = 3,
    kCCHmacAlgSHA512 = 4,
    kCCHmacAlgSHA224 = 5,
};

void CCHmac(CCHmacAlgorithm algorithm, const void* key, std::size_t keyLength, const void* data,
            std::size_t dataLength, void* macOut);

// The length in bytes of the MAC the algorithm produces.
std::size_t CCHmacLength(CCHmacAlgorithm algorithm);

}  // namespace platform
