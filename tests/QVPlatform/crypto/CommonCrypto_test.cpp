#include <QVPlatform/crypto/Base64.h>
#include <QVPlatform/crypto/CommonCryptor.h>
#include <QVPlatform/crypto/CommonDigest.h>
#include <QVPlatform/crypto/CommonHMAC.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace platform;

namespace {

std::string hex(const unsigned char* bytes, std::size_t n) {
    static constexpr char digits[] = "0123456789abcdef";
    std::string out;
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 15]);
    }
    return out;
}

std::vector<unsigned char> unhex(std::string_view h) {
    std::vector<unsigned char> out;
    for (std::size_t i = 0; i + 1 < h.size(); i += 2) out.push_back(static_cast<unsigned char>(std::stoi(std::string(h.substr(i, 2)), nullptr, 16)));
    return out;
}

std::string digestHex(DigestAlgorithm a, std::string_view text) {
    unsigned char md[64];
    digest(a, text.data(), text.size(), md);
    return hex(md, digestLength(a));
}

std::string hmacHex(CCHmacAlgorithm a, std::string_view key, std::string_view text) {
    unsigned char mac[64];
    CCHmac(a, key.data(), key.size(), text.data(), text.size(), mac);
    return hex(mac, CCHmacLength(a));
}

std::vector<unsigned char> crypt(CCOperation op, CCAlgorithm alg, CCOptions options, const std::vector<unsigned char>& key,
                                 const std::vector<unsigned char>& in, CCCryptorStatus* status = nullptr) {
    std::vector<unsigned char> out(in.size() + 16);
    std::size_t moved = 0;
    const auto s = CCCrypt(op, alg, options, key.data(), key.size(), nullptr, in.data(), in.size(), out.data(), out.size(), &moved);
    if (status) *status = s;
    out.resize(s == kCCSuccess ? moved : 0);
    return out;
}

}  // namespace

