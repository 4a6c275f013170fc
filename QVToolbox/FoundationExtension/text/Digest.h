// Digests and ciphers of text: MD5 in four hex forms, SHA digests and HMACs, and the
// symmetric ciphers of the platform in ECB mode with PKCS#7 padding, to and from Base64.
//
//   md5Encrypt("abc", MD5EncryptType::lowercase32);   // "900150983cd24fb0d6963f7d28e17f72"
//   shaCrypt("abc", LuxSHAType::SHA256);              // "ba7816bf…" (HMAC-SHA-256 when a key is given)
//   scaCrypt("hello", LuxSCAType::AES, "key", true);  // Base64 of the cipher text
//
// Pure functions; thread-safe.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace QVToolbox {

enum class MD5EncryptType { lowercase32, uppercase32, lowercase16, uppercase16 };
enum class LuxSHAType { SHA1, SHA224, SHA256, SHA384, SHA512 };
enum class LuxSCAType { AES, AES128, DES, DES3, CAST, RC2, RC4, Blowfish };

// MD5 of every byte of the text (NULs included) in the chosen hex form; the empty text for an
// empty input, with the warning "⚠️⚠️⚠️md5加密无效的字符串⚠️⚠️⚠️" on the debug channel.
std::string md5Encrypt(std::string_view text, MD5EncryptType type);

// SHA digest of the text's bytes up to its first NUL, or its HMAC when `key` is present and
// not empty (the key's bytes all count). Lower- or upper-case hex.
std::optional<std::string> shaCrypt(std::string_view text, LuxSHAType cryptType,
                                    std::optional<std::string_view> key = std::nullopt, bool lower = true);

// The key length the cipher is given (AES 16, AES128 32, DES 8, DES3 24, CAST 16, RC2 128,
// RC4 512, Blowfish 56) and the room added to the input length for the output.
std::size_t keyLength(LuxSCAType type);
std::size_t outputReserve(LuxSCAType type);

// Encrypts the text's bytes (encode true) to Base64 in lines of 64 characters joined by
// CR LF, or decrypts Base64 text (line breaks and other non-alphabet characters ignored)
// back to UTF-8 text. The key's bytes are cut or padded with zero bytes to the key length.
// ECB uses no vector: `encryptIV` is accepted and has no effect. Absent for an absent key,
// Base64 that does not decode, a failing cipher, or decrypted bytes that are not UTF-8.
std::optional<std::string> scaCrypt(std::string_view text, LuxSCAType cryptType, std::optional<std::string_view> key,
                                    bool encode, std::string_view encryptIV = "");

}  // namespace QVToolbox
