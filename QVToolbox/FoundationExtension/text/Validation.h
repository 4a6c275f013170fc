// Validation of form input: e-mail, mainland-China mobile and identity-card numbers,
// nicknames, Chinese text, numbers, emoji, video names and URLs.
//
//   isValidEmail("a@b.cn");                 // true (the whole text must match)
//   isValidIDCardNumStrict("11010519491231002X");   // true: province, date and check character
//   containsEmoji("1\uFE0F\u20E3");         // true (a keycap)
//
// Whole-text predicates use "SELF MATCHES %@" on cached ICU patterns. Characters are
// user-perceived characters; character-class tests look at Unicode scalars.
// Pure functions; thread-safe (isValidIDCardNumStrict reads the current date).
#pragma once

#include <string_view>

namespace QVToolbox {

bool isValidEmail(std::string_view text);
bool isValidMobile(std::string_view text);
bool isValidIDCardNumber(std::string_view text);
// Province code, birth date (years 1900 to the current year; 15-digit numbers are 19yy)
// and, for 18 characters, the ISO 7064 check character (upper-case X only).
bool isValidIDCardNumStrict(std::string_view text);
bool isValidNickName(std::string_view text);
bool isChinese(std::string_view text);
// Some character lies between "一" and "龥" inclusive, comparing texts.
bool containsChinese(std::string_view text);
bool isValidNumberValue(std::string_view text);            // not empty, only \d
bool isValidNumberAndDecimalPoint(std::string_view text);  // not empty, only \d and "."
bool isValidNumber(std::string_view text);                 // only Nd scalars; empty is true
bool isDecimalDigits(std::string_view text);               // not empty, only Nd
bool isLetters(std::string_view text);                     // not empty, only L and M
bool isBlank(std::string_view text);                       // empty or only blanks and line breaks
// A scanner reads one integer (optional sign, digits) / one floating-point number and then
// reaches the end; blanks and line breaks around it are skipped.
bool isPureInt(std::string_view text);
bool isPureFloat(std::string_view text);
// The emoji test of one character: its first scalar has the Emoji property and is at least
// U+238D, or the character has several scalars and the first has the Emoji property.
bool isEmojiCharacter(std::string_view character);
bool isEmoji(char32_t scalar);
bool containsEmoji(std::string_view text);
bool isNineKeyBoard(std::string_view text);  // every character one of ➋…➒; empty is true
bool isVideoUrl(std::string_view text);      // ends with a listed video ending (case-sensitive)
bool isValidFileUrl(std::string_view text);  // parses as a URL with the scheme "file"
// There is no application registry here: true when the text parses as an absolute URL
// with a scheme.
bool verifyUrl(std::string_view text);

}  // namespace QVToolbox
