// Text encodings: Base64, percent-encoding, "\u" escapes and HTML character references.
//
//   base64Encode("abc");              // "YWJj"
//   urlAllEncoded("a b/c");           // "a%20b%2Fc"
//   unicodeEncode("é\n");             // "\\ue9\\n"
//   toHtmlEncodedString("A");         // "&#x0041;"
//
// Pure functions; thread-safe.
#pragma once

#include <QVPlatform/base/CharacterSet.h>
#include <QVPlatform/base/Data.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace QVToolbox {

// Base64 of the UTF-8 bytes, standard alphabet, "=" padding, no line breaks (never absent).
std::optional<std::string> base64Encode(std::string_view text);
// Decodes ignoring characters outside the alphabet; absent when it does not decode or the
// bytes are not UTF-8.
std::optional<std::string> base64Decode(std::string_view text);
std::optional<std::string> base64(std::string_view text, bool encode);

// The RFC 3986 query set: letters, digits and - . _ ~ ! $ & ' ( ) * + , ; = : @ / ?
platform::CharacterSet queryCharacterSet();
// Percent-encoding with the query set plus "%": existing escapes pass unchanged.
std::string urlEncode(std::string_view text);
// Decodes every "%XX"; the empty text when an escape is malformed or the result is not UTF-8.
std::string urlDecode(std::string_view text);
std::string urlEncoding(std::string_view text, const platform::CharacterSet& characters);
// Letters, digits and - . _ ~ / ? kept.
std::string urlEncoded(std::string_view text);
// Letters and digits kept.
std::string urlAllEncoded(std::string_view text);

// Scalars at or above 128 as "\u" + lower-case hex without padding (one per UTF-16 unit);
// ASCII as its escape (\t \n \r \0 \" \' \\, other controls "\u{h}"), printable unchanged.
std::string unicodeEncode(std::string_view text);
// "\u" escapes (and the other escapes of an old-style property-list string) decoded; the
// four characters \r\n become one line feed. The empty text (with the parse error on the
// debug channel) when the text does not form a valid quoted string.
std::string unicodeDecode(std::string_view text);
// Every UTF-16 unit as "&#x%04x;".
std::string toHtmlEncodedString(std::string_view text);
// The text content of the text read as an HTML document (references resolved, markup dropped).
std::optional<std::string> htmlEncodedStringToString(std::string_view text);

// Data members: the Base64 text of the bytes as bytes; the bytes of strict Base64 held in the
// data (absent for any character outside the alphabet, line breaks included); a copy.
std::optional<platform::Data> encodeToData(const platform::Data& data);
std::optional<platform::Data> decodeToDada(const platform::Data& data);
std::vector<std::uint8_t> bytes(const platform::Data& data);

}  // namespace QVToolbox
