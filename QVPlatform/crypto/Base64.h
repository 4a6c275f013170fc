// Base64 (RFC 4648 section 4, standard alphabet with "=" padding) with the platform's options.
//
//   base64Encode(Data::fromString("abc"));                          // "YWJj"
//   base64Encode(bytes, Base64EncodingOptions::lineLength64);       // lines of 64, CR LF between
//   base64Decode("YW\r\nJj", Base64DecodingOptions::ignoreUnknownCharacters)->toString();  // "abc"
//
// Decoding is strict by default: any character outside the alphabet, a wrong amount of
// padding or a length that is not a multiple of four gives nothing. With
// `ignoreUnknownCharacters`, characters outside the alphabet (line breaks, blanks, anything
// else) are skipped first. Thread rule: pure functions.
#pragma once

#include <QVPlatform/base/Data.h>

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace platform {

enum class Base64EncodingOptions : std::uint32_t {
    none = 0,
    lineLength64 = 1,
    lineLength76 = 2,
    endLineWithCarriageReturn = 16,
    endLineWithLineFeed = 32,
};
constexpr Base64EncodingOptions operator|(Base64EncodingOptions a, Base64EncodingOptions b) {
    return static_cast<Base64EncodingOptions>(static_cast<std::uint32_t>(a) | static_cast<std::uint32_t>(b));
}

enum class Base64DecodingOptions : std::uint32_t { none = 0, ignoreUnknownCharacters = 1 };

// The Base64 text of the bytes. With a line length, lines are separated (not terminated) by
// the chosen line ending; CR LF when neither ending is chosen.
std::string base64Encode(std::span<const std::uint8_t> bytes, Base64EncodingOptions options = Base64EncodingOptions::none);
inline std::string base64Encode(const Data& data, Base64EncodingOptions options = Base64EncodingOptions::none) {
    return base64Encode(data.span(), options);
}
std::optional<Data> base64Decode(std::string_view text, Base64DecodingOptions options = Base64DecodingOptions::none);

}  // namespace platform
