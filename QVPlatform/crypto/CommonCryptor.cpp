#include <QVPlatform/crypto/CommonCryptor.h>

#include <QVPlatform/crypto/detail/OpenSSL.h>

#include <openssl/core_names.h>
#include <openssl/params.h>

#include <climits>
#include <memory>
#include <optional>
#include <string>

namespace platform {

namespace {

struct CipherChoice {
    std::string name;         // OpenSSL's name of the cipher in the chosen mode
    bool variableKey = false; // the key length is set on the context
    bool stream = false;
    std::size_t block = 1;
};

bool keyLengthFits(CCAlgorithm alg, std::size_t n) {
    switch (alg) {
    case kCCAlgorithmAES: return n == kCCKeySizeAES128 || n == kCCKeySizeAES192 || n == kCCKeySizeAES256;
    case kCCAlgorithmDES: return n == kCCKeySizeDES;
    case kCCAlgorithm3DES: return n == kCCKeySize3DES;
    case kCCAlgorithmCAST: return n >= kCCKeySizeMinCAST && n <= kCCKeySizeMaxCAST;
    case kCCAlgorithmRC4: return n >= kCCKeySizeMinRC4 && n <= kCCKeySizeMaxRC4;
    case kCCAlgorithmRC2: return n >= kCCKeySizeMinRC2 && n <= kCCKeySizeMaxRC2;
    case kCCAlgorithmBlowfish: return n >= kCCKeySizeMinBlowfish && n <= kCCKeySizeMaxBlowfish;
    }
    return false;
}

std::optional<CipherChoice> choose(CCAlgorithm alg, bool ecb, std::size_t keyLength) {
    const std::string mode = ecb ? "-ECB" : "-CBC";
    switch (alg) {
    case kCCAlgorithmAES: return CipherChoice{"AES-" + std::to_string(keyLength * 8) + mode, false, false, 16};
    case kCCAlgorithmDES: return CipherChoice{"DES" + mode, false, false, 8};
    case kCCAlgorithm3DES: return CipherChoice{"DES-EDE3" + mode, false, false, 8};
    case kCCAlgorithmCAST: return CipherChoice{"CAST5" + mode, true, false, 8};
    case kCCAlgorithmRC2: return CipherChoice{"RC2" + mode, true, false, 8};
    case kCCAlgorithmBlowfish: return CipherChoice{"BF" + mode, true, false, 8};
    case kCCAlgorithmRC4: return CipherChoice{"RC4", true, true, 1};
    }
    return std::nullopt;
}

struct ContextDeleter {
    void operator()(EVP_CIPHER_CTX* c) const { EVP_CIPHER_CTX_free(c); }
};

}  // namespace

CCCryptorStatus CCCrypt(CCOperation op, CCAlgorithm alg, CCOptions options, const void* key, std::size_t keyLength,
                        const void* iv, const void* dataIn, std::size_t dataInLength, void* dataOut,
                        std::size_t dataOutAvailable, std::size_t* dataOutMoved) {
    if (dataOutMoved) *dataOutMoved = 0;
    if ((op != kCCEncrypt && op != kCCDecrypt) || !keyLengthFits(alg, keyLength) || !key ||
        (dataInLength && !dataIn) || dataInLength > static_cast<std::size_t>(INT_MAX) - 64) {
        return kCCParamError;
    }
    const bool ecb = (options & kCCOptionECBMode) != 0;
    const auto choice = choose(alg, ecb, keyLength);
    if (!choice) return kCCParamError;
    const bool pad = (options & kCCOptionPKCS7Padding) != 0 && !choice->stream;
    const bool encrypt = op == kCCEncrypt;

    if (!choice->stream && (!pad || !encrypt) && dataInLength % choice->block != 0) return kCCAlignmentError;
    const std::size_t needed =
        encrypt && pad ? (dataInLength / choice->block + 1) * choice->block : dataInLength;
    if (dataOutAvailable < needed || (needed && !dataOut)) {
        if (dataOutMoved) *dataOutMoved = needed;
        return kCCBufferTooSmall;
    }

    const EVP_CIPHER* cipher = detail::fetchedCipher(choice->name.c_str());
    if (!cipher) return kCCUnimplemented;
    std::unique_ptr<EVP_CIPHER_CTX, ContextDeleter> ctx(EVP_CIPHER_CTX_new());
    if (!ctx) return kCCMemoryFailure;

    // Two steps: pick the cipher, set the key length (and RC2's effective key bits, which
    // the platform takes equal to the key length), then give key and vector.
    if (!EVP_CipherInit_ex2(ctx.get(), cipher, nullptr, nullptr, encrypt ? 1 : 0, nullptr)) return kCCUnimplemented;
    if (choice->variableKey && !EVP_CIPHER_CTX_set_key_length(ctx.get(), static_cast<int>(keyLength))) {
        return kCCParamError;
    }
    if (alg == kCCAlgorithmRC2) {
        unsigned int bits = static_cast<unsigned int>(keyLength * 8);
        OSSL_PARAM params[] = {OSSL_PARAM_construct_uint(OSSL_CIPHER_PARAM_RC2_KEYBITS, &bits), OSSL_PARAM_construct_end()};
        if (!EVP_CIPHER_CTX_set_params(ctx.get(), params)) return kCCParamError;
    }
    unsigned char zeroIV[16] = {};
    const bool needsIV = !ecb && !choice->stream;
    if (!EVP_CipherInit_ex2(ctx.get(), nullptr, static_cast<const unsigned char*>(key),
                            needsIV ? (iv ? static_cast<const unsigned char*>(iv) : zeroIV) : nullptr, encrypt ? 1 : 0,
                            nullptr)) {
        return kCCParamError;
    }
    EVP_CIPHER_CTX_set_padding(ctx.get(), pad ? 1 : 0);

    auto* out = static_cast<unsigned char*>(dataOut);
    int written = 0;
    static const unsigned char nothing = 0;
    if (!EVP_CipherUpdate(ctx.get(), out, &written, dataInLength ? static_cast<const unsigned char*>(dataIn) : &nothing,
                          static_cast<int>(dataInLength))) {
        return kCCDecodeError;
    }
    int finalWritten = 0;
    if (!EVP_CipherFinal_ex(ctx.get(), out + written, &finalWritten)) return encrypt ? kCCAlignmentError : kCCDecodeError;
    if (dataOutMoved) *dataOutMoved = static_cast<std::size_t>(written + finalWritten);
    return kCCSuccess;
}

}  // namespace platform
