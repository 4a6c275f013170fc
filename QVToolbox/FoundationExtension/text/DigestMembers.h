// Digests, HMACs and ciphers as members of the string family (Digest.h holds the contracts):
//
//   hx(std::string("abc")).md5Encrypt(MD5EncryptType::lowercase32);   // "900150983cd24fb0..."
//   hx(platform::NSString("abc")).shaCrypt(LuxSHAType::sha256);
//
// Thread rule: the wrappers are values; members are pure functions of their inputs.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/text/Digest.h>

#include <optional>
#include <string>
#include <string_view>

namespace QVToolbox {

// The digests and ciphers of Digest.h as members of the string family.
template <class W, class Base>
struct DigestMembers {};

template <class W>
struct DigestMembers<W, StringFamily> {
    using MD5EncryptType = QVToolbox::MD5EncryptType;
    using LuxSHAType = QVToolbox::LuxSHAType;
    using LuxSCAType = QVToolbox::LuxSCAType;

    std::string md5Encrypt(MD5EncryptType type) const { return QVToolbox::md5Encrypt(text(), type); }
    std::optional<std::string> shaCrypt(LuxSHAType cryptType, std::optional<std::string_view> key = std::nullopt,
                                        bool lower = true) const {
        return QVToolbox::shaCrypt(text(), cryptType, key, lower);
    }
    std::optional<std::string> scaCrypt(LuxSCAType cryptType, std::optional<std::string_view> key, bool encode,
                                        std::string_view encryptIV = "") const {
        return QVToolbox::scaCrypt(text(), cryptType, key, encode, encryptIV);
    }

private:
    std::string_view text() const { return textOf(static_cast<const W&>(*this).base); }
};

}  // namespace QVToolbox
