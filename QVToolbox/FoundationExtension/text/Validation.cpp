#include <QVToolbox/FoundationExtension/text/Validation.h>

#include <QVPlatform/base/Date.h>
#include <QVPlatform/foundation/RegularExpression.h>
#include <QVPlatform/base/Text.h>
#include <QVPlatform/base/URL.h>
#include <QVPlatform/foundation/UnicodeProperties.h>

#include <algorithm>
#include <array>
#include <ctime>

namespace QVToolbox {

namespace {

using platform::predicateMatches;

constexpr std::string_view kIDCardPattern = "^(\\d{15})|((\\d{17})(\\d|[X]))$";

constexpr std::array<std::string_view, 35> kProvinces = {"11", "12", "13", "14", "15", "21", "22", "23", "31",
                                                         "32", "33", "34", "35", "36", "37", "41", "42", "43",
                                                         "44", "45", "46", "50", "51", "52", "53", "54", "61",
                                                         "62", "63", "64", "65", "71", "81", "82", "91"};

// Birth-date patterns. The 18-character ones admit the centuries 19 and 20 (the card of a
// person born since 2000 is valid); whether the year lies in the future is checked apart.
constexpr std::string_view kMonthDays =
    "((01|03|05|07|08|10|12)(0[1-9]|[1-2][0-9]|3[0-1])|(04|06|09|11)(0[1-9]|[1-2][0-9]|30)|02(0[1-9]|";
constexpr std::string_view kCommonFebruary = "1[0-9]|2[0-8]))";
constexpr std::string_view kLeapFebruary = "[1-2][0-9]))";

std::string datePattern(bool eighteen, bool leap) {
    std::string p = eighteen ? "^[1-9][0-9]{5}(19|20)[0-9]{2}" : "^[1-9][0-9]{5}[0-9]{2}";
    p += kMonthDays;
    p += leap ? kLeapFebruary : kCommonFebruary;
    p += eighteen ? "[0-9]{3}[0-9Xx]$" : "[0-9]{3}$";
    return p;
}

constexpr std::array<std::string_view, 31> kVideoEndings = {
    "mp4", "MP4", "MOV", "mov", "mpg", "mpeg", "mpg4", "wm", "wmx", "mkv", "mkv2", "3gp", "3gpp", "wv", "wvx", "avi",
    "asf", "fiv", "swf", "flv", "f4v", "m4u", "m4v", "movie", "pvx", "qt", "rv", "vod", "rm", "ram", "rmvb"};

template <class Test>
bool allScalars(std::string_view text, Test test) {
    const auto scalars = platform::utf8ToUtf32(text);
    return std::all_of(scalars.begin(), scalars.end(), test);
}

// NSScanner's skipping and number syntax: optional blanks, sign, digits [. digits] [e±digits].
bool scansNumber(std::string_view text, bool allowFraction) {
    const auto s = platform::utf8ToUtf32(text);
    std::size_t i = 0;
    auto skip = [&] {
        while (i < s.size() && platform::isWhitespaceOrNewline(s[i])) ++i;
    };
    auto digits = [&] {
        const std::size_t start = i;
        while (i < s.size() && s[i] >= U'0' && s[i] <= U'9') ++i;
        return i - start;
    };
    skip();
    if (i < s.size() && (s[i] == U'+' || s[i] == U'-')) ++i;
    std::size_t count = digits();
    if (allowFraction) {
        if (i < s.size() && s[i] == U'.') {
            ++i;
            count += digits();
        }
        if (count && i < s.size() && (s[i] == U'e' || s[i] == U'E')) {
            std::size_t j = i + 1;
            if (j < s.size() && (s[j] == U'+' || s[j] == U'-')) ++j;
            const std::size_t save = i;
            i = j;
            if (!digits()) i = save;
        }
    }
    if (!count) return false;
    skip();
    return i == s.size();
}

// The current year (UTC: a few hours either way at New Year decide nothing here).
int currentYear() {
    const auto seconds = static_cast<std::time_t>(platform::Date::now().timeIntervalSince1970());
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    return parts.tm_year + 1900;
}

}  // namespace

bool isValidEmail(std::string_view text) {
    return predicateMatches(text, "[A-Z0-9a-z._%+-]+@[A-Za-z0-9.-]+\\.[A-Za-z]{2,4}");
}

bool isValidMobile(std::string_view text) {
    return predicateMatches(text, "^((13[0-9])|(14[5,7])|(15[0-3,5-9])|(17[0,3,5-8])|(18[0-9])|166|198|199)\\d{8}$");
}

bool isValidIDCardNumber(std::string_view text) { return predicateMatches(text, kIDCardPattern); }

bool isValidIDCardNumStrict(std::string_view text) {
    if (!predicateMatches(text, kIDCardPattern)) return false;
    // \d admits digits of every script; a year written in them cannot be read: reject.
    if (std::any_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; })) return false;
    const bool eighteen = text.size() == 18;
    if (!eighteen && text.size() != 15) return false;
    if (std::find(kProvinces.begin(), kProvinces.end(), text.substr(0, 2)) == kProvinces.end()) return false;
    // Two year digits mean 19yy.
    const int year = eighteen ? std::stoi(std::string(text.substr(6, 4))) : 1900 + std::stoi(std::string(text.substr(6, 2)));
    if (year > currentYear()) return false;
    const bool leap = year % 400 == 0 || (year % 4 == 0 && year % 100 != 0);
    const auto re = platform::NSRegularExpression::make(datePattern(eighteen, leap), platform::NSRegularExpressionOptions::caseInsensitive);
    if (!re || re->numberOfMatches(text) == 0) return false;
    if (!eighteen) return true;
    // GB 11643: weights 7 9 10 5 8 4 2 1 6 3 repeated, check characters "10X98765432".
    static constexpr int weights[] = {7, 9, 10, 5, 8, 4, 2, 1, 6, 3};
    int sum = 0;
    for (int i = 0; i < 17; ++i) sum += (text[static_cast<std::size_t>(i)] - '0') * weights[i % 10];
    return "10X98765432"[sum % 11] == text[17];
}