TEST(CommonDigest, PublishedVectors) {
    // RFC 1321 A.5
    EXPECT_EQ(digestHex(DigestAlgorithm::md5, ""), "d41d8cd98f00b204e9800998ecf8427e");
    EXPECT_EQ(digestHex(DigestAlgorithm::md5, "abc"), "900150983cd24fb0d6963f7d28e17f72");
    EXPECT_EQ(digestHex(DigestAlgorithm::md5, "message digest"), "f96b697d7cb7938d525a2f31aaf161d0");
    // FIPS 180-4 examples ("abc")
    EXPECT_EQ(digestHex(DigestAlgorithm::sha1, "abc"), "a9993e364706816aba3e25717850c26c9cd0d89d");
    EXPECT_EQ(digestHex(DigestAlgorithm::sha224, "abc"), "23097d223405d8228642a477bda255b32aadbce4bda0b3f7e36c9da7");
    EXPECT_EQ(digestHex(DigestAlgorithm::sha256, "abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    EXPECT_EQ(digestHex(DigestAlgorithm::sha384, "abc"),
              "cb00753f45a35e8bb5a03d699ac65007272c32ab0eded1631a8b605a43ff5bed8086072ba1e7cc2358baeca134c825a7");
    EXPECT_EQ(digestHex(DigestAlgorithm::sha512, "abc"),
              "ddaf35a193617abacc417349ae20413112e6fa4e89a97ea20a9eeee64b55d39a2192992a274fc1a836ba3c23a3feebbd454d4423643ce80e2a9ac94fa54ca49f");
    unsigned char md[CC_MD5_DIGEST_LENGTH];
    EXPECT_EQ(CC_MD5(nullptr, 0, md), md);
    EXPECT_EQ(hex(md, 16), "d41d8cd98f00b204e9800998ecf8427e");
}

TEST(CommonHMAC, Rfc4231TestCase2AndRfc2202) {
    const std::string key = "Jefe", data = "what do ya want for nothing?";
    EXPECT_EQ(hmacHex(kCCHmacAlgSHA1, key, data), "effcdf6ae5eb2fa2d27416d5f184df9c259a7c79");  // RFC 2202
    EXPECT_EQ(hmacHex(kCCHmacAlgMD5, key, data), "750c783e6ab0b503eaa86e310a5db738");    // RFC 2202
    EXPECT_EQ(hmacHex(kCCHmacAlgSHA224, key, data), "a30e01098bc6dbbf45690f3a7e9e6d0f8bbea2a39e6148008fd05e44");
    EXPECT_EQ(hmacHex(kCCHmacAlgSHA256, key, data), "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843");
    EXPECT_EQ(hmacHex(kCCHmacAlgSHA384, key, data),
              "af45d2e376484031617f78d2b58a6b1b9c7ef464f5a01b47e42ec3736322445e8e2240ca5e69e2c78b3239ecfab21649");
    EXPECT_EQ(hmacHex(kCCHmacAlgSHA512, key, data),
              "164b7a7bfcf819e2e395fbe73b56e0a387bd64222e831fd610270cd7ea2505549758bf75c05a994a6d034f65f8f0e6fdcaeab1a34d4a6b4b636e070a38bce737");
    // RFC 4231 test case 6: a key longer than the block is digested first.
    const std::string longKey(131, '\xaa');
    EXPECT_EQ(hmacHex(kCCHmacAlgSHA256, longKey, "Test Using Larger Than Block-Size Key - Hash Key First"),
              "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54");
}

TEST(CommonCryptor, EcbOutputMatchesOpensslEnc) {
    // Expected bytes from `openssl enc -e -<cipher> -K <key> -nosalt` of the same plaintext.
    const std::string plain = "QVToolbox cipher test";
    const std::vector<unsigned char> in(plain.begin(), plain.end());
    const auto k32 = unhex("000102030405060708090a0b0c0d0e0f101112131415161718191a1b1c1d1e1f");
    const std::vector<unsigned char> k16(k32.begin(), k32.begin() + 16), k24(k32.begin(), k32.begin() + 24),
        k8(k32.begin(), k32.begin() + 8);
    const CCOptions ecb = kCCOptionPKCS7Padding | kCCOptionECBMode;
    EXPECT_EQ(crypt(kCCEncrypt, kCCAlgorithmAES, ecb, k16, in), unhex("b6410a1bc28ca8b3da6dbd21240607f4a91b452eaff460d81cf4412fac6ab5c9"));
    EXPECT_EQ(crypt(kCCEncrypt, kCCAlgorithmAES, ecb, k32, in), unhex("e0d0ced74398e23678dd3234bafd80ad1c7b99b5b1dea0f69f5556acd37a98b6"));
    EXPECT_EQ(crypt(kCCEncrypt, kCCAlgorithmDES, ecb, k8, in), unhex("c1024d8ae055ee0a4f0a84c15973f876fa951a7b489a8bce"));
    EXPECT_EQ(crypt(kCCEncrypt, kCCAlgorithm3DES, ecb, k24, in), unhex("681845fbf41ef8dbeff3075af970cb2c031f1648be857de9"));
}

TEST(CommonCryptor, EveryAlgorithmRoundTripsAtItsMaximumKeyAndRejectsBadInput) {
    const std::string plain = "round trip through every cipher of the table, 中文 too";
    const std::vector<unsigned char> in(plain.begin(), plain.end());
    const CCOptions ecb = kCCOptionPKCS7Padding | kCCOptionECBMode;
    struct Case { CCAlgorithm alg; std::size_t key; };
    for (const Case c : {Case{kCCAlgorithmAES, 16}, Case{kCCAlgorithmAES, 32}, Case{kCCAlgorithmDES, 8},
                         Case{kCCAlgorithm3DES, 24}, Case{kCCAlgorithmCAST, 16}, Case{kCCAlgorithmRC2, 128},
                         Case{kCCAlgorithmRC4, 512}, Case{kCCAlgorithmBlowfish, 56}}) {
        std::vector<unsigned char> key(c.key);
        for (std::size_t i = 0; i < key.size(); ++i) key[i] = static_cast<unsigned char>(i * 7 + 1);
        CCCryptorStatus status = -1;
        const auto sealed = crypt(kCCEncrypt, c.alg, ecb, key, in, &status);
        ASSERT_EQ(status, kCCSuccess) << c.alg;
        EXPECT_NE(sealed, in);
        EXPECT_EQ(crypt(kCCDecrypt, c.alg, ecb, key, sealed), in) << c.alg;
        // CBC with a zero vector round-trips too.
        EXPECT_EQ(crypt(kCCDecrypt, c.alg, kCCOptionPKCS7Padding, key, crypt(kCCEncrypt, c.alg, kCCOptionPKCS7Padding, key, in)), in);
    }
    std::vector<unsigned char> k16(16, 1);
    CCCryptorStatus status = 0;
    crypt(kCCEncrypt, kCCAlgorithmAES, kCCOptionECBMode, std::vector<unsigned char>(15, 1), in, &status);
    EXPECT_EQ(status, kCCParamError);  // AES takes no 15-byte key
    crypt(kCCEncrypt, kCCAlgorithmAES, kCCOptionECBMode, k16, in, &status);
    EXPECT_EQ(status, kCCAlignmentError);  // unpadded and not a whole block
    crypt(kCCDecrypt, kCCAlgorithmAES, ecb, k16, std::vector<unsigned char>(16, 0), &status);
    EXPECT_EQ(status, kCCDecodeError);  // garbage has no valid padding
    unsigned char small[8];
    std::size_t needed = 0;
    EXPECT_EQ(CCCrypt(kCCEncrypt, kCCAlgorithmAES, ecb, k16.data(), 16, nullptr, in.data(), in.size(), small, sizeof small, &needed),
              kCCBufferTooSmall);
    EXPECT_EQ(needed, (in.size() / 16 + 1) * 16);
}

TEST(Base64, EncodesWithLineOptionsAndDecodesStrictOrLenient) {
    EXPECT_EQ(base64Encode(Data::fromString("")), "");
    EXPECT_EQ(base64Encode(Data::fromString("f")), "Zg==");
    EXPECT_EQ(base64Encode(Data::fromString("foobar")), "Zm9vYmFy");  // RFC 4648 section 10
    const Data hundred(std::vector<std::uint8_t>(112, 0x41));
    const std::string broken = base64Encode(hundred, Base64EncodingOptions::lineLength64);
    ASSERT_EQ(broken.size(), 152u + 4u);
    EXPECT_EQ(broken.substr(64, 2), "\r\n");
    EXPECT_EQ(broken.substr(130, 2), "\r\n");
    EXPECT_NE(broken.back(), '\n');
    EXPECT_EQ(base64Encode(hundred, Base64EncodingOptions::lineLength76 | Base64EncodingOptions::endLineWithLineFeed).substr(76, 1), "\n");

    EXPECT_EQ(base64Decode("Zm9vYmFy")->toString(), "foobar");
    EXPECT_EQ(base64Decode("Zm8=")->toString(), "fo");
    EXPECT_EQ(base64Decode("")->toString(), "");
    EXPECT_FALSE(base64Decode("Zm8"));        // unpadded
    EXPECT_FALSE(base64Decode("Zm9v\r\nYmFy"));  // strict: line break
    EXPECT_FALSE(base64Decode("Zg==Zg=="));   // data after padding
    EXPECT_FALSE(base64Decode("Z==="));
    EXPECT_EQ(base64Decode("Zm9v\r\nYm Fy", Base64DecodingOptions::ignoreUnknownCharacters)->toString(), "foobar");
    EXPECT_EQ(base64Decode(broken, Base64DecodingOptions::ignoreUnknownCharacters), hundred);
}
