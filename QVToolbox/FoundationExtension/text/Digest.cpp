#include <QVToolbox/FoundationExtension/text/Digest.h>

#include <QVPlatform/crypto/Base64.h>
#include <QVPlatform/crypto/CommonCryptor.h>
#include <QVPlatform/crypto/CommonDigest.h>
#include <QVPlatform/crypto/CommonHMAC.h>
#include <QVPlatform/base/Debug.h>
#include <QVPlatform/base/Text.h>

#include <algorithm>
#include <vector>

namespace QVToolbox {

namespace {

std::string hex(const unsigned char* bytes, std::size_t n, bool lower) {
    const char* digits = lower ? "0123456789abcdef" : "0123456789ABCDEF";
    std::string out;
    out.reserve(n * 2);
    for (std::size_t i = 0; i < n; ++i) {
        out.push_back(digits[bytes[i] >> 4]);
        out.push_back(digits[bytes[i] & 15]);
    }
    return out;
}

platform::CCAlgorithm algorithmOf(LuxSCAType type) {
    switch (type) {
    case LuxSCAType::AES:
    case LuxSCAType::AES128: return platform::kCCAlgorithmAES;
    case LuxSCAType::DES: return platform::kCCAlgorithmDES;
    case LuxSCAType::DES3: return platform::kCCAlgorithm3DES;
    case LuxSCAType::CAST: return platform::kCCAlgorithmCAST;
    case LuxSCAType::RC2: return platform::kCCAlgorithmRC2;
    case LuxSCAType::RC4: return platform::kCCAlgorithmRC4;
    case LuxSCAType::Blowfish: return platform::kCCAlgorithmBlowfish;
    }
    return platform::kCCAlgorithmAES;
}

}  // namespace

std::string md5Encrypt(std::string_view text, MD5EncryptType type) {
    if (text.empty()) {
        platform::debugPrint("⚠️⚠️⚠️md5加密无效的字符串⚠️⚠️⚠️");
        return {};
    }
    unsigned char md[platform::CC_MD5_DIGEST_LENGTH];
    platform::digest(platform::DigestAlgorithm::md5, text.data(), text.size(), md);  // RFC 1321
    const bool lower = type == MD5EncryptType::lowercase32 || type == MD5EncryptType::lowercase16;
    std::string out = hex(md, sizeof md, lower);
    if (type == MD5EncryptType::lowercase16 || type == MD5EncryptType::uppercase16) out = out.substr(8, 16);
    return out;
}

std::optional<std::string> shaCrypt(std::string_view text, LuxSHAType cryptType, std::optional<std::string_view> key,
                                    bool lower) {
    text = text.substr(0, text.find('\0'));  // a C string's bytes
    static constexpr platform::DigestAlgorithm plain[] = {platform::DigestAlgorithm::sha1, platform::DigestAlgorithm::sha224,
                                                          platform::DigestAlgorithm::sha256, platform::DigestAlgorithm::sha384,
                                                          platform::DigestAlgorithm::sha512};
    static constexpr platform::CCHmacAlgorithm keyed[] = {platform::kCCHmacAlgSHA1, platform::kCCHmacAlgSHA224,
                                                          platform::kCCHmacAlgSHA256, platform::kCCHmacAlgSHA384,
                                                          platform::kCCHmacAlgSHA512};
    const auto index = static_cast<std::size_t>(cryptType);
    unsigned char md[64];
    if (key && !key->empty()) {
        platform::CCHmac(keyed[index], key->data(), key->size(), text.data(), text.size(), md);  // RFC 2104
        return hex(md, platform::CCHmacLength(keyed[index]), lower);
    }
    platform::digest(plain[index], text.data(), text.size(), md);  // FIPS 180-4
    return hex(md, platform::digestLength(plain[index]), lower);
}

std::size_t keyLength(LuxSCAType type) {
    switch (type) {
    case LuxSCAType::AES: return platform::kCCKeySizeAES128;
    case LuxSCAType::AES128: return platform::kCCKeySizeAES256;
    case LuxSCAType::DES: return platform::kCCKeySizeDES;
    case LuxSCAType::DES3: return platform::kCCKeySize3DES;
    case LuxSCAType::CAST: return platform::kCCKeySizeMaxCAST;
    case LuxSCAType::RC2: return platform::kCCKeySizeMaxRC2;
    case LuxSCAType::RC4: return platform::kCCKeySizeMaxRC4;
    case LuxSCAType::Blowfish: return platform::kCCKeySizeMaxBlowfish;
    }
    return 0;
}

std::size_t outputReserve(LuxSCAType type) {
    return type == LuxSCAType::AES || type == LuxSCAType::AES128 ? platform::kCCBlockSizeAES128 : 8;
}

std::optional<std::string> scaCrypt(std::string_view text, LuxSCAType cryptType, std::optional<std::string_view> key,
                                    bool encode, std::string_view encryptIV) {
    (void)encryptIV;  // ECB mode takes no initialisation vector
    std::vector<unsigned char> input;
    if (encode) {
        input.assign(text.begin(), text.end());
    } else {
        auto decoded = platform::base64Decode(text, platform::Base64DecodingOptions::ignoreUnknownCharacters);
        if (!decoded) return std::nullopt;
        input = std::move(decoded->vector());
    }
    if (!key) return std::nullopt;
    // The cipher reads exactly the key length: a shorter key is padded with zero bytes
    // rather than read past its end.
    std::vector<unsigned char> keyBytes(keyLength(cryptType), 0);
    std::copy_n(key->begin(), std::min(key->size(), keyBytes.size()), keyBytes.begin());

    std::vector<unsigned char> output(input.size() + outputReserve(cryptType));
    std::size_t moved = 0;
    const auto status = platform::CCCrypt(encode ? platform::kCCEncrypt : platform::kCCDecrypt, algorithmOf(cryptType),
                                          platform::kCCOptionPKCS7Padding | platform::kCCOptionECBMode, keyBytes.data(),
                                          keyBytes.size(), nullptr, input.data(), input.size(), output.data(),
                                          output.size(), &moved);
    if (status != platform::kCCSuccess) return std::nullopt;
    output.resize(moved);
    if (encode) return platform::base64Encode(output, platform::Base64EncodingOptions::lineLength64);
    std::string plain(output.begin(), output.end());
    if (!platform::isValidUtf8(plain)) return std::nullopt;
    return plain;
}

}  // namespace QVToolbox