bool isValidNickName(std::string_view text) { return predicateMatches(text, "(^[一-龯_a-zA-Z0-9]+$)"); }

bool isChinese(std::string_view text) { return predicateMatches(text, "(^[一-鿯]+$)"); }

bool containsChinese(std::string_view text) {
    const auto bounds = platform::characterBoundaries(text);
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        const auto c = text.substr(bounds[i], bounds[i + 1] - bounds[i]);
        if (c >= std::string_view("一") && c <= std::string_view("龥")) return true;  // UTF-8 order is scalar order
    }
    return false;
}

bool isValidNumberValue(std::string_view text) { return !text.empty() && predicateMatches(text, "^[\\d]*$"); }

bool isValidNumberAndDecimalPoint(std::string_view text) { return !text.empty() && predicateMatches(text, "^[\\d.]*$"); }

bool isValidNumber(std::string_view text) { return allScalars(text, platform::isDecimalDigit); }

bool isDecimalDigits(std::string_view text) { return !text.empty() && allScalars(text, platform::isDecimalDigit); }

bool isLetters(std::string_view text) { return !text.empty() && allScalars(text, platform::isLetterOrMark); }

bool isBlank(std::string_view text) { return allScalars(text, platform::isWhitespaceOrNewline); }

bool isPureInt(std::string_view text) { return scansNumber(text, false); }

bool isPureFloat(std::string_view text) { return scansNumber(text, true); }

bool isEmojiCharacter(std::string_view character) {
    const auto scalars = platform::utf8ToUtf32(character);
    if (scalars.empty() || !platform::hasEmojiProperty(scalars[0])) return false;
    return scalars[0] >= 0x238D || scalars.size() >= 2;
}

bool isEmoji(char32_t scalar) { return platform::hasEmojiProperty(scalar) && scalar >= 0x238D; }

bool containsEmoji(std::string_view text) {
    const auto bounds = platform::characterBoundaries(text);
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        if (isEmojiCharacter(text.substr(bounds[i], bounds[i + 1] - bounds[i]))) return true;
    }
    return false;
}

bool isNineKeyBoard(std::string_view text) {
    const auto bounds = platform::characterBoundaries(text);
    for (std::size_t i = 0; i + 1 < bounds.size(); ++i) {
        const auto c = platform::utf8ToUtf32(text.substr(bounds[i], bounds[i + 1] - bounds[i]));
        if (c.size() != 1 || c[0] < 0x278B || c[0] > 0x2792) return false;
    }
    return true;
}

bool isVideoUrl(std::string_view text) {
    return std::any_of(kVideoEndings.begin(), kVideoEndings.end(), [&](std::string_view e) { return text.ends_with(e); });
}

bool isValidFileUrl(std::string_view text) {
    const auto url = platform::URL::string(text);
    return url && url->isFileURL();
}

bool verifyUrl(std::string_view text) {
    const auto url = platform::URL::string(text);
    return url && !url->scheme().empty();
}

}  // namespace QVToolbox
