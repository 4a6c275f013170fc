#include <QVPlatform/crypto/CommonHMAC.h>

#include <QVPlatform/crypto/detail/OpenSSL.h>

#include <openssl/hmac.h>

#include <stdexcept>

namespace platform {

namespace {

const char* nameOf(CCHmacAlgorithm algorithm) {
    switch (algorithm) {
    case kCCHmacAlgSHA1: return "SHA1";
    case kCCHmacAlgMD5: return "MD5";
    case kCCHmacAlgSHA256: return "SHA256";
    case kCCHmacAlgSHA384: return "SHA384";
    case kCCHmacAlgSHA512: return "SHA512";
    case kCCHmacAlgSHA224: return "SHA224";
    }
    return nullptr;
}

}  // namespace

std::size_t CCHmacLength(CCHmacAlgorithm algorithm) {
    switch (algorithm) {
    case kCCHmacAlgSHA1: return 20;
    case kCCHmacAlgMD5: return 16;
    case kCCHmacAlgSHA256: return 32;
    case kCCHmacAlgSHA384: return 48;
    case kCCHmacAlgSHA512: return 64;
    case kCCHmacAlgSHA224: return 28;
    }
    return 0;
}

void CCHmac(CCHmacAlgorithm algorithm, const void* key, std::size_t keyLength, const void* data,
            std::size_t dataLength, void* macOut) {
    static const unsigned char nothing = 0;
    const char* name = nameOf(algorithm);
    const EVP_MD* md = name ? detail::fetchedDigest(name) : nullptr;
    unsigned int written = 0;
    if (!md || !HMAC(md, keyLength ? key : &nothing, static_cast<int>(keyLength),
                     static_cast<const unsigned char*>(dataLength ? data : &nothing), dataLength,
                     static_cast<unsigned char*>(macOut), &written)) {
        throw std::runtime_error("HMAC unavailable");
    }
}

}  // namespace platform
