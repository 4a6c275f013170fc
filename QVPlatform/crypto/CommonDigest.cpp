#include <QVPlatform/crypto/CommonDigest.h>

#include <QVPlatform/crypto/detail/OpenSSL.h>

#include <array>
#include <cstring>
#include <stdexcept>

namespace platform {

namespace {

const char* nameOf(DigestAlgorithm algorithm) {
    switch (algorithm) {
    case DigestAlgorithm::md5: return "MD5";
    case DigestAlgorithm::sha1: return "SHA1";
    case DigestAlgorithm::sha224: return "SHA224";
    case DigestAlgorithm::sha256: return "SHA256";
    case DigestAlgorithm::sha384: return "SHA384";
    case DigestAlgorithm::sha512: return "SHA512";
    }
    return "SHA256";
}

// The handle is fetched once per algorithm and then read without a lock.
const EVP_MD* handleOf(DigestAlgorithm algorithm) {
    static const std::array<const EVP_MD*, 6> handles = [] {
        std::array<const EVP_MD*, 6> all{};
        for (int i = 0; i < 6; ++i) all[static_cast<std::size_t>(i)] = detail::fetchedDigest(nameOf(static_cast<DigestAlgorithm>(i)));
        return all;
    }();
    return handles[static_cast<std::size_t>(algorithm)];
}

}  // namespace

std::size_t digestLength(DigestAlgorithm algorithm) {
    switch (algorithm) {
    case DigestAlgorithm::md5: return CC_MD5_DIGEST_LENGTH;
    case DigestAlgorithm::sha1: return CC_SHA1_DIGEST_LENGTH;
    case DigestAlgorithm::sha224: return CC_SHA224_DIGEST_LENGTH;
    case DigestAlgorithm::sha256: return CC_SHA256_DIGEST_LENGTH;
    case DigestAlgorithm::sha384: return CC_SHA384_DIGEST_LENGTH;
    case DigestAlgorithm::sha512: return CC_SHA512_DIGEST_LENGTH;
    }
    return 0;
}

void digest(DigestAlgorithm algorithm, const void* data, std::size_t length, unsigned char* md) {
    static const unsigned char nothing = 0;
    const EVP_MD* handle = handleOf(algorithm);
    if (!handle || !EVP_Digest(length ? data : &nothing, length, md, nullptr, handle, nullptr)) {
        // Only a broken OpenSSL installation gets here; a zero digest would be a silent lie.
        throw std::runtime_error(std::string("digest unavailable: ") + nameOf(algorithm));
    }
}

unsigned char* CC_MD5(const void* data, CC_LONG length, unsigned char* md) {
    digest(DigestAlgorithm::md5, data, length, md);
    return md;
}
unsigned char* CC_SHA1(const void* data, CC_LONG length, unsigned char* md) {
    digest(DigestAlgorithm::sha1, data, length, md);
    return md;
}
unsigned char* CC_SHA224(const void* data, CC_LONG length, unsigned char* md) {
    digest(DigestAlgorithm::sha224, data, length, md);
    return md;
}
unsigned char* CC_SHA256(const void* data, CC_LONG length, unsigned char* md) {
    digest(DigestAlgorithm::sha256, data, length, md);
    return md;
}
unsigned char* CC_SHA384(const void* data, CC_LONG length, unsigned char* md) {
    digest(DigestAlgorithm::sha384, data, length, md);
    return md;
}
unsigned char* CC_SHA512(const void* data, CC_LONG length, unsigned char* md) {
    digest(DigestAlgorithm::sha512, data, length, md);
    return md;
}

}  // namespace platform
