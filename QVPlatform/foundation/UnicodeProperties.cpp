#include <QVPlatform/foundation/UnicodeProperties.h>

#include <QVPlatform/foundation/detail/IcuText.h>

#include <unicode/uchar.h>
#include <unicode/locid.h>
#include <unicode/unistr.h>

namespace platform {

namespace {

// Short names for the conversions used throughout this file.
icu::UnicodeString (&u)(std::string_view) = detail::toUnicode;
std::string (&utf8)(const icu::UnicodeString&) = detail::toUtf8;


}  // namespace

bool hasEmojiProperty(char32_t c) { return u_hasBinaryProperty(static_cast<UChar32>(c), UCHAR_EMOJI); }

bool isDecimalDigit(char32_t c) { return u_charType(static_cast<UChar32>(c)) == U_DECIMAL_DIGIT_NUMBER; }

bool isLetterOrMark(char32_t c) {
    const auto mask = U_GET_GC_MASK(static_cast<UChar32>(c));
    return (mask & (U_GC_L_MASK | U_GC_M_MASK)) != 0;
}

bool isWhitespace(char32_t c) { return c == U'\t' || u_charType(static_cast<UChar32>(c)) == U_SPACE_SEPARATOR; }

bool isNewline(char32_t c) { return (c >= 0x0A && c <= 0x0D) || c == 0x85 || c == 0x2028 || c == 0x2029; }

bool isWhitespaceOrNewline(char32_t c) { return isWhitespace(c) || isNewline(c); }

bool isWhitespaceCharacter(char32_t c) { return u_isUWhiteSpace(static_cast<UChar32>(c)); }

std::string lowercased(std::string_view text) { return utf8(u(text).toLower(icu::Locale::getRoot())); }
std::string uppercased(std::string_view text) { return utf8(u(text).toUpper(icu::Locale::getRoot())); }
std::string caseFolded(std::string_view text) { return utf8(u(text).foldCase()); }

}  // namespace platform
