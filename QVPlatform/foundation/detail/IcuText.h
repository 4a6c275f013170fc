// UTF-8 text to and from ICU's UnicodeString, for the sources built on ICU. Internal.
#pragma once

#include <unicode/unistr.h>

#include <string>
#include <string_view>

namespace platform::detail {

inline icu::UnicodeString toUnicode(std::string_view text) {
    return icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
}

inline std::string toUtf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

}  // namespace platform::detail
