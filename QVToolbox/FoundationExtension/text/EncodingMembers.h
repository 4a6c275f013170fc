// Base64, percent, Unicode and HTML encodings as members (Encoding.h holds the contracts):
//
//   hx(std::string("abc")).base64Encode();                      // "YWJj"
//   hx(std::string("a b")).urlEncode();                         // "a%20b"
//   hx(platform::Data::fromString("YWJj")).decodeToDada();      // "abc"
//
// Thread rule: the wrappers are values; members are pure functions of their inputs.
#pragma once

#include <QVToolbox/core/HxPOP.h>
#include <QVToolbox/FoundationExtension/text/Encoding.h>

#include <QVPlatform/base/CharacterSet.h>
#include <QVPlatform/base/Data.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace QVToolbox {

// The encodings of Encoding.h as members.
template <class W, class Base>
struct EncodingMembers {};

template <class W>
struct EncodingMembers<W, StringFamily> {
    std::optional<std::string> base64Encode() const { return QVToolbox::base64Encode(text()); }
    std::optional<std::string> base64Decode() const { return QVToolbox::base64Decode(text()); }
    std::optional<std::string> base64(bool encode) const { return QVToolbox::base64(text(), encode); }
    std::string urlEncode() const { return QVToolbox::urlEncode(text()); }
    std::string urlDecode() const { return QVToolbox::urlDecode(text()); }
    std::string urlEncoding(const platform::CharacterSet& characters) const { return QVToolbox::urlEncoding(text(), characters); }
    std::string urlEncoded() const { return QVToolbox::urlEncoded(text()); }
    std::string urlAllEncoded() const { return QVToolbox::urlAllEncoded(text()); }


private:
    std::string_view text() const { return textOf(static_cast<const W&>(*this).base); }
};

// Escapes on the exact native string.
template <class W>
struct EncodingMembers<W, std::string> {
    std::string unicodeEncode() const { return QVToolbox::unicodeEncode(text()); }
    std::string unicodeDecode() const { return QVToolbox::unicodeDecode(text()); }
    std::string toHtmlEncodedString() const { return QVToolbox::toHtmlEncodedString(text()); }
    std::optional<std::string> htmlEncodedStringToString() const { return QVToolbox::htmlEncodedStringToString(text()); }

private:
    std::string_view text() const { return static_cast<const W&>(*this).base; }
};

template <class W>
struct EncodingMembers<W, platform::Data> {
    std::optional<platform::Data> encodeToData() const { return QVToolbox::encodeToData(data()); }
    std::optional<platform::Data> decodeToDada() const { return QVToolbox::decodeToDada(data()); }
    std::vector<std::uint8_t> bytes() const { return QVToolbox::bytes(data()); }

private:
    const platform::Data& data() const { return static_cast<const W&>(*this).base; }
};

}  // namespace QVToolbox
