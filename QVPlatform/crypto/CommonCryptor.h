// CommonCryptor: one-shot symmetric encryption and decryption (CCCrypt), on OpenSSL 3.
//
//   std::size_t moved = 0;
//   CCCrypt(kCCEncrypt, kCCAlgorithmAES, kCCOptionPKCS7Padding | kCCOptionECBMode,
//           key, kCCKeySizeAES128, nullptr, text, 5, out, sizeof out, &moved);  // kCCSuccess, moved 16
//
// Algorithms: AES (16, 24 or 32-byte keys), DES (8), 3DES (24), CAST-128 (5 to 16), RC2 (1 to
// 128), RC4 (1 to 512) and Blowfish (8 to 56). CAST, RC2, RC4, Blowfish and DES come from
// OpenSSL's legacy provider, which is loaded on first use. Modes: CBC (default, `iv` of one
// block or null for zeros) or ECB; PKCS#7 padding on request (block ciphers only; RC4 is a
// stream cipher and ignores it). Thread rule: pure function, callable from any thread.
#pragma once

#include <cstddef>
#include <cstdint>

namespace platform {

enum CCOperation : std::uint32_t { kCCEncrypt = 0, kCCDecrypt = 1 };

enum CCAlgorithm : std::uint32_t {
    kCCAlgorithmAES128 = 0,  // AES with any of its key sizes (the platform's historic name)
    kCCAlgorithmAES = 0,
    kCCAlgorithmDES = 1,
    kCCAlgorithm3DES = 2,
    kCCAlgorithmCAST = 3,
    kCCAlgorithmRC4 = 4,
    kCCAlgorithmRC2 = 5,
    kCCAlgorithmBlowfish = 6,
};

using CCOptions = std::uint32_t;
inline constexpr CCOptions kCCOptionPKCS7Padding = 0x0001;
inline constexpr CCOptions kCCOptionECBMode = 0x0002;

using CCCryptorStatus = std::int32_t;
inline constexpr CCCryptorStatus kCCSuccess = 0;
inline constexpr CCCryptorStatus kCCParamError = -4300;
inline constexpr CCCryptorStatus kCCBufferTooSmall = -4301;
inline constexpr CCCryptorStatus kCCMemoryFailure = -4302;
inline constexpr CCCryptorStatus kCCAlignmentError = -4303;
inline constexpr CCCryptorStatus kCCDecodeError = -4304;
inline constexpr CCCryptorStatus kCCUnimplemented = -4305;

inline constexpr std::size_t kCCKeySizeAES128 = 16;
inline constexpr std::size_t kCCKeySizeAES192 = 24;
inline constexpr std::size_t kCCKeySizeAES256 = 32;
inline constexpr std::size_t kCCKeySizeDES = 8;
inline constexpr std::size_t kCCKeySize3DES = 24;
inline constexpr std::size_t kCCKeySizeMinCAST = 5;
inline constexpr std::size_t kCCKeySizeMaxCAST = 16;
inline constexpr std::size_t kCCKeySizeMinRC2 = 1;
inline constexpr std::size_t kCCKeySizeMaxRC2 = 128;
inline constexpr std::size_t kCCKeySizeMinRC4 = 1;
inline constexpr std::size_t kCCKeySizeMaxRC4 = 512;
inline constexpr std::size_t kCCKeySizeMinBlowfish = 8;
inline constexpr std::size_t kCCKeySizeMaxBlowfish = 56;

inline constexpr std::size_t kCCBlockSizeAES128 = 16;
inline constexpr std::size_t kCCBlockSizeDES = 8;
inline constexpr std::size_t kCCBlockSize3DES = 8;
inline constexpr std::size_t kCCBlockSizeCAST = 8;
inline constexpr std::size_t kCCBlockSizeRC2 = 8;
inline constexpr std::size_t kCCBlockSizeBlowfish = 8;

// Encrypts or decrypts `dataInLength` bytes into `dataOut` (capacity `dataOutAvailable`),
// storing the number of bytes produced in `*dataOutMoved` (or, on kCCBufferTooSmall, the
// number needed). Results: kCCSuccess; kCCParamError for an unknown algorithm or a key
// length the algorithm does not take; kCCAlignmentError when unpadded block input is not a
// whole number of blocks; kCCDecodeError when the padding of decrypted data is wrong;
// kCCUnimplemented when the algorithm is unavailable in this OpenSSL.
CCCryptorStatus CCCrypt(CCOperation op, CCAlgorithm alg, CCOptions options, const void* key, std::size_t keyLength,
                        const void* iv, const void* dataIn, std::size_t dataInLength, void* dataOut,
                        std::size_t dataOutAvailable, std::size_t* dataOutMoved);

}  // namespace platform
