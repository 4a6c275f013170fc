// CommonDigest: the platform's one-shot message digests (MD5, SHA-1, SHA-2), on OpenSSL 3.
//
//   unsigned char md[CC_MD5_DIGEST_LENGTH];
//   CC_MD5("abc", 3, md);          // md = 90 01 50 98 3c d2 4f b0 d6 96 3f 7d 28 e1 7f 72
//   CC_SHA256(data, length, md);    // 32 bytes
//
// Each function digests `length` bytes at `data` (which may be null when `length` is 0) into
// `md`, which must hold the digest length, and returns `md`. Thread rule: pure functions,
// callable from any thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

using CC_LONG = std::uint32_t;

inline constexpr std::size_t CC_MD5_DIGEST_LENGTH = 16;     // RFC 1321
inline constexpr std::size_t CC_SHA1_DIGEST_LENGTH = 20;    // FIPS 180-4
inline constexpr std::size_t CC_SHA224_DIGEST_LENGTH = 28;
inline constexpr std::size_t CC_SHA256_DIGEST_LENGTH = 32;
inline constexpr std::size_t CC_SHA384_DIGEST_LENGTH = 48;
inline constexpr std::size_t CC_SHA512_DIGEST_LENGTH = 64;

unsigned char* CC_MD5(const void* data, CC_LONG length, unsigned char* md);
unsigned char* CC_SHA1(const void* data, CC_LONG length, unsigned char* md);
unsigned char* CC_SHA224(const void* data, CC_LONG length, unsigned char* md);
unsigned char* CC_SHA256(const void* data, CC_LONG length, unsigned char* md);
unsigned char* CC_SHA384(const void* data, CC_LONG length, unsigned char* md);
unsigned char* CC_SHA512(const void* data, CC_LONG length, unsigned char* md);

// The digest of a byte run of any size (the CC_ functions take a 32-bit length).
enum class DigestAlgorithm { md5, sha1, sha224, sha256, sha384, sha512 };
std::size_t digestLength(DigestAlgorithm algorithm);
// Writes digestLength(algorithm) bytes to `md`.
void digest(DigestAlgorithm algorithm, const void* data, std::size_t length, unsigned char* md);

}  // namespace platform
